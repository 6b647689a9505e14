// The desktop's pads, as SDL's virtual controllers of three makes, read through the DirectInput stand-in as the game reads them.
#include "kx_test.h"
#include "sys_file.h"
#include "sys_source.h"
#include "win_dinput.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

static int SDLCALL Rumble(void *motor, Uint16 low, Uint16 high)
{
    *(int *)motor = low == high ? low : -1;
    return 0;
}

static BOOL Collect(const DIDEVICEINSTANCEA *device, void *found)
{
    ((std::vector<DIDEVICEINSTANCEA> *)found)->push_back(*device);
    return DIENUM_CONTINUE;
}

TEST(LivePads, SouthIsButtonZeroOnEveryMake)
{
    KxTempDir dir;
    Sys_UseWorkingFolder();
    const struct {
        const char *name; // without "Xbox", which SDL takes to mean another layout than the one attached
        Uint16 vendor, product;
        DWORD style;
    } makes[] = { { "Kordax Microsoft Pad", 0x045E, 0x028E, SYS_PAD_XBOX },
                  { "Kordax Sony Pad", 0x054C, 0x05C4, SYS_PAD_PLAYSTATION },
                  { "Kordax Nintendo Pad", 0x057E, 0x2009, SYS_PAD_NINTENDO } };
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    SDL_Joystick *pads[3];
    int motors[3] = {};
    for (int i = 0; i < 3; i++) {
        SDL_VirtualJoystickDesc d;
        SDL_zero(d);
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        d.naxes = SDL_CONTROLLER_AXIS_MAX;
        d.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
        d.vendor_id = makes[i].vendor;
        d.product_id = makes[i].product;
        d.button_mask = (1u << d.nbuttons) - 1;
        d.axis_mask = (1u << d.naxes) - 1;
        d.name = makes[i].name;
        d.userdata = &motors[i];
        d.Rumble = Rumble;
        pads[i] = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&d));
        ASSERT_NE(pads[i], nullptr) << SDL_GetError();
    }
    // The player's mappings for the Nintendo pad: by position while button labels are off, else by
    // label (a and b swapped), which comes last and would win; a line SDL refuses between.
    char guid[33];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(pads[2]), guid, sizeof guid);
    std::string line = std::string(guid) + ",Kordax Nintendo Pad,x:b2,y:b3,back:b4,guide:b5,start:b6,leftstick:b7,"
                       "rightstick:b8,leftshoulder:b9,rightshoulder:b10,dpup:b11,dpdown:b12,dpleft:b13,dpright:b14,"
                       "leftx:a0,lefty:a1,rightx:a2,righty:a3,lefttrigger:a4,righttrigger:a5,";
    KxWriteFile("gamecontrollerdb.txt", "# mine\n" + line + "a:b0,b:b1,hint:!SDL_GAMECONTROLLER_USE_BUTTON_LABELS:=1\n\n"
                "  not a mapping\r\n" + line + "a:b1,b:b0,hint:SDL_GAMECONTROLLER_USE_BUTTON_LABELS:=1\n");
    IDirectInputA *di;
    ASSERT_EQ(DirectInputCreateA(nullptr, 0x0500, &di, nullptr), DI_OK);
    std::vector<DIDEVICEINSTANCEA> found;
    testing::internal::CaptureStderr();
    di->EnumDevices(DIDEVTYPE_JOYSTICK, Collect, &found, DIEDFL_ATTACHEDONLY);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("gamecontrollerdb.txt:4: not a pad mapping"), std::string::npos) << said;
    EXPECT_EQ(said.find("gamecontrollerdb.txt:2"), std::string::npos) << said;

    const struct {
        const char *what;
        int button, axis, value; // a button held, or an axis moved (-1: none)
        int pressed;             // the button the game reads as pressed (-1: none)
        DWORD pov;
        LONG x, y;
    } steps[] = { { "south", SDL_CONTROLLER_BUTTON_A, -1, 0, 0, POV_CENTRED, 32768, 32768 },
                  { "east", SDL_CONTROLLER_BUTTON_B, -1, 0, 1, POV_CENTRED, 32768, 32768 },
                  { "d-pad left", SDL_CONTROLLER_BUTTON_DPAD_LEFT, -1, 0, -1, 27000, 32768, 32768 },
                  { "stick left", -1, SDL_CONTROLLER_AXIS_LEFTX, -32768, -1, POV_CENTRED, 0, 32768 },
                  { "stick down", -1, SDL_CONTROLLER_AXIS_LEFTY, 32767, -1, POV_CENTRED, 32768, 65535 } };
    for (int i = 0; i < 3; i++) {
        const DIDEVICEINSTANCEA *seen = nullptr;
        for (const DIDEVICEINSTANCEA &f : found)
            seen = std::string(f.tszProductName) == makes[i].name ? &f : seen;
        ASSERT_NE(seen, nullptr) << makes[i].name;
        EXPECT_EQ(GET_DIDEVICE_SUBTYPE(seen->dwDevType), makes[i].style) << makes[i].name;
        IDirectInputDevice *device;
        ASSERT_EQ(di->CreateDevice(seen->guidInstance, &device, nullptr), DI_OK) << makes[i].name;
        IDirectInputDevice2 *pad = static_cast<IDirectInputDevice2 *>(device);
        ASSERT_EQ(pad->SetDataFormat(&c_dfDIJoystick), DI_OK);
        ASSERT_EQ(pad->Acquire(), DI_OK);
        for (const auto &s : steps) {
            for (int b = 0; b <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT; b++)
                SDL_JoystickSetVirtualButton(pads[i], b, b == s.button);
            for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; a++)
                SDL_JoystickSetVirtualAxis(pads[i], a, a == s.axis ? s.value : 0);
            DIJOYSTATE st;
            ASSERT_EQ(pad->GetDeviceState(sizeof st, &st), DI_OK);
            for (int b = 0; b < 32; b++)
                EXPECT_EQ(st.rgbButtons[b] != 0, b == s.pressed) << makes[i].name << ", " << s.what << ": button " << b;
            EXPECT_EQ(st.rgdwPOV[0], s.pov) << makes[i].name << ", " << s.what;
            EXPECT_EQ(st.lX, s.x) << makes[i].name << ", " << s.what;
            EXPECT_EQ(st.lY, s.y) << makes[i].name << ", " << s.what;
        }
        Sys_RumbleJoystick(pad, 50, 100);
        EXPECT_EQ(motors[i], 0xFFFF / 2) << makes[i].name;
        pad->Release();
    }
    di->Release();
    for (SDL_Joystick *j : pads)
        SDL_JoystickClose(j);
}
