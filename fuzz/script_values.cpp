// Fuzz target: the script value readers and the block-marker rule, each over the lines of the input.
#include "script_utils.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

static const char *const Markers[] = { "", "[FONT]", "[FIXED]", "[A]" };

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // The first byte picks the reader to start with; the rest is the script text.
    unsigned turn = data[0];
    FILE *f = fmemopen((void *)(data + 1), size - 1, "r");
    if (!f)
        return 0;
    for (int calls = 0; calls < 10000 && !feof(f); calls++, turn++) {
        switch (turn % 6) {
        case 0: {
            int value;
            SCRIPT_ReadInt(f, &value);
            break;
        }
        case 1:
            delete[] SCRIPT_ReadString(f);
            break;
        case 2: {
            POINT p;
            SCRIPT_ReadPoint(f, &p);
            break;
        }
        case 3: {
            RECT r;
            SCRIPT_ReadRect(f, &r);
            break;
        }
        case 4: {
            char line[SCRIPT_LINE_SIZE];
            if (SCRIPT_ReadLine(f, line)) {
                char *cursor = line;
                POINT p;
                while (SCRIPT_GetPoint(&cursor, &p))
                    ;
            }
            break;
        }
        default: {
            char line[SCRIPT_LINE_SIZE];
            if (SCRIPT_ReadLine(f, line))
                SCRIPT_GetBlockMarker(line, Markers, 4);
            break;
        }
        }
    }
    fclose(f);
    return 0;
}
