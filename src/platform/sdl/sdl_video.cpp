// The game's window over SDL: opening and placing it, full screen and back, presenting each flipped picture, the notice over it.
#include "sdl_local.h"
#include "sys_display.h"
#include "sys_report.h"
#include "sys_screenshot.h"
#include "sys_video.h"

#include <SDL.h>

#include <vector>

SDL_Window *sdl_window = nullptr;
SDL_Renderer *sdl_renderer = nullptr;

static SysDesktopSetup setup;
static bool videoStarted = false;
static Uint32 placedAt = 0; // when the game last placed the window itself
static SDL_Texture *texture = nullptr;
static Uint32 textureFormat = 0;
static bool textureWarned = false;
static SDL_Texture *upscaled = nullptr;
static int upscaledW = 0, upscaledH = 0;
static SDL_Texture *noticeTexture = nullptr;
static unsigned noticeSerial = 0;

void Sys_SetupDesktop(const SysDesktopSetup &s) { setup = s; }
bool Sdl_Headless() { return setup.headless; }
bool Sdl_VideoStarted() { return videoStarted; }

bool Sys_InitVideo()
{
    if (videoStarted)
        return true;
    if (setup.headless) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        Sys_Warn("cannot start video: %s", SDL_GetError());
        return false;
    }
    videoStarted = true;
    return true;
}

void Sys_DesktopSize(int &width, int &height)
{
    width = 640;
    height = 480;
    SDL_DisplayMode mode;
    if (setup.headless || !Sys_InitVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return;
    width = mode.w;
    height = mode.h;
}

// The window's size on the desktop it is on (or will open on).
static void WindowedSize(int &w, int &h)
{
    int display = sdl_window ? SDL_GetWindowDisplayIndex(sdl_window) : 0;
    SDL_Rect usable;
    if (display < 0 || SDL_GetDisplayUsableBounds(display, &usable) != 0)
        usable.w = usable.h = 0;
    Sys_WindowedSize(usable.w, usable.h, w, h);
}

// The window as the player last left it: its size when known, its place when still on a screen.
static void RememberedWindow(SDL_Rect &r)
{
    const SysDisplayChoices &c = Sys_DisplayChoices();
    r.x = r.y = SDL_WINDOWPOS_CENTERED;
    if (c.width > 0 && c.height > 0) {
        r.w = c.width;
        r.h = c.height;
    } else {
        WindowedSize(r.w, r.h);
    }
    std::vector<SysScreenRect> screens;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); i++) {
        SDL_Rect b;
        if (SDL_GetDisplayBounds(i, &b) == 0)
            screens.push_back({ b.x, b.y, b.w, b.h });
    }
    if (c.placed && Sys_WindowOnScreens(c.x, c.y, r.w, r.h, screens)) {
        r.x = c.x;
        r.y = c.y;
    }
}

bool Sys_OpenWindow(const char *title, int width, int height)
{
    if (!Sys_InitVideo())
        return false;
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    SDL_Rect place = { SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height };
    if (setup.headless) {
        place.w = 640;
        place.h = 480;
    } else if (setup.windowed) {
        RememberedWindow(place);
    } else {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    sdl_window = SDL_CreateWindow(title, place.x, place.y, place.w, place.h, flags);
    placedAt = SDL_GetTicks();
    if (!sdl_window) {
        Sys_Warn("cannot open the window: %s", SDL_GetError());
        return false;
    }
    if (!setup.headless) {
        sdl_renderer = SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_PRESENTVSYNC);
        if (!sdl_renderer)
            sdl_renderer = SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_SOFTWARE);
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    }
    return true;
}

void Sys_ShowWindow()
{
    if (sdl_window)
        SDL_ShowWindow(sdl_window);
}

void Sys_RaiseWindow()
{
    if (sdl_window)
        SDL_RaiseWindow(sdl_window);
}

void Sdl_ToggleFullscreen()
{
    if (!sdl_window)
        return;
    static SDL_Rect windowed = { SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 0, 0 };
    bool full = (SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    placedAt = SDL_GetTicks();
    Sys_ChooseFullscreen(!full);
    if (full) {
        SDL_SetWindowFullscreen(sdl_window, 0);
        if (windowed.w <= 0 || windowed.h <= 0)
            RememberedWindow(windowed);
        SDL_SetWindowSize(sdl_window, windowed.w, windowed.h);
        SDL_SetWindowPosition(sdl_window, windowed.x, windowed.y);
        return;
    }
    SDL_GetWindowPosition(sdl_window, &windowed.x, &windowed.y);
    SDL_GetWindowSize(sdl_window, &windowed.w, &windowed.h);
    // Cover the desktop first: without a window manager nobody else resizes the window, and the
    // picture would be drawn for the whole screen into the old, smaller window.
    SDL_Rect screen;
    int display = SDL_GetWindowDisplayIndex(sdl_window);
    if (display >= 0 && SDL_GetDisplayBounds(display, &screen) == 0) {
        SDL_SetWindowPosition(sdl_window, screen.x, screen.y);
        SDL_SetWindowSize(sdl_window, screen.w, screen.h);
    }
    SDL_SetWindowFullscreen(sdl_window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void Sdl_WindowPlaced()
{
    if (!sdl_window || SDL_GetTicks() - placedAt <= 1000 ||
        (SDL_GetWindowFlags(sdl_window) & (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)))
        return;
    int x, y, w, h;
    SDL_GetWindowPosition(sdl_window, &x, &y);
    SDL_GetWindowSize(sdl_window, &w, &h);
    Sys_NoteWindowPlace(x, y, w, h);
}

// The texture format that holds the game's pixels as they are.
static Uint32 TextureFormat(const SysPicture &p)
{
    switch (p.depth) {
    case 16: return p.rgb555 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
    case 24: return SDL_PIXELFORMAT_BGR24;
    case 32: return SDL_PIXELFORMAT_RGB888;
    default: return SDL_PIXELFORMAT_UNKNOWN;
    }
}

void Sys_ReleasePresenter()
{
    if (texture)
        SDL_DestroyTexture(texture);
    if (upscaled)
        SDL_DestroyTexture(upscaled);
    texture = upscaled = nullptr;
}

// The picture enlarged nearest-neighbour to a whole multiple, so that the smooth stretch after it
// only blends the edges of each enlarged pixel and the picture stays sharp.
static SDL_Texture *Upscaled(int w, int h)
{
    if (upscaled && upscaledW == w && upscaledH == h)
        return upscaled;
    if (upscaled)
        SDL_DestroyTexture(upscaled);
    upscaled = SDL_CreateTexture(sdl_renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, w, h);
    upscaledW = w;
    upscaledH = h;
    if (upscaled)
        SDL_SetTextureScaleMode(upscaled, SDL_ScaleModeLinear);
    return upscaled;
}

void Sys_PresentFrame(const SysPicture &picture)
{
    if (!sdl_renderer)
        return;
    Uint32 format = TextureFormat(picture);
    if (format == SDL_PIXELFORMAT_UNKNOWN)
        return;
    if (!texture || textureFormat != format) {
        if (texture)
            SDL_DestroyTexture(texture);
        texture = SDL_CreateTexture(sdl_renderer, format, SDL_TEXTUREACCESS_STREAMING, picture.width,
                                    picture.height);
        textureFormat = format;
        if (!texture) {
            Sys_WarnOnce(textureWarned, "cannot show the picture: %s", SDL_GetError());
            return;
        }
    }
    SDL_UpdateTexture(texture, nullptr, picture.pixels, picture.pitch);
    // The output in pixels (high DPI included), asked afresh each frame: a toggle or a resize may
    // have changed it without an event having been seen yet.
    int ow = 0, oh = 0;
    if (SDL_GetRendererOutputSize(sdl_renderer, &ow, &oh) != 0)
        return;
    SysScaleRect r = Sys_ScaleRect(ow, oh, picture.width, picture.height, setup.integerScale);
    SDL_Texture *source = texture;
    int wholeW = picture.width * r.multiple, wholeH = picture.height * r.multiple;
    bool exact = wholeW == r.w && wholeH == r.h;
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    if (!exact && r.multiple > 1 && SDL_RenderTargetSupported(sdl_renderer)) {
        SDL_Texture *big = Upscaled(wholeW, wholeH);
        if (big && SDL_SetRenderTarget(sdl_renderer, big) == 0) {
            SDL_RenderCopy(sdl_renderer, texture, nullptr, nullptr);
            source = big;
        }
        SDL_SetRenderTarget(sdl_renderer, nullptr);
    }
    if (!exact && source == texture)
        SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
    SDL_RenderSetViewport(sdl_renderer, nullptr);
    SDL_SetRenderDrawColor(sdl_renderer, 0, 0, 0, 255);
    SDL_RenderClear(sdl_renderer);
    if (r.w > 0 && r.h > 0) {
        SDL_Rect dst = { r.x, r.y, r.w, r.h };
        SDL_RenderCopy(sdl_renderer, source, nullptr, &dst);
    }
    Sdl_DrawNotice(r.x, r.y, r.w, r.h);
    SDL_RenderPresent(sdl_renderer);
}

// The notice, one texture pixel for each font pixel, scaled up to stay readable at every size.
void Sdl_DrawNotice(int x, int y, int w, int h)
{
    const std::vector<Uint32> *pixels;
    int tw, th, alpha;
    unsigned serial;
    if (!sdl_renderer || !Sys_ScreenshotNotice(pixels, tw, th, alpha, serial)) {
        if (noticeTexture)
            SDL_DestroyTexture(noticeTexture);
        noticeTexture = nullptr;
        return;
    }
    if (!noticeTexture || noticeSerial != serial) {
        if (noticeTexture)
            SDL_DestroyTexture(noticeTexture);
        noticeTexture = SDL_CreateTexture(sdl_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, tw, th);
        noticeSerial = serial;
        if (!noticeTexture)
            return;
        SDL_UpdateTexture(noticeTexture, nullptr, pixels->data(), tw * 4);
        SDL_SetTextureBlendMode(noticeTexture, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(noticeTexture, SDL_ScaleModeNearest);
    }
    int scale = h >= 960 ? 3 : 2;
    while (scale > 1 && tw * scale > w)
        scale--;
    SDL_SetTextureAlphaMod(noticeTexture, (Uint8)alpha);
    SDL_Rect dst = { x + 2 * scale, y + 2 * scale, tw * scale, th * scale };
    SDL_RenderCopy(sdl_renderer, noticeTexture, nullptr, &dst);
}

void Sys_ErrorBox(const char *caption, const char *text)
{
    if (!setup.headless && videoStarted)
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, sdl_window);
}

void Sys_ShowPointer(bool show)
{
    if (videoStarted)
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}
