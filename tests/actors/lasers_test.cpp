// The laser turrets and their shots: speeds, exits with the light, firing limits, wrapping,
// entering, barrel turning and the turret's explosion.
#include "actors_fixture.h"

class Lasers : public ActorTest {
protected:
    void SetUp() override
    {
        ActorTest::SetUp();
        ASSERT_TRUE(initialised);
    }
    static const TLightSlot &Slot(int n) { return Lights[n]; }
};

TEST_F(Lasers, StraightAndDiagonalShotsFlyAtTheirSpeedsCarryingTheirLight)
{
    TShotXSprite *shot = KXSprites_Shot_X[1];
    int x, y;
    shot->Fire(200, false);
    Pos(shot, x, y);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 420);
    EXPECT_EQ(shot->CurrentFrame(), 5);
    EXPECT_TRUE(Slot(1).Active);
    EXPECT_EQ(Slot(1).Spec, Light3);
    EXPECT_EQ(Played(KX_FX_LASER), 1);
    shot->Move(15);
    Pos(shot, x, y);
    EXPECT_EQ(y, 413) << "0.5 px/ms truncated: 7 pixels in 15 ms";
    shot->Move(20);
    Pos(shot, x, y);
    EXPECT_EQ(y, 403);
    EXPECT_EQ(Slot(1).X, 200);
    EXPECT_EQ(Slot(1).Y, 403);

    shot->Fire(200, true);
    Pos(shot, x, y);
    EXPECT_EQ(x, 210);
    EXPECT_EQ(y, 430);
    EXPECT_EQ(shot->CurrentFrame(), 11);
    shot->Move(20);
    Pos(shot, x, y);
    EXPECT_EQ(x, 217);
    EXPECT_EQ(y, 423);

    TShotYSprite *yshot = KXSprites_Shot_Y[0];
    yshot->Fire(100, true);
    Pos(yshot, x, y);
    EXPECT_EQ(x, 430);
    EXPECT_EQ(y, 110);
    yshot->Move(20);
    Pos(yshot, x, y);
    EXPECT_EQ(x, 423);
    EXPECT_EQ(y, 117);
    EXPECT_EQ(Slot(2).X, 423) << "Y shot 1 carries light 2";
}

TEST_F(Lasers, ShotsEndBeyondTheEdgesAndSwitchTheirLightOff)
{
    TShotXSprite *shot = KXSprites_Shot_X[0];
    shot->Fire(200, false);
    shot->SetPosition(200, -30);
    shot->Move(4); // to -32: still on its way
    EXPECT_TRUE(shot->GetActive());
    EXPECT_TRUE(Slot(0).Active);
    shot->Move(2); // -33
    EXPECT_FALSE(shot->GetActive());
    EXPECT_FALSE(Slot(0).Active);

    shot->Fire(440, true);
    shot->Move(3); // one pixel right, to 450
    EXPECT_FALSE(shot->GetActive());

    TShotYSprite *yshot = KXSprites_Shot_Y[1];
    yshot->Fire(200, false);
    yshot->SetPosition(-31, 200);
    yshot->Move(4);
    EXPECT_FALSE(yshot->GetActive());
    EXPECT_FALSE(Slot(3).Active);
    yshot->Fire(440, true); // starts at y 450: gone at its first step
    yshot->Move(1);
    EXPECT_FALSE(yshot->GetActive());
}

TEST_F(Lasers, FiringNeedsAFullyTurnedBarrelAndAFreeShot)
{
    TLaserXSprite *laser = KXSprites_LaserX;
    laser->SetActive(true);
    laser->SetPosition(150, 432);
    laser->TurnPos = 2;
    EXPECT_FALSE(laser->Fire());
    laser->TurnPos = 1;
    EXPECT_FALSE(laser->Fire());
    EXPECT_FALSE(KXSprites_Shot_X[0]->GetActive());
    EXPECT_EQ(Played(KX_FX_LASER), 0);

    laser->TurnPos = 3;
    EXPECT_TRUE(laser->Fire());
    EXPECT_TRUE(KXSprites_Shot_X[0]->Diagonal);
    laser->TurnPos = 0;
    EXPECT_TRUE(laser->Fire());
    EXPECT_FALSE(KXSprites_Shot_X[1]->Diagonal);
    int x, y;
    Pos(KXSprites_Shot_X[1], x, y);
    EXPECT_EQ(x, 150);
    EXPECT_FALSE(laser->Fire()) << "two shots in flight";
    EXPECT_EQ(Played(KX_FX_LASER), 2);
    KXSprites_Shot_X[0]->Off();
    EXPECT_TRUE(laser->Fire());
    EXPECT_FALSE(KXSprites_Shot_Y[0]->GetActive()) << "the X laser never takes a Y shot";

    KXSprites_LaserY->SetPosition(432, 300);
    EXPECT_TRUE(KXSprites_LaserY->Fire());
    Pos(KXSprites_Shot_Y[0], x, y);
    EXPECT_EQ(x, 420);
    EXPECT_EQ(y, 300);
}

TEST_F(Lasers, TurretsMoveWrapAndSlideInWithoutWrapping)
{
    TLaserXSprite *laser = KXSprites_LaserX;
    laser->SetActive(true);
    laser->SetPosition(17, 432);
    laser->SetMovement(-1);
    laser->Move(20);
    int x, y;
    Pos(laser, x, y);
    EXPECT_EQ(x, 382) << "17 - 4 = 13, wrapped by 369";
    EXPECT_EQ(TurretX, 382);
    laser->SetMovement(1);
    laser->SetPosition(384, 432);
    laser->Move(20);
    Pos(laser, x, y);
    EXPECT_EQ(x, 19);
    laser->Move(4); // below one pixel: no movement
    Pos(laser, x, y);
    EXPECT_EQ(x, 19);

    laser->SetPosition(17, 432);
    laser->SetMovement(-1);
    laser->SetEntering(true);
    laser->Move(20);
    Pos(laser, x, y);
    EXPECT_EQ(x, 13);

    TLaserYSprite *ylaser = KXSprites_LaserY;
    ylaser->SetActive(true);
    ylaser->SetPosition(432, 432);
    ylaser->SetEntering(true);
    ylaser->SetMovement(-1);
    MoveBy(ylaser, 200);
    Pos(ylaser, x, y);
    EXPECT_EQ(x, 432);
    EXPECT_EQ(y, 392);
    EXPECT_EQ(TurretY, 392);
}

TEST_F(Lasers, BarrelTurnsInThreeTicksAndBack)
{
    TLaserXSprite *laser = KXSprites_LaserX;
    laser->SetActive(true);
    laser->SetTurn(true);
    laser->Move(66);
    EXPECT_EQ(laser->TurnPos, 0) << "66 ms is not more than a tick";
    laser->Move(1);
    EXPECT_EQ(laser->TurnPos, 1);
    laser->Move(67);
    laser->Move(67);
    EXPECT_EQ(laser->TurnPos, 3);
    laser->Move(67);
    EXPECT_EQ(laser->TurnPos, 3);
    EXPECT_EQ(laser->AnimFrame, 4);
    EXPECT_EQ(laser->CurrentFrame(), 4 + 8 * 3);
    laser->SetTurn(false);
    MoveBy(laser, 3 * 67, 67);
    EXPECT_EQ(laser->TurnPos, 0);
    EXPECT_EQ(laser->CurrentFrame(), 7);
    laser->Move(67);
    EXPECT_EQ(laser->CurrentFrame(), 0) << "eight animation frames wrap";
}

TEST_F(Lasers, AnExplodingTurretExplodesOnceAndGoesAfter200ms)
{
    TLaserXSprite *laser = KXSprites_LaserX;
    laser->SetActive(true);
    laser->SetPosition(100, 432);
    laser->SetMovement(1);
    laser->Explode();
    laser->Explode();
    EXPECT_EQ(Played(KX_FX_EXPL02), 1);
    int busy = 0;
    for (TExplosionSprite *e : KXSprites_Explosion)
        busy += e->GetActive();
    EXPECT_EQ(busy, 1);
    EXPECT_EQ(KXSprites_Explosion[0]->GetDefinition(), KXSprites_Def[16]);
    int x, y;
    Pos(KXSprites_Explosion[0], x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 432);

    MoveBy(laser, 200);
    EXPECT_TRUE(laser->GetActive());
    Pos(laser, x, y);
    EXPECT_EQ(x, 100) << "an exploding turret keeps its place";
    laser->Move(1);
    EXPECT_FALSE(laser->GetActive());
    EXPECT_FALSE(laser->Exploding);

    // With every explosion busy the sound still plays and the turret still goes.
    for (TExplosionSprite *e : KXSprites_Explosion)
        e->StartExplode(0, 0);
    TLaserYSprite *ylaser = KXSprites_LaserY;
    ylaser->SetActive(true);
    ylaser->Explode();
    EXPECT_EQ(Played(KX_FX_EXPL02), 2);
    MoveBy(ylaser, 220);
    EXPECT_FALSE(ylaser->GetActive());
}
