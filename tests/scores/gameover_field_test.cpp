// The game-over state freezes the field: enemies vanish unless exploding, lasers stop, shots go.
#include "kx_state_gameover.h"
#include "kx_scores.h"
#include "actors/actors_fixture.h"

#include <cstring>

class GameOverField : public ActorTest {};

TEST_F(GameOverField, StartFreezesTheField)
{
    ASSERT_TRUE(initialised) << log.Text();
    UseLevel(0);
    memset(KX_Scores, 0, sizeof KX_Scores);
    ScoreP1 = ScoreP2 = 0;
    KXSprites_Enemy_X[0]->Spawn();
    KXSprites_Enemy_Y[3]->Spawn();
    KXSprites_Enemy_X[1]->Spawn();
    KXSprites_Enemy_X[1]->Explode();
    ASSERT_TRUE(KXSprites_Enemy_X[1]->GetActive());
    KXSprites_LaserX->SetPosition(212, 432);
    KXSprites_LaserY->SetPosition(432, 212);
    KXSprites_LaserX->SetActive(true);
    KXSprites_LaserY->SetActive(true);
    KXSprites_LaserX->SetMovement(1);
    KXSprites_LaserY->SetMovement(-1);
    KXSprites_LaserX->SetTurn(true);
    KXSprites_Shot_X[0]->Fire(200, false);
    KXSprites_Shot_Y[1]->Fire(200, true);
    ASSERT_TRUE(KXSprites_Shot_X[0]->GetActive());

    KX_STATE_GAMEOVER_Start();
    EXPECT_FALSE(KXSprites_Enemy_X[0]->GetActive());
    EXPECT_FALSE(KXSprites_Enemy_Y[3]->GetActive());
    EXPECT_TRUE(KXSprites_Enemy_X[1]->GetActive()); // its explosion plays out
    EXPECT_EQ(KXSprites_LaserX->Movement, 0);
    EXPECT_EQ(KXSprites_LaserY->Movement, 0);
    EXPECT_FALSE(KXSprites_LaserX->Turn);
    for (int i = 0; i < KX_NUM_SHOTS; i++) {
        EXPECT_FALSE(KXSprites_Shot_X[i]->GetActive());
        EXPECT_FALSE(KXSprites_Shot_Y[i]->GetActive());
    }
    // The lasers stay where they are, drawn over the frozen field.
    int x0, y0, x1, y1;
    KXSprites_LaserX->GetPosition(&x0, &y0);
    KX_STATE_GAMEOVER_Update((int)StateTime + 500);
    KXSprites_LaserX->GetPosition(&x1, &y1);
    EXPECT_EQ(x1, x0);
}
