// Drawing toolkit shared by the texture generator's painters.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    float r, g, b, a;
};

class Image {
public:
    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w * h), Rgba{0, 0, 0, 0}) {}

    Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }
    const Rgba& at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }

    // Paints colour over the pixel with the given coverage (source-over).
    void blend(int x, int y, Rgba colour, float coverage) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        Rgba& dst = at(x, y);
        float a = std::clamp(colour.a * coverage, 0.0f, 1.0f);
        float outA = a + dst.a * (1 - a);
        if (outA <= 0) return;
        dst.r = (colour.r * a + dst.r * dst.a * (1 - a)) / outA;
        dst.g = (colour.g * a + dst.g * dst.a * (1 - a)) / outA;
        dst.b = (colour.b * a + dst.b * dst.a * (1 - a)) / outA;
        dst.a = outA;
    }

    // Copies another image in with its top-left corner at (left, top).
    void paste(const Image& cell, int left, int top) {
        for (int y = 0; y < cell.height; ++y)
            for (int x = 0; x < cell.width; ++x)
                pixels[static_cast<size_t>((top + y) * width + left + x)] =
                    cell.pixels[static_cast<size_t>(y * cell.width + x)];
    }

    bool save(const std::string& path) const;

    int width, height;

private:
    std::vector<Rgba> pixels;
};

// Integer hash noise in [0, 1): repeatable on every machine.
inline float noise(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65536.0f;
}

// Value noise on a lattice that repeats every period cells on both axes
// (period 0: no repeat), so tiles built from it join without seams.
inline float smoothNoise(float x, float y, int seed, int period = 0) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(ix), fy = y - static_cast<float>(iy);
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto at = [&](int cx, int cy) {
        if (period > 0) cx = ((cx % period) + period) % period, cy = ((cy % period) + period) % period;
        return noise(cx, cy, seed);
    };
    float top = at(ix, iy) * (1 - sx) + at(ix + 1, iy) * sx;
    float bottom = at(ix, iy + 1) * (1 - sx) + at(ix + 1, iy + 1) * sx;
    return top * (1 - sy) + bottom * sy;
}

inline Rgba mix(Rgba a, Rgba b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

inline Rgba shade(Rgba c, float factor) { return {c.r * factor, c.g * factor, c.b * factor, c.a}; }

// Fills a disc with coverage antialiased over its rim.
inline void disc(Image& image, float cx, float cy, float radius, Rgba colour) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy);
            image.blend(x, y, colour, std::clamp(radius - d + 0.5f, 0.0f, 1.0f));
        }
}

// A soft round glow whose alpha falls off with distance.
inline void glow(Image& image, float cx, float cy, float radius, Rgba colour, float power) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy) / radius;
            if (d < 1) image.blend(x, y, colour, std::pow(1 - d, power));
        }
}

// Distance from (px, py) to the segment (ax, ay)-(bx, by); along receives
// where the nearest point lies on it (0 at a, 1 at b).
inline float segmentDistance(float px, float py, float ax, float ay, float bx, float by, float& along) {
    float dx = bx - ax, dy = by - ay;
    along = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - along * dx, py - ay - along * dy);
}

// A rounded body: an ellipse shaded like a dome lit from the upper left
// (toward the light it is brighter, at its rim darker), antialiased.
inline void dome(Image& image, float cx, float cy, float rx, float ry, Rgba colour) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float u = (static_cast<float>(x) + 0.5f - cx) / rx, v = (static_cast<float>(y) + 0.5f - cy) / ry;
            float d = std::hypot(u, v);
            float coverage = std::clamp((1 - d) * std::min(rx, ry) + 0.5f, 0.0f, 1.0f);
            if (coverage <= 0) continue;
            float lit = 0.75f + 0.35f * std::sqrt(std::max(0.0f, 1 - d * d)) - 0.18f * (u + v) * 0.5f;
            image.blend(x, y, shade(colour, lit), coverage);
        }
}

// A round-ended stroke from a to b, shaded like a dome across its width.
inline void limb(Image& image, float ax, float ay, float bx, float by, float radius, Rgba colour) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float along = 0;
            float d = segmentDistance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, ax, ay, bx, by,
                                      along);
            float coverage = std::clamp(radius - d + 0.5f, 0.0f, 1.0f);
            if (coverage <= 0) continue;
            float t = d / radius;
            image.blend(x, y, shade(colour, 0.8f + 0.3f * std::sqrt(std::max(0.0f, 1 - t * t))), coverage);
        }
}
