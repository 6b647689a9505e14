// Joysticks found at start-up and polled per frame, the players' key tables and the active inputs.
#include "dd_input.h"
#include "dd_log.h"
#include "win_user.h"

#include <cstring>
#include <string>

int NumJoysticks = 0;
DDJoystick Joystick[DDINPUT_MAX_JOYSTICKS];
IDirectInputA *lpdi = nullptr;
const int DirLookup[16] = { 8, 0, 2, 1, 4, 8, 3, 8, 6, 7, 8, 8, 5, 8, 8, 8 };

const int DefaultP1InputKeys[DDINPUT_NUM_ACTIONS] = { 65, 68, 87, 88, 69, 90, 32, 9 };
const int DefaultP2InputKeys[DDINPUT_NUM_ACTIONS] = { 100, 102, 104, 98, 105, 97, 17, 16 };

int P1Input = 0;
int P2Input = 0;
int P1InputKeys[DDINPUT_NUM_ACTIONS] = { 65, 68, 87, 88, 69, 90, 32, 9 };
int P2InputKeys[DDINPUT_NUM_ACTIONS] = { 100, 102, 104, 98, 105, 97, 17, 16 };

int ActiveInput1 = 0;
int ActiveInput2 = 0;
int ActiveInput1Keys[DDINPUT_NUM_ACTIONS];
int ActiveInput2Keys[DDINPUT_NUM_ACTIONS];

// A state that reads as no direction and nothing held (a zeroed hat would read as up).
static void NeutralState(DIJOYSTATE &state)
{
    memset(&state, 0, sizeof state);
    for (DWORD &pov : state.rgdwPOV)
        pov = POV_CENTRED;
}

static void ClearRecord(DDJoystick &j)
{
    memset(&j.InstanceGuid, 0, sizeof j.InstanceGuid);
    j.Device = nullptr;
    j.Device2 = nullptr;
    NeutralState(j.State);
    j.Name[0] = '\0';
    j.Style = 0;
    j.Lost = false;
}

static HWND inputWindow = nullptr;
// Joysticks are looked for again only when the platform reports one connected or disconnected;
// a connection that could not be prepared waits for its next connect.
static DWORD seenGeneration = 0;
enum { MAX_REFUSED = 16 };
static GUID refused[MAX_REFUSED];
static int refusedCount = 0;

static bool Refused(const GUID &instance)
{
    for (int i = 0; i < refusedCount; i++)
        if (Sys_SameGuid(refused[i], instance))
            return true;
    return false;
}

static void Refuse(const GUID &instance, const char *name)
{
    if (refusedCount == MAX_REFUSED) {
        memmove(refused, refused + 1, sizeof refused[0] * (MAX_REFUSED - 1));
        refusedCount--;
    }
    refused[refusedCount++] = instance;
    std::string line = std::string("Joystick '") + name + "' could not be prepared; it is tried again when it is next connected";
    DDErrorLog(line.c_str());
}

static void RecordInstance(DDJoystick &j, const DIDEVICEINSTANCEA *instance)
{
    j.InstanceGuid = instance->guidInstance;
    j.Style = (int)GET_DIDEVICE_SUBTYPE(instance->dwDevType);
    size_t n = strnlen(instance->tszProductName, sizeof instance->tszProductName);
    n = n < sizeof j.Name - 1 ? n : sizeof j.Name - 1; // longer names are cut to fit
    memcpy(j.Name, instance->tszProductName, n);
    j.Name[n] = '\0';
}

static BOOL DI_EnumJoysticks(const DIDEVICEINSTANCEA *instance, void *)
{
    if (NumJoysticks >= DDINPUT_MAX_JOYSTICKS)
        return DIENUM_STOP;
    RecordInstance(Joystick[NumJoysticks], instance);
    NumJoysticks++;
    return NumJoysticks < DDINPUT_MAX_JOYSTICKS ? DIENUM_CONTINUE : DIENUM_STOP;
}

// Creates and prepares one joystick; on failure nothing of it is kept.
static bool PrepareJoystick(DDJoystick &j, HWND window)
{
    if (FAILED(lpdi->CreateDevice(j.InstanceGuid, &j.Device, nullptr)))
        return false;
    void *device2 = nullptr;
    HRESULT hr = j.Device->QueryInterface(IID_IDirectInputDevice2A, &device2);
    j.Device->Release();
    j.Device = nullptr;
    if (FAILED(hr))
        return false;
    j.Device2 = static_cast<IDirectInputDevice2 *>(device2);

    bool ok = SUCCEEDED(j.Device2->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)) &&
              SUCCEEDED(j.Device2->SetDataFormat(&c_dfDIJoystick));
    if (ok) {
        DIPROPRANGE range;
        range.diph.dwSize = sizeof range;
        range.diph.dwHeaderSize = sizeof range.diph;
        range.diph.dwHow = DIPH_BYOFFSET;
        range.lMin = -100;
        range.lMax = 100;
        range.diph.dwObj = DIJOFS_X;
        j.Device2->SetProperty(DIPROP_RANGE, &range.diph);
        range.diph.dwObj = DIJOFS_Y;
        j.Device2->SetProperty(DIPROP_RANGE, &range.diph);
        ok = SUCCEEDED(j.Device2->Acquire());
    }
    if (!ok) {
        j.Device2->Release();
        j.Device2 = nullptr;
    }
    return ok;
}

bool DDInput_Initialise(HINSTANCE instance, HWND window)
{
    if (lpdi)
        DDInput_Close();
    NumJoysticks = 0;
    for (DDJoystick &j : Joystick)
        ClearRecord(j);
    inputWindow = window;
    seenGeneration = Sys_JoystickGeneration();
    refusedCount = 0;
    if (FAILED(DirectInputCreateA(instance, DIRECTINPUT_VERSION, &lpdi, nullptr))) {
        lpdi = nullptr;
        return false;
    }
    lpdi->EnumDevices(DIDEVTYPE_JOYSTICK, DI_EnumJoysticks, nullptr, DIEDFL_ATTACHEDONLY);
    int found = NumJoysticks;
    for (int i = 0; i < found; i++) {
        if (!PrepareJoystick(Joystick[i], window)) {
            // Preparation stops here; only the joysticks before this one are kept and offered.
            NumJoysticks = i;
            for (int k = i; k < found; k++)
                ClearRecord(Joystick[k]);
            return false;
        }
    }
    return true;
}

// Whether a prepared joystick is read through this connection now (it may have reconnected since).
static bool SlotHolds(const DDJoystick &j, const GUID &instance)
{
    DIDEVICEINSTANCEA info;
    info.dwSize = sizeof info;
    return j.Device2 && SUCCEEDED(j.Device2->GetDeviceInfo(&info)) && Sys_SameGuid(info.guidInstance, instance);
}

static BOOL DI_AcceptJoystick(const DIDEVICEINSTANCEA *instance, void *)
{
    if (NumJoysticks >= DDINPUT_MAX_JOYSTICKS)
        return DIENUM_STOP;
    for (int i = 0; i < NumJoysticks; i++)
        if (SlotHolds(Joystick[i], instance->guidInstance))
            return DIENUM_CONTINUE;
    if (Refused(instance->guidInstance))
        return DIENUM_CONTINUE;
    DDJoystick &j = Joystick[NumJoysticks];
    RecordInstance(j, instance);
    if (PrepareJoystick(j, inputWindow)) {
        NumJoysticks++;
    } else {
        Refuse(instance->guidInstance, j.Name);
        ClearRecord(j);
    }
    return NumJoysticks < DDINPUT_MAX_JOYSTICKS ? DIENUM_CONTINUE : DIENUM_STOP;
}

bool DDInput_AcceptNewJoysticks()
{
    if (!lpdi || NumJoysticks >= DDINPUT_MAX_JOYSTICKS || Sys_JoystickGeneration() == seenGeneration)
        return false;
    seenGeneration = Sys_JoystickGeneration();
    // A device coming back goes to its own slot first, so it is not taken for a new one.
    for (int i = 0; i < NumJoysticks; i++)
        if (Joystick[i].Device2)
            Joystick[i].Device2->Acquire();
    int before = NumJoysticks;
    lpdi->EnumDevices(DIDEVTYPE_JOYSTICK, DI_AcceptJoystick, nullptr, DIEDFL_ATTACHEDONLY);
    return NumJoysticks > before;
}

void DDInput_Close()
{
    for (int i = 0; i < NumJoysticks; i++) {
        DDJoystick &j = Joystick[i];
        if (j.Device2) {
            j.Device2->Unacquire();
            j.Device2->Release();
            j.Device2 = nullptr;
        }
    }
    NumJoysticks = 0;
    if (lpdi) {
        lpdi->Release();
        lpdi = nullptr;
    }
}

int DDInput_NumJoysticks() { return NumJoysticks; }

static bool Prepared(int joystick)
{
    return joystick >= 0 && joystick < NumJoysticks && Joystick[joystick].Device2;
}

const char *DDInput_JoystickName(int joystick)
{
    if (joystick < 0 || joystick >= DDINPUT_MAX_JOYSTICKS)
        return "";
    return Joystick[joystick].Name;
}

void DDInput_Poll(int joystick)
{
    if (!Prepared(joystick))
        return;
    DDJoystick &j = Joystick[joystick];
    j.Device2->Poll();
    if (FAILED(j.Device2->GetDeviceState(sizeof(DIJOYSTATE), &j.State))) {
        // A lost device must not leave the last direction held; one that came back reads at once.
        NeutralState(j.State);
        j.Lost = !(SUCCEEDED(j.Device2->Acquire()) && SUCCEEDED(j.Device2->GetDeviceState(sizeof(DIJOYSTATE), &j.State)));
        if (j.Lost)
            NeutralState(j.State);
    } else {
        j.Lost = false;
    }
}

// The last polled state, or a neutral one for a joystick that is not prepared.
static const DIJOYSTATE &StateOf(int joystick)
{
    static DIJOYSTATE neutral;
    if (!Prepared(joystick)) {
        NeutralState(neutral);
        return neutral;
    }
    return Joystick[joystick].State;
}

int DDInput_GetDigital_Direction(int joystick)
{
    const DIJOYSTATE &s = StateOf(joystick);
    DWORD p = s.rgdwPOV[0];
    int set = 0;
    if (s.lY < -30 || (p >= 31500 && p <= 36000) || p <= 4500)
        set |= 1;
    if (s.lX > 30 || (p >= 4500 && p <= 13500))
        set |= 2;
    if (s.lY > 30 || (p >= 13500 && p <= 22500))
        set |= 4;
    if (s.lX < -30 || (p >= 22500 && p <= 31500))
        set |= 8;
    return DirLookup[set];
}

LONG DDInput_XAxis(int joystick) { return StateOf(joystick).lX; }
LONG DDInput_YAxis(int joystick) { return StateOf(joystick).lY; }
LONG DDInput_ZAxis(int joystick) { return StateOf(joystick).lZ; }
LONG DDInput_XRotation(int joystick) { return StateOf(joystick).lRx; }
LONG DDInput_YRotation(int joystick) { return StateOf(joystick).lRy; }
LONG DDInput_ZRotation(int joystick) { return StateOf(joystick).lRz; }

LONG DDInput_Slider(int joystick, int slider)
{
    if (slider < 0 || slider > 1)
        return 0;
    return StateOf(joystick).rglSlider[slider];
}

DWORD DDInput_POVHat(int joystick, int hat)
{
    if (hat < 0 || hat > 3)
        return POV_CENTRED;
    return StateOf(joystick).rgdwPOV[hat];
}

DWORD DDInput_Buttons(int joystick)
{
    const DIJOYSTATE &s = StateOf(joystick);
    DWORD mask = 0;
    for (int i = 0; i < 32; i++)
        if (s.rgbButtons[i])
            mask |= 1u << i;
    return mask;
}

int DDInput_JoystickStyle(int joystick) { return Prepared(joystick) ? Joystick[joystick].Style : 0; }

bool DDInput_Lost(int joystick) { return Prepared(joystick) && Joystick[joystick].Lost; }

bool DDInput_JoystickProduct(int joystick, GUID &product)
{
    DIDEVICEINSTANCEA info;
    info.dwSize = sizeof info;
    if (!Prepared(joystick) || FAILED(Joystick[joystick].Device2->GetDeviceInfo(&info)))
        return false;
    product = info.guidProduct;
    return true;
}

void DDInput_Rumble(int joystick, int strength, int ms)
{
    if (Prepared(joystick))
        Sys_RumbleJoystick(Joystick[joystick].Device2, strength, ms);
}

bool DDInput_KeyHeld(int vk)
{
    if (vk <= 0 || vk > 255)
        return false;
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}
