// Tests of the bitmap store: loading, the list, clipped and keyed drawing, lost surfaces.
#include "bitmap_fixture.h"
#include "dd_draw.h"

#include <climits>

namespace {

// A pattern in which neighbouring pixels differ at every depth.
COLORREF Pattern(int x, int y)
{
    return RGB((x * 8 + y) & 0xFF, (y * 8 + x * 3) & 0xFF, ((x ^ y) * 16) & 0xFF);
}

struct Clip {
    int l, t, r, b;
};

class BitmapTest : public DisplayTest {
protected:
    DDBitmap *LoadPattern(const char *name, int w, int h)
    {
        EXPECT_TRUE(WriteBMP24(Path(name), w, h, Pattern));
        return DDBITMAP_Load(Path(name).c_str());
    }

    // Draws and compares the whole back buffer with what the source rectangle, clipped to the
    // clip rectangle and the bitmap, should leave there.
    void CheckDraw(DDBitmap *b, int x, int y, int sx, int sy, int w, int h, bool whole, Clip clip = { 0, 0, 640, 480 })
    {
        SCOPED_TRACE(testing::Message() << "at " << x << "," << y << " source " << sx << "," << sy << " " << w
                                        << "x" << h << " clip " << clip.l << "," << clip.t << "," << clip.r << ","
                                        << clip.b);
        ClearBack();
        SurfacePixels before = ReadSurface(g_pDDSBack);
        DDBitmap_SetClip(clip.l, clip.t, clip.r, clip.b);
        if (whole)
            DDBitmap_Draw(g_pDDSBack, b, x, y);
        else
            DDBitmap_DrawSub(g_pDDSBack, b, x, y, sx, sy, w, h);
        DDBitmap_SetClip(0, 0, 640, 480);
        SurfacePixels after = ReadSurface(g_pDDSBack);
        // Read after the draw: a draw may have had to restore the bitmap first.
        SurfacePixels source = ReadSurface(b->Surface);
        ASSERT_EQ(after.bytes.size(), before.bytes.size());
        ASSERT_EQ(source.width, b->Width);
        // The source rectangle clipped to the clip rectangle only; the copy then refuses it
        // whole when it runs past the bitmap or its target past the surface.
        long long sl = sx, st = sy, sr = (long long)sx + w, sb = (long long)sy + h, tx = x, ty = y;
        if (x < clip.l)
            sl += clip.l - tx, tx = clip.l;
        if (y < clip.t)
            st += clip.t - ty, ty = clip.t;
        if ((long long)x + w > clip.r)
            sr -= (long long)x + w - clip.r;
        if ((long long)y + h > clip.b)
            sb -= (long long)y + h - clip.b;
        bool drawn = sr > sl && sb > st && sl >= 0 && st >= 0 && sr <= b->Width && sb <= b->Height && tx >= 0 &&
                     ty >= 0 && tx + (sr - sl) <= 640 && ty + (sb - st) <= 480;
        int wrong = 0;
        for (int dy = 0; dy < 480 && wrong < 5; dy++)
            for (int dx = 0; dx < 640 && wrong < 5; dx++) {
                long long px = sl + dx - tx, py = st + dy - ty;
                bool inside = drawn && dx >= tx && dx < tx + (sr - sl) && dy >= ty && dy < ty + (sb - st);
                bool keyed = inside && b->HasColourKey && source.Value((int)px, (int)py) == b->ColourKey;
                bool ok = inside && !keyed ? after.Same(dx, dy, source, (int)px, (int)py)
                                           : after.Same(dx, dy, before, dx, dy);
                if (!ok) {
                    wrong++;
                    ADD_FAILURE() << "pixel " << dx << "," << dy << (inside ? " should be drawn" : " should be untouched");
                }
            }
    }
};

TEST_F(BitmapTest, LoadKeepsSizeNamePixelsAndDefaults)
{
    for (int d : { 32, 24, 16 }) {
        SCOPED_TRACE(d);
        if (d != 32) {
            DDBitmap_ReleaseAll();
            DDClose();
            SetUpDisplay(d);
        }
        DDBitmap *b = LoadPattern("p.bmp", 7, 5);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->Width, 7);
        EXPECT_EQ(b->Height, 5);
        EXPECT_EQ(std::string(b->FileName), Path("p.bmp"));
        EXPECT_FALSE(b->HasColourKey);
        EXPECT_EQ(b->ColourKey, 0xFFFFFFFFu);
        EXPECT_EQ(b->Font, nullptr);
        SurfacePixels px = ReadSurface(b->Surface);
        ASSERT_EQ(px.bpp * 8, d);
        for (int y = 0; y < 5; y++)
            for (int x = 0; x < 7; x++) {
                COLORREF c = Pattern(x, y);
                EXPECT_EQ(px.Value(x, y), (DWORD)RGBToColourValue(GetRValue(c), GetGValue(c), GetBValue(c)))
                    << x << "," << y;
            }
    }
}

TEST_F(BitmapTest, ListOrderAfterLoadsAndReleases)
{
    DDBitmap *a = LoadPattern("a.bmp", 4, 4);
    DDBitmap *b = LoadPattern("b.bmp", 4, 4);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(BitmapHead, a);
    EXPECT_EQ(BitmapTail, b);
    EXPECT_EQ(a->Next, b);
    EXPECT_EQ(b->Prev, a);
    EXPECT_EQ(a->Prev, nullptr);
    EXPECT_EQ(b->Next, nullptr);
    DDBitmap_Release(a);
    EXPECT_EQ(BitmapHead, b);
    EXPECT_EQ(BitmapTail, b);
    EXPECT_EQ(b->Prev, nullptr);
    DDBitmap_Release(b);
    EXPECT_EQ(BitmapHead, nullptr);
    EXPECT_EQ(BitmapTail, nullptr);

    // Releasing from the middle and the tail keeps both directions linked.
    DDBitmap *c[4];
    for (DDBitmap *&p : c)
        p = LoadPattern("c.bmp", 2, 2);
    DDBitmap_Release(c[1]);
    EXPECT_EQ(c[0]->Next, c[2]);
    EXPECT_EQ(c[2]->Prev, c[0]);
    DDBitmap_Release(c[3]);
    EXPECT_EQ(BitmapTail, c[2]);
    EXPECT_EQ(c[2]->Next, nullptr);

    // Taking one off twice must not disturb the others.
    DDBitmap_RemoveFromList(c[0]);
    DDBitmap_RemoveFromList(c[0]);
    DDBitmap_RemoveFromList(nullptr);
    EXPECT_EQ(BitmapHead, c[2]);
    EXPECT_EQ(BitmapTail, c[2]);
    DDBitmap_Release(c[0]); // off the list, still destroyed whole
    EXPECT_EQ(BitmapHead, c[2]);
    DDBitmap_ReleaseAll();
    EXPECT_EQ(BitmapHead, nullptr);
    EXPECT_EQ(BitmapTail, nullptr);
}

TEST_F(BitmapTest, BadFilesAreRefusedWithTheirLogLines)
{
    LogCapture log;
    std::string missing = Path("missing.bmp");
    EXPECT_EQ(DDBITMAP_Load(missing.c_str()), nullptr);
    EXPECT_TRUE(log.Has("Couldn't open bitmap file"));
    EXPECT_TRUE(log.Has(missing));

    WriteText(Path("junk.bmp"), "BM not really a bitmap at all, far too short");
    EXPECT_EQ(DDBITMAP_Load(Path("junk.bmp").c_str()), nullptr);

    std::string longName = "/" + std::string(300, 'x') + ".bmp";
    EXPECT_EQ(DDBITMAP_Load(longName.c_str()), nullptr);
    EXPECT_TRUE(log.Has("Error: Bitmap file name too long"));
    EXPECT_EQ(DDBITMAP_Load(nullptr), nullptr);
    EXPECT_EQ(BitmapHead, nullptr);

    // A name of 255 characters still fits.
    std::string name = Path("n");
    name += std::string(255 - name.size() - 4, 'n') + ".bmp";
    ASSERT_EQ(name.size(), 255u);
    ASSERT_TRUE(WriteBMP24(name, 3, 3, Pattern));
    DDBitmap *b = DDBITMAP_Load(name.c_str());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::string(b->FileName), name);
}

TEST_F(BitmapTest, NullBitmapsAreReportedNotTouched)
{
    LogCapture log;
    DDBitmap_Draw(g_pDDSBack, nullptr, 0, 0);
    DDBitmap_DrawSub(g_pDDSBack, nullptr, 0, 0, 0, 0, 1, 1);
    DDBitmap_Release(nullptr);
    DDBitmap_Restore(nullptr);
    DDBitmap_SetTransparent(nullptr, 0);
    DDBitmap bare;
    memset(&bare, 0, sizeof bare);
    DDBitmap_SetTransparent(&bare, 0);
    EXPECT_FALSE(bare.HasColourKey);
    std::string text = log.Text();
    EXPECT_EQ(text, "ErrorLog: Error: Attempt to draw null bitmap handle.\n"
                    "ErrorLog: Error: Attempt to draw null bitmap handle.\n"
                    "ErrorLog: Error: Attempt to release null bitmap\n"
                    "ErrorLog: Error: Attempt to restore null bitmap\n"
                    "ErrorLog: Error: Attempt to set colour key for null bitmap.\n"
                    "ErrorLog: Error: Attempt to set colour key for bitmap with null surface.\n");
}

TEST_F(BitmapTest, WholeDrawsClipInEveryDirection)
{
    DDBitmap *b = LoadPattern("p.bmp", 100, 50);
    ASSERT_NE(b, nullptr);
    LogCapture log;
    const POINT places[] = {
        { 10, 20 },   { -30, 460 }, { 600, 100 }, { 300, -20 }, { 300, 470 }, { -99, -49 }, { 639, 479 },
        { -100, 0 },  { 640, 0 },   { 0, -50 },   { 0, 480 },   { -5000, 200 }, { 200, 5000 },
        { INT_MAX, 0 }, { INT_MIN, 0 }, { 0, INT_MAX }, { 0, INT_MIN }, { INT_MAX - 10, INT_MAX - 10 },
    };
    for (const POINT &p : places)
        CheckDraw(b, p.x, p.y, 0, 0, 100, 50, true);
    // Against a smaller clip rectangle on all four sides.
    const Clip clip = { 50, 60, 200, 220 };
    const POINT near[] = { { 20, 100 }, { 150, 100 }, { 100, 30 }, { 100, 200 }, { 10, 20 }, { 180, 200 }, { 200, 100 }, { 100, 220 } };
    for (const POINT &p : near)
        CheckDraw(b, p.x, p.y, 0, 0, 100, 50, true, clip);
    // A clip rectangle narrower and lower than the bitmap cuts it on both sides at once.
    CheckDraw(b, 10, 20, 0, 0, 100, 50, true, { 30, 30, 80, 60 });
    CheckDraw(b, 10, 20, 5, 5, 90, 40, false, { 30, 30, 80, 60 });
    EXPECT_TRUE(log.Empty()) << log.Text();
}

TEST_F(BitmapTest, PartialDrawsClipAndTheCopyRefusesWhatLiesOutside)
{
    DDBitmap *b = LoadPattern("p.bmp", 32, 24);
    ASSERT_NE(b, nullptr);
    CheckDraw(b, -3, 0, 16, 8, 8, 8, false); // copies 19,8 - 24,16 to 0,0
    CheckDraw(b, 636, 476, 16, 8, 8, 8, false);
    CheckDraw(b, 100, -5, 0, 0, 32, 24, false);
    CheckDraw(b, 100, 100, 0, 0, 0, 8, false);
    CheckDraw(b, 100, 100, 4, 4, -8, 8, false);
    // Source rectangles reaching past the bitmap go to the copy, which refuses them: nothing drawn.
    CheckDraw(b, 100, 100, -4, -4, 16, 16, false);
    CheckDraw(b, 100, 100, 24, 20, 16, 16, false);
    CheckDraw(b, 100, 100, 40, 0, 8, 8, false);
    CheckDraw(b, 100, 100, INT_MAX, INT_MAX, INT_MAX, INT_MAX, false);
    CheckDraw(b, 100, 100, INT_MIN, INT_MIN, INT_MAX, INT_MAX, false);
    // A clip rectangle larger than the destination: a target past the surface is refused whole.
    CheckDraw(b, -10, 470, 0, 0, 32, 24, false, { -100, -100, 2000, 2000 });
    CheckDraw(b, 630, -10, 0, 0, 32, 24, true, { -100, -100, 2000, 2000 });
}

TEST_F(BitmapTest, ColourKeySkipsTheTransparentColourAtEveryDepth)
{
    for (int d : { 32, 24, 16 }) {
        SCOPED_TRACE(d);
        if (d != 32) {
            DDBitmap_ReleaseAll();
            DDClose();
            SetUpDisplay(d);
        }
        ASSERT_TRUE(WriteBMP24(Path("k.bmp"), 20, 10, [](int x, int y) {
            return ((x + y) % 3 == 0) ? RGB(255, 0, 255) : Pattern(x, y);
        }));
        DDBitmap *plain = DDBITMAP_Load(Path("k.bmp").c_str());
        DDBitmap *keyed = DDBITMAP_Load(Path("k.bmp").c_str());
        ASSERT_TRUE(plain && keyed);
        DDBitmap_SetTransparent(keyed, 0x00FF00FF);
        EXPECT_TRUE(keyed->HasColourKey);
        EXPECT_EQ(keyed->ColourKey, (unsigned)RGBToColourValue(255, 0, 255));
        CheckDraw(plain, 5, 5, 0, 0, 20, 10, true);
        CheckDraw(keyed, 5, 5, 0, 0, 20, 10, true);
        CheckDraw(keyed, -4, 475, 2, 1, 15, 8, false);

        // Spot-check against the file itself: a magenta pixel keeps the background.
        ClearBack();
        SurfacePixels before = ReadSurface(g_pDDSBack);
        DDBitmap_Draw(g_pDDSBack, keyed, 0, 0);
        SurfacePixels after = ReadSurface(g_pDDSBack);
        EXPECT_TRUE(after.Same(0, 0, before, 0, 0));
        EXPECT_FALSE(after.Same(1, 0, before, 1, 0));
        DDBitmap_Draw(g_pDDSBack, plain, 0, 0);
        EXPECT_EQ(ReadSurface(g_pDDSBack).Value(0, 0), (DWORD)RGBToColourValue(255, 0, 255));
    }
}

TEST_F(BitmapTest, DrawMeetingALostSurfaceRestoresAllAndDrawsInTheSameCall)
{
    DDBitmap *a = LoadPattern("a.bmp", 40, 30);
    DDBitmap *b = LoadPattern("b.bmp", 10, 10);
    ASSERT_TRUE(a && b);
    DDBitmap_SetTransparent(a, Pattern(1, 1));
    SurfacePixels goodA = ReadSurface(a->Surface);
    SurfacePixels goodB = ReadSurface(b->Surface);
    Sys_LoseSurface(a->Surface);
    Sys_LoseSurface(b->Surface);
    LogCapture log;
    CheckDraw(a, 7, 9, 0, 0, 40, 30, true);
    EXPECT_EQ(a->Surface->IsLost(), DD_OK);
    EXPECT_EQ(b->Surface->IsLost(), DD_OK);
    EXPECT_EQ(ReadSurface(a->Surface).bytes, goodA.bytes);
    EXPECT_EQ(ReadSurface(b->Surface).bytes, goodB.bytes);
    EXPECT_TRUE(a->HasColourKey);
    EXPECT_TRUE(log.Empty()) << log.Text();
}

TEST_F(BitmapTest, RestoreAndSetTransparentReloadLostPixels)
{
    DDBitmap *a = LoadPattern("a.bmp", 12, 12);
    ASSERT_NE(a, nullptr);
    SurfacePixels good = ReadSurface(a->Surface);
    Sys_LoseSurface(a->Surface);
    DDBitmap_SetTransparent(a, 0x00FF00FF);
    EXPECT_EQ(ReadSurface(a->Surface).bytes, good.bytes);

    Sys_LoseAllSurfaces();
    DDBitmap_RestoreAll();
    EXPECT_EQ(ReadSurface(a->Surface).bytes, good.bytes);

    // A surface that is not lost is left alone: Restore must not reload from the file.
    ASSERT_EQ(unlink(Path("a.bmp").c_str()), 0);
    LogCapture log;
    DDBitmap_Restore(a);
    EXPECT_TRUE(log.Empty());
    Sys_LoseSurface(a->Surface);
    DDBitmap_Restore(a);
    EXPECT_TRUE(log.Has("Error: Couldn't open bitmap file for DDBitmap_Restore"));
    EXPECT_EQ(a->Surface->IsLost(), DD_OK);
}

TEST_F(BitmapTest, CopyFailingAgainAfterRestoreIsLogged)
{
    DDBitmap *a = LoadPattern("a.bmp", 12, 12);
    ASSERT_NE(a, nullptr);
    LogCapture log;
    Sys_LoseSurface(g_pDDSBack);
    DDBitmap_Draw(g_pDDSBack, a, 0, 0);
    DDBitmap_DrawSub(g_pDDSBack, a, 0, 0, 0, 0, 4, 4);
    EXPECT_EQ(log.Text(), "DDBitmap_Draw: (DDERR_SURFACELOST)\nDDBitmap_DrawSub: (DDERR_SURFACELOST)\n");
    g_pDDSBack->Restore();
}

} // namespace
