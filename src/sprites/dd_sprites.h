// Sprites and the sprite list: moving by a bounded-step clock, drawing in list order, collisions.
#pragma once

#include "dd_sprite_def.h"
#include "dd_sprite_file.h"

class TSprite {
public:
    TSprite(TSpriteDef *definition, int id);
    // Virtual so that the list can destroy derived sprites through a TSprite pointer.
    virtual ~TSprite();
    TSprite(const TSprite &) = delete;
    TSprite &operator=(const TSprite &) = delete;

    void SetDefinition(TSpriteDef *definition) { Definition = definition; }
    TSpriteDef *GetDefinition() const { return Definition; }
    int GetId() const { return Id; }
    int GetNFrames() const;
    int CurrentFrame() const { return Frame; }
    void GetPosition(int *x, int *y) const;
    bool GetActive() const { return Active; }
    void SetActive(bool active) { Active = active; }
    void SetPosition(int x, int y);
    void SetFrame(int frame) { Frame = frame; }
    void SetCollisionActive(bool active) { CollisionActive = active; }
    bool GetCollisionActive() const { return CollisionActive; }
    int Collision();
    void Draw(IDirectDrawSurface *surface);
    void AddToList(TSprite **head, TSprite **tail);
    void RemoveFromList(TSprite **head, TSprite **tail);
    TSprite *GetNext() const { return Next; }
    TSprite *GetPrev() const { return Prev; }
    virtual void Move(int deltaTime) = 0;

protected:
    int X = 0;
    int Y = 0;
    int Frame = 0;
    bool Active = false;
    bool CollisionActive = true;
    int Id = 0;
    TSpriteDef *Definition = nullptr;

private:
    TSprite *Next = nullptr;
    TSprite *Prev = nullptr;

    friend void DDSPRITE_Initialise(int maxTimeStep);
};

extern TSprite *SpriteHead;
extern TSprite *SpriteTail;
extern int SpriteMaxTimeStep;
extern int SpriteLastUpdateTime;
extern int SpritePauseTime;
extern bool DDSPRITE_Debug;

void DDSPRITE_Initialise(int maxTimeStep);
void DDSPRITE_Cleanup();
void DDSPRITE_SetClipRect(int left, int top, int right, int bottom);
void DDSPRITE_Add(TSprite *sprite);
void DDSPRITE_SetStartTime(int time);
void DDSPRITE_Pause(int time);
void DDSPRITE_Resume(int time);
void DDSPRITE_DrawAll(IDirectDrawSurface *surface);
int DDSPRITE_MoveAll(int now);
// Refills every definition's surface after the display lost them.
void DDSPRITE_RestoreSurfaces();
