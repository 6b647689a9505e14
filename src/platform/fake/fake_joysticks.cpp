// Fake joysticks for tests and headless runs: plugged, unplugged, moved and made to fail at will.
#include "sys_fake.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct FakeJoystick {
    std::string name;
    int product; // the same for every connection of one device
    SysJoystickInput input;
    bool plugged;
    SysJoystickStep fail;
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
// tells products from instances, then the number.
static void ProductBytes(int product, uint8_t (&out)[16])
{
    static const uint8_t head[8] = { 0x53, 0x4A, 0x58, 0x4B, 1, 0, 1, 0 };
    memset(out, 0, sizeof out);
    memcpy(out, head, sizeof head);
    for (int i = 0; i < 4; i++)
        out[8 + i] = (uint8_t)((uint32_t)product >> (8 * i));
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

int Sys_PlugJoystick(const char *productName)
{
    FakeJoystick f;
    f.name = productName ? productName : "";
    memset(&f.input, 0, sizeof f.input);
    f.product = nextProduct++;
    f.plugged = true;
    f.fail = SYS_JOY_OK;
    fakes.push_back(f);
    plugs++;
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
    plugs++;
    return (int)fakes.size() - 1;
}

void Sys_UnplugJoystick(int fake)
{
    if (FakeJoystick *f = Fake(fake))
        f->plugged = false;
    plugs++;
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
        ProductBytes(fakes[i].product, out[n].product);
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
