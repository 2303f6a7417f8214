// Game controllers, plugged in and out while the game runs, and the virtual
// pad of scripted runs: each presses keys in the key table.
#include "Debug/Debug.h"
#include "Engine/KestrelInternal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

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

PadInput pads;

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

// The keys every controller holds.
void postPadKeys() {
    KeySet held;
    for (const OpenPad& pad : pads.pads) pad.state.addHeldKeys(&held);
    kestrel::postPadKeys(held);
}

std::vector<OpenPad>::iterator findPad(SDL_JoystickID id) {
    return std::find_if(pads.pads.begin(), pads.pads.end(), [id](const OpenPad& pad) { return pad.id == id; });
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

// A headless run is a test's or a script's: a controller lying on the
// machine must not walk it.
bool isIgnored(int deviceIndex) {
    return KESysIsHeadless() && SDL_JoystickIsVirtual(deviceIndex) == SDL_FALSE;
}

void openPad(int deviceIndex) {
    if (isIgnored(deviceIndex)) return;
    if (findPad(SDL_JoystickGetDeviceInstanceID(deviceIndex)) != pads.pads.end()) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) {
        std::fprintf(stderr, "halcyra: a gamepad was plugged in but could not be opened (%s)\n", SDL_GetError());
        return;
    }
    OpenPad pad{controller, SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)), 0.0f, 0.0f, {}};
    readPadState(&pad);
    pads.pads.push_back(pad);
    postPadKeys();
}

// A joystick SDL has no game controller mapping for cannot be read as a pad;
// say so, since the player will otherwise press its buttons to no effect.
void noteJoystickWithoutMapping(int deviceIndex) {
    if (SDL_IsGameController(deviceIndex) == SDL_TRUE || isIgnored(deviceIndex)) return;
    const char* name = SDL_JoystickNameForIndex(deviceIndex);
    std::fprintf(stderr,
                 "halcyra: the joystick '%s' is not a game controller SDL knows; a mapping in "
                 "SDL_GAMECONTROLLERCONFIG makes it one\n",
                 name != nullptr ? name : "(unnamed)");
}

void closePad(SDL_JoystickID id) {
    const auto pad = findPad(id);
    if (pad == pads.pads.end()) return;
    SDL_GameControllerClose(pad->controller);
    pads.pads.erase(pad);
    postPadKeys();
}

void handlePadButton(const SDL_ControllerButtonEvent& event) {
    const auto pad = findPad(event.which);
    if (pad == pads.pads.end()) return;
    pad->state.setButton(padButtonFromSDL(event.button), event.state == SDL_PRESSED);
    postPadKeys();
}

void handlePadAxis(const SDL_ControllerAxisEvent& event) {
    const auto pad = findPad(event.which);
    if (pad == pads.pads.end()) return;
    if (event.axis == SDL_CONTROLLER_AXIS_LEFTX) pad->stickX = axisUnit(event.value);
    if (event.axis == SDL_CONTROLLER_AXIS_LEFTY) pad->stickY = axisUnit(event.value);
    pad->state.setStick(pad->stickX, pad->stickY);
    postPadKeys();
}

}  // namespace

bool kestrel::startPads() {
    if (pads.started) return true;
    // A headless run keeps its default signals: Ctrl+C ends it at once.
    if (KESysIsHeadless()) SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    pads.started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    return pads.started;
}

bool kestrel::padsStarted() {
    return pads.started;
}

bool kestrel::handlePadEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_JOYDEVICEADDED:
            noteJoystickWithoutMapping(event.jdevice.which);
            return true;
        case SDL_CONTROLLERDEVICEADDED:
            openPad(event.cdevice.which);
            return true;
        case SDL_CONTROLLERDEVICEREMOVED:
            closePad(event.cdevice.which);
            return true;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            handlePadButton(event.cbutton);
            return true;
        case SDL_CONTROLLERAXISMOTION:
            handlePadAxis(event.caxis);
            return true;
        default:
            return false;
    }
}

void kestrel::closePads() {
    for (const OpenPad& pad : pads.pads) SDL_GameControllerClose(pad.controller);
    if (pads.virtualPad != nullptr) SDL_JoystickClose(pads.virtualPad);
    pads = PadInput{};
}

void KEInputPlugVirtualPad() {
    if (pads.virtualPad != nullptr) return;
    if (!kestrel::startPads())
        FATAL_ERROR("Unable to start gamepad input for the virtual pad: %s", SDL_GetError());
    SDL_VirtualJoystickDesc pad{};
    pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    pad.naxes = SDL_CONTROLLER_AXIS_MAX;
    pad.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    pad.name = "Halcyra virtual pad";
    const int index = SDL_JoystickAttachVirtualEx(&pad);
    if (index < 0 || (pads.virtualPad = SDL_JoystickOpen(index)) == nullptr)
        FATAL_ERROR("Unable to plug in the virtual pad: %s", SDL_GetError());
}

void KEInputUnplugVirtualPad() {
    SDL_Joystick* pad = pads.virtualPad;
    if (pad == nullptr) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
    SDL_JoystickClose(pad);
    pads.virtualPad = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
}

void KEInputSetVirtualPadButton(KEPadButton button, bool down) {
    if (pads.virtualPad == nullptr || button < 0 || button >= KE_PAD_BUTTON_COUNT) return;
    SDL_JoystickSetVirtualButton(pads.virtualPad, PAD_BUTTONS[static_cast<size_t>(button)],
                                 down ? SDL_PRESSED : SDL_RELEASED);
}

void KEInputSetVirtualPadStick(float x, float y) {
    if (pads.virtualPad == nullptr) return;
    auto travel = [](float unit) {
        return static_cast<Sint16>(
            std::lround(std::clamp(std::isnan(unit) ? 0.0f : unit, -1.0f, 1.0f) * AXIS_FULL_TRAVEL));
    };
    SDL_JoystickSetVirtualAxis(pads.virtualPad, SDL_CONTROLLER_AXIS_LEFTX, travel(x));
    SDL_JoystickSetVirtualAxis(pads.virtualPad, SDL_CONTROLLER_AXIS_LEFTY, travel(y));
}

int KEInputPadCount() {
    return static_cast<int>(pads.pads.size());
}
