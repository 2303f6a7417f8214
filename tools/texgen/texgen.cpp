// Paints the game's procedural textures and sprite sheets into Assets/.
// Deterministic: the same program always writes the same bytes.
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Rgba {
    float r, g, b, a;
};

class Image {
public:
    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w * h), Rgba{0, 0, 0, 0}) {}

    Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }

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

    bool save(const std::string& path) const {
        std::vector<unsigned char> bytes;
        for (const Rgba& p : pixels)
            for (float c : {p.r, p.g, p.b, p.a})
                bytes.push_back(static_cast<unsigned char>(std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f)));
        return stbi_write_png(path.c_str(), width, height, 4, bytes.data(), width * 4) != 0;
    }

    int width, height;

private:
    std::vector<Rgba> pixels;
};

// Integer hash noise in [0, 1): repeatable on every machine.
float noise(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65536.0f;
}

float smoothNoise(float x, float y, int seed) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(ix), fy = y - static_cast<float>(iy);
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    float top = noise(ix, iy, seed) * (1 - sx) + noise(ix + 1, iy, seed) * sx;
    float bottom = noise(ix, iy + 1, seed) * (1 - sx) + noise(ix + 1, iy + 1, seed) * sx;
    return top * (1 - sy) + bottom * sy;
}

// Fills a disc with coverage antialiased over its rim.
void disc(Image& image, float cx, float cy, float radius, Rgba colour) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy);
            image.blend(x, y, colour, std::clamp(radius - d + 0.5f, 0.0f, 1.0f));
        }
}

// A soft round glow whose alpha falls off with distance.
void glow(Image& image, float cx, float cy, float radius, Rgba colour, float power) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy) / radius;
            if (d < 1) image.blend(x, y, colour, std::pow(1 - d, power));
        }
}

Image fire() {
    Image image(32, 32);
    glow(image, 16, 16, 15, {1.0f, 0.45f, 0.1f, 0.9f}, 1.6f);
    glow(image, 16, 16, 9, {1.0f, 0.8f, 0.35f, 0.9f}, 1.4f);
    glow(image, 16, 16, 4, {1.0f, 0.97f, 0.85f, 1.0f}, 1.0f);
    return image;
}

Image smoke() {
    Image image(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            float d = std::hypot(static_cast<float>(x) - 15.5f, static_cast<float>(y) - 15.5f) / 15.5f;
            float wisp = 0.55f + 0.45f * smoothNoise(static_cast<float>(x) / 5.0f, static_cast<float>(y) / 5.0f, 7);
            if (d < 1) image.blend(x, y, {0.55f, 0.55f, 0.58f, 0.7f}, std::pow(1 - d, 1.8f) * wisp);
        }
    return image;
}

Image flare() {
    Image image(64, 64);
    glow(image, 32, 32, 31, {1.0f, 0.75f, 0.45f, 0.5f}, 2.2f);
    glow(image, 32, 32, 12, {1.0f, 0.95f, 0.85f, 0.9f}, 1.5f);
    return image;
}

// Distance from (px, py) to the segment (ax, ay)-(bx, by); along receives
// where the nearest point lies on it (0 at a, 1 at b).
float segmentDistance(float px, float py, float ax, float ay, float bx, float by, float& along) {
    float dx = bx - ax, dy = by - ay;
    along = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - along * dx, py - ay - along * dy);
}

// One of the twelve rain drops: a soft white-blue streak, faint at its tail
// and brightest at its head. The game draws the drops turned by 45 degrees
// with the image upside down, so the streak runs 29 degrees above the
// horizontal, head to the upper right, to lie along the fall on screen.
Image rainDrop(int index) {
    constexpr int size = 16;
    constexpr float dirX = 0.874f, dirY = -0.486f;
    Image image(size, size);
    float length = 3.0f + static_cast<float>(index % 6) * 2.2f;
    float width = 0.7f + 0.5f * noise(index, 1, 23);
    float alpha = 0.35f + 0.35f * noise(index, 2, 23);
    Rgba colour{0.78f + 0.1f * noise(index, 3, 23), 0.86f, 1.0f, alpha};
    float ax = 8 - dirX * length * 0.5f, ay = 8 - dirY * length * 0.5f;
    float bx = 8 + dirX * length * 0.5f, by = 8 + dirY * length * 0.5f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float along = 0;
            float d = segmentDistance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, ax, ay, bx,
                                      by, along);
            float body = std::clamp(1 - d / (width + 0.5f), 0.0f, 1.0f);
            image.blend(x, y, colour, body * body * (0.3f + 0.7f * along));
        }
    return image;
}

bool saveRain(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (int i = 0; i < 12; ++i)
        if (!rainDrop(i).save(folder + "/Rain" + std::to_string(i) + ".png")) return false;
    return true;
}

// A brass candle holder seen from above, its flame leaning a little
// differently in each of four frames.
Image candleHolderSheet() {
    constexpr int frame = 32;
    Image image(frame * 4, frame);
    const float lean[4][2] = {{0.0f, -0.6f}, {0.6f, -0.3f}, {0.2f, 0.3f}, {-0.5f, -0.2f}};
    for (int f = 0; f < 4; ++f) {
        Image cell(frame, frame);
        disc(cell, 16, 17, 12, {0.05f, 0.04f, 0.03f, 0.45f});  // shadow
        disc(cell, 16, 16, 12, {0.42f, 0.30f, 0.12f, 1.0f});   // dish
        disc(cell, 16, 16, 10, {0.62f, 0.46f, 0.20f, 1.0f});
        disc(cell, 14.5f, 14.5f, 5, {0.85f, 0.70f, 0.38f, 0.6f});  // highlight
        disc(cell, 16, 16, 5, {0.92f, 0.88f, 0.78f, 1.0f});        // candle
        disc(cell, 16, 16, 3.5f, {0.98f, 0.96f, 0.90f, 1.0f});
        glow(cell, 16 + lean[f][0], 16 + lean[f][1], 9, {1.0f, 0.6f, 0.2f, 0.55f}, 1.5f);
        glow(cell, 16 + lean[f][0], 16 + lean[f][1], 3.5f, {1.0f, 0.95f, 0.7f, 1.0f}, 0.8f);
        for (int y = 0; y < frame; ++y)
            for (int x = 0; x < frame; ++x) image.at(f * frame + x, y) = cell.at(x, y);
    }
    return image;
}

bool writeText(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    std::string assets = argc > 1 ? argv[1] : "Assets";
    bool ok = fire().save(assets + "/Textures/Fire.png") && smoke().save(assets + "/Textures/Smoke.png") &&
              flare().save(assets + "/Textures/Flare.png") && saveRain(assets + "/Textures/Rain") &&
              candleHolderSheet().save(assets + "/Animations/CandleHolder.png") &&
              writeText(assets + "/Animations/CandleHolder.json",
                        "{\n  \"FrameCount\": 4,\n  \"FrameWidth\": 32,\n  \"SpriteSheet\": \"CandleHolder.png\",\n"
                        "  \"FrameDuration\": 0.12,\n  \"Looping\": true,\n  \"PingPong\": true\n}\n");
    if (!ok) std::fprintf(stderr, "texgen: could not write into %s\n", assets.c_str());
    return ok ? 0 : 1;
}
