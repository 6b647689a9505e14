// The game-over state: the picture over the frozen field, and the initials of a new high score.
#pragma once

enum {
    KX_GAMEOVER_TIME = 6000,       // without a place, back to the title after this
    KX_GAMEOVER_INITIALS_TIME = 2000, // with a place, typing starts after this
    KX_GAMEOVER_BLINK_TIME = 300
};

extern bool HighScore;       // a player of the ended game has earned a place
extern bool GettingInitials; // the initials are being typed
extern int ScorePos;         // the place earned, 1 to 10, or -1
extern int HiScore;          // the score being entered
extern int HighscorePlayer;  // 1 or 2
extern char Initials[4];     // three characters and a zero byte
extern int InitialPos;       // the next position to type, 0 to 3
extern bool BlinkOn;
extern int BlinkTime;
extern int GameOverLastUpdateTime;

void KX_STATE_GAMEOVER_Start();
void KX_STATE_GAMEOVER_Update(int time);
void KX_STATE_GAMEOVER_HandleKey(int key);

// The character a virtual-key code types into the initials, or 0 when it types none.
char KX_STATE_GAMEOVER_KeyChar(int key);
