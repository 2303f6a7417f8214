// The window, its renderer and its messages, and frame pacing.
#include "Debug/Debug.h"
#include "Engine/KestrelInternal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int HEADLESS_DESKTOP_WIDTH = 896;
constexpr int HEADLESS_DESKTOP_HEIGHT = 504;

struct System {
    KEPlatformOptions options;
    bool videoStarted = false;
    KEWindow* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* offscreen = nullptr;  // headless render target
    bool windowExists = false;
    bool windowActive = true;
    int frameRate = 144;
    Clock::time_point lastFrameEnd;
    float frameTime = 0.0f;
    uint64_t framesStarted = 0;
};

System sys;

// Without a display SDL falls back to drivers that show nothing; a player
// would face a game running in an invisible window. Those drivers count only
// when asked for by name.
bool isInvisibleDriver(const char* driver) {
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    bool invisible = SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
    return invisible && (requested == nullptr || SDL_strcmp(requested, driver) != 0);
}

void startVideo() {
    if (sys.videoStarted) return;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        FATAL_ERROR("No display could be opened (%s). Run with --headless, or under xvfb-run.",
                    SDL_GetError());
    sys.videoStarted = true;
    if (isInvisibleDriver(SDL_GetCurrentVideoDriver()))
        FATAL_ERROR("No display could be opened. Run with --headless, or under xvfb-run.");
}

void handleWindowEvent(const SDL_WindowEvent& event) {
    if (event.event == SDL_WINDOWEVENT_FOCUS_GAINED) sys.windowActive = true;
    if (event.event == SDL_WINDOWEVENT_FOCUS_LOST) sys.windowActive = false;
}

void pumpMessages() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (kestrel::handlePadEvent(event)) continue;
        switch (event.type) {
            case SDL_QUIT:
                sys.windowExists = false;
                break;
            case SDL_WINDOWEVENT:
                handleWindowEvent(event.window);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                kestrel::handleKeyEvent(event.key);
                break;
            default:
                break;
        }
    }
}

void paceFrame() {
    if (sys.options.fixedFrameTime > 0.0f) {
        sys.frameTime = sys.options.fixedFrameTime;
        return;
    }
    Clock::time_point earliest =
        sys.lastFrameEnd + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                               1.0 / static_cast<double>(std::max(sys.frameRate, 1))));
    std::this_thread::sleep_until(earliest);
    Clock::time_point now = Clock::now();
    sys.frameTime = std::chrono::duration<float>(now - sys.lastFrameEnd).count();
    sys.lastFrameEnd = now;
}

bool createHeadlessRenderer(int width, int height) {
    sys.offscreen = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (sys.offscreen == nullptr) return false;
    sys.renderer = SDL_CreateSoftwareRenderer(sys.offscreen);
    return sys.renderer != nullptr;
}

// OpenGL drawn by Mesa's rasterisers on the processor, as on a machine
// without a GPU.
bool isRasterisedInSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || SDL_strncmp(info.name, "opengl", 6) != 0) return false;
    // SDL hands OpenGL's functions out as object pointers.
    using GetString = const unsigned char* (*)(unsigned);
    GetString getString = nullptr;
    void* address = SDL_GL_GetProcAddress("glGetString");
    static_assert(sizeof address == sizeof getString);
    std::memcpy(&getString, &address, sizeof getString);
    constexpr unsigned GL_RENDERER_NAME = 0x1F01;
    const unsigned char* name = getString != nullptr ? getString(GL_RENDERER_NAME) : nullptr;
    if (name == nullptr) return false;
    const char* text = reinterpret_cast<const char*>(name);
    return SDL_strstr(text, "llvmpipe") != nullptr || SDL_strstr(text, "softpipe") != nullptr ||
           SDL_strstr(text, "Software Rasterizer") != nullptr;
}

// A GPU's renderer, with vsync; without one, SDL's software renderer, which
// draws the game's frames several times faster than OpenGL rasterised on the
// processor. A renderer the player names in SDL_RENDER_DRIVER is kept.
bool createWindowRenderer(SDL_Window* window) {
    sys.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (sys.renderer != nullptr && SDL_getenv("SDL_RENDER_DRIVER") == nullptr &&
        isRasterisedInSoftware(sys.renderer)) {
        SDL_DestroyRenderer(sys.renderer);
        sys.renderer = nullptr;
    }
    if (sys.renderer == nullptr) sys.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    return sys.renderer != nullptr;
}

}  // namespace

SDL_Renderer* kestrel::renderer() {
    return sys.renderer;
}

void KESysConfigure(const KEPlatformOptions& options) {
    sys.options = options;
}

bool KESysIsHeadless() {
    return sys.options.headless;
}

void KESysGetDesktopSize(int* width, int* height) {
    if (sys.options.desktopWidth > 0 && sys.options.desktopHeight > 0) {
        *width = sys.options.desktopWidth;
        *height = sys.options.desktopHeight;
        return;
    }
    if (sys.options.headless) {
        *width = HEADLESS_DESKTOP_WIDTH;
        *height = HEADLESS_DESKTOP_HEIGHT;
        return;
    }
    startVideo();
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        FATAL_ERROR("Unable to read the desktop size: %s", SDL_GetError());
    *width = mode.w;
    *height = mode.h;
}

KEWindow* KESysCreateWindow(const char* title, int width, int height) {
    KEWindow* window =
        DEBUG_NEW(KEWindow, "KESysCreateWindow", KEWindow{nullptr, width, height, !sys.options.windowed});
    if (sys.options.headless) return window;
    startVideo();
    Uint32 flags =
        SDL_WINDOW_SHOWN | (sys.options.windowed ? 0u : static_cast<Uint32>(SDL_WINDOW_BORDERLESS));
    window->window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (window->window == nullptr) FATAL_ERROR("Unable to create the game window: %s", SDL_GetError());
    return window;
}

void KESysSetFullScreen(KEWindow* window) {
    if (window->window == nullptr || sys.options.windowed) return;
    SDL_SetWindowFullscreen(window->window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

// --windowed keeps its ordinary window whatever the settings ask.
void KESysSetWindowMode(bool fullScreen, int width, int height) {
    KEWindow* window = sys.window;
    if (window == nullptr || (fullScreen && sys.options.windowed)) return;
    window->fullScreen = fullScreen;
    if (fullScreen) KESysGetDesktopSize(&width, &height);
    window->width = width;
    window->height = height;
    if (window->window == nullptr) return;
    if (fullScreen) {
        SDL_SetWindowFullscreen(window->window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window->window, 0);
        SDL_SetWindowBordered(window->window, SDL_TRUE);
        SDL_SetWindowSize(window->window, width, height);
        SDL_SetWindowPosition(window->window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    KEInputShowCursor(fullScreen ? 0 : 1);
}

bool KESysIsFullScreen() {
    return sys.window != nullptr && sys.window->fullScreen;
}

void KESysGetWindowSize(int* width, int* height) {
    kestrel::windowSize(width, height);
}

void kestrel::windowSize(int* width, int* height) {
    *width = sys.window != nullptr ? sys.window->width : 0;
    *height = sys.window != nullptr ? sys.window->height : 0;
}

void KESysBringToForeground(KEWindow* window) {
    if (window->window != nullptr) SDL_RaiseWindow(window->window);
}

void KESysShowMessageBox(const char* title, const char* text) {
    if (!sys.options.headless && SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) == 0)
        return;
    std::fprintf(stderr, "%s: %s\n", title, text);
}

int KESysInit(const KESysInitInfo* info) {
    if (info->window == nullptr) return 0;
    sys.window = info->window;
    sys.frameRate = info->frameRate;
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // The software renderer presents through the window system's own
    // framebuffer: handing each frame to OpenGL as a texture first took
    // longer than drawing it on a machine without a GPU.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    bool created = info->window->window == nullptr
                       ? createHeadlessRenderer(info->window->width, info->window->height)
                       : createWindowRenderer(info->window->window);
    if (!created) return 0;
    if (!sys.options.headless && !kestrel::startPads())
        std::fprintf(stderr, "halcyra: no gamepad support (%s); the keyboard plays\n", SDL_GetError());
    sys.windowExists = true;
    sys.windowActive = true;
    return 1;
}

void KESysReset() {
    kestrel::resetInput();
    kestrel::resetDrawing();
    sys.frameTime = sys.options.fixedFrameTime > 0.0f ? sys.options.fixedFrameTime : 0.0f;
    sys.lastFrameEnd = Clock::now();
}

void KESysFrameStart() {
    ++sys.framesStarted;
    if ((sys.window != nullptr && sys.window->window != nullptr) || kestrel::padsStarted()) pumpMessages();
    kestrel::clearFrame();
}

void KESysFrameEnd() {
    SDL_RenderPresent(sys.renderer);
    paceFrame();
}

const char* KESysRendererName() {
    SDL_RendererInfo info;
    if (sys.renderer == nullptr || SDL_GetRendererInfo(sys.renderer, &info) != 0) return "none";
    return info.name;
}

int KESysDoesWindowExist() {
    return sys.windowExists ? 1 : 0;
}

bool KESysIsWindowActive() {
    return sys.windowActive;
}

void KESysExit() {
    kestrel::releaseDrawing();
    if (sys.renderer != nullptr) SDL_DestroyRenderer(sys.renderer);
    if (sys.offscreen != nullptr) SDL_FreeSurface(sys.offscreen);
    if (sys.window != nullptr && sys.window->window != nullptr) SDL_DestroyWindow(sys.window->window);
    delete sys.window;
    kestrel::closePads();
    kestrel::releaseInput();
    sys.renderer = nullptr;
    sys.offscreen = nullptr;
    sys.window = nullptr;
    sys.windowExists = false;
    SDL_Quit();
    sys.videoStarted = false;
}

float KEFrameRateControllerGetFrameTime() {
    return sys.frameTime;
}

uint64_t KEFrameRateControllerGetFrameCount() {
    return sys.framesStarted;
}

void KEInputShowCursor(int show) {
    if (sys.videoStarted) SDL_ShowCursor(show != 0 ? SDL_ENABLE : SDL_DISABLE);
}
