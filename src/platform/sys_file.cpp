// Game paths with backslashes, and whole-or-nothing file saves.
#include "sys_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

static long failAfter = -1;

std::string Sys_NativePath(const char *name)
{
    std::string path(name ? name : "");
    for (char &c : path)
        if (c == '\\')
            c = '/';
    return path;
}

FILE *Sys_FOpen(const char *name, const char *mode)
{
    // "rt" is a Windows mode; text and binary are the same here.
    char m[8];
    size_t n = 0;
    for (const char *p = mode; *p && n < sizeof m - 1; p++)
        if (*p != 't')
            m[n++] = *p;
    m[n] = '\0';
    return fopen(Sys_NativePath(name).c_str(), m);
}

void Sys_FailWritesAfter(long bytes) { failAfter = bytes; }

static bool WriteAll(int fd, const char *data, size_t size)
{
    size_t limit = size;
    bool injected = failAfter >= 0 && (size_t)failAfter < size;
    if (injected)
        limit = (size_t)failAfter;
    size_t done = 0;
    while (done < limit) {
        ssize_t n = write(fd, data + done, limit - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += (size_t)n;
    }
    if (injected) {
        failAfter = -1;
        errno = ENOSPC;
        return false;
    }
    return true;
}

bool Sys_SaveFile(const char *name, const void *data, size_t size)
{
    std::string path = Sys_NativePath(name);
    std::string temp = path + ".tmp";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, (const char *)data, size);
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok)
        ok = rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    std::string dir = ".";
    size_t slash = path.rfind('/');
    if (slash != std::string::npos)
        dir = slash == 0 ? "/" : path.substr(0, slash);
    int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}
