// The seam's own state: the scripted source's virtual clock; what a pad's identity tells of its make.
#include "sys_source.h"

#include <algorithm>
#include <cctype>
#include <cstring>

static DWORD virtualNow = 0;

DWORD Sys_VirtualNow() { return virtualNow; }
void Sys_SetVirtualNow(DWORD ms) { virtualNow = ms; }

static const uint8_t FakeMarker[4] = { 0x53, 0x4A, 0x58, 0x4B };

SysPadStyle Sys_PadStyle(const uint8_t (&product)[16])
{
    if (memcmp(product, FakeMarker, sizeof FakeMarker) == 0)
        return product[SYS_FAKE_STYLE_BYTE] <= SYS_PAD_NINTENDO ? (SysPadStyle)product[SYS_FAKE_STYLE_BYTE] : SYS_PAD_GENERIC;
    // SDL's identities: bus, name CRC, then vendor and product ids little-endian with a zero word
    // after each; without those zero words the bytes hold the device's name instead.
    if (product[6] || product[7] || product[10] || product[11])
        return SYS_PAD_GENERIC;
    switch (product[4] | product[5] << 8) {
    case 0x045E: // Microsoft
    case 0x28DE: // Valve: the Steam controller and Deck lay their buttons out as Xbox pads do
        return SYS_PAD_XBOX;
    case 0x054C: return SYS_PAD_PLAYSTATION; // Sony
    case 0x057E: return SYS_PAD_NINTENDO;
    default: return SYS_PAD_GENERIC;
    }
}

SysPadStyle Sys_PadStyleNamed(const char *name, SysPadStyle otherwise)
{
    static const struct {
        const char *word;
        SysPadStyle style;
    } Words[] = {
        { "PlayStation", SYS_PAD_PLAYSTATION }, { "DualShock", SYS_PAD_PLAYSTATION }, { "DualSense", SYS_PAD_PLAYSTATION },
        { "PS4", SYS_PAD_PLAYSTATION },         { "PS5", SYS_PAD_PLAYSTATION },       { "Nintendo", SYS_PAD_NINTENDO },
        { "Switch", SYS_PAD_NINTENDO },         { "Joy-Con", SYS_PAD_NINTENDO },      { "Xbox", SYS_PAD_XBOX },
        { "X-Box", SYS_PAD_XBOX },
    };
    auto same = [](char a, char b) { return tolower((unsigned char)a) == tolower((unsigned char)b); };
    const char *end = name ? name + strlen(name) : nullptr;
    for (const auto &w : Words)
        if (name && std::search(name, end, w.word, w.word + strlen(w.word), same) != end)
            return w.style;
    return otherwise;
}
