// Sprite definitions: a sprite kind's image on a surface, its collision mask, drawing and collision.
#pragma once

#include "dd_sprite_file.h"
#include "win_ddraw.h"
#include "win_gdi.h"

class TSpriteDef {
public:
    explicit TSpriteDef(DDSPRITE_FrameDataType *frameData);
    ~TSpriteDef();
    TSpriteDef(const TSpriteDef &) = delete;
    TSpriteDef &operator=(const TSpriteDef &) = delete;

    bool Created() const { return IsCreated; }
    void Restore();
    int NumFrames() const;
    void DrawSprite(IDirectDrawSurface *dest, int frame, int x, int y);
    bool Collide(int frame, int x, int y, TSpriteDef *other, int otherFrame, int otherX, int otherY);
    TSpriteDef *GetNext() const { return Next; }
    void SpriteToScreen(int frame, int x, int y, int &screenX, int &screenY) const;

    // Read-only views for the actors and the tests.
    int GetWidth() const { return Width; }
    int GetHeight() const { return Height; }
    const BYTE *GetCollisionMask() const { return CollisionMask; }
    DWORD GetColourKey() const { return ColourKey; }
    IDirectDrawSurface *GetSurface() const { return Surface; }
    const DDSPRITE_FrameDataType *GetFrameData() const { return FrameData; }

private:
    bool IsCreated = false;
    int Width = 0;
    int Height = 0;
    HBITMAP ImageBitmap = nullptr;
    IDirectDrawSurface *Surface = nullptr;
    BYTE *CollisionMask = nullptr;
    DDSPRITE_FrameDataType *FrameData = nullptr;
    DWORD ColourKey = 0xFFFFFFFFu;
    TSpriteDef *Prev = nullptr;
    TSpriteDef *Next = nullptr;

    bool CheckFrames() const;
    bool CreateSurface();
    bool BuildMaskFromImage();
    bool BuildMaskFromFile();
    void Release();
};

// The definition list, and the sprite clip rectangle (left and top inclusive, right and bottom not).
extern TSpriteDef *SpriteDefHead;
extern TSpriteDef *SpriteDefTail;
extern int ClipLeft;
extern int ClipTop;
extern int ClipRight;
extern int ClipBottom;
