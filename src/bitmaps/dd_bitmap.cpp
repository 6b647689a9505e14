// The bitmap store: loading BMP files onto surfaces, the list for restoring, clipped drawing.
#include "dd_bitmap.h"
#include "dd.h"
#include "dd_draw.h"
#include "dd_font.h"
#include "dd_log.h"

#include <cstdint>
#include <cstring>
#include <new>

DDBitmap *BitmapHead = nullptr;
DDBitmap *BitmapTail = nullptr;

int DDBitmap_ClipLeft = 0;
int DDBitmap_ClipTop = 0;
int DDBitmap_ClipRight = 640;
int DDBitmap_ClipBottom = 480;

static HBITMAP LoadImageFile(const char *fileName)
{
    return (HBITMAP)LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
}

static IDirectDrawSurface *CreateOffscreen(int width, int height)
{
    if (!g_pDD || width <= 0 || height <= 0)
        return nullptr;
    IDirectDrawSurface *surface = nullptr;
    if (DDFailCheck(DDCreatePlainSurface(width, height, DDSCAPS_OFFSCREENPLAIN, &surface), "DDBITMAP_Load: CreateSurface"))
        return nullptr;
    return surface;
}

DDBitmap *DDBITMAP_Load(const char *fileName)
{
    DDBitmap *bitmap = new (std::nothrow) DDBitmap;
    if (!bitmap) {
        DDErrorLog("Error: Failed to allocate memory for bitmap");
        return nullptr;
    }
    memset(bitmap, 0, sizeof *bitmap);
    bitmap->ColourKey = 0xFFFFFFFFu;
    // The name is kept for reloading: one that does not fit is refused rather than cut.
    if (!fileName || strlen(fileName) >= sizeof bitmap->FileName) {
        DDErrorLog("Error: Bitmap file name too long");
        if (fileName)
            DDErrorLog(fileName);
        delete bitmap;
        return nullptr;
    }
    strcpy(bitmap->FileName, fileName);

    HBITMAP image = LoadImageFile(fileName);
    if (!image) {
        DDErrorLog("Couldn't open bitmap file");
        DDErrorLog(fileName);
        DDLogFile(fileName, GDI_MAX_IMAGE_BYTES);
        delete bitmap;
        return nullptr;
    }
    BITMAP bm;
    memset(&bm, 0, sizeof bm);
    GetObjectA(image, sizeof bm, &bm);
    bitmap->Width = bm.bmWidth;
    bitmap->Height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;

    bitmap->Surface = CreateOffscreen(bitmap->Width, bitmap->Height);
    if (!bitmap->Surface) {
        DDErrorLog("Error: Failed to create surface for bitmap");
        DDErrorLog(fileName);
        DeleteObject(image);
        delete bitmap;
        return nullptr;
    }
    DDCopyBitmap(bitmap->Surface, image, 0, 0, 0, 0);
    DeleteObject(image);

    bitmap->Prev = BitmapTail;
    if (BitmapTail)
        BitmapTail->Next = bitmap;
    else
        BitmapHead = bitmap;
    BitmapTail = bitmap;
    return bitmap;
}

void DDBitmap_Restore(DDBitmap *bitmap)
{
    if (!bitmap) {
        DDErrorLog("Error: Attempt to restore null bitmap");
        return;
    }
    if (!bitmap->Surface || bitmap->Surface->IsLost() != DDERR_SURFACELOST)
        return;
    // While the display is still away the memory cannot come back: try again at the next draw.
    if (FAILED(bitmap->Surface->Restore()))
        return;
    HBITMAP image = LoadImageFile(bitmap->FileName);
    if (!image) {
        DDErrorLog("Error: Couldn't open bitmap file for DDBitmap_Restore");
        DDLogFile(bitmap->FileName, GDI_MAX_IMAGE_BYTES);
        return;
    }
    DDCopyBitmap(bitmap->Surface, image, 0, 0, 0, 0);
    DeleteObject(image);
}

void DDBitmap_RestoreAll()
{
    for (DDBitmap *b = BitmapHead; b; b = b->Next)
        DDBitmap_Restore(b);
}

void DDBitmap_RemoveFromList(DDBitmap *bitmap)
{
    if (!bitmap)
        return;
    // A bitmap already taken off (no predecessor, yet not the head) must not disturb the list.
    if (!bitmap->Prev && BitmapHead != bitmap)
        return;
    if (bitmap->Prev)
        bitmap->Prev->Next = bitmap->Next;
    else
        BitmapHead = bitmap->Next;
    if (bitmap->Next)
        bitmap->Next->Prev = bitmap->Prev;
    else
        BitmapTail = bitmap->Prev;
    bitmap->Next = nullptr;
    bitmap->Prev = nullptr;
}

static void Destroy(DDBitmap *bitmap)
{
    delete bitmap->Font;
    if (bitmap->Surface)
        bitmap->Surface->Release();
    delete bitmap;
}

void DDBitmap_Release(DDBitmap *bitmap)
{
    if (!bitmap) {
        DDErrorLog("Error: Attempt to release null bitmap");
        return;
    }
    DDBitmap_RemoveFromList(bitmap);
    Destroy(bitmap);
}

void DDBitmap_ReleaseAll()
{
    while (BitmapHead)
        DDBitmap_Release(BitmapHead);
}

void DDBitmap_SetTransparent(DDBitmap *bitmap, unsigned int colour)
{
    if (!bitmap) {
        DDErrorLog("Error: Attempt to set colour key for null bitmap.");
        return;
    }
    if (!bitmap->Surface) {
        DDErrorLog("Error: Attempt to set colour key for bitmap with null surface.");
        return;
    }
    DDBitmap_Restore(bitmap);
    bitmap->ColourKey = (unsigned int)DDGDIColorMatch(bitmap->Surface, colour);
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = bitmap->ColourKey;
    key.dwColorSpaceHighValue = bitmap->ColourKey;
    bitmap->Surface->SetColorKey(DDCKEY_SRCBLT, &key);
    bitmap->HasColourKey = true;
}

void DDBitmap_SetClip(int left, int top, int right, int bottom)
{
    DDBitmap_ClipLeft = left;
    DDBitmap_ClipTop = top;
    DDBitmap_ClipRight = right;
    DDBitmap_ClipBottom = bottom;
}

// Clips the source rectangle (sl, st, sr, sb) drawn at (x, y) and copies what is left.
// Sums are taken in 64 bits so that no position or size can overflow.
static void DrawClipped(IDirectDrawSurface *dest, DDBitmap *bitmap, int x, int y, long long sl, long long st,
                        long long sr, long long sb, const char *what)
{
    if (!dest || !bitmap->Surface)
        return;
    long long w = sr - sl, h = sb - st;
    long long dx = x, dy = y;
    if (dx < DDBitmap_ClipLeft) {
        sl += DDBitmap_ClipLeft - dx;
        dx = DDBitmap_ClipLeft;
    }
    if (dy < DDBitmap_ClipTop) {
        st += DDBitmap_ClipTop - dy;
        dy = DDBitmap_ClipTop;
    }
    if (x + w > DDBitmap_ClipRight)
        sr -= x + w - DDBitmap_ClipRight;
    if (y + h > DDBitmap_ClipBottom)
        sb -= y + h - DDBitmap_ClipBottom;

    if (sr <= sl || sb <= st)
        return;
    // A source rectangle past the bitmap, or a target past the surface, goes to the copy as it
    // is: the copy checks both and refuses the whole rectangle, so nothing is drawn.
    if (sl < INT32_MIN || sr > INT32_MAX || st < INT32_MIN || sb > INT32_MAX || dx < 0 || dy < 0 ||
        dx > INT32_MAX || dy > INT32_MAX)
        return;

    RECT source = { (LONG)sl, (LONG)st, (LONG)sr, (LONG)sb };
    DWORD flags = (bitmap->HasColourKey ? DDBLTFAST_SRCCOLORKEY : DDBLTFAST_NOCOLORKEY) | DDBLTFAST_WAIT;
    HRESULT hr = dest->BltFast((DWORD)dx, (DWORD)dy, bitmap->Surface, &source, flags);
    if (hr == DDERR_SURFACELOST) {
        DDBitmap_RestoreAll();
        hr = dest->BltFast((DWORD)dx, (DWORD)dy, bitmap->Surface, &source, flags);
        DDFailCheck(hr, what);
    }
}

void DDBitmap_Draw(IDirectDrawSurface *dest, DDBitmap *bitmap, int x, int y)
{
    if (!bitmap) {
        DDErrorLog("Error: Attempt to draw null bitmap handle.");
        return;
    }
    DrawClipped(dest, bitmap, x, y, 0, 0, bitmap->Width, bitmap->Height, "DDBitmap_Draw:");
}

void DDBitmap_DrawSub(IDirectDrawSurface *dest, DDBitmap *bitmap, int x, int y, int sourceX, int sourceY,
                      int width, int height)
{
    if (!bitmap) {
        DDErrorLog("Error: Attempt to draw null bitmap handle.");
        return;
    }
    DrawClipped(dest, bitmap, x, y, sourceX, sourceY, (long long)sourceX + width, (long long)sourceY + height,
                "DDBitmap_DrawSub:");
}
