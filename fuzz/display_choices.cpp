// Fuzz target: the display choices file over any contents; what is read stays in range and survives a write and read back.
#include "fuzz_scratch.h"
#include "sys_display.h"
#include "sys_harness.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!FuzzEnterScratchDir("kx_fuzz_display", { SYS_DISPLAY_FILE, SYS_DISPLAY_FILE ".tmp" }))
        return 0;
    if (!KxSaveBytes(SYS_DISPLAY_FILE, data, size))
        return 0;
    SysDisplayChoices opened = Sys_LoadDisplayChoices(SysOptions());
    SysDisplayChoices c = Sys_DisplayChoices();
    if ((c.width != 0 && (c.width < 160 || c.width > 16384)) || (c.height != 0 && (c.height < 160 || c.height > 16384)) ||
        (c.width == 0) != (c.height == 0) || (!c.placed && (c.x || c.y)) || opened.fullscreen != c.fullscreen)
        abort();
    std::string text = Sys_FormatDisplayChoices(c), problems;
    SysDisplayChoices again;
    Sys_ParseDisplayChoices(text, again, problems);
    if (!problems.empty() || Sys_FormatDisplayChoices(again) != text)
        abort();
    return 0;
}
