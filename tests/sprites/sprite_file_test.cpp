// The sprite frame definition reader: what a good file gives, and the message for each fault.
#include "sprite_fixture.h"
#include "script_utils.h"

namespace {

class SpriteFileTest : public ::testing::Test {
protected:
    KxTempDir dir;
    LogCapture log;

    DDSPRITE_FrameDataType *Read(const std::string &text)
    {
        KxWriteFile("sprite.txt", text);
        return DDSPRITE_ReadFrameData("sprite.txt");
    }
};

const std::string Header = "[SPRITE_IMAGE]\n\"gfx\\thing.bmp\"\n"
                           "[SPRITE_FRAMES]\n4\n"
                           "[HIT_TYPE]\nPIXEL\n"
                           "[HANDLE]\nCENTRE\n"
                           "[TRANSPARENT]\n0xFF00FF\n";

std::string Frames(int from, int to)
{
    std::string t;
    for (int f = from; f <= to; f++)
        t += "[FRAME]\n" + std::to_string(f) + "\n[IMAGE_RECT]\n(" + std::to_string(16 * f) + ", 0) - (" +
             std::to_string(16 * f + 16) + ", 16)\n";
    return t;
}

TEST_F(SpriteFileTest, ReadsTheExampleShape)
{
    DDSPRITE_FrameDataType *d = Read("# a comment\n" + Header + Frames(0, 3) + "[SPRITE_END]\n");
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->SpriteImage, "gfx\\thing.bmp");
    EXPECT_EQ(d->SpriteHitMask, nullptr);
    EXPECT_EQ(d->NFrames, 4);
    EXPECT_EQ(d->HitType, DDSPRITE_COLLIDE_PIXEL);
    EXPECT_EQ(d->Handle, DDSPRITE_HANDLE_CENTRE);
    EXPECT_EQ(d->Transparent, 0xFF00FF);
    EXPECT_EQ(d->HitRect, nullptr);
    EXPECT_EQ(d->HotSpot, nullptr);
    EXPECT_EQ(d->HandlePoint, nullptr);
    EXPECT_EQ(d->ImageRect[3].left, 48);
    EXPECT_EQ(d->ImageRect[3].right, 64);
    EXPECT_EQ(d->ImageRect[3].bottom, 16);
    EXPECT_TRUE(log.Empty()) << log.Text();
    DDSPRITE_FreeFrameData(d);
}

TEST_F(SpriteFileTest, PerFrameArraysWhicheverHeaderBlockComesLast)
{
    // Frame count last, then hit type and handle last: both orders allocate the arrays.
    const std::string frameLast = "[HANDLE]\nPOINT\n[HIT_TYPE]\nRECT\n[SPRITE_IMAGE]\n\"a.bmp\"\n[SPRITE_FRAMES]\n2\n";
    const std::string frameFirst = "[SPRITE_FRAMES]\n2\n[SPRITE_IMAGE]\n\"a.bmp\"\n[HIT_TYPE]\nRECT\n[HANDLE]\nPOINT\n";
    for (const std::string &header : { frameLast, frameFirst }) {
        DDSPRITE_FrameDataType *d =
            Read(header + "[FRAME]\n1\n[IMAGE_RECT]\n(0,0)-(8,8)\n   [HIT_RECT] trailing words\n(1, 2) - (7, 8)\n"
                          "[HANDLE_POINT]\n(4, 5)\n[FRAME]\n1\n[SPRITE_END]\n");
        ASSERT_NE(d, nullptr) << log.Text();
        ASSERT_NE(d->HitRect, nullptr);
        ASSERT_NE(d->HandlePoint, nullptr);
        EXPECT_EQ(d->HotSpot, nullptr);
        EXPECT_EQ(d->HitRect[1].top, 2);
        EXPECT_EQ(d->HitRect[1].right, 7);
        EXPECT_EQ(d->HandlePoint[1].y, 5);
        // Frame 1 given twice counts as two frames; frame 0, never given, stays zero.
        EXPECT_EQ(d->ImageRect[0].right, 0);
        EXPECT_EQ(d->Transparent, -1);
        DDSPRITE_FreeFrameData(d);
    }
}

TEST_F(SpriteFileTest, KeywordsAreFoundInTableOrder)
{
    DDSPRITE_FrameDataType *d = Read("[SPRITE_IMAGE]\n\"a.bmp\"\n[SPRITE_FRAMES]\n1\n[HIT_TYPE]\nHOTSPOT_RECT\n"
                                     "[HANDLE]\nthe POINT or the CENTRE\n");
    ASSERT_NE(d, nullptr) << log.Text();
    EXPECT_EQ(d->HitType, DDSPRITE_COLLIDE_RECT);
    EXPECT_EQ(d->Handle, DDSPRITE_HANDLE_CENTRE);
    // No [SPRITE_END] and no error: accepted, the frame count unchecked.
    DDSPRITE_FreeFrameData(d);
}

struct FaultCase {
    std::string text;
    std::string message; // without the "DDSPRITE_ReadFrameData: " prefix
};

TEST_F(SpriteFileTest, EachFaultHasItsMessage)
{
    const std::string img = "[SPRITE_IMAGE]\n\"a.bmp\"\n";
    const std::string n4 = "[SPRITE_FRAMES]\n4\n";
    const std::string pix = "[HIT_TYPE]\nPIXEL\n";
    const std::string centre = "[HANDLE]\nCENTRE\n";
    const std::string head = img + n4 + pix + centre;
    const std::string rectHead = img + n4 + "[HIT_TYPE]\nRECT\n" + centre;
    const std::string hotHead = img + n4 + "[HIT_TYPE]\nHOTSPOT\n" + "[HANDLE]\nPOINT\n";
    const FaultCase cases[] = {
        { head + img, "[SPRITE_IMAGE] respecified." },
        { "[SPRITE_IMAGE]\nno quotes\n", "Failed to read [SPRITE_IMAGE]." },
        { "[SPRITE_HIT_MASK]\n\"m.bmp\"\n[SPRITE_HIT_MASK]\n\"m.bmp\"\n", "[SPRITE_HIT_MASK] respecified." },
        { "[SPRITE_HIT_MASK]\n\"\"\n", "Failed to read [SPRITE_HIT_MASK]." },
        { n4 + n4, "[SPRITE_FRAMES] respecified." },
        { "[SPRITE_FRAMES]\nfour\n", "Failed to read [SPRITE_FRAMES]." },
        { "[SPRITE_FRAMES]\n0\n", "[SPRITE_FRAMES] outside valid range." },
        { "[SPRITE_FRAMES]\n-3\n", "[SPRITE_FRAMES] outside valid range." },
        { "[SPRITE_FRAMES]\n2147483647\n", "[SPRITE_FRAMES] outside valid range." },
        { pix + pix, "[HIT_TYPE] respecified." },
        { "[HIT_TYPE]\nSQUARE\n", "Failed to read [HIT_TYPE]." },
        { centre + centre, "[HANDLE] respecified." },
        { "[HANDLE]\nMIDDLE\n", "Failed to read [HANDLE]." },
        { "[TRANSPARENT]\n0\n[TRANSPARENT]\n0\n", "[TRANSPARENT] respecified." },
        { "[TRANSPARENT]\nmagenta\n", "Failed to read [TRANSPARENT]." },
        { n4 + pix + centre + "[FRAME]\n0\n", "[SPRITE_IMAGE] must be specified before [FRAME]." },
        { img + "[FRAME]\n0\n", "[SPRITE_FRAMES] must be specified before [FRAME]." },
        { img + n4 + centre + "[FRAME]\n0\n", "[HIT_TYPE] must be specified before [FRAME]." },
        { img + n4 + pix + "[FRAME]\n0\n", "[HANDLE] must be specified before [FRAME]." },
        { head + "[FRAME]\nx\n", "Failed to read [FRAME]." },
        { head + "[FRAME]\n4\n", "[FRAME] specified is outside valid range." },
        { head + "[FRAME]\n-1\n", "[FRAME] specified is outside valid range." },
        { head + "[IMAGE_RECT]\n(0,0)-(1,1)\n", "[IMAGE_RECT] found before [FRAME]." },
        { head + "[FRAME]\n0\n[IMAGE_RECT]\n(0,0)-(1,1)\n[IMAGE_RECT]\n(0,0)-(1,1)\n", "[IMAGE_RECT] respecified." },
        { head + "[FRAME]\n0\n[IMAGE_RECT]\n(0,0) (1,1)\n", "Failed to read [IMAGE_RECT]." },
        { head + "[FRAME]\n0\n[HANDLE_POINT]\n(1,1)\n", "[HANDLE_POINT] specified for different handle type." },
        { hotHead + "[FRAME]\n0\n[HANDLE_POINT]\n(1,1)\n[HANDLE_POINT]\n(1,1)\n", "[HANDLE_POINT] respecified." },
        { hotHead + "[FRAME]\n0\n[HANDLE_POINT]\n1,1\n", "Failed to read [HANDLE_POINT]." },
        { head + "[FRAME]\n0\n[HIT_RECT]\n(0,0)-(1,1)\n", "[HIT_RECT] specified for different collision type." },
        { rectHead + "[FRAME]\n0\n[HIT_RECT]\n(0,0)-(1,1)\n[HIT_RECT]\n(0,0)-(1,1)\n", "[HIT_RECT] respecified." },
        { rectHead + "[FRAME]\n0\n[HIT_RECT]\n(0,0)\n", "Failed to read [HIT_RECT]." },
        { head + "[FRAME]\n0\n[HOTSPOT]\n(1,1)\n", "[HOTSPOT] specified for different collision type." },
        { hotHead + "[FRAME]\n0\n[HOTSPOT]\n(1,1)\n[HOTSPOT]\n(1,1)\n", "[HOTSPOT] respecified." },
        { hotHead + "[FRAME]\n0\n[HOTSPOT]\n", "Failed to read [HOTSPOT]." },
        { hotHead + "[HOTSPOT]\n(1,1)\n", "[HOTSPOT] found before [FRAME]." },
        // The type is checked before the order: the wrong type's block before any frame.
        { head + "[HIT_RECT]\n(0,0)-(1,1)\n", "[HIT_RECT] specified for different collision type." },
        { head + "[HOTSPOT]\n(1,1)\n", "[HOTSPOT] specified for different collision type." },
        { head + "[HANDLE_POINT]\n(1,1)\n", "[HANDLE_POINT] specified for different handle type." },
        { head + Frames(0, 2) + "[SPRITE_END]\n", "Insufficient frames specified." },
        { img + n4 + pix, "[HANDLE] not specified." },
        { "# only a comment\n", "[SPRITE_IMAGE] not specified." },
    };
    for (const FaultCase &c : cases) {
        LogCapture fresh;
        EXPECT_EQ(Read(c.text), nullptr) << c.text;
        // A point reader may have said more before; the reader's own lines end the log.
        std::string tail = "ErrorLog: DDSPRITE_ReadFrameData: " + c.message +
                           "\nErrorLog: Error reading sprite frame definition\nErrorLog:   file: sprite.txt (damaged)\n";
        std::string text = fresh.Text();
        EXPECT_TRUE(text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0)
            << c.text << "\n--- logged:\n" << text;
    }
}

// Any integer is a transparent colour: colour matching takes it as it is.
TEST_F(SpriteFileTest, AnyTransparentValueIsRead)
{
    for (const char *value : { "0x1000000", "-2", "2147483647", "0xFFFFFFFF" }) {
        LogCapture fresh;
        std::string text = std::string("[SPRITE_IMAGE]\n\"a.bmp\"\n[SPRITE_FRAMES]\n1\n[HIT_TYPE]\nNONE\n[HANDLE]\nTOPLEFT\n") +
                           "[TRANSPARENT]\n" + value + "\n[FRAME]\n0\n[IMAGE_RECT]\n(0,0)-(1,1)\n[SPRITE_END]\n";
        DDSPRITE_FrameDataType *d = Read(text);
        ASSERT_NE(d, nullptr) << value << "\n" << fresh.Text();
        int expect = 0;
        SCRIPT_ParseInt(value, &expect);
        EXPECT_EQ(d->Transparent, expect);
        DDSPRITE_FreeFrameData(d);
    }
}

TEST_F(SpriteFileTest, LinesThatAreNoMarker)
{
    const char *const lines[] = { "", "some text", "[sprite_end]", "[ FRAME]", "[[FRAME]" };
    for (const char *line : lines) {
        LogCapture fresh;
        EXPECT_EQ(Read(std::string(line) + "\n[SPRITE_END]\n"), nullptr);
        EXPECT_EQ(fresh.Text(), "ErrorLog: DDSPRITE_ReadFrameData: Block marker not found.\nErrorLog: " +
                                    std::string(line) + "\nErrorLog: Error reading sprite frame definition\n"
                                                        "ErrorLog:   file: sprite.txt (damaged)\n");
    }
    // The recogniser cuts the line after its marker: that is what the log shows.
    LogCapture fresh;
    EXPECT_EQ(Read("  [NOT_A_BLOCK] and more\n"), nullptr);
    EXPECT_TRUE(fresh.Has("  [NOT_A_BLOCK]")) << fresh.Text();
}

TEST_F(SpriteFileTest, BlockMarkerNumbersAndCut)
{
    char line[] = "  [FRAME] and more\n";
    EXPECT_EQ(DDSPRITE_GetBlockMarker(line), DDSPRITE_BLOCK_FRAME);
    EXPECT_STREQ(line, "  [FRAME]");
    for (int i = 1; i < DDSPRITE_BLOCK_COUNT; i++) {
        std::string text = BlockStrings[i];
        EXPECT_EQ(DDSPRITE_GetBlockMarker(&text[0]), i);
    }
}

TEST_F(SpriteFileTest, MissingFileLogsItsName)
{
    EXPECT_EQ(DDSPRITE_ReadFrameData("gfx\\nothing.txt"), nullptr);
    EXPECT_EQ(log.Text(), "ErrorLog: Failed to open sprite frame definition file\nErrorLog: gfx\\nothing.txt\n"
                          "ErrorLog:   file: gfx\\nothing.txt (missing)\n");
    DDSPRITE_FreeFrameData(nullptr);
}

} // namespace
