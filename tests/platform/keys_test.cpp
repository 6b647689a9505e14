// Key codes from synthetic desktop key events on several layouts, and sided modifiers held apart.
#include "win_user.h"
#include "sys_video.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Scancodes are USB HID usage ids (the key's place on a US board); keycodes are the layout's
// symbol, or the scancode with bit 30 set for keys without a character.
enum {
    SC_A = 4, SC_D = 7, SC_E = 8, SC_M = 16, SC_Q = 20, SC_S = 22, SC_W = 26, SC_X = 27, SC_Y = 28, SC_Z = 29,
    SC_1 = 30, SC_2 = 31, SC_9 = 38, SC_0 = 39, SC_RETURN = 40, SC_MINUS = 45, SC_EQUALS = 46, SC_LBRACKET = 47,
    SC_RBRACKET = 48, SC_BACKSLASH = 49, SC_SEMICOLON = 51, SC_APOSTROPHE = 52, SC_COMMA = 54,
    SC_PERIOD = 55, SC_SLASH = 56,
    SC_END = 77, SC_LEFT = 80, SC_DOWN = 81, SC_UP = 82, SC_PAGEUP = 75, SC_HOME = 74, SC_INSERT = 73,
    SC_KP_1 = 89, SC_KP_2 = 90, SC_KP_4 = 92, SC_KP_7 = 95, SC_KP_8 = 96, SC_KP_9 = 97, SC_KP_0 = 98,
    SC_ISO = 100, SC_LCTRL = 224, SC_LSHIFT = 225, SC_LALT = 226, SC_RCTRL = 228, SC_RSHIFT = 229, SC_RALT = 230,
};
int NoChar(int scancode) { return scancode | 1 << 30; }
const int OwnCode = -1; // a code of its own: not 0, and no other key of the layout gives it

// What each layout's 26 US letter places (A to Z) give, and whether it is read as Latin.
struct LetterPlaces {
    const char *layout;
    const char32_t *letters;
    bool latin;
};
const LetterPlaces letterPlaces[] = {
    { "US", U"abcdefghijklmnopqrstuvwxyz", true },
    { "AZERTY", U"qbcdefghijkl,noparstuvzxyw", true },
    { "QWERTZ", U"abcdefghijklmnopqrstuvwxzy", true },
    { "Dvorak", U"axje.uidchtnmbrl'poygk,qf;", true },
    { "Turkish Q", U"abcdefgh\u0131jklmnopqrstuvwxyz", true },
    { "Cyrillic", U"\u0444\u0438\u0441\u0432\u0443\u0430\u043F\u0440\u0448\u043E\u043B\u0434\u044C\u0442\u0449\u0437"
                  U"\u0439\u043A\u044B\u0435\u0433\u043C\u0446\u0447\u043D\u044F", false },
    { "Greek", U"\u03B1\u03B2\u03C8\u03B4\u03B5\u03C6\u03B3\u03B7\u03B9\u03BE\u03BA\u03BB\u03BC\u03BD\u03BF\u03C0;"
               U"\u03C1\u03C3\u03C4\u03B8\u03C9\u03C2\u03C7\u03C5\u03B6", false },
    { "Hebrew", U"\u05E9\u05E0\u05D1\u05D2\u05E7\u05DB\u05E2\u05D9\u05DF\u05D7\u05DC\u05DA\u05E6\u05DE\u05DD\u05E4/"
                U"\u05E8\u05D3\u05D0\u05D5\u05D4'\u05E1\u05D8\u05D6", false },
    // Half Latin is not mostly Latin; one more letter is.
    { "half Latin", U"abcdefghijklm\u0442\u0449\u0437\u0439\u043A\u044B\u0435\u0433\u043C\u0446\u0447\u043D\u044F", false },
    { "Latin by one", U"abcdefghijklmn\u0449\u0437\u0439\u043A\u044B\u0435\u0433\u043C\u0446\u0447\u043D\u044F", true },
};

// The layout's decision as the desktop makes it, from its letter places (US for layouts of other keys).
bool Latin(const char *layout)
{
    const LetterPlaces *places = &letterPlaces[0];
    for (const LetterPlaces &p : letterPlaces)
        if (!strcmp(p.layout, layout))
            places = &p;
    int keycodes[26];
    for (int i = 0; i < 26; i++)
        keycodes[i] = (int)places->letters[i];
    return Sys_LatinLayout(keycodes);
}

struct KeyCase {
    const char *layout;
    int scancode, keycode, vk;
};

const KeyCase keyCases[] = {
    { "US", SC_A, 'a', 'A' },        { "US", SC_Z, 'z', 'Z' },        { "US", SC_1, '1', '1' },
    { "US", SC_0, '0', '0' },        { "US", SC_SEMICOLON, ';', 0xBA }, { "US", SC_COMMA, ',', 0xBC },
    { "AZERTY", SC_Q, 'a', 'A' },    { "AZERTY", SC_A, 'q', 'Q' },    { "AZERTY", SC_W, 'z', 'Z' },
    { "AZERTY", SC_Z, 'w', 'W' },    { "AZERTY", SC_SEMICOLON, 'm', 'M' }, { "AZERTY", SC_M, ',', 0xBC },
    { "AZERTY", SC_1, '&', '1' },    { "AZERTY", SC_2, 0xE9, '2' },   { "AZERTY", SC_9, 0xE7, '9' },
    { "AZERTY", SC_0, 0xE0, '0' },    { "AZERTY", SC_COMMA, ';', 0xBA }, { "AZERTY", SC_PERIOD, ':', OwnCode },
    { "AZERTY", SC_SLASH, '!', OwnCode }, { "AZERTY", SC_MINUS, ')', OwnCode }, { "AZERTY", SC_EQUALS, '=', 0xBB },
    { "AZERTY", SC_LBRACKET, '^', OwnCode }, { "AZERTY", SC_RBRACKET, '$', OwnCode },
    { "AZERTY", SC_BACKSLASH, '*', OwnCode }, { "AZERTY", SC_APOSTROPHE, 0xF9, OwnCode },
    { "QWERTZ", SC_Y, 'z', 'Z' },     { "QWERTZ", SC_Z, 'y', 'Y' },    { "QWERTZ", SC_MINUS, 0xDF, OwnCode },
    { "QWERTZ", SC_EQUALS, NoChar(0), OwnCode }, { "QWERTZ", SC_RBRACKET, '+', OwnCode },
    { "QWERTZ", SC_BACKSLASH, '#', OwnCode }, { "QWERTZ", SC_SEMICOLON, 0xF6, OwnCode }, { "QWERTZ", SC_SLASH, '-', 0xBD },
    // Dvorak puts punctuation on four letter places and letters on punctuation places.
    { "Dvorak", SC_Q, '\'', 0xDE },  { "Dvorak", SC_W, ',', 0xBC },  { "Dvorak", SC_E, '.', 0xBE },
    { "Dvorak", SC_Z, ';', 0xBA },    { "Dvorak", SC_X, 'q', 'Q' },   { "Dvorak", SC_COMMA, 'w', 'W' },
    { "Dvorak", SC_SEMICOLON, 's', 'S' }, { "Dvorak", SC_APOSTROPHE, '-', 0xBD }, { "Dvorak", SC_MINUS, '[', 0xDB },
    { "Cyrillic", SC_A, 0x444, 'A' }, { "Cyrillic", SC_D, 0x432, 'D' }, { "Cyrillic", SC_W, 0x446, 'W' },
    { "Cyrillic", SC_X, 0x447, 'X' }, { "Cyrillic", SC_E, 0x443, 'E' }, { "Cyrillic", SC_Z, 0x44F, 'Z' },
    { "Cyrillic", SC_SEMICOLON, 0x436, 0xBA }, { "Cyrillic", SC_COMMA, 0x431, 0xBC }, { "Cyrillic", SC_1, '1', '1' },
    { "Cyrillic", SC_PERIOD, 0x44E, 0xBE }, { "Cyrillic", SC_SLASH, '.', 0xBF },
    { "Greek", SC_A, 0x3B1, 'A' },    { "Greek", SC_S, 0x3C3, 'S' },   { "Greek", SC_Q, ';', 'Q' },
    { "Greek", SC_W, 0x3C2, 'W' },
    // Hebrew puts punctuation on W and Q: player 1's W must still be W.
    { "Hebrew", SC_W, '\'', 'W' },   { "Hebrew", SC_Q, '/', 'Q' },    { "Hebrew", SC_E, 0x5E7, 'E' },
    // Keypad with Num Lock off: the layout gives the navigation keys, the codes stay the digits.
    { "NumLock off", SC_KP_1, NoChar(SC_END), 97 },   { "NumLock off", SC_KP_2, NoChar(SC_DOWN), 98 },
    { "NumLock off", SC_KP_4, NoChar(SC_LEFT), 100 }, { "NumLock off", SC_KP_7, NoChar(SC_HOME), 103 },
    { "NumLock off", SC_KP_8, NoChar(SC_UP), 104 },   { "NumLock off", SC_KP_9, NoChar(SC_PAGEUP), 105 },
    { "NumLock off", SC_KP_0, NoChar(SC_INSERT), 96 },
    { "ISO German", SC_ISO, '<', 226 }, { "ISO UK", SC_ISO, '\\', 226 },
    { "US", SC_LSHIFT, NoChar(SC_LSHIFT), 0xA0 }, { "US", SC_RCTRL, NoChar(SC_RCTRL), 0xA3 },
    { "US", SC_RALT, NoChar(SC_RALT), 0xA5 },     { "US", SC_RETURN, '\r', 13 },
    { "none", 0, 0, 0 },
};

TEST(Keys, LatinOrNotFromTheLetterPlaces)
{
    for (const LetterPlaces &p : letterPlaces) {
        ASSERT_EQ(std::char_traits<char32_t>::length(p.letters), 26u) << p.layout;
        EXPECT_EQ(Latin(p.layout), p.latin) << p.layout;
    }
}

TEST(Keys, TranslationOnEveryLayout)
{
    for (const KeyCase &c : keyCases) {
        int vk = Sys_VirtualKeyOf(c.scancode, c.keycode, Latin(c.layout));
        if (c.vk == OwnCode)
            EXPECT_NE(vk, 0) << c.layout << " scancode " << c.scancode;
        else
            EXPECT_EQ(vk, c.vk) << c.layout << " scancode " << c.scancode << " keycode " << c.keycode;
        // Two keys of one layout never share a code: binding one must not bind the other.
        for (const KeyCase &d : keyCases) {
            if (&d != &c && !strcmp(d.layout, c.layout) && d.scancode != c.scancode) {
                EXPECT_NE(Sys_VirtualKeyOf(d.scancode, d.keycode, Latin(d.layout)), vk)
                    << c.layout << " scancodes " << c.scancode << " and " << d.scancode;
            }
        }
    }
}

bool Held(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

class SidedKeys : public ::testing::Test {
protected:
    void TearDown() override { Sys_ResetQueue(); }
    void Key(bool down, int scancode) { Sys_KeyEvent(down, scancode, NoChar(scancode), false); }
};

// Releasing one side must not clear the shared code while the other side is still down.
TEST_F(SidedKeys, LeftAndRightAreHeldIndependently)
{
    struct {
        int shared, left, right;
    } mods[] = { { 16, SC_LSHIFT, SC_RSHIFT }, { 17, SC_LCTRL, SC_RCTRL }, { 18, SC_LALT, SC_RALT } };
    for (const auto &m : mods) {
        Key(true, m.left);
        EXPECT_TRUE(Held(m.shared));
        Key(true, m.right);
        Key(false, m.left);
        EXPECT_TRUE(Held(m.shared)) << m.shared << ": right still down";
        EXPECT_FALSE(Held(0xA0 + 2 * (m.shared - 16)));
        EXPECT_TRUE(Held(0xA1 + 2 * (m.shared - 16)));
        Key(true, m.left);
        Key(false, m.right);
        EXPECT_TRUE(Held(m.shared)) << m.shared << ": left down again";
        Key(false, m.left);
        EXPECT_FALSE(Held(m.shared));
    }
}

TEST_F(SidedKeys, MessagesCarryTheSharedCode)
{
    Sys_ResetQueue();
    Key(true, SC_RSHIFT);
    Key(false, SC_RSHIFT);
    Sys_KeyEvent(true, SC_Q, 'a', false);
    MSG msg;
    UINT expected[][2] = { { WM_KEYDOWN, 16 }, { WM_KEYUP, 16 }, { WM_KEYDOWN, 'A' } };
    for (const auto &e : expected) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, e[0]);
        EXPECT_EQ(msg.wParam, (WPARAM)e[1]);
    }
    EXPECT_TRUE(Held('A'));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    // Alt+Enter switches the display and is not passed on; Enter alone is.
    Key(true, SC_LALT);
    Sys_KeyEvent(true, SC_RETURN, '\r', false);
    Key(false, SC_LALT);
    Sys_KeyEvent(true, SC_RETURN, '\r', false);
    UINT afterAlt[][2] = { { WM_SYSKEYDOWN, 18 }, { WM_KEYUP, 18 }, { WM_KEYDOWN, 13 } };
    for (const auto &e : afterAlt) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, e[0]);
        EXPECT_EQ(msg.wParam, (WPARAM)e[1]);
    }
}

} // namespace
