// Whole-file reads with a limit, free time-stamped names, escaping and the version.
#include "sys_util.h"
#include "sys_os.h"

#include <sys/stat.h>

#ifndef KORDAX_VERSION
#define KORDAX_VERSION "unknown"
#endif

template <class Bytes> static bool ReadAll(FILE *f, size_t limit, Bytes &out, bool &tooLarge)
{
    out.clear();
    tooLarge = false;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (out.size() + n > limit) {
            tooLarge = true;
            return false;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
    return !ferror(f);
}

bool Sys_ReadAll(FILE *f, size_t limit, std::vector<uint8_t> &out, bool &tooLarge)
{
    return ReadAll(f, limit, out, tooLarge);
}

bool Sys_ReadAll(FILE *f, size_t limit, std::string &out, bool &tooLarge) { return ReadAll(f, limit, out, tooLarge); }

std::string Sys_FreeTimedName(const std::string &folder, const std::string &stem, const std::string &ext,
                              std::string (*suffix)(int n))
{
    std::string base = folder + "/" + stem + "-" + Sys_TimeStamp();
    for (int n = 1; n < 100; n++) {
        std::string path = base + suffix(n) + ext;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0)
            return path;
    }
    return "";
}

std::string Sys_Escape(const std::string &text, size_t limit)
{
    std::string out;
    for (unsigned char ch : text.substr(0, limit)) {
        if (ch >= 32 && ch < 127) {
            out += (char)ch;
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", ch);
            out += hex;
        }
    }
    return text.size() > limit ? out + "..." : out;
}

const char *Sys_Version() { return KORDAX_VERSION; }

int Sys_EachTextLine(const std::string &text, void (*take)(const std::string &line, int number, void *context),
                     void *context)
{
    int number = 0, taken = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Sys_Trim(text.substr(at, end - at));
        at = end + 1;
        number++;
        if (!line.empty() && line[0] != '#') {
            take(line, number, context);
            taken++;
        }
    }
    return taken;
}

std::string Sys_Trim(const std::string &s)
{
    size_t a = s.find_first_not_of(" \t\r"), b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}
