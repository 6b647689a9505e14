// Ranking and inserting into the current mode's table, and the three tables kept apart.
#include "kx_scores.h"
#include "kx_world.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Every mode's table holds 1000, 900, ..., 100, levels 0 to 9, names "<mode><place - 1>".
void Descending()
{
    for (int t = 0; t < KX_SCORE_TABLES; t++)
        for (int p = 0; p < KX_SCORES_PER_TABLE; p++)
            KX_Scores[t * 10 + p] = { p, 1000 - 100 * p, { char('0' + t), char('0' + p), 0, 0 } };
}

} // namespace

TEST(Ranking, PlaceIsTheFirstStrictlyLowerEntry)
{
    for (KX_ScoreType &s : KX_Scores)
        s = { 0, 0, "UNK" };
    GameMode = 0;
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 0), -1); // must beat, not equal
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(9, 1), 1);
    Descending();
    GameMode = 1;
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 1000), 2);
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(9, 1000), 2); // the level plays no part
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 550), 6);
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 101), 10);
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 100), -1);
}

TEST(Ranking, InsertAtThreeShiftsAndDropsTheTenth)
{
    Descending();
    GameMode = 0;
    KX_ScoreType old[KX_NUM_SCORES];
    memcpy(old, KX_Scores, sizeof old);
    KX_PANEL_SCORES_AddScore(0, 100, "NO"); // no place: nothing moves
    EXPECT_EQ(memcmp(KX_Scores, old, sizeof old), 0);
    KX_PANEL_SCORES_AddScore(4, 850, "ABC");
    EXPECT_EQ(memcmp(KX_Scores, old, 2 * sizeof(KX_ScoreType)), 0);
    EXPECT_EQ(KX_Scores[2].Level, 4);
    EXPECT_EQ(KX_Scores[2].Score, 850);
    EXPECT_STREQ(KX_Scores[2].Name, "ABC");
    EXPECT_EQ(memcmp(KX_Scores + 3, old + 2, 7 * sizeof(KX_ScoreType)), 0);
    EXPECT_EQ(memcmp(KX_Scores + 10, old + 10, 20 * sizeof(KX_ScoreType)), 0);
}

TEST(Ranking, TablesNeverMix)
{
    Descending();
    for (int p = 0; p < 10; p++)
        KX_Scores[20 + p].Score = 100000; // mode 2's table beyond reach
    KX_ScoreType old[KX_NUM_SCORES];
    memcpy(old, KX_Scores, sizeof old);
    GameMode = 2;
    EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 5000), -1);
    KX_PANEL_SCORES_AddScore(0, 5000, "M2");
    EXPECT_EQ(memcmp(KX_Scores, old, sizeof old), 0);
    GameMode = 1;
    KX_PANEL_SCORES_AddScore(0, 5000, "M1");
    EXPECT_STREQ(KX_Scores[10].Name, "M1");
    EXPECT_EQ(memcmp(KX_Scores, old, 10 * sizeof(KX_ScoreType)), 0);
    EXPECT_EQ(memcmp(KX_Scores + 20, old + 20, 10 * sizeof(KX_ScoreType)), 0);
    // A mode with no table ranks nowhere and changes nothing.
    memcpy(old, KX_Scores, sizeof old);
    for (int mode : { -1, 3 }) {
        GameMode = mode;
        EXPECT_EQ(KX_PANEL_SCORES_ScorePosition(0, 1 << 30), -1);
        KX_PANEL_SCORES_AddScore(0, 1 << 30, "BAD");
    }
    EXPECT_EQ(memcmp(KX_Scores, old, sizeof old), 0);
    GameMode = 0;
}

TEST(Ranking, StoredNamesHoldAtMostThreeCharacters)
{
    Descending();
    GameMode = 0;
    KX_PANEL_SCORES_AddScore(0, 2000, "LONGER");
    EXPECT_EQ(std::string(KX_Scores[0].Name, 4), std::string("LON\0", 4));
    // A name taken from the very entry that moves down is copied before it moves.
    KX_PANEL_SCORES_AddScore(0, 3000, KX_Scores[0].Name);
    EXPECT_STREQ(KX_Scores[0].Name, "LON");
    EXPECT_STREQ(KX_Scores[1].Name, "LON");
}
