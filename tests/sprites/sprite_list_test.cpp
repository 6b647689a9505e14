// The sprite list: bounded-step moving, pause and resume, list order, collision walk, drawing bound.
#include "sprite_fixture.h"

#include <climits>

namespace {

// A sprite that records its moves and can switch on another sprite when it moves.
class TTestSprite : public TSprite {
public:
    TTestSprite(TSpriteDef *def, int id) : TSprite(def, id) {}
    void Move(int deltaTime) override
    {
        steps.push_back(deltaTime);
        if (wake)
            wake->SetActive(true);
    }
    std::vector<int> steps;
    TSprite *wake = nullptr;
};

class SpriteListTest : public SpriteDisplayTest {
protected:
    TTestSprite *Add(TSpriteDef *def, int id, bool active = true)
    {
        TTestSprite *s = new TTestSprite(def, id);
        s->SetActive(active);
        DDSPRITE_Add(s);
        return s;
    }
};

TEST_F(SpriteListTest, MoveAllTakesBoundedSteps)
{
    TTestSprite *on = Add(nullptr, 1);
    TTestSprite *off = Add(nullptr, 2, false);
    DDSPRITE_SetStartTime(1000);
    EXPECT_EQ(DDSPRITE_MoveAll(1055), 1020);
    DDSPRITE_Debug = true;
    EXPECT_EQ(DDSPRITE_MoveAll(1055), 1040);
    DDSPRITE_Debug = false;
    EXPECT_TRUE(log.Has("Sprite DeltaTime = 20"));
    EXPECT_EQ(DDSPRITE_MoveAll(1055), 1055);
    EXPECT_EQ(DDSPRITE_MoveAll(1055), 1055);
    EXPECT_EQ(on->steps, (std::vector<int>{ 20, 20, 15 }));
    EXPECT_TRUE(off->steps.empty());
    // A time before the clock changes nothing.
    EXPECT_EQ(DDSPRITE_MoveAll(990), 990);
    EXPECT_EQ(SpriteLastUpdateTime, 1055);
    EXPECT_EQ(on->steps.size(), 3u);
    // The clock wraps as the millisecond clock does.
    DDSPRITE_SetStartTime(INT_MAX - 5);
    EXPECT_EQ(DDSPRITE_MoveAll(INT_MIN + 4), INT_MIN + 4);
    EXPECT_EQ(on->steps.back(), 10);
}

TEST_F(SpriteListTest, SpritesWokenDuringTheWalk)
{
    TTestSprite *early = Add(nullptr, 1, false);
    TTestSprite *waker = Add(nullptr, 2);
    TTestSprite *late = Add(nullptr, 3, false);
    waker->wake = late;
    DDSPRITE_SetStartTime(0);
    DDSPRITE_MoveAll(20);
    EXPECT_EQ(late->steps.size(), 1u); // later in the list: moved in the same walk
    waker->wake = early;
    DDSPRITE_MoveAll(40);
    EXPECT_TRUE(early->steps.empty()); // earlier: only from the next walk on
    DDSPRITE_MoveAll(60);
    EXPECT_EQ(early->steps.size(), 1u);
}

TEST_F(SpriteListTest, PauseAndResumeSkipTheInterval)
{
    DDSPRITE_SetStartTime(4000);
    DDSPRITE_Pause(5000);
    DDSPRITE_Resume(8000);
    EXPECT_EQ(SpriteLastUpdateTime, 7000);
    // A zero step would leave callers waiting for a clock that never moves.
    DDSPRITE_Initialise(0);
    EXPECT_EQ(SpriteMaxTimeStep, 1);
    EXPECT_TRUE(log.Has("DDSPRITE_Initialise: Time step below 1 ms, using 1 ms"));
    EXPECT_EQ(DDSPRITE_MoveAll(7005), 7001);
}

TEST_F(SpriteListTest, ListLinksStaySound)
{
    TTestSprite *a = Add(nullptr, 1), *b = Add(nullptr, 2), *c = Add(nullptr, 3);
    EXPECT_EQ(SpriteHead, a);
    EXPECT_EQ(a->GetNext(), b);
    EXPECT_EQ(c->GetPrev(), b);
    // Adding twice would close a loop: refused.
    DDSPRITE_Add(b);
    EXPECT_TRUE(log.Has("TSprite: Sprite is already in a list"));
    EXPECT_EQ(b->GetNext(), c);
    EXPECT_EQ(SpriteTail, c);
    delete a;
    EXPECT_EQ(SpriteHead, b);
    EXPECT_EQ(b->GetPrev(), nullptr);
    delete c;
    EXPECT_EQ(SpriteTail, b);
    // Emptying the list detaches its sprites: destroying one later touches no list.
    TTestSprite *d = Add(nullptr, 4);
    DDSPRITE_Initialise(20);
    EXPECT_EQ(SpriteHead, nullptr);
    TTestSprite *e = Add(nullptr, 5);
    delete b;
    delete d;
    EXPECT_EQ(SpriteHead, e);
    EXPECT_EQ(SpriteTail, e);
    EXPECT_EQ(e->GetPrev(), nullptr);
    EXPECT_EQ(e->GetNext(), nullptr);
}

TEST_F(SpriteListTest, CollisionWalksTheListInOrder)
{
    TSpriteDef *box = Def(Whole(Picture("b.bmp", { "####", "####", "####", "####" }), 4, 4, DDSPRITE_COLLIDE_RECT));
    ASSERT_TRUE(box->Created());
    TTestSprite *first = Add(box, 7), *second = Add(box, 8), *shot = Add(box, 3);
    first->SetPosition(10, 10);
    second->SetPosition(11, 11);
    shot->SetPosition(12, 12);
    EXPECT_EQ(shot->Collision(), 7); // both overlap: the one nearer the head
    first->SetCollisionActive(false);
    EXPECT_EQ(shot->Collision(), 8);
    second->SetActive(false);
    EXPECT_EQ(shot->Collision(), 0);
    // Its own CollisionActive plays no part in a sprite's own tests; an inactive sprite hits nothing.
    first->SetCollisionActive(true);
    shot->SetCollisionActive(false);
    EXPECT_EQ(shot->Collision(), 7);
    shot->SetActive(false);
    EXPECT_EQ(shot->Collision(), 0);
    // A frame out of range, set from play, hits nothing and draws nothing.
    shot->SetActive(true);
    shot->SetFrame(1);
    EXPECT_EQ(shot->Collision(), 0);
    ClearBack();
    shot->Draw(g_pDDSBack);
    EXPECT_EQ(BackPixel(12, 12), 0u);
    EXPECT_EQ(shot->GetNFrames(), 1);
}

TEST_F(SpriteListTest, DrawAllDrawsActiveSpritesInOrderAndBoundsTheWalk)
{
    TSpriteDef *red = Def(Whole(Picture("r.bmp", { "#" }), 1, 1, DDSPRITE_COLLIDE_NONE));
    std::string other = dir.Path() + "/g.bmp";
    ASSERT_TRUE(WriteBMP(other, 1, 1, 24, [](int, int) -> DWORD { return RGB(0, 200, 0); }));
    TSpriteDef *green = Def(Whole(other, 1, 1, DDSPRITE_COLLIDE_NONE));
    TTestSprite *under = Add(red, 1), *over = Add(green, 2), *hidden = Add(red, 3, false);
    under->SetPosition(5, 5);
    over->SetPosition(5, 5);
    hidden->SetPosition(6, 6);
    ClearBack();
    DDSPRITE_DrawAll(g_pDDSBack);
    EXPECT_EQ(BackPixel(5, 5), RGB(0, 200, 0)); // drawn head to tail: the later one on top
    EXPECT_EQ(BackPixel(6, 6), 0u);

    for (int i = 3; i < 100; i++)
        Add(red, i + 1);
    DDSPRITE_DrawAll(g_pDDSBack);
    EXPECT_FALSE(log.Contains("Looping error")) << log.Text();
    TTestSprite *last = Add(red, 101);
    last->SetPosition(7, 7);
    DDSPRITE_DrawAll(g_pDDSBack);
    EXPECT_TRUE(log.Has(" Looping error 2"));
    EXPECT_EQ(BackPixel(7, 7), RGB(10, 20, 100)); // the 101st is still drawn
}

} // namespace
