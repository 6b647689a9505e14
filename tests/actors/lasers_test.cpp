// The turrets and their shots: speeds, exits with the light, firing limits, wrapping, entering,
// barrel turning and the turret's explosion.
#include "actors_fixture.h"

class Lasers : public ActorTest {
protected:
    void SetUp() override
    {
        ActorTest::SetUp();
        ASSERT_TRUE(initialised);
        KXSprites_LaserX->SetActive(true);
        KXSprites_LaserY->SetActive(true);
    }
};

TEST_F(Lasers, ShotsFlyAtTheirSpeedsAndEndBeyondTheEdgesWithTheirLight)
{
    TShotXSprite *shot = KXSprites_Shot_X[1];
    shot->Fire(200, false);
    EXPECT_EQ(Y(shot), 420);
    EXPECT_EQ(shot->CurrentFrame(), 5);
    EXPECT_EQ(Lights[1].Spec, Light3);
    EXPECT_EQ(Played(KX_FX_LASER), 1);
    shot->Move(15);
    EXPECT_EQ(Y(shot), 413) << "0.5 px/ms truncated";
    shot->Move(20);
    EXPECT_EQ(Lights[1].Y, 403);
    shot->SetPosition(200, -30);
    shot->Move(4); // -32: still flying
    EXPECT_TRUE(Lights[1].Active);
    shot->Move(2);
    EXPECT_FALSE(shot->GetActive());
    EXPECT_FALSE(Lights[1].Active);

    shot->Fire(200, true);
    EXPECT_EQ(shot->CurrentFrame(), 11);
    shot->Move(20);
    EXPECT_EQ(X(shot), 217);
    EXPECT_EQ(Y(shot), 423);
    shot->SetPosition(448, 100);
    shot->Move(3);
    EXPECT_FALSE(shot->GetActive());

    TShotYSprite *yshot = KXSprites_Shot_Y[0];
    yshot->Fire(100, true);
    yshot->Move(20);
    EXPECT_EQ(X(yshot), 423);
    EXPECT_EQ(Lights[2].Y, 117) << "Y shot 1 carries light 2";
    yshot->SetPosition(100, 448);
    yshot->Move(3);
    EXPECT_FALSE(Lights[2].Active);
}

TEST_F(Lasers, FiringNeedsAFullyTurnedBarrelAndAFreeShot)
{
    TLaserXSprite *laser = KXSprites_LaserX;
    laser->SetPosition(150, 432);
    laser->TurnPos = 2;
    EXPECT_FALSE(laser->Fire());
    EXPECT_EQ(Played(KX_FX_LASER), 0);
    laser->TurnPos = 3;
    EXPECT_TRUE(laser->Fire());
    EXPECT_EQ(X(KXSprites_Shot_X[0]), 160);
    EXPECT_EQ(Y(KXSprites_Shot_X[0]), 430);
    laser->TurnPos = 0;
    EXPECT_TRUE(laser->Fire());
    EXPECT_FALSE(laser->Fire()) << "two shots in flight";
    EXPECT_FALSE(KXSprites_Shot_Y[0]->GetActive());
    KXSprites_Shot_X[0]->Off();
    EXPECT_TRUE(laser->Fire());

    KXSprites_LaserY->SetPosition(432, 300);
    EXPECT_TRUE(KXSprites_LaserY->Fire());
    EXPECT_EQ(X(KXSprites_Shot_Y[0]), 420);
    EXPECT_EQ(Y(KXSprites_Shot_Y[0]), 300);
}

TEST_F(Lasers, TurretsWrapExceptWhileEntering)
{
    TLaserXSprite *laser = KXSprites_LaserX;
    laser->SetPosition(17, 432);
    laser->SetMovement(-1);
    laser->Move(20);
    EXPECT_EQ(TurretX, 382) << "17 - 4 = 13, wrapped by 369";
    laser->SetMovement(1);
    laser->SetPosition(384, 432);
    laser->Move(20);
    EXPECT_EQ(X(laser), 19);
    laser->SetPosition(17, 432);
    laser->SetMovement(-1);
    laser->SetEntering(true);
    laser->Move(20);
    EXPECT_EQ(X(laser), 13);

    KXSprites_LaserY->SetPosition(432, 432);
    KXSprites_LaserY->SetEntering(true);
    KXSprites_LaserY->SetMovement(-1);
    MoveBy(KXSprites_LaserY, 200);
    EXPECT_EQ(X(KXSprites_LaserY), 432);
    EXPECT_EQ(TurretY, 392);
}

TEST_F(Lasers, BarrelTurnsInThreeTicksAndBack)
{
    TLaserXSprite *laser = KXSprites_LaserX;
    laser->SetTurn(true);
    laser->Move(66);
    EXPECT_EQ(laser->TurnPos, 0) << "66 ms is not yet a tick";
    MoveBy(laser, 133, 1); // ticks at 67, 133 and 199 ms
    EXPECT_EQ(laser->CurrentFrame(), 3 + 8 * 3);
    laser->SetTurn(false);
    MoveBy(laser, 3 * 67, 67);
    EXPECT_EQ(laser->CurrentFrame(), 6);
}

TEST_F(Lasers, AnExplodingTurretExplodesOnceAndGoesAfter200ms)
{
    TLaserXSprite *laser = KXSprites_LaserX;
    laser->SetPosition(100, 432);
    laser->SetMovement(1);
    laser->Explode();
    laser->Explode();
    EXPECT_EQ(Played(KX_FX_EXPL02), 1);
    EXPECT_FALSE(KXSprites_Explosion[1]->GetActive());
    EXPECT_EQ(KXSprites_Explosion[0]->GetDefinition(), KXSprites_Def[16]);
    EXPECT_EQ(X(KXSprites_Explosion[0]), 100);
    MoveBy(laser, 200);
    EXPECT_EQ(X(laser), 100) << "it keeps its place";
    EXPECT_TRUE(laser->GetActive());
    laser->Move(1);
    EXPECT_FALSE(laser->GetActive());

    for (TExplosionSprite *e : KXSprites_Explosion)
        e->StartExplode(0, 0);
    KXSprites_LaserY->Explode();
    EXPECT_EQ(Played(KX_FX_EXPL02), 2) << "the sound plays with no explosion free";
    MoveBy(KXSprites_LaserY, 220);
    EXPECT_FALSE(KXSprites_LaserY->GetActive());
}
