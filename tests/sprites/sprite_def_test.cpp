// Sprite definitions: building, masks, refusing bad geometry, clipped drawing, restore, collision.
#include "sprite_fixture.h"
#include "sys_fake.h"

#include <climits>

namespace {

using SpriteDefTest = SpriteDisplayTest;

// A 32 x 8 picture: every pixel solid and distinct, except a magenta column at x = 3.
const std::vector<std::string> Strip = {
    "###.############################", "###.############################", "###.############################",
    "###.############################", "###.############################", "###.############################",
    "###.############################", "###.############################",
};

COLORREF StripColour(int x, int y)
{
    return Strip[y][x] == '.' ? KX_MAGENTA : RGB(10 + 7 * x, 20 + 9 * y, 100);
}

TEST_F(SpriteDefTest, DrawingClipsInEveryDirection)
{
    TSpriteDef *d = Def(Whole(Picture("strip.bmp", Strip), 32, 8, DDSPRITE_COLLIDE_NONE));
    ASSERT_TRUE(d->Created()) << log.Text();
    DDSPRITE_SetClipRect(0, 0, 480, 480);
    const COLORREF background = RGB(1, 2, 3);
    const POINT places[] = { { 470, 100 }, { -5, 100 }, { 100, -3 }, { 100, 476 }, { -30, -6 },
                             { 475, 477 }, { 480, 100 }, { -32, 100 }, { 100, 480 }, { 100, -8 } };
    for (const POINT &at : places) {
        ClearBack(background);
        d->DrawSprite(g_pDDSBack, 0, at.x, at.y);
        // Every screen pixel near the frame: the image inside the clip, the background elsewhere,
        // the magenta column never.
        for (int sy = std::max(0, (int)at.y - 2); sy < std::min(480, (int)at.y + 10); sy++)
            for (int sx = std::max(0, (int)at.x - 2); sx < std::min(640, (int)at.x + 34); sx++) {
                int ix = sx - at.x, iy = sy - at.y;
                bool inside = ix >= 0 && ix < 32 && iy >= 0 && iy < 8 && sx < 480 && sy < 480;
                COLORREF want = inside && Strip[iy][ix] != '.' ? StripColour(ix, iy) : background;
                ASSERT_EQ(BackPixel(sx, sy), want) << "frame at " << at.x << "," << at.y << " pixel " << sx << "," << sy;
            }
    }
    EXPECT_TRUE(log.Empty()) << log.Text();
}

TEST_F(SpriteDefTest, HandlesPlaceTheFrame)
{
    DDSPRITE_FrameDataType *r = Record(Picture("h.bmp", { "###############", "###############" }), 2,
                                       DDSPRITE_COLLIDE_NONE, DDSPRITE_HANDLE_CENTRE);
    r->ImageRect[0] = { 0, 0, 15, 2 };
    r->ImageRect[1] = { 0, 0, 15, 1 };
    TSpriteDef *centre = Def(r);
    ASSERT_TRUE(centre->Created());
    int sx = 0, sy = 0;
    centre->SpriteToScreen(0, 100, 50, sx, sy);
    EXPECT_EQ(sx, 93);
    EXPECT_EQ(sy, 49);
    centre->SpriteToScreen(1, -100, -50, sx, sy);
    EXPECT_EQ(sx, -107); // truncated toward zero: 15 / 2 = 7
    EXPECT_EQ(sy, -50);
    ClearBack();
    centre->DrawSprite(g_pDDSBack, 0, 100, 50);
    EXPECT_EQ(BackPixel(92, 49), 0u);
    EXPECT_EQ(BackPixel(93, 49), RGB(10, 20, 100));

    DDSPRITE_FrameDataType *p = Record(Picture("p.bmp", { "####", "####" }), 1, DDSPRITE_COLLIDE_NONE,
                                       DDSPRITE_HANDLE_POINT);
    p->ImageRect[0] = { 0, 0, 4, 2 };
    p->HandlePoint[0] = { 4, 1 };
    TSpriteDef *point = Def(p);
    ASSERT_TRUE(point->Created());
    point->SpriteToScreen(0, 10, 10, sx, sy);
    EXPECT_EQ(sx, 6);
    EXPECT_EQ(sy, 9);
    // A frame number outside the definition leaves the outputs alone.
    sx = sy = 12345;
    point->SpriteToScreen(1, 10, 10, sx, sy);
    point->SpriteToScreen(-1, 10, 10, sx, sy);
    EXPECT_EQ(sx, 12345);
    EXPECT_EQ(sy, 12345);
}

TEST_F(SpriteDefTest, FramesFromPlayOutsideTheDefinitionDoNothing)
{
    TSpriteDef *d = Def(Whole(Picture("s.bmp", Strip), 32, 8, DDSPRITE_COLLIDE_RECT));
    ASSERT_TRUE(d->Created());
    ClearBack();
    for (int frame : { 1, -1, 1 << 30, INT_MIN }) {
        d->DrawSprite(g_pDDSBack, frame, 10, 10);
        EXPECT_FALSE(d->Collide(frame, 10, 10, d, 0, 10, 10));
        EXPECT_FALSE(d->Collide(0, 10, 10, d, frame, 10, 10));
    }
    EXPECT_EQ(BackPixel(10, 10), 0u);
    EXPECT_TRUE(d->Collide(0, 10, 10, d, 0, 10, 10));
    // Positions at the ends of the integer range neither overflow nor draw.
    d->DrawSprite(g_pDDSBack, 0, INT_MAX, INT_MAX);
    d->DrawSprite(g_pDDSBack, 0, INT_MIN, INT_MIN);
    EXPECT_FALSE(d->Collide(0, INT_MAX, INT_MAX, d, 0, INT_MIN, INT_MIN));
}

TEST_F(SpriteDefTest, ImageRectanglesOutsideTheImageAreRefused)
{
    struct Fault {
        std::function<void(DDSPRITE_FrameDataType *)> spoil;
        DDSPRITE_CollisionType hit;
        DDSPRITE_HandleType handle;
        const char *message;
    };
    const Fault faults[] = {
        { [](DDSPRITE_FrameDataType *r) { r->ImageRect[1] = { 0, 0, 33, 8 }; }, DDSPRITE_COLLIDE_PIXEL,
          DDSPRITE_HANDLE_TOPLEFT, "SpriteDef: Frame 1 image rectangle lies outside the sprite image" },
        { [](DDSPRITE_FrameDataType *r) { r->ImageRect[0] = { -1, 0, 8, 8 }; }, DDSPRITE_COLLIDE_NONE,
          DDSPRITE_HANDLE_TOPLEFT, "SpriteDef: Frame 0 image rectangle lies outside the sprite image" },
        { [](DDSPRITE_FrameDataType *r) { r->ImageRect[1] = { 8, 4, 4, 8 }; }, DDSPRITE_COLLIDE_NONE,
          DDSPRITE_HANDLE_TOPLEFT, "SpriteDef: Frame 1 image rectangle lies outside the sprite image" },
        { [](DDSPRITE_FrameDataType *r) { r->NFrames = 0; }, DDSPRITE_COLLIDE_NONE, DDSPRITE_HANDLE_TOPLEFT,
          "SpriteDef: Frame count outside valid range" },
        { [](DDSPRITE_FrameDataType *r) { r->HitType = (DDSPRITE_CollisionType)7; }, DDSPRITE_COLLIDE_NONE,
          DDSPRITE_HANDLE_TOPLEFT, "SpriteDef: Hit type or handle type without its frame data" },
    };
    std::string image = Picture("s.bmp", Strip);
    for (const Fault &f : faults) {
        LogCapture fresh;
        DDSPRITE_FrameDataType *r = TwoFrameRecord(image, f.hit, f.handle);
        f.spoil(r);
        TSpriteDef *d = Def(r);
        EXPECT_FALSE(d->Created()) << f.message;
        EXPECT_TRUE(fresh.Has(f.message)) << fresh.Text();
    }
    EXPECT_EQ(SpriteDefHead, nullptr);
    // Edges are inside: a frame reaching the image's right edge, a handle on the frame's corner.
    DDSPRITE_FrameDataType *r = Record(image, 1, DDSPRITE_COLLIDE_HOTSPOT, DDSPRITE_HANDLE_POINT);
    r->ImageRect[0] = { 16, 0, 32, 8 };
    r->HandlePoint[0] = { 16, 8 };
    r->HotSpot[0] = { 16, 8 };
    EXPECT_TRUE(Def(r)->Created()) << log.Text();
}

// Offsets and box edges guard no memory: any handle point, hot spot, hit rectangle or colour is
// taken, and drawing and collision tests with them stay inside the image and the masks.
TEST_F(SpriteDefTest, AnyOffsetsBoxesAndColoursAreTaken)
{
    struct Odd {
        std::function<void(DDSPRITE_FrameDataType *)> set;
        DDSPRITE_CollisionType hit;
        DDSPRITE_HandleType handle;
    };
    const Odd odds[] = {
        { [](DDSPRITE_FrameDataType *r) { r->HandlePoint[1] = { 17, 0 }; }, DDSPRITE_COLLIDE_PIXEL, DDSPRITE_HANDLE_POINT },
        { [](DDSPRITE_FrameDataType *r) { r->HandlePoint[0] = { INT_MIN, INT_MAX }; }, DDSPRITE_COLLIDE_PIXEL,
          DDSPRITE_HANDLE_POINT },
        { [](DDSPRITE_FrameDataType *r) { r->HotSpot[0] = { 0, -1 }; }, DDSPRITE_COLLIDE_HOTSPOT, DDSPRITE_HANDLE_TOPLEFT },
        { [](DDSPRITE_FrameDataType *r) { r->HotSpot[1] = { INT_MAX, INT_MIN }; }, DDSPRITE_COLLIDE_HOTSPOT,
          DDSPRITE_HANDLE_CENTRE },
        { [](DDSPRITE_FrameDataType *r) { r->HitRect[0] = { 5, 0, 4, 8 }; }, DDSPRITE_COLLIDE_RECT, DDSPRITE_HANDLE_TOPLEFT },
        { [](DDSPRITE_FrameDataType *r) { r->HitRect[1] = { INT_MIN, INT_MIN, INT_MAX, INT_MAX }; },
          DDSPRITE_COLLIDE_RECT, DDSPRITE_HANDLE_TOPLEFT },
        { [](DDSPRITE_FrameDataType *r) { r->Transparent = 0x1000000; }, DDSPRITE_COLLIDE_PIXEL, DDSPRITE_HANDLE_TOPLEFT },
        { [](DDSPRITE_FrameDataType *r) { r->Transparent = INT_MIN; }, DDSPRITE_COLLIDE_PIXEL, DDSPRITE_HANDLE_TOPLEFT },
    };
    std::string image = Picture("s.bmp", Strip);
    TSpriteDef *solid = Def(Whole(image, 32, 8, DDSPRITE_COLLIDE_PIXEL));
    ASSERT_TRUE(solid->Created());
    int index = 0;
    for (const Odd &o : odds) {
        SCOPED_TRACE(index++);
        LogCapture fresh;
        DDSPRITE_FrameDataType *r = TwoFrameRecord(image, o.hit, o.handle);
        o.set(r);
        TSpriteDef *d = Def(r);
        ASSERT_TRUE(d->Created()) << fresh.Text();
        for (int f = 0; f < 2; f++)
            for (int x : { INT_MIN, -20, 0, 5, 630, INT_MAX }) {
                d->DrawSprite(g_pDDSBack, f, x, 5);
                d->Collide(f, x, 0, solid, 0, 0, 0);
                solid->Collide(0, 0, 0, d, f, x, 0);
            }
    }
    // A reversed hit rectangle is an empty box: it meets nothing.
    DDSPRITE_FrameDataType *r = Record(image, 1, DDSPRITE_COLLIDE_RECT, DDSPRITE_HANDLE_TOPLEFT);
    r->ImageRect[0] = { 0, 0, 16, 8 };
    r->HitRect[0] = { 8, 8, 0, 0 };
    TSpriteDef *reversed = Def(r);
    ASSERT_TRUE(reversed->Created());
    EXPECT_FALSE(reversed->Collide(0, 0, 0, solid, 0, 0, 0));
    EXPECT_FALSE(solid->Collide(0, 0, 0, reversed, 0, 0, 0));
}

TEST_F(SpriteDefTest, MissingImagesAndBadHitMasks)
{
    std::string image = dir.Path() + "/m.bmp";
    ASSERT_TRUE(WriteBMP(image, 9, 4, 24, [](int x, int) -> DWORD { return x < 4 ? KX_MAGENTA : RGB(9, 9, 9); }));
    struct MaskCase {
        const char *name;
        int w, h, bits;
        const char *message;
    };
    const MaskCase cases[] = {
        { "narrow.bmp", 8, 4, 1, "Incorrect sprite hit mask format" },
        { "short.bmp", 9, 3, 1, "Incorrect sprite hit mask format" },
        { "deep.bmp", 9, 4, 4, "Incorrect sprite hit mask format" },
        { "absent.bmp", 0, 0, 0, "Couldn't open sprite hit mask bitmap" },
    };
    for (const MaskCase &c : cases) {
        LogCapture fresh;
        std::string mask = dir.Path() + "/" + c.name;
        if (c.bits) {
            ASSERT_TRUE(WriteBMP(mask, c.w, c.h, c.bits, [](int, int) -> DWORD { return 1; }));
        }
        DDSPRITE_FrameDataType *r = Whole(image, 9, 4, DDSPRITE_COLLIDE_PIXEL);
        r->SpriteHitMask = KxCopyString(mask);
        EXPECT_FALSE(Def(r)->Created());
        EXPECT_TRUE(fresh.Has(c.message)) << c.name << ": " << fresh.Text();
    }
    LogCapture fresh;
    EXPECT_FALSE(Def(Whole(dir.Path() + "/none.bmp", 9, 4, DDSPRITE_COLLIDE_PIXEL))->Created());
    EXPECT_TRUE(fresh.Has("Couldn't open sprite image bitmap"));
}

TEST_F(SpriteDefTest, OneBitHitMaskFileGivesTheMask)
{
    // The image is solid everywhere; the mask file alone decides, rows stored bottom-up.
    std::string image = dir.Path() + "/solid.bmp";
    ASSERT_TRUE(WriteBMP(image, 11, 3, 24, [](int, int) -> DWORD { return RGB(50, 60, 70); }));
    std::string maskFile = dir.Path() + "/mask.bmp";
    auto bit = [](int x, int y) -> DWORD { return (x == 10 && y == 0) || (x == 1 && y == 2) || (x == 8 && y == 1); };
    ASSERT_TRUE(WriteBMP(maskFile, 11, 3, 1, bit));
    DDSPRITE_FrameDataType *r = Whole(image, 11, 3, DDSPRITE_COLLIDE_PIXEL);
    r->SpriteHitMask = KxCopyString(maskFile);
    TSpriteDef *d = Def(r);
    ASSERT_TRUE(d->Created()) << log.Text();
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 11; x++)
            EXPECT_EQ(d->GetCollisionMask()[y * 11 + x], bit(x, y)) << x << "," << y;
    // A one-pixel probe finds exactly the mask's pixels.
    TSpriteDef *probe = Def(Whole(Picture("probe.bmp", { "#" }), 1, 1, DDSPRITE_COLLIDE_RECT));
    EXPECT_TRUE(d->Collide(0, 100, 100, probe, 0, 110, 100));
    EXPECT_FALSE(d->Collide(0, 100, 100, probe, 0, 109, 100));
    EXPECT_TRUE(d->Collide(0, 100, 100, probe, 0, 101, 102));
}

class SpriteMaskDepthTest : public SpriteDisplayTest, public ::testing::WithParamInterface<int> {
protected:
    int Depth() const override { return GetParam(); }
};

TEST_P(SpriteMaskDepthTest, MaskFromImageFollowsTheColourKey)
{
    const std::vector<std::string> rows = { "..#.#", "#...#", "####." };
    TSpriteDef *keyed = Def(Whole(Picture("k.bmp", rows), 5, 3, DDSPRITE_COLLIDE_PIXEL));
    ASSERT_TRUE(keyed->Created()) << log.Text();
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++)
            EXPECT_EQ(keyed->GetCollisionMask()[y * 5 + x], rows[y][x] == '#' ? 1 : 0) << x << "," << y;
    EXPECT_EQ(keyed->GetColourKey(), (DWORD)DDGDIColorMatch(keyed->GetSurface(), KX_MAGENTA));
    // Without a transparent colour every pixel is solid, magenta included.
    DDSPRITE_FrameDataType *r = Record(Picture("k2.bmp", rows), 1, DDSPRITE_COLLIDE_PIXEL, DDSPRITE_HANDLE_TOPLEFT, -1);
    r->ImageRect[0] = { 0, 0, 5, 3 };
    TSpriteDef *plain = Def(r);
    ASSERT_TRUE(plain->Created());
    EXPECT_EQ(plain->GetColourKey(), 0xFFFFFFFFu);
    for (int i = 0; i < 15; i++)
        EXPECT_EQ(plain->GetCollisionMask()[i], 1);
}

INSTANTIATE_TEST_SUITE_P(Depths, SpriteMaskDepthTest, ::testing::Values(16, 24, 32));

TEST_F(SpriteDefTest, ListOrderAndBusyLock)
{
    std::string image = Picture("a.bmp", { "##", "#." });
    TSpriteDef *a = Def(Whole(image, 2, 2, DDSPRITE_COLLIDE_RECT));
    Sys_SetBusyLocks(3); // the mask's lock is retried while the surface is still drawing
    TSpriteDef *b = Def(Whole(image, 2, 2, DDSPRITE_COLLIDE_PIXEL));
    TSpriteDef *c = Def(Whole(image, 2, 2, DDSPRITE_COLLIDE_NONE));
    ASSERT_TRUE(a->Created() && b->Created() && c->Created()) << log.Text();
    EXPECT_EQ(b->GetCollisionMask()[3], 0);
    EXPECT_EQ(SpriteDefHead, a);
    EXPECT_EQ(a->GetNext(), b);
    EXPECT_EQ(b->GetNext(), c);
    EXPECT_EQ(SpriteDefTail, c);
    delete b;
    EXPECT_EQ(a->GetNext(), c);
    delete c;
    EXPECT_EQ(SpriteDefTail, a);
    delete a;
    EXPECT_EQ(SpriteDefHead, nullptr);
    EXPECT_EQ(SpriteDefTail, nullptr);
}

TEST_F(SpriteDefTest, RestoresAfterSurfaceLoss)
{
    TSpriteDef *d = Def(Whole(Picture("s.bmp", Strip), 32, 8, DDSPRITE_COLLIDE_NONE));
    ASSERT_TRUE(d->Created());
    // Lost while drawing: every definition is restored and the blit tried once more.
    Sys_LoseSurface(d->GetSurface());
    ClearBack();
    d->DrawSprite(g_pDDSBack, 0, 20, 30);
    EXPECT_EQ(d->GetSurface()->IsLost(), DD_OK);
    EXPECT_EQ(BackPixel(20 + 31, 30 + 7), StripColour(31, 7));
    EXPECT_EQ(BackPixel(20 + 3, 30), 0u); // still keyed after the refill
    // Lost between frames: the main loop's restore refills it.
    Sys_LoseSurface(d->GetSurface());
    DDSPRITE_RestoreSurfaces();
    EXPECT_EQ(d->GetSurface()->IsLost(), DD_OK);
    ClearBack();
    d->DrawSprite(g_pDDSBack, 0, 0, 0);
    EXPECT_EQ(BackPixel(0, 0), StripColour(0, 0));
    EXPECT_TRUE(log.Empty()) << log.Text();
    // A lost destination cannot be drawn on: the second blit's failure is logged.
    Sys_LoseSurface(g_pDDSBack);
    d->DrawSprite(g_pDDSBack, 0, 0, 0);
    EXPECT_TRUE(log.Contains("DrawSprite: (DDERR_SURFACELOST)")) << log.Text();
    g_pDDSBack->Restore();
}

// Collision ------------------------------------------------------------------------------------

TEST_F(SpriteDefTest, RectEdgesTouchOnlyOneWay)
{
    TSpriteDef *r = Def(Whole(Picture("r.bmp", std::vector<std::string>(10, "##########")), 10, 10,
                              DDSPRITE_COLLIDE_RECT));
    ASSERT_TRUE(r->Created());
    // B's left edge on A's right edge, then B's top on A's bottom.
    EXPECT_TRUE(r->Collide(0, 0, 0, r, 0, 10, 0));
    EXPECT_FALSE(r->Collide(0, 10, 0, r, 0, 0, 0));
    EXPECT_TRUE(r->Collide(0, 0, 0, r, 0, 0, 10));
    EXPECT_FALSE(r->Collide(0, 0, 10, r, 0, 0, 0));
    EXPECT_FALSE(r->Collide(0, 0, 0, r, 0, 11, 0));
    EXPECT_TRUE(r->Collide(0, 0, 0, r, 0, -9, -9));
    EXPECT_FALSE(r->Collide(0, 0, 0, r, 0, -10, 0));
    // The hit rectangle, not the picture, is the box.
    DDSPRITE_FrameDataType *hr = Whole(Picture("hr.bmp", std::vector<std::string>(10, "##########")), 10, 10,
                                       DDSPRITE_COLLIDE_RECT);
    hr->HitRect[0] = { 4, 4, 6, 6 };
    TSpriteDef *small = Def(hr);
    EXPECT_FALSE(small->Collide(0, 0, 0, r, 0, 7, 0));
    EXPECT_TRUE(small->Collide(0, 0, 0, r, 0, 6, 6));
    EXPECT_TRUE(r->Collide(0, 0, 0, small, 0, 6, 0));  // small's box starts at x = 10, on r's right edge
    EXPECT_FALSE(r->Collide(0, 0, 0, small, 0, 7, 0)); // and here at x = 11
}

TEST_F(SpriteDefTest, PixelAgainstEachHitType)
{
    TSpriteDef *a = Def(Whole(Picture("a.bmp", { "#...", "....", "...#" }), 4, 3, DDSPRITE_COLLIDE_PIXEL));
    TSpriteDef *b = Def(Whole(Picture("b.bmp", { ".#..", "#...", "...." }), 4, 3, DDSPRITE_COLLIDE_PIXEL));
    TSpriteDef *rect = Def(Whole(Picture("r.bmp", { "##", "##" }), 2, 2, DDSPRITE_COLLIDE_RECT));
    DDSPRITE_FrameDataType *h = Whole(Picture("h.bmp", { "###", "###" }), 3, 3, DDSPRITE_COLLIDE_HOTSPOT);
    h->ImageRect[0] = { 0, 0, 3, 2 };
    h->HotSpot[0] = { 1, 1 };
    TSpriteDef *hot = Def(h);
    DDSPRITE_FrameDataType *n = Whole(Picture("n.bmp", { "#" }), 1, 1, DDSPRITE_COLLIDE_NONE);
    TSpriteDef *none = Def(n);
    ASSERT_TRUE(a->Created() && b->Created() && rect->Created() && hot->Created() && none->Created()) << log.Text();

    // Boxes overlap wholly but no solid pixel is shared; then one is.
    EXPECT_FALSE(a->Collide(0, 50, 50, b, 0, 50, 50));
    EXPECT_FALSE(b->Collide(0, 50, 50, a, 0, 50, 50));
    EXPECT_FALSE(a->Collide(0, 50, 50, b, 0, 52, 51)); // a's (3, 2) on b's empty (1, 1)
    EXPECT_TRUE(a->Collide(0, 50, 50, b, 0, 52, 52)); // a's (3, 2) on b's (1, 0)
    // Wide rows are scanned several pixels at a time: one shared pixel deep in a row still counts.
    std::string lone(20, '.'), allBut(20, '#');
    lone[13] = '#';
    allBut[13] = '.';
    TSpriteDef *wideA = Def(Whole(Picture("wa.bmp", { lone, lone }), 20, 2, DDSPRITE_COLLIDE_PIXEL));
    TSpriteDef *wideB = Def(Whole(Picture("wb.bmp", { allBut, allBut }), 20, 2, DDSPRITE_COLLIDE_PIXEL));
    EXPECT_FALSE(wideA->Collide(0, 0, 0, wideB, 0, 0, 0));
    EXPECT_TRUE(wideA->Collide(0, 0, 0, wideB, 0, 1, 1));
    EXPECT_TRUE(wideA->Collide(0, 0, 0, wideA, 0, 0, 1));
    EXPECT_FALSE(wideA->Collide(0, 0, 0, wideA, 0, 1, 0));
    // Against a rectangle: only A's own mask counts.
    EXPECT_TRUE(a->Collide(0, 50, 50, rect, 0, 49, 49));
    EXPECT_FALSE(a->Collide(0, 50, 50, rect, 0, 51, 50));
    EXPECT_TRUE(a->Collide(0, 50, 50, rect, 0, 53, 52));
    // Pixel against hot spot never collides; hot spot against pixel reads the one mask pixel.
    EXPECT_FALSE(a->Collide(0, 50, 50, hot, 0, 49, 49));
    EXPECT_TRUE(hot->Collide(0, 49, 49, a, 0, 50, 50));  // hot spot at (50, 50): solid
    EXPECT_FALSE(hot->Collide(0, 50, 49, a, 0, 50, 50)); // (51, 50): empty
    EXPECT_TRUE(hot->Collide(0, 52, 51, a, 0, 50, 50));  // (53, 52): solid
    EXPECT_FALSE(hot->Collide(0, 53, 51, a, 0, 50, 50)); // (54, 52): past the box
    // Hot spot against a rectangle: its left and top edges in, its right and bottom out.
    EXPECT_TRUE(hot->Collide(0, 9, 9, rect, 0, 10, 10));
    EXPECT_TRUE(hot->Collide(0, 10, 10, rect, 0, 10, 10));
    EXPECT_FALSE(hot->Collide(0, 11, 10, rect, 0, 10, 10));
    EXPECT_FALSE(hot->Collide(0, 10, 11, rect, 0, 10, 10));
    EXPECT_FALSE(hot->Collide(0, 10, 10, hot, 0, 10, 10));
    // No collision with NONE, either way.
    EXPECT_FALSE(none->Collide(0, 50, 50, a, 0, 50, 50));
    EXPECT_FALSE(rect->Collide(0, 50, 50, none, 0, 50, 50));
    EXPECT_FALSE(rect->Collide(0, 50, 50, nullptr, 0, 50, 50));
}

} // namespace
