// The display choices file: read at start, written through the crash-safe save when a choice changes.
#include "sys_display.h"
#include "sys_file.h"
#include "sys_harness.h"
#include "sys_report.h"
#include "sys_source.h"
#include "sys_util.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

enum { DISPLAY_FILE_LIMIT = 65536, SETTLE_MS = 500, MIN_SIDE = 160, MAX_SIDE = 16384, MAX_COORD = 32767,
       FINDABLE = 64 };

static SysDisplayChoices choices;
static bool loaded = false;     // read this run (never in headless runs)
static bool blocked = false;    // the file is there but cannot be read: it is never replaced
static bool saveFailed = false; // said once
static std::string lastText;    // the choices the file holds, as this module writes them
static bool pending = false;
static unsigned pendingSince = 0;

static bool ReadInt(const std::string &value, int low, int high, int &out)
{
    if (value.empty())
        return false;
    char *end;
    errno = 0;
    long v = strtol(value.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || v < low || v > high)
        return false;
    out = (int)v;
    return true;
}

static bool ReadYesNo(const std::string &value, bool &out)
{
    if (value == "yes" || value == "1") {
        out = true;
        return true;
    }
    if (value == "no" || value == "0") {
        out = false;
        return true;
    }
    return false;
}

// A pad's product identity: 32 hex digits, its bytes in order.
static bool ReadProduct(const std::string &value, uint8_t (&product)[16])
{
    if (value.size() != 32 || value.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    for (int i = 0; i < 16; i++)
        product[i] = (uint8_t)strtoul(value.substr(2 * i, 2).c_str(), nullptr, 16);
    return true;
}

// Why the line cannot be read, or null when it was.
static const char *ReadLine(const std::string &line, SysDisplayChoices &c, bool &hasX, bool &hasY)
{
    size_t eq = line.find('=');
    if (eq == std::string::npos)
        return "not name = value";
    std::string name = Sys_Trim(line.substr(0, eq)), value = Sys_Trim(line.substr(eq + 1));
    bool ok;
    if (name == "mode") {
        ok = value == "fullscreen" || value == "window";
        if (ok)
            c.fullscreen = value == "fullscreen";
    } else if (name == "window_width") {
        ok = ReadInt(value, MIN_SIDE, MAX_SIDE, c.width);
    } else if (name == "window_height") {
        ok = ReadInt(value, MIN_SIDE, MAX_SIDE, c.height);
    } else if (name == "window_x") {
        ok = hasX = ReadInt(value, -MAX_COORD, MAX_COORD, c.x);
    } else if (name == "window_y") {
        ok = hasY = ReadInt(value, -MAX_COORD, MAX_COORD, c.y);
    } else if (name == "integer_scale") {
        ok = ReadYesNo(value, c.integerScale);
    } else if (name == "renderer") {
        ok = Sys_ParseRenderer(value, c.renderer);
    } else if (name == "rumble") {
        ok = ReadYesNo(value, c.rumble);
    } else if (name == "pad1" || name == "pad2") {
        int player = name[3] - '1';
        ok = c.padChosen[player] = ReadProduct(value, c.pad[player]);
    } else {
        return "unknown name";
    }
    return ok ? nullptr : "bad value";
}

struct ChoicesRead {
    SysDisplayChoices &c;
    std::string &problems;
    bool hasX = false, hasY = false;
    int bad = 0;
};

static void ReadChoice(const std::string &line, int number, void *context)
{
    ChoicesRead &r = *(ChoicesRead *)context;
    const char *why = ReadLine(line, r.c, r.hasX, r.hasY);
    if (why && r.bad++ == 0)
        r.problems = "line " + std::to_string(number) + " '" + Sys_Escape(line, 40) + "' ignored (" + why + ")";
}

void Sys_ParseDisplayChoices(const std::string &text, SysDisplayChoices &c, std::string &problems)
{
    problems.clear();
    ChoicesRead r = { c, problems };
    Sys_EachTextLine(text, ReadChoice, &r);
    if (r.bad > 1)
        problems += ", and " + std::to_string(r.bad - 1) + " more";
    c.placed = r.hasX && r.hasY;
    if (!c.placed)
        c.x = c.y = 0;
    if (c.width == 0 || c.height == 0)
        c.width = c.height = 0; // a size needs both sides
}

std::string Sys_FormatDisplayChoices(const SysDisplayChoices &c)
{
    std::string s = "# Kordax display choices, kept between runs\n";
    s += std::string("mode = ") + (c.fullscreen ? "fullscreen" : "window") + "\n";
    if (c.width > 0 && c.height > 0)
        s += "window_width = " + std::to_string(c.width) + "\nwindow_height = " + std::to_string(c.height) + "\n";
    if (c.placed)
        s += "window_x = " + std::to_string(c.x) + "\nwindow_y = " + std::to_string(c.y) + "\n";
    s += std::string("integer_scale = ") + (c.integerScale ? "yes" : "no") + "\n";
    if (c.renderer != SysRenderer::AUTO)
        s += std::string("renderer = ") + Sys_RendererName(c.renderer) + "\n";
    if (!c.rumble)
        s += "rumble = no\n";
    for (int player = 0; player < 2; player++) {
        if (!c.padChosen[player])
            continue;
        char hex[33];
        for (int i = 0; i < 16; i++)
            snprintf(hex + 2 * i, 3, "%02x", c.pad[player][i]);
        s += "pad" + std::to_string(player + 1) + " = " + hex + "\n";
    }
    return s;
}

bool Sys_WindowOnScreens(int x, int y, int w, int h, const std::vector<SysScreenRect> &screens)
{
    for (const SysScreenRect &s : screens) {
        long left = std::max<long>(x, s.x), right = std::min<long>((long)x + w, (long)s.x + s.w);
        long top = std::max<long>(y, s.y), bottom = std::min<long>((long)y + h, (long)s.y + s.h);
        if (right - left >= std::min(w, (int)FINDABLE) && bottom - top >= std::min(h, (int)FINDABLE))
            return true;
    }
    return false;
}

static void Save()
{
    if (!loaded || blocked)
        return;
    std::string text = Sys_FormatDisplayChoices(choices);
    if (text == lastText)
        return;
    const char *why = nullptr;
    if (Sys_SaveFile(SYS_DISPLAY_FILE, text.data(), text.size(), &why)) {
        lastText = text;
        saveFailed = false;
    } else if (!saveFailed && why) { // no reason: the folder is not kept this run, as the start said
        Sys_Warn("could not save %s (%s); display choices not kept", SYS_DISPLAY_FILE, why);
        saveFailed = true;
    }
}

SysDisplayChoices Sys_LoadDisplayChoices(const SysOptions &options)
{
    Sys_ResetDisplayChoices();
    if (options.headless) {
        SysDisplayChoices asked;
        asked.fullscreen = !options.windowed;
        asked.integerScale = options.integerScale;
        choices.rumble = asked.rumble = !options.noRumble;
        return asked;
    }
    loaded = true;
    // Missing: the defaults, quietly. There but unreadable: the defaults, and the file is kept as it is.
    std::string text, why;
    errno = 0;
    FILE *f = Sys_FOpen(SYS_DISPLAY_FILE, "rb");
    bool opened = f != nullptr;
    if (!f && errno != ENOENT)
        why = strerror(errno);
    if (f) {
        bool tooLarge;
        if (!Sys_ReadAll(f, DISPLAY_FILE_LIMIT, text, tooLarge))
            why = tooLarge ? "too large" : strerror(errno);
        fclose(f);
    }
    if (!why.empty()) {
        Sys_Warn("cannot read %s (%s); using the default display, the file is left as it is", SYS_DISPLAY_FILE,
                 why.c_str());
        blocked = true;
    } else if (opened) {
        std::string problems;
        Sys_ParseDisplayChoices(text, choices, problems);
        if (!problems.empty())
            Sys_Warn("%s: %s", SYS_DISPLAY_FILE, problems.c_str());
    }
    lastText = Sys_FormatDisplayChoices(choices); // the choices the file holds, however it words them
    // The command line wins, and is remembered.
    if (options.windowed || options.fullscreen)
        choices.fullscreen = options.fullscreen;
    if (options.integerScale || options.noIntegerScale)
        choices.integerScale = options.integerScale;
    if (options.rumble || options.noRumble)
        choices.rumble = options.rumble;
    Save();
    return choices;
}

const SysDisplayChoices &Sys_DisplayChoices() { return choices; }

void Sys_ChooseFullscreen(bool fullscreen)
{
    choices.fullscreen = fullscreen;
    Save();
}

void Sys_NoteWindowPlace(int x, int y, int w, int h, bool placeKnown)
{
    if (w < MIN_SIDE || h < MIN_SIDE || w > MAX_SIDE || h > MAX_SIDE)
        return;
    if (!placeKnown) {
        x = choices.x;
        y = choices.y;
    }
    if ((choices.placed || !placeKnown) && choices.x == x && choices.y == y && choices.width == w &&
        choices.height == h)
        return;
    choices.placed = choices.placed || placeKnown;
    choices.x = std::max(-(int)MAX_COORD, std::min(x, (int)MAX_COORD));
    choices.y = std::max(-(int)MAX_COORD, std::min(y, (int)MAX_COORD));
    choices.width = w;
    choices.height = h;
    pending = true;
    pendingSince = Sys_Milliseconds();
}

void Sys_DisplayTick(unsigned now)
{
    if (pending && now - pendingSince >= SETTLE_MS)
        Sys_FlushDisplayChoices();
}

bool Sys_RememberedPad(int player, uint8_t (&product)[16])
{
    // Asked through the source, so that a replay finds the pad the recorded run found remembered.
    bool chosen = player >= 0 && player < 2 && choices.padChosen[player];
    if (!sys_source.answer(SYS_Q_REMEMBERED_PAD, chosen))
        return false;
    for (int w = 0; w < 4; w++) {
        uint32_t live = 0;
        if (chosen)
            memcpy(&live, choices.pad[player] + 4 * w, 4);
        uint32_t word = (uint32_t)sys_source.answer(SYS_Q_REMEMBERED_PAD, (int)live);
        memcpy(product + 4 * w, &word, 4);
    }
    return true;
}

void Sys_RememberPad(int player, const uint8_t *product)
{
    if (player < 0 || player > 1)
        return;
    choices.padChosen[player] = product != nullptr;
    if (product)
        memcpy(choices.pad[player], product, sizeof choices.pad[player]);
    else
        memset(choices.pad[player], 0, sizeof choices.pad[player]);
    Save();
}

bool Sys_RumbleOn() { return choices.rumble; }

void Sys_FlushDisplayChoices()
{
    pending = false;
    Save();
}

void Sys_ResetDisplayChoices()
{
    choices = SysDisplayChoices();
    loaded = blocked = saveFailed = pending = false;
    lastText.clear();
}

SysScaleRect Sys_ScaleRect(int outW, int outH, int srcW, int srcH, bool integerOnly)
{
    SysScaleRect r = { 0, 0, 0, 0, 1 };
    // A window squeezed to nothing shows nothing, and divides by nothing.
    if (outW <= 0 || outH <= 0 || srcW <= 0 || srcH <= 0)
        return r;
    int whole = std::min(outW / srcW, outH / srcH);
    if (integerOnly && whole >= 1) {
        r.w = srcW * whole;
        r.h = srcH * whole;
    } else if ((long long)outW * srcH <= (long long)outH * srcW) {
        r.w = outW;
        r.h = (int)(((long long)outW * srcH * 2 + srcW) / (2LL * srcW));
    } else {
        r.h = outH;
        r.w = (int)(((long long)outH * srcW * 2 + srcH) / (2LL * srcH));
    }
    r.w = std::max(r.w, 1);
    r.h = std::max(r.h, 1);
    r.multiple = std::max(1, std::min(r.w / srcW, r.h / srcH));
    r.x = (outW - r.w) / 2;
    r.y = (outH - r.h) / 2;
    return r;
}

void Sys_WindowedSize(int usableW, int usableH, int &w, int &h)
{
    int roomW = usableW / 10 * 9, roomH = usableH / 10 * 9;
    if ((long long)roomW * 3 <= (long long)roomH * 4) {
        w = roomW / 4 * 4;
        h = w / 4 * 3;
    } else {
        h = roomH / 3 * 3;
        w = h / 3 * 4;
    }
    if (w < 640 || h < 480) {
        w = 640;
        h = 480;
    }
}

bool Sys_ParseRenderer(const std::string &name, SysRenderer &renderer)
{
    for (SysRenderer r : { SysRenderer::AUTO, SysRenderer::GL, SysRenderer::SOFTWARE })
        if (name == Sys_RendererName(r)) {
            renderer = r;
            return true;
        }
    return false;
}

const char *Sys_RendererName(SysRenderer renderer)
{
    switch (renderer) {
    case SysRenderer::GL: return "gl";
    case SysRenderer::SOFTWARE: return "software";
    default: return "auto";
    }
}

bool Sys_SoftwareRasteriser(const char *glRenderer)
{
    std::string name = glRenderer ? glRenderer : "";
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return (char)tolower(c); });
    for (const char *word : { "llvmpipe", "softpipe", "swrast" })
        if (name.find(word) != std::string::npos)
            return true;
    return false;
}

SysRenderer Sys_ChooseRenderer(SysRenderer asked, const char *glRenderer, std::string &why)
{
    std::string gl = glRenderer ? Sys_Escape(glRenderer, 60) : "";
    if (asked != SysRenderer::AUTO) {
        why = "asked for";
        return asked;
    }
    if (gl.empty()) {
        why = "no GL renderer to be had";
        return SysRenderer::SOFTWARE;
    }
    if (Sys_SoftwareRasteriser(glRenderer)) {
        why = "GL renders in software (" + gl + ")";
        return SysRenderer::SOFTWARE;
    }
    why = "GL renders on " + gl;
    return SysRenderer::GL;
}

SysScreenRect Sys_FitWindow(const SysScreenRect &window, bool placed, const SysScreenRect &usable)
{
    SysScreenRect r = window;
    if (usable.w < MIN_SIDE || usable.h < MIN_SIDE || r.w <= 0 || r.h <= 0)
        return r; // nothing known to fit into
    if (r.w > usable.w || r.h > usable.h) {
        // The limiting side first, the other kept in proportion.
        if ((long long)r.w * usable.h >= (long long)r.h * usable.w) {
            r.h = (int)std::max<long long>(MIN_SIDE, (long long)r.h * usable.w / r.w);
            r.w = usable.w;
        } else {
            r.w = (int)std::max<long long>(MIN_SIDE, (long long)r.w * usable.h / r.h);
            r.h = usable.h;
        }
        r.w = std::min(r.w, usable.w);
        r.h = std::min(r.h, usable.h);
    }
    if (placed) {
        r.x = std::max(usable.x, std::min(r.x, usable.x + usable.w - r.w));
        r.y = std::max(usable.y, std::min(r.y, usable.y + usable.h - r.h));
    }
    return r;
}
