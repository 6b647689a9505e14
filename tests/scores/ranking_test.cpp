// Ranking and inserting into the current mode's table, and the three tables kept apart.
#include "kx_scores.h"
#include "kx_world.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void Defaults()
{
    for (KX_ScoreType &s : KX_Scores) {
        s.Level = 0;
        s.Score = 0;
        memcpy(s.Name, "UNK", 4);
    }
}

// Mode table t holds 1000, 900, ..., 100 with names "t0".."t9".
void Descending()
{
    for (int t = 0; t < KX_SCORE_TABLES; t++)
        for (int p = 0; p < KX_SCORES_PER_TABLE; p++) {
            KX_ScoreType &s = KX_Scores[t * 10 + p];
            s.Level = p;
            s.Score = 1000 - 100 * p;
            snprintf(s.Name, sizeof s.Name, "%d%d", t, p);
        }
}

} // namespace

TEST(Ranking, DefaultTable)
{
    Defaults();
    GameMode = 0;
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 0), -1); // must beat, not equal
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(9, 1), 1);
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, -5), -1);
}

TEST(Ranking, EqualScoreRanksBelowAndLevelPlaysNoPart)
{
    Descending();
    GameMode = 1;
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 1001), 1);
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 1000), 2);
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(9, 1000), 2);
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 550), 6);
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 101), 10);
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 100), -1);
}

TEST(Ranking, InsertAtThreeShiftsAndDropsTheTenth)
{
    Descending();
    GameMode = 0;
    KX_ScoreType old[10];
    memcpy(old, KX_Scores, sizeof old);
    KX_PANEL_SCORES_AddScore(4, 850, "ABC");
    EXPECT_EQ(memcmp(KX_Scores, old, 2 * sizeof(KX_ScoreType)), 0);
    EXPECT_EQ(KX_Scores[2].Level, 4);
    EXPECT_EQ(KX_Scores[2].Score, 850);
    EXPECT_STREQ(KX_Scores[2].Name, "ABC");
    EXPECT_EQ(memcmp(KX_Scores + 3, old + 2, 7 * sizeof(KX_ScoreType)), 0);
    for (int p = 0; p < 10; p++)
        EXPECT_NE(KX_Scores[p].Score, 100) << "old place 10 still at " << p + 1;
}

TEST(Ranking, InsertAtTheEndsAndNowhere)
{
    Descending();
    GameMode = 2;
    KX_ScoreType old[KX_NUM_SCORES];
    memcpy(old, KX_Scores, sizeof old);
    KX_PANEL_SCORES_AddScore(0, 100, "NO");
    EXPECT_EQ(memcmp(KX_Scores, old, sizeof old), 0);
    KX_PANEL_SCORES_AddScore(0, 150, "LST");
    EXPECT_EQ(KX_Scores[29].Score, 150);
    EXPECT_EQ(memcmp(KX_Scores + 20, old + 20, 9 * sizeof(KX_ScoreType)), 0);
    KX_PANEL_SCORES_AddScore(0, 5000, "TOP");
    EXPECT_EQ(KX_Scores[20].Score, 5000);
    EXPECT_EQ(KX_Scores[21].Score, 1000);
    EXPECT_EQ(KX_Scores[29].Score, 200);
}

TEST(Ranking, TablesNeverMix)
{
    Descending();
    KX_ScoreType old[KX_NUM_SCORES];
    memcpy(old, KX_Scores, sizeof old);
    // Mode 2's table is full of higher scores than mode 0's place 10 would need.
    for (int p = 0; p < 10; p++)
        KX_Scores[20 + p].Score = 100000;
    memcpy(old + 20, KX_Scores + 20, 10 * sizeof(KX_ScoreType));
    GameMode = 2;
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 5000), -1);
    KX_PANEL_SCORES_AddScore(0, 5000, "M2");
    EXPECT_EQ(memcmp(KX_Scores, old, sizeof old), 0);
    GameMode = 1;
    KX_PANEL_SCORES_AddScore(0, 5000, "M1");
    EXPECT_EQ(memcmp(KX_Scores, old, 10 * sizeof(KX_ScoreType)), 0);
    EXPECT_STREQ(KX_Scores[10].Name, "M1");
    EXPECT_EQ(memcmp(KX_Scores + 20, old + 20, 10 * sizeof(KX_ScoreType)), 0);
}

TEST(Ranking, OutOfRangeModeTouchesNothing)
{
    Descending();
    KX_ScoreType old[KX_NUM_SCORES];
    memcpy(old, KX_Scores, sizeof old);
    for (int mode : { -1, 3, 1000 }) {
        GameMode = mode;
        EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 1 << 30), -1);
        KX_PANEL_SCORES_AddScore(0, 1 << 30, "BAD");
    }
    EXPECT_EQ(memcmp(KX_Scores, old, sizeof old), 0);
    GameMode = 0;
}

TEST(Ranking, StoredNameIsAlwaysTerminated)
{
    Defaults();
    GameMode = 0;
    KX_PANEL_SCORES_AddScore(0, 10, "LONGER");
    EXPECT_EQ(std::string(KX_Scores[0].Name, 4), std::string("LON\0", 4));
    KX_PANEL_SCORES_AddScore(0, 20, "");
    EXPECT_EQ(std::string(KX_Scores[0].Name, 4), std::string(4, '\0'));
}

TEST(Ranking, NameTakenFromTheTableItself)
{
    Descending();
    GameMode = 0;
    KX_PANEL_SCORES_AddScore(0, 2000, KX_Scores[0].Name); // place 1, whose entry moves away
    EXPECT_STREQ(KX_Scores[0].Name, "00");
    EXPECT_STREQ(KX_Scores[1].Name, "00");
}
