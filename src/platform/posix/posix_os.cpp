// The POSIX side of files and time: folders, the home folder, the executable's place, fsync and rename.
#include "sys_os.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

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
    // EEXIST: something stands where the folder should be; say what keeps it from being one
    // (a link in a loop or to nothing), else that it is no folder.
    struct stat st;
    if (error == EEXIST)
        error = stat(path.c_str(), &st) != 0 ? errno : ENOTDIR;
    errno = error;
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

static const char *Kind(mode_t mode)
{
    if (S_ISREG(mode))
        return nullptr;
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a device";
}

const char *Sys_NotAFile(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? Kind(st.st_mode) : nullptr;
}

int Sys_OpenNoWait(const std::string &path, int flags, bool onlyFiles, const char **kind)
{
    const char *ignored;
    const char *&what = kind ? *kind : ignored;
    what = nullptr;
    // A socket does not open at all: looked at first, so it is named rather than "no such device".
    if (onlyFiles && (what = Sys_NotAFile(path)) != nullptr)
        return -1;
    int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    struct stat st;
    if (onlyFiles && fstat(fd, &st) == 0 && (what = Kind(st.st_mode)) != nullptr) {
        close(fd); // replaced since it was looked at
        return -1;
    }
    // Reads and writes wait again as usual; only the open must not.
    int status = fcntl(fd, F_GETFL);
    if (status >= 0)
        fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

std::string Sys_LinkTarget(const std::string &path)
{
    std::string at = path;
    for (int hops = 0; hops < 40; hops++) {
        char to[4096];
        ssize_t n = readlink(at.c_str(), to, sizeof to - 1);
        if (n < 0)
            return at; // no link (or nothing there): what follows names any real trouble
        to[n] = '\0';
        size_t slash = at.rfind('/');
        at = to[0] == '/' || slash == std::string::npos ? std::string(to) : at.substr(0, slash + 1) + to;
    }
    errno = ELOOP;
    return "";
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

// Makes the folder holding path know its new entries after a crash.
static void SyncFolderOf(const std::string &path)
{
    std::string dir = ".";
    size_t slash = path.rfind('/');
    if (slash != std::string::npos)
        dir = slash == 0 ? "/" : path.substr(0, slash);
    int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
#ifdef __EMSCRIPTEN__
    // In a page the files live in memory over the browser's IndexedDB: durable means written there.
    EM_ASM({ if (Module.kordaxKeep) Module.kordaxKeep(UTF8ToString($0)); }, path.c_str());
#endif
}

bool Sys_ReplaceFile(const std::string &path, const void *data, size_t size)
{
    std::string temp = path + ".tmp";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat old;
    bool ok = stat(path.c_str(), &old) != 0 || fchmod(fd, old.st_mode & 07777) == 0; // the player's mode stays
    ok = ok && WriteAll(fd, (const char *)data, size);
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
    SyncFolderOf(path); // the rename itself made durable
    return true;
}

void Sys_OfferFile(const std::string &path)
{
#ifdef __EMSCRIPTEN__
    EM_ASM({ if (Module.kordaxOffer) Module.kordaxOffer(UTF8ToString($0)); }, path.c_str());
#else
    (void)path;
#endif
}

// Copies path's bytes into a new file copy (never one already there); false with errno set.
static bool CopyInto(const std::string &path, const std::string &copy)
{
    int in = Sys_OpenNoWait(path, O_RDONLY, true);
    if (in < 0)
        return false;
    int out = open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        int error = errno;
        close(in);
        errno = error;
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!(ok = WriteAll(out, buffer, (size_t)n)))
            break;
    }
    ok = ok && fsync(out) == 0;
    int error = errno;
    close(in);
    close(out);
    if (!ok) {
        unlink(copy.c_str());
        errno = error;
    }
    return ok;
}

bool Sys_KeepCopy(const std::string &path, std::string &copy)
{
    for (int n = 1; n <= 9; n++) {
        copy = path + ".damaged" + (n > 1 ? "." + std::to_string(n) : "");
        // A second name for the same bytes: instant whatever the size, and the rename that
        // replaces path later leaves it holding the old file.
        bool kept = link(path.c_str(), copy.c_str()) == 0;
        if (!kept && errno != EEXIST && errno != ENOENT)
            kept = CopyInto(path, copy); // no hard links here
        if (kept) {
            SyncFolderOf(copy);
            return true;
        }
        if (errno == ENOENT) {
            copy.clear(); // nothing there to keep
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    copy.clear();
    return false;
}
