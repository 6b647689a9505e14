// Fuzz target: input scripts over any text; what is taken is in time order, and every pad line names a pad, button or axis that exists.
#include "sys_harness.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<SysScriptAction> actions;
    std::string error;
    bool ok = Sys_ParseScript(std::string((const char *)data, size), "fuzz.txt", actions, error);
    if (ok != error.empty() || (!ok && error.compare(0, 9, "fuzz.txt:") != 0))
        abort();
    for (size_t i = 0; i < actions.size(); i++) {
        const SysScriptAction &a = actions[i];
        bool pad = a.kind >= SysScriptAction::PAD_CONNECT;
        if ((i && a.ms < actions[i - 1].ms) || a.ms > 0x7FFFFFFFu || pad != (a.pad != 0) || a.pad < 0 ||
            a.pad > SYS_SCRIPT_PADS || a.control < 0 || a.control > 14 || a.value < -32768 || a.value > 32767 ||
            (a.kind == SysScriptAction::PAD_AXIS && a.control > 5))
            abort();
    }
    return 0;
}
