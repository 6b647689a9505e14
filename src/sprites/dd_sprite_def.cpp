// Sprite definitions: image surface, colour key, collision mask, clipped drawing and collision tests.
#include "dd_sprite_def.h"
#include "dd.h"
#include "dd_draw.h"
#include "dd_log.h"
#include "dd_sprites.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

TSpriteDef *SpriteDefHead = nullptr;
TSpriteDef *SpriteDefTail = nullptr;
int ClipLeft = 0;
int ClipTop = 0;
int ClipRight = 640;
int ClipBottom = 480;

namespace {

// Screen boxes are worked out in 64 bits: positions come from play and must not overflow.
struct SpriteBox {
    int64_t left, top, right, bottom;
};

} // namespace

static bool ValidFrame(const DDSPRITE_FrameDataType *fd, int frame)
{
    return fd && fd->ImageRect && frame >= 0 && frame < fd->NFrames;
}

static void FrameTopLeft(const DDSPRITE_FrameDataType *fd, int f, int64_t x, int64_t y, int64_t &left, int64_t &top)
{
    const RECT &r = fd->ImageRect[f];
    int64_t w = (int64_t)r.right - r.left, h = (int64_t)r.bottom - r.top;
    switch (fd->Handle) {
    case DDSPRITE_HANDLE_TOPLEFT:
        left = x;
        top = y;
        break;
    case DDSPRITE_HANDLE_CENTRE:
        left = x - w / 2;
        top = y - h / 2;
        break;
    case DDSPRITE_HANDLE_POINT:
        left = (int64_t)x - fd->HandlePoint[f].x;
        top = (int64_t)y - fd->HandlePoint[f].y;
        break;
    default:
        break;
    }
}

static SpriteBox FrameBox(const DDSPRITE_FrameDataType *fd, int f, int x, int y)
{
    int64_t left = x, top = y;
    FrameTopLeft(fd, f, x, y, left, top);
    const RECT &r = fd->ImageRect[f];
    if (fd->HitType == DDSPRITE_COLLIDE_RECT) {
        const RECT &h = fd->HitRect[f];
        return { left + h.left, top + h.top, left + h.right, top + h.bottom };
    }
    return { left, top, left + ((int64_t)r.right - r.left), top + ((int64_t)r.bottom - r.top) };
}

static void LogFrameFault(int frame, const char *what)
{
    char text[160];
    snprintf(text, sizeof text, "SpriteDef: Frame %d %s", frame, what);
    DDErrorLog(text);
}

// Refuses frame data whose image rectangles would reach outside the image: that is read from
// memory. Handle points, hot spots and hit rectangles are offsets and box edges: any value is safe.
bool TSpriteDef::CheckFrames() const
{
    const DDSPRITE_FrameDataType *fd = FrameData;
    for (int f = 0; f < fd->NFrames; f++) {
        const RECT &r = fd->ImageRect[f];
        if (r.left < 0 || r.top < 0 || r.left > r.right || r.top > r.bottom || r.right > Width || r.bottom > Height) {
            LogFrameFault(f, "image rectangle lies outside the sprite image");
            return false;
        }
    }
    return true;
}

// A record that did not come from the reader may lack the arrays its types call for.
static bool FrameDataUsable(const DDSPRITE_FrameDataType *fd)
{
    if (!fd || !fd->SpriteImage) {
        DDErrorLog("SpriteDef: No sprite frame data");
        return false;
    }
    if (fd->NFrames < 1 || fd->NFrames > DDSPRITE_MAX_FRAMES || !fd->ImageRect) {
        DDErrorLog("SpriteDef: Frame count outside valid range");
        return false;
    }
    bool hitOk = (fd->HitType == DDSPRITE_COLLIDE_NONE || fd->HitType == DDSPRITE_COLLIDE_PIXEL) ||
                 (fd->HitType == DDSPRITE_COLLIDE_RECT && fd->HitRect) ||
                 (fd->HitType == DDSPRITE_COLLIDE_HOTSPOT && fd->HotSpot);
    bool handleOk = fd->Handle == DDSPRITE_HANDLE_TOPLEFT || fd->Handle == DDSPRITE_HANDLE_CENTRE ||
                    (fd->Handle == DDSPRITE_HANDLE_POINT && fd->HandlePoint);
    if (!hitOk || !handleOk) {
        DDErrorLog("SpriteDef: Hit type or handle type without its frame data");
        return false;
    }
    return true;
}

bool TSpriteDef::CreateSurface()
{
    if (!DDFailCheck(DDCreatePlainSurface(Width, Height, DDSCAPS_OFFSCREENPLAIN, &Surface), "SpriteDef: CreateSurface"))
        return true;
    DDErrorLog("Retrying in system memory");
    return !DDFailCheck(DDCreatePlainSurface(Width, Height, DDSCAPS_SYSTEMMEMORY, &Surface),
                        "SpriteDef: CreateSurface (system memory)");
}

bool TSpriteDef::BuildMaskFromImage()
{
    DDSURFACEDESC ddsd;
    memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    HRESULT hr;
    while ((hr = Surface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr)) == DDERR_WASSTILLDRAWING)
        ;
    if (DDFailCheck(hr, "SpriteDef: Lock for collision mask"))
        return false;
    // Pixels are read in the surface's own depth, which is the display's.
    int bpp = (int)ddsd.ddpfPixelFormat.dwRGBBitCount;
    int bytes = bpp == 8 ? 1 : bpp == 16 ? 2 : bpp == 24 ? 3 : 4;
    if ((int)ddsd.dwWidth < Width || (int)ddsd.dwHeight < Height || ddsd.lPitch < Width * bytes) {
        Surface->Unlock(nullptr);
        DDErrorLog("SpriteDef: Surface smaller than its image");
        return false;
    }
    const BYTE *base = (const BYTE *)ddsd.lpSurface;
    for (int y = 0; y < Height; y++) {
        const BYTE *p = base + (size_t)y * ddsd.lPitch;
        BYTE *m = CollisionMask + (size_t)y * Width;
        for (int x = 0; x < Width; x++, p += bytes) {
            DWORD v;
            switch (bytes) {
            case 1: v = p[0]; break;
            case 2: v = p[0] | p[1] << 8; break;
            case 3: v = p[0] | p[1] << 8 | p[2] << 16; break;
            default: v = p[0] | p[1] << 8 | p[2] << 16 | (DWORD)p[3] << 24; break;
            }
            m[x] = v == ColourKey ? 0 : 1;
        }
    }
    Surface->Unlock(nullptr);
    return true;
}

bool TSpriteDef::BuildMaskFromFile()
{
    HBITMAP maskBitmap = (HBITMAP)LoadImageA(nullptr, FrameData->SpriteHitMask, IMAGE_BITMAP, 0, 0,
                                             LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!maskBitmap) {
        DDErrorLog("Couldn't open sprite hit mask bitmap");
        DDLogFile(FrameData->SpriteHitMask, GDI_MAX_IMAGE_BYTES);
        return false;
    }
    BITMAP bm;
    memset(&bm, 0, sizeof bm);
    GetObjectA(maskBitmap, sizeof bm, &bm);
    if (bm.bmWidth != Width || bm.bmHeight != Height || bm.bmBitsPixel != 1 || !bm.bmBits ||
        bm.bmWidthBytes < (Width + 7) / 8) {
        DDErrorLog("Incorrect sprite hit mask format");
        DDLogFile(FrameData->SpriteHitMask, GDI_MAX_IMAGE_BYTES);
        DeleteObject(maskBitmap);
        return false;
    }
    const BYTE *bits = (const BYTE *)bm.bmBits;
    for (int y = 0; y < Height; y++) {
        const BYTE *row = bits + (size_t)(Height - 1 - y) * bm.bmWidthBytes;
        BYTE *m = CollisionMask + (size_t)y * Width;
        for (int x = 0; x < Width; x++)
            m[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
    DeleteObject(maskBitmap);
    return true;
}

void TSpriteDef::Release()
{
    if (Surface) {
        Surface->Release();
        Surface = nullptr;
    }
    delete[] CollisionMask;
    CollisionMask = nullptr;
    if (ImageBitmap) {
        DeleteObject(ImageBitmap);
        ImageBitmap = nullptr;
    }
}

TSpriteDef::TSpriteDef(DDSPRITE_FrameDataType *frameData) : FrameData(frameData)
{
    if (!FrameDataUsable(FrameData))
        return;
    ImageBitmap = (HBITMAP)LoadImageA(nullptr, FrameData->SpriteImage, IMAGE_BITMAP, 0, 0,
                                      LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!ImageBitmap) {
        DDErrorLog("Couldn't open sprite image bitmap");
        DDLogFile(FrameData->SpriteImage, GDI_MAX_IMAGE_BYTES);
        return;
    }
    BITMAP bm;
    memset(&bm, 0, sizeof bm);
    GetObjectA(ImageBitmap, sizeof bm, &bm);
    Width = bm.bmWidth;
    Height = bm.bmHeight;
    // What is not built is given back: a definition that failed is never used.
    if (!CheckFrames() || !CreateSurface()) {
        Release();
        return;
    }
    if (FrameData->Transparent == -1) {
        ColourKey = 0xFFFFFFFFu;
    } else {
        ColourKey = (DWORD)DDGDIColorMatch(Surface, (unsigned long)(DWORD)FrameData->Transparent);
        DDCOLORKEY key = { ColourKey, ColourKey };
        DDFailCheck(Surface->SetColorKey(DDCKEY_SRCBLT, &key), "SpriteDef: SetColorKey");
    }
    if (DDFailCheck(DDCopyBitmap(Surface, ImageBitmap, 0, 0, 0, 0), "SpriteDef: CopyBitmap")) {
        Release();
        return;
    }
    if (FrameData->HitType == DDSPRITE_COLLIDE_PIXEL) {
        CollisionMask = new (std::nothrow) BYTE[(size_t)Width * Height];
        if (!CollisionMask) {
            DDErrorLog("SpriteDef: Allocate collision mask failed");
            Release();
            return;
        }
        bool built = FrameData->SpriteHitMask ? BuildMaskFromFile() : BuildMaskFromImage();
        if (!built) {
            Release();
            return;
        }
    }
    Prev = SpriteDefTail;
    Next = nullptr;
    if (SpriteDefTail)
        SpriteDefTail->Next = this;
    else
        SpriteDefHead = this;
    SpriteDefTail = this;
    IsCreated = true;
}

TSpriteDef::~TSpriteDef()
{
    // Only a created definition is in the list.
    if (IsCreated) {
        if (Prev)
            Prev->Next = Next;
        else if (SpriteDefHead == this)
            SpriteDefHead = Next;
        if (Next)
            Next->Prev = Prev;
        else if (SpriteDefTail == this)
            SpriteDefTail = Prev;
        Prev = Next = nullptr;
    }
    Release();
}

void TSpriteDef::Restore()
{
    if (!Surface || Surface->IsLost() != DDERR_SURFACELOST)
        return;
    Surface->Restore();
    DDCopyBitmap(Surface, ImageBitmap, 0, 0, 0, 0);
}

void DDSPRITE_RestoreSurfaces()
{
    for (TSpriteDef *d = SpriteDefHead; d; d = d->GetNext())
        d->Restore();
}

int TSpriteDef::NumFrames() const
{
    return FrameData ? FrameData->NFrames : 0;
}

void TSpriteDef::SpriteToScreen(int frame, int x, int y, int &screenX, int &screenY) const
{
    if (!IsCreated || !ValidFrame(FrameData, frame))
        return;
    int64_t left = INT64_MIN, top = INT64_MIN;
    FrameTopLeft(FrameData, frame, x, y, left, top);
    if (left == INT64_MIN)
        return; // unknown handle type: outputs untouched
    screenX = (int)std::clamp<int64_t>(left, INT32_MIN, INT32_MAX);
    screenY = (int)std::clamp<int64_t>(top, INT32_MIN, INT32_MAX);
}

void TSpriteDef::DrawSprite(IDirectDrawSurface *dest, int frame, int x, int y)
{
    // The frame number comes from play: one outside the definition draws nothing.
    if (!IsCreated || !dest || !ValidFrame(FrameData, frame))
        return;
    const RECT &r = FrameData->ImageRect[frame];
    int64_t dx = x, dy = y;
    FrameTopLeft(FrameData, frame, x, y, dx, dy);
    int64_t rightEnd = dx + ((int64_t)r.right - r.left), bottomEnd = dy + ((int64_t)r.bottom - r.top);
    int64_t sl = r.left, st = r.top, sr = r.right, sb = r.bottom;
    if (dx < ClipLeft) {
        sl += ClipLeft - dx;
        dx = ClipLeft;
    }
    if (dy < ClipTop) {
        st += ClipTop - dy;
        dy = ClipTop;
    }
    if (rightEnd > ClipRight)
        sr -= rightEnd - ClipRight;
    if (bottomEnd > ClipBottom)
        sb -= bottomEnd - ClipBottom;
    if (sl >= sr || st >= sb)
        return;
    RECT source = { (LONG)sl, (LONG)st, (LONG)sr, (LONG)sb };
    DWORD flags = FrameData->Transparent == -1 ? DDBLTFAST_WAIT : (DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
    HRESULT hr = dest->BltFast((DWORD)dx, (DWORD)dy, Surface, &source, flags);
    if (hr == DDERR_SURFACELOST) {
        DDSPRITE_RestoreSurfaces();
        hr = dest->BltFast((DWORD)dx, (DWORD)dy, Surface, &source, flags);
        DDFailCheck(hr, "DrawSprite:");
    }
}

// Screen pixel (sx, sy) of a frame whose box starts at (boxLeft, boxTop), as an index into the mask.
static size_t MaskIndex(const TSpriteDef *def, const RECT &image, const SpriteBox &box, int64_t sx, int64_t sy)
{
    int64_t row = sy - box.top + image.top, column = sx - box.left + image.left;
    return (size_t)(row * def->GetWidth() + column);
}

// Mask bytes are 0 or 1: eight at a time, a whole row before the answer.
static bool RowsShareSolid(const BYTE *a, const BYTE *b, size_t span)
{
    uint64_t common = 0;
    size_t i = 0;
    for (; i + 8 <= span; i += 8) {
        uint64_t x, y;
        memcpy(&x, a + i, 8);
        memcpy(&y, b + i, 8);
        common |= x & y;
    }
    for (; i < span; i++)
        common |= (uint64_t)(a[i] & b[i]);
    return common != 0;
}

bool TSpriteDef::Collide(int frame, int x, int y, TSpriteDef *other, int otherFrame, int otherX, int otherY)
{
    if (!other || !IsCreated || !other->IsCreated)
        return false;
    const DDSPRITE_FrameDataType *fa = FrameData, *fb = other->FrameData;
    if (!ValidFrame(fa, frame) || !ValidFrame(fb, otherFrame))
        return false;
    if (fa->HitType == DDSPRITE_COLLIDE_NONE || fb->HitType == DDSPRITE_COLLIDE_NONE)
        return false;
    SpriteBox a = FrameBox(fa, frame, x, y), b = FrameBox(fb, otherFrame, otherX, otherY);
    // A's right and bottom edges count as touching B; B's do not.
    if (a.right < b.left || a.left >= b.right || a.bottom < b.top || a.top >= b.bottom)
        return false;
    switch (fa->HitType) {
    case DDSPRITE_COLLIDE_RECT:
        return true;
    case DDSPRITE_COLLIDE_PIXEL: {
        if (fb->HitType != DDSPRITE_COLLIDE_RECT && fb->HitType != DDSPRITE_COLLIDE_PIXEL)
            return false;
        int64_t left = std::max(a.left, b.left), right = std::min(a.right, b.right);
        int64_t top = std::max(a.top, b.top), bottom = std::min(a.bottom, b.bottom);
        if (left >= right || top >= bottom)
            return false;
        size_t span = (size_t)(right - left);
        const RECT &ia = fa->ImageRect[frame];
        for (int64_t sy = top; sy < bottom; sy++) {
            const BYTE *ma = CollisionMask + MaskIndex(this, ia, a, left, sy);
            if (fb->HitType == DDSPRITE_COLLIDE_RECT) {
                if (memchr(ma, 1, span))
                    return true;
                continue;
            }
            const BYTE *mb = other->CollisionMask + MaskIndex(other, fb->ImageRect[otherFrame], b, left, sy);
            if (RowsShareSolid(ma, mb, span))
                return true;
        }
        return false;
    }
    case DDSPRITE_COLLIDE_HOTSPOT: {
        int64_t hx = a.left + fa->HotSpot[frame].x, hy = a.top + fa->HotSpot[frame].y;
        bool inside = hx >= b.left && hx < b.right && hy >= b.top && hy < b.bottom;
        if (!inside)
            return false;
        if (fb->HitType == DDSPRITE_COLLIDE_RECT)
            return true;
        if (fb->HitType == DDSPRITE_COLLIDE_PIXEL)
            return other->CollisionMask[MaskIndex(other, fb->ImageRect[otherFrame], b, hx, hy)] != 0;
        return false;
    }
    default:
        return false;
    }
}
