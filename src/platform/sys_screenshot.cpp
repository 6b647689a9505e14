// Screenshots: the key, the folder and name of each shot, the compressed PNG and the notice on screen.
#include "sys_screenshot.h"
#include "sys_file.h"
#include "sys_local.h"
#include "sys_png.h"
#include "win_time.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

enum { NOTICE_MS = 1200, NOTICE_FADE_MS = 300 };

static bool (*keyTaken)(int vk) = nullptr;
static std::string noticeText;
static unsigned noticeSince = 0;
static SDL_Texture *noticeTexture = nullptr;
static std::string noticeDrawn; // the text noticeTexture holds

void Sys_SetKeyTaken(bool (*taken)(int vk)) { keyTaken = taken; }

bool Sys_ScreenshotKey(int vk, bool down, bool repeat)
{
    if (vk != VK_F12 || (keyTaken && keyTaken(vk)))
        return false;
    if (down && !repeat)
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

static void ShowNotice(const std::string &text)
{
    noticeText = text;
    noticeSince = SDL_GetTicks();
}

// A name that sorts by time and is not yet taken: kordax-YYYYMMDD-HHMMSS.png, then _02, _03, ...
static std::string FreeName(const std::string &folder)
{
    std::string stamp = "kordax-" + Sys_TimeStamp();
    for (int n = 1; n < 100; n++) {
        char suffix[8] = "";
        if (n > 1)
            snprintf(suffix, sizeof suffix, "_%02d", n);
        std::string path = folder + "/" + stamp + suffix + ".png";
        struct stat st;
        if (lstat(path.c_str(), &st) != 0)
            return path;
    }
    return "";
}

std::string Sys_TakeScreenshot()
{
    std::string folder = Sys_ScreenshotFolder();
    if (folder.empty()) {
        fprintf(stderr, "kordax: screenshot not saved: no home folder for the pictures folder\n");
        ShowNotice("Screenshot not saved");
        return "";
    }
    if (!Sys_MakeFolders(folder, true)) {
        fprintf(stderr, "kordax: screenshot not saved: cannot create %s (%s)\n", folder.c_str(), strerror(errno));
        ShowNotice("Screenshot not saved");
        return "";
    }
    std::vector<BYTE> rgb;
    int w = 0, h = 0;
    std::string path = FreeName(folder);
    errno = 0;
    if (path.empty() || !Sys_PresentedImage(rgb, w, h) || !Sys_WritePNG(path.c_str(), rgb.data(), w, h)) {
        fprintf(stderr, "kordax: screenshot not saved: cannot write %s (%s)\n", path.empty() ? folder.c_str() : path.c_str(),
                errno ? strerror(errno) : "no picture");
        if (!path.empty())
            unlink(path.c_str()); // no half-written picture left behind
        ShowNotice("Screenshot not saved");
        return "";
    }
    fprintf(stderr, "kordax: screenshot saved: %s\n", path.c_str());
    ShowNotice("Screenshot " + path.substr(path.rfind('/') + 1));
    return path;
}

// The notice as pale text on a dark, framed band, one texture pixel for each font pixel.
static SDL_Texture *NoticeTexture(int &tw, int &th)
{
    enum { PAD = 3 };
    tw = (int)noticeText.size() * SYS_FONT_WIDTH + 2 * PAD;
    th = SYS_FONT_HEIGHT + 2 * PAD;
    if (noticeTexture && noticeDrawn == noticeText)
        return noticeTexture;
    if (noticeTexture)
        SDL_DestroyTexture(noticeTexture);
    std::vector<Uint32> pixels((size_t)tw * th, 0xD0101018u);
    for (int x = 0; x < tw; x++)
        pixels[x] = pixels[(size_t)(th - 1) * tw + x] = 0xFF7088A0u;
    for (int y = 0; y < th; y++)
        pixels[(size_t)y * tw] = pixels[(size_t)y * tw + tw - 1] = 0xFF7088A0u;
    for (size_t i = 0; i < noticeText.size(); i++)
        for (int row = 0; row < SYS_FONT_HEIGHT; row++)
            for (int col = 0; col < SYS_FONT_WIDTH; col++)
                if (Sys_FontPixel(noticeText[i], col, row))
                    pixels[(size_t)(PAD + row) * tw + PAD + i * SYS_FONT_WIDTH + col] = 0xFFFFF0C0u;
    noticeTexture = SDL_CreateTexture(sys_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, tw, th);
    if (noticeTexture) {
        SDL_UpdateTexture(noticeTexture, nullptr, pixels.data(), tw * 4);
        SDL_SetTextureBlendMode(noticeTexture, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(noticeTexture, SDL_ScaleModeNearest);
    }
    noticeDrawn = noticeText;
    return noticeTexture;
}

void Sys_DrawScreenshotNotice(int x, int y, int w, int h)
{
    if (noticeText.empty() || !sys_renderer)
        return;
    unsigned age = SDL_GetTicks() - noticeSince;
    if (age >= NOTICE_MS) {
        noticeText.clear();
        if (noticeTexture)
            SDL_DestroyTexture(noticeTexture);
        noticeTexture = nullptr;
        return;
    }
    int tw, th;
    SDL_Texture *t = NoticeTexture(tw, th);
    if (!t)
        return;
    int scale = h >= 960 ? 3 : 2; // readable at every size the picture is shown
    while (scale > 1 && tw * scale > w)
        scale--;
    unsigned left = NOTICE_MS - age;
    SDL_SetTextureAlphaMod(t, (Uint8)(left < NOTICE_FADE_MS ? 255 * left / NOTICE_FADE_MS : 255));
    SDL_Rect dst = { x + 2 * scale, y + 2 * scale, tw * scale, th * scale };
    SDL_RenderCopy(sys_renderer, t, nullptr, &dst);
}
