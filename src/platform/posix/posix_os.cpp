// The POSIX side of files and time: folders, the home folder, the executable's place, fsync and rename.
#include "sys_os.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

static long failAfter = -1;

unsigned Sys_Milliseconds()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (unsigned)((unsigned long long)t.tv_sec * 1000 + (unsigned long long)t.tv_nsec / 1000000);
}

bool Sys_IsFolder(const std::string &path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p with the private mode the XDG rules ask for; false with errno set on failure.
static bool MakeFolders(const std::string &path, mode_t mode = 0700)
{
    if (Sys_IsFolder(path))
        return true;
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash), mode))
        return false;
    if (mkdir(path.c_str(), mode) == 0)
        return true;
    int error = errno;
    if (error == EEXIST && Sys_IsFolder(path))
        return true;
    errno = error == EEXIST ? ENOTDIR : error; // EEXIST: a file stands where the folder should be
    return false;
}

std::string Sys_HomePath()
{
    const char *home = getenv("HOME");
    if (home && home[0] == '/')
        return home;
    const passwd *pw = getpwuid(getuid());
    return pw && pw->pw_dir && pw->pw_dir[0] == '/' ? pw->pw_dir : "";
}

std::string Sys_TimeStamp()
{
    time_t now = time(nullptr);
    tm local;
    localtime_r(&now, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return stamp;
}

bool Sys_MakeFolders(const std::string &path, bool shared) { return MakeFolders(path, shared ? 0755 : 0700); }

std::string Sys_ExecutablePath(const char *argv0)
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) {
        buffer[n] = '\0';
        return buffer;
    }
    return argv0 ? argv0 : "";
}

// The player cannot write the file at path (false also when there is none).
bool Sys_ReadOnly(const std::string &path)
{
    return access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EPERM);
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
        if (n <= 0) {
            if (n == 0)
                errno = EIO; // no progress and no error: never a silent success
            return false;
        }
        done += (size_t)n;
    }
    if (injected) {
        failAfter = -1;
        errno = ENOSPC;
        return false;
    }
    return true;
}

bool Sys_ReplaceFile(const std::string &path, const void *data, size_t size)
{
    std::string temp = path + ".tmp";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, (const char *)data, size);
    ok = ok && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        errno = error;
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
