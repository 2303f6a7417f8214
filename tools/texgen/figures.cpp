// The character and the wall lantern, seen from above.
#include "sheets.h"

namespace {

const float pi = 3.14159265f;

// Brightens the painted pixels near (cx, cy) toward a warm candle colour,
// leaving transparent ones alone.
void warmLight(Image& image, float cx, float cy, float radius, float strength) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            Rgba& p = image.at(x, y);
            float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy) / radius;
            if (p.a <= 0 || d >= 1) continue;
            float t = strength * (1 - d) * (1 - d);
            p = {p.r + (1.0f - p.r) * t * 0.8f, p.g + (0.75f - p.g) * t * 0.6f, p.b + (0.4f - p.b) * t * 0.3f, p.a};
        }
}

// One walking frame of 18 x 26, facing right, turning about (9, 13). Phase
// runs once round the stride; phase 0 is the standing pose. With a candle
// the left hand (upper side) holds it forward at (18, 4).
Image characterFrame(float phase, bool withCandle) {
    Image image(18, 26);
    const Rgba coat{0.30f, 0.25f, 0.26f, 1}, trousers{0.13f, 0.12f, 0.13f, 1}, shoe{0.09f, 0.07f, 0.06f, 1};
    const Rgba skin{0.80f, 0.62f, 0.50f, 1}, hair{0.27f, 0.17f, 0.10f, 1};
    float s = std::sin(phase), lift = std::abs(s);
    for (int y = 0; y < image.height; ++y)  // soft shadow on the floor
        for (int x = 0; x < image.width; ++x) {
            float d = std::hypot((static_cast<float>(x) + 0.5f - 9.5f) / 7, (static_cast<float>(y) + 0.5f - 14) / 11);
            if (d < 1) image.blend(x, y, {0, 0, 0, 0.25f}, 1 - d * d);
        }
    for (int side = -1; side <= 1; side += 2) {  // legs and shoes, mostly under the coat
        float fy = 13 + 3.4f * static_cast<float>(side), stride = -4.5f * s * static_cast<float>(side);
        limb(image, 8, fy, 8.5f + stride, fy, 1.9f, trousers);
        dome(image, 9.5f + stride, fy, 2.4f, 1.5f, shoe);
    }
    dome(image, 6.2f, 13, 4.2f, 6.8f, shade(coat, 0.8f));  // coat tails
    dome(image, 8, 13, 4.6f, 8.2f + 0.3f * lift, coat);  // shoulders
    for (int side = -1; side <= 1; side += 2) {
        float sy = 13 + 7.6f * static_cast<float>(side);
        float hx = 10.5f + 4 * s * static_cast<float>(side), hy = sy + 0.8f * static_cast<float>(side);
        if (withCandle && side < 0) hx = 15.5f, hy = 5.4f;
        limb(image, 8.2f, sy, hx - 1, hy, 1.9f, shade(coat, 1.1f));
        dome(image, hx, hy, 1.5f, 1.4f, skin);
    }
    limb(image, 9, 9.6f, 9, 16.4f, 1.3f, shade(coat, 0.65f));  // collar
    dome(image, 10.2f, 13, 3.9f, 4.1f, skin);                  // face, seen from above
    dome(image, 9.3f, 13, 3.9f, 4.3f, hair);
    for (int y = 9; y < 18; ++y)  // strands combed back
        for (int x = 6; x < 13; ++x)
            if (image.at(x, y).a > 0 && noise(y, x / 3, 7) < 0.35f) image.blend(x, y, {0.12f, 0.07f, 0.04f, 1}, 0.45f);
    const Image figure = image;  // the rim is found on the figure as painted, not on rim already added
    for (int y = 0; y < image.height; ++y)  // a dark rim where the figure meets its shadow
        for (int x = 0; x < image.width; ++x) {
            if (figure.at(x, y).a > 0.6f) continue;
            bool edge = false;
            for (int k = 0; k < 4; ++k) {
                int nx = x + (k == 0) - (k == 1), ny = y + (k == 2) - (k == 3);
                edge = edge || (nx >= 0 && ny >= 0 && nx < image.width && ny < image.height && figure.at(nx, ny).a > 0.6f);
            }
            if (edge) image.blend(x, y, {0.04f, 0.03f, 0.03f, 1}, 0.8f);
        }
    if (withCandle) {
        dome(image, 17.2f, 4.4f, 2.2f, 2.0f, {0.70f, 0.52f, 0.22f, 1});  // brass dish
        dome(image, 17.4f, 4.2f, 1.3f, 1.3f, {0.96f, 0.92f, 0.80f, 1});  // wax
        image.blend(17, 4, {0.20f, 0.12f, 0.06f, 1}, 0.9f);                // wick
        warmLight(image, 18, 4, 14, 0.5f);
    }
    return image;
}

// One lantern frame of 14 x 16: an iron cage with amber glass around the
// flame at (7, 5), a cap over it, an arm down to the wall plate. Glow
// scales the light in the glass.
Image lanternFrame(float glowLevel) {
    Image image(14, 16);
    const Rgba iron{0.20f, 0.19f, 0.18f, 1};
    limb(image, 7, 9, 7, 13.5f, 1.0f, iron);                          // arm
    limb(image, 3, 14.6f, 11, 14.6f, 1.1f, shade(iron, 1.2f));        // wall plate
    for (int y = 0; y < 10; ++y)
        for (int x = 1; x < 13; ++x) {
            bool frame = x == 1 || x == 12 || y == 0 || y == 9;
            float d = std::hypot(static_cast<float>(x) + 0.5f - 7, (static_cast<float>(y) + 0.5f - 5) * 1.2f) / 7;
            Rgba glass{1.0f, 0.70f + 0.2f * (1 - d), 0.30f + 0.3f * (1 - d), std::clamp(0.35f + 0.3f * glowLevel * (1 - d), 0.0f, 1.0f)};
            image.blend(x, y, frame ? shade(iron, y == 0 || x == 1 ? 1.4f : 1.0f) : glass, 1);
        }
    for (int i = 2; i < 12; ++i) {  // corner ribs running to the cap
        float t = static_cast<float>(i - 2) / 9;
        image.blend(i, static_cast<int>(1 + t * 8), iron, 0.7f);
        image.blend(i, static_cast<int>(8 - t * 7), iron, 0.7f);
    }
    dome(image, 7, 5, 2.6f, 2.4f, shade(iron, 1.3f));  // cap
    disc(image, 7, 5, 0.8f, {0.05f, 0.05f, 0.05f, 1});   // vent
    warmLight(image, 7, 5, 9, 0.5f * glowLevel);
    return image;
}

}  // namespace

Image characterSheet(bool withCandle) {
    Image sheet(18 * 8, 26);
    for (int f = 0; f < 8; ++f)
        sheet.paste(characterFrame(2 * pi * static_cast<float>(f) / 8, withCandle), 18 * f, 0);
    return sheet;
}

Image lanternSheet() {
    const float levels[4] = {1.0f, 0.6f, 1.3f, 0.8f};
    Image sheet(14 * 4, 16);
    for (int f = 0; f < 4; ++f) sheet.paste(lanternFrame(levels[f]), 14 * f, 0);
    return sheet;
}
