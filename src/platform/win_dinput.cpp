// DirectInput stand-in over the source's joysticks: SDL game controllers and joysticks, or fakes for tests.
#include "win_dinput.h"
#include "sys_local.h"
#include "sys_source.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

const DIDATAFORMAT c_dfDIJoystick = { sizeof(DIDATAFORMAT), 24, 1, sizeof(DIJOYSTATE), 44, nullptr };
const GUID IID_IDirectInputDeviceA = { 0x5944E680, 0xC92E, 0x11CF, { 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0, 0 } };
const GUID IID_IDirectInputDevice2A = { 0x5944E682, 0xC92E, 0x11CF, { 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0, 0 } };

// Instance identities handed out by the enumeration: a marker and the source's id.
static const DWORD GuidMarker = 0x4B584A53;
enum { SOURCE_FAKE = 1, SOURCE_JOYSTICK = 2 };
enum { NUM_AXES = 8 };

struct FakeJoystick {
    std::string name;
    int product; // the same for every connection of one device
    SysJoystickInput input;
    bool plugged;
    SysJoystickStep fail;
};

struct SysJoyDevice {
    ULONG refs = 1;
    int id = 0;
    char name[260] = "";
    bool acquired = false;
    bool formatSet = false;
    GUID product = {}; // the device's identity, kept across reconnections
    LONG rangeMin[NUM_AXES];
    LONG rangeMax[NUM_AXES];
};

static bool fakeMode = false;
static std::vector<FakeJoystick> fakes;
static bool directInputAvailable = true;
static std::vector<SysJoyDevice *> openDevices;
static int nextProduct = 1;
static DWORD generation = 0;
static int createAttempts = 0;

// The SDL devices the live source has open, by instance id.
struct LiveJoystick {
    int id;
    SDL_GameController *controller;
    SDL_Joystick *joystick;
};
static std::vector<LiveJoystick> liveOpen;
static bool liveStarted = false;

bool Sys_SameGuid(const GUID &a, const GUID &b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 && memcmp(a.Data4, b.Data4, 8) == 0;
}

static GUID MakeGuid(int source, int id)
{
    GUID g = { GuidMarker, (WORD)source, 0, { 0 } };
    uint32_t u = (uint32_t)id;
    for (int i = 0; i < 4; i++)
        g.Data4[i] = (BYTE)(u >> (8 * i));
    return g;
}

// Products: Data3 1 tells them from instances. SDL's own joystick GUID is 16 bytes, as ours.
static GUID ProductGuid(int source, int id)
{
    GUID g = MakeGuid(source, id);
    g.Data3 = 1;
    return g;
}

static GUID InfoProduct(const SysJoystickInfo &info)
{
    GUID g;
    static_assert(sizeof g == sizeof info.product, "both are 16 bytes");
    memcpy(&g, info.product, sizeof g);
    return g;
}

static bool ReadGuid(const GUID &g, int &id)
{
    if (g.Data1 != GuidMarker || g.Data2 != SOURCE_JOYSTICK)
        return false;
    uint32_t u = 0;
    for (int i = 0; i < 4; i++)
        u |= (uint32_t)g.Data4[i] << (8 * i);
    id = (int)u;
    return true;
}

static FakeJoystick *Fake(int id)
{
    if (id < 0 || id >= (int)fakes.size())
        return nullptr;
    return &fakes[id];
}

// A fake set to fail at this step makes the call fail.
static bool FakeFails(const SysJoyDevice *d, SysJoystickStep step)
{
    FakeJoystick *f = Fake(d->id);
    return f && f->fail == step;
}

// A device without a name still needs one to be shown in the menu.
static void CopyName(char (&dest)[260], const char *name)
{
    snprintf(dest, sizeof dest, "%s", name && *name ? name : "Joystick");
}

// ---- the DirectInput object ----

HRESULT DirectInputCreateA(HINSTANCE, DWORD version, IDirectInputA **out, void *outer)
{
    if (!out)
        return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (outer)
        return DIERR_NOINTERFACE;
    if (version < 0x0300 || version > 0x0800)
        return DIERR_OLDDIRECTINPUTVERSION;
    if (!directInputAvailable)
        return DIERR_GENERIC;
    *out = new IDirectInputA;
    return DI_OK;
}

ULONG IDirectInputA::AddRef() { return ++refs; }

ULONG IDirectInputA::Release()
{
    ULONG left = --refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT IDirectInputA::EnumDevices(DWORD deviceType, LPDIENUMDEVICESCALLBACKA callback, void *ref, DWORD)
{
    if (!callback)
        return DIERR_INVALIDPARAM;
    if (deviceType != 0 && deviceType != DIDEVTYPE_JOYSTICK)
        return DI_OK;
    // Collect first: the callback may create devices, which must not disturb the walk.
    std::vector<DIDEVICEINSTANCEA> found;
    SysJoystickInfo attached[SYS_MAX_JOYSTICK_INFOS];
    int n = sys_source.joysticks(attached, SYS_MAX_JOYSTICK_INFOS);
    for (int i = 0; i < n; i++) {
        DIDEVICEINSTANCEA inst;
        memset(&inst, 0, sizeof inst);
        inst.dwSize = sizeof inst;
        inst.guidInstance = MakeGuid(SOURCE_JOYSTICK, attached[i].id);
        inst.guidProduct = InfoProduct(attached[i]);
        inst.dwDevType = DIDEVTYPE_JOYSTICK;
        CopyName(inst.tszInstanceName, attached[i].name);
        CopyName(inst.tszProductName, attached[i].name);
        found.push_back(inst);
    }
    for (const DIDEVICEINSTANCEA &d : found)
        if (callback(&d, ref) == DIENUM_STOP)
            break;
    return DI_OK;
}

HRESULT IDirectInputA::CreateDevice(const GUID &instance, IDirectInputDevice **out, void *outer)
{
    if (!out)
        return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (outer)
        return DIERR_NOINTERFACE;
    int id;
    if (!ReadGuid(instance, id))
        return DIERR_DEVICENOTREG;
    createAttempts++;
    SysJoystickInfo attached[SYS_MAX_JOYSTICK_INFOS];
    int n = sys_source.joysticks(attached, SYS_MAX_JOYSTICK_INFOS), at = 0;
    while (at < n && attached[at].id != id)
        at++;
    if (at == n || !sys_source.joystickOpen(id))
        return DIERR_DEVICENOTREG;
    SysJoyDevice *d = new SysJoyDevice;
    d->id = id;
    d->product = InfoProduct(attached[at]);
    memcpy(d->name, attached[at].name, sizeof d->name);
    for (int a = 0; a < NUM_AXES; a++) {
        d->rangeMin[a] = 0;
        d->rangeMax[a] = 65535;
    }
    IDirectInputDevice2 *dev = new IDirectInputDevice2;
    dev->sys = d;
    openDevices.push_back(d);
    *out = dev;
    return DI_OK;
}

// ---- devices ----

HRESULT IDirectInputDevice::QueryInterface(const GUID &iid, void **out)
{
    if (!out)
        return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (FakeFails(sys, SYS_JOY_FAIL_QUERY))
        return DIERR_NOINTERFACE;
    if (!Sys_SameGuid(iid, IID_IDirectInputDevice2A) && !Sys_SameGuid(iid, IID_IDirectInputDeviceA))
        return DIERR_NOINTERFACE;
    AddRef();
    *out = static_cast<IDirectInputDevice2 *>(this);
    return DI_OK;
}

ULONG IDirectInputDevice::AddRef() { return ++sys->refs; }

ULONG IDirectInputDevice::Release()
{
    ULONG left = --sys->refs;
    if (left == 0) {
        sys_source.joystickClose(sys->id);
        openDevices.erase(std::find(openDevices.begin(), openDevices.end(), sys));
        delete sys;
        // Every device object is created as the version 2 interface.
        delete static_cast<IDirectInputDevice2 *>(this);
    }
    return left;
}

HRESULT IDirectInputDevice::SetCooperativeLevel(HWND, DWORD flags)
{
    bool exclusive = flags & DISCL_EXCLUSIVE, shared = flags & DISCL_NONEXCLUSIVE;
    bool foreground = flags & DISCL_FOREGROUND, background = flags & DISCL_BACKGROUND;
    if (exclusive == shared || foreground == background)
        return DIERR_INVALIDPARAM;
    if (FakeFails(sys, SYS_JOY_FAIL_COOPERATIVE))
        return DIERR_GENERIC;
    return DI_OK;
}

HRESULT IDirectInputDevice::SetDataFormat(const DIDATAFORMAT *format)
{
    if (!format || format->dwDataSize != sizeof(DIJOYSTATE))
        return DIERR_INVALIDPARAM;
    if (sys->acquired)
        return DIERR_ACQUIRED;
    if (FakeFails(sys, SYS_JOY_FAIL_FORMAT))
        return DIERR_GENERIC;
    sys->formatSet = true;
    return DI_OK;
}

HRESULT IDirectInputDevice::SetProperty(const GUID *property, const DIPROPHEADER *header)
{
    if (property != DIPROP_RANGE)
        return DIERR_UNSUPPORTED;
    if (!header || header->dwSize != sizeof(DIPROPRANGE) || header->dwHeaderSize != sizeof(DIPROPHEADER))
        return DIERR_INVALIDPARAM;
    if (sys->acquired)
        return DIERR_ACQUIRED;
    const DIPROPRANGE *range = reinterpret_cast<const DIPROPRANGE *>(header);
    if (range->lMin >= range->lMax)
        return DIERR_INVALIDPARAM;
    int first = 0, last = NUM_AXES - 1;
    if (header->dwHow == DIPH_BYOFFSET) {
        if (header->dwObj % 4 != 0 || header->dwObj / 4 >= NUM_AXES)
            return DIERR_OBJECTNOTFOUND;
        first = last = (int)(header->dwObj / 4);
    } else if (header->dwHow != DIPH_DEVICE || header->dwObj != 0) {
        return DIERR_INVALIDPARAM;
    }
    if (FakeFails(sys, SYS_JOY_FAIL_RANGE))
        return DIERR_GENERIC;
    for (int a = first; a <= last; a++) {
        sys->rangeMin[a] = range->lMin;
        sys->rangeMax[a] = range->lMax;
    }
    return DI_OK;
}

// Reads the device as it is now; false when it is no longer attached.
static bool ReadRaw(const SysJoyDevice *d, SysJoystickInput &in)
{
    memset(&in, 0, sizeof in);
    return sys_source.joystickRead(d->id, in);
}

static bool HeldOpen(int id)
{
    for (const SysJoyDevice *d : openDevices)
        if (d->id == id)
            return true;
    return false;
}

// A device that went away and came back (the same product on a new connection, as after a
// Bluetooth sleep or a replug) is taken up again by the device object that had it.
static bool Reattach(SysJoyDevice *d)
{
    SysJoystickInfo attached[SYS_MAX_JOYSTICK_INFOS];
    int n = sys_source.joysticks(attached, SYS_MAX_JOYSTICK_INFOS);
    for (int i = 0; i < n; i++) {
        if (HeldOpen(attached[i].id) || !Sys_SameGuid(InfoProduct(attached[i]), d->product) ||
            !sys_source.joystickOpen(attached[i].id))
            continue;
        sys_source.joystickClose(d->id);
        d->id = attached[i].id;
        memcpy(d->name, attached[i].name, sizeof d->name);
        return true;
    }
    return false;
}

// Maps -32768..32767 linearly onto the axis's range, to the nearest whole value.
static LONG ScaleAxis(SHORT raw, LONG lo, LONG hi)
{
    int64_t span = (int64_t)hi - lo;
    int64_t v = ((int64_t)raw + 32768) * span * 2 + 65535;
    return (LONG)(lo + v / 131070);
}

static DWORD HatAngle(BYTE bits)
{
    switch (bits & 15) {
    case SYS_HAT_UP: return 0;
    case SYS_HAT_UP | SYS_HAT_RIGHT: return 4500;
    case SYS_HAT_RIGHT: return 9000;
    case SYS_HAT_RIGHT | SYS_HAT_DOWN: return 13500;
    case SYS_HAT_DOWN: return 18000;
    case SYS_HAT_DOWN | SYS_HAT_LEFT: return 22500;
    case SYS_HAT_LEFT: return 27000;
    case SYS_HAT_LEFT | SYS_HAT_UP: return 31500;
    default: return POV_CENTRED;
    }
}

HRESULT IDirectInputDevice::Acquire()
{
    if (!sys->formatSet)
        return DIERR_INVALIDPARAM;
    if (FakeFails(sys, SYS_JOY_FAIL_ACQUIRE))
        return DIERR_GENERIC;
    SysJoystickInput probe;
    if (!ReadRaw(sys, probe) && !Reattach(sys))
        return DIERR_INPUTLOST;
    if (sys->acquired)
        return DI_NOEFFECT;
    sys->acquired = true;
    return DI_OK;
}

HRESULT IDirectInputDevice::Unacquire()
{
    if (!sys->acquired)
        return DI_NOEFFECT;
    sys->acquired = false;
    return DI_OK;
}

HRESULT IDirectInputDevice2::Poll()
{
    if (!sys->acquired)
        return DIERR_NOTACQUIRED;
    SysJoystickInput probe;
    if (!ReadRaw(sys, probe) && !Reattach(sys)) {
        sys->acquired = false;
        return DIERR_INPUTLOST;
    }
    return DI_OK;
}

HRESULT IDirectInputDevice::GetDeviceState(DWORD size, void *data)
{
    if (!data || size != sizeof(DIJOYSTATE))
        return DIERR_INVALIDPARAM;
    if (!sys->acquired)
        return DIERR_NOTACQUIRED;
    SysJoystickInput in;
    if (!ReadRaw(sys, in)) {
        sys->acquired = false;
        return DIERR_INPUTLOST;
    }
    DIJOYSTATE st;
    memset(&st, 0, sizeof st);
    LONG *axes[NUM_AXES] = { &st.lX, &st.lY, &st.lZ, &st.lRx, &st.lRy, &st.lRz, &st.rglSlider[0], &st.rglSlider[1] };
    for (int a = 0; a < NUM_AXES; a++)
        *axes[a] = ScaleAxis(in.axes[a], sys->rangeMin[a], sys->rangeMax[a]);
    for (int h = 0; h < 4; h++)
        st.rgdwPOV[h] = HatAngle(in.hats[h]);
    for (int b = 0; b < 32; b++)
        st.rgbButtons[b] = (in.buttons >> b) & 1 ? 0x80 : 0;
    memcpy(data, &st, sizeof st);
    return DI_OK;
}

HRESULT IDirectInputDevice::GetDeviceInfo(DIDEVICEINSTANCEA *info)
{
    if (!info || info->dwSize != sizeof *info)
        return DIERR_INVALIDPARAM;
    memset(info, 0, sizeof *info);
    info->dwSize = sizeof *info;
    info->guidInstance = MakeGuid(SOURCE_JOYSTICK, sys->id);
    info->guidProduct = sys->product;
    info->dwDevType = DIDEVTYPE_JOYSTICK;
    CopyName(info->tszInstanceName, sys->name);
    CopyName(info->tszProductName, sys->name);
    return DI_OK;
}

// ---- test hooks ----

void Sys_UseFakeJoysticks(bool on)
{
    fakeMode = on;
    fakes.clear();
}

int Sys_PlugJoystick(const char *productName)
{
    FakeJoystick f;
    f.name = productName ? productName : "";
    memset(&f.input, 0, sizeof f.input);
    f.product = nextProduct++;
    f.plugged = true;
    f.fail = SYS_JOY_OK;
    fakes.push_back(f);
    generation++;
    return (int)fakes.size() - 1;
}

int Sys_ReplugJoystick(int fake)
{
    FakeJoystick *f = Fake(fake);
    if (!f)
        return -1;
    f->plugged = false;
    FakeJoystick again = *f;
    again.plugged = true;
    memset(&again.input, 0, sizeof again.input);
    fakes.push_back(again);
    generation++;
    return (int)fakes.size() - 1;
}

void Sys_UnplugJoystick(int fake)
{
    if (FakeJoystick *f = Fake(fake))
        f->plugged = false;
    generation++;
}

void Sys_SetJoystickInput(int fake, const SysJoystickInput &input)
{
    if (FakeJoystick *f = Fake(fake))
        f->input = input;
}

void Sys_FailJoystickStep(int fake, SysJoystickStep step)
{
    if (FakeJoystick *f = Fake(fake))
        f->fail = step;
}

void Sys_SetDirectInputAvailable(bool available) { directInputAvailable = available; }

int Sys_OpenJoystickDevices() { return (int)openDevices.size(); }

int Sys_JoystickCreateAttempts() { return createAttempts; }

void Sys_JoysticksChanged() { generation++; }
DWORD Sys_JoystickGeneration() { return generation; }

// ---- the sources' joysticks: fakes, and SDL's (the fakes instead, in fake mode) ----

static void CopyInfoName(char (&dest)[260], const char *name)
{
    strncpy(dest, name ? name : "", sizeof dest - 1);
    dest[sizeof dest - 1] = '\0';
}

int Sys_FakeJoysticks(SysJoystickInfo *out, int max)
{
    int n = 0;
    for (int i = 0; i < (int)fakes.size() && n < max; i++) {
        if (!fakes[i].plugged)
            continue;
        out[n].id = i;
        GUID product = ProductGuid(SOURCE_FAKE, fakes[i].product);
        memcpy(out[n].product, &product, sizeof out[n].product);
        CopyInfoName(out[n].name, fakes[i].name.c_str());
        n++;
    }
    return n;
}

bool Sys_FakeJoystickOpen(int id)
{
    const FakeJoystick *f = Fake(id);
    return f && f->plugged && f->fail != SYS_JOY_FAIL_CREATE;
}

void Sys_FakeJoystickClose(int) {}

bool Sys_FakeJoystickRead(int id, SysJoystickInput &in)
{
    const FakeJoystick *f = Fake(id);
    if (!f || !f->plugged)
        return false;
    in = f->input;
    return true;
}

static bool StartLive()
{
    if (!liveStarted) {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        liveStarted = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0; // kept to the end of the run
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
    if (fakeMode)
        return Sys_FakeJoysticks(out, max);
    if (!StartLive())
        return 0;
    int n = 0, count = SDL_NumJoysticks();
    for (int i = 0; i < count && n < max; i++) {
        out[n].id = (int)SDL_JoystickGetDeviceInstanceID(i);
        SDL_JoystickGUID g = SDL_JoystickGetDeviceGUID(i);
        static_assert(sizeof g.data == sizeof out[n].product, "both are 16 bytes");
        memcpy(out[n].product, g.data, sizeof out[n].product);
        CopyInfoName(out[n].name, SDL_IsGameController(i) ? SDL_GameControllerNameForIndex(i) : SDL_JoystickNameForIndex(i));
        n++;
    }
    return n;
}

bool Sys_LiveJoystickOpen(int id)
{
    if (fakeMode)
        return Sys_FakeJoystickOpen(id);
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
    if (fakeMode)
        return;
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
    if (fakeMode)
        return Sys_FakeJoystickRead(id, in);
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
