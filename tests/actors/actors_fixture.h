// Shared by the actor and playing-state tests: a display, sound, lights, a full set of small sprite
// definition files in a scratch folder, every actor created, and a virtual clock.
#pragma once

#include "bumpmap.h"
#include "dd.h"
#include "kx_game.h"
#include "kx_sound.h"
#include "kx_sprites.h"
#include "kx_test.h"
#include "kx_world.h"
#include "script/log_capture.h"
#include "sprites/sprite_fixture.h"
#include "win_time.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

enum { KX_TEST_CELL = 16 }; // every test frame is a solid 16 by 16 square, handle at its centre

// A 16-bit mono WAV of silence, long enough to be still playing when a test counts it.
inline void WriteSilentWav(const std::string &path, int ms)
{
    uint32_t bytes = 16 * (uint32_t)ms;
    std::string d = "RIFF";
    auto le = [&d](uint32_t v, int n) {
        for (int i = 0; i < n; i++)
            d.push_back((char)(v >> (8 * i)));
    };
    le(36 + bytes, 4);
    d += "WAVEfmt ";
    le(16, 4), le(1, 2), le(1, 2), le(8000, 4), le(16000, 4), le(2, 2), le(16, 2);
    d += "data";
    le(bytes, 4);
    d.append(bytes, '\0');
    KxWriteFile(path, d);
}

// A sprite definition file of n solid frames side by side, with its image.
inline void WriteTestSprite(const std::string &name, int frames)
{
    std::string bmp = "gfx/" + name + ".bmp";
    ASSERT_TRUE(WriteBMP(bmp, KX_TEST_CELL * frames, KX_TEST_CELL, 24, [](int x, int y) -> DWORD {
        return RGB(40 + x % 200, 80, 120);
    }));
    std::string text = "[SPRITE_IMAGE]\n\"gfx\\" + name + ".bmp\"\n[SPRITE_FRAMES]\n" + std::to_string(frames) +
                       "\n[HIT_TYPE]\nRECT\n[HANDLE]\nCENTRE\n[TRANSPARENT]\n0xFF00FF\n";
    for (int f = 0; f < frames; f++) {
        int left = f * KX_TEST_CELL;
        text += "[FRAME]\n" + std::to_string(f) + "\n[IMAGE_RECT]\n(" + std::to_string(left) + ", 0) - (" +
                std::to_string(left + KX_TEST_CELL) + ", " + std::to_string(KX_TEST_CELL) + ")\n[HIT_RECT]\n(0, 0) - (" +
                std::to_string(KX_TEST_CELL) + ", " + std::to_string(KX_TEST_CELL) + ")\n";
    }
    text += "[SPRITE_END]\n";
    KxWriteFile("gfx/" + name + ".txt", text);
}

// The name a definition file is written under, from its game name "gfx\name.txt".
inline std::string DefName(int index)
{
    std::string s = SpriteDefFiles[index];
    return s.substr(4, s.size() - 8);
}

// Every definition file with exactly the frames its actors use.
inline void WriteAllTestSprites()
{
    mkdir("gfx", 0755);
    const int frames[KX_NUM_SPRITE_DEFS] = { 32, 32, 12, 12, 46, 40, 34, 28, 23, 34,
                                             40, 34, 40, 34, 16, 16, 16, 0,  0,  12 };
    for (int i = 0; i < KX_NUM_SPRITE_DEFS; i++)
        if (SpriteDefFiles[i])
            WriteTestSprite(DefName(i), frames[i]);
}

class ActorTest : public ::testing::Test {
protected:
    KxTempDir dir;
    LogCapture log;

    virtual void WriteSprites() { WriteAllTestSprites(); }

    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        mkdir("sound", 0755);
        for (const char *fx : { "laser", "expl01", "expl02", "electro", "level_ready", "end_level" })
            WriteSilentWav(std::string("sound/") + fx + ".wav", 3000);
        KX_SOUND_Initialise();
        Sys_UseVirtualClock(true);
        Sys_SetClock(100000);
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
        Bumpmap_Init(0, 0, 440, 440, 4, 0.02f);
        // Light specifications are kept for the whole run, as the game keeps them.
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
        for (TEnemyXSprite *e : KXSprites_Enemy_X) {
            e->SetDefinition(KXSprites_Def[l.XEnemyDef]);
            e->SetAnimData(&EnemyAnimData[l.XEnemyAnim]);
            e->SetSpeed(l.SpeedA, l.SpeedB);
        }
        for (TEnemyYSprite *e : KXSprites_Enemy_Y) {
            e->SetDefinition(KXSprites_Def[l.YEnemyDef]);
            e->SetAnimData(&EnemyAnimData[l.YEnemyAnim]);
            e->SetSpeed(l.SpeedA, l.SpeedB);
        }
    }

    // Effects of a kind still playing (each lasts three seconds, far longer than any test).
    static int Played(KX_SOUND_FxType fx) { return Sys_SoundChannelsPlaying(Sample[fx]); }

    static void MoveBy(TSprite *s, int ms, int step = 20)
    {
        for (; ms > 0; ms -= step)
            s->Move(ms < step ? ms : step);
    }

    static void Pos(const TSprite *s, int &x, int &y) { s->GetPosition(&x, &y); }

    bool initialised = false;
};
