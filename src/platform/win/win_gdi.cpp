// GDI stand-in: the BMP reader behind LoadImageA, drawing contexts, pixel and text output.
#include "win_local.h"
#include "sys_file.h"

#include <cstring>
#include <new>
#include <string>
#include <sys/stat.h>

static DWORD Get16(const BYTE *p) { return p[0] | p[1] << 8; }
static DWORD Get32(const BYTE *p) { return p[0] | p[1] << 8 | p[2] << 16 | (DWORD)p[3] << 24; }

enum { BI_RGB = 0, BI_BITFIELDS = 3 };

static HBITMAP Refuse(const char **reason, const char *why)
{
    if (reason)
        *reason = why;
    return nullptr;
}

HBITMAP Sys_ReadBMP(const BYTE *data, size_t size, const char **reason)
{
    if (reason)
        *reason = nullptr;
    if (!data || size < 14 + 40)
        return Refuse(reason, "file too short for its headers");
    if (data[0] != 'B' || data[1] != 'M')
        return Refuse(reason, "not a BMP file");
    DWORD offset = Get32(data + 10);
    DWORD headerSize = Get32(data + 14);
    if (headerSize < 40 || headerSize > 1024 || 14 + (size_t)headerSize > size)
        return Refuse(reason, "unsupported or truncated information header");
    const BYTE *info = data + 14;
    int32_t width = (int32_t)Get32(info + 4);
    int32_t height = (int32_t)Get32(info + 8);
    int bits = (int)Get16(info + 14);
    DWORD compression = Get32(info + 16);
    DWORD used = Get32(info + 32);
    if (width <= 0)
        return Refuse(reason, "width is not positive");
    if (height == 0 || height == INT32_MIN)
        return Refuse(reason, "height is zero or out of range");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Refuse(reason, "unsupported bits per pixel");
    if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bits == 16 || bits == 32)))
        return Refuse(reason, "compressed BMP files are not supported");
    bool topDown = height < 0;
    uint64_t rows = topDown ? (uint64_t)(-(int64_t)height) : (uint64_t)height;
    uint64_t rowBytes = (((uint64_t)width * bits + 31) / 32) * 4;
    if ((uint64_t)width * rows * (uint64_t)bits > 0xFFFFFFFFull)
        return Refuse(reason, "image size overflows 32 bits");

    size_t tableStart = 14 + headerSize;
    DWORD masks[3] = { 0, 0, 0 };
    if (compression == BI_BITFIELDS) {
        size_t maskAt = headerSize >= 52 ? 14 + 40 : tableStart;
        if (maskAt + 12 > size)
            return Refuse(reason, "truncated bit field masks");
        for (int i = 0; i < 3; i++)
            masks[i] = Get32(data + maskAt + 4 * i);
        if (headerSize < 52)
            tableStart += 12;
    } else if (bits == 16) {
        masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
    } else if (bits == 32) {
        masks[0] = 0xFF0000; masks[1] = 0x00FF00; masks[2] = 0x0000FF;
    }
    int colours = 0;
    if (bits <= 8) {
        if (used > (1u << bits))
            return Refuse(reason, "more colours than the depth allows");
        colours = used ? (int)used : 1 << bits;
        if (tableStart + (size_t)colours * 4 > size)
            return Refuse(reason, "truncated colour table");
    }
    if (offset < tableStart + (size_t)colours * 4 || offset > size)
        return Refuse(reason, "pixel data offset inside the headers or past the end");
    if (rowBytes * rows > size - offset)
        return Refuse(reason, "truncated pixel rows");

    HBITMAP__ *bmp = new (std::nothrow) HBITMAP__;
    if (!bmp)
        return Refuse(reason, "out of memory");
    try {
        bmp->bits.resize(rowBytes * rows);
        bmp->quads.assign(256 * 4, 0);
    } catch (const std::bad_alloc &) {
        delete bmp;
        return Refuse(reason, "out of memory");
    }
    const BYTE *src = data + offset;
    for (uint64_t r = 0; r < rows; r++) {
        // Stored bottom-up whatever the file's own order.
        uint64_t from = topDown ? rows - 1 - r : r;
        memcpy(&bmp->bits[r * rowBytes], src + from * rowBytes, rowBytes);
    }
    if (colours)
        memcpy(bmp->quads.data(), data + tableStart, (size_t)colours * 4);
    bmp->colours = colours;
    memcpy(bmp->masks, masks, sizeof masks);
    bmp->bm.bmType = 0;
    bmp->bm.bmWidth = width;
    bmp->bm.bmHeight = (LONG)rows;
    bmp->bm.bmWidthBytes = (LONG)rowBytes;
    bmp->bm.bmPlanes = 1;
    bmp->bm.bmBitsPixel = (WORD)bits;
    bmp->bm.bmBits = bmp->bits.data();
    return bmp;
}

HANDLE LoadImageA(HINSTANCE, const char *name, UINT type, int, int, UINT flags)
{
    if (type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE) || !name)
        return nullptr;
    FILE *f = Sys_FOpen(name, "rb");
    if (!f)
        return nullptr;
    // Sized before reading: a huge (or sparse) file is refused without touching its bytes.
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > GDI_MAX_IMAGE_BYTES) {
        fclose(f);
        return nullptr;
    }
    HBITMAP bmp = nullptr;
    try {
        std::string data;
        data.reserve((size_t)st.st_size);
        char buffer[65536];
        size_t n;
        while (data.size() <= (size_t)GDI_MAX_IMAGE_BYTES && (n = fread(buffer, 1, sizeof buffer, f)) > 0)
            data.append(buffer, n);
        if (data.size() <= (size_t)GDI_MAX_IMAGE_BYTES)
            bmp = Sys_ReadBMP((const BYTE *)data.data(), data.size(), nullptr);
    } catch (const std::bad_alloc &) {
        bmp = nullptr;
    }
    fclose(f);
    return bmp;
}

int GetObjectA(HGDIOBJ object, int size, void *out)
{
    if (!object || !out || size < (int)sizeof(BITMAP))
        return 0;
    memcpy(out, &((HBITMAP)object)->bm, sizeof(BITMAP));
    return sizeof(BITMAP);
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!object)
        return FALSE;
    delete (HBITMAP)object;
    return TRUE;
}

int Sys_BitmapColours(HBITMAP bitmap, const BYTE **quads)
{
    if (!bitmap)
        return 0;
    if (quads)
        *quads = bitmap->quads.data();
    return bitmap->colours;
}

static DWORD MaskChannel(DWORD v, DWORD mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        shift++;
    DWORD m = mask >> shift, c = (v & mask) >> shift;
    return (c * 255 + m / 2) / m;
}

COLORREF Sys_BitmapPixel(HBITMAP b, int x, int y)
{
    if (!b || x < 0 || y < 0 || x >= b->bm.bmWidth || y >= b->bm.bmHeight)
        return 0;
    const BYTE *row = b->bits.data() + (size_t)(b->bm.bmHeight - 1 - y) * b->bm.bmWidthBytes;
    int bits = b->bm.bmBitsPixel;
    if (bits <= 8) {
        int index;
        if (bits == 8)
            index = row[x];
        else if (bits == 4)
            index = (row[x / 2] >> ((x & 1) ? 0 : 4)) & 15;
        else
            index = (row[x / 8] >> (7 - (x & 7))) & 1;
        // An index past a short colour table reads as black.
        if (index >= b->colours)
            return 0;
        const BYTE *q = &b->quads[index * 4];
        return RGB(q[2], q[1], q[0]);
    }
    if (bits == 24) {
        const BYTE *p = row + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
    DWORD v = bits == 16 ? Get16(row + x * 2) : Get32(row + x * 4);
    return RGB(MaskChannel(v, b->masks[0]), MaskChannel(v, b->masks[1]), MaskChannel(v, b->masks[2]));
}

HDC CreateCompatibleDC(HDC)
{
    return new HDC__;
}

BOOL DeleteDC(HDC dc)
{
    if (!dc || dc->surface)
        return FALSE;
    delete dc;
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    if (!dc)
        return nullptr;
    HGDIOBJ old = dc->bitmap;
    dc->bitmap = (HBITMAP)object;
    return old;
}

static bool DCSize(HDC dc, int &w, int &h)
{
    if (dc->surface) {
        w = dc->surface->width;
        h = dc->surface->height;
        return true;
    }
    if (dc->bitmap) {
        w = dc->bitmap->bm.bmWidth;
        h = dc->bitmap->bm.bmHeight;
        return true;
    }
    return false;
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    int w, h;
    if (!dc || !DCSize(dc, w, h) || x < 0 || y < 0 || x >= w || y >= h)
        return CLR_INVALID;
    if (dc->surface)
        return Sys_UnpackColour(dc->surface->depth, Sys_ReadPixel(dc->surface, x, y));
    return Sys_BitmapPixel(dc->bitmap, x, y);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    if (!dc || !dc->surface || x < 0 || y < 0 || x >= dc->surface->width || y >= dc->surface->height)
        return CLR_INVALID;
    Sys_WritePixel(dc->surface, x, y, Sys_PackColour(dc->surface->depth, colour));
    return colour;
}

BOOL StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD)
{
    if (!dest || !dest->surface || !src || w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return FALSE;
    IDirectDrawSurface *s = dest->surface;
    for (int dy = 0; dy < h; dy++) {
        int ty = y + dy;
        if (ty < 0 || ty >= s->height)
            continue;
        int fy = sy + (int)((int64_t)dy * sh / h);
        for (int dx = 0; dx < w; dx++) {
            int tx = x + dx;
            if (tx < 0 || tx >= s->width)
                continue;
            int fx = sx + (int)((int64_t)dx * sw / w);
            COLORREF c = GetPixel(src, fx, fy);
            if (c == CLR_INVALID)
                c = 0;
            Sys_WritePixel(s, tx, ty, Sys_PackColour(s->depth, c));
        }
    }
    return TRUE;
}

COLORREF SetTextColor(HDC dc, COLORREF colour)
{
    if (!dc)
        return CLR_INVALID;
    COLORREF old = dc->textColour;
    dc->textColour = colour;
    return old;
}

int SetBkMode(HDC dc, int mode)
{
    if (!dc)
        return 0;
    int old = dc->bkMode;
    dc->bkMode = mode;
    return old;
}

BOOL TextOutA(HDC dc, int x, int y, const char *text, int length)
{
    if (!dc || !dc->surface || !text)
        return FALSE;
    IDirectDrawSurface *s = dc->surface;
    DWORD ink = Sys_PackColour(s->depth, dc->textColour);
    DWORD paper = Sys_PackColour(s->depth, 0);
    for (int i = 0; i < length; i++) {
        int cx = x + i * SYS_FONT_WIDTH;
        for (int row = 0; row < SYS_FONT_HEIGHT; row++) {
            for (int col = 0; col < SYS_FONT_WIDTH; col++) {
                int px = cx + col, py = y + row;
                if (px < 0 || py < 0 || px >= s->width || py >= s->height)
                    continue;
                if (Sys_FontPixel(text[i], col, row))
                    Sys_WritePixel(s, px, py, ink);
                else if (dc->bkMode == OPAQUE)
                    Sys_WritePixel(s, px, py, paper);
            }
        }
    }
    return TRUE;
}
