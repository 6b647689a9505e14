// Presentation on the playfield: a destroyed turret's flash and shake, and the runway warnings.
#include "kx_field_fx.h"
#include "dd.h"
#include "dd_draw.h"
#include "kx_sprites.h"

#include <cmath>
#include <cstring>

int KX_FIELDFX_FlashAlpha(int elapsed)
{
    if (elapsed < 0 || elapsed >= KX_FIELDFX_FLASH_TIME)
        return 0;
    return 200 * (KX_FIELDFX_FLASH_TIME - elapsed) / KX_FIELDFX_FLASH_TIME;
}

void KX_FIELDFX_ShakeOffset(int elapsed, int *dx, int *dy)
{
    *dx = *dy = 0;
    if (elapsed < 0 || elapsed >= KX_FIELDFX_SHAKE_TIME)
        return;
    // A fading wobble, at its fixed phases for a given elapsed time: replays draw the same frames.
    float amp = (float)KX_FIELDFX_SHAKE_MAX * (float)(KX_FIELDFX_SHAKE_TIME - elapsed) / KX_FIELDFX_SHAKE_TIME;
    *dx = (int)std::lround(amp * std::sin((float)elapsed * 0.11f));
    *dy = (int)std::lround(amp * std::cos((float)elapsed * 0.083f));
}

// One channel moved toward its full value `top` by alpha/256.
static inline unsigned Whiten(unsigned c, unsigned top, int alpha)
{
    return c + (((top - c) * (unsigned)alpha) >> 8);
}

static void FlashRows(unsigned char *buffer, int pitch, int alpha)
{
    int bytes = g_ScreenDepth / 8;
    for (int y = 0; y < KX_FIELDFX_SIZE; y++) {
        unsigned char *row = buffer + (long)y * pitch;
        if (bytes >= 3) {
            for (int x = 0; x < KX_FIELDFX_SIZE; x++)
                for (int c = 0; c < 3; c++)
                    row[x * bytes + c] = (unsigned char)Whiten(row[x * bytes + c], 255, alpha);
            continue;
        }
        if (bytes != 2)
            return;
        // 5-6-5 or 5-5-5: green is one bit wider in the first.
        int gBits = PixelFormat == 2 ? 6 : 5, rShift = 5 + gBits;
        unsigned gMax = (1u << gBits) - 1;
        for (int x = 0; x < KX_FIELDFX_SIZE; x++) {
            unsigned v = row[2 * x] | (unsigned)row[2 * x + 1] << 8;
            unsigned r = Whiten((v >> rShift) & 31, 31, alpha), g = Whiten((v >> 5) & gMax, gMax, alpha),
                     b = Whiten(v & 31, 31, alpha);
            v = r << rShift | g << 5 | b;
            row[2 * x] = (unsigned char)v;
            row[2 * x + 1] = (unsigned char)(v >> 8);
        }
    }
}

// Moves the field's picture by (dx, dy); the strip uncovered keeps what was drawn there.
static void ShiftRows(unsigned char *buffer, int pitch, int dx, int dy)
{
    int bytes = g_ScreenDepth / 8;
    size_t span = (size_t)(KX_FIELDFX_SIZE - std::abs(dx)) * bytes;
    int from = dx >= 0 ? 0 : -dx, to = dx >= 0 ? dx : 0;
    for (int i = 0; i < KX_FIELDFX_SIZE - std::abs(dy); i++) {
        int y = dy > 0 ? KX_FIELDFX_SIZE - 1 - i : i; // walk away from the rows being written
        unsigned char *dst = buffer + (long)y * pitch + (long)to * bytes;
        const unsigned char *src = buffer + (long)(y - dy) * pitch + (long)from * bytes;
        memmove(dst, src, span);
    }
}

void KX_FIELDFX_TurretDeath(int elapsed)
{
    int alpha = KX_FIELDFX_FlashAlpha(elapsed), dx, dy;
    KX_FIELDFX_ShakeOffset(elapsed, &dx, &dy);
    if (alpha == 0 && dx == 0 && dy == 0)
        return;
    if (g_ScreenWidth < KX_FIELDFX_SIZE || g_ScreenHeight < KX_FIELDFX_SIZE)
        return;
    unsigned char *buffer = DDLockBackSurface();
    if (!buffer)
        return; // the frame keeps its plain field
    if (dx || dy)
        ShiftRows(buffer, g_BackLpitch, dx, dy);
    if (alpha)
        FlashRows(buffer, g_BackLpitch, alpha);
    DDUnlockBackSurface();
}

// A warning triangle with a dark rim and an exclamation mark, its apex at (cx, top).
static void DrawMark(unsigned char *buffer, int pitch, int cx, int top)
{
    const int h = 20;
    int rim = RGBToColourValue(40, 8, 0), fill = RGBToColourValue(255, 196, 32), ink = RGBToColourValue(60, 12, 0);
    for (int i = 0; i < h; i++) {
        int half = (i * 11) / h + 1, y = top + i;
        DDhline(cx - half, cx + half + 1, y, rim, buffer, pitch);
        if (i >= 2 && i < h - 1)
            DDhline(cx - half + 2, cx + half - 1, y, fill, buffer, pitch);
        if ((i >= 6 && i < 13) || (i >= 15 && i < 17))
            DDhline(cx - 1, cx + 2, y, ink, buffer, pitch);
    }
}

void KX_FIELDFX_DrawRunwayWarnings(int time)
{
    bool bottom = false, right = false;
    // Y enemies hunt the X laser along the bottom runway, X enemies the Y laser along the right one.
    for (TEnemyYSprite *e : KXSprites_Enemy_Y)
        bottom = bottom || (e && e->GetActive() && e->Turned && !e->Exploding);
    for (TEnemyXSprite *e : KXSprites_Enemy_X)
        right = right || (e && e->GetActive() && e->Turned && !e->Exploding);
    if ((!bottom && !right) || ((unsigned)time / KX_FIELDFX_BLINK_TIME) % 2)
        return;
    if (g_ScreenWidth < KX_FIELDFX_SIZE || g_ScreenHeight < KX_FIELDFX_SIZE)
        return;
    unsigned char *buffer = DDLockBackSurface();
    if (!buffer)
        return;
    if (bottom)
        DrawMark(buffer, g_BackLpitch, 24, 412); // the bottom runway's left end
    if (right)
        DrawMark(buffer, g_BackLpitch, 421, 16); // the right runway's top end
    DDUnlockBackSurface();
}
