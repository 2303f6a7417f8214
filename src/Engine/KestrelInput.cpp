// The key table: keys from the keyboard, a script or the controllers, held,
// pressed and let go frame by frame.
#include "Engine/KestrelInternal.h"
#include "Engine/KeyCodes.h"

#include <array>
#include <vector>

namespace {

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

InputTable input;

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

void postKey(int key, bool down) {
    input.pending.push_back({key, down});
    input.anyKeyDown = down;
}

bool isKeyCode(int key) {
    return key >= 0 && key < KEY_CODE_COUNT;
}

}  // namespace

void kestrel::handleKeyEvent(const SDL_KeyboardEvent& event) {
    if (event.repeat != 0) return;
    int key = virtualKeyFromScancode(event.keysym.scancode);
    if (key >= 0) KEInputPostKey(key, event.type == SDL_KEYDOWN);
}

// Posted where they changed; a key the keyboard holds stays down whatever
// the pads do.
void kestrel::postPadKeys(const KeySet& held) {
    const KeySet changed = held ^ input.padHeld;
    input.padHeld = held;
    for (size_t key = 0; key < changed.size(); ++key)
        if (changed[key] && !input.keyboardHeld[key]) postKey(static_cast<int>(key), held[key]);
}

void kestrel::resetInput() {
    input = InputTable{};
}

void kestrel::releaseInput() {
    input.pending.clear();
    input.pending.shrink_to_fit();
}

void KEInputPostKey(int key, bool down) {
    if (!isKeyCode(key)) return;
    input.keyboardHeld[static_cast<size_t>(key)] = down;
    if (!down && input.padHeld[static_cast<size_t>(key)]) return;
    postKey(key, down);
}

void KEInputUpdate() {
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
    return isKeyCode(key) && input.held[static_cast<size_t>(key)];
}

bool KEInputCheckTriggered(int key) {
    return isKeyCode(key) && input.triggered[static_cast<size_t>(key)];
}

bool KEInputCheckReleased(int key) {
    return isKeyCode(key) && input.released[static_cast<size_t>(key)];
}

bool KEInputCheckDownThisFrame(int key) {
    return KEInputCheckCurr(key) || KEInputCheckTriggered(key) || KEInputCheckReleased(key);
}

bool KEInputCheckPadHeld(int key) {
    return isKeyCode(key) && input.padHeld[static_cast<size_t>(key)];
}

bool KEInputAnyKeyDown() {
    return input.anyKeyDown;
}
