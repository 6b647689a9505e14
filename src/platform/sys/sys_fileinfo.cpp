// Diagnoses a game file that could not be used, so the log can say why.
#include "sys_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
        return errno == ENOENT ? "missing" : "unreadable";
    if (S_ISDIR(st.st_mode))
        return "a folder";
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return "unreadable";
    close(fd);
    if (sizeLimit >= 0 && (long long)st.st_size > sizeLimit)
        return "too large";
    return nullptr;
}
