// Where the game's files live, game paths with backslashes, and whole-or-nothing file saves.
#include "sys_file.h"
#include "sys_display.h"
#include "sys_pads.h"

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

// The home folder, or why there is none usable.
static std::string HomeFolder(std::string &why)
{
    std::string home = Sys_HomePath();
    if (home.empty()) {
        why = "no home folder (HOME is unset or not an absolute path)";
        return "";
    }
    if (!Sys_IsFolder(home)) {
        why = "the home folder '" + home + "' does not exist";
        return "";
    }
    return home;
}

bool Sys_FilesInstalled() { return installed; }
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
    if (Sys_IsFolder("gfx"))
        return true;

    size_t slash = exePath.rfind('/');
    std::string exeFolder = slash == std::string::npos ? "." : exePath.substr(0, slash + 1);
    std::string data = Tidy(exeFolder + "/" KORDAX_DATA_FROM_BIN);
    if (!Sys_IsFolder(data + "/gfx")) {
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
        if (!Sys_MakeFolders(folder)) {
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
    // The display choices and the pad mappings live beside the keys.
    std::string kept = path == SYS_DISPLAY_FILE || path == SYS_PAD_MAPPINGS_FILE ? "kordax.ini" : path;
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

// The one place that chooses: in a page the log also goes to the browser's console (standard
// output there), where a player or a developer looks for it.
#ifndef KORDAX_LOG_TO_CONSOLE
#define KORDAX_LOG_TO_CONSOLE 0
#endif

static ssize_t LogWrite(void *cookie, const char *data, size_t size)
{
    fwrite(data, 1, size, stdout);
    fflush(stdout);
    FILE *file = (FILE *)cookie;
    return fwrite(data, 1, size, file) == size && fflush(file) == 0 ? (ssize_t)size : -1;
}

static int LogClose(void *cookie) { return fclose((FILE *)cookie); }

static FILE *AlsoToConsole(const char *name, FILE *f)
{
    if (!KORDAX_LOG_TO_CONSOLE || !f || Sys_NativePath(name) != "dderrors.log")
        return f;
    cookie_io_functions_t io = { nullptr, LogWrite, nullptr, LogClose };
    FILE *both = fopencookie(f, "w", io);
    return both ? both : f;
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
    if (serving && PlayerFile(name) >= 0)
        return OpenServed(PlayerFile(name), m);
    std::string path;
    if (!Sys_ResolvePath(name, path)) {
        errno = ENOENT;
        return nullptr;
    }
    // fopen's flags, but an open that never waits: a FIFO in a file's place must not hang the game.
    int flags = strchr(m, '+') ? O_RDWR : m[0] == 'r' ? O_RDONLY : O_WRONLY;
    if (m[0] == 'w')
        flags |= O_CREAT | O_TRUNC;
    else if (m[0] == 'a')
        flags |= O_CREAT | O_APPEND;
    int fd = Sys_OpenNoWait(path, flags);
    FILE *f = fd < 0 ? nullptr : fdopen(fd, m);
    if (fd >= 0 && !f)
        close(fd);
    return m[0] == 'w' ? AlsoToConsole(name, f) : f;
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
    int fd = Sys_OpenNoWait(path, O_RDONLY, true, keep);
    if (*keep)
        return nullptr; // a folder, FIFO, socket or device: never read, never replaced
    FILE *f = fd < 0 ? nullptr : fdopen(fd, "rb");
    if (f) {
        if (Sys_ReadOnly(path))
            *keep = "read-only";
        return f;
    }
    int error = errno;
    if (fd >= 0)
        close(fd);
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
    // A linked file is written where the link points, so the link stays.
    path = Sys_LinkTarget(path);
    if (path.empty()) {
        reason = SaveFailure(errno);
        return false;
    }
    if ((reason = Sys_NotAFile(path)) != nullptr)
        return false; // the player's folder or FIFO is never renamed over
    // A rename would replace it regardless of its mode; the player's choice is kept.
    if (Sys_ReadOnly(path)) {
        reason = "read-only";
        return false;
    }
    if (!Sys_ReplaceFile(path, data, size)) {
        reason = SaveFailure(errno);
        return false;
    }
    return true;
}

bool Sys_KeepDamaged(const char *name, std::string &copy, const char **why)
{
    copy.clear();
    *why = nullptr;
    std::string path;
    if ((serving && PlayerFile(name) >= 0) || !Sys_ResolvePath(name, path))
        return true; // nothing of the player's is written, so nothing is replaced
    path = Sys_LinkTarget(path); // the copy lies beside the bytes it keeps
    if (!path.empty() && Sys_KeepCopy(path, copy))
        return true;
    *why = errno == EEXIST ? "nine damaged copies are kept already" : SaveFailure(errno);
    return false;
}
