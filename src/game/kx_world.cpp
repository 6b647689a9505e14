// Game data: the level table, new games, levels, player turns and lives.
#include "kx_world.h"
#include "kx_game.h"
#include "dd_input.h"
#include "bumpmap.h"
#include "dd_log.h"
#include "kx_sound.h"
#include "kx_sprites.h"

#include <cstdlib>
#include <cstring>

#define KX_MAPS(n) "gfx\\kx_level" #n "_c.bmp", "gfx\\kx_level" #n "_h.bmp"
const KX_LevelDataType LevelData[KX_NUM_LEVELS] = {
    { 4, 9, 1, 0, 14, 15, 1000, 4000, 150, 1000, 25, 10, KX_MAPS(1) },
    { 4, 9, 1, 0, 14, 15, 500, 2000, 150, 1000, 30, 20, KX_MAPS(1) },
    { 5, 10, 3, 2, 15, 15, 800, 3200, 160, 1000, 35, 20, KX_MAPS(2) },
    { 5, 10, 3, 2, 15, 15, 400, 1600, 160, 1000, 40, 40, KX_MAPS(2) },
    { 6, 11, 5, 4, 16, 16, 700, 2800, 170, 1000, 45, 30, KX_MAPS(3) },
    { 6, 11, 5, 4, 16, 16, 350, 1400, 170, 1000, 50, 60, KX_MAPS(3) },
    { 7, 12, 7, 6, 15, 14, 600, 2400, 180, 1000, 55, 40, KX_MAPS(4) },
    { 7, 12, 7, 6, 15, 14, 300, 1200, 180, 1000, 60, 80, KX_MAPS(4) },
    { 8, 13, 9, 8, 14, 16, 500, 2000, 190, 1000, 75, 50, KX_MAPS(5) },
    { 8, 13, 9, 8, 14, 16, 250, 1000, 190, 1000, 100, 100, KX_MAPS(5) },
};
#undef KX_MAPS

KX_PlayerDataType PlayerData[2];

int GameMode = KX_GAMEMODE_ONE_PLAYER;
int StartLevel = 0;
int GameLevel = 0;
int CurrentPlayer = 1;
int LivesP1 = KX_START_LIVES;
int LivesP2 = 0;
int ElectroZapCount = KX_START_ZAPS;
int Threshold = 0;
int ScoreP1 = 0;
int ScoreP2 = 0;
int LaserEntry = 0;
unsigned int StateTime = 0;
int Player1Turret = 1;

void KX_NewGame()
{
    LivesP2 = GameMode == KX_GAMEMODE_ALTERNATE ? KX_START_LIVES : 0;
    LivesP1 = KX_START_LIVES;
    GameLevel = StartLevel;
    LaserEntry = 0;
    ElectroZapCount = KX_START_ZAPS;
    Threshold = LevelData[StartLevel].Threshold;
    for (KX_PlayerDataType &p : PlayerData) {
        p.GameLevel = StartLevel;
        p.ElectroZapCount = KX_START_ZAPS;
        p.Threshold = Threshold;
    }
    ScoreP1 = ScoreP2 = 0;
    CurrentPlayer = 1;
}

void KX_NextLevel()
{
    GameLevel = (GameLevel + 1) % KX_NUM_LEVELS;
    Threshold = LevelData[GameLevel].Threshold;
}

void KX_LoadLevelData()
{
    const KX_LevelDataType &level = LevelData[GameLevel];
    if (KX_SOUND_CurrentMusic() != KX_MUSIC_GAME)
        KX_SOUND_LoadNewMusic(KX_MUSIC_GAME);
    Bumpmap_LoadTextures(level.ColourMap, level.HeightMap);
    Bumpmap_ClearStaticLights();
    Bumpmap_AddStaticLight(220, 220, 600, 64, 64, 64);
    Bumpmap_RecalculateStatic();
    for (int slot = 0; slot < 4; slot++)
        Bumpmap_DeactivateLight(slot);
    for (TEnemyXSprite *enemy : KXSprites_Enemy_X) {
        if (!enemy) {
            DDErrorLog("Null EnemyX sprite");
            continue;
        }
        enemy->SetDefinition(KXSprites_Def[level.XEnemyDef]);
        enemy->SetAnimData(&EnemyAnimData[level.XEnemyAnim]);
        enemy->SetSpeed(level.SpeedA, level.SpeedB);
    }
    for (TEnemyYSprite *enemy : KXSprites_Enemy_Y) {
        if (!enemy) {
            DDErrorLog("Null EnemyY Sprite");
            continue;
        }
        enemy->SetDefinition(KXSprites_Def[level.YEnemyDef]);
        enemy->SetAnimData(&EnemyAnimData[level.YEnemyAnim]);
        enemy->SetSpeed(level.SpeedA, level.SpeedB);
    }
}

int KX_SpawnTime()
{
    const KX_LevelDataType &level = LevelData[GameLevel];
    // Added as unsigned 32-bit: the clock passes INT_MAX after 24.8 days, and signed overflow
    // would be undefined. Below that the result is the same.
    DWORD delay = (DWORD)(level.SpawnMin + rand() % (level.SpawnMax - level.SpawnMin));
    return (int)(DWORD)(GetClock() + delay);
}

void StorePlayerData(int player)
{
    if (player != 1 && player != 2)
        return;
    KX_PlayerDataType &p = PlayerData[player - 1];
    p.ElectroZapCount = ElectroZapCount;
    p.Threshold = Threshold;
    p.GameLevel = GameLevel;
}

void RetrievePlayerData(int player)
{
    if (player != 1 && player != 2)
        return;
    const KX_PlayerDataType &p = PlayerData[player - 1];
    ElectroZapCount = p.ElectroZapCount;
    Threshold = p.Threshold;
    GameLevel = p.GameLevel;
}

void KX_LoseLife()
{
    if (CurrentPlayer == 2)
        LivesP2 -= 1;
    else
        LivesP1 -= 1;
    int other = CurrentPlayer == 1 ? 2 : 1;
    int otherLives = other == 1 ? LivesP1 : LivesP2;
    if (GameMode == KX_GAMEMODE_ALTERNATE && otherLives >= 0) {
        StorePlayerData(CurrentPlayer);
        RetrievePlayerData(other);
        LaserEntry = 3;
        GameState = KX_STATE_LOAD_LEVEL;
        CurrentPlayer = other;
        return;
    }
    int lives = CurrentPlayer == 2 ? LivesP2 : LivesP1;
    GameState = lives < 0 ? KX_STATE_GAMEOVER : KX_STATE_ENTER_LASER;
}

void SetActiveInput()
{
    if (GameMode == KX_GAMEMODE_TOGETHER) {
        ActiveInput1 = P1Input;
        ActiveInput2 = P2Input;
        memcpy(ActiveInput1Keys, P1InputKeys, sizeof ActiveInput1Keys);
        memcpy(ActiveInput2Keys, P2InputKeys, sizeof ActiveInput2Keys);
    } else if (CurrentPlayer == 1) {
        ActiveInput1 = P1Input;
        memcpy(ActiveInput1Keys, P1InputKeys, sizeof ActiveInput1Keys);
    } else {
        ActiveInput1 = P2Input;
        memcpy(ActiveInput1Keys, P2InputKeys, sizeof ActiveInput1Keys);
    }
}
