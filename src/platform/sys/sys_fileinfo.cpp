// Diagnoses a game file that could not be used, so the log can say why.
#include "sys_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// "unreadable", with the system's reason unless it is the plain lack of permission.
static const char *Unreadable(int error)
{
    static std::string because;
    if (error == EACCES || error == EPERM)
        return "unreadable";
    because = std::string("unreadable (") + strerror(error) + ")";
    return because.c_str();
}

const char *Sys_FileProblem(const char *name, long long sizeLimit)
{
    bool present;
    if (Sys_ServedFile(name, present))
        return present ? nullptr : "missing";
    std::string path;
    if (!Sys_ResolvePath(name, path))
        return "missing";
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? "missing" : Unreadable(errno);
    if (const char *kind = Sys_NotAFile(path))
        return kind;
    int fd = Sys_OpenNoWait(path, O_RDONLY);
    if (fd < 0)
        return Unreadable(errno);
    close(fd);
    if (sizeLimit >= 0 && (long long)st.st_size > sizeLimit)
        return "too large";
    return nullptr;
}
