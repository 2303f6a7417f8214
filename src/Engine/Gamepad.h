// Gamepad: what one controller holds, as the keys the game reads. The game
// knows keys only; a controller presses them as the keyboard would.
#pragma once

#include "Engine/Kestrel.h"
#include "Engine/KeyCodes.h"

#include <array>
#include <bitset>

using KeySet = std::bitset<KEY_CODE_COUNT>;

// A stick pushed less than this far from its centre, as a share of its full
// travel, walks nowhere: worn sticks rest a little off centre.
inline constexpr float PAD_STICK_DEAD_ZONE = 0.3f;

class Gamepad {
public:
    void setButton(KEPadButton button, bool down);
    // Each axis from -1 to 1, y pointing down; values beyond are clamped.
    void setStick(float x, float y);
    // Adds the keys this controller holds to keys.
    void addHeldKeys(KeySet* keys) const;

private:
    void addStickKeys(KeySet* keys) const;

    std::array<bool, KE_PAD_BUTTON_COUNT> buttons{};
    float stickX = 0.0f;
    float stickY = 0.0f;
};
