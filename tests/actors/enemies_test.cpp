// Enemies and explosions: spawning, crossing, turning toward the hunted turret, quick reversal,
// freezing, exploding once, and the explosions' frame timing.
#include "actors_fixture.h"

class Enemies : public ActorTest {
protected:
    void SetUp() override
    {
        ActorTest::SetUp();
        ASSERT_TRUE(initialised);
        UseLevel(0);
    }
    // An X enemy already on its runway at height y, facing the crossing direction.
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

TEST_F(Enemies, SpawnStartsBeyondTheLeftOrTopEdge)
{
    for (int i = 0; i < 50; i++) {
        TEnemyXSprite *e = KXSprites_Enemy_X[i % 10];
        e->Freeze();
        e->Spawn();
        int x, y;
        Pos(e, x, y);
        EXPECT_EQ(x, -64);
        EXPECT_GE(y, 32);
        EXPECT_LE(y, 391);
        EXPECT_TRUE(e->GetActive());
        EXPECT_FALSE(e->Frozen);
        EXPECT_EQ(e->TurnPhase, 6);
        EXPECT_EQ(e->CurrentFrame(), EnemyAnimData[1].CrossFrames[0]);
        TEnemyYSprite *ye = KXSprites_Enemy_Y[i % 10];
        ye->Spawn();
        Pos(ye, x, y);
        EXPECT_EQ(y, -64);
        EXPECT_GE(x, 32);
        EXPECT_LE(x, 391);
    }
}

TEST_F(Enemies, CrossingTakesItsTimeAndStopsExactlyAtTheRunway)
{
    TEnemyXSprite *e = KXSprites_Enemy_X[3];
    e->Spawn();
    e->Move(20);
    int x, y;
    Pos(e, x, y);
    EXPECT_EQ(x, -61) << "150 px per 1000 ms: 3 pixels in 20 ms";
    MoveBy(e, 3280);
    EXPECT_FALSE(e->Turned) << "after 3300 ms it is still 1 pixel short";
    e->Move(20);
    EXPECT_TRUE(e->Turned);
    EXPECT_EQ(e->PosX, 432.0f) << "434.0 is set back to the runway";

    // Slow speeds accumulate across steps instead of being lost to truncation.
    TEnemyYSprite *ye = KXSprites_Enemy_Y[0];
    ye->Spawn();
    MoveBy(ye, 1000, 15); // 2.25 pixels a step
    Pos(ye, x, y);
    EXPECT_EQ(y, -64 + 150);
}

TEST_F(Enemies, AnimationTicksOnlyWhen66msIsExceeded)
{
    TEnemyXSprite *e = KXSprites_Enemy_X[0];
    e->Spawn();
    e->AnimTime = 46;
    e->Move(20);
    EXPECT_EQ(e->AnimIndex, 0);
    EXPECT_EQ(e->AnimTime, 66);
    e->AnimTime = 60;
    e->Move(20);
    EXPECT_EQ(e->AnimIndex, 1);
    EXPECT_EQ(e->AnimTime, 14);
    EXPECT_EQ(e->CurrentFrame(), EnemyAnimData[1].CrossFrames[1]);
}

TEST_F(Enemies, OnTheRunwayItTurnsTowardTheTurretBeforeMoving)
{
    const KX_EnemyAnimType &anim = EnemyAnimData[1];
    TurretY = 100;
    TEnemyXSprite *e = OnRunway(300);
    MoveBy(e, 6 * 67, 67);
    EXPECT_EQ(e->TurnPhase, 0);
    EXPECT_EQ(e->AnimIndex, anim.LowStart);
    EXPECT_EQ(e->CurrentFrame(), anim.TurnFrames[0]);
    int x, y;
    Pos(e, x, y);
    EXPECT_EQ(y, 300) << "it does not move while turning";
    e->Move(20);
    Pos(e, x, y);
    EXPECT_EQ(y, 297);
    EXPECT_EQ(e->CurrentFrame(), anim.LowFrames[anim.LowStart]);

    // Level with the turret counts as below it: a full reversal through twelve phases.
    TurretY = 297;
    MoveBy(e, 11 * 67, 67);
    EXPECT_EQ(e->TurnPhase, 11);
    Pos(e, x, y);
    EXPECT_EQ(y, 297);
    e->Move(67);
    EXPECT_EQ(e->TurnPhase, 12);
    EXPECT_EQ(e->AnimIndex, anim.HighStart);
    e->Move(20);
    Pos(e, x, y);
    EXPECT_EQ(y, 300);
    EXPECT_EQ(e->CurrentFrame(), anim.HighFrames[anim.HighStart]);

    // A Y enemy hunts the X laser along the bottom runway.
    TurretX = 50;
    TEnemyYSprite *ye = KXSprites_Enemy_Y[0];
    ye->Spawn();
    ye->PosX = 200.0f;
    ye->PosY = 431.0f;
    ye->Move(20);
    EXPECT_TRUE(ye->Turned);
    MoveBy(ye, 6 * 67 + 20, 67);
    Pos(ye, x, y);
    EXPECT_LT(x, 200);
    EXPECT_EQ(y, 432);
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
    int x, y;
    Pos(e, x, y);
    EXPECT_EQ(y, 300);
    e->Move(20);
    Pos(e, x, y);
    EXPECT_GT(y, 300);

    TEnemyYSprite *ye = KXSprites_Enemy_Y[0];
    ye->SetAnimData(&EnemyAnimData[9]);
    ye->Spawn();
    ye->Turned = true;
    ye->TurnPhase = 0;
    ye->PosX = 100.0f;
    ye->PosY = 432.0f;
    ye->SetPosition(100, 432);
    TurretX = 300;
    ye->Move(20);
    EXPECT_EQ(ye->TurnPhase, 0) << "20 ms is no tick";
    ye->Move(50);
    EXPECT_EQ(ye->TurnPhase, 1) << "turning through the phases";
}

TEST_F(Enemies, FrozenEnemiesHoldStillButStillFinishExploding)
{
    TEnemyXSprite *e = KXSprites_Enemy_X[0];
    e->Spawn();
    e->Move(100);
    int x0, y0, x, y;
    Pos(e, x0, y0);
    int frame = e->CurrentFrame(), index = e->AnimIndex;
    e->Freeze();
    MoveBy(e, 500);
    Pos(e, x, y);
    EXPECT_EQ(x, x0);
    EXPECT_EQ(e->AnimIndex, index);
    EXPECT_EQ(e->CurrentFrame(), frame);
    e->Resume();
    e->Move(20);
    Pos(e, x, y);
    EXPECT_EQ(x, x0 + 3);

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
    EXPECT_TRUE(e->IsExploding());
    EXPECT_EQ(Played(KX_FX_EXPL01), 1);
    EXPECT_TRUE(KXSprites_Explosion[0]->GetActive());
    EXPECT_FALSE(KXSprites_Explosion[1]->GetActive());
    EXPECT_EQ(KXSprites_Explosion[0]->GetDefinition(), KXSprites_Def[15]);
    int x, y;
    Pos(KXSprites_Explosion[0], x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 150);
    KXSprites_Enemy_Y[0]->Spawn();
    KXSprites_Enemy_Y[0]->Explode();
    EXPECT_EQ(KXSprites_Explosion[1]->GetDefinition(), KXSprites_Def[14]);
}

TEST_F(Enemies, FreeExplosionsAreTakenInPoolOrder)
{
    for (TExplosionSprite *ex : KXSprites_Explosion)
        ex->StartExplode(10, 10);
    EXPECT_EQ(KX_SPRITES_GetFreeExplosion(), nullptr);
    TEnemyXSprite *e = KXSprites_Enemy_X[0];
    e->Spawn();
    e->Explode();
    EXPECT_EQ(Played(KX_FX_EXPL01), 1) << "the sound plays without an explosion sprite";
    EXPECT_TRUE(e->IsExploding());
    KXSprites_Explosion[7]->SetActive(false);
    KXSprites_Explosion[0]->SetActive(false);
    EXPECT_EQ(KX_SPRITES_GetFreeExplosion(), KXSprites_Explosion[0]);
}

TEST_F(Enemies, ExplosionsShowEachFrameFor50ms)
{
    TExplosionSprite *ex = KXSprites_Explosion[4];
    ex->StartExplode(50, 60);
    ex->Move(20);
    ex->Move(20);
    EXPECT_EQ(ex->CurrentFrame(), 0);
    ex->Move(20);
    EXPECT_EQ(ex->CurrentFrame(), 1);
    int steps = 3;
    while (ex->GetActive() && steps < 100) {
        EXPECT_LT(ex->CurrentFrame(), 16);
        ex->Move(20);
        steps++;
    }
    EXPECT_EQ(steps, 41) << "frame 16 is reached after more than 800 ms";

    TElectroExpSprite *zap = KXSprites_ElextroExp;
    zap->StartExplode(220, 220);
    MoveBy(zap, 600);
    EXPECT_TRUE(zap->GetActive());
    EXPECT_EQ(zap->CurrentFrame(), 11);
    zap->Move(20);
    EXPECT_FALSE(zap->GetActive());
}
