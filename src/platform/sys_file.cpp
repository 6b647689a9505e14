// Where the game's files live, game paths with backslashes, and whole-or-nothing file saves.
#include "sys_file.h"
#include "sys_display.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef KORDAX_DATA_FROM_BIN
#define KORDAX_DATA_FROM_BIN "../share/kordax"
#endif

static long failAfter = -1;

// The player's files and the XDG folder each lives in when installed. An empty folder means
// the file cannot be kept this run.
struct SysPlayerFile {
    const char *name;
    const char *xdgVariable;
    const char *xdgDefault; // under the home folder
    std::string folder;
};
static SysPlayerFile playerFiles[] = {
    { "kordax.ini", "XDG_CONFIG_HOME", ".config", "" },
    { "kx_scores.dat", "XDG_DATA_HOME", ".local/share", "" },
    { "dderrors.log", "XDG_STATE_HOME", ".local/state", "" },
};
static bool installed = false;
static std::string dataFolder;
// A replay's copies of the player's files, by name; while served nothing of the player's is written.
static bool serving = false;
static const std::string *served[3] = { nullptr, nullptr, nullptr };

static bool IsFolder(const std::string &path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Resolves "." and ".." by name alone, so messages show /usr/share/kordax, not /usr/bin/../share.
static std::string Tidy(const std::string &path)
{
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= path.size()) {
        size_t end = path.find('/', at);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(at, end - at);
        if (part == ".." && !parts.empty() && parts.back() != "..")
            parts.pop_back();
        else if (!part.empty() && part != ".")
            parts.push_back(part);
        at = end + 1;
    }
    std::string out = path.compare(0, 1, "/") == 0 ? "" : ".";
    for (const std::string &p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}

// mkdir -p with the private mode the XDG rules ask for; false with errno set on failure.
static bool MakeFolders(const std::string &path, mode_t mode = 0700)
{
    if (IsFolder(path))
        return true;
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash), mode))
        return false;
    if (mkdir(path.c_str(), mode) == 0)
        return true;
    int error = errno;
    if (error == EEXIST && IsFolder(path))
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

// The home folder, or why there is none usable.
static std::string HomeFolder(std::string &why)
{
    std::string home = Sys_HomePath();
    if (home.empty()) {
        why = "no home folder (HOME is unset or not an absolute path)";
        return "";
    }
    if (!IsFolder(home)) {
        why = "the home folder '" + home + "' does not exist";
        return "";
    }
    return home;
}

bool Sys_FilesInstalled() { return installed; }
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

void Sys_UseWorkingFolder()
{
    installed = false;
    dataFolder.clear();
    for (SysPlayerFile &f : playerFiles)
        f.folder.clear();
}

bool Sys_LocateFiles(const std::string &exePath, std::vector<std::string> &messages)
{
    Sys_UseWorkingFolder();
    messages.clear();
    if (IsFolder("gfx"))
        return true;

    size_t slash = exePath.rfind('/');
    std::string exeFolder = slash == std::string::npos ? "." : exePath.substr(0, slash + 1);
    std::string data = Tidy(exeFolder + "/" KORDAX_DATA_FROM_BIN);
    if (!IsFolder(data + "/gfx")) {
        char *cwd = getcwd(nullptr, 0);
        messages.push_back(std::string("cannot find the game's data: looked for gfx/ in the working folder (") +
                           (cwd ? cwd : ".") + ") and in " + data);
        free(cwd);
        return false;
    }
    installed = true;
    dataFolder = data;

    std::string homeWhy;
    std::string home = HomeFolder(homeWhy);
    for (SysPlayerFile &f : playerFiles) {
        const char *base = getenv(f.xdgVariable);
        std::string folder;
        if (base && base[0] == '/') // relative XDG paths are to be ignored
            folder = std::string(base) + "/kordax";
        else if (!home.empty())
            folder = home + "/" + f.xdgDefault + "/kordax";
        else {
            messages.push_back(std::string(f.name) + " will not be kept: " + homeWhy);
            continue;
        }
        if (!MakeFolders(folder)) {
            messages.push_back(std::string(f.name) + " will not be kept: cannot create " + folder + " (" +
                               strerror(errno) + ")");
            continue;
        }
        f.folder = folder;
    }
    return true;
}

bool Sys_ResolvePath(const char *name, std::string &path)
{
    path = Sys_NativePath(name);
    if (!installed || path.empty() || path[0] == '/')
        return true;
    if (path.compare(0, 4, "gfx/") == 0 || path.compare(0, 6, "sound/") == 0) {
        path = dataFolder + "/" + path;
        return true;
    }
    std::string kept = path == SYS_DISPLAY_FILE ? "kordax.ini" : path; // the display choices live beside the keys
    for (const SysPlayerFile &f : playerFiles) {
        if (kept == f.name) {
            path = f.folder + "/" + path;
            return !f.folder.empty();
        }
    }
    return true;
}

std::string Sys_NativePath(const char *name)
{
    std::string path(name ? name : "");
    for (char &c : path)
        if (c == '\\')
            c = '/';
    return path;
}

// The index of a player's file in the table, or -1.
static int PlayerFile(const char *name)
{
    std::string path = Sys_NativePath(name);
    for (int i = 0; i < 3; i++)
        if (path == playerFiles[i].name)
            return i;
    return -1;
}

void Sys_ServePlayerFiles(bool on, const std::string *ini, const std::string *scores)
{
    serving = on;
    served[0] = ini;
    served[1] = scores;
    served[2] = nullptr;
}

bool Sys_ServedFile(const char *name, bool &present)
{
    int i = serving ? PlayerFile(name) : -1;
    present = i >= 0 && served[i];
    return i >= 0;
}

// A served file opens on its copy for reading; written, it goes nowhere.
static FILE *OpenServed(int i, const char *mode)
{
    if (mode[0] != 'r')
        return fopen("/dev/null", "w");
    if (!served[i]) {
        errno = ENOENT;
        return nullptr;
    }
    if (served[i]->empty())
        return fopen("/dev/null", "r");
    return fmemopen(const_cast<char *>(served[i]->data()), served[i]->size(), "r");
}

std::string Sys_StateFolder() { return installed ? playerFiles[2].folder : ""; }

FILE *Sys_FOpen(const char *name, const char *mode)
{
    // "rt" is a Windows mode; text and binary are the same here.
    char m[8];
    size_t n = 0;
    for (const char *p = mode; *p && n < sizeof m - 1; p++)
        if (*p != 't')
            m[n++] = *p;
    m[n] = '\0';
    if (serving && PlayerFile(name) >= 0)
        return OpenServed(PlayerFile(name), m);
    std::string path;
    if (!Sys_ResolvePath(name, path)) {
        errno = ENOENT;
        return nullptr;
    }
    return fopen(path.c_str(), m);
}

// The player cannot write the file at path (false also when there is none).
static bool ReadOnly(const std::string &path)
{
    return access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EPERM);
}

FILE *Sys_OpenPlayerFile(const char *name, const char **keep)
{
    static std::string because;
    *keep = nullptr;
    if (serving && PlayerFile(name) >= 0)
        return OpenServed(PlayerFile(name), "rb");
    std::string path;
    if (!Sys_ResolvePath(name, path))
        return nullptr; // no folder for it this run: nothing there to keep
    FILE *f = fopen(path.c_str(), "rb");
    if (f) {
        if (ReadOnly(path))
            *keep = "read-only";
        return f;
    }
    int error = errno;
    if (error == ENOENT)
        return nullptr;
    if (error == EACCES || error == EPERM) {
        *keep = "unreadable";
    } else {
        because = std::string("unreadable (") + strerror(error) + ")";
        *keep = because.c_str();
    }
    return nullptr;
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

static const char *SaveFailure(int error)
{
    return error == ENOSPC || error == EDQUOT ? "no space left on the disk" : strerror(error);
}

bool Sys_SaveFile(const char *name, const void *data, size_t size, const char **why)
{
    const char *ignored;
    const char *&reason = why ? *why : ignored;
    reason = nullptr;
    // A replay writes nothing of the player's, the window's remembered place included.
    if (serving && (PlayerFile(name) >= 0 || Sys_NativePath(name) == SYS_DISPLAY_FILE))
        return true;
    std::string path;
    if (!Sys_ResolvePath(name, path))
        return false; // not kept this run, as the start said
    // A rename would replace it regardless of its mode; the player's choice is kept.
    if (ReadOnly(path)) {
        reason = "read-only";
        return false;
    }
    std::string temp = path + ".tmp";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        reason = SaveFailure(errno);
        return false;
    }
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
        reason = SaveFailure(error);
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
