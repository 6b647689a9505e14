// DirectInput stand-in over the source's joysticks: the desktop's pads and joysticks, or fakes for tests.
#include "win_dinput.h"
#include "sys_display.h"
#include "sys_fake.h"
#include "sys_source.h"

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
enum { SOURCE_JOYSTICK = 2 };
enum { NUM_AXES = 8 };

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

static bool directInputAvailable = true;
static std::vector<SysJoyDevice *> openDevices;
static DWORD generation = 0;
static int createAttempts = 0;

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

// A fake set to fail at this step makes the call fail.
static bool FakeFails(const SysJoyDevice *d, SysJoystickStep step) { return Sys_FakeJoystickFails(d->id) == step; }

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
        inst.dwDevType = DIDEVTYPE_JOYSTICK | (DWORD)Sys_PadStyle(attached[i].product) << 8;
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
    uint8_t product[16];
    memcpy(product, &sys->product, sizeof product);
    info->dwDevType = DIDEVTYPE_JOYSTICK | (DWORD)Sys_PadStyle(product) << 8;
    CopyName(info->tszInstanceName, sys->name);
    CopyName(info->tszProductName, sys->name);
    return DI_OK;
}

void Sys_RumbleJoystick(IDirectInputDevice2 *device, int strength, int ms)
{
    if (device && device->sys->acquired && Sys_RumbleOn() && strength > 0 && ms > 0)
        sys_source.joystickRumble(device->sys->id, strength > 100 ? 100 : strength, ms);
}

bool Sys_IsPlayerPad(int player, const GUID &product)
{
    uint8_t bytes[16];
    return player >= 1 && player <= 2 && Sys_RememberedPad(player - 1, bytes) && memcmp(bytes, &product, sizeof bytes) == 0;
}

void Sys_SetPlayerPad(int player, const GUID *product)
{
    if (player < 1 || player > 2)
        return;
    uint8_t bytes[16];
    if (product)
        memcpy(bytes, product, sizeof bytes);
    Sys_RememberPad(player - 1, product ? bytes : nullptr);
}

// ---- hooks and counts for tests ----

void Sys_SetDirectInputAvailable(bool available) { directInputAvailable = available; }

int Sys_OpenJoystickDevices() { return (int)openDevices.size(); }

int Sys_JoystickCreateAttempts() { return createAttempts; }

void Sys_JoysticksChanged() { generation++; }
DWORD Sys_JoystickGeneration() { return generation + (DWORD)Sys_FakePlugs(); }
