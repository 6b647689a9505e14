// The whole program with a pad and no key: the title, a game, a lost pad, initials and the way out.
#include "program/kx_run.h"
#include "kx_scores.h"

#include <gtest/gtest.h>

#include <string>

TEST(PadsProgram, APadAloneGoesFromTheSplashToTheInitialsAndOut)
{
    KxTempDir dir;
    const char *script =
        "100 pad 1 connect Xbox 360 Controller\n"
        // Title: down to player 1, the pad chosen, back up to start, A.
        "9000 pad 1 press dpdown\n9100 pad 1 press dpdown\n9200 pad 1 press dpright\n"
        "9300 pad 1 press dpup\n9400 pad 1 press dpup\n9500 pad 1 press a\n"
        // Fire held through the game; the pad lost for a while in play.
        "9700 pad 1 down a\n30000 pad 1 disconnect\n30500 shot lost.png\n31000 pad 1 connect\n"
        "31100 pad 1 down a\n31500 shot back.png\n"
        // Initials C, A, B by letter, confirmed with Start; then up to the exit, A.
        "300000 pad 1 up a\n300100 pad 1 press dpup\n300200 pad 1 press dpup\n300300 pad 1 press a\n"
        "300400 pad 1 press a\n300500 pad 1 press dpup\n300550 shot initials.png\n300600 pad 1 press a\n"
        "300700 pad 1 press start\n301000 pad 1 press dpup\n301100 pad 1 press a\n";
    KxRun run = KxRunGame(script);
    ASSERT_EQ(run.exitCode, 0) << run.out; // the script has no quit: only the exit item ends the run
    std::string table = KxReadFile("kx_scores.dat");
    ASSERT_EQ(table.size(), (size_t)KX_SCORE_FILE_SIZE);
    KX_ScoreType s[KX_NUM_SCORES];
    ASSERT_EQ(KX_SCORES_Decode((const unsigned char *)table.data(), (int)table.size(), s, KX_NUM_SCORES), KX_NUM_SCORES);
    EXPECT_STREQ(s[0].Name, "CAB");
    EXPECT_GT(s[0].Score, 0);

    // Play paused while the pad was away (the field dimmed under the caption), and went on once it was back.
    std::vector<uint8_t> lost, back;
    int w, h;
    ASSERT_TRUE(KxReadPNG("lost.png", lost, w, h));
    ASSERT_TRUE(KxReadPNG("back.png", back, w, h));
    auto fieldLight = [&](const std::vector<uint8_t> &rgb) {
        long sum = 0;
        for (int y = 0; y < 300; y++)
            for (int x = 0; x < 400; x++)
                sum += rgb[((size_t)y * w + x) * 3 + 1];
        return sum;
    };
    EXPECT_LT(fieldLight(lost) * 10, fieldLight(back) * 7);
}
