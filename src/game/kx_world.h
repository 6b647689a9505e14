// The game's data: mode, players, lives, scores, zaps, the level table and level loading.
#pragma once

enum KX_GameModeType { KX_GAMEMODE_ONE_PLAYER = 0, KX_GAMEMODE_TOGETHER = 1, KX_GAMEMODE_ALTERNATE = 2 };

struct KX_LevelDataType {
    int XEnemyDef;
    int YEnemyDef;
    int XEnemyAnim;
    int YEnemyAnim;
    int XExplosionDef;
    int YExplosionDef;
    int SpawnMin;
    int SpawnMax;
    int SpeedA;
    int SpeedB;
    int Threshold;
    int Score;
    const char *ColourMap;
    const char *HeightMap;
};

struct KX_PlayerDataType {
    int ElectroZapCount;
    int Threshold;
    int GameLevel;
};

enum { KX_NUM_LEVELS = 10, KX_START_LIVES = 4, KX_START_ZAPS = 3, KX_MAX_ZAPS = 5 };

extern const KX_LevelDataType LevelData[KX_NUM_LEVELS];
extern KX_PlayerDataType PlayerData[2];

extern int GameMode;
extern int StartLevel;
extern int GameLevel;
extern int CurrentPlayer;
extern int LivesP1;
extern int LivesP2;
extern int ElectroZapCount;
extern int Threshold;
extern int ScoreP1;
extern int ScoreP2;
extern int LaserEntry;
extern unsigned int StateTime;
extern int Player1Turret;

void KX_NewGame();
void KX_NextLevel();
void KX_LoadLevelData();
int KX_SpawnTime();
void StorePlayerData(int player);
void RetrievePlayerData(int player);
// The dying state's end: the current player loses a life, the turn may pass; sets the next state.
void KX_LoseLife();
// Hands the settings of the player or players about to play to the play routines (the active inputs).
void SetActiveInput();
