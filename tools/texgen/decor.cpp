// Furnishings and clutter for the rooms of the house, seen from above and
// lit from the upper left. What stands against a wall has its back to the
// north: its top is seen along the back, its front foreshortened below it,
// the way the walls show their faces.
#include "materials.h"
#include "sheets.h"

namespace {

const Rgba mahogany{0.44f, 0.22f, 0.15f, 1};
const Rgba plaster{0.70f, 0.66f, 0.58f, 1};
const Rgba leafGreen{0.32f, 0.44f, 0.22f, 1};
const Rgba terracotta{0.62f, 0.37f, 0.25f, 1};

// A case against the wall: the lit top along the back, the darker front below.
void carcass(Image& image, Box body, float topDepth, Rgba wood, int seed) {
    panel(image, body, 1, grainOf(shade(wood, 0.82f), seed), 1.2f);
    panel(image, {body.left, body.top, body.right, body.top + topDepth}, 1,
          grainOf(shade(wood, 1.15f), seed + 1), 1.5f);
}

// A row of books standing on a shelf, of many heights, widths and bindings.
void bookRow(Image& image, Box shelf, int seed) {
    const Rgba bindings[7] = {{0.46f, 0.17f, 0.14f, 1}, {0.24f, 0.34f, 0.23f, 1}, {0.22f, 0.24f, 0.36f, 1},
                              {0.58f, 0.45f, 0.29f, 1}, {0.38f, 0.25f, 0.17f, 1}, {0.38f, 0.22f, 0.30f, 1},
                              {0.20f, 0.18f, 0.17f, 1}};
    hollow(image, shelf, 0, gloom, 1);
    int i = 0;
    for (float x = shelf.left + 0.5f; x < shelf.right - 1.5f; ++i) {
        float width = 2 + std::floor(noise(i, 0, seed) * 2.99f);
        float top = shelf.top + 0.5f + std::floor(noise(i, 1, seed) * 2.5f);
        Rgba binding = bindings[static_cast<int>(noise(i, 2, seed) * 6.99f)];
        if (noise(i, 3, seed) < 0.08f) top = shelf.bottom - 2.5f;  // a book lying flat
        width = std::min(width, shelf.right - 0.5f - x);
        panel(image, {x, top, x + width, shelf.bottom}, 0.3f, binding, 0.8f);
        for (int px = static_cast<int>(x); px < static_cast<int>(x + width); ++px)
            image.blend(px, static_cast<int>(top) + 1, gilt, 0.45f);
        x += width;
    }
}

// A bookcase against the wall: its top board, and two shelves of books below.
Image bookshelf(int width, int seed) {
    Image image(width, 24);
    float right = asFloat(width) - 2;
    carcass(image, {1, 1, right, 22}, 7, darkOak, seed);
    bookRow(image, {3, 8, right - 2, 14}, seed + 1);
    bookRow(image, {3, 15, right - 2, 21}, seed + 2);
    stroke(image, 3, 14.5f, right - 2, 14.5f, 0.5f, shade(darkOak, 1.2f));
    return withShadow(image);
}

// A gilt frame of raised beading.
Rgba giltFrame(int x, int y) {
    return shade(gilt,
                 0.85f + 0.3f * noise(x / 2, y / 2, 401) * smoothNoise(asFloat(x) / 2, asFloat(y) / 2, 402));
}

// A moonlit landscape with a lone house, darkened by old varnish.
Rgba nightLandscape(int x, int y) {
    float horizon = 14 + 1.6f * std::sin(asFloat(x) * 0.35f) + smoothNoise(asFloat(x) / 4, 0, 403);
    bool house = x >= 11 && x <= 16 && y >= 11 - std::max(0, 3 - std::abs(x - 13)) && y < 15;
    if (x == 14 && y == 13) return {0.85f, 0.70f, 0.35f, 1};
    if (house || asFloat(y) > horizon) return {0.11f, 0.12f, 0.09f, 1};
    float moon = std::hypot(asFloat(x) - 28, asFloat(y) - 7.5f);
    if (moon < 2.2f) return {0.86f, 0.84f, 0.72f, 1};
    return mix({0.15f, 0.19f, 0.23f, 1}, {0.30f, 0.31f, 0.30f, 1},
               std::clamp((asFloat(y) - 4) / 10, 0.0f, 1.0f));
}

// A large painting leaning against the wall, foreshortened below its top edge.
Image painting() {
    Image image(40, 24);
    panel(image, {2, 1, 38, 22}, 0.5f, giltFrame, 1.5f);
    panel(image, {5, 4, 35, 19}, 0, nightLandscape, 1.5f);
    hollow(image, {4.5f, 3.5f, 35.5f, 19.5f}, 0, {0, 0, 0, 0.25f}, 1);
    return withShadow(image, 1, 2, 0.6f);
}

// Patchwork: squares of faded rose, wine, old gold and sage, their seams stitched.
Rgba patchwork(int x, int y) {
    const Rgba patches[4] = {{0.54f, 0.36f, 0.34f, 1},
                             {0.42f, 0.24f, 0.25f, 1},
                             {0.58f, 0.48f, 0.30f, 1},
                             {0.38f, 0.44f, 0.34f, 1}};
    Rgba cloth = patches[static_cast<int>(noise(x / 6, y / 6, 301) * 3.99f)];
    if (x % 6 == 0 || y % 6 == 0) cloth = shade(cloth, 0.8f);
    return velvet(x, y, cloth, 301);
}

// A double bed: a carved headboard to the north, two pillows, the sheet
// turned down over a patchwork quilt, a footboard and four turned posts.
Image bed() {
    Image image(56, 80);
    panel(image, {2, 2, 54, 78}, 2, grainOf(walnut, 302, true), 1.5f);
    panel(image, {5, 8, 51, 75}, 2, linen, 1.5f, 0.5f);
    for (float left : {7.0f, 29.0f})
        panel(image, {left, 10, left + 20, 23}, 4, shade(linen, 1.05f), 2.5f, 1.8f);
    panel(image, {3, 29, 53, 75}, 3, patchwork, 2, 0.6f);
    panel(image, {3, 26, 53, 32}, 2, linen, 1.2f, 0.8f);
    panel(image, {2, 1, 54, 8}, 2, grainOf(shade(walnut, 1.15f), 303), 1.5f, 0.6f);
    dome(image, 28, 4.5f, 7, 3, shade(walnut, 1.3f));
    panel(image, {2, 74, 54, 79}, 1.5f, grainOf(shade(walnut, 1.1f), 304), 1.2f);
    for (auto [x, y] :
         {std::pair{4.5f, 4.5f}, std::pair{51.5f, 4.5f}, std::pair{4.5f, 76.5f}, std::pair{51.5f, 76.5f}})
        dome(image, x, y, 2.6f, 2.6f, shade(walnut, 1.4f));
    return withShadow(image);
}

// A narrow iron bed: rails head and foot with brass knobs, a striped
// ticking mattress, one pillow and a grey wool blanket.
Image ironBed() {
    Image image(40, 72);
    auto ticking = [](int x, int y) {
        return velvet(x, y, x % 4 == 0 ? Rgba{0.42f, 0.46f, 0.56f, 1} : linen, 311);
    };
    const Rgba wool{0.44f, 0.46f, 0.50f, 1};
    panel(image, {4, 4, 36, 68}, 2, ticking, 1.5f, 0.5f);
    panel(image, {8, 7, 32, 18}, 4, shade(linen, 1.05f), 2.5f, 1.8f);
    panel(image, {3, 23, 37, 67}, 2, velvetOf(wool, 312), 2, 0.5f);
    panel(image, {3, 60, 37, 63}, 0, velvetOf(shade(wool, 0.7f), 313), 0.8f);
    panel(image, {3, 21, 37, 26}, 2, linen, 1.2f, 0.8f);
    for (float y : {3.0f, 69.0f}) {
        limb(image, 3, y, 37, y, 1.3f, iron);
        knob(image, 3, y, 2);
        knob(image, 37, y, 2);
    }
    return withShadow(image);
}

// A wardrobe against the wall: its moulded top, two panelled doors with
// brass keyholes, a drawer below.
Image wardrobe() {
    Image image(64, 28);
    carcass(image, {1, 1, 62, 26}, 8, walnut, 321);
    stroke(image, 1.5f, 8.5f, 61.5f, 8.5f, 0.6f, shade(walnut, 1.45f));
    for (float left : {4.0f, 32.0f}) {
        panel(image, {left, 10, left + 27, 21}, 0.5f, grainOf(walnut, 322, true), 1.2f);
        panel(image, {left + 3, 12, left + 24, 19}, 1, grainOf(shade(walnut, 1.3f), 323, true), 1.5f, 0.8f);
    }
    stroke(image, 31.5f, 10, 31.5f, 21, 0.5f, gloom);
    panel(image, {4, 21.5f, 59, 25}, 0.5f, grainOf(walnut, 324), 1);
    for (float x : {29.5f, 34.5f}) knob(image, x, 16, 1.1f);
    knob(image, 31.5f, 23.3f, 1);
    return withShadow(image);
}

// A chest of drawers against the wall: a lace runner and a candle stub on
// its top, two small drawers over a long one, brass pulls.
Image dresser() {
    Image image(56, 24);
    carcass(image, {1, 1, 54, 22}, 8, mahogany, 331);
    for (int y = 2; y < 7; ++y)
        for (int x = 14; x < 42; ++x) {
            bool lace = (x + y) % 3 != 0 || y == 2 || y == 6;
            image.blend(x, y, shade(linen, lace ? 1.05f : 0.8f), lace ? 0.9f : 0.4f);
        }
    candleStub(image, 7, 4.5f);
    for (Box drawer : {Box{4, 10, 27, 15}, Box{28, 10, 51, 15}, Box{4, 16, 51, 21}}) {
        panel(image, drawer, 0.5f, grainOf(mahogany, 332), 1);
        for (float x : {drawer.left + 4, drawer.right - 4})
            knob(image, x, (drawer.top + drawer.bottom) / 2, 0.9f);
    }
    return withShadow(image);
}

// A polished case in the shape of a grand piano's lid: straight along the
// north side, its bent side curving in toward a round tail at the east.
bool inPianoCase(float x, float y) {
    if (x < 11 || y < 3) return false;
    if (x > 67) return std::hypot(x - 67, y - 12) < 9;
    float bend = std::clamp((x - 22) / 36, 0.0f, 1.0f);
    return y < 21 + 31 * (0.5f + 0.5f * std::cos(bend * 3.1416f));
}

// The lid of the grand piano: rosewood with a broad sheen from the upper
// left, its rim lit on the sides facing the light.
void pianoLid(Image& image) {
    const Rgba rosewood{0.32f, 0.18f, 0.14f, 1};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float px = asFloat(x) + 0.5f, py = asFloat(y) + 0.5f;
            if (!inPianoCase(px, py)) continue;
            bool litRim = !inPianoCase(px - 1, py) || !inPianoCase(px, py - 1);
            bool darkRim = !inPianoCase(px + 1, py) || !inPianoCase(px, py + 1);
            float sheen = std::exp(-std::pow((px + py - 40) / 9, 2.0f)) * 0.35f;
            float lit = (litRim ? 1.5f : (darkRim ? 0.6f : 1.0f)) + sheen;
            image.blend(x, y, shade(woodGrain(x, y, rosewood, 341), lit), 1);
        }
    stroke(image, 21, 4, 21, 51, 0.4f, shade(rosewood, 0.6f));
}

// The keyboard along the west side: ivory keys with the black ones in
// twos and threes, a cheek block at either end.
void keyboard(Image& image) {
    panel(image, {2, 7, 11, 49}, 0.3f, {0.86f, 0.82f, 0.70f, 1}, 0.8f);
    for (int key = 0; key < 21; ++key) {
        float y = 7 + asFloat(key) * 2;
        stroke(image, 2, y, 11, y, 0.3f, {0.45f, 0.40f, 0.34f, 1});
        int note = key % 7;
        if (key > 0 && note != 0 && note != 3) stroke(image, 6.5f, y, 11, y, 0.6f, {0.10f, 0.08f, 0.08f, 1});
    }
    for (float top : {3.0f, 49.0f}) panel(image, {2, top, 12, top + 4}, 1, grainOf(walnut, 342), 1);
}

Image grandPiano() {
    Image image(80, 56);
    pianoLid(image);
    keyboard(image);
    return withShadow(image);
}

// A longcase clock against the wall, its hood's crest along the top, the
// dial below it and the pendulum swinging in the trunk's glass window.
Image clockFrame(int frame) {
    const float swing[4] = {-2.6f, -0.9f, 0.9f, 2.6f};
    Image image(24, 32);
    panel(image, {2, 1, 22, 7}, 1, grainOf(shade(mahogany, 1.15f), 351), 1.5f);
    panel(image, {5, 19, 19, 30}, 1, grainOf(shade(mahogany, 0.8f), 352, true), 1.2f);
    panel(image, {3, 6, 21, 20}, 1, grainOf(shade(mahogany, 0.9f), 353), 1.2f);
    knob(image, 12, 2.5f, 1.6f);
    disc(image, 12, 13, 6, shade(gilt, 0.9f));
    dome(image, 12, 13, 5, 5, linen);
    for (int hour = 0; hour < 12; ++hour) {
        float angle = asFloat(hour) * 0.5236f;
        image.blend(static_cast<int>(12 + 4 * std::sin(angle)), static_cast<int>(13 - 4 * std::cos(angle)),
                    gloom, 0.7f);
    }
    stroke(image, 12, 13, 12, 9.5f, 0.4f, gloom);
    stroke(image, 12, 13, 14.5f, 14.2f, 0.4f, gloom);
    hollow(image, {8, 21, 16, 29}, 0.5f, {0.12f, 0.10f, 0.09f, 1}, 1.5f);
    stroke(image, 12, 21.5f, 12 + swing[frame], 26.5f, 0.35f, shade(brass, 0.8f));
    dome(image, 12 + swing[frame], 26.5f, 1.8f, 1.8f, brass);
    return withShadow(image);
}

// The shape of a frond: how far the edge lies from the midrib, t of the
// way along it, notched where its leaflets divide.
float frondHalfWidth(float t, float along, float width, float notch) {
    float body = width * std::pow(std::sin(3.1416f * std::min(1.0f, t * 1.1f)), 0.7f);
    return body * (1 - notch * (0.5f + 0.5f * std::cos(along * 2.4f)));
}

// A frond from (cx, cy) reaching length pixels, curling a little aside as
// it goes; the half that faces the light is the brighter, the midrib dark.
void frond(Image& image, float cx, float cy, float angle, float length, float width, float notch,
           Rgba green) {
    float ux = std::cos(angle), uy = std::sin(angle), curl = 0.12f * length;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float dx = asFloat(x) + 0.5f - cx, dy = asFloat(y) + 0.5f - cy;
            float along = dx * ux + dy * uy, t = along / length;
            if (t <= 0 || t >= 1) continue;
            float across = -dx * uy + dy * ux - curl * t * t;
            float half = frondHalfWidth(t, along, width, notch);
            float coverage = std::clamp(half - std::abs(across) + 0.5f, 0.0f, 1.0f);
            if (coverage <= 0) continue;
            float side = across < 0 ? -1.0f : 1.0f, facing = -(-uy * side + ux * side) * 0.7071f;
            float lit = std::abs(across) < 0.5f ? 0.65f : 0.85f + 0.25f * facing + 0.25f * t;
            image.blend(x, y, shade(green, lit), coverage);
        }
}

// A fern in a terracotta pot: fronds springing all round from the soil.
Image fern() {
    Image image(28, 28);
    ring(image, 14, 14, 5.2f, 7.5f, terracotta);
    disc(image, 14, 14, 5.2f, {0.18f, 0.12f, 0.08f, 1});
    for (int i = 0; i < 9; ++i) {
        float angle = asFloat(i) * 0.698f + 0.3f * noise(i, 0, 361);
        frond(image, 14, 14, angle, 11 + 2.5f * noise(i, 1, 361), 2.6f, 0.45f,
              shade(leafGreen, 0.85f + 0.3f * noise(i, 2, 361)));
    }
    return withShadow(image, 1, 1);
}

// A palm in a glazed pot: a few long, deeply divided fronds.
Image palm() {
    Image image(32, 32);
    const Rgba glaze{0.36f, 0.44f, 0.46f, 1}, palmGreen{0.28f, 0.42f, 0.24f, 1};
    ring(image, 16, 16, 5.5f, 8, glaze);
    disc(image, 16, 16, 5.5f, {0.18f, 0.12f, 0.08f, 1});
    for (int i = 0; i < 6; ++i) {
        float angle = asFloat(i) * 1.047f + 0.4f + 0.3f * noise(i, 0, 371);
        frond(image, 16, 16, angle, 14 + 1.5f * noise(i, 1, 371), 3.4f, 0.7f,
              shade(palmGreen, 0.8f + 0.35f * noise(i, 2, 371)));
    }
    return withShadow(image, 1, 1);
}

// Still, clouded bathwater with a pale sheen.
Rgba bathwater(int x, int y) {
    float ripple = smoothNoise(asFloat(x) / 5, asFloat(y) / 3, 381);
    return mix({0.30f, 0.36f, 0.34f, 1}, {0.48f, 0.54f, 0.50f, 1}, ripple * 0.6f);
}

// A roll-top bath on claw feet, taps at the north end, full of water.
Image bathtub() {
    Image image(40, 80);
    for (auto [x, y] :
         {std::pair{6.0f, 9.0f}, std::pair{34.0f, 9.0f}, std::pair{6.0f, 71.0f}, std::pair{34.0f, 71.0f}})
        dome(image, x, y, 3, 3, shade(brass, 0.85f));
    panel(image, {4, 3, 36, 77}, 14, enamel, 3, 0.4f);
    hollow(image, {7, 6, 33, 74}, 11, shade(enamel, 0.9f), 3);
    hollow(image, {9, 12, 31, 72}, 9, bathwater, 2);
    for (float x : {15.0f, 25.0f}) knob(image, x, 6, 1.8f);
    limb(image, 20, 5, 20, 10, 1, brass);
    return withShadow(image);
}

// A flat, broken piece of plaster: a ragged polygon of five corners,
// its upper-left edges catching the light and its lower-right ones dark.
void plasterPiece(Image& image, float cx, float cy, float radius, Rgba colour, int seed) {
    auto inside = [&](float px, float py) {
        float angle = std::atan2(py - cy, px - cx) + 3.1416f, sector = angle / 1.2566f;
        int corner = static_cast<int>(sector);
        float a = 0.55f + 0.45f * noise(corner % 5, 0, seed),
              b = 0.55f + 0.45f * noise((corner + 1) % 5, 0, seed);
        float frac = sector - static_cast<float>(corner);
        return std::hypot(px - cx, py - cy) < radius * (a + (b - a) * frac);
    };
    Rgba tone = shade(colour, 0.85f + 0.3f * noise(seed, 1, seed));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float px = asFloat(x) + 0.5f, py = asFloat(y) + 0.5f;
            if (!inside(px, py)) continue;
            bool lit = !inside(px - 1, py) || !inside(px, py - 1);
            bool dark = !inside(px + 1, py) || !inside(px, py + 1);
            image.blend(x, y, shade(tone, lit ? 1.25f : (dark ? 0.6f : 1.0f)), 1);
        }
}

// A broken board of the given half width from a to b, splintered at b.
void brokenBoard(Image& image, float ax, float ay, float bx, float by, float halfWidth, int seed) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float along = 0;
            float d = segmentDistance(asFloat(x) + 0.5f, asFloat(y) + 0.5f, ax, ay, bx, by, along);
            if (d > halfWidth || along > 1 - 0.2f * noise(x, y, seed)) continue;
            Rgba wood = woodGrain(static_cast<int>(along * 40), static_cast<int>(d * 2), oak, seed);
            image.blend(x, y, shade(wood, along > 0.9f ? 1.3f : (d > halfWidth - 1 ? 0.75f : 1.0f)), 1);
        }
}

// Plaster dust settled round a fall, thinning toward its edges.
void dust(Image& image, float cx, float cy, float rx, float ry) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float d = std::hypot((asFloat(x) + 0.5f - cx) / rx, (asFloat(y) + 0.5f - cy) / ry);
            float drift = smoothNoise(asFloat(x) / 4, asFloat(y) / 4, 395);
            if (d < 1) image.blend(x, y, {0.66f, 0.62f, 0.54f, 1}, (1 - d) * (0.3f + 0.5f * drift));
        }
}

// Plaster fallen from a ceiling with the laths and boards that held it, in its dust.
Image rubble() {
    const Rgba wallpaper{0.40f, 0.44f, 0.32f, 1}, brick{0.52f, 0.26f, 0.18f, 1};
    Image image(48, 40);
    dust(image, 24, 20, 23, 18);
    brokenBoard(image, 3, 32, 32, 10, 2.4f, 391);
    brokenBoard(image, 45, 31, 17, 25, 2.2f, 392);
    for (int i = 0; i < 18; ++i) {
        float x = 24 + 36 * (noise(i, 0, 393) - 0.5f), y = 20 + 26 * (noise(i, 1, 393) - 0.5f);
        float radius = 7.5f - 0.3f * asFloat(i);
        Rgba colour =
            i % 6 == 1 ? wallpaper : (i % 7 == 3 ? brick : shade(plaster, 0.9f + 0.2f * noise(i, 2, 393)));
        plasterPiece(image, x, y, radius, colour, 394 + i);
    }
    for (int i = 0; i < 4; ++i) {
        float x = 8 + 26 * noise(i, 3, 393), y = 8 + 22 * noise(i, 4, 393);
        limb(image, x, y, x + 12, y + 4 - 8 * noise(i, 5, 393), 0.7f, shade(pine, 1.05f));
    }
    return withShadow(image, 1, 1, 0.45f);
}

// A dining chair, its carved back to the north over a velvet seat.
Image chair() {
    Image image(20, 20);
    panel(image, {3, 5, 17, 18}, 2, grainOf(shade(walnut, 1.1f), 401), 1);
    panel(image, {4.5f, 6.5f, 15.5f, 16.5f}, 2, velvetOf({0.48f, 0.20f, 0.19f, 1}, 402), 1.5f, 1.2f);
    panel(image, {2, 1, 18, 5}, 2, grainOf(shade(walnut, 1.35f), 403), 1.2f, 0.5f);
    for (float x : {3.5f, 16.5f}) dome(image, x, 3, 1.8f, 2.2f, shade(walnut, 1.5f));
    dome(image, 10, 3, 3.5f, 1.3f, shade(walnut, 1.6f));
    return withShadow(image, 1, 1);
}

// A quill lying from (ax, ay) to its nib at (bx, by).
void quill(Image& image, float ax, float ay, float bx, float by) {
    limb(image, ax, ay, ax + (bx - ax) * 0.7f, ay + (by - ay) * 0.7f, 1.3f, {0.86f, 0.84f, 0.78f, 1});
    stroke(image, ax, ay, bx, by, 0.35f, {0.35f, 0.30f, 0.25f, 1});
}

// A writing desk: a green leather top, letters, an inkwell, a quill and a candle stub.
Image desk() {
    Image image(64, 36);
    const Rgba baize{0.24f, 0.34f, 0.25f, 1}, paper{0.86f, 0.81f, 0.69f, 1};
    panel(image, {1, 1, 62, 33}, 1.5f, grainOf(walnut, 411), 1.5f);
    hollow(image, {6, 6, 57, 28}, 0.5f, leatherOf(baize, 412), 1.2f);
    for (Box sheet : {Box{12, 9, 24, 24}, Box{17, 13, 30, 27}}) {
        panel(image, sheet, 0.3f, paper, 0.8f);
        writing(image, sheet, static_cast<int>(sheet.left));
    }
    panel(image, {41, 7, 49, 15}, 1, brass, 1.2f);
    dome(image, 45, 11, 2.8f, 2.8f, {0.55f, 0.60f, 0.62f, 1});
    disc(image, 45, 11, 1.5f, {0.04f, 0.04f, 0.06f, 1});
    quill(image, 53, 26, 46.5f, 13);
    candleStub(image, 57, 7);
    return withShadow(image);
}

// A packing crate: lid slats between two battens, a brace across, nails.
Image crate() {
    Image image(32, 32);
    panel(image, {2, 2, 29, 29}, 1, grainOf(pine, 421), 1.5f);
    for (float y : {8.75f, 15.5f, 22.25f}) stroke(image, 2.5f, y, 28.5f, y, 0.45f, shade(pine, 0.45f));
    for (float left : {2.0f, 24.0f})
        panel(image, {left, 2, left + 5, 29}, 0.5f, grainOf(shade(pine, 0.92f), 422, true), 1.2f);
    limb(image, 8, 26, 23, 5, 2.2f, shade(pine, 0.95f));
    for (float x : {4.5f, 26.5f})
        for (float y : {4.5f, 26.5f}) disc(image, x, y, 0.7f, gloom);
    return withShadow(image);
}

// A barrel seen from its lid: staves round it under an iron hoop, the
// lid's boards across, and the bung.
Image barrel() {
    Image image(28, 28);
    disc(image, 13.5f, 13.5f, 12.5f, oak);
    for (int i = 0; i < 16; ++i) {
        float angle = asFloat(i) * 0.3927f;
        stroke(image, 13.5f + 10.6f * std::cos(angle), 13.5f + 10.6f * std::sin(angle),
               13.5f + 12.5f * std::cos(angle), 13.5f + 12.5f * std::sin(angle), 0.3f, shade(oak, 0.5f));
    }
    ring(image, 13.5f, 13.5f, 10.6f, 12.6f, iron);
    hollow(image, {3, 3, 24, 24}, 10.5f, grainOf(oak, 431, true), 2);
    for (float x : {8.5f, 13.5f, 18.5f}) stroke(image, x, 4, x, 23, 0.35f, shade(oak, 0.5f));
    disc(image, 17, 9, 1.6f, shade(oak, 0.7f));
    disc(image, 17, 9, 0.9f, gloom);
    return withShadow(image, 1, 1);
}

// White marble with grey veins.
Rgba marble(int x, int y) {
    float vein = std::abs(smoothNoise(asFloat(x) / 6, asFloat(y) / 6, 441) - 0.5f);
    return shade({0.74f, 0.72f, 0.68f, 1}, vein < 0.05f ? 0.8f : 0.96f + 0.06f * noise(x, y, 442));
}

// A jug of painted china seen from above: its mouth, spout and handle.
void jug(Image& image, float cx, float cy) {
    const Rgba china{0.56f, 0.64f, 0.74f, 1};
    ring(image, cx + 4.6f, cy + 0.5f, 0.8f, 1.9f, china);
    dome(image, cx, cy, 4.6f, 4.6f, china);
    ring(image, cx - 0.4f, cy - 0.3f, 1.8f, 2.8f, enamel);
    dome(image, cx - 4.3f, cy - 0.8f, 1.8f, 1.2f, enamel);
    disc(image, cx - 0.4f, cy - 0.3f, 1.8f, {0.30f, 0.32f, 0.34f, 1});
}

// A washstand against the wall: a marble top with a wooden splashback,
// the basin and the jug.
Image washstand() {
    Image image(36, 24);
    panel(image, {1, 1, 34, 22}, 1.5f, grainOf(oak, 443), 1.2f);
    panel(image, {2, 5, 33, 21}, 1.5f, marble, 1.2f);
    panel(image, {1, 1, 34, 5}, 1, grainOf(shade(oak, 1.1f), 444), 1.2f);
    disc(image, 13, 13.3f, 6.8f, shade(marble(13, 13), 0.55f));
    dome(image, 13, 13, 6.5f, 6, enamel);
    hollow(image, {8, 8.5f, 18, 17.5f}, 4.5f, {0.56f, 0.60f, 0.58f, 1}, 2);
    jug(image, 27, 12.5f);
    return withShadow(image);
}

// Cast iron, a little rusted.
Rgba castIron(int x, int y) {
    Rgba rust{0.36f, 0.24f, 0.18f, 1};
    return mix(shade(iron, 0.9f + 0.2f * noise(x, y, 451)), rust,
               0.3f * smoothNoise(asFloat(x) / 4, asFloat(y) / 4, 452));
}

// One of the range's round hob lids, its lifting notch and rings.
void hobLid(Image& image, float cx, float cy, float radius) {
    dome(image, cx, cy, radius, radius, shade(iron, 1.35f));
    ring(image, cx, cy, radius - 1.2f, radius, shade(iron, 1.6f));
    ring(image, cx, cy, radius * 0.45f, radius * 0.45f + 0.8f, shade(iron, 0.7f));
    stroke(image, cx - 1, cy, cx + 1, cy, 0.45f, gloom);
}

// A copper kettle seen from above: its lid and knob, the spout to the
// lower left and the handle arching across.
void kettle(Image& image, float cx, float cy) {
    const Rgba copper{0.64f, 0.40f, 0.26f, 1};
    limb(image, cx - 3, cy + 3, cx - 6.5f, cy + 6, 0.9f, copper);
    dome(image, cx, cy, 5.5f, 5.5f, copper);
    ring(image, cx, cy, 2.4f, 3, shade(copper, 0.75f));
    knob(image, cx, cy, 1.2f);
    limb(image, cx - 5, cy - 1.5f, cx + 5, cy - 1.5f, 0.7f, iron);
}

// A kitchen range: an iron top with two hob lids, a kettle on the
// hotplate, the flue going up at the back and a brass rail along the front.
Image stove() {
    Image image(48, 32);
    panel(image, {1, 2, 46, 29}, 2, castIron, 1.5f);
    panel(image, {1, 1, 46, 7}, 1, shade(iron, 1.25f), 1.2f);
    hobLid(image, 9, 16, 6);
    hobLid(image, 23, 16, 6);
    hollow(image, {31, 9, 45, 23}, 1, castIron, 1.5f);
    kettle(image, 38.5f, 15.5f);
    ring(image, 40, 4, 2, 3.6f, shade(iron, 1.3f));
    disc(image, 40, 4, 2, {0.03f, 0.03f, 0.03f, 1});
    limb(image, 3, 26.5f, 44, 26.5f, 1, brass);
    return withShadow(image);
}

// One sagging strand of web between two points.
void strand(Image& image, float ax, float ay, float bx, float by, float sag) {
    const Rgba silk{0.86f, 0.86f, 0.84f, 0.4f};
    float mx = (ax + bx) / 2 - sag * 0.7071f, my = (ay + by) / 2 - sag * 0.7071f;
    stroke(image, ax, ay, mx, my, 0.3f, silk);
    stroke(image, mx, my, bx, by, 0.3f, silk);
}

// A cobweb in the north-west corner: threads fanning out from it with
// sagging rings between them, thick with dust at the corner.
Image cobweb() {
    Image image(32, 32);
    const int threads = 7;
    float angles[threads], lengths[threads];
    for (int i = 0; i < threads; ++i) {
        angles[i] = asFloat(i) * 0.2618f + 0.1f * (noise(i, 0, 461) - 0.5f);
        lengths[i] = 26 + 8 * noise(i, 1, 461);
        strand(image, 0, 0, lengths[i] * std::cos(angles[i]), lengths[i] * std::sin(angles[i]), 0);
    }
    for (float r = 5; r < 30; r += 4.5f)
        for (int i = 0; i + 1 < threads; ++i) {
            float ra = std::min(r, lengths[i]), rb = std::min(r + 1, lengths[i + 1]);
            strand(image, ra * std::cos(angles[i]), ra * std::sin(angles[i]), rb * std::cos(angles[i + 1]),
                   rb * std::sin(angles[i + 1]), 0.8f + 0.1f * r);
        }
    glow(image, 0, 0, 7, {0.80f, 0.80f, 0.76f, 0.45f}, 1.5f);
    return image;
}

const char* againstWall = "back to the north wall at orientation 0; solid";

}  // namespace

std::vector<Sprite> decorSprites() {
    return {
        still("Bookshelf", bookshelf(64, 201), "an oak bookcase, two shelves of books", againstWall),
        still("BookshelfTall", bookshelf(96, 211), "a long oak bookcase, two shelves of books", againstWall),
        still("Painting", painting(), "a gilt-framed moonlit landscape leaning on the wall", againstWall),
        still("Bed", bed(), "a double bed with a patchwork quilt",
              "headboard to the north at orientation 0; solid"),
        still("BedSmall", ironBed(), "a narrow iron bed with a grey blanket",
              "head to the north at orientation 0; solid"),
        still("Wardrobe", wardrobe(), "a walnut wardrobe with two panelled doors", againstWall),
        still("Dresser", dresser(), "a mahogany chest of drawers, a candle stub on it", againstWall),
        still("Piano", grandPiano(), "a grand piano, its lid closed",
              "keyboard to the west, straight side to the north at orientation 0; solid"),
        {"GrandfatherClock", paintFrames(4, clockFrame), 4, 0.33f, Playback::PingPong,
         "a longcase clock, its pendulum swinging", againstWall},
        still("Plant", fern(), "a fern in a terracotta pot", "round; solid"),
        still("PlantTall", palm(), "a parlour palm in a glazed pot", "round; solid"),
        still("Bathtub", bathtub(), "a roll-top bath on claw feet, full of water",
              "taps to the north at orientation 0; solid"),
        still("Rubble", rubble(), "fallen plaster, laths and broken boards", "any way round; solid"),
        still("Chair", chair(), "a dining chair with a velvet seat",
              "back to the north at orientation 0; solid"),
        still("Desk", desk(), "a writing desk with letters, an inkwell, a quill and a candle stub",
              "the writer's side to the south at orientation 0; solid"),
        still("Crate", crate(), "a packing crate seen from its lid", "any way round; solid"),
        still("Barrel", barrel(), "a barrel seen from its lid", "round; solid"),
        still("Washstand", washstand(), "a washstand with a marble top, basin and jug", againstWall),
        still("Stove", stove(), "a cast-iron kitchen range with a kettle on it",
              "flue to the north at orientation 0; solid"),
        still("Cobweb", cobweb(), "a dusty cobweb across a corner",
              "corner to the north-west at orientation 0; not solid"),
    };
}
