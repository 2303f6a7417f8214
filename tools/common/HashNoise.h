// Noise hashed from positions, shared by the image generators: the same
// inputs always give the same values, so two runs write the same bytes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// Scrambles two integers and a seed into 32 well-mixed bits.
inline uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h =
        static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

// Repeatable white noise in [0, 1).
inline float unit(int x, int y, uint32_t seed) {
    return static_cast<float>(hash(x, y, seed) & 0xFFFF) / 65536.0f;
}

inline float smoothstep(float edge0, float edge1, float value) {
    float t = std::clamp((value - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// Value noise in [0, 1) with one lattice point per unit.
inline float valueNoise(float x, float y, uint32_t seed) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float sx = smoothstep(0, 1, x - static_cast<float>(ix)),
          sy = smoothstep(0, 1, y - static_cast<float>(iy));
    float top = unit(ix, iy, seed) + (unit(ix + 1, iy, seed) - unit(ix, iy, seed)) * sx;
    float bottom = unit(ix, iy + 1, seed) + (unit(ix + 1, iy + 1, seed) - unit(ix, iy + 1, seed)) * sx;
    return top + (bottom - top) * sy;
}

// Octaves of value noise, each twice as fine and half as strong: in [0, 1).
inline float cloudNoise(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, weight = 1, total = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += valueNoise(x, y, seed + static_cast<uint32_t>(octave)) * weight;
        total += weight;
        x *= 2, y *= 2, weight *= 0.5f;
    }
    return sum / total;
}
