#include "Engine/Kestrel.h"

#include "Debug/Debug.h"
#include "Engine/Gamepad.h"
#include "Engine/KeyCodes.h"

#include <SDL.h>
#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

struct KEWindow {
    SDL_Window* window;  // null when headless
    int width;
    int height;
};

struct KEMesh {
    std::vector<KEVertex> vertices;
};

struct KETexture {
    SDL_Texture* texture;
    float width;  // texels
    float height;
    bool opaque;  // every texel's alpha is full
};

namespace {

using Clock = std::chrono::steady_clock;

constexpr int HEADLESS_DESKTOP_WIDTH = 896;
constexpr int HEADLESS_DESKTOP_HEIGHT = 504;

struct KeyEvent {
    int key;
    bool down;
};

struct InputTable {
    std::array<bool, KEY_CODE_COUNT> held{};
    std::array<bool, KEY_CODE_COUNT> triggered{};
    std::array<bool, KEY_CODE_COUNT> released{};
    std::vector<KeyEvent> pending;
    bool anyKeyDown = false;  // set by a key going down, cleared by any key coming up
    // Each source's own view: a key is down while either holds it.
    KeySet keyboardHeld;
    KeySet padHeld;
};

struct OpenPad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    float stickX;
    float stickY;
    Gamepad state;
};

struct PadInput {
    bool started = false;
    std::vector<OpenPad> pads;
    SDL_Joystick* virtualPad = nullptr;  // our own handle, to move its buttons and stick
};

struct DrawState {
    KERenderMode renderMode = KE_RENDER_TEXTURED;
    KETexture* texture = nullptr;
    float uOffset = 0.0f;
    float vOffset = 0.0f;
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    Matrix3 transform{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    SDL_BlendMode blendMode = SDL_BLENDMODE_BLEND;
    SDL_Color background{0, 0, 0, 255};
};

struct Engine {
    KEPlatformOptions options;
    bool videoStarted = false;
    KEWindow* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* offscreen = nullptr;  // headless render target
    bool windowExists = false;
    KEWindowProc windowProc = KESysDefaultWindowProc;
    int frameRate = 144;
    Clock::time_point lastFrameEnd;
    float frameTime = 0.0f;
    uint64_t framesStarted = 0;
    InputTable input;
    PadInput pads;
    DrawState draw;
    bool rasterising = true;
    bool fastPaths = true;
    long meshDraws = 0;
    std::unique_ptr<KEMesh> meshInProgress;
    std::vector<SDL_Vertex> scratch;  // reused by every draw: no allocation per frame
};

Engine engine;

Uint8 toByte(float unit) {
    return static_cast<Uint8>(std::clamp(unit, 0.0f, 1.0f) * 255.0f + 0.5f);
}

// Without a display SDL falls back to drivers that show nothing; a player
// would face a game running in an invisible window. Those drivers count only
// when asked for by name.
bool isInvisibleDriver(const char* driver) {
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    bool invisible = SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
    return invisible && (requested == nullptr || SDL_strcmp(requested, driver) != 0);
}

void startVideo() {
    if (engine.videoStarted) return;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        FATAL_ERROR("No display could be opened (%s). Run with --headless, or under xvfb-run.",
                    SDL_GetError());
    engine.videoStarted = true;
    if (isInvisibleDriver(SDL_GetCurrentVideoDriver()))
        FATAL_ERROR("No display could be opened. Run with --headless, or under xvfb-run.");
}

// Physical key positions map to the virtual-key codes of a US layout, so
// W A S D and the key left of 1 stay where the player's fingers expect them.
int virtualKeyFromScancode(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return KEY_A + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return KEY_0 + 1 + (scancode - SDL_SCANCODE_1);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return KEY_F1 + (scancode - SDL_SCANCODE_F1);
    switch (scancode) {
        case SDL_SCANCODE_0:
            return KEY_0;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER:
            return KEY_ENTER;
        case SDL_SCANCODE_ESCAPE:
            return KEY_ESCAPE;
        case SDL_SCANCODE_SPACE:
            return KEY_SPACE;
        case SDL_SCANCODE_BACKSPACE:
            return KEY_BACKSPACE;
        case SDL_SCANCODE_TAB:
            return KEY_TAB;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT:
            return KEY_SHIFT;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL:
            return KEY_CONTROL;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT:
            return KEY_ALT;
        case SDL_SCANCODE_LEFT:
            return KEY_LEFT;
        case SDL_SCANCODE_UP:
            return KEY_UP;
        case SDL_SCANCODE_RIGHT:
            return KEY_RIGHT;
        case SDL_SCANCODE_DOWN:
            return KEY_DOWN;
        case SDL_SCANCODE_GRAVE:
            return KEY_GRAVE;
        default:
            return -1;
    }
}

void dispatch(unsigned message, unsigned long wParam) {
    engine.windowProc(engine.window, message, wParam, 0);
}

void handleWindowEvent(const SDL_WindowEvent& event) {
    if (event.event == SDL_WINDOWEVENT_FOCUS_GAINED) dispatch(KE_WM_ACTIVATEAPP, 1);
    if (event.event == SDL_WINDOWEVENT_FOCUS_LOST) dispatch(KE_WM_ACTIVATEAPP, 0);
}

void handleKeyEvent(const SDL_KeyboardEvent& event) {
    if (event.repeat != 0) return;
    int key = virtualKeyFromScancode(event.keysym.scancode);
    if (key >= 0) KEInputPostKey(key, event.type == SDL_KEYDOWN);
}

void postKey(int key, bool down) {
    dispatch(down ? KE_WM_KEYDOWN : KE_WM_KEYUP, static_cast<unsigned long>(key));
    engine.input.pending.push_back({key, down});
    engine.input.anyKeyDown = down;
}

// The controller buttons the game hears, in KEPadButton's order.
constexpr std::array<SDL_GameControllerButton, KE_PAD_BUTTON_COUNT> PAD_BUTTONS = {
    SDL_CONTROLLER_BUTTON_A,         SDL_CONTROLLER_BUTTON_B,         SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_DPAD_UP,   SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT};
constexpr float AXIS_FULL_TRAVEL = 32767.0f;

KEPadButton padButtonFromSDL(int button) {
    const auto found = std::find(PAD_BUTTONS.begin(), PAD_BUTTONS.end(), button);
    return static_cast<KEPadButton>(found - PAD_BUTTONS.begin());
}

float axisUnit(Sint16 value) {
    return std::max(static_cast<float>(value) / AXIS_FULL_TRAVEL, -1.0f);
}

bool startPads() {
    if (engine.pads.started) return true;
    // A headless run keeps its default signals: Ctrl+C ends it at once.
    if (engine.options.headless) SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    engine.pads.started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    return engine.pads.started;
}

// The keys every controller holds, posted where they changed; a key the
// keyboard holds stays down whatever the pads do.
void postPadKeys() {
    KeySet held;
    for (const OpenPad& pad : engine.pads.pads) pad.state.addHeldKeys(&held);
    const KeySet changed = held ^ engine.input.padHeld;
    engine.input.padHeld = held;
    for (size_t key = 0; key < changed.size(); ++key)
        if (changed[key] && !engine.input.keyboardHeld[key]) postKey(static_cast<int>(key), held[key]);
}

std::vector<OpenPad>::iterator findPad(SDL_JoystickID id) {
    return std::find_if(engine.pads.pads.begin(), engine.pads.pads.end(),
                        [id](const OpenPad& pad) { return pad.id == id; });
}

// What a controller already holds when it is opened counts as pressed now.
void readPadState(OpenPad* pad) {
    for (int button = 0; button < KE_PAD_BUTTON_COUNT; ++button)
        pad->state.setButton(static_cast<KEPadButton>(button),
                             SDL_GameControllerGetButton(pad->controller, PAD_BUTTONS[button]) != 0);
    pad->stickX = axisUnit(SDL_GameControllerGetAxis(pad->controller, SDL_CONTROLLER_AXIS_LEFTX));
    pad->stickY = axisUnit(SDL_GameControllerGetAxis(pad->controller, SDL_CONTROLLER_AXIS_LEFTY));
    pad->state.setStick(pad->stickX, pad->stickY);
}

void openPad(int deviceIndex) {
    // A headless run is a test's or a script's: a controller lying on the
    // machine must not walk it.
    if (engine.options.headless && SDL_JoystickIsVirtual(deviceIndex) == SDL_FALSE) return;
    if (findPad(SDL_JoystickGetDeviceInstanceID(deviceIndex)) != engine.pads.pads.end()) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) {
        std::fprintf(stderr, "halcyra: a gamepad was plugged in but could not be opened (%s)\n", SDL_GetError());
        return;
    }
    OpenPad pad{controller, SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)), 0.0f, 0.0f, {}};
    readPadState(&pad);
    engine.pads.pads.push_back(pad);
    postPadKeys();
}

// A joystick SDL has no game controller mapping for cannot be read as a pad;
// say so, since the player will otherwise press its buttons to no effect.
void noteJoystickWithoutMapping(int deviceIndex) {
    if (SDL_IsGameController(deviceIndex) == SDL_TRUE) return;
    if (engine.options.headless && SDL_JoystickIsVirtual(deviceIndex) == SDL_FALSE) return;
    const char* name = SDL_JoystickNameForIndex(deviceIndex);
    std::fprintf(stderr,
                 "halcyra: the joystick '%s' is not a game controller SDL knows; a mapping in "
                 "SDL_GAMECONTROLLERCONFIG makes it one\n",
                 name != nullptr ? name : "(unnamed)");
}

void closePad(SDL_JoystickID id) {
    const auto pad = findPad(id);
    if (pad == engine.pads.pads.end()) return;
    SDL_GameControllerClose(pad->controller);
    engine.pads.pads.erase(pad);
    postPadKeys();
}

void handlePadButton(const SDL_ControllerButtonEvent& event) {
    const auto pad = findPad(event.which);
    if (pad == engine.pads.pads.end()) return;
    pad->state.setButton(padButtonFromSDL(event.button), event.state == SDL_PRESSED);
    postPadKeys();
}

void handlePadAxis(const SDL_ControllerAxisEvent& event) {
    const auto pad = findPad(event.which);
    if (pad == engine.pads.pads.end()) return;
    if (event.axis == SDL_CONTROLLER_AXIS_LEFTX) pad->stickX = axisUnit(event.value);
    if (event.axis == SDL_CONTROLLER_AXIS_LEFTY) pad->stickY = axisUnit(event.value);
    pad->state.setStick(pad->stickX, pad->stickY);
    postPadKeys();
}

void closePads() {
    for (const OpenPad& pad : engine.pads.pads) SDL_GameControllerClose(pad.controller);
    if (engine.pads.virtualPad != nullptr) SDL_JoystickClose(engine.pads.virtualPad);
    engine.pads = PadInput{};
}

void pumpMessages() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
            case SDL_QUIT:
                engine.windowExists = false;
                dispatch(KE_WM_DESTROY, 0);
                break;
            case SDL_WINDOWEVENT:
                handleWindowEvent(event.window);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                handleKeyEvent(event.key);
                break;
            case SDL_JOYDEVICEADDED:
                noteJoystickWithoutMapping(event.jdevice.which);
                break;
            case SDL_CONTROLLERDEVICEADDED:
                openPad(event.cdevice.which);
                break;
            case SDL_CONTROLLERDEVICEREMOVED:
                closePad(event.cdevice.which);
                break;
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                handlePadButton(event.cbutton);
                break;
            case SDL_CONTROLLERAXISMOTION:
                handlePadAxis(event.caxis);
                break;
            default:
                break;
        }
    }
}

void paceFrame() {
    if (engine.options.fixedFrameTime > 0.0f) {
        engine.frameTime = engine.options.fixedFrameTime;
        return;
    }
    Clock::time_point earliest =
        engine.lastFrameEnd + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                  1.0 / static_cast<double>(std::max(engine.frameRate, 1))));
    std::this_thread::sleep_until(earliest);
    Clock::time_point now = Clock::now();
    engine.frameTime = std::chrono::duration<float>(now - engine.lastFrameEnd).count();
    engine.lastFrameEnd = now;
}

bool createHeadlessRenderer(int width, int height) {
    engine.offscreen = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (engine.offscreen == nullptr) return false;
    engine.renderer = SDL_CreateSoftwareRenderer(engine.offscreen);
    return engine.renderer != nullptr;
}

bool createWindowRenderer(SDL_Window* window) {
    engine.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (engine.renderer == nullptr) engine.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    return engine.renderer != nullptr;
}

// Blended at an alpha of 0 everywhere, a draw leaves every pixel as it was.
// The blackout and the notification bar spend most frames like that, over
// the whole screen or a band of it.
bool drawsNothing(const DrawState& state) {
    return state.blendMode == SDL_BLENDMODE_BLEND && toByte(state.tint[3]) == 0;
}

// An opaque texture drawn at full opacity covers what is under it: copying
// it without blending gives the same pixels, several times faster on the
// software renderer (a journal page covers the whole screen).
SDL_BlendMode textureBlendMode(const DrawState& state) {
    const bool covers = state.texture->opaque && toByte(state.tint[3]) == 255;
    return engine.fastPaths && covers ? SDL_BLENDMODE_NONE : state.blendMode;
}

SDL_Color vertexColor(uint32_t packed, const float tint[4]) {
    return SDL_Color{toByte(static_cast<float>((packed >> 16) & 0xFF) / 255.0f * tint[0]),
                     toByte(static_cast<float>((packed >> 8) & 0xFF) / 255.0f * tint[1]),
                     toByte(static_cast<float>(packed & 0xFF) / 255.0f * tint[2]),
                     toByte(static_cast<float>((packed >> 24) & 0xFF) / 255.0f * tint[3])};
}

}  // namespace

long KESysDefaultWindowProc(KEWindow*, unsigned, unsigned long, long) {
    return 0;
}

void KESysConfigure(const KEPlatformOptions& options) {
    engine.options = options;
}

bool KESysIsHeadless() {
    return engine.options.headless;
}

void KESysGetDesktopSize(int* width, int* height) {
    if (engine.options.desktopWidth > 0 && engine.options.desktopHeight > 0) {
        *width = engine.options.desktopWidth;
        *height = engine.options.desktopHeight;
        return;
    }
    if (engine.options.headless) {
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
    KEWindow* window = DEBUG_NEW(KEWindow, "KESysCreateWindow", KEWindow{nullptr, width, height});
    if (engine.options.headless) return window;
    startVideo();
    Uint32 flags =
        SDL_WINDOW_SHOWN | (engine.options.windowed ? 0u : static_cast<Uint32>(SDL_WINDOW_BORDERLESS));
    window->window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (window->window == nullptr) FATAL_ERROR("Unable to create the game window: %s", SDL_GetError());
    return window;
}

void KESysSetFullScreen(KEWindow* window) {
    if (window->window == nullptr || engine.options.windowed) return;
    SDL_SetWindowFullscreen(window->window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void KESysBringToForeground(KEWindow* window) {
    if (window->window != nullptr) SDL_RaiseWindow(window->window);
}

void KESysShowMessageBox(const char* title, const char* text) {
    if (!engine.options.headless && SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) == 0)
        return;
    std::fprintf(stderr, "%s: %s\n", title, text);
}

int KESysInit(const KESysInitInfo* info) {
    if (info->window == nullptr) return 0;
    engine.window = info->window;
    engine.windowProc = info->windowProc != nullptr ? info->windowProc : KESysDefaultWindowProc;
    engine.frameRate = info->frameRate;
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    bool created = info->window->window == nullptr
                       ? createHeadlessRenderer(info->window->width, info->window->height)
                       : createWindowRenderer(info->window->window);
    if (!created) return 0;
    if (!engine.options.headless && !startPads())
        std::fprintf(stderr, "halcyra: no gamepad support (%s); the keyboard plays\n", SDL_GetError());
    engine.windowExists = true;
    engine.scratch.reserve(1024);
    return 1;
}

void KESysReset() {
    engine.input = InputTable{};
    engine.draw = DrawState{};
    engine.frameTime = engine.options.fixedFrameTime > 0.0f ? engine.options.fixedFrameTime : 0.0f;
    engine.lastFrameEnd = Clock::now();
    SDL_SetRenderDrawBlendMode(engine.renderer, engine.draw.blendMode);
}

void KESysFrameStart() {
    ++engine.framesStarted;
    if ((engine.window != nullptr && engine.window->window != nullptr) || engine.pads.started) pumpMessages();
    const SDL_Color& background = engine.draw.background;
    SDL_SetRenderDrawColor(engine.renderer, background.r, background.g, background.b, 255);
    SDL_RenderClear(engine.renderer);
}

void KESysFrameEnd() {
    SDL_RenderPresent(engine.renderer);
    paceFrame();
}

int KESysDoesWindowExist() {
    return engine.windowExists ? 1 : 0;
}

void KESysExit() {
    if (engine.renderer != nullptr) SDL_DestroyRenderer(engine.renderer);
    if (engine.offscreen != nullptr) SDL_FreeSurface(engine.offscreen);
    if (engine.window != nullptr && engine.window->window != nullptr)
        SDL_DestroyWindow(engine.window->window);
    delete engine.window;
    closePads();
    engine.renderer = nullptr;
    engine.offscreen = nullptr;
    engine.window = nullptr;
    engine.windowExists = false;
    engine.input.pending.clear();
    engine.input.pending.shrink_to_fit();
    engine.scratch.clear();
    engine.scratch.shrink_to_fit();
    SDL_Quit();
    engine.videoStarted = false;
}

bool KESysReadPixels(std::vector<unsigned char>* rgba, int* width, int* height) {
    if (engine.renderer == nullptr || SDL_GetRendererOutputSize(engine.renderer, width, height) != 0)
        return false;
    rgba->resize(static_cast<size_t>(*width) * static_cast<size_t>(*height) * 4);
    // ABGR8888 is R, G, B, A in memory on little-endian machines.
    return SDL_RenderReadPixels(engine.renderer, nullptr, SDL_PIXELFORMAT_ABGR8888, rgba->data(),
                                *width * 4) == 0;
}

bool KESysSaveScreenshot(const char* path) {
    std::vector<unsigned char> pixels;
    int width = 0;
    int height = 0;
    return KESysReadPixels(&pixels, &width, &height) &&
           stbi_write_png(path, width, height, 4, pixels.data(), width * 4) != 0;
}

float KEFrameRateControllerGetFrameTime() {
    return engine.frameTime;
}

uint64_t KEFrameRateControllerGetFrameCount() {
    return engine.framesStarted;
}

void KEInputPostKey(int key, bool down) {
    if (key < 0 || key >= KEY_CODE_COUNT) return;
    engine.input.keyboardHeld[static_cast<size_t>(key)] = down;
    if (!down && engine.input.padHeld[static_cast<size_t>(key)]) return;
    postKey(key, down);
}

void KEInputUpdate() {
    InputTable& input = engine.input;
    input.triggered.fill(false);
    input.released.fill(false);
    // Applied in order, so a press and release within one frame still
    // reports both edges.
    for (const KeyEvent& event : input.pending) {
        bool& held = input.held[static_cast<size_t>(event.key)];
        if (event.down && !held) input.triggered[static_cast<size_t>(event.key)] = true;
        if (!event.down && held) input.released[static_cast<size_t>(event.key)] = true;
        held = event.down;
    }
    input.pending.clear();
}

bool KEInputCheckCurr(int key) {
    return key >= 0 && key < KEY_CODE_COUNT && engine.input.held[static_cast<size_t>(key)];
}

bool KEInputCheckTriggered(int key) {
    return key >= 0 && key < KEY_CODE_COUNT && engine.input.triggered[static_cast<size_t>(key)];
}

bool KEInputCheckDownThisFrame(int key) {
    return KEInputCheckCurr(key) || KEInputCheckTriggered(key) || KEInputCheckReleased(key);
}

bool KEInputAnyKeyDown() {
    return engine.input.anyKeyDown;
}

bool KEInputCheckReleased(int key) {
    return key >= 0 && key < KEY_CODE_COUNT && engine.input.released[static_cast<size_t>(key)];
}

void KEInputShowCursor(int show) {
    if (engine.videoStarted) SDL_ShowCursor(show != 0 ? SDL_ENABLE : SDL_DISABLE);
}

void KEInputPlugVirtualPad() {
    if (engine.pads.virtualPad != nullptr) return;
    if (!startPads()) FATAL_ERROR("Unable to start gamepad input for the virtual pad: %s", SDL_GetError());
    SDL_VirtualJoystickDesc pad{};
    pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    pad.naxes = SDL_CONTROLLER_AXIS_MAX;
    pad.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    pad.name = "Halcyra virtual pad";
    const int index = SDL_JoystickAttachVirtualEx(&pad);
    if (index < 0 || (engine.pads.virtualPad = SDL_JoystickOpen(index)) == nullptr)
        FATAL_ERROR("Unable to plug in the virtual pad: %s", SDL_GetError());
}

void KEInputUnplugVirtualPad() {
    SDL_Joystick* pad = engine.pads.virtualPad;
    if (pad == nullptr) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
    SDL_JoystickClose(pad);
    engine.pads.virtualPad = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
}

void KEInputSetVirtualPadButton(KEPadButton button, bool down) {
    if (engine.pads.virtualPad == nullptr || button < 0 || button >= KE_PAD_BUTTON_COUNT) return;
    SDL_JoystickSetVirtualButton(engine.pads.virtualPad, PAD_BUTTONS[static_cast<size_t>(button)],
                                 down ? SDL_PRESSED : SDL_RELEASED);
}

void KEInputSetVirtualPadStick(float x, float y) {
    if (engine.pads.virtualPad == nullptr) return;
    auto travel = [](float unit) {
        return static_cast<Sint16>(std::lround(std::clamp(std::isnan(unit) ? 0.0f : unit, -1.0f, 1.0f) *
                                               AXIS_FULL_TRAVEL));
    };
    SDL_JoystickSetVirtualAxis(engine.pads.virtualPad, SDL_CONTROLLER_AXIS_LEFTX, travel(x));
    SDL_JoystickSetVirtualAxis(engine.pads.virtualPad, SDL_CONTROLLER_AXIS_LEFTY, travel(y));
}

int KEInputPadCount() {
    return static_cast<int>(engine.pads.pads.size());
}

// The origin is always the top left corner with y pointing down; the game
// asks for exactly that (mode 1).
void KEGfxSetBlendMode(KEBlendMode mode) {
    engine.draw.blendMode = mode == KE_BLEND_ALPHA ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE;
    if (engine.renderer != nullptr) SDL_SetRenderDrawBlendMode(engine.renderer, engine.draw.blendMode);
}

void KEGfxSetBackgroundColor(float red, float green, float blue) {
    engine.draw.background = SDL_Color{toByte(red), toByte(green), toByte(blue), 255};
}

void KEGfxSetRenderMode(KERenderMode mode) {
    engine.draw.renderMode = mode;
}

void KEGfxTextureSet(KETexture* texture, float uOffset, float vOffset) {
    engine.draw.texture = texture;
    engine.draw.uOffset = uOffset;
    engine.draw.vOffset = vOffset;
}

void KEGfxSetTintColor(float red, float green, float blue, float alpha) {
    float* tint = engine.draw.tint;
    tint[0] = red;
    tint[1] = green;
    tint[2] = blue;
    tint[3] = alpha;
}

// The game always passes (0, 0, 0, 0): no colour is blended in.
void KEGfxSetTransform(const Matrix3* transform) {
    engine.draw.transform = *transform;
}

void KEGfxMeshStart() {
    engine.meshInProgress = DEBUG_MAKE_UNIQUE(KEMesh, "KEGfxMeshStart");
}

void KEGfxTriAdd(float x0, float y0, uint32_t color0, float u0, float v0,  //
                 float x1, float y1, uint32_t color1, float u1, float v1,  //
                 float x2, float y2, uint32_t color2, float u2, float v2) {
    if (engine.meshInProgress == nullptr) KEGfxMeshStart();
    std::vector<KEVertex>& vertices = engine.meshInProgress->vertices;
    vertices.push_back({x0, y0, color0, u0, v0});
    vertices.push_back({x1, y1, color1, u1, v1});
    vertices.push_back({x2, y2, color2, u2, v2});
}

// SDL's software renderer draws an axis-aligned textured quad as a copy of
// the texels from u x width truncated: a coordinate a rounding error short of
// a texel edge would start one texel early. A thousandth of a texel on keeps
// every edge inside its texel and moves nothing visibly. Coordinates stay
// within [0, 1], outside which SDL gives up the copy.
static float nudge(float coordinate, float texels) {
    return coordinate < 1.0f ? std::min(coordinate + 0.001f / texels, 1.0f) : coordinate;
}

KEMesh* KEGfxMeshEnd() {
    if (engine.meshInProgress == nullptr) return DEBUG_NEW(KEMesh, "KEGfxMeshEnd");
    // The caller owns it from here until KEGfxMeshFree.
    return engine.meshInProgress.release();
}

void KEGfxMeshDraw(KEMesh* mesh) {
    if (mesh == nullptr || mesh->vertices.empty() || engine.renderer == nullptr) return;
    const DrawState& state = engine.draw;
    if (engine.fastPaths && drawsNothing(state)) return;
    const float(*m)[3] = state.transform.m;
    bool textured = state.renderMode == KE_RENDER_TEXTURED && state.texture != nullptr;
    // Textured draws show texel x tint; untextured ones vertex colour x tint.
    SDL_Color tint{toByte(state.tint[0]), toByte(state.tint[1]), toByte(state.tint[2]),
                   toByte(state.tint[3])};
    std::vector<SDL_Vertex>& out = engine.scratch;
    out.resize(mesh->vertices.size());
    for (size_t i = 0; i < mesh->vertices.size(); ++i) {
        const KEVertex& in = mesh->vertices[i];
        SDL_Vertex& vertex = out[i];
        // On whole pixels: SDL's software renderer copies and fills an
        // axis-aligned quad as a rectangle of whole pixels, cutting its corner
        // and its size down apart, which at a scale that is not whole left a
        // column of background between neighbouring tiles.
        vertex.position.x = std::round(m[0][0] * in.x + m[0][1] * in.y + m[0][2]);
        vertex.position.y = std::round(m[1][0] * in.x + m[1][1] * in.y + m[1][2]);
        vertex.color = state.renderMode == KE_RENDER_TEXTURED ? tint : vertexColor(in.color, state.tint);
        vertex.tex_coord.x = in.u + state.uOffset;
        vertex.tex_coord.y = in.v + state.vOffset;
        if (!textured) continue;
        vertex.tex_coord.x = nudge(vertex.tex_coord.x, state.texture->width);
        vertex.tex_coord.y = nudge(vertex.tex_coord.y, state.texture->height);
    }
    ++engine.meshDraws;
    if (!engine.rasterising) return;
    SDL_Texture* texture = textured ? state.texture->texture : nullptr;
    if (texture != nullptr) SDL_SetTextureBlendMode(texture, textureBlendMode(state));
    SDL_RenderGeometry(engine.renderer, texture, out.data(), static_cast<int>(out.size()), nullptr, 0);
}

void KEGfxSetRasterising(bool on) {
    engine.rasterising = on;
}

void KEGfxSetFastPaths(bool on) {
    engine.fastPaths = on;
}

long KEGfxMeshDrawCount() {
    return engine.meshDraws;
}

void KEGfxMeshFree(KEMesh* mesh) {
    delete mesh;
}

int KEGfxMeshVertexCount(const KEMesh* mesh) {
    return static_cast<int>(mesh->vertices.size());
}

KEVertex KEGfxMeshVertex(const KEMesh* mesh, int index) {
    return mesh->vertices.at(static_cast<size_t>(index));
}

// Every texel's alpha full, in 8-bit RGBA.
static bool isOpaque(const stbi_uc* pixels, int width, int height) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i)
        if (pixels[i * 4 + 3] != 255) return false;
    return true;
}

KETexture* KEGfxTextureLoad(const char* path) {
    if (engine.renderer == nullptr) return nullptr;
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(path, &width, &height, &channels, 4);
    if (pixels == nullptr) return nullptr;
    SDL_Texture* texture =
        SDL_CreateTexture(engine.renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, width, height);
    if (texture != nullptr) SDL_UpdateTexture(texture, nullptr, pixels, width * 4);
    const bool opaque = isOpaque(pixels, width, height);
    stbi_image_free(pixels);
    if (texture == nullptr) return nullptr;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    KETexture* result =
        new (std::nothrow) KETexture{texture, static_cast<float>(width), static_cast<float>(height), opaque};
    if (result == nullptr) SDL_DestroyTexture(texture);
    return result;
}

void KEGfxTextureUnload(KETexture* texture) {
    if (texture == nullptr) return;
    SDL_DestroyTexture(texture->texture);
    delete texture;
}

float KEClamp(float value, float low, float high) {
    return std::max(low, std::min(value, high));
}
