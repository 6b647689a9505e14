// What the menu and its screens draw, and where: variants, percentages, names, keys, pictures.
#include "title_fixture.h"

#include <string>

namespace {

const int ItemY[KX_MENU_ITEMS] = { 20, 66, 112, 158, 204, 250, 296, 342 };

// The source row the pixel (x, y) of item i came from, or -1 if the item is not there.
int ItemRowAt(const TitleTest::Back &b, int item, int dy = 3)
{
    if (b.Tag(25, ItemY[item] + dy) != TAG_ITEM + item)
        return -1;
    return b.Green(25, ItemY[item] + dy) - dy;
}

// Digit d of a row drawn at column x shows source red 1 + 15d + dx.
int DigitAt(const TitleTest::Back &b, int x, int y)
{
    if (b.Tag(x + 7, y + 13) != TAG_NUMBERS)
        return -1;
    return (b.Red(x + 7, y + 13) - 1 - 7) / 15;
}

} // namespace

TEST_F(TitleTest, MenuShowsEachItemsVariantVolumesAndInstructionLines)
{
    LoadArtwork();
    GameMode = 2;
    P2Input = 1;
    KX_MaxPlayerInput = 1;
    SoundFxVol = 90;
    MusicVol = 100;
    const int line[KX_MENU_ITEMS] = { 1, 0, 0, 0, 0, 0, 3, 2 };
    for (int selected = 0; selected < KX_MENU_ITEMS; selected++) {
        CurrentOption = selected;
        ClearBack();
        DrawOptions();
        Back b = ReadBack();
        for (int item = 0; item < KX_MENU_ITEMS; item++) {
            bool on = item == selected;
            int expected = on ? 1 : 42;
            if (item == KX_MENU_GAMEMODE)
                expected = (on ? 1 : 124) + 41 * 2;
            else if (item == KX_MENU_P1_INPUT)
                expected = on ? 1 : 83;
            else if (item == KX_MENU_P2_INPUT)
                expected = on ? 42 : 124;
            EXPECT_EQ(ItemRowAt(b, item), expected) << "item " << item << " selected " << selected;
            // Drawn 399 by 40 from x 20: nothing of the next variant shows.
            EXPECT_EQ(b.Red(20 + 398, ItemY[item] + 39), 1 + 398 % 200);
            EXPECT_EQ(b.Green(20 + 398, ItemY[item] + 39), expected + 39);
            EXPECT_EQ(b.At(20 + 399, ItemY[item]), (DWORD)CLEAR_COLOUR);
        }
        // Both volumes in three columns from x 220, highlighted only when selected.
        EXPECT_EQ(DigitAt(b, 220, 208), -1);
        EXPECT_EQ(DigitAt(b, 235, 208), 9);
        EXPECT_EQ(DigitAt(b, 250, 208), 0);
        EXPECT_EQ(b.Green(265, 208), selected == KX_MENU_SOUND_VOL ? 1 : 28);
        EXPECT_EQ(DigitAt(b, 220, 254), 1);
        EXPECT_EQ(DigitAt(b, 250, 254), 0);
        EXPECT_EQ(b.Green(265, 254), selected == KX_MENU_MUSIC_VOL ? 1 : 28);
        // One instruction line, and a second one for the two input items.
        EXPECT_EQ(b.Green(72, 400), 1 + 20 * line[selected]) << selected;
        EXPECT_EQ(b.Green(72 + 287, 419), 20 * line[selected] + 20) << selected;
        bool second = selected == KX_MENU_P1_INPUT || selected == KX_MENU_P2_INPUT;
        EXPECT_EQ(b.Tag(88, 420) == TAG_INSTR2, second) << selected;
        EXPECT_EQ(b.Tag(88 + 255, 439) == TAG_INSTR2, second) << selected;
        EXPECT_EQ(b.At(88 + 256, 420), (DWORD)CLEAR_COLOUR);
    }
}

TEST_F(TitleTest, PercentagesAreRightAlignedWithoutLeadingZeros)
{
    LoadArtwork();
    struct Case {
        int value;
        int digits[3]; // -1: column left empty
    } cases[] = { { 100, { 1, 0, 0 } }, { 90, { -1, 9, 0 } }, { 0, { -1, -1, 0 } }, { 9, { -1, -1, 9 } },
                  { 1234, { 2, 3, 4 } }, { -20, { -1, -1, 0 } } };
    for (const Case &c : cases)
        for (bool high : { true, false }) {
            ClearBack();
            KX_DrawPercent(300, 100, c.value, high);
            Back b = ReadBack();
            for (int col = 0; col < 3; col++)
                EXPECT_EQ(DigitAt(b, 300 + 15 * col, 100), c.digits[col]) << c.value << " column " << col;
            // The percent sign, 23 wide, after the third column; the row by highlight.
            EXPECT_EQ(b.Red(345, 100), 151);
            EXPECT_EQ(b.Red(345 + 22, 126), 150 + 23);
            EXPECT_EQ(b.At(345 + 23, 100), (DWORD)CLEAR_COLOUR);
            EXPECT_EQ(b.Green(345, 100), high ? 1 : 28);
            EXPECT_EQ(b.Green(330, 126), high ? 27 : 54);
        }
}

// The characters drawn from (x, y) in the test font, up to the first cell that is not text.
static std::string TextAt(const TitleTest::Back &b, int x, int y)
{
    std::string s;
    for (; x + 1 < 640 && b.Tag(x + 1, y + 1) == TAG_FONT; x += 8)
        s += (char)b.Red(x + 1, y + 1);
    return s;
}

TEST_F(TitleTest, AJoystickNameShowsOnlyWhenThereIsAChoiceOfJoysticks)
{
    LoadArtwork();
    NumJoysticks = 2;
    strcpy(Joystick[0].Name, "First Pad");
    strcpy(Joystick[1].Name, "A Very Long Joystick Product Name");
    struct Case {
        int max, p1, p2;
        const char *name1, *name2;
    } cases[] = {
        { 1, 1, 1, "", "" },                                   // one joystick: nothing to tell apart
        { 2, 0, 0, "", "" },                                   // keyboards
        { 2, 1, 2, "First Pad", "A Very Long Joy" },           // cut to 15 characters
        { 2, 2, 0, "A Very Long Joy", "" },
    };
    for (const Case &c : cases) {
        KX_MaxPlayerInput = c.max;
        P1Input = c.p1;
        P2Input = c.p2;
        ClearBack();
        DrawOptions();
        Back b = ReadBack();
        EXPECT_EQ(TextAt(b, 240, 136), c.name1) << c.max << c.p1;
        EXPECT_EQ(TextAt(b, 240, 182), c.name2) << c.max << c.p2;
    }
}

TEST_F(TitleTest, InputScreenShowsTitleActionsAndKeysOfTheChosenPlayer)
{
    LoadArtwork();
    ShowingInput = true;
    InputPlayer = 1;
    InputAction = 3;
    P2InputKeys[5] = 255;
    P2InputKeys[6] = 300; // no picture for it
    for (bool waiting : { false, true }) {
        InputWaitingKey = waiting;
        QMarkFrame = 22;
        ClearBack();
        DrawInput();
        Back b = ReadBack();
        EXPECT_EQ(b.Tag(72, 20), TAG_PLAYER);
        EXPECT_EQ(b.Green(72 + 298, 61), 2);
        EXPECT_EQ(b.At(72 + 299, 20), (DWORD)CLEAR_COLOUR);
        for (int i = 0; i < DDINPUT_NUM_ACTIONS; i++) {
            int y = 100 + 30 * i;
            EXPECT_EQ(b.Tag(92, y), TAG_ACTIONS);
            EXPECT_EQ(b.Green(92 + 159, y + 25), 1 + i) << i;
            EXPECT_EQ(b.Red(92, y), i == 3 ? 2 : 1) << i;
            if (i == 3 && waiting) {
                EXPECT_EQ(b.Tag(280, y + 2), TAG_QMARK);
                EXPECT_EQ(b.Red(299, y + 21), 1 + 22);
            } else if (i == 6) {
                EXPECT_EQ(b.At(285, y + 7), (DWORD)CLEAR_COLOUR);
            } else {
                EXPECT_EQ(b.Tag(280, y + 2), TAG_KEYS) << i;
                EXPECT_EQ(b.Red(299, y + 21), P2InputKeys[i]) << i;
            }
            EXPECT_EQ(b.At(300, y + 2), (DWORD)CLEAR_COLOUR);
        }
        EXPECT_EQ(b.Green(72, 400), 1 + 20 * (waiting ? 5 : 4));
        if (waiting)
            EXPECT_EQ(b.At(72, 420), (DWORD)CLEAR_COLOUR);
        else
            EXPECT_EQ(b.Green(72, 420), 1 + 20 * 6);
    }
    InputPlayer = 0;
    InputWaitingKey = false;
    ClearBack();
    DrawInput();
    Back b = ReadBack();
    EXPECT_EQ(b.Green(72, 20), 1);
    EXPECT_EQ(b.Red(299, 100 + 30 * 6 + 21), P1InputKeys[6]);
}

TEST_F(TitleTest, CreditsShowTheStartLevelInTheCornerUnlessItIsTheFirst)
{
    LoadArtwork();
    ShowingCredits = true;
    ClearBack();
    DrawCredits();
    Back b = ReadBack();
    EXPECT_EQ(b.Tag(3, 3), TAG_CREDITS);
    EXPECT_EQ(b.Tag(439, 439), TAG_CREDITS);
    EXPECT_EQ(b.Green(72, 420), 1 + 20 * 6);
    EXPECT_EQ(TextAt(b, 2, 2), "");

    StartLevel = 3;
    ClearBack();
    DrawCredits();
    b = ReadBack();
    EXPECT_EQ(TextAt(b, 2, 2), "Start level = 3");
    EXPECT_EQ(b.Tag(2 + 15 * 8 + 1, 3), TAG_CREDITS);
}
