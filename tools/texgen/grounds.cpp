// Floors beyond the rooms: the drive and the mire's edge before the house at
// night, the roof's slates and leads in the storm, the cellar's brick and
// earth. Painted as under a warm candle, like the rooms' floors; features
// that cross a tile's edge come back at the opposite one, so every tile
// joins itself on all sides.
#include <tuple>

#include "materials.h"
#include "sheets.h"

namespace {

constexpr int tile = 32;

int wrap(int v) {
    return (v % tile + tile) % tile;
}

void plot(Image& image, int x, int y, Rgba colour, float coverage) {
    image.blend(wrap(x), wrap(y), colour, coverage);
}

// Value noise at a scale that divides the tile, so it repeats with it.
float tileNoise(int x, int y, int scale, int seed) {
    return smoothNoise(asFloat(x) / asFloat(scale), asFloat(y) / asFloat(scale), seed, tile / scale);
}

// Broad patches roughened by smaller ones.
float patches(int x, int y, int scale, int seed) {
    return 0.65f * tileNoise(x, y, scale, seed) + 0.35f * tileNoise(x, y, scale / 2, seed + 1);
}

float smoothstep(float edge0, float edge1, float v) {
    float t = std::clamp((v - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// The nearest of a grid of jittered points, one to each size x size cell,
// measured round the tile: the pebble or clod a pixel lies on.
struct Stone {
    int id;
    float rim;     // how far in from the stone's edge
    float dx, dy;  // from the stone's middle
};

Stone stoneAt(int x, int y, int size, int seed) {
    int cells = tile / size, cx = x / size, cy = y / size;
    float px = asFloat(x) + 0.5f, py = asFloat(y) + 0.5f, nearest = 1e9f, second = 1e9f;
    Stone stone{0, 0, 0, 0};
    for (int j = -2; j <= 2; ++j)
        for (int i = -2; i <= 2; ++i) {
            int id = ((cy + j + cells) % cells) * cells + (cx + i + cells) % cells;
            float sx = asFloat((cx + i) * size) + asFloat(size) * (0.2f + 0.6f * noise(id, 0, seed));
            float sy = asFloat((cy + j) * size) + asFloat(size) * (0.2f + 0.6f * noise(id, 1, seed));
            float d = std::hypot(px - sx, py - sy);
            if (d < nearest) {
                second = nearest, nearest = d;
                stone = {id, 0, px - sx, py - sy};
            } else if (d < second) {
                second = d;
            }
        }
    stone.rim = (second - nearest) / 2;
    return stone;
}

// A pixel of a laid block (sett, brick, slate) at (lx, ly) in a w x h
// block whose joint is its first row and column: how much of it is block,
// and how it is lit, raised toward a light at the upper left.
struct Block {
    float cover, lit;
};

Block blockAt(int lx, int ly, int w, int h, float radius, float bevel) {
    float gx = 0, gy = 0;
    float d =
        boxDistance({1, 1, asFloat(w), asFloat(h)}, radius, asFloat(lx) + 0.5f, asFloat(ly) + 0.5f, gx, gy);
    float rim = std::exp(std::min(d, 0.0f) / bevel);
    return {std::clamp(0.5f - d, 0.0f, 1.0f), 1 - 0.12f * rim - 0.3f * (gx + gy) * 0.7071f * rim};
}

const Rgba rainGlint{0.86f, 0.88f, 0.84f, 1};

// A tuft of blades springing from (x, y), fanning upward and bent over by
// the wind, lighter toward their tips; rain hangs on a few.
void tuft(Image& image, int x, int y, int seed, Rgba base, Rgba tip, float height) {
    plot(image, x, y + 1, gloom, 0.4f);
    int blades = 2 + static_cast<int>(noise(seed, 0, 401) * 3);
    for (int b = 0; b < blades; ++b) {
        float lean = 0.25f + (noise(seed, b, 402) - 0.5f) * 1.3f;
        int length = static_cast<int>(height * (0.6f + 0.5f * noise(seed, b, 403)));
        for (int t = 0; t <= length; ++t) {
            float along = asFloat(t) / asFloat(std::max(length, 1));
            int bend = static_cast<int>(std::lround(lean * asFloat(t) * (0.5f + 0.5f * along)));
            plot(image, x + bend, y - t, mix(base, tip, along), 1);
        }
        if (noise(seed, b, 404) < 0.06f) {
            int bend = static_cast<int>(std::lround(lean * asFloat(length)));
            plot(image, x + bend, y - length, rainGlint, 0.5f);
        }
    }
}

// Tufts on a jittered grid of pitch pixels, laid from the top down so the
// nearer overlap the farther.
void sward(Image& image, int pitch, int seed, Rgba base, Rgba tip, float height) {
    for (int row = 0; row < tile / pitch; ++row)
        for (int col = 0; col < tile / pitch; ++col) {
            int x = col * pitch + static_cast<int>(noise(col, row, seed) * asFloat(pitch));
            int y = row * pitch + static_cast<int>(noise(col, row, seed + 1) * asFloat(pitch));
            tuft(image, x, y, seed * 97 + row * 8 + col, base, tip, height);
        }
}

// A sodden leaf blown onto the ground, lying corner to corner, its edge
// toward the light paler and its midrib darker.
void leaf(Image& image, int cx, int cy, bool rising, Rgba colour) {
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            float a = asFloat(rising ? dx - dy : dx + dy) * 0.7071f,
                  b = asFloat(rising ? dx + dy : dy - dx) * 0.7071f;
            float d = std::pow(a / 3.4f, 2.0f) + std::pow(b / 1.6f, 2.0f);
            if (d >= 1) continue;
            float f = std::abs(b) < 0.5f ? 0.7f : (b < 0 ? 1.15f : 0.9f);
            plot(image, cx + dx, cy + dy, shade(colour, f), std::min(1.0f, (1 - d) * 4));
        }
}

// Dark, rain-soaked grass over peaty soil; fallen adds a few leaves.
Image grass(int seed, bool fallen) {
    Image image(tile, tile);
    const Rgba soil{0.12f, 0.10f, 0.07f, 1}, turf{0.14f, 0.19f, 0.09f, 1};
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            float p = patches(x, y, 8, seed);
            image.blend(x, y,
                        shade(mix(soil, turf, smoothstep(0.1f, 0.45f, p)), 0.85f + 0.2f * noise(x, y, seed)),
                        1);
        }
    sward(image, 4, seed, {0.16f, 0.22f, 0.09f, 1}, {0.33f, 0.40f, 0.19f, 1}, 4.5f);
    if (fallen) {
        const Rgba brown{0.44f, 0.26f, 0.11f, 1}, ochre{0.50f, 0.38f, 0.15f, 1};
        leaf(image, 9, 11, true, brown);
        leaf(image, 23, 24, false, ochre);
        leaf(image, 27, 6, true, mix(brown, ochre, 0.5f));
    }
    return image;
}

// Washed gravel, grey, buff and rust, over dark grit; each pebble domed
// toward the light, rain on the crowns of some.
Rgba gravelPixel(int x, int y, int seed) {
    const Rgba tones[4] = {{0.46f, 0.45f, 0.42f, 1},
                           {0.52f, 0.46f, 0.36f, 1},
                           {0.34f, 0.32f, 0.30f, 1},
                           {0.46f, 0.36f, 0.26f, 1}};
    Stone s = stoneAt(x, y, 4, seed);
    Rgba grit = shade({0.13f, 0.12f, 0.10f, 1}, 0.8f + 0.4f * noise(x, y, seed + 2));
    Rgba tone = tones[static_cast<int>(noise(s.id, 2, seed) * 4)];
    float lit = 0.95f - 0.14f * (s.dx + s.dy) + 0.08f * noise(x, y, seed + 3);
    Rgba stone = shade(tone, lit * (0.85f + 0.3f * noise(s.id, 4, seed)));
    if (s.dx + s.dy < -1.4f && s.rim > 1.2f && noise(s.id, 3, seed) < 0.3f)
        stone = mix(stone, rainGlint, 0.4f);
    float gap = 0.2f + 0.7f * noise(s.id, 5, seed);
    return mix(grit, stone, std::clamp((s.rim - gap) * 1.5f, 0.0f, 1.0f));
}

Image gravel(int seed) {
    Image image(tile, tile);
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) image.blend(x, y, gravelPixel(x, y, seed), 1);
    return image;
}

// Where a pixel lies from (cx, cy), measured round the tile, in radii of
// an oval.
struct Offset {
    float u, v;
};

Offset offset(int x, int y, float cx, float cy, float rx, float ry) {
    auto around = [](float d) { return d - asFloat(tile) * std::round(d / asFloat(tile)); };
    return {around(asFloat(x) + 0.5f - cx) / rx, around(asFloat(y) + 0.5f - cy) / ry};
}

// How far inside a ragged oval about (cx, cy) a pixel lies, in pixels;
// negative outside.
float inside(int x, int y, float cx, float cy, float rx, float ry, int seed) {
    Offset o = offset(x, y, cx, cy, rx, ry);
    float angle = std::atan2(o.v, o.u), ragged = 1;
    for (int k = 2; k <= 5; ++k)
        ragged += 0.2f / asFloat(k) * std::sin(asFloat(k) * angle + 6.283f * noise(k, 0, seed));
    return (ragged - std::hypot(o.u, o.v)) * std::min(rx, ry);
}

// Still water lying in a ragged oval over what is painted: the shore round
// it darkened by the wet, the water darker toward its middle as murk
// allows. The sky's last light lies on it toward the upper left and in
// ripples across it; its far bank is in shade, its near one catches the light.
void puddle(Image& image, float cx, float cy, float rx, float ry, float murk, int seed) {
    const Rgba deep{0.07f, 0.08f, 0.09f, 1}, sky{0.44f, 0.47f, 0.50f, 1}, light{0.66f, 0.64f, 0.58f, 1};
    Image ground = image;
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            float d = inside(x, y, cx, cy, rx, ry, seed);
            if (d <= -1.5f) continue;
            image.blend(x, y, gloom, 0.4f * murk * std::min(1.0f, 1 + d / 1.5f));
            if (d <= 0) continue;
            Offset o = offset(x, y, cx, cy, rx, ry);
            Rgba c = mix(shade(ground.at(x, y), 1 - 0.45f * murk), deep, murk * smoothstep(0, 3, d));
            c = mix(c, sky,
                    0.5f * std::exp(-2 * std::pow(o.u + 0.25f, 2.0f) - 5 * std::pow(o.v + 0.3f, 2.0f)));
            bool ripple = wrap(y - static_cast<int>(cy)) % 3 == 1 && noise(x / 3, y, seed) < 0.4f;
            if (ripple) c = mix(c, sky, 0.3f * smoothstep(0.5f, 2, d));
            if (inside(x - 1, y - 1, cx, cy, rx, ry, seed) <= 0) c = shade(c, 1 - 0.4f * murk);
            else if (inside(x + 1, y + 1, cx, cy, rx, ry, seed) <= 0) c = mix(c, light, 0.15f + 0.2f * murk);
            image.blend(x, y, c, std::clamp(d * 2, 0.0f, 1.0f));
        }
}

// Gravel with a rain puddle lying in a dip of the drive.
Image gravelPuddle(int seed) {
    Image image = gravel(seed);
    puddle(image, 17, 17, 11, 7, 0.6f, seed + 7);
    return image;
}

// Granite setts in courses eight pixels deep, three to a course of
// uneven widths, bedded in dark grit with moss in the joints.
Image setts(int seed) {
    Image image(tile, tile);
    const Rgba granite{0.45f, 0.43f, 0.40f, 1}, joint{0.11f, 0.11f, 0.08f, 1}, moss{0.20f, 0.26f, 0.11f, 1};
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            int course = y / 8;
            int w0 = 9 + static_cast<int>(noise(course, 0, seed) * 4),
                w1 = 9 + static_cast<int>(noise(course, 1, seed) * 4);
            int sx = wrap(x - static_cast<int>(noise(course, 2, seed) * tile));
            int index = sx < w0 ? 0 : (sx < w0 + w1 ? 1 : 2);
            int left = index == 0 ? 0 : (index == 1 ? w0 : w0 + w1),
                width = index == 2 ? tile - w0 - w1 : (index ? w1 : w0);
            Block b = blockAt(sx - left, y % 8, width, 8, 2, 1.8f);
            int id = course * 3 + index;
            Rgba stone = shade(mix(granite, {0.48f, 0.42f, 0.36f, 1}, noise(id, 3, seed)),
                               0.85f + 0.25f * noise(id, 4, seed));
            float speckle = noise(x, y, seed + 5);
            stone = shade(stone, b.lit * (speckle < 0.08f ? 0.7f : (speckle > 0.94f ? 1.25f : 1.0f)));
            if (b.lit > 1.12f && noise(id, 6, seed) < 0.5f) stone = mix(stone, rainGlint, 0.25f);
            Rgba bed = mix(joint, moss, tileNoise(x, y, 4, seed + 6));
            image.blend(x, y, mix(bed, stone, b.cover), 1);
        }
    return image;
}

// The lie of the peat: broad swells, roughened.
float peatHeight(int x, int y, int seed) {
    return patches(x, y, 8, seed) + 0.25f * tileNoise(x, y, 2, seed + 2);
}

// Black peat, soft and sodden: its swells glisten along the edge that
// faces the light, and water stands in its hollows, shaded under the far
// bank and catching the light along the near one.
Rgba peatPixel(int x, int y, int seed) {
    const Rgba peat{0.20f, 0.14f, 0.09f, 1}, sheen{0.46f, 0.44f, 0.42f, 1}, bogWater{0.10f, 0.09f, 0.085f, 1};
    const float shore = 0.45f;
    float h = peatHeight(x, y, seed);
    float facing = peatHeight(x - 1, y - 1, seed) - peatHeight(x + 1, y + 1, seed);
    Rgba c = shade(peat, 0.8f + 0.25f * h + 0.12f * (noise(x, y, seed + 1) - 0.5f) - facing);
    c = mix(c, sheen, 0.3f * smoothstep(0.04f, 0.14f, -facing));
    if (h >= shore) return c;
    Rgba standing = mix(bogWater, sheen, 0.1f + 0.15f * tileNoise(x, y, 4, seed + 4));
    if (peatHeight(x - 1, y - 1, seed) >= shore) standing = shade(standing, 0.6f);
    else if (peatHeight(x + 1, y + 1, seed) >= shore) standing = mix(standing, rainGlint, 0.2f);
    else if (noise(x, y, seed + 5) < 0.03f) standing = mix(standing, rainGlint, 0.3f);
    return standing;
}

// Strands of dead sedge and cushions of bog moss, rust, ochre and green.
void bogLitter(Image& image, int seed) {
    for (int i = 0; i < 14; ++i) {
        int x = static_cast<int>(noise(i, 0, seed) * tile), y = static_cast<int>(noise(i, 1, seed) * tile);
        int dx = noise(i, 2, seed) < 0.5f ? 1 : -1, length = 3 + static_cast<int>(noise(i, 3, seed) * 3);
        int fall = 1 + static_cast<int>(noise(i, 6, seed) * 3);
        for (int t = 0; t < length; ++t)
            plot(image, x + dx * t, y + t / fall, {0.42f, 0.33f, 0.20f, 1}, 0.5f);
    }
    const Rgba mosses[3] = {{0.46f, 0.22f, 0.11f, 1}, {0.48f, 0.37f, 0.15f, 1}, {0.28f, 0.32f, 0.13f, 1}};
    for (int i = 0; i < 2; ++i) {
        int x = static_cast<int>(noise(i, 4, seed) * tile), y = static_cast<int>(noise(i, 5, seed) * tile);
        for (int j = 0; j < 12; ++j) {
            int px = x + static_cast<int>(noise(i, 10 + j, seed) * 5) - 2;
            int py = y + static_cast<int>(noise(i, 30 + j, seed) * 4) - 2;
            plot(image, px, py, shade(mosses[(i + j) % 3], 0.8f + 0.4f * noise(j, i, seed)), 1);
        }
    }
}

Image peat(int seed) {
    Image image(tile, tile);
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) image.blend(x, y, peatPixel(x, y, seed), 1);
    bogLitter(image, seed + 11);
    return image;
}

const Rgba sedge{0.20f, 0.23f, 0.09f, 1}, sedgeTip{0.50f, 0.45f, 0.23f, 1};

// Peat with tussocks of rush and sedge standing out of it, clear of the
// tile's edges so that it joins the plain peat.
Image rushes(int seed) {
    Image image = peat(seed);
    for (int i = 0; i < 3; ++i) {
        int x = 8 + static_cast<int>(noise(i, 0, seed + 21) * 16),
            y = 10 + static_cast<int>(noise(i, 1, seed + 21) * 20);
        for (int j = 0; j < 4; ++j)
            tuft(image, x + j % 2 * 2 - 1, y + j / 2 * 2, seed * 31 + i * 4 + j, sedge, sedgeTip, 7);
    }
    return image;
}

// A still pool of bog water in a hollow of the peat, sedge at its shore.
Image pool(int seed) {
    Image image = peat(seed);
    puddle(image, 16, 15, 12, 9, 1, seed + 9);
    for (int i = 0; i < 3; ++i) tuft(image, 5 + i * 10, 29 - i % 2 * 3, seed * 7 + i, sedge, sedgeTip, 6);
    return image;
}

// A rosette of lichen on stone, pale yellow-green with a darker rim.
void lichen(Image& image, int cx, int cy, float radius, int seed) {
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            float d = std::hypot(asFloat(dx), asFloat(dy)) + 0.6f * noise(dx, dy, seed);
            if (d >= radius) continue;
            Rgba c = shade({0.60f, 0.58f, 0.34f, 1},
                           (d > radius - 1 ? 0.75f : 1.0f) * (0.85f + 0.3f * noise(dx, dy, seed + 1)));
            plot(image, cx + dx, cy + dy, c, 0.85f);
        }
}

// Wet slates in courses eight pixels deep, each slate's foot lying over
// the head of the course below and shading it; rain runs down them.
// Weathered adds lichen and a cracked slate.
Image slates(int seed, bool weathered) {
    Image image(tile, tile);
    const Rgba slate{0.30f, 0.31f, 0.35f, 1}, heather{0.34f, 0.29f, 0.34f, 1};
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            int course = y / 8, ly = y % 8, sx = wrap(x + course % 2 * 4), lx = sx % 8,
                id = course * 4 + sx / 8;
            Rgba c =
                shade(mix(slate, heather, noise(id, 0, seed) * 0.8f), 0.85f + 0.25f * noise(id, 1, seed));
            float laminae = 0.94f + 0.1f * smoothNoise(asFloat(x) / 4, asFloat(y), seed + 2, 8);
            float gloss = std::max(0.0f, 1 - asFloat(lx + ly) / 7) * 0.28f;
            float f = laminae + gloss;
            if (ly == 0) f *= 0.45f;  // in the shadow of the course above
            else if (ly == 1) f *= 0.75f;
            else if (ly == 7) f *= 0.8f;
            if (lx == 0) f *= 0.5f;
            else if (lx == 1) f *= 1.08f;
            c = shade(c, f);
            bool runnel = lx == 2 + static_cast<int>(noise(id, 2, seed) * 5) && noise(id, 3, seed) < 0.25f;
            if (runnel && ly > 3) c = mix(c, rainGlint, ly == 6 ? 0.45f : 0.1f);
            if (ly > 1 && lx > 0 && noise(x, y, seed + 3) < 0.025f)
                c = mix(c, rainGlint, 0.4f);  // beads of rain
            image.blend(x, y, c, 1);
        }
    if (weathered) {
        lichen(image, 6, 20, 2.5f, seed + 4);
        lichen(image, 26, 5, 2, seed + 5);
        lichen(image, 14, 28, 1.6f, seed + 6);
        for (int i = 0; i < 6; ++i) plot(image, 18 + i, 10 + i / 2 + i % 2, {0.06f, 0.06f, 0.07f, 1}, 0.85f);
    }
    return image;
}

// Sheet lead on a flat or gutter: dull blue-grey, clouded with white oxide,
// a wood-cored roll along its west edge and a drip where each sheet laps
// over the next to the south; standing adds rain lying on it.
Image lead(int seed, bool standing) {
    Image image(tile, tile);
    const Rgba metal{0.30f, 0.31f, 0.34f, 1}, oxide{0.52f, 0.53f, 0.52f, 1};
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            Rgba c = shade(metal, 0.9f + 0.16f * patches(x, y, 8, seed) + 0.04f * noise(x, y, seed));
            c = mix(c, oxide, std::max(0.0f, patches(x, y, 16, seed + 2) - 0.55f) * 0.9f);
            float dent = tileNoise(x, y, 4, seed + 4) - tileNoise(x + 1, y + 1, 4, seed + 4);
            c = shade(c, 1 + 0.25f * dent);
            float roll = asFloat(x) + 0.5f - (x < tile / 2 ? 0.0f : asFloat(tile));
            if (std::abs(roll) < 3)
                c = shade(metal, 1.1f - 0.18f * roll - (std::abs(roll) > 2 ? 0.3f : 0.0f));
            else if (roll > 0 && roll < 5) c = shade(c, 0.72f);
            if (y == tile - 1) c = shade(c, 0.7f);
            else if (y == 0) c = shade(c, 0.5f);
            else if (y == 1) c = shade(c, 0.8f);
            image.blend(x, y, c, 1);
        }
    if (standing) puddle(image, 17, 17, 10, 8, 0.3f, seed + 8);
    return image;
}

// Old cellar brick laid basket-weave, pairs of bricks turned by turns,
// grimy, some bricks darker with damp; decayed adds saltpetre blooming
// from the joints and a cracked brick.
Image cellarBricks(int seed, bool decayed) {
    Image image(tile, tile);
    const Rgba brick{0.44f, 0.25f, 0.17f, 1}, mortar{0.20f, 0.18f, 0.15f, 1}, salt{0.72f, 0.70f, 0.64f, 1};
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            bool across = (x / 16 + y / 16) % 2 == 0;
            int ux = x % 16, uy = y % 16;
            int lx = across ? ux : ux % 8, ly = across ? uy % 8 : uy;
            int id = (y / 16 * 2 + x / 16) * 2 + (across ? uy : ux) / 8;
            Block b = blockAt(lx, ly, across ? 16 : 8, across ? 8 : 16, 1.2f, 1.4f);
            Rgba c = mix(brick, {0.34f, 0.20f, 0.15f, 1}, noise(id, 0, seed));
            float damp = noise(id, 1, seed) < 0.3f ? 0.72f : 1.0f;
            float pits = noise(x, y, seed + 1) < 0.06f ? 0.7f : 1.0f;
            c = shade(c, b.lit * pits * damp * (0.9f + 0.14f * noise(x, y, seed + 2)));
            c = mix(mortar, c, b.cover);
            c = shade(c, 1 - 0.2f * smoothstep(0.45f, 0.75f, patches(x, y, 8, seed + 3)));
            float bloom = smoothstep(0.5f, 0.75f, patches(x, y, 8, seed + 4));
            if (decayed && b.cover < 1 && noise(x, y, seed + 5) < 0.7f * bloom) c = mix(c, salt, 0.5f);
            image.blend(x, y, c, 1);
        }
    if (decayed)
        for (int i = 0; i < 7; ++i) plot(image, 19 + i, 4 - i / 3 + i % 2, {0.07f, 0.05f, 0.04f, 1}, 0.85f);
    return image;
}

// Beaten earth, trodden smooth and darker where it is damp, small stones
// bedded in it, each with its shadow; stony adds three flints clear of
// the tile's edges, so that it joins the plain earth.
Image earth(int seed, bool stony) {
    Image image(tile, tile);
    const Rgba soil{0.33f, 0.26f, 0.19f, 1}, pebble{0.48f, 0.45f, 0.41f, 1};
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            float grit = noise(x, y, seed);
            float speck = grit < 0.05f ? -0.15f : (grit > 0.95f ? 0.15f : 0.0f);
            float damp = smoothstep(0.55f, 0.8f, patches(x, y, 16, seed + 6));
            Rgba c = shade(soil, 0.8f + 0.25f * patches(x, y, 16, seed + 1) +
                                     0.1f * tileNoise(x, y, 2, seed + 2) + speck - 0.25f * damp);
            Stone s = stoneAt(x, y, 8, seed + 3);
            float radius = 1 + 1.6f * noise(s.id, 2, seed);
            bool bedded = noise(s.id, 3, seed) < 0.3f;
            if (bedded && std::hypot(s.dx, s.dy) < radius) {
                Rgba stone = mix(pebble, {0.44f, 0.34f, 0.24f, 1}, noise(s.id, 4, seed));
                c = shade(stone, 1 - 0.25f * (s.dx + s.dy) / radius);
            } else if (bedded && std::hypot(s.dx - 1, s.dy - 1) < radius) {
                c = shade(c, 0.7f);
            }
            image.blend(x, y, c, 1);
        }
    if (stony)
        for (auto [x, y, r] : {std::tuple{9.5f, 11.5f, 2.6f}, {22.5f, 18.5f, 3.2f}, {13.5f, 25.5f, 2.2f}}) {
            glow(image, x + 1, y + 1.2f, r + 1.2f, gloom, 0.8f);
            dome(image, x, y, r, r * 0.8f, {0.52f, 0.50f, 0.47f, 1});
        }
    return image;
}

}  // namespace

// The variants of a floor share the seed of its ground, so that they join
// one another as well as themselves.
std::vector<Image> groundTiles() {
    return {
        grass(401, false),
        grass(401, true),
        gravel(411),
        gravelPuddle(411),
        setts(421),
        peat(431),
        rushes(431),
        pool(431),
        slates(441, false),
        slates(441, true),
        lead(451, false),
        lead(451, true),
        cellarBricks(461, false),
        cellarBricks(461, true),
        earth(471, false),
        earth(471, true),
    };
}
