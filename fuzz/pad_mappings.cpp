// Fuzz target: the pad mappings file walked line by line; each line handed over is one whole, trimmed, uncommented line, in order.
#include "sys_pads.h"
#include "sys_util.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

struct Walk {
    int calls = 0, last = 0, lines = 0;
};

static void Take(const std::string &line, int number, void *context)
{
    Walk &w = *(Walk *)context;
    w.calls++;
    if (line.empty() || line[0] == '#' || line.find('\n') != std::string::npos || number <= w.last || number > w.lines ||
        line.find_first_of(" \t\r") == 0 || line.find_last_of(" \t\r") == line.size() - 1)
        abort();
    w.last = number;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text((const char *)data, size);
    Walk w;
    w.lines = (int)std::count(text.begin(), text.end(), '\n') + (size && text.back() != '\n');
    if (Sys_EachTextLine(text, Take, &w) != w.calls)
        abort();
    return 0;
}
