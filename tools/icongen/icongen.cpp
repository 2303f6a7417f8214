// Paints the game's icon from its own art: the character seen from above,
// walking north with the candle held out, on the oak planks it lights, the
// rest of the house dark. Drawn at 32 x 32 like the sprites, then scaled up
// pixel for pixel so every size stays as crisp as the game.
// Deterministic: the same program always writes the same bytes.
#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int SIDE = 32;
constexpr int SIZES[] = {32, 64, 128, 256};
constexpr const char* ICON_NAME = "io.halcyra.Halcyra.png";

// Frame 0 of the walk and the mid oak planks (Tiles/README.txt, tile 1).
constexpr int FRAME_WIDTH = 18;
constexpr int FRAME_HEIGHT = 26;
constexpr int PLANKS_LEFT = 32;

// Where the flame lands once the character is turned to face north, and how
// far its light reaches, in icon pixels.
constexpr float FLAME_X = 7.0f;
constexpr float FLAME_Y = 8.0f;
constexpr float LIGHT_REACH = 30.0f;
constexpr float HALO_REACH = 6.0f;
constexpr float CORNER_RADIUS = 3.0f;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    unsigned char* at(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    const unsigned char* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

bool load(const std::string& path, Image* image) {
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &image->width, &image->height, &channels, 4);
    if (pixels == nullptr) return false;
    image->rgba.assign(pixels, pixels + static_cast<size_t>(image->width) * image->height * 4);
    stbi_image_free(pixels);
    return true;
}

Image blank(int width, int height) {
    return {width, height, std::vector<unsigned char>(static_cast<size_t>(width) * height * 4)};
}

// The candle's warm light on the planks, falling off into the dark.
void paintLitFloor(const Image& floors, Image* icon) {
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
            const float distance =
                std::hypot(static_cast<float>(x) - FLAME_X, static_cast<float>(y) - FLAME_Y);
            const float light = 1.4f * std::pow(std::max(0.0f, 1.0f - distance / LIGHT_REACH), 1.3f);
            const float halo = 160.0f * std::pow(std::max(0.0f, 1.0f - distance / HALO_REACH), 2.0f);
            const float warmth[3] = {1.2f, 0.9f, 0.55f};
            const unsigned char* plank = floors.at(PLANKS_LEFT + x, y);
            unsigned char* pixel = icon->at(x, y);
            for (int c = 0; c < 3; ++c)
                pixel[c] =
                    static_cast<unsigned char>(std::min(255.0f, (plank[c] * light + halo) * warmth[c]));
            pixel[3] = 255;
        }
}

// The sheet's character faces east; turned a quarter to the left it faces
// north, its candle hand to the upper left.
void paintCharacter(const Image& sheet, Image* icon) {
    const int left = (SIDE - FRAME_HEIGHT) / 2;
    const int top = (SIDE - FRAME_WIDTH) / 2;
    for (int y = 0; y < FRAME_HEIGHT; ++y)
        for (int x = 0; x < FRAME_WIDTH; ++x) {
            const unsigned char* source = sheet.at(x, y);
            unsigned char* pixel = icon->at(left + y, top + FRAME_WIDTH - 1 - x);
            for (int c = 0; c < 3; ++c)
                pixel[c] = (source[c] * source[3] + pixel[c] * (255 - source[3])) / 255;
        }
}

// Rounded corners, as desktop icons have them.
void roundCorners(Image* icon) {
    const float inner = SIDE - CORNER_RADIUS;
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
            const float cx = std::clamp(x + 0.5f, CORNER_RADIUS, inner);
            const float cy = std::clamp(y + 0.5f, CORNER_RADIUS, inner);
            if (std::hypot(x + 0.5f - cx, y + 0.5f - cy) > CORNER_RADIUS) icon->at(x, y)[3] = 0;
        }
}

Image scaled(const Image& icon, int factor) {
    Image result = blank(icon.width * factor, icon.height * factor);
    for (int y = 0; y < result.height; ++y)
        for (int x = 0; x < result.width; ++x)
            std::copy_n(icon.at(x / factor, y / factor), 4, result.at(x, y));
    return result;
}

bool save(const Image& image, const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    return stbi_write_png(path.c_str(), image.width, image.height, 4, image.rgba.data(), image.width * 4) !=
           0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: icongen ASSETS ICON_THEME_DIR\n");
        return 2;
    }
    const std::string assets = argv[1];
    Image sheet;
    Image floors;
    if (!load(assets + "/Animations/MC.Candle.png", &sheet) ||
        !load(assets + "/FloorTemplate/FinalRooms/Tiles/Floors.png", &floors)) {
        std::fprintf(stderr, "icongen: cannot read the character or the floor tiles under %s\n",
                     assets.c_str());
        return 1;
    }
    Image icon = blank(SIDE, SIDE);
    paintLitFloor(floors, &icon);
    paintCharacter(sheet, &icon);
    roundCorners(&icon);
    for (int size : SIZES) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path path = std::filesystem::path(argv[2]) / folder / "apps" / ICON_NAME;
        if (!save(scaled(icon, size / SIDE), path)) {
            std::fprintf(stderr, "icongen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
