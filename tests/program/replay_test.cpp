// A recorded game plays back from its journal alone, writes nothing of the player's, and a damaged journal is caught.
#include "kx_run.h"
#include "kx_scores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

KxRun Replay(const std::string &journal)
{
    std::string cmd = std::string("'") + KORDAX_RUN_DIR + "/kordax' --headless --replay " + journal + " > out.txt 2>&1";
    int status = system(cmd.c_str());
    KxRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = KxReadFile("out.txt");
    return r;
}

std::string PlayerFiles() { return KxReadFile("kordax.ini") + "|" + KxReadFile("kx_scores.dat") + "|" + KxReadFile("dderrors.log"); }

} // namespace

TEST(Replay, RecordedGamePlaysBackTheSameAndDamageIsCaught)
{
    KxTempDir dir;
    // Start, steer, fire, zap, lose every life, type initials at the game over, quit.
    KxRun rec = KxRunGame("9500 press 13\n9600 down 32\n12000 down 65\n14000 up 65\n14500 down 87\n16000 up 87\n"
                          "20000 press 9\n300100 press 65\n300200 press 66\n300300 press 67\n300400 press 13\n"
                          "303000 quit\n",
                          "--record game.kxr");
    ASSERT_EQ(rec.exitCode, 0) << rec.out;
    KX_ScoreType s[KX_NUM_SCORES];
    std::string table = KxReadFile("kx_scores.dat");
    ASSERT_EQ(KX_SCORES_Decode((const unsigned char *)table.data(), (int)table.size(), s, KX_NUM_SCORES), KX_NUM_SCORES);
    ASSERT_STREQ(s[0].Name, "ABC") << "the game reached its end and took the initials";
    ASSERT_GT(s[0].Score, 0);

    // The player's files are as the recording left them, whatever the playback does.
    const std::string files = PlayerFiles(), journal = KxReadFile("game.kxr");
    KxRun play = Replay("game.kxr");
    EXPECT_EQ(play.exitCode, 0) << play.out;
    EXPECT_NE(play.out.find("scores " + std::to_string(s[0].Score) + " 0, matched"), std::string::npos) << play.out;
    EXPECT_EQ(PlayerFiles(), files);

    std::mt19937 random(18);
    std::string noise(journal.size(), '\0');
    std::generate(noise.begin(), noise.end(), [&] { return (char)random(); });
    std::string flipped = journal;
    flipped[journal.size() / 2] ^= 0x10;
    const struct {
        const char *what;
        std::string bytes;
        const char *said;
    } bad[] = {
        { "a byte of the body flipped", flipped, "" },
        { "cut to half", journal.substr(0, journal.size() / 2), "is damaged or cut short" },
        { "random bytes", noise, "is not a Kordax replay" },
        { "empty", "", "is empty" },
        { "the header alone", journal.substr(0, 9), "is damaged or cut short" },
    };
    for (const auto &b : bad) {
        KxWriteFile("bad.kxr", b.bytes);
        KxRun r = Replay("bad.kxr");
        EXPECT_EQ(r.exitCode, 1) << b.what << "\n" << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << b.what << "\n" << r.out;
        bool diverged = r.out.compare(0, 24, "replay diverged at frame") == 0;
        EXPECT_TRUE(diverged || r.out.find(*b.said ? b.said : "is damaged") != std::string::npos) << b.what << "\n" << r.out;
        EXPECT_EQ(PlayerFiles(), files) << b.what;
    }

    // Games recorded from real play in a window (held keys, a game to its end) still come out the
    // same; when the game's picture or rules change on purpose, record them again with --record:
    // tests/program/journals/record_window_game.sh BUILD_DIR does it under Xvfb with xdotool.
    for (const char *name : { "window_game_220.kxr" }) {
        KxRun r = Replay(std::string("'") + KORDAX_SOURCE_DIR + "/tests/program/journals/" + name + "'");
        EXPECT_EQ(r.exitCode, 0) << name << "\n" << r.out;
        EXPECT_NE(r.out.find(", matched"), std::string::npos) << name << "\n" << r.out;
    }
}
