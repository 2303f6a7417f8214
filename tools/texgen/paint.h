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

// An axis-aligned box in pixel edges: right and bottom lie just past its last pixels.
struct Box {
    float left, top, right, bottom;
};

// Signed distance from (px, py) to a box with corners rounded by radius,
// negative inside; (gx, gy) receives the outward direction of the nearest edge.
inline float boxDistance(const Box& box, float radius, float px, float py, float& gx, float& gy) {
    float cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    float qx = std::abs(px - cx) - ((box.right - box.left) / 2 - radius);
    float qy = std::abs(py - cy) - ((box.bottom - box.top) / 2 - radius);
    float sx = px < cx ? -1.0f : 1.0f, sy = py < cy ? -1.0f : 1.0f;
    if (qx > 0 && qy > 0) {
        float corner = std::hypot(qx, qy);
        gx = sx * qx / corner, gy = sy * qy / corner;
        return corner - radius;
    }
    if (qx > qy) {
        gx = sx, gy = 0;
        return qx - radius;
    }
    gx = 0, gy = sy;
    return qy - radius;
}

// A rounded box shaded as a surface lit from the upper left, over a band
// bevel pixels wide inside its rim. Raised (relief 1), its upper-left rim
// catches the light and its lower-right rim falls into shade; sunk (relief
// -1) the other way round. Puff swells it like a cushion. Surface gives
// the unlit colour of each pixel.
template <class Surface>
void shapedBox(Image& image, Box box, float radius, Surface surface, float bevel, float puff, float relief) {
    float cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    float halfWidth = (box.right - box.left) / 2, halfHeight = (box.bottom - box.top) / 2;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f, gx = 0, gy = 0;
            float d = boxDistance(box, radius, px, py, gx, gy);
            float coverage = std::clamp(0.5f - d, 0.0f, 1.0f);
            if (coverage <= 0) continue;
            float rim = std::exp(std::min(d, 0.0f) / bevel);
            float facing = -(gx + gy) * 0.7071f * relief;
            float u = (px - cx) / halfWidth, v = (py - cy) / halfHeight;
            float lit = 1 + 0.32f * facing * rim - 0.1f * rim +
                        puff * (0.14f - 0.07f * (u * u + v * v) - 0.1f * (u + v));
            image.blend(x, y, shade(surface(x, y), lit), coverage);
        }
}

template <class Surface>
void panel(Image& image, Box box, float radius, Surface surface, float bevel, float puff = 0) {
    shapedBox(image, box, radius, surface, bevel, puff, 1);
}

inline void panel(Image& image, Box box, float radius, Rgba colour, float bevel, float puff = 0) {
    panel(
        image, box, radius, [colour](int, int) { return colour; }, bevel, puff);
}

// A basin or recess: a rounded box sunk into what lies round it.
template <class Surface>
void hollow(Image& image, Box box, float radius, Surface surface, float bevel) {
    shapedBox(image, box, radius, surface, bevel, 0, -1);
}

inline void hollow(Image& image, Box box, float radius, Rgba colour, float bevel) {
    hollow(
        image, box, radius, [colour](int, int) { return colour; }, bevel);
}

// A flat antialiased stroke of the given half width from a to b.
inline void stroke(Image& image, float ax, float ay, float bx, float by, float radius, Rgba colour) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float along = 0;
            float d = segmentDistance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, ax, ay, bx,
                                      by, along);
            image.blend(x, y, colour, std::clamp(radius - d + 0.5f, 0.0f, 1.0f));
        }
}

// A ring between two radii, shaded like a tube lit from the upper left.
inline void ring(Image& image, float cx, float cy, float inner, float outer, Rgba colour) {
    float middle = (inner + outer) / 2, half = (outer - inner) / 2;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float dx = static_cast<float>(x) + 0.5f - cx, dy = static_cast<float>(y) + 0.5f - cy;
            float d = std::hypot(dx, dy);
            float coverage = std::clamp(half - std::abs(d - middle) + 0.5f, 0.0f, 1.0f);
            if (coverage <= 0 || d <= 0) continue;
            float across = (d - middle) / half,
                  facing = -(dx + dy) / d * 0.7071f * (across < 0 ? -1.0f : 1.0f);
            float lit = 0.85f + 0.25f * std::sqrt(std::max(0.0f, 1 - across * across)) +
                        0.2f * facing * std::abs(across);
            image.blend(x, y, shade(colour, lit), coverage);
        }
}

// The object over its own soft shadow, cast down and to the right by a
// light from the upper left.
inline Image withShadow(const Image& object, int dx = 1, int dy = 2, float strength = 0.55f) {
    Image out(object.width, object.height);
    for (int y = 0; y < object.height; ++y)
        for (int x = 0; x < object.width; ++x) {
            float cover = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) {
                    int sx = x - dx + i, sy = y - dy + j;
                    if (sx >= 0 && sy >= 0 && sx < object.width && sy < object.height)
                        cover += object.at(sx, sy).a;
                }
            out.blend(x, y, {0.03f, 0.02f, 0.015f, 1}, strength * cover / 9);
        }
    for (int y = 0; y < object.height; ++y)
        for (int x = 0; x < object.width; ++x) out.blend(x, y, object.at(x, y), 1);
    return out;
}

// Frames side by side in one row, as the game reads an animation's sheet.
inline Image frameStrip(const std::vector<Image>& frames) {
    Image sheet(frames[0].width * static_cast<int>(frames.size()), frames[0].height);
    for (size_t i = 0; i < frames.size(); ++i)
        sheet.paste(frames[i], frames[0].width * static_cast<int>(i), 0);
    return sheet;
}

// A sheet of count frames, each painted by paint(frame).
template <class Painter>
Image paintFrames(int count, Painter paint) {
    std::vector<Image> frames;
    for (int f = 0; f < count; ++f) frames.push_back(paint(f));
    return frameStrip(frames);
}
