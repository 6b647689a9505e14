// Screenshots: the key, the folder and name of each shot, the compressed PNG and the notice's picture.
#include "sys_screenshot.h"
#include "sys_file.h"
#include "sys_font.h"
#include "sys_os.h"
#include "sys_png.h"
#include "sys_report.h"
#include "sys_source.h"
#include "sys_util.h"

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

enum { NOTICE_MS = 1200, NOTICE_FADE_MS = 300 };

static bool (*keyTaken)(int vk) = nullptr;
static bool replaying = false;
static std::string noticeText;
static unsigned noticeSince = 0;
static unsigned noticeSerial = 0;
static std::vector<uint32_t> noticePixels;
static int noticeW = 0, noticeH = 0;

void Sys_SetKeyTaken(bool (*taken)(int vk)) { keyTaken = taken; }

void Sys_ScreenshotReplaying(bool on) { replaying = on; }

bool Sys_ScreenshotKey(int vk, bool down, bool repeat, bool scripted)
{
    if (vk != VK_F12 || (keyTaken && keyTaken(vk)))
        return false;
    if (down && !repeat && !(scripted && replaying))
        Sys_TakeScreenshot();
    return true;
}

std::string Sys_PicturesFromUserDirs(const std::string &text, const std::string &home)
{
    std::istringstream in(text);
    std::string line, found;
    while (std::getline(in, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, 17, "XDG_PICTURES_DIR=") != 0)
            continue;
        std::string value = line.substr(start + 17);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t'))
            value.pop_back();
        if (value.size() < 2 || value.front() != '"' || value.back() != '"')
            continue;
        value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/'))
            value = home + value.substr(5);
        else if (value.empty() || value[0] != '/')
            continue;
        while (value.size() > 1 && value.back() == '/')
            value.pop_back();
        found = value == home ? "" : value; // a pictures folder set to the home folder means none
    }
    return found;
}

std::string Sys_ScreenshotFolder()
{
    if (!Sys_FilesInstalled())
        return "screenshots";
    std::string home = Sys_HomePath();
    const char *config = getenv("XDG_CONFIG_HOME");
    std::string dirs = (config && config[0] == '/' ? std::string(config) : home + "/.config") + "/user-dirs.dirs";
    std::ifstream in(dirs);
    std::stringstream text;
    text << in.rdbuf();
    std::string pictures = Sys_PicturesFromUserDirs(text.str(), home);
    if (pictures.empty())
        pictures = home.empty() ? "" : home + "/Pictures";
    return pictures.empty() ? "" : pictures + "/kordax";
}

// The notice as pale text on a dark, framed band, one pixel for each font pixel.
static void ShowNotice(const std::string &text)
{
    enum { PAD = 3 };
    noticeText = text;
    noticeSince = Sys_Milliseconds();
    noticeSerial++;
    noticeW = (int)text.size() * SYS_FONT_WIDTH + 2 * PAD;
    noticeH = SYS_FONT_HEIGHT + 2 * PAD;
    std::vector<uint32_t> &pixels = noticePixels;
    int tw = noticeW, th = noticeH;
    pixels.assign((size_t)tw * th, 0xD0101018u);
    for (int x = 0; x < tw; x++)
        pixels[x] = pixels[(size_t)(th - 1) * tw + x] = 0xFF7088A0u;
    for (int y = 0; y < th; y++)
        pixels[(size_t)y * tw] = pixels[(size_t)y * tw + tw - 1] = 0xFF7088A0u;
    for (size_t i = 0; i < text.size(); i++)
        for (int row = 0; row < SYS_FONT_HEIGHT; row++)
            for (int col = 0; col < SYS_FONT_WIDTH; col++)
                if (Sys_FontPixel(text[i], col, row))
                    pixels[(size_t)(PAD + row) * tw + PAD + i * SYS_FONT_WIDTH + col] = 0xFFFFF0C0u;
}

bool Sys_ScreenshotNotice(const std::vector<uint32_t> *&argb, int &w, int &h, int &alpha, unsigned &serial)
{
    if (noticeText.empty())
        return false;
    unsigned age = Sys_Milliseconds() - noticeSince;
    if (age >= NOTICE_MS) {
        noticeText.clear();
        return false;
    }
    unsigned left = NOTICE_MS - age;
    argb = &noticePixels;
    w = noticeW;
    h = noticeH;
    alpha = left < NOTICE_FADE_MS ? (int)(255 * left / NOTICE_FADE_MS) : 255;
    serial = noticeSerial;
    return true;
}

// Shot names sort by time: kordax-YYYYMMDD-HHMMSS.png, then _02, _03, ...
static std::string ShotSuffix(int n)
{
    char suffix[16] = "";
    if (n > 1)
        snprintf(suffix, sizeof suffix, "_%02d", n);
    return suffix;
}

// A shot taken: compressed and written by the worker, then reported on the main thread, which owns
// the log and the notice.
struct ShotJob {
    std::string path;
    std::vector<BYTE> rgb;
    int w = 0, h = 0;
    bool written = false;
    int error = 0;
};

// The one place that chooses: a build without threads writes each shot where it is taken.
#ifndef KORDAX_SHOTS_INLINE
#define KORDAX_SHOTS_INLINE 0
#endif
enum { MAX_PENDING_SHOTS = 3 }; // a burst of presses keeps this many and drops the rest

static void WriteShot(ShotJob &job)
{
    errno = 0;
    job.written = Sys_WritePNG(job.path.c_str(), job.rgb.data(), job.w, job.h);
    job.error = errno;
    if (!job.written)
        unlink(job.path.c_str()); // no half-written picture left behind
    job.rgb = std::vector<BYTE>();
}

static std::mutex shotLock;
static std::condition_variable shotWake;
static std::deque<ShotJob> shotQueue, shotsDone;
static size_t shotsPending = 0; // queued or being written, not yet reported
static std::string shotWriting; // the path the worker writes now
static bool droppedSaid = false;

static void ShotWorker()
{
#ifdef __linux__
    // Behind the game on a busy machine: a shot may wait, a frame should not.
    setpriority(PRIO_PROCESS, (id_t)syscall(SYS_gettid), 10);
#endif
    std::unique_lock<std::mutex> hold(shotLock);
    for (;;) {
        shotWake.wait(hold, [] { return !shotQueue.empty(); });
        ShotJob job = std::move(shotQueue.front());
        shotQueue.pop_front();
        if (job.path.empty())
            return; // asked to stop
        shotWriting = job.path;
        hold.unlock();
        WriteShot(job);
        hold.lock();
        shotWriting.clear();
        shotsDone.push_back(std::move(job));
        shotWake.notify_all();
    }
}

// Started with the first shot; stopped (after the last is written) when the program ends.
struct ShotThread {
    std::thread thread;
    ~ShotThread()
    {
        if (!thread.joinable())
            return;
        {
            std::lock_guard<std::mutex> hold(shotLock);
            shotQueue.push_back(ShotJob());
        }
        shotWake.notify_all();
        thread.join();
    }
};
static ShotThread shotThread;

static void ReportShot(const ShotJob &job)
{
    if (!job.written) {
        Sys_Warn("screenshot not saved: cannot write %s (%s)", job.path.c_str(),
                 job.error ? strerror(job.error) : "no picture");
        ShowNotice("Screenshot not saved");
        return;
    }
    fprintf(stderr, "kordax: screenshot saved: %s\n", job.path.c_str());
    ShowNotice("Screenshot " + job.path.substr(job.path.rfind('/') + 1));
    Sys_OfferFile(job.path);
}

void Sys_ScreenshotsDone(bool wait)
{
    if (shotsPending == 0) // only this thread changes it
        return;
    std::deque<ShotJob> done;
    {
        std::unique_lock<std::mutex> hold(shotLock);
        if (wait)
            shotWake.wait(hold, [] { return shotsDone.size() == shotsPending; });
        done.swap(shotsDone);
        shotsPending -= done.size();
        if (shotsPending == 0)
            droppedSaid = false; // the burst is over
    }
    for (const ShotJob &job : done)
        ReportShot(job);
}

// kordax-YYYYMMDD-HHMMSS.png, or the next free suffix: on the disk, and among the shots not yet written.
static std::string FreeShotName(const std::string &folder)
{
    std::string base = folder + "/kordax-" + Sys_TimeStamp();
    std::lock_guard<std::mutex> hold(shotLock);
    for (int n = 1; n < 100; n++) {
        std::string path = base + ShotSuffix(n) + ".png";
        struct stat st;
        bool queued = false;
        for (const ShotJob &job : shotQueue)
            queued = queued || job.path == path;
        if (!queued && path != shotWriting && lstat(path.c_str(), &st) != 0)
            return path;
    }
    return "";
}

std::string Sys_TakeScreenshot()
{
    Sys_ScreenshotsDone(false);
    std::string folder = Sys_ScreenshotFolder();
    if (folder.empty()) {
        Sys_Warn("screenshot not saved: no home folder for the pictures folder");
        ShowNotice("Screenshot not saved");
        return "";
    }
    if (shotsPending >= MAX_PENDING_SHOTS) {
        Sys_WarnOnce(droppedSaid, "screenshots not saved: %d are still being written; presses are dropped until they are",
                     (int)MAX_PENDING_SHOTS);
        return "";
    }
    if (!Sys_MakeFolders(folder, true)) {
        Sys_Warn("screenshot not saved: cannot create %s (%s)", folder.c_str(), strerror(errno));
        ShowNotice("Screenshot not saved");
        return "";
    }
    ShotJob job;
    job.path = FreeShotName(folder);
    if (job.path.empty() || !Sys_PictureRGB(job.rgb, job.w, job.h)) {
        Sys_Warn("screenshot not saved: %s", job.path.empty() ? ("no free name in " + folder).c_str() : "no picture");
        ShowNotice("Screenshot not saved");
        return "";
    }
    std::string path = job.path;
    if (KORDAX_SHOTS_INLINE) {
        WriteShot(job);
        ReportShot(job);
        return job.written ? path : "";
    }
    {
        std::lock_guard<std::mutex> hold(shotLock);
        shotQueue.push_back(std::move(job));
        shotsPending++;
    }
    if (!shotThread.thread.joinable())
        shotThread.thread = std::thread(ShotWorker);
    shotWake.notify_all();
    return path;
}
