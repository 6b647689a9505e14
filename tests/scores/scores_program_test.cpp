// The whole program headless: games played to their end, initials typed, the tables kept on disk.
#include "program/kx_run.h"
#include "kx_scores.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Starts a game from the title with fire held (players 1 and 2), types initials once the game has
// long been over, and quits from the title.
std::string GameScript(const std::string &menu, const std::string &initials)
{
    return "# a game to its end\n" + menu + "9500 press 13\n9600 down 32\n9600 down 17\n" + initials +
           "303000 quit\n";
}

const char *const TypeAbc = "300100 press 65\n300200 press 66\n300300 press 67\n300400 press 13\n";
const char *const TypeXyz = "300600 press 88\n300700 press 89\n300800 press 90\n300900 press 13\n";

bool Decode(const std::string &data, KX_ScoreType *scores)
{
    if (data.size() != KX_SCORE_FILE_SIZE)
        return false;
    return KX_SCORES_Decode((const unsigned char *)data.data(), (int)data.size(), scores, KX_NUM_SCORES) ==
           KX_NUM_SCORES;
}

bool IsDefault(const KX_ScoreType &s) { return s.Level == 0 && s.Score == 0 && memcmp(s.Name, "UNK", 4) == 0; }

} // namespace

TEST(ScoresProgram, GamesInTwoModesKeepTheirOwnTables)
{
    KxTempDir dir;
    KxRun one = KxRunGame(GameScript("", TypeAbc));
    ASSERT_EQ(one.exitCode, 0) << one.out;
    EXPECT_NE(one.log.find("Failed to open score file, initialising scores to defaults"), std::string::npos);
    std::string first = KxReadFile("kx_scores.dat");
    KX_ScoreType s[KX_NUM_SCORES];
    ASSERT_TRUE(Decode(first, s)) << first.size() << " bytes";
    EXPECT_STREQ(s[0].Name, "ABC");
    EXPECT_GT(s[0].Score, 0);
    EXPECT_GE(s[0].Level, 0);
    EXPECT_LE(s[0].Level, 9);
    for (int i = 1; i < KX_NUM_SCORES; i++)
        EXPECT_TRUE(IsDefault(s[i])) << "entry " << i;

    // Game mode 2 (down to the mode item, right twice, back up to start): both players place.
    KxRun two = KxRunGame(GameScript("9000 press 40\n9100 press 39\n9200 press 39\n9300 press 38\n",
                                     std::string(TypeAbc) + TypeXyz));
    ASSERT_EQ(two.exitCode, 0) << two.out;
    EXPECT_EQ(two.log.find("Failed to open score file"), std::string::npos) << two.log;
    std::string second = KxReadFile("kx_scores.dat");
    ASSERT_TRUE(Decode(second, s));
    EXPECT_EQ(second.substr(0, 120), first.substr(0, 120)); // mode 0's table untouched
    for (int i = 10; i < 20; i++)
        EXPECT_TRUE(IsDefault(s[i])) << "entry " << i;
    EXPECT_STREQ(s[20].Name, "ABC");
    EXPECT_STREQ(s[21].Name, "XYZ");
    EXPECT_GT(s[21].Score, 0);
    EXPECT_GE(s[20].Score, s[21].Score);
    for (int i = 22; i < 30; i++)
        EXPECT_TRUE(IsDefault(s[i])) << "entry " << i;

    // Quitting during the splash, before the scores are loaded, leaves the file as it was.
    KxRun three = KxRunGame("1000 quit\n");
    ASSERT_EQ(three.exitCode, 0) << three.out;
    EXPECT_EQ(three.log.find("Initialising scores"), std::string::npos) << "quit came too late";
    EXPECT_EQ(KxReadFile("kx_scores.dat"), second);
}
