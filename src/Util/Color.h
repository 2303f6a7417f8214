// The colour record shared by the whole game: the packed word that mesh
// vertices carry, and the four floats that tints and tweens use.
#pragma once

#include <cstdint>

struct Color {
    uint32_t packed;  // 0xAARRGGBB
    float opacity;
    float red;
    float green;
    float blue;
};

inline constexpr Color colourRed{0xFFFF0000u, 1.0f, 1.0f, 0.0f, 0.0f};
inline constexpr Color colourWhite{0xFFFFFFFFu, 1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr Color colourBlack{0xFF000000u, 1.0f, 0.0f, 0.0f, 0.0f};
