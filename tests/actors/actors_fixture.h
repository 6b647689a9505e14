// Shared by the actor and playing-state tests: a display, sound, lights, small sprite definition
// files in a scratch folder, every actor created, and a virtual clock.
#pragma once

#include "bumpmap.h"
#include "kx_game.h"
#include "kx_sound.h"
#include "kx_sprites.h"
#include "kx_world.h"
#include "sound/sound_dir.h"
#include "sprites/sprite_fixture.h"
#include "win_time.h"

#include <sys/stat.h>

// A definition file of n solid 16 by 16 frames side by side, handle at the centre, hit rectangles.
inline void WriteTestSprite(const std::string &name, int frames)
{
    ASSERT_TRUE(WriteBMP("gfx/" + name + ".bmp", 16 * frames, 16, 24, [](int x, int) { return RGB(40 + x % 200, 80, 120); }));
    std::string t = "[SPRITE_IMAGE]\n\"gfx\\" + name + ".bmp\"\n[SPRITE_FRAMES]\n" + std::to_string(frames) +
                    "\n[HIT_TYPE]\nRECT\n[HANDLE]\nCENTRE\n[TRANSPARENT]\n0xFF00FF\n";
    for (int f = 0; f < frames; f++)
        t += "[FRAME]\n" + std::to_string(f) + "\n[IMAGE_RECT]\n(" + std::to_string(16 * f) + ", 0) - (" +
             std::to_string(16 * f + 16) + ", 16)\n[HIT_RECT]\n(0, 0) - (16, 16)\n";
    KxWriteFile("gfx/" + name + ".txt", t + "[SPRITE_END]\n");
}

// Every definition file, each with exactly the frames its actors use.
inline void WriteAllTestSprites()
{
    mkdir("gfx", 0755);
    const int frames[KX_NUM_SPRITE_DEFS] = { 32, 32, 12, 12, 46, 40, 34, 28, 23, 34, 40, 34, 40, 34, 16, 16, 16, 0, 0, 12 };
    for (int i = 0; i < KX_NUM_SPRITE_DEFS; i++) {
        std::string file = SpriteDefFiles[i] ? SpriteDefFiles[i] : "";
        if (!file.empty())
            WriteTestSprite(file.substr(4, file.size() - 8), frames[i]); // "gfx\name.txt"
    }
}

class ActorTest : public ::testing::Test {
protected:
    KxTempDir dir;
    LogCapture log;
    bool initialised = false;

    virtual void WriteSprites() { WriteAllTestSprites(); }

    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        mkdir("sound", 0755);
        for (const char *fx : { "laser", "expl01", "expl02", "electro", "level_ready", "end_level" })
            WriteWav(std::string("sound/") + fx + ".wav", 3000);
        KX_SOUND_Initialise();
        Sys_UseVirtualClock(true);
        Sys_SetClock(100000);
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
        Bumpmap_Init(0, 0, 440, 440, 4, 0.02f);
        // Light specs live for the whole run, as in the game.
        static TLightSpec *green = Bumpmap_CreateLightSpec(20, 64, 255, 64, 50);
        static TLightSpec *cyan = Bumpmap_CreateLightSpec(20, 64, 255, 255, 50);
        Light3 = green;
        Light4 = cyan;
        GameLevel = 0;
        GameMode = KX_GAMEMODE_ONE_PLAYER;
        CurrentPlayer = 1;
        TurretX = TurretY = 212;
        WriteSprites();
        initialised = KX_SPRITES_Initialise();
    }

    void TearDown() override
    {
        KX_SPRITES_CleanUp();
        Bumpmap_Close();
        DDClose();
        KX_SOUND_Cleanup();
        Sys_UseVirtualClock(false);
    }

    // The level's enemy definitions, records and speed, as the level loader gives them.
    static void UseLevel(int level)
    {
        GameLevel = level;
        const KX_LevelDataType &l = LevelData[level];
        for (int i = 0; i < KX_NUM_ENEMIES; i++) {
            KXSprites_Enemy_X[i]->SetDefinition(KXSprites_Def[l.XEnemyDef]);
            KXSprites_Enemy_X[i]->SetAnimData(&EnemyAnimData[l.XEnemyAnim]);
            KXSprites_Enemy_X[i]->SetSpeed(l.SpeedA, l.SpeedB);
            KXSprites_Enemy_Y[i]->SetDefinition(KXSprites_Def[l.YEnemyDef]);
            KXSprites_Enemy_Y[i]->SetAnimData(&EnemyAnimData[l.YEnemyAnim]);
            KXSprites_Enemy_Y[i]->SetSpeed(l.SpeedA, l.SpeedB);
        }
    }

    // Effects of a kind still playing (each lasts three seconds, far longer than any test).
    static int Played(KX_SOUND_FxType fx) { return Sys_SoundChannelsPlaying(Sample[fx]); }

    static void MoveBy(TSprite *s, int ms, int step = 20)
    {
        for (; ms > 0; ms -= step)
            s->Move(ms < step ? ms : step);
    }

    static int X(const TSprite *s) { int x; s->GetPosition(&x, nullptr); return x; }
    static int Y(const TSprite *s) { int y; s->GetPosition(nullptr, &y); return y; }
};
