// Bitmap fonts: the font metrics reader, measuring and drawing one line of text.
#include "dd_font.h"
#include "dd_log.h"
#include "script_utils.h"
#include "sys_file.h"

#include <climits>
#include <cstring>
#include <new>

const char *const FontStrings[FONT_BLOCK_COUNT] = {
    "",           "[FONT]", "[FIXED]",  "[FIRST_CHAR]", "[LAST_CHAR]", "[CHAR_RECTS]",
    "[SIZE]",     "[MATRIX]", "[ROWS]", "[COLUMNS]",    "[FONT_END]",
};

enum {
    FONT_NONE,
    FONT_FONT,
    FONT_FIXED,
    FONT_FIRST_CHAR,
    FONT_LAST_CHAR,
    FONT_CHAR_RECTS,
    FONT_SIZE,
    FONT_MATRIX,
    FONT_ROWS,
    FONT_COLUMNS,
    FONT_FONT_END,
};

int FONT_GetBlockMarker(char *line)
{
    return SCRIPT_GetBlockMarker(line, FontStrings, FONT_BLOCK_COUNT);
}

// What the reader has learnt so far from one metrics file.
struct FontReader {
    FILE *file;
    DDBitmap *bitmap;
    DDFontMetrics *font;
    bool seen[FONT_BLOCK_COUNT];
    bool error;
    bool end;
    bool fixed;
    int first;
    int last;
    POINT cell;   // width, height
    POINT matrix; // columns, rows
};

static void Fail(FontReader &r, const char *message)
{
    DDErrorLog(message);
    r.error = true;
}

// Checks "respecified" and one "found before" rule; true when the block may go on.
static bool Order(FontReader &r, int block, const char *respecified, int needed, const char *before)
{
    if (r.seen[block]) {
        Fail(r, respecified);
        return false;
    }
    if (needed != FONT_NONE && !r.seen[needed]) {
        Fail(r, before);
        return false;
    }
    return true;
}

// The tables hold 256 characters: a code outside them refuses the font.
static void ReadCharCode(FontReader &r, int *code, const char *readFailed, const char *outOfRange)
{
    if (!SCRIPT_ReadInt(r.file, code)) {
        Fail(r, readFailed);
        return;
    }
    if (*code < 0 || *code > 255)
        Fail(r, outOfRange);
}

static bool InsideBitmap(const FontReader &r, long long left, long long top, long long right, long long bottom)
{
    return left >= 0 && top >= 0 && left <= right && top <= bottom && right <= r.bitmap->Width &&
           bottom <= r.bitmap->Height;
}

static void CharOutside(FontReader &r, int c)
{
    char message[128];
    snprintf(message, sizeof message, "DDBITMAP_LoadFont: character %d lies outside the font bitmap.", c);
    Fail(r, message);
}

static void ReadCharRects(FontReader &r)
{
    DDFontMetrics *font = r.font;
    font->Height = 0;
    for (int c = r.first; c <= r.last; c++) {
        RECT rect;
        if (!SCRIPT_ReadRect(r.file, &rect)) {
            Fail(r, "DDBITMAP_LoadFont: Error reading [CHAR_RECTS]");
            return;
        }
        if (!InsideBitmap(r, rect.left, rect.top, rect.right, rect.bottom)) {
            CharOutside(r, c);
            return;
        }
        font->Defined[c] = true;
        font->CharX[c] = rect.left;
        font->CharY[c] = rect.top;
        font->CharWidth[c] = rect.right - rect.left;
        if (rect.bottom - rect.top > font->Height)
            font->Height = rect.bottom - rect.top;
    }
}

// Lays the characters out in the grid, filling rows first (byRows) or columns first.
static void LayOut(FontReader &r, bool byRows)
{
    long long w = r.cell.x, h = r.cell.y;
    int perLine = byRows ? r.matrix.x : r.matrix.y;
    // A line count below 1 is never reached: every character then sits on the one line.
    if (w < 0 || h < 0) {
        Fail(r, byRows ? "DDBITMAP_LoadFont: [SIZE] and [MATRIX] do not make a grid for [ROWS]."
                       : "DDBITMAP_LoadFont: [SIZE] and [MATRIX] do not make a grid for [COLUMNS].");
        return;
    }
    DDFontMetrics *font = r.font;
    long long penX = 0, penY = 0;
    int n = 0;
    for (int c = r.first; c <= r.last; c++) {
        n++;
        if (!InsideBitmap(r, penX, penY, penX + w, penY + h)) {
            CharOutside(r, c);
            return;
        }
        font->Defined[c] = true;
        font->CharX[c] = (int)penX;
        font->CharY[c] = (int)penY;
        font->CharWidth[c] = (int)w;
        font->Height = (int)h;
        if (n == perLine) {
            n = 0;
            if (byRows) {
                penY += h;
                penX = 0;
            } else {
                penX += w;
                penY = 0;
            }
        } else if (byRows) {
            penX += w;
        } else {
            penY += h;
        }
    }
}

static void Block(FontReader &r, int block)
{
    switch (block) {
    case FONT_FONT:
        if (Order(r, FONT_FONT, "DDBITMAP_LoadFont: [FONT] respecified.", FONT_NONE, nullptr))
            r.seen[FONT_FONT] = true;
        break;
    case FONT_FIXED: {
        if (!Order(r, FONT_FIXED, "DDBITMAP_LoadFont: [FIXED] respecified.", FONT_FONT,
                   "DDBITMAP_LoadFont: [FIXED] found before [FONT]."))
            break;
        r.seen[FONT_FIXED] = true;
        int value = 0;
        if (!SCRIPT_ReadInt(r.file, &value))
            Fail(r, "DDBITMAP_LoadFont: Failed to read [FIXED].");
        r.fixed = value == 1;
        break;
    }
    case FONT_FIRST_CHAR:
        if (!Order(r, FONT_FIRST_CHAR, "DDBITMAP_LoadFont: [FIRST_CHAR] respecified.", FONT_FONT,
                   "DDBITMAP_LoadFont: [FIRST_CHAR] found before [FONT]."))
            break;
        r.seen[FONT_FIRST_CHAR] = true;
        ReadCharCode(r, &r.first, "DDBITMAP_LoadFont: Failed to read [FIRST_CHAR].",
                     "DDBITMAP_LoadFont: [FIRST_CHAR] must be from 0 to 255.");
        break;
    case FONT_LAST_CHAR:
        if (!Order(r, FONT_LAST_CHAR, "DDBITMAP_LoadFont: [LAST_CHAR] respecified.", FONT_FONT,
                   "DDBITMAP_LoadFont: [LAST_CHAR] found before [FONT]."))
            break;
        r.seen[FONT_LAST_CHAR] = true;
        ReadCharCode(r, &r.last, "DDBITMAP_LoadFont: Failed to read [Last_CHAR].",
                     "DDBITMAP_LoadFont: [LAST_CHAR] must be from 0 to 255.");
        break;
    case FONT_CHAR_RECTS:
        if (!Order(r, FONT_CHAR_RECTS, "DDBITMAP_LoadFont: [CHAR_RECTS] respecified.", FONT_FIXED,
                   "DDBITMAP_LoadFont: [CHAR_RECTS] found before [FIXED]."))
            break;
        if (!r.seen[FONT_FIRST_CHAR]) {
            Fail(r, "DDBITMAP_LoadFont: [CHAR_RECTS] found before [FIRST_CHAR].");
            break;
        }
        if (!r.seen[FONT_LAST_CHAR]) {
            Fail(r, "DDBITMAP_LoadFont: [CHAR_RECTS] found before [LAST_CHAR].");
            break;
        }
        if (r.fixed) {
            Fail(r, "DDBITMAP_LoadFont: [CHAR_RECTS] must only be specified for variable width fonts.");
            break;
        }
        r.seen[FONT_CHAR_RECTS] = true;
        ReadCharRects(r);
        break;
    case FONT_SIZE:
        if (!Order(r, FONT_SIZE, "DDBITMAP_LoadFont: [SIZE] respecified.", FONT_FIXED,
                   "DDBITMAP_LoadFont: [SIZE] found before [FIXED]."))
            break;
        if (!r.seen[FONT_FIRST_CHAR]) {
            Fail(r, "DDBITMAP_LoadFont: [SIZE] found before [FIRST_CHAR].");
            break;
        }
        if (!r.seen[FONT_LAST_CHAR]) {
            Fail(r, "DDBITMAP_LoadFont: [SIZE] found before [LAST_CHAR].");
            break;
        }
        if (!r.fixed) {
            Fail(r, "DDBITMAP_LoadFont: [SIZE] must only be specified for fixed width fonts.");
            break;
        }
        r.seen[FONT_SIZE] = true;
        if (!SCRIPT_ReadPoint(r.file, &r.cell))
            Fail(r, "DDBITMAP_LoadFont: Error reading [SIZE].");
        break;
    case FONT_MATRIX:
        if (!Order(r, FONT_MATRIX, "DDBITMAP_LoadFont: [MATRIX] respecified.", FONT_SIZE,
                   "DDBITMAP_LoadFont: [MATRIX] found before [SIZE]."))
            break;
        r.seen[FONT_MATRIX] = true;
        if (!SCRIPT_ReadPoint(r.file, &r.matrix))
            Fail(r, "DDBITMAP_LoadFont: Error reading [MATRIX].");
        break;
    case FONT_ROWS:
        if (!Order(r, FONT_ROWS, "DDBITMAP_LoadFont: [ROWS] respecified.", FONT_MATRIX,
                   "DDBITMAP_LoadFont: [MATRIX] must be specified before [ROWS]."))
            break;
        r.seen[FONT_ROWS] = true;
        LayOut(r, true);
        break;
    case FONT_COLUMNS:
        if (!Order(r, FONT_COLUMNS, "DDBITMAP_LoadFont: [COLUMNS] respecified.", FONT_MATRIX,
                   "DDBITMAP_LoadFont: [MATRIX] must be specified before [COLUMNS]."))
            break;
        r.seen[FONT_COLUMNS] = true;
        LayOut(r, false);
        break;
    case FONT_FONT_END:
        if (r.fixed && !r.seen[FONT_ROWS] && !r.seen[FONT_COLUMNS])
            Fail(r, "DDBITMAP_LoadFont: [ROWS] or [COLUMNS] must be specified for a fixed width font.");
        else if (!r.fixed && !r.seen[FONT_CHAR_RECTS])
            Fail(r, "DDBITMAP_LoadFont: [CHAR_RECTS] must be specified for a variable width font.");
        r.end = true;
        break;
    default:
        break;
    }
}

DDBitmap *DDBITMAP_LoadFont(const char *bitmapFile, const char *metricsFile)
{
    DDBitmap *bitmap = DDBITMAP_Load(bitmapFile);
    if (!bitmap) {
        DDErrorLog("Error: Failed to load font bitmap.");
        DDErrorLog(bitmapFile ? bitmapFile : "(null)");
        return nullptr;
    }
    bitmap->Font = new (std::nothrow) DDFontMetrics;
    if (!bitmap->Font) {
        DDErrorLog("Error: Failed to allocate font metrics.");
        DDBitmap_Release(bitmap);
        return nullptr;
    }
    memset(bitmap->Font, 0, sizeof *bitmap->Font);
    FILE *file = metricsFile ? Sys_FOpen(metricsFile, "rt") : nullptr;
    if (!file) {
        DDErrorLog("Error: Failed to open font metrics");
        if (metricsFile)
            DDLogFile(metricsFile);
        DDBitmap_Release(bitmap);
        return nullptr;
    }

    FontReader r;
    memset(&r, 0, sizeof r);
    r.file = file;
    r.bitmap = bitmap;
    r.font = bitmap->Font;
    char line[SCRIPT_LINE_SIZE];
    while (!feof(file) && !r.end && !r.error) {
        if (!SCRIPT_ReadLine(file, line))
            break;
        if (line[0] == '#')
            continue;
        int block = FONT_GetBlockMarker(line);
        if (block == FONT_NONE) {
            DDErrorLog("DDBITMAP_LoadFont: Block marker not found.");
            DDErrorLogRead(line);
            r.error = true;
            continue;
        }
        Block(r, block);
    }
    fclose(file);
    if (r.end && !r.error)
        return bitmap;
    DDErrorLog("DDBITMAP_LoadFont: Error reading font specification.");
    DDLogFile(metricsFile);
    DDBitmap_Release(bitmap);
    return nullptr;
}

void DDBitmap_TextSize(DDBitmap *bitmap, const char *text, int *width, int *height)
{
    int w = 0, h = 0;
    if (width)
        *width = 0;
    if (height)
        *height = 0;
    if (!bitmap) {
        DDErrorLog("Error: Attempt to get text size for null bitmap");
        return;
    }
    const DDFontMetrics *font = bitmap->Font;
    if (!font) {
        DDErrorLog("Error: Attempt to get text size for bitmap with no font data");
        return;
    }
    h = font->Height;
    long long sum = 0;
    for (const unsigned char *p = (const unsigned char *)(text ? text : ""); *p; p++)
        if (font->Defined[*p] && sum < INT_MAX)
            sum += font->CharWidth[*p];
    w = sum > INT_MAX ? INT_MAX : (int)sum;
    if (width)
        *width = w;
    if (height)
        *height = h;
}

void DDBitmap_DrawText(IDirectDrawSurface *dest, DDBitmap *bitmap, const char *text, int x, int y)
{
    if (!bitmap) {
        DDErrorLog("Error: Attempt to draw text for null bitmap");
        return;
    }
    const DDFontMetrics *font = bitmap->Font;
    if (!font) {
        DDErrorLog("Error: Attempt to draw text for bitmap with no font data");
        return;
    }
    long long pen = x;
    for (const unsigned char *p = (const unsigned char *)(text ? text : ""); *p; p++) {
        if (!font->Defined[*p])
            continue;
        // Nothing further right can show; this also keeps the pen within range.
        if (pen >= DDBitmap_ClipRight)
            break;
        DDBitmap_DrawSub(dest, bitmap, (int)pen, y, font->CharX[*p], font->CharY[*p], font->CharWidth[*p],
                         font->Height);
        pen += font->CharWidth[*p];
    }
}
