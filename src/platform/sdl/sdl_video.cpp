// The game's window over SDL: opening and placing it, full screen and back, presenting each flipped picture (GL or software), the notice over it.
#include "sdl_local.h"
#include "sys_display.h"
#include "sys_report.h"
#include "sys_scale.h"
#include "sys_screenshot.h"
#include "sys_video.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>
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
static bool softwarePath = false; // SDL's software renderer on the window surface
static SDL_Surface *paintedSurface = nullptr; // the window surface the bars were last painted on
static SysScaleRect paintedRect;
static bool surfaceWarned = false;
// A flipped picture waiting for the next drain of events, because the game draws on the shown
// picture after its flips (the frame statistics).
static bool deferring = false, pending = false, drawnSinceFlip = false;
static bool displayPaces = false; // the renderer waits for the display's blank itself
static Uint64 blankPeriod = 0;    // performance-counter ticks from one blank of the display to the next
static Uint64 nextBlank = 0;
static SysPicture pendingPicture;

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
    // A compositor that places windows itself: the place is not ours to give.
    bool place = c.placed && !Sdl_PlacesWindows() && Sys_WindowOnScreens(c.x, c.y, r.w, r.h, screens);
    // Fitted to the usable area of the screen it opens on (the first, when centred).
    int display = 0;
    for (size_t i = 0; place && i < screens.size(); i++)
        if (Sys_WindowOnScreens(c.x, c.y, r.w, r.h, { screens[i] })) {
            display = (int)i;
            break;
        }
    SDL_Rect usable;
    SysScreenRect fitted = { c.x, c.y, r.w, r.h };
    if (SDL_GetDisplayUsableBounds(display, &usable) == 0)
        fitted = Sys_FitWindow(fitted, place, { usable.x, usable.y, usable.w, usable.h });
    r.w = fitted.w;
    r.h = fitted.h;
    if (place) {
        r.x = fitted.x;
        r.y = fitted.y;
    }
}

bool Sdl_PlacesWindows()
{
    const char *driver = SDL_GetCurrentVideoDriver();
    return driver && strcmp(driver, "wayland") == 0;
}

// The GL renderer's name, from a hidden window of its own; empty when GL cannot be had.
static std::string GlRendererName()
{
    SDL_Window *probe = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
    if (!probe)
        return "";
    std::string name;
    SDL_GLContext context = SDL_GL_CreateContext(probe);
    if (context) {
        typedef const unsigned char *(*GetString)(unsigned);
        GetString getString = (GetString)SDL_GL_GetProcAddress("glGetString");
        const unsigned char *text = getString ? getString(0x1F01 /* GL_RENDERER */) : nullptr;
        if (text)
            name = (const char *)text;
        SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(probe);
    return name;
}

static bool Xrgb(const SDL_Surface *s)
{
    return s && s->format->BytesPerPixel == 4 && s->format->Rmask == 0xFF0000 && s->format->Gmask == 0xFF00 &&
           s->format->Bmask == 0xFF;
}

// SDL's software renderer on the window surface, written straight to the X server rather than
// through a GL texture; false (nothing kept) when it cannot be made or its surface is not 32-bit RGB.
static bool OpenSoftware(std::string &why)
{
    const char *driver = SDL_GetCurrentVideoDriver();
    if (driver && strcmp(driver, "x11") == 0)
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    sdl_renderer = SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_SOFTWARE);
    SDL_Surface *surface = sdl_renderer ? SDL_GetWindowSurface(sdl_window) : nullptr;
    if (Xrgb(surface))
        return true;
    why = !sdl_renderer ? SDL_GetError() : !surface ? SDL_GetError() : "the window's pixels are not 32-bit RGB";
    if (sdl_renderer)
        SDL_DestroyRenderer(sdl_renderer);
    sdl_renderer = nullptr;
    return false;
}

// Textures on the GPU, paced by the display where it offers to.
static bool OpenGl(std::string &why)
{
    sdl_renderer = SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!sdl_renderer)
        sdl_renderer = SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_ACCELERATED);
    if (!sdl_renderer)
        why = SDL_GetError();
    return sdl_renderer != nullptr;
}

// Chooses the path (the log says which and why) and makes it, or the other one when it cannot be made.
static void OpenPresenter()
{
    std::string why, failed;
    SysRenderer path = Sys_ChooseRenderer(setup.renderer, setup.renderer == SysRenderer::AUTO ?
                                          GlRendererName().c_str() : "", why);
    bool soft = path == SysRenderer::SOFTWARE;
    if (!(soft ? OpenSoftware(failed) : OpenGl(failed))) {
        Sys_Warn("the %s path cannot be made (%s); presenting through %s instead", soft ? "software" : "GL",
                 failed.c_str(), soft ? "GL" : "software");
        soft = !soft;
        if (!(soft ? OpenSoftware(failed) : OpenGl(failed))) {
            Sys_Warn("cannot present the picture: %s", failed.c_str());
            return;
        }
        why = "the other could not be made";
    }
    softwarePath = soft;
    SDL_RendererInfo info;
    bool vsync = SDL_GetRendererInfo(sdl_renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC);
    displayPaces = !soft && vsync;
    SDL_DisplayMode mode;
    int hz = SDL_GetCurrentDisplayMode(std::max(SDL_GetWindowDisplayIndex(sdl_window), 0), &mode) == 0 &&
             mode.refresh_rate >= 30 && mode.refresh_rate <= 500 ? mode.refresh_rate : 60;
    blankPeriod = SDL_GetPerformanceFrequency() / (Uint64)hz;
    nextBlank = 0;
    Sys_Warn("presenting through %s: %s; frames paced by the display%s", soft ? "the software renderer" : "GL",
             why.c_str(), displayPaces ? "" : (", its " + std::to_string(hz) + " Hz kept by the presenter").c_str());
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
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        OpenPresenter();
    }
    return true;
}

void Sys_ShowWindow()
{
    if (sdl_window)
        SDL_ShowWindow(sdl_window);
}

void Sys_CloseWindow()
{
    Sys_ReleasePresenter();
    if (noticeTexture)
        SDL_DestroyTexture(noticeTexture);
    noticeTexture = nullptr;
    if (sdl_renderer)
        SDL_DestroyRenderer(sdl_renderer);
    if (sdl_window)
        SDL_DestroyWindow(sdl_window);
    sdl_renderer = nullptr;
    sdl_window = nullptr;
    textureFormat = 0;
    textureWarned = surfaceWarned = false;
}

void Sys_RaiseWindow()
{
    if (sdl_window)
        SDL_RaiseWindow(sdl_window);
}

void Sdl_ToggleFullscreen()
{
#ifdef __EMSCRIPTEN__
    // A page's full screen is asked for by the page, inside the key's own handler: the only place
    // a browser grants it.
    return;
#endif
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
        if (!Sdl_PlacesWindows())
            SDL_SetWindowPosition(sdl_window, windowed.x, windowed.y);
        return;
    }
    SDL_GetWindowPosition(sdl_window, &windowed.x, &windowed.y);
    SDL_GetWindowSize(sdl_window, &windowed.w, &windowed.h);
    // Cover the desktop first: without a window manager nobody else resizes the window, and the
    // picture would be drawn for the whole screen into the old, smaller window. A Wayland
    // compositor sizes a full-screen window itself, and a size asked for beforehand leaves it short
    // by the decorations.
    SDL_Rect screen;
    int display = SDL_GetWindowDisplayIndex(sdl_window);
    if (!Sdl_PlacesWindows() && display >= 0 && SDL_GetDisplayBounds(display, &screen) == 0) {
        SDL_SetWindowPosition(sdl_window, screen.x, screen.y);
        SDL_SetWindowSize(sdl_window, screen.w, screen.h);
    }
    if (SDL_SetWindowFullscreen(sdl_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        Sys_Warn("full screen refused (%s); staying in a window", SDL_GetError());
        Sys_ChooseFullscreen(false);
        SDL_SetWindowSize(sdl_window, windowed.w, windowed.h);
        if (!Sdl_PlacesWindows())
            SDL_SetWindowPosition(sdl_window, windowed.x, windowed.y);
    }
}

void Sdl_WindowPlaced()
{
    if (!sdl_window || SDL_GetTicks() - placedAt <= 1000 ||
        (SDL_GetWindowFlags(sdl_window) & (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)))
        return;
    int x, y, w, h;
    SDL_GetWindowPosition(sdl_window, &x, &y);
    SDL_GetWindowSize(sdl_window, &w, &h);
    Sys_NoteWindowPlace(x, y, w, h, !Sdl_PlacesWindows());
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
    pending = deferring = false;
    pendingPicture = SysPicture();
    paintedSurface = nullptr;
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

// Black bars around the picture, painted again only when the surface or the picture's place changed;
// then the picture in one pass, the notice, and only what changed sent to the screen.
static void PresentSoftware(const SysPicture &picture)
{
    SDL_Surface *s = SDL_GetWindowSurface(sdl_window);
    if (!Xrgb(s)) {
        Sys_WarnOnce(surfaceWarned, "cannot show the picture: %s", s ? "the window's pixels are not 32-bit RGB" : SDL_GetError());
        return;
    }
    SysScaleRect r = Sys_ScaleRect(s->w, s->h, picture.width, picture.height, setup.integerScale);
    bool fresh = s != paintedSurface || memcmp(&r, &paintedRect, sizeof r) != 0;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0)
        return;
    if (fresh)
        SDL_FillRect(s, nullptr, 0);
    Uint32 *at = (Uint32 *)((Uint8 *)s->pixels + (size_t)r.y * s->pitch + (size_t)r.x * 4);
    bool drawn = Sys_ScalePicture(picture, at, s->pitch, r.w, r.h, r.multiple);
    if (SDL_MUSTLOCK(s))
        SDL_UnlockSurface(s);
    if (!drawn)
        return;
    paintedSurface = s;
    paintedRect = r;
    Sdl_DrawNotice(r.x, r.y, r.w, r.h);
    SDL_RenderFlush(sdl_renderer);
    SDL_Rect whole = { 0, 0, s->w, s->h }, changed = { r.x, r.y, r.w, r.h };
    SDL_UpdateWindowSurfaceRects(sdl_window, fresh ? &whole : &changed, 1);
}

static void PresentNow(const SysPicture &picture)
{
    if (!sdl_renderer)
        return;
    if (softwarePath) {
        PresentSoftware(picture);
        return;
    }
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

// Where nothing waits for the display's blank (the software path, or no vsync, as under Xvfb and
// some remote desktops), a flip waits for the next blank the display's refresh rate gives, as a
// flip on a desktop does: the game then runs at the display's rate instead of as fast as it can.
static void WaitForBlank()
{
    if (displayPaces || !blankPeriod)
        return;
    Uint64 now = SDL_GetPerformanceCounter();
    if (nextBlank == 0 || now > nextBlank + blankPeriod) {
        nextBlank = now + blankPeriod; // late by more than a blank: start again from now
        return;
    }
    if (now < nextBlank)
        SDL_Delay((Uint32)((nextBlank - now) * 1000 / SDL_GetPerformanceFrequency()));
    nextBlank += blankPeriod;
}

// While the game draws on the shown picture after its flips, each flipped picture waits for the next
// drain of events, so that what it drew is on it when it reaches the screen; once it stops, flips
// are shown at once again. The frame's checksum and screenshots are not affected: they are taken at
// the flip and from the picture as drawn.
void Sys_PresentFrame(const SysPicture &picture)
{
    WaitForBlank();
    if (pending) { // flips without a drain between them: nothing to wait for
        pending = deferring = false;
    } else if (deferring && !drawnSinceFlip) {
        deferring = false;
    }
    drawnSinceFlip = false;
    if (deferring) {
        pending = true;
        pendingPicture = picture;
        return;
    }
    pendingPicture = picture;
    PresentNow(picture);
}

void Sys_ShownPictureDrawn()
{
    if (!sdl_renderer)
        return;
    drawnSinceFlip = true;
    deferring = true;
    pending = pendingPicture.pixels != nullptr;
}

void Sdl_PresentPending()
{
    if (!pending)
        return;
    pending = false;
    PresentNow(pendingPicture);
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
