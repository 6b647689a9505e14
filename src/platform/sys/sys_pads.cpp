// The player's pad mappings file: found beside "kordax.ini", read whole, walked line by line.
#include "sys_pads.h"
#include "sys_file.h"
#include "sys_report.h"
#include "sys_util.h"

#include <cerrno>
#include <cstring>

// The community's list for every platform is under a megabyte.
static const size_t MaxMappingBytes = 4u << 20;

bool Sys_ReadPadMappings(std::string &text, std::string &path)
{
    text.clear();
    if (!Sys_ResolvePath(SYS_PAD_MAPPINGS_FILE, path))
        return false; // its folder is not kept this run, as the start said
    errno = 0;
    FILE *f = Sys_FOpen(SYS_PAD_MAPPINGS_FILE, "rb");
    if (!f) {
        if (errno != ENOENT)
            Sys_Warn("cannot read %s (%s); SDL's own pad mappings are used", path.c_str(), strerror(errno));
        return false;
    }
    bool tooLarge;
    errno = 0;
    bool read = Sys_ReadAll(f, MaxMappingBytes, text, tooLarge);
    int error = errno;
    fclose(f);
    if (!read)
        Sys_Warn("cannot read %s (%s); SDL's own pad mappings are used", path.c_str(),
                 tooLarge ? "too large" : strerror(error));
    return read;
}
