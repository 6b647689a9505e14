// The desktop's joysticks for the live source: SDL game controllers where SDL has a mapping, raw joysticks otherwise.
#include "sdl_local.h"
#include "sys_pads.h"
#include "sys_report.h"
#include "sys_util.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

enum { NUM_AXES = 8 };

// The SDL devices the live source has open, by instance id.
struct LiveJoystick {
    int id;
    SDL_GameController *controller;
    SDL_Joystick *joystick;
};
static std::vector<LiveJoystick> liveOpen;
static bool liveStarted = false;

static void AddMapping(const std::string &line, int number, void *path)
{
    if (SDL_GameControllerAddMapping(line.c_str()) < 0)
        Sys_Warn("%s:%d: not a pad mapping (%s); line skipped", (const char *)path, number,
                 Sys_Escape(SDL_GetError(), 80).c_str());
}

static bool StartLive()
{
    if (!liveStarted) {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        // Buttons by position, whatever is printed on them: a Nintendo pad's confirm stays the south button.
        SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
        liveStarted = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0; // kept to the end of the run
        // The player's own mappings, once, before any pad is listed.
        std::string text, path;
        if (liveStarted && Sys_ReadPadMappings(text, path))
            Sys_EachTextLine(text, AddMapping, (void *)path.c_str());
    }
    return liveStarted;
}

static LiveJoystick *LiveOpened(int id)
{
    for (LiveJoystick &j : liveOpen)
        if (j.id == id)
            return &j;
    return nullptr;
}

int Sys_LiveJoysticks(SysJoystickInfo *out, int max)
{
    if (!StartLive())
        return 0;
    int n = 0, count = SDL_NumJoysticks();
    for (int i = 0; i < count && n < max; i++) {
        out[n].id = (int)SDL_JoystickGetDeviceInstanceID(i);
        SDL_JoystickGUID g = SDL_JoystickGetDeviceGUID(i);
        static_assert(sizeof g.data == sizeof out[n].product, "both are 16 bytes");
        memcpy(out[n].product, g.data, sizeof out[n].product);
        Sys_CopyJoystickName(out[n].name, SDL_IsGameController(i) ? SDL_GameControllerNameForIndex(i) : SDL_JoystickNameForIndex(i));
        n++;
    }
    return n;
}

bool Sys_LiveJoystickOpen(int id)
{
    if (!StartLive())
        return false;
    int count = SDL_NumJoysticks();
    for (int i = 0; i < count; i++) {
        if ((int)SDL_JoystickGetDeviceInstanceID(i) != id)
            continue;
        LiveJoystick j = { id, nullptr, nullptr };
        if (SDL_IsGameController(i))
            j.controller = SDL_GameControllerOpen(i);
        else
            j.joystick = SDL_JoystickOpen(i);
        if (!j.controller && !j.joystick)
            return false;
        liveOpen.push_back(j);
        return true;
    }
    return false;
}

void Sys_LiveJoystickClose(int id)
{
    for (size_t k = 0; k < liveOpen.size(); k++) {
        if (liveOpen[k].id != id)
            continue;
        if (liveOpen[k].controller)
            SDL_GameControllerClose(liveOpen[k].controller);
        if (liveOpen[k].joystick)
            SDL_JoystickClose(liveOpen[k].joystick);
        liveOpen.erase(liveOpen.begin() + (long)k);
        return;
    }
}

bool Sys_LiveJoystickRead(int id, SysJoystickInput &in)
{
    const LiveJoystick *live = LiveOpened(id);
    if (!live)
        return false;
    if (live->controller) {
        SDL_GameController *c = live->controller;
        if (!SDL_GameControllerGetAttached(c))
            return false;
        SDL_GameControllerUpdate();
        static const SDL_GameControllerAxis axes[6] = { SDL_CONTROLLER_AXIS_LEFTX,        SDL_CONTROLLER_AXIS_LEFTY,
                                                        SDL_CONTROLLER_AXIS_TRIGGERLEFT,  SDL_CONTROLLER_AXIS_RIGHTX,
                                                        SDL_CONTROLLER_AXIS_RIGHTY,       SDL_CONTROLLER_AXIS_TRIGGERRIGHT };
        for (int a = 0; a < 6; a++)
            in.axes[a] = SDL_GameControllerGetAxis(c, axes[a]);
        if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_UP))
            in.hats[0] |= SYS_HAT_UP;
        if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_RIGHT))
            in.hats[0] |= SYS_HAT_RIGHT;
        if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_DOWN))
            in.hats[0] |= SYS_HAT_DOWN;
        if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_LEFT))
            in.hats[0] |= SYS_HAT_LEFT;
        // Face buttons first, in the order DirectInput gives a common pad's buttons.
        static const SDL_GameControllerButton buttons[] = {
            SDL_CONTROLLER_BUTTON_A,          SDL_CONTROLLER_BUTTON_B,          SDL_CONTROLLER_BUTTON_X,
            SDL_CONTROLLER_BUTTON_Y,          SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
            SDL_CONTROLLER_BUTTON_BACK,       SDL_CONTROLLER_BUTTON_START,      SDL_CONTROLLER_BUTTON_LEFTSTICK,
            SDL_CONTROLLER_BUTTON_RIGHTSTICK, SDL_CONTROLLER_BUTTON_GUIDE,      SDL_CONTROLLER_BUTTON_MISC1,
            SDL_CONTROLLER_BUTTON_PADDLE1,    SDL_CONTROLLER_BUTTON_PADDLE2,    SDL_CONTROLLER_BUTTON_PADDLE3,
            SDL_CONTROLLER_BUTTON_PADDLE4,    SDL_CONTROLLER_BUTTON_TOUCHPAD
        };
        for (int b = 0; b < (int)(sizeof buttons / sizeof buttons[0]); b++)
            if (SDL_GameControllerGetButton(c, buttons[b]))
                in.buttons |= 1u << b;
        return true;
    }
    SDL_Joystick *j = live->joystick;
    if (!SDL_JoystickGetAttached(j))
        return false;
    SDL_JoystickUpdate();
    int n = SDL_JoystickNumAxes(j);
    for (int a = 0; a < n && a < NUM_AXES; a++)
        in.axes[a] = SDL_JoystickGetAxis(j, a);
    n = SDL_JoystickNumHats(j);
    for (int h = 0; h < n && h < 4; h++)
        in.hats[h] = SDL_JoystickGetHat(j, h) & 15;
    n = SDL_JoystickNumButtons(j);
    for (int b = 0; b < n && b < 32; b++)
        if (SDL_JoystickGetButton(j, b))
            in.buttons |= 1u << b;
    return true;
}

void Sys_LiveJoystickRumble(int id, int strength, int ms)
{
    const LiveJoystick *live = LiveOpened(id);
    if (!live)
        return;
    Uint16 power = (Uint16)(std::max(0, std::min(strength, 100)) * 0xFFFF / 100);
    // A device without motors says so, and nothing happens.
    if (live->controller)
        SDL_GameControllerRumble(live->controller, power, power, (Uint32)ms);
    else
        SDL_JoystickRumble(live->joystick, power, power, (Uint32)ms);
}
