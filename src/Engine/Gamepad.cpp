#include "Engine/Gamepad.h"

#include <algorithm>
#include <cmath>

namespace {

// tan(22.5 degrees): the stick's eight directions are sectors of 45 degrees
// centred on the axes and diagonals, so an axis counts while the other is
// no more than this share of it larger.
constexpr float HALF_SECTOR_TANGENT = 0.41421356f;

constexpr int KEYS_OF_BUTTON_MAX = 2;

// A is Space (interact) and Enter (choose in a menu): only one of them means
// something on any screen.
constexpr std::array<std::array<int, KEYS_OF_BUTTON_MAX>, KE_PAD_BUTTON_COUNT> BUTTON_KEYS = {{
    {KEY_SPACE, KEY_ENTER},  // A
    {KEY_E, KEY_E},          // B closes a journal page
    {KEY_ESCAPE, KEY_ESCAPE},
    {KEY_UP, KEY_UP},
    {KEY_DOWN, KEY_DOWN},
    {KEY_LEFT, KEY_LEFT},
    {KEY_RIGHT, KEY_RIGHT},
}};

}  // namespace

void Gamepad::setButton(KEPadButton button, bool down) {
    if (button >= 0 && button < KE_PAD_BUTTON_COUNT) buttons[static_cast<size_t>(button)] = down;
}

void Gamepad::setStick(float x, float y) {
    // NaN compares false both ways; it rests the stick.
    stickX = std::isnan(x) ? 0.0f : std::clamp(x, -1.0f, 1.0f);
    stickY = std::isnan(y) ? 0.0f : std::clamp(y, -1.0f, 1.0f);
}

void Gamepad::addHeldKeys(KeySet* keys) const {
    for (size_t button = 0; button < buttons.size(); ++button)
        if (buttons[button])
            for (int key : BUTTON_KEYS[button]) keys->set(static_cast<size_t>(key));
    addStickKeys(keys);
}

void Gamepad::addStickKeys(KeySet* keys) const {
    if (stickX * stickX + stickY * stickY < PAD_STICK_DEAD_ZONE * PAD_STICK_DEAD_ZONE) return;
    const float across = std::fabs(stickX);
    const float along = std::fabs(stickY);
    if (across > along * HALF_SECTOR_TANGENT) keys->set(stickX < 0.0f ? KEY_LEFT : KEY_RIGHT);
    if (along > across * HALF_SECTOR_TANGENT) keys->set(stickY < 0.0f ? KEY_UP : KEY_DOWN);
}
