// Enemies and explosions: crossing, turning toward the hunted turret, quick reversal, freezing,
// exploding once, and the explosions' frame timing.
#include "actors_fixture.h"

class Enemies : public ActorTest {
protected:
    void SetUp() override
    {
        ActorTest::SetUp();
        ASSERT_TRUE(initialised);
        UseLevel(0);
    }
    // X enemy 0 on its runway at height y, facing the crossing direction.
    static TEnemyXSprite *OnRunway(int y)
    {
        TEnemyXSprite *e = KXSprites_Enemy_X[0];
        e->Spawn();
        e->PosX = 432.0f;
        e->PosY = (float)y;
        e->SetPosition(432, y);
        e->Turned = true;
        return e;
    }
};

TEST_F(Enemies, CrossingTakesItsTimeAnimatesAndStopsExactlyAtTheRunway)
{
    TEnemyXSprite *e = KXSprites_Enemy_X[3];
    e->Freeze();
    e->Spawn();
    EXPECT_FALSE(e->Frozen);
    EXPECT_EQ(X(e), -64);
    EXPECT_TRUE(Y(e) >= 32 && Y(e) <= 391) << Y(e);
    e->AnimTime = 46;
    e->Move(20);
    EXPECT_EQ(X(e), -61) << "150 px per 1000 ms";
    EXPECT_EQ(e->AnimIndex, 0) << "66 ms is not exceeded";
    e->AnimTime = 60;
    e->Move(20);
    EXPECT_EQ(e->AnimIndex, 1);
    EXPECT_EQ(e->AnimTime, 14);
    MoveBy(e, 3260);
    EXPECT_FALSE(e->Turned) << "one pixel short after 3300 ms";
    e->Move(20);
    EXPECT_TRUE(e->Turned);
    EXPECT_EQ(e->PosX, 432.0f) << "434 is set back to the runway";

    // Fractions of a pixel per step add up rather than being lost.
    TEnemyYSprite *ye = KXSprites_Enemy_Y[0];
    ye->Spawn();
    EXPECT_EQ(Y(ye), -64);
    MoveBy(ye, 1000, 15);
    EXPECT_EQ(Y(ye), -64 + 150);
}

TEST_F(Enemies, OnTheRunwayItTurnsTowardTheTurretBeforeMoving)
{
    const KX_EnemyAnimType &anim = EnemyAnimData[1];
    TurretY = 100;
    TEnemyXSprite *e = OnRunway(300);
    MoveBy(e, 6 * 67, 67);
    EXPECT_EQ(e->TurnPhase, 0);
    EXPECT_EQ(e->CurrentFrame(), anim.TurnFrames[0]);
    EXPECT_EQ(Y(e), 300) << "no movement while turning";
    e->Move(20);
    EXPECT_EQ(Y(e), 297);
    EXPECT_EQ(e->CurrentFrame(), anim.LowFrames[anim.LowStart]);

    // Level with the turret counts as below it: a full reversal through twelve phases.
    TurretY = 297;
    MoveBy(e, 11 * 67, 67);
    EXPECT_EQ(e->TurnPhase, 11);
    EXPECT_EQ(Y(e), 297);
    e->Move(67);
    e->Move(20);
    EXPECT_EQ(Y(e), 300);
    EXPECT_EQ(e->CurrentFrame(), anim.HighFrames[anim.HighStart]);

    // A Y enemy hunts the X laser along the bottom runway.
    TurretX = 50;
    TEnemyYSprite *ye = KXSprites_Enemy_Y[0];
    ye->Spawn();
    ye->PosX = 200.0f;
    ye->PosY = 431.0f;
    MoveBy(ye, 440); // crosses, turns six ticks, then moves
    EXPECT_LT(X(ye), 200);
    EXPECT_EQ(Y(ye), 432);
}

TEST_F(Enemies, QuickTurnReversesAtOnceButOnlyForXEnemies)
{
    UseLevel(8); // the ufo record turns quickly
    TurretY = 400;
    TEnemyXSprite *e = OnRunway(300);
    e->TurnPhase = 0;
    e->AnimIndex = 2;
    e->Move(20);
    EXPECT_EQ(e->TurnPhase, 12);
    EXPECT_EQ(e->AnimIndex, 6) << "2 of a 9-frame cycle mirrors to 6";
    EXPECT_EQ(Y(e), 300);
    e->Move(20);
    EXPECT_GT(Y(e), 300);

    TEnemyYSprite *ye = KXSprites_Enemy_Y[0];
    ye->SetAnimData(&EnemyAnimData[9]);
    ye->Spawn();
    ye->Turned = true;
    ye->TurnPhase = 0;
    ye->PosX = 100.0f;
    ye->SetPosition(100, 432);
    TurretX = 300;
    ye->Move(70);
    EXPECT_EQ(ye->TurnPhase, 1) << "it turns through the phases";
}

TEST_F(Enemies, FrozenEnemiesHoldStillButStillFinishExploding)
{
    TEnemyXSprite *e = KXSprites_Enemy_X[0];
    e->Spawn();
    e->Move(100);
    int x = X(e), index = e->AnimIndex;
    e->Freeze();
    MoveBy(e, 500);
    EXPECT_EQ(X(e), x);
    EXPECT_EQ(e->AnimIndex, index);
    e->Resume();
    e->Move(20);
    EXPECT_EQ(X(e), x + 3);

    e->Freeze();
    e->Explode();
    MoveBy(e, 200);
    EXPECT_TRUE(e->GetActive());
    e->Move(1);
    EXPECT_FALSE(e->GetActive());
}

TEST_F(Enemies, ExplodingTwiceGivesOneExplosionAndOneSound)
{
    UseLevel(6); // X enemies explode with definition 15, Y enemies with 14
    TEnemyXSprite *e = KXSprites_Enemy_X[2];
    e->Spawn();
    e->SetPosition(100, 150);
    e->Explode();
    e->Explode();
    EXPECT_EQ(Played(KX_FX_EXPL01), 1);
    EXPECT_FALSE(KXSprites_Explosion[1]->GetActive());
    EXPECT_EQ(KXSprites_Explosion[0]->GetDefinition(), KXSprites_Def[15]);
    EXPECT_EQ(Y(KXSprites_Explosion[0]), 150);
    KXSprites_Enemy_Y[0]->Spawn();
    KXSprites_Enemy_Y[0]->Explode();
    EXPECT_EQ(KXSprites_Explosion[1]->GetDefinition(), KXSprites_Def[14]);

    // With every explosion busy the enemy still explodes, with its sound.
    for (TExplosionSprite *ex : KXSprites_Explosion)
        ex->StartExplode(10, 10);
    EXPECT_EQ(KX_SPRITES_GetFreeExplosion(), nullptr);
    KXSprites_Enemy_X[0]->Spawn();
    KXSprites_Enemy_X[0]->Explode();
    EXPECT_EQ(Played(KX_FX_EXPL01), 3);
    EXPECT_TRUE(KXSprites_Enemy_X[0]->IsExploding());
    KXSprites_Explosion[7]->SetActive(false);
    KXSprites_Explosion[0]->SetActive(false);
    EXPECT_EQ(KX_SPRITES_GetFreeExplosion(), KXSprites_Explosion[0]);
}

TEST_F(Enemies, ExplosionsShowEachFrameFor50ms)
{
    TExplosionSprite *ex = KXSprites_Explosion[4];
    ex->StartExplode(50, 60);
    MoveBy(ex, 40);
    EXPECT_EQ(ex->CurrentFrame(), 0);
    ex->Move(20);
    EXPECT_EQ(ex->CurrentFrame(), 1);
    MoveBy(ex, 740);
    EXPECT_EQ(ex->CurrentFrame(), 15);
    ex->Move(20);
    EXPECT_FALSE(ex->GetActive()) << "frame 16 is reached after more than 800 ms";

    TElectroExpSprite *zap = KXSprites_ElextroExp;
    zap->StartExplode(220, 220);
    MoveBy(zap, 600);
    EXPECT_EQ(zap->CurrentFrame(), 11);
    zap->Move(20);
    EXPECT_FALSE(zap->GetActive());
}
