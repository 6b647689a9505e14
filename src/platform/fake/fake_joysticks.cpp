// Fake joysticks for tests and headless runs: plugged, unplugged, moved and made to fail at will.
#include "sys_fake.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct FakeJoystick {
    std::string name;
    int product; // the same for every connection of one device
    SysPadStyle style;
    bool reported; // a script's pad: its own events report its plugs, so they are not counted here
    SysJoystickInput input;
    bool plugged;
    SysJoystickStep fail;
    int rumbles, rumbleStrength;
};

static bool fakeMode = false;
static std::vector<FakeJoystick> fakes;
static int nextProduct = 1;
static int plugs = 0;

static FakeJoystick *Fake(int id)
{
    if (id < 0 || id >= (int)fakes.size())
        return nullptr;
    return &fakes[id];
}

// A product identity laid out as the stand-in's GUIDs are: its marker, source 1 (fakes), a 1 that
// tells products from instances, then the number, then the pad's style.
static void ProductBytes(const FakeJoystick &f, uint8_t (&out)[16])
{
    static const uint8_t head[8] = { 0x53, 0x4A, 0x58, 0x4B, 1, 0, 1, 0 };
    memset(out, 0, sizeof out);
    memcpy(out, head, sizeof head);
    for (int i = 0; i < 4; i++)
        out[8 + i] = (uint8_t)((uint32_t)f.product >> (8 * i));
    out[SYS_FAKE_STYLE_BYTE] = (uint8_t)f.style;
}

void Sys_UseFakeJoysticks(bool on)
{
    fakeMode = on;
    fakes.clear();
}

bool Sys_FakeJoysticksOn() { return fakeMode; }
int Sys_FakePlugs() { return plugs; }

SysJoystickStep Sys_FakeJoystickFails(int id)
{
    const FakeJoystick *f = Fake(id);
    return f ? f->fail : SYS_JOY_OK;
}

static int Plug(const char *name, SysPadStyle style, bool reported)
{
    FakeJoystick f;
    f.name = name ? name : "";
    f.product = nextProduct++;
    f.style = style;
    f.reported = reported;
    memset(&f.input, 0, sizeof f.input);
    f.plugged = true;
    f.fail = SYS_JOY_OK;
    f.rumbles = f.rumbleStrength = 0;
    fakes.push_back(f);
    plugs += !reported;
    return (int)fakes.size() - 1;
}

int Sys_PlugJoystick(const char *productName) { return Plug(productName, Sys_PadStyleNamed(productName, SYS_PAD_GENERIC), false); }
int Sys_PlugScriptedPad(const char *name, SysPadStyle style) { return Plug(name, style, true); }

int Sys_ReplugJoystick(int fake)
{
    FakeJoystick *f = Fake(fake);
    if (!f)
        return -1;
    f->plugged = false;
    FakeJoystick again = *f;
    again.plugged = true;
    memset(&again.input, 0, sizeof again.input);
    again.rumbles = again.rumbleStrength = 0;
    fakes.push_back(again);
    plugs += !again.reported;
    return (int)fakes.size() - 1;
}

void Sys_UnplugJoystick(int fake)
{
    FakeJoystick *f = Fake(fake);
    if (f)
        f->plugged = false;
    plugs += !f || !f->reported;
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

int Sys_FakeJoysticks(SysJoystickInfo *out, int max)
{
    int n = 0;
    for (int i = 0; i < (int)fakes.size() && n < max; i++) {
        if (!fakes[i].plugged)
            continue;
        out[n].id = i;
        ProductBytes(fakes[i], out[n].product);
        Sys_CopyJoystickName(out[n].name, fakes[i].name.c_str());
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

void Sys_FakeJoystickRumble(int id, int strength, int)
{
    FakeJoystick *f = Fake(id);
    if (!f || !f->plugged)
        return;
    f->rumbles++;
    f->rumbleStrength = strength;
}

int Sys_FakeRumbles(int fake)
{
    const FakeJoystick *f = Fake(fake);
    return f ? f->rumbles : 0;
}

int Sys_FakeRumbleStrength(int fake)
{
    const FakeJoystick *f = Fake(fake);
    return f ? f->rumbleStrength : 0;
}
