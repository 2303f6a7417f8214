// Paints the game's procedural textures and sprite sheets into Assets/.
// Deterministic: the same program always writes the same bytes.
#include <stb_image_write.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "paint.h"
#include "sheets.h"

bool Image::save(const std::string& path) const {
    std::vector<unsigned char> bytes;
    for (const Rgba& p : pixels)
        for (float c : {p.r, p.g, p.b, p.a})
            bytes.push_back(static_cast<unsigned char>(std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f)));
    return stbi_write_png(path.c_str(), width, height, 4, bytes.data(), width * 4) != 0;
}

namespace {

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
        image.paste(cell, f * frame, 0);
    }
    return image;
}

bool writeText(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

// An animation file beside its sheet, in the game's JSON form.
bool writeAnimation(const std::string& folder, const Sprite& sprite) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "{\n  \"FrameCount\": %d,\n  \"FrameWidth\": %d,\n  \"SpriteSheet\": \"%s.png\",\n"
                  "  \"FrameDuration\": %.2f,\n  \"Looping\": %s,\n  \"PingPong\": %s\n}\n",
                  sprite.frames, sprite.sheet.width / sprite.frames, sprite.name.c_str(),
                  static_cast<double>(sprite.frameDuration),
                  sprite.playback == Playback::Once ? "false" : "true",
                  sprite.playback == Playback::PingPong ? "true" : "false");
    return writeText(folder + "/" + sprite.name + ".json", text);
}

std::vector<Sprite> figureSprites() {
    return {
        {"CandleHolder", candleHolderSheet(), 4, 0.12f, Playback::PingPong,
         "a brass candle holder, its candle lit and the flame wavering", "round; drawn by the candle entity"},
        {"MC.Candle", characterSheet(true), 8, 0.08f, Playback::Loop,
         "the character walking, a candle held forward in the left hand",
         "faces east, turned to its heading"},
        {"MC.NoCandle", characterSheet(false), 8, 0.08f, Playback::Loop, "the character walking empty-handed",
         "faces east, turned to its heading"},
        {"Lantern", lanternSheet(), 4, 0.1f, Playback::PingPong,
         "an iron lantern with amber glass, flickering",
         "its wall plate along the bottom edge at orientation 0"},
    };
}

std::vector<Sprite> allSprites() {
    std::vector<Sprite> sprites = figureSprites();
    for (auto& group : {propSprites(), decorSprites()})
        for (const Sprite& sprite : group) sprites.push_back(sprite);
    return sprites;
}

const char* playbackName(const Sprite& sprite) {
    if (sprite.frames == 1) return "";
    if (sprite.playback == Playback::Loop) return "looping";
    return sprite.playback == Playback::PingPong ? "ping-pong" : "once";
}

const char* catalogueHeader =
    "Halcyra animations: each NAME.json beside its sheet NAME.png, painted by tools/texgen.\n"
    "Frames lie left to right in one row; sizes are one frame's, in pixels. Props are seen from\n"
    "above, lit from the upper left, and drawn at their object's top-left corner with the frame\n"
    "as their box; orientation n turns one by n quarter turns. \"Solid\" marks the props meant\n"
    "to stop the character.\n"
    "\n";

std::string catalogue(const std::vector<Sprite>& sprites) {
    std::string text = catalogueHeader;
    for (const Sprite& sprite : sprites) {
        char line[512];
        std::snprintf(line, sizeof line, "%-16s %2d x %-2d %d %-6s %-9s %s; %s.\n", sprite.name.c_str(),
                      sprite.sheet.width / sprite.frames, sprite.sheet.height, sprite.frames,
                      sprite.frames == 1 ? "frame" : "frames", playbackName(sprite), sprite.shows.c_str(),
                      sprite.placing.c_str());
        text += line;
    }
    return text;
}

bool saveAnimations(const std::string& folder) {
    std::vector<Sprite> sprites = allSprites();
    for (const Sprite& sprite : sprites)
        if (!sprite.sheet.save(folder + "/" + sprite.name + ".png") || !writeAnimation(folder, sprite))
            return false;
    return writeText(folder + "/README.txt", catalogue(sprites));
}

const char* tileIndex =
    "Halcyra house tilesets: 32 x 32 tiles, 8 to a row, painted by tools/texgen/tiles.cpp.\n"
    "Index = row x 8 + column (Tiled's local tile id).\n"
    "\n"
    "Floors.png (floor layer, layer 0; no tile blocks)\n"
    "  0 oak planks, light        1 oak planks, mid          2 oak planks, dark\n"
    "  3 mid planks, worn, knot and split                    4 light planks, running down\n"
    "  5 mid planks, running down 6 dark planks, running down 7 mid planks, knot and split\n"
    "  8 rug corner, top left     9 rug edge, top            10 rug corner, top right\n"
    " 11 rug field with medallion                            12 kitchen checker tiles\n"
    " 13 kitchen checker, cracked 14 flagstones              15 flagstones, variant\n"
    " 16 rug edge, left           17 rug field               18 rug edge, right\n"
    " 19 flagstones, stained      20 brick hearth            21 stone door sill on mid planks\n"
    " 22 flagstones, dark stains  23 kitchen checker, variant\n"
    " 24 rug corner, bottom left  25 rug edge, bottom        26 rug corner, bottom right\n"
    " 27-29 light, mid, dark planks, scuffed                 30-31 mid, dark planks running down, scuffed\n"
    "Rug pieces lie 4 pixels in from the tile edge on mid planks, fringed at top and bottom;\n"
    "build a rug as 8 9 10 / 16 17 18 / 24 25 26, with 11 or 17 repeated in the middle.\n"
    "Outside the rooms: the drive and the mire at night, the roof in the storm, the cellar.\n"
    " 32 wet grass                33 wet grass, fallen leaves\n"
    " 34 gravel drive             35 gravel drive, rain puddle\n"
    " 36 granite setts            37 peat, sodden           38 peat with rush tussocks\n"
    " 39 peat with a still pool   40 wet roof slates        41 wet slates, lichen and a crack\n"
    " 42 sheet lead, roll west and drip south               43 sheet lead, rain standing\n"
    " 44 cellar brick, basket-weave                         45 cellar brick, saltpetre and a crack\n"
    " 46 beaten earth             47 beaten earth, flints\n"
    "Variants of one ground (32-33, 34-35, 37-39, 40-41, 42-43, 44-45, 46-47) join one another.\n"
    "\n"
    "Walls.png (layer 1, drawn over the character)\n"
    "  0 wall top, no edge        1 wall top, edge to the south (a north wall of a room)\n"
    "  2 wall top, edge north     3 wall top, edge east      4 wall top, edge west\n"
    "  5 wall top, edge at the south-east corner only (a room's top-left corner)\n"
    "  6 corner south-west (room's top-right)   7 corner north-east (room's bottom-left)\n"
    "  8 corner north-west (room's bottom-right)\n"
    "  9 wall face, wallpaper     10 wall face, wallpaper with a portrait\n"
    " 11 wall face, wainscot (put under 9 or 10 for a two-tile wall seen from the room)\n"
    " 12 doorway, left jamb       13 doorway opening, stone sill   14 doorway, right jamb\n"
    " 15 wall top with a night window, edge south\n"
    "\n"
    "Tile properties: every Walls tile except 13 carries bool.Blocking = true (stops light, and\n"
    "through it the character); 13 carries none and stays passable. For a wall that stops light\n"
    "but not the character add bool.Collision = false. Floors tiles carry no properties.\n";

bool saveTiles(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return floorTiles().save(folder + "/Floors.png") && wallTiles().save(folder + "/Walls.png") &&
           writeText(folder + "/README.txt", tileIndex);
}

}  // namespace

int main(int argc, char** argv) {
    std::string assets = argc > 1 ? argv[1] : "Assets";
    bool ok = fire().save(assets + "/Textures/Fire.png") && smoke().save(assets + "/Textures/Smoke.png") &&
              flare().save(assets + "/Textures/Flare.png") && saveRain(assets + "/Textures/Rain") &&
              saveAnimations(assets + "/Animations") && saveTiles(assets + "/FloorTemplate/FinalRooms/Tiles");
    if (!ok) std::fprintf(stderr, "texgen: could not write into %s\n", assets.c_str());
    return ok ? 0 : 1;
}
