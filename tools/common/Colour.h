// The colours the image generators paint with, and how they become the
// bytes of a PNG.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

struct Colour {
    float r, g, b;
};

inline Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline Colour scaled(Colour c, float factor) {
    return {c.r * factor, c.g * factor, c.b * factor};
}

// A channel in [0, 1] as a byte, rounded.
inline unsigned char toByte(float channel) {
    return static_cast<unsigned char>(std::lround(std::clamp(channel, 0.0f, 1.0f) * 255.0f));
}

// Opaque pixels as the RGB bytes a PNG writer takes.
inline std::vector<unsigned char> rgbBytes(const std::vector<Colour>& pixels) {
    std::vector<unsigned char> bytes;
    bytes.reserve(pixels.size() * 3);
    for (const Colour& p : pixels)
        for (float channel : {p.r, p.g, p.b}) bytes.push_back(toByte(channel));
    return bytes;
}
