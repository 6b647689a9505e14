// DirectInput stand-in: up to four joysticks from the source: the desktop's pads and joysticks, or test fakes.
#pragma once

#include "win_types.h"

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};

bool Sys_SameGuid(const GUID &a, const GUID &b);

#define DIRECTINPUT_VERSION 0x0500

#define DI_OK S_OK
#define DI_NOEFFECT ((HRESULT)1)
#define DI_PROPNOEFFECT ((HRESULT)1)
#define DIERR_GENERIC E_FAIL
#define DIERR_INVALIDPARAM E_INVALIDARG
#define DIERR_OUTOFMEMORY E_OUTOFMEMORY
#define DIERR_UNSUPPORTED E_NOTIMPL
#define DIERR_NOINTERFACE ((HRESULT)0x80004002)
#define DIERR_DEVICENOTREG ((HRESULT)0x80040154)
#define DIERR_OBJECTNOTFOUND ((HRESULT)0x80070002)
#define DIERR_NOTACQUIRED ((HRESULT)0x8007000C)
#define DIERR_NOTINITIALIZED ((HRESULT)0x80070015)
#define DIERR_INPUTLOST ((HRESULT)0x8007001E)
#define DIERR_ACQUIRED ((HRESULT)0x800700AA)
#define DIERR_OLDDIRECTINPUTVERSION ((HRESULT)0x8007047E)

#define DIDEVTYPE_JOYSTICK 4
#define DIEDFL_ALLDEVICES 0x00000000u
#define DIEDFL_ATTACHEDONLY 0x00000001u
#define DIENUM_STOP 0
#define DIENUM_CONTINUE 1

#define DISCL_EXCLUSIVE 0x00000001u
#define DISCL_NONEXCLUSIVE 0x00000002u
#define DISCL_FOREGROUND 0x00000004u
#define DISCL_BACKGROUND 0x00000008u

#define DIPH_DEVICE 0
#define DIPH_BYOFFSET 1

// The standard joystick state record (80 bytes). Hats: hundredths of a degree clockwise from up,
// 0xFFFFFFFF when centred. Buttons: non-zero while held.
struct DIJOYSTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    LONG lRx;
    LONG lRy;
    LONG lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];
    BYTE rgbButtons[32];
};
static_assert(sizeof(DIJOYSTATE) == 80, "DIJOYSTATE is 80 bytes");

#define DIJOFS_X 0
#define DIJOFS_Y 4
#define DIJOFS_Z 8
#define DIJOFS_RX 12
#define DIJOFS_RY 16
#define DIJOFS_RZ 20
#define DIJOFS_SLIDER(n) (24 + 4 * (n))
#define DIJOFS_POV(n) (32 + 4 * (n))
#define DIJOFS_BUTTON(n) (48 + (n))

#define POV_CENTRED 0xFFFFFFFFu

struct DIDEVICEINSTANCEA {
    DWORD dwSize;
    GUID guidInstance;
    GUID guidProduct;
    DWORD dwDevType;
    char tszInstanceName[260];
    char tszProductName[260];
};
typedef BOOL (*LPDIENUMDEVICESCALLBACKA)(const DIDEVICEINSTANCEA *instance, void *ref);

struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize; // bytes of the state record the format fills
    DWORD dwNumObjs;
    const void *rgodf;
};
extern const DIDATAFORMAT c_dfDIJoystick;

struct DIPROPHEADER {
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj; // with DIPH_BYOFFSET: the axis's offset in DIJOYSTATE
    DWORD dwHow;
};

struct DIPROPRANGE {
    DIPROPHEADER diph;
    LONG lMin;
    LONG lMax;
};

// Properties are named by small numbers passed where a GUID pointer would go, as DirectInput does.
#define MAKEDIPROP(p) ((const GUID *)(uintptr_t)(p))
#define DIPROP_RANGE MAKEDIPROP(4)

extern const GUID IID_IDirectInputDeviceA;
extern const GUID IID_IDirectInputDevice2A;

struct SysJoyDevice; // the platform's side of an opened device

struct IDirectInputDevice {
    HRESULT QueryInterface(const GUID &iid, void **out);
    ULONG AddRef();
    ULONG Release();
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT SetDataFormat(const DIDATAFORMAT *format);
    HRESULT SetProperty(const GUID *property, const DIPROPHEADER *header);
    HRESULT Acquire();
    HRESULT Unacquire();
    HRESULT GetDeviceState(DWORD size, void *data);
    // The connection the device is read through now: it changes when the device comes back.
    HRESULT GetDeviceInfo(DIDEVICEINSTANCEA *info);

    SysJoyDevice *sys = nullptr;
};

// Version 2 of the device interface: the same device, with polling.
struct IDirectInputDevice2 : IDirectInputDevice {
    HRESULT Poll();
};

struct IDirectInputA {
    HRESULT EnumDevices(DWORD deviceType, LPDIENUMDEVICESCALLBACKA callback, void *ref, DWORD flags);
    HRESULT CreateDevice(const GUID &instance, IDirectInputDevice **out, void *outer);
    ULONG AddRef();
    ULONG Release();

    ULONG refs = 1;
};

HRESULT DirectInputCreateA(HINSTANCE instance, DWORD version, IDirectInputA **out, void *outer);

// The enumeration gives a pad's style (SysPadStyle: whose names its face buttons carry) as the
// device subtype, in the second byte of dwDevType.
#define GET_DIDEVICE_SUBTYPE(t) (((t) >> 8) & 0xFF)

// A short rumble (strength 0 to 100) on a pad that has motors, unless the player turned rumble off.
void Sys_RumbleJoystick(IDirectInputDevice2 *device, int strength, int ms);
// Whether this product is the pad the player (1 or 2) chose last time; the choice is kept by
// product, so it follows the pad to whatever slot or connection it has now.
bool Sys_IsPlayerPad(int player, const GUID &product);
void Sys_SetPlayerPad(int player, const GUID *product); // nullptr: the keyboard

// Counts the platform's reports of a joystick connected or disconnected (fakes' plugs count too),
// so enumerating can wait for one.
void Sys_JoysticksChanged();
DWORD Sys_JoystickGeneration();
