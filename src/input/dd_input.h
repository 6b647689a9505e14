// Joysticks, the players' key tables and the inputs in force during play.
#pragma once

#include "win_dinput.h"
#include "win_types.h"

enum { DDINPUT_MAX_JOYSTICKS = 4, DDINPUT_NUM_ACTIONS = 8 };

// The input actions: indices into a key table.
enum DDInput_ActionType {
    DDINPUT_X_LEFT = 0,
    DDINPUT_X_RIGHT = 1,
    DDINPUT_Y_UP = 2,
    DDINPUT_Y_DOWN = 3,
    DDINPUT_TURN_X = 4,
    DDINPUT_TURN_Y = 5,
    DDINPUT_FIRE = 6,
    DDINPUT_ZAP = 7
};

// Direction numbers of DDInput_GetDigital_Direction.
enum DDInput_DirectionType {
    DDINPUT_DIR_UP = 0,
    DDINPUT_DIR_UP_RIGHT = 1,
    DDINPUT_DIR_RIGHT = 2,
    DDINPUT_DIR_DOWN_RIGHT = 3,
    DDINPUT_DIR_DOWN = 4,
    DDINPUT_DIR_DOWN_LEFT = 5,
    DDINPUT_DIR_LEFT = 6,
    DDINPUT_DIR_UP_LEFT = 7,
    DDINPUT_DIR_NONE = 8
};

struct DDJoystick {
    GUID InstanceGuid;
    IDirectInputDevice *Device;   // released as soon as Device2 is obtained
    IDirectInputDevice2 *Device2; // non-null only for a fully prepared joystick
    DIJOYSTATE State;             // from the last poll
    char Name[80];
    int Style;                    // SysPadStyle: whose names its buttons carry
    bool Lost;                    // the last poll found it detached
};

extern int NumJoysticks; // prepared joysticks, 0 to 4
extern DDJoystick Joystick[DDINPUT_MAX_JOYSTICKS];
extern IDirectInputA *lpdi;
extern const int DirLookup[16]; // set of directions (1 up, 2 right, 4 down, 8 left) -> direction

// Device per player: 0 keyboard alone, n > 0 joystick n (Joystick[n - 1]) as well.
extern int P1Input;
extern int P2Input;
extern int P1InputKeys[DDINPUT_NUM_ACTIONS];
extern int P2InputKeys[DDINPUT_NUM_ACTIONS];
extern const int DefaultP1InputKeys[DDINPUT_NUM_ACTIONS];
extern const int DefaultP2InputKeys[DDINPUT_NUM_ACTIONS];

// What play reads, filled by SetActiveInput.
extern int ActiveInput1;
extern int ActiveInput2;
extern int ActiveInput1Keys[DDINPUT_NUM_ACTIONS];
extern int ActiveInput2Keys[DDINPUT_NUM_ACTIONS];

// True when every joystick found was prepared. Joysticks not prepared are not counted.
bool DDInput_Initialise(HINSTANCE instance, HWND window);
void DDInput_Close();
// Called while the title screen shows: a device connected since is prepared as the next
// joystick while fewer than four are. Slots are never removed. True when one was added.
bool DDInput_AcceptNewJoysticks();
int DDInput_NumJoysticks();
const char *DDInput_JoystickName(int joystick);
void DDInput_Poll(int joystick);
int DDInput_GetDigital_Direction(int joystick);
LONG DDInput_XAxis(int joystick);
LONG DDInput_YAxis(int joystick);
LONG DDInput_ZAxis(int joystick);
LONG DDInput_XRotation(int joystick);
LONG DDInput_YRotation(int joystick);
LONG DDInput_ZRotation(int joystick);
LONG DDInput_Slider(int joystick, int slider);
DWORD DDInput_POVHat(int joystick, int hat);
DWORD DDInput_Buttons(int joystick);

// A prepared joystick's style (SysPadStyle), whether its last poll found it gone, its product
// identity (false when it has none), and a short rumble on it.
int DDInput_JoystickStyle(int joystick);
bool DDInput_Lost(int joystick);
bool DDInput_JoystickProduct(int joystick, GUID &product);
void DDInput_Rumble(int joystick, int strength, int ms);

// Whether the key with this virtual-key code is held at the moment of asking.
bool DDInput_KeyHeld(int vk);
