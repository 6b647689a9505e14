// Sprites and the sprite list: the bounded-step sprite clock, drawing in list order, collisions.
#include "dd_sprites.h"
#include "dd_log.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

TSprite *SpriteHead = nullptr;
TSprite *SpriteTail = nullptr;
int SpriteMaxTimeStep = 20;
int SpriteLastUpdateTime = 0;
int SpritePauseTime = 0;
bool DDSPRITE_Debug = false;

enum { DDSPRITE_DRAW_LIMIT = 100 };

TSprite::TSprite(TSpriteDef *definition, int id) : Id(id), Definition(definition) {}

TSprite::~TSprite()
{
    RemoveFromList(&SpriteHead, &SpriteTail);
}

int TSprite::GetNFrames() const
{
    return Definition ? Definition->NumFrames() : 0;
}

void TSprite::GetPosition(int *x, int *y) const
{
    if (x)
        *x = X;
    if (y)
        *y = Y;
}

void TSprite::SetPosition(int x, int y)
{
    X = x;
    Y = y;
}

void TSprite::AddToList(TSprite **head, TSprite **tail)
{
    // Linking a sprite twice would close the list into a loop.
    if (Prev || Next || *head == this) {
        DDErrorLog("TSprite: Sprite is already in a list");
        return;
    }
    Prev = *tail;
    if (*tail)
        (*tail)->Next = this;
    else
        *head = this;
    *tail = this;
}

void TSprite::RemoveFromList(TSprite **head, TSprite **tail)
{
    if (!Prev && *head != this)
        return; // not in the list
    if (Prev)
        Prev->Next = Next;
    else
        *head = Next;
    if (Next)
        Next->Prev = Prev;
    else
        *tail = Prev;
    Prev = Next = nullptr;
}

void TSprite::Draw(IDirectDrawSurface *surface)
{
    if (Active && Definition)
        Definition->DrawSprite(surface, Frame, X, Y);
}

int TSprite::Collision()
{
    if (!Active || !Definition)
        return 0;
    for (TSprite *s = SpriteHead; s; s = s->Next) {
        if (s == this || !s->CollisionActive || !s->Active)
            continue;
        if (Definition->Collide(Frame, X, Y, s->Definition, s->Frame, s->X, s->Y))
            return s->Id;
    }
    return 0;
}

void DDSPRITE_Initialise(int maxTimeStep)
{
    // The sprites outlive the list: clear their links so that none points into it later.
    TSprite *s = SpriteHead;
    while (s) {
        TSprite *next = s->Next;
        s->Prev = s->Next = nullptr;
        s = next;
    }
    SpriteHead = SpriteTail = nullptr;
    if (maxTimeStep < 1) {
        // A step of 0 would never let the sprite clock reach the time asked for.
        DDErrorLog("DDSPRITE_Initialise: Time step below 1 ms, using 1 ms");
        maxTimeStep = 1;
    }
    SpriteMaxTimeStep = maxTimeStep;
}

void DDSPRITE_Cleanup()
{
    while (SpriteHead)
        delete SpriteHead;
    while (SpriteDefHead)
        delete SpriteDefHead;
}

void DDSPRITE_SetClipRect(int left, int top, int right, int bottom)
{
    ClipLeft = left;
    ClipTop = top;
    ClipRight = right;
    ClipBottom = bottom;
}

void DDSPRITE_Add(TSprite *sprite)
{
    if (sprite)
        sprite->AddToList(&SpriteHead, &SpriteTail);
}

void DDSPRITE_SetStartTime(int time)
{
    SpriteLastUpdateTime = time;
}

void DDSPRITE_Pause(int time)
{
    SpritePauseTime = time;
}

// Clock arithmetic wraps as the 32-bit millisecond clock does.
static int ClockAdd(int time, int delta)
{
    return (int)((uint32_t)time + (uint32_t)delta);
}

static int ClockDiff(int later, int earlier)
{
    return (int)((uint32_t)later - (uint32_t)earlier);
}

void DDSPRITE_Resume(int time)
{
    SpriteLastUpdateTime = ClockAdd(SpriteLastUpdateTime, ClockDiff(time, SpritePauseTime));
}

void DDSPRITE_DrawAll(IDirectDrawSurface *surface)
{
    int count = 0;
    for (TSprite *s = SpriteHead; s; s = s->GetNext()) {
        s->Draw(surface);
        if (++count > DDSPRITE_DRAW_LIMIT) {
            DDErrorLog(" Looping error 2");
            break;
        }
    }
}

int DDSPRITE_MoveAll(int now)
{
    int ahead = ClockDiff(now, SpriteLastUpdateTime);
    if (ahead < 0)
        return now;
    int step = std::min(ahead, SpriteMaxTimeStep);
    if (DDSPRITE_Debug) {
        char text[64];
        snprintf(text, sizeof text, "Sprite DeltaTime = %d", step);
        DDErrorLog(text);
    }
    if (step > 0) {
        for (TSprite *s = SpriteHead; s; s = s->GetNext())
            if (s->GetActive())
                s->Move(step);
    }
    SpriteLastUpdateTime = ClockAdd(SpriteLastUpdateTime, step);
    return SpriteLastUpdateTime;
}
