// A pair of floats: positions, sizes and scales in virtual pixels.
#pragma once

struct Vector2 {
    float x;
    float y;
};
