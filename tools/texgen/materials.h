// The house's furnishing materials and small fittings, shared by the
// painters of props.cpp and decor.cpp. Colours are those of the things
// under a warm candle: the game darkens them by its light.
#pragma once

#include "paint.h"

inline constexpr Rgba oak{0.54f, 0.36f, 0.19f, 1};
inline constexpr Rgba darkOak{0.38f, 0.24f, 0.13f, 1};
inline constexpr Rgba walnut{0.32f, 0.20f, 0.13f, 1};
inline constexpr Rgba pine{0.64f, 0.50f, 0.31f, 1};
inline constexpr Rgba brass{0.76f, 0.59f, 0.28f, 1};
inline constexpr Rgba gilt{0.70f, 0.54f, 0.25f, 1};
inline constexpr Rgba iron{0.24f, 0.23f, 0.22f, 1};
inline constexpr Rgba linen{0.82f, 0.78f, 0.68f, 1};
inline constexpr Rgba enamel{0.86f, 0.85f, 0.80f, 1};
inline constexpr Rgba gloom{0.08f, 0.06f, 0.05f, 1};

inline float asFloat(int v) {
    return static_cast<float>(v);
}

// Wood with its grain running along x (or along y when vertical).
inline Rgba woodGrain(int x, int y, Rgba tone, int seed, bool vertical = false) {
    float along = asFloat(vertical ? y : x), across = asFloat(vertical ? x : y);
    float grain = smoothNoise(along / 9, across / 1.6f, seed);
    float rings = std::sin((across + 3 * smoothNoise(along / 10, across / 4, seed + 1)) * 1.3f);
    return shade(tone, 0.82f + 0.22f * grain + 0.05f * rings + 0.05f * noise(x, y, seed + 2));
}

// Velvet or wool: a soft pile, brushed lighter and darker in patches.
inline Rgba velvet(int x, int y, Rgba tone, int seed) {
    float nap = smoothNoise(asFloat(x) / 4, asFloat(y) / 4, seed);
    return shade(tone, 0.88f + 0.18f * nap + 0.06f * noise(x, y, seed + 1));
}

// Leather: smooth, with a faint crazing of darker lines.
inline Rgba leather(int x, int y, Rgba tone, int seed) {
    float craze = std::abs(smoothNoise(asFloat(x) / 4, asFloat(y) / 4, seed) - 0.5f) < 0.03f ? 0.96f : 1.0f;
    return shade(tone, craze * (0.92f + 0.12f * smoothNoise(asFloat(x) / 6, asFloat(y) / 6, seed + 1)));
}

// Surfaces as the panel painter takes them.
inline auto grainOf(Rgba tone, int seed, bool vertical = false) {
    return [=](int x, int y) { return woodGrain(x, y, tone, seed, vertical); };
}
inline auto velvetOf(Rgba tone, int seed) {
    return [=](int x, int y) { return velvet(x, y, tone, seed); };
}
inline auto leatherOf(Rgba tone, int seed) {
    return [=](int x, int y) { return leather(x, y, tone, seed); };
}

// A button pulled into upholstery: a dimple of shade around a small dome.
inline void tuftButton(Image& image, float cx, float cy, Rgba fabric) {
    glow(image, cx, cy, 2.6f, shade(fabric, 0.45f), 1.2f);
    dome(image, cx, cy, 0.9f, 0.9f, shade(fabric, 1.1f));
}

// A brass knob or pull: a small dome with its glint to the upper left.
inline void knob(Image& image, float cx, float cy, float radius) {
    dome(image, cx, cy, radius, radius, brass);
    image.blend(static_cast<int>(cx - radius * 0.4f), static_cast<int>(cy - radius * 0.4f),
                {1, 0.95f, 0.8f, 1}, 0.6f);
}

// A four-pointed glint of light, rays reaching size pixels.
inline void sparkle(Image& image, float cx, float cy, float size, float strength) {
    const Rgba light{1.0f, 0.96f, 0.82f, 1};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float dx = std::abs(asFloat(x) + 0.5f - cx), dy = std::abs(asFloat(y) + 0.5f - cy);
            float rays = std::max(std::exp(-dy * 2.5f) * std::max(0.0f, 1 - dx / size),
                                  std::exp(-dx * 2.5f) * std::max(0.0f, 1 - dy / size));
            float core = std::max(0.0f, 1 - std::hypot(dx, dy) / 1.6f);
            image.blend(x, y, light, strength * std::min(1.0f, rays + core));
        }
}

// Hand-written lines on paper: broken dark strokes every two pixels.
inline void writing(Image& image, Box page, int seed) {
    for (int y = static_cast<int>(page.top) + 1; y < static_cast<int>(page.bottom) - 1; y += 2)
        for (int x = static_cast<int>(page.left) + 1; x < static_cast<int>(page.right) - 1; ++x)
            if (noise(x / 2, y, seed) < 0.7f) image.blend(x, y, {0.15f, 0.12f, 0.12f, 1}, 0.45f);
}

// A cup of tea on its saucer, the handle to the right.
inline void teacup(Image& image, float cx, float cy) {
    dome(image, cx, cy, 3.2f, 3.2f, enamel);
    ring(image, cx, cy, 1.4f, 2.4f, shade(enamel, 1.05f));
    disc(image, cx, cy, 1.5f, {0.30f, 0.17f, 0.09f, 1});
    stroke(image, cx + 2.3f, cy + 0.5f, cx + 3.4f, cy + 1.2f, 0.5f, enamel);
}

// A candle burnt down to a stub in a brass chamberstick, its finger loop
// to the right and wax run down one side.
inline void candleStub(Image& image, float cx, float cy) {
    ring(image, cx + 3.4f, cy + 0.6f, 0.5f, 1.5f, brass);
    dome(image, cx, cy, 3.2f, 3.2f, brass);
    dome(image, cx - 0.3f, cy - 0.3f, 2, 2, {0.92f, 0.88f, 0.76f, 1});
    dome(image, cx + 1.2f, cy + 1.4f, 1, 0.8f, {0.90f, 0.86f, 0.74f, 1});
    image.blend(static_cast<int>(cx - 0.3f), static_cast<int>(cy - 0.3f), {0.30f, 0.20f, 0.12f, 1}, 0.6f);
}
