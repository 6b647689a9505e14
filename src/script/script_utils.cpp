// The script value readers and the block-marker rule.
#include "script_utils.h"
#include "dd_log.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

bool SCRIPT_ReadLine(FILE *f, char line[SCRIPT_LINE_SIZE])
{
    if (!f || !fgets(line, SCRIPT_LINE_SIZE, f)) {
        line[0] = '\0';
        return false;
    }
    return true;
}

// strtol limited to 32 bits: out-of-range values give the nearest limit.
static int ReadLong(const char *text, char **end, int base)
{
    errno = 0;
    long v = strtol(text, end, base);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return (int)v;
}

bool SCRIPT_ReadInt(FILE *f, int *value)
{
    char line[SCRIPT_LINE_SIZE];
    if (!SCRIPT_ReadLine(f, line))
        return false;
    return SCRIPT_ParseInt(line, value);
}

bool SCRIPT_ParseInt(const char *line, int *value)
{
    const char *hex = strstr(line, "0x");
    const char *start = hex ? hex + 2 : line;
    char *end = nullptr;
    int v = ReadLong(start, &end, hex ? 16 : 10);
    bool digits = end != start;
    if (value)
        *value = digits ? v : 0;
    return digits;
}

static bool Blank(const char *from, const char *to)
{
    for (; from < to && *from; from++)
        if (!isspace((unsigned char)*from))
            return false;
    return true;
}

bool SCRIPT_IsWholeInt(const char *line)
{
    const char *hex = strstr(line, "0x");
    const char *start = hex ? hex + 2 : line;
    if (hex && !isxdigit((unsigned char)*start))
        return false; // a sign or blank after "0x" (text before it is the label the rule allows)
    char *end = nullptr;
    errno = 0;
    long v = strtol(start, &end, hex ? 16 : 10);
    return end != start && errno == 0 && v >= INT_MIN && v <= INT_MAX && Blank(end, end + strlen(end));
}

char *SCRIPT_ReadString(FILE *f)
{
    char line[SCRIPT_LINE_SIZE];
    if (!SCRIPT_ReadLine(f, line))
        return nullptr;
    char *first = strchr(line, '"');
    if (!first)
        return nullptr;
    char *last = strrchr(first + 1, '"');
    if (!last)
        return nullptr;
    size_t length = (size_t)(last - (first + 1));
    if (length == 0)
        return nullptr;
    char *text = new (std::nothrow) char[length + 1];
    if (!text)
        return nullptr;
    memcpy(text, first + 1, length);
    text[length] = '\0';
    return text;
}

bool SCRIPT_GetPoint(char **cursor, POINT *p)
{
    if (!cursor || !*cursor || !p)
        return false;
    char *open = strchr(*cursor, '(');
    if (!open) {
        DDErrorLog("SCRIPT_GetPoint: Failed to find '(' reading point.");
        return false;
    }
    char *start = open + 1;
    char *end = nullptr;
    int x = ReadLong(start, &end, 10);
    p->x = end != start ? x : 0;
    if (end == start)
        return false;
    char *comma = strchr(end, ',');
    if (!comma) {
        DDErrorLog("SCRIPT_GetPoint: Failed to find ',' reading point.");
        return false;
    }
    start = comma + 1;
    int y = ReadLong(start, &end, 10);
    p->y = end != start ? y : 0;
    if (end == start)
        return false;
    char *close = strchr(end, ')');
    if (!close) {
        DDErrorLog("SCRIPT_GetPoint: Failed to find ')' reading point.");
        return false;
    }
    *cursor = close + 1;
    return true;
}

bool SCRIPT_ReadPoint(FILE *f, POINT *p)
{
    char line[SCRIPT_LINE_SIZE];
    if (!SCRIPT_ReadLine(f, line))
        return false;
    char *cursor = line;
    return SCRIPT_GetPoint(&cursor, p);
}

bool SCRIPT_ReadRect(FILE *f, RECT *r)
{
    if (!r) {
        DDErrorLog("SCRIPT_ReadRect: Null rect pointer");
        return false;
    }
    char line[SCRIPT_LINE_SIZE];
    if (!SCRIPT_ReadLine(f, line))
        return false;
    char *cursor = line;
    POINT p = { r->left, r->top };
    if (!SCRIPT_GetPoint(&cursor, &p))
        return false;
    r->left = p.x;
    r->top = p.y;
    char *dash = strchr(cursor, '-');
    if (!dash)
        return false;
    cursor = dash + 1;
    // The second point is stored only whole, so a failure leaves right and bottom as they were.
    if (!SCRIPT_GetPoint(&cursor, &p))
        return false;
    r->right = p.x;
    r->bottom = p.y;
    return true;
}

int SCRIPT_GetBlockMarker(char *line, const char *const *table, int count)
{
    if (!line || !table)
        return 0;
    char *open = strchr(line, '[');
    if (!open)
        return 0;
    char *close = strchr(open, ']');
    if (!close)
        return 0;
    close[1] = '\0';
    for (int i = 0; i < count; i++)
        if (table[i] && strcmp(open, table[i]) == 0)
            return i;
    return 0;
}

bool SCRIPT_IsBareMarker(const char *line)
{
    const char *open = strchr(line, '[');
    const char *close = open ? strchr(open, ']') : nullptr;
    return close && Blank(line, open) && Blank(close + 1, close + 1 + strlen(close + 1));
}
