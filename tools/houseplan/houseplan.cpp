// Draws Mirefell as one picture for the README: every map the game preloads,
// from its floor and wall tiles at a quarter of their size and at full
// brightness, set out floor above floor like a section through the house.
// Lines join each door or hole to the place it leads to (a two-way door to
// the door that leads back), locked doors name their key, and small symbols
// mark the keys, candle holders, the journal and the checkpoints. A legend
// says which is which.
//
// Usage: houseplan OUTPUT.png      (run from the repository root)
//
// Where each map goes is set out by hand in PLACES below; a preloaded map
// without a place there is an error. Nothing is random, so two runs write the
// same bytes. Needs g++, pkg-config, libfreetype-dev, libstb-dev,
// libjsonparser-dev and fonts-dejavu-core.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <json.h>
#include <stb_image.h>
#include <stb_image_write.h>

#include "../common/Colour.h"
#include "../common/TextFont.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

const char* const TOOL_NAME = "houseplan";

namespace {

constexpr int TILE = 32;
constexpr int SHRINK = 4;  // a tile becomes 8 pixels: the 210-tile end passage still fits the width
constexpr int WIDTH = 1880;
constexpr int HEIGHT = 1296;
constexpr const char* PRELOAD = "Assets/Preload.json";
constexpr int PRELOAD_MAP = 1;

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// ---- JSON ----

using Json = std::unique_ptr<json_value, decltype(&json_value_free)>;

Json parseJson(const std::string& path) {
    std::string text = readText(path);
    Json root(json_parse(text.data(), text.size()), &json_value_free);
    if (!root) fail(path + " is not valid JSON");
    return root;
}

const json_value* member(const json_value& object, const char* name) {
    if (object.type != json_object) return nullptr;
    for (const json_object_entry& entry : object.u.object)
        if (std::string(entry.name, entry.name_length) == name) return entry.value;
    return nullptr;
}

std::string textOf(const json_value* value) {
    if (value == nullptr || value->type != json_string) return "";
    return std::string(value->u.string.ptr, value->u.string.length);
}

double numberOf(const json_value* value) {
    if (value == nullptr) return 0;
    if (value->type == json_integer) return static_cast<double>(value->u.integer);
    if (value->type == json_double) return value->u.dbl;
    return 0;
}

std::vector<const json_value*> itemsOf(const json_value* value) {
    if (value == nullptr || value->type != json_array) return {};
    return {value->u.array.begin(), value->u.array.end()};
}

// ---- Pictures ----

struct Rgba {
    float r, g, b, a;
};

struct Point {
    float x, y;
};

Point operator+(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}
Point operator-(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}
Point operator*(Point a, float k) {
    return {a.x * k, a.y * k};
}
float length(Point a) {
    return std::hypot(a.x, a.y);
}

struct Image {
    int width = 0, height = 0;
    std::vector<Rgba> pixels;

    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w * h), Rgba{0, 0, 0, 0}) {}
    Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }
    const Rgba& at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

Image loadPng(const std::string& path) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* bytes = stbi_load(path.c_str(), &width, &height, &channels, 4);
    if (bytes == nullptr) fail("cannot read " + path);
    Image image(width, height);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = {bytes[i * 4] / 255.0f, bytes[i * 4 + 1] / 255.0f, bytes[i * 4 + 2] / 255.0f,
                           bytes[i * 4 + 3] / 255.0f};
    stbi_image_free(bytes);
    return image;
}

class Canvas {
public:
    explicit Canvas(Colour background) : pixels(static_cast<size_t>(WIDTH * HEIGHT), background) {}

    // Lays colour over the pixel with the given opacity; outside the canvas does nothing.
    void blend(int x, int y, Colour colour, float opacity) {
        if (x < 0 || y < 0 || x >= WIDTH || y >= HEIGHT || opacity <= 0) return;
        Colour& p = pixels[static_cast<size_t>(y * WIDTH + x)];
        float t = std::min(opacity, 1.0f);
        p = {p.r + (colour.r - p.r) * t, p.g + (colour.g - p.g) * t, p.b + (colour.b - p.b) * t};
    }

    void fill(int left, int top, int right, int bottom, Colour colour) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) blend(x, y, colour, 1);
    }

    void draw(const Image& image, int left, int top) {
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const Rgba& p = image.at(x, y);
                blend(left + x, top + y, {p.r, p.g, p.b}, p.a);
            }
    }

    bool save(const std::string& path) const {
        const std::vector<unsigned char> bytes = rgbBytes(pixels);
        stbi_write_png_compression_level = 9;
        return stbi_write_png(path.c_str(), WIDTH, HEIGHT, 3, bytes.data(), WIDTH * 3) != 0;
    }

private:
    std::vector<Colour> pixels;
};

// ---- Text ----

// Dark edges keep a label legible where it lies over tiles or lines.
void drawOutlined(const Font& font, Canvas& canvas, int x, int baseline, const std::string& text, Colour colour,
                  Colour edge) {
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (dx * dx + dy * dy <= 5) font.draw(canvas, x + dx, baseline + dy, text, edge);
    font.draw(canvas, x, baseline, text, colour);
}

struct Fonts {
    Font title, heading, room, label, small;
};

// ---- Shapes and lines ----

// A shape is its signed distance in pixels: negative inside.
using Shape = std::function<float(Point)>;

float circle(Point p, Point centre, float radius) {
    return length(p - centre) - radius;
}

float box(Point p, Point centre, float halfWidth, float halfHeight, float rounding) {
    float qx = std::abs(p.x - centre.x) - halfWidth + rounding;
    float qy = std::abs(p.y - centre.y) - halfHeight + rounding;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - rounding;
}

float segmentDistance(Point p, Point a, Point b) {
    Point ab = b - a;
    float span = ab.x * ab.x + ab.y * ab.y;
    float t = span > 0 ? std::clamp(((p.x - a.x) * ab.x + (p.y - a.y) * ab.y) / span, 0.0f, 1.0f) : 0;
    return length(p - (a + ab * t));
}

float capsule(Point p, Point a, Point b, float radius) {
    return segmentDistance(p, a, b) - radius;
}

const Colour INK{0.05f, 0.055f, 0.07f};

constexpr float EDGE = 1.5f;

// Paints a shape within reach of the centre, edged in dark ink that many pixels wide.
void paint(Canvas& canvas, Point centre, float reach, Colour colour, float edge, const Shape& shape) {
    int extent = static_cast<int>(std::ceil(reach + edge + 1));
    int cx = static_cast<int>(centre.x), cy = static_cast<int>(centre.y);
    for (int y = cy - extent; y <= cy + extent; ++y)
        for (int x = cx - extent; x <= cx + extent; ++x) {
            float d = shape({x + 0.5f, y + 0.5f});
            if (edge > 0) canvas.blend(x, y, INK, std::clamp(edge + 0.5f - d, 0.0f, 1.0f));
            canvas.blend(x, y, colour, std::clamp(0.5f - d, 0.0f, 1.0f));
        }
}

using Path = std::vector<Point>;

// Coverage of strokes gathered first, so that where they cross or join they do not darken twice.
class StrokeMask {
public:
    StrokeMask() : cover(static_cast<size_t>(WIDTH * HEIGHT), 0.0f) {}

    void add(const Path& path, float width) {
        for (size_t i = 1; i < path.size(); ++i) addSegment(path[i - 1], path[i], width / 2);
    }

    // Lays the strokes on the canvas and clears the mask for the next.
    void apply(Canvas& canvas, Colour colour) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                float& c = cover[static_cast<size_t>(y * WIDTH + x)];
                canvas.blend(x, y, colour, c);
                c = 0;
            }
        left = WIDTH, top = HEIGHT, right = 0, bottom = 0;
    }

private:
    std::vector<float> cover;
    int left = WIDTH, top = HEIGHT, right = 0, bottom = 0;

    void addSegment(Point a, Point b, float half) {
        int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - half - 1)));
        int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - half - 1)));
        int x1 = std::min(WIDTH, static_cast<int>(std::ceil(std::max(a.x, b.x) + half + 1)));
        int y1 = std::min(HEIGHT, static_cast<int>(std::ceil(std::max(a.y, b.y) + half + 1)));
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                float c = std::clamp(half + 0.5f - segmentDistance({x + 0.5f, y + 0.5f}, a, b), 0.0f, 1.0f);
                float& held = cover[static_cast<size_t>(y * WIDTH + x)];
                held = std::max(held, c);
            }
        left = std::min(left, x0), top = std::min(top, y0), right = std::max(right, x1),
        bottom = std::max(bottom, y1);
    }
};

// Strokes the paths in colour over a dark casing, which keeps them apart from the tiles beneath.
void stroke(Canvas& canvas, StrokeMask& mask, const std::vector<Path>& paths, Colour colour) {
    for (const Path& path : paths) mask.add(path, 6.0f);
    mask.apply(canvas, INK);
    for (const Path& path : paths) mask.add(path, 2.6f);
    mask.apply(canvas, colour);
}

Path bezier(Point a, Point b, Point c, Point d, int steps) {
    Path path;
    for (int i = 0; i <= steps; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(steps), u = 1 - t;
        path.push_back(a * (u * u * u) + b * (3 * u * u * t) + c * (3 * u * t * t) + d * (t * t * t));
    }
    return path;
}

// An S-bend that leaves and arrives along the longer of the two directions between its ends.
Path sBend(Point from, Point to) {
    Point d = to - from;
    Point lead = std::abs(d.y) >= std::abs(d.x) * 0.5f ? Point{0, d.y / 2} : Point{d.x / 2, 0};
    return bezier(from, from + lead, to - lead, to, 64);
}

// Turns the corners of a polyline into quarter bends of the given radius.
Path roundCorners(const Path& corners, float radius) {
    Path path{corners.front()};
    for (size_t i = 1; i + 1 < corners.size(); ++i) {
        Point in = corners[i] - corners[i - 1], out = corners[i + 1] - corners[i];
        Point enter = corners[i] - in * (radius / length(in)),
              leave = corners[i] + out * (radius / length(out));
        Path bend = bezier(enter, corners[i], corners[i], leave, 12);
        path.insert(path.end(), bend.begin(), bend.end());
    }
    path.push_back(corners.back());
    return path;
}

// Shortens a path at its end, so that an arrow stops at the edge of what it points at.
Path trimEnd(Path path, float distance) {
    while (path.size() > 1) {
        Point last = path.back(), before = path[path.size() - 2];
        float span = length(last - before);
        if (span > distance) {
            path.back() = last + (before - last) * (distance / span);
            break;
        }
        distance -= span;
        path.pop_back();
    }
    return path;
}

Path arrowHead(const Path& path) {
    Point tip = path.back();
    Point back = path[path.size() > 4 ? path.size() - 5 : 0] - tip;
    Point dir = back * (1 / std::max(length(back), 0.001f));
    Point side{-dir.y, dir.x};
    return {tip + dir * 8 + side * 5, tip, tip + dir * 8 - side * 5};
}

// ---- Maps ----

struct Thing {
    std::string type, name;
    float x, y, width, height;
    std::map<std::string, std::string> properties;

    std::string property(const std::string& key, const std::string& fallback = "") const {
        auto found = properties.find(key);
        return found == properties.end() ? fallback : found->second;
    }
    Point centre() const { return {x + width / 2, y + height / 2}; }
};

struct Tileset {
    int firstGid, columns;
    const Image* image;
};

struct Map {
    std::string path, name;
    int width, height;
    std::vector<Tileset> tilesets;
    std::vector<std::vector<int>> tileLayers;  // floor, then walls
    std::vector<Thing> things;
};

std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/') + 1);
}

std::string stemOf(const std::string& path) {
    size_t start = path.rfind('/') + 1;
    return path.substr(start, path.rfind('.') - start);
}

// Tileset pictures, loaded once: every map shares the same two.
const Image& tilesetImage(const std::string& path) {
    static std::map<std::string, Image> loaded;
    auto found = loaded.find(path);
    if (found == loaded.end()) found = loaded.emplace(path, loadPng(path)).first;
    return found->second;
}

Thing readThing(const json_value& object) {
    Thing thing{textOf(member(object, "type")),
                textOf(member(object, "name")),
                static_cast<float>(numberOf(member(object, "x"))),
                static_cast<float>(numberOf(member(object, "y"))),
                static_cast<float>(numberOf(member(object, "width"))),
                static_cast<float>(numberOf(member(object, "height"))),
                {}};
    if (const json_value* properties = member(object, "properties");
        properties && properties->type == json_object)
        for (const json_object_entry& entry : properties->u.object)
            thing.properties[std::string(entry.name, entry.name_length)] = textOf(entry.value);
    return thing;
}

void readLayer(Map& map, const json_value& layer) {
    std::string type = textOf(member(layer, "type"));
    if (type == "tilelayer") {
        std::vector<int>& gids = map.tileLayers.emplace_back();
        for (const json_value* gid : itemsOf(member(layer, "data")))
            gids.push_back(static_cast<int>(numberOf(gid)));
        if (gids.size() != static_cast<size_t>(map.width * map.height))
            fail(map.path + ": a layer of the wrong size");
    } else if (type == "objectgroup") {
        for (const json_value* object : itemsOf(member(layer, "objects")))
            map.things.push_back(readThing(*object));
    }
}

Map readMap(const std::string& path) {
    Json root = parseJson(path);
    Map map{path,
            stemOf(path),
            static_cast<int>(numberOf(member(*root, "width"))),
            static_cast<int>(numberOf(member(*root, "height"))),
            {},
            {},
            {}};
    for (const json_value* tileset : itemsOf(member(*root, "tilesets")))
        map.tilesets.push_back({static_cast<int>(numberOf(member(*tileset, "firstgid"))),
                                static_cast<int>(numberOf(member(*tileset, "columns"))),
                                &tilesetImage(folderOf(path) + textOf(member(*tileset, "image")))});
    for (const json_value* layer : itemsOf(member(*root, "layers"))) readLayer(map, *layer);
    return map;
}

std::vector<std::string> preloadedMaps() {
    Json root = parseJson(PRELOAD);
    std::vector<std::string> maps;
    for (const json_value* entry : itemsOf(root.get()))
        if (numberOf(member(*entry, "type")) == PRELOAD_MAP) maps.push_back(textOf(member(*entry, "file")));
    return maps;
}

void drawTile(Image& image, const Map& map, int gid, int column, int row) {
    auto tileset = std::find_if(map.tilesets.rbegin(), map.tilesets.rend(),
                                [gid](const Tileset& t) { return t.firstGid <= gid; });
    if (tileset == map.tilesets.rend()) fail(map.path + ": tile " + std::to_string(gid) + " has no tileset");
    int local = gid - tileset->firstGid;
    int sx = local % tileset->columns * TILE, sy = local / tileset->columns * TILE;
    if (sy + TILE > tileset->image->height)
        fail(map.path + ": tile " + std::to_string(gid) + " is past its tileset");
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            const Rgba& s = tileset->image->at(sx + x, sy + y);
            Rgba& d = image.at(column * TILE + x, row * TILE + y);
            float a = s.a + d.a * (1 - s.a);
            if (a <= 0) continue;
            d = {(s.r * s.a + d.r * d.a * (1 - s.a)) / a, (s.g * s.a + d.g * d.a * (1 - s.a)) / a,
                 (s.b * s.a + d.b * d.a * (1 - s.a)) / a, a};
        }
}

// Averages each SHRINK x SHRINK block, weighting colours by their opacity.
Image shrink(const Image& full) {
    Image small(full.width / SHRINK, full.height / SHRINK);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            Rgba sum{0, 0, 0, 0};
            for (int dy = 0; dy < SHRINK; ++dy)
                for (int dx = 0; dx < SHRINK; ++dx) {
                    const Rgba& p = full.at(x * SHRINK + dx, y * SHRINK + dy);
                    sum = {sum.r + p.r * p.a, sum.g + p.g * p.a, sum.b + p.b * p.a, sum.a + p.a};
                }
            if (sum.a > 0)
                small.at(x, y) = {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / (SHRINK * SHRINK)};
        }
    return small;
}

Image drawMap(const Map& map) {
    Image full(map.width * TILE, map.height * TILE);
    for (const std::vector<int>& layer : map.tileLayers)
        for (int i = 0; i < map.width * map.height; ++i)
            if (layer[static_cast<size_t>(i)] != 0)
                drawTile(full, map, layer[static_cast<size_t>(i)], i % map.width, i / map.width);
    return shrink(full);
}

// ---- The plan ----

// Where each map's top-left corner goes, in pixels of the picture, and a few
// words after its name for a reader who does not know the map's name.
struct Place {
    const char* map;
    int x, y;
    const char* caption = "";
};

constexpr Place PLACES[] = {
    {"Roof", 872, 136, "in the storm"},
    {"RoomTutB", 88, 320, "the box room"},
    {"EastWingB", 1280, 320, "the old bedroom"},
    {"RoomTutA", 40, 456, "the nursery"},
    {"MasterBedroom", 560, 456},
    {"AtticStair", 840, 456},
    {"EastWingA", 1000, 456, "the day room"},
    {"UpperPassage", 540, 624},
    {"SittingRoom", 1000, 624},
    {"IntroEnd", 40, 776, "the drive"},
    {"Gallery", 500, 776},
    {"Cellar", 1280, 1056},
    {"End", 40, 1224},
};

// The floors of the house, as bands across the picture.
struct Floor {
    const char* name;
    int top, bottom;
};

constexpr Floor FLOORS[] = {
    {"ROOF", 96, 280},      {"UPPER FLOOR", 280, 736},        {"GROUND FLOOR AND THE DRIVE", 736, 1016},
    {"CELLAR", 1016, 1184}, {"THE LAST PASSAGE", 1184, 1296},
};

// Where a door leads out of the maps: the intro cards and the credits, drawn as boxes.
struct Card {
    const char* target;
    const char* label;
    int x, y, width, height;
};

constexpr Card CARDS[] = {{"Intro", "intro cards", 84, 650, 120, 34},
                          {"Outro", "credits", 1740, 1232, 100, 40}};

// The intro screen hands over to the nursery, as the game's IntroScreen does.
constexpr const char* AFTER_INTRO = "Assets/FloorTemplate/FinalRooms/RoomTutA.json";
// "Play" on the main menu puts the character at the gate.
constexpr const char* FIRST_MAP = "Assets/FloorTemplate/FinalRooms/IntroEnd.json";

constexpr const char* ROUTE =
    "IntroEnd → intro cards → RoomTutA → RoomTutB → Gallery → UpperPassage → EastWingA → EastWingB → "
    "Cellar → Gallery → UpperPassage → MasterBedroom → AtticStair → Roof → End → credits";

// Links spanning more floors than this run down the left margin instead of across the rooms.
constexpr int FLOORS_ACROSS = 2;
constexpr float MARGIN_LANE = 20;
// A door that lands this close to a door leading back is one passage with it, drawn as one line.
constexpr float SAME_PASSAGE = 32;

const Colour BACKGROUND{0.075f, 0.082f, 0.10f};
const Colour BAND{0.095f, 0.104f, 0.125f};
const Colour RULE{0.17f, 0.185f, 0.22f};
const Colour HEADING{0.50f, 0.54f, 0.61f};
const Colour NAME{0.93f, 0.91f, 0.86f};
const Colour FAINT{0.66f, 0.68f, 0.72f};
const Colour DOOR{0.38f, 0.78f, 1.0f};
const Colour LOCKED{1.0f, 0.77f, 0.24f};
const Colour HOLE{1.0f, 0.36f, 0.30f};
const Colour CANDLE{1.0f, 0.60f, 0.20f};
const Colour FLAME_CORE{1.0f, 0.93f, 0.62f};
const Colour JOURNAL{0.95f, 0.91f, 0.80f};
const Colour CHECKPOINT{0.45f, 0.88f, 0.52f};
const Colour WHITE{1, 1, 1};

struct Room {
    Map map;
    Place place;

    Point at(Point local) const { return {place.x + local.x / SHRINK, place.y + local.y / SHRINK}; }
};

using House = std::vector<Room>;

const Place& placeOf(const std::string& name) {
    for (const Place& place : PLACES)
        if (name == place.map) return place;
    fail("no place in the plan for the map " + name);
}

const Room& roomAt(const House& house, const std::string& path) {
    for (const Room& room : house)
        if (room.map.path == path) return room;
    fail("a door leads to " + path + ", which the game does not preload");
}

int floorOf(float y) {
    for (int i = 0; const Floor& floor : FLOORS) {
        if (y < floor.bottom) return i;
        ++i;
    }
    return static_cast<int>(std::size(FLOORS)) - 1;
}

const Card* cardFor(const std::string& target) {
    for (const Card& card : CARDS)
        if (target == card.target) return &card;
    return nullptr;
}

// Where a door with this int.ID puts the character: a spawn point, or else a checkpoint.
Point arrival(const Room& room, const std::string& id) {
    for (const char* type : {"Character.Spawn", "Entity.CheckPoint"})
        for (const Thing& thing : room.map.things)
            if (thing.type == type && thing.property("int.ID", "0") == id) return room.at(thing.centre());
    fail(room.map.path + " has no spawn point " + id);
}

// The point of a card's edge that faces another point.
Point cardEdge(const Card& card, Point toward) {
    Point centre{card.x + card.width / 2.0f, card.y + card.height / 2.0f};
    Point d = toward - centre;
    if (std::abs(d.y) * card.width >= std::abs(d.x) * card.height)
        return {centre.x, d.y > 0 ? static_cast<float>(card.y + card.height) : static_cast<float>(card.y)};
    return {d.x > 0 ? static_cast<float>(card.x + card.width) : static_cast<float>(card.x), centre.y};
}

// ---- Doors and holes ----

struct Exit {
    const Room* room;
    const Thing* thing;
    Point from;
    Point to{};                    // where the character arrives
    const Room* target = nullptr;  // null for a card
    bool hole = false, locked = false;
};

std::vector<Exit> exitsOf(const House& house) {
    std::vector<Exit> exits;
    for (const Room& room : house)
        for (const Thing& thing : room.map.things) {
            bool hole = thing.type == "Entity.Hole";
            if (thing.type != "Entity.Door" && !hole) continue;
            Exit exit{.room = &room,
                      .thing = &thing,
                      .from = room.at(thing.centre()),
                      .hole = hole,
                      .locked = thing.property("bool.Locked") == "true"};
            std::string target = thing.property("Target");
            if (const Card* card = cardFor(target)) {
                exit.to = cardEdge(*card, exit.from);
            } else {
                exit.target = &roomAt(house, target);
                exit.to = arrival(*exit.target, thing.property("int.ID", "0"));
            }
            exits.push_back(exit);
        }
    return exits;
}

// The door on the far side that brings the character back to this one, if any.
const Exit* wayBack(const Exit& exit, const std::vector<Exit>& exits) {
    for (const Exit& other : exits)
        if (other.room == exit.target && other.target == exit.room && !exit.hole && !other.hole &&
            length(other.from - exit.to) <= SAME_PASSAGE && length(exit.from - other.to) <= SAME_PASSAGE)
            return &other;
    return nullptr;
}

Colour colourOf(const Exit& exit) {
    return exit.hole ? HOLE : exit.locked ? LOCKED : DOOR;
}

Path route(Point from, Point to) {
    if (std::abs(floorOf(from.y) - floorOf(to.y)) <= FLOORS_ACROSS) return sBend(from, to);
    float lane = static_cast<float>(FLOORS[floorOf(from.y)].top) + 8;
    return roundCorners({from, {from.x, lane}, {MARGIN_LANE, lane}, {MARGIN_LANE, to.y}, to}, 14);
}

void drawOneWay(Canvas& canvas, StrokeMask& mask, Path path, Colour colour, bool toCard) {
    path = trimEnd(path, toCard ? 2.0f : 5.0f);
    stroke(canvas, mask, {path, arrowHead(path)}, colour);
}

void drawArrivalDot(Canvas& canvas, Point at, Colour colour) {
    paint(canvas, at, 4, colour, EDGE, [at](Point p) { return circle(p, at, 3.2f); });
}

void drawLinks(Canvas& canvas, const House& house, const std::vector<Exit>& exits) {
    StrokeMask mask;
    for (const Exit& exit : exits) {
        const Exit* back = wayBack(exit, exits);
        if (back != nullptr) {
            // Drawn once, from the door met first in the preload order.
            if (back < &exit) continue;
            stroke(canvas, mask, {route(exit.from, back->from)}, exit.locked || back->locked ? LOCKED : DOOR);
            continue;
        }
        drawOneWay(canvas, mask, route(exit.from, exit.to), colourOf(exit), exit.target == nullptr);
        if (exit.target != nullptr) drawArrivalDot(canvas, exit.to, colourOf(exit));
    }
    const Card& intro = *cardFor("Intro");
    Point into = arrival(roomAt(house, AFTER_INTRO), "0");
    drawOneWay(canvas, mask, route(cardEdge(intro, into), into), DOOR, false);
    drawArrivalDot(canvas, into, DOOR);
}

// ---- Symbols ----

Shape keyShape(Point c) {
    return [c](Point p) {
        float bow = std::abs(circle(p, c + Point{-4, 0}, 3.0f)) - 1.2f;
        float shaft = capsule(p, c + Point{-1, 0}, c + Point{6, 0}, 1.1f);
        float teeth = std::min(capsule(p, c + Point{3.5f, 0}, c + Point{3.5f, 3}, 1.0f),
                               capsule(p, c + Point{6, 0}, c + Point{6, 3.5f}, 1.0f));
        return std::min({bow, shaft, teeth});
    };
}

// A teardrop: round below, narrowing to a point above.
Shape flameShape(Point c, float size) {
    return [c, size](Point p) {
        Point base = c + Point{0, size * 0.35f}, tip = c - Point{0, size};
        Point axis = tip - base;
        float t = std::clamp(
            ((p.x - base.x) * axis.x + (p.y - base.y) * axis.y) / (length(axis) * length(axis)), 0.0f, 1.0f);
        return length(p - (base + axis * t)) - size * 0.55f * (1 - t) - 0.3f;
    };
}

void drawKey(Canvas& canvas, const Fonts& fonts, Point at, const std::string& label) {
    paint(canvas, at, 9, LOCKED, EDGE, keyShape(at));
    if (!label.empty())
        drawOutlined(fonts.label, canvas, static_cast<int>(at.x) + 11, static_cast<int>(at.y) + 4, label,
                                 LOCKED, INK);
}

void drawCandle(Canvas& canvas, Point at) {
    paint(canvas, at, 7, CANDLE, EDGE, flameShape(at, 5.5f));
    paint(canvas, at, 4, FLAME_CORE, 0, flameShape(at + Point{0, 1}, 2.6f));
}

void drawJournal(Canvas& canvas, Point at) {
    paint(canvas, at, 7, JOURNAL, EDGE, [at](Point p) {
        return std::min(box(p, at + Point{-3, 0}, 2.6f, 3.6f, 0.6f),
                        box(p, at + Point{3, 0}, 2.6f, 3.6f, 0.6f));
    });
}

void drawCheckpoint(Canvas& canvas, Point at) {
    paint(canvas, at, 7, CHECKPOINT, EDGE,
          [at](Point p) { return (std::abs(p.x - at.x) + std::abs(p.y - at.y) - 5.5f) * 0.7071f; });
}

void drawStart(Canvas& canvas, const Fonts& fonts, Point at, bool labelled) {
    paint(canvas, at, 8, WHITE, EDGE, [at](Point p) { return std::abs(circle(p, at, 6)) - 1.3f; });
    if (labelled)
        drawOutlined(fonts.label, canvas, static_cast<int>(at.x) + 10, static_cast<int>(at.y) + 4, "start",
                                 WHITE, INK);
}

void drawDoor(Canvas& canvas, Point at, bool locked) {
    paint(canvas, at, 6, locked ? LOCKED : DOOR, EDGE, [at](Point p) { return box(p, at, 5, 5, 1.5f); });
    if (!locked) return;
    paint(canvas, at, 4, INK, 0, [at](Point p) {
        return std::min(circle(p, at + Point{0, -1.2f}, 1.6f),
                        capsule(p, at + Point{0, -1}, at + Point{0, 2.6f}, 0.8f));
    });
}

void drawHole(Canvas& canvas, Point at) {
    paint(canvas, at, 7, HOLE, EDGE, [at](Point p) { return circle(p, at, 6); });
    paint(canvas, at, 4, INK, 0, [at](Point p) { return circle(p, at, 3); });
}

void drawExitMarker(Canvas& canvas, const Fonts& fonts, const Exit& exit) {
    if (exit.hole) {
        drawHole(canvas, exit.from);
        return;
    }
    drawDoor(canvas, exit.from, exit.locked);
    if (!exit.locked) return;
    // The key's name goes on the side its line does not leave by.
    std::string label = "key " + exit.thing->property("int.KeyID", "0");
    int x = exit.to.x > exit.from.x + 4 ? static_cast<int>(exit.from.x) - 9 - fonts.label.width(label)
                                        : static_cast<int>(exit.from.x) + 9;
    drawOutlined(fonts.label, canvas, x, static_cast<int>(exit.from.y) + 4, label, LOCKED, INK);
}

void drawThings(Canvas& canvas, const Fonts& fonts, const Room& room) {
    for (const Thing& thing : room.map.things) {
        Point at = room.at(thing.centre());
        if (thing.type == "Entity.Key") drawKey(canvas, fonts, at, "key " + thing.property("int.ID"));
        else if (thing.type == "Entity.Candle") drawCandle(canvas, at);
        else if (thing.type == "Entity.Journal") drawJournal(canvas, at);
        else if (thing.type == "Entity.CheckPoint") drawCheckpoint(canvas, at);
    }
    if (room.map.path == FIRST_MAP) drawStart(canvas, fonts, arrival(room, "0"), true);
}

// ---- Page furniture ----

void drawFloors(Canvas& canvas, const Fonts& fonts) {
    for (int i = 0; const Floor& floor : FLOORS) {
        if (i++ % 2 == 0) canvas.fill(0, floor.top, WIDTH, floor.bottom, BAND);
        canvas.fill(0, floor.top, WIDTH, floor.top + 1, RULE);
        fonts.heading.draw(canvas, WIDTH - 24 - fonts.heading.width(floor.name), floor.top + 18, floor.name,
                           HEADING);
    }
}

void drawCard(Canvas& canvas, const Fonts& fonts, const Card& card) {
    Point centre{card.x + card.width / 2.0f, card.y + card.height / 2.0f};
    float hw = card.width / 2.0f, hh = card.height / 2.0f;
    paint(canvas, centre, std::max(hw, hh), RULE, 0, [=](Point p) { return box(p, centre, hw, hh, 6); });
    paint(canvas, centre, std::max(hw, hh), FAINT, 0,
          [=](Point p) { return std::abs(box(p, centre, hw, hh, 6)) - 0.7f; });
    int w = fonts.label.width(card.label);
    fonts.label.draw(canvas, card.x + (card.width - w) / 2, card.y + card.height / 2 + 4, card.label, NAME);
}

void drawTitle(Canvas& canvas, const Fonts& fonts) {
    fonts.title.draw(canvas, 40, 52, "Mirefell", NAME);
    fonts.room.draw(canvas, 40 + fonts.title.width("Mirefell") + 16, 52, "the house in Halcyra, map by map",
                    FAINT);
    fonts.small.draw(canvas, 40, 80, "The way through:  " + std::string(ROUTE), FAINT);
}

struct LegendEntry {
    std::function<void(Canvas&, Point)> symbol;
    const char* text;
};

void drawLegend(Canvas& canvas, const Fonts& fonts) {
    StrokeMask mask;
    auto sample = [&mask](Canvas& c, Point at, Colour colour, bool oneWay) {
        Path line{at - Point{14, 0}, at + Point{14, 0}};
        if (oneWay) drawOneWay(c, mask, line, colour, false);
        else stroke(c, mask, {line}, colour);
    };
    const LegendEntry entries[] = {
        {[&](Canvas& c, Point at) {
             sample(c, at, DOOR, false);
             drawDoor(c, at - Point{14, 0}, false);
             drawDoor(c, at + Point{14, 0}, false);
         },
         "door, joined to the door that leads back"},
        {[&](Canvas& c, Point at) {
             sample(c, at, LOCKED, false);
             drawDoor(c, at - Point{14, 0}, true);
             drawDoor(c, at + Point{14, 0}, false);
         },
         "locked door: \"key N\" opens it"},
        {[&](Canvas& c, Point at) {
             sample(c, at, HOLE, true);
             drawHole(c, at - Point{14, 0});
             drawArrivalDot(c, at + Point{14, 0}, HOLE);
         },
         "hole in the floor: a drop, one way"},
        {[&](Canvas& c, Point at) {
             sample(c, at, DOOR, true);
             drawDoor(c, at - Point{14, 0}, false);
             drawArrivalDot(c, at + Point{14, 0}, DOOR);
         },
         "one way: the arrow ends where you arrive"},
        {[&](Canvas& c, Point at) { drawKey(c, fonts, at, ""); }, "key N, lying where it is found"},
        {[](Canvas& c, Point at) { drawCandle(c, at); }, "candle holder"},
        {[](Canvas& c, Point at) { drawJournal(c, at); }, "the journal"},
        {[](Canvas& c, Point at) { drawCheckpoint(c, at); }, "checkpoint"},
        {[&](Canvas& c, Point at) { drawStart(c, fonts, at, false); }, "where the game starts"},
    };
    constexpr int LEFT = 40, TOP = 140, COLUMN = 400, ROW = 26, PER_COLUMN = 5;
    for (int i = 0; const LegendEntry& entry : entries) {
        Point at{static_cast<float>(LEFT + i / PER_COLUMN * COLUMN + 20),
                 static_cast<float>(TOP + i % PER_COLUMN * ROW)};
        entry.symbol(canvas, at);
        fonts.small.draw(canvas, static_cast<int>(at.x) + 30, static_cast<int>(at.y) + 5, entry.text, NAME);
        ++i;
    }
}

// Names go on last, over any line that passes, edged so that they still read.
void drawName(Canvas& canvas, const Fonts& fonts, const Room& room) {
    int baseline = room.place.y - 8;
    drawOutlined(fonts.room, canvas, room.place.x, baseline, room.map.name, NAME, INK);
    int after = room.place.x + fonts.room.width(room.map.name) + 8;
    drawOutlined(fonts.small, canvas, after, baseline, room.place.caption, FAINT, INK);
}

House buildHouse() {
    House house;
    for (const std::string& path : preloadedMaps()) {
        Map map = readMap(path);
        const Place& place = placeOf(map.name);
        house.push_back({std::move(map), place});
    }
    return house;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) fail("usage: houseplan OUTPUT.png");
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) fail("cannot start FreeType");
    {
        Fonts fonts{{library, "DejaVuSerif-Bold.ttf", 36},
                    {library, "DejaVuSans-Bold.ttf", 12},
                    {library, "DejaVuSans-Bold.ttf", 15},
                    {library, "DejaVuSans-Bold.ttf", 11},
                    {library, "DejaVuSans.ttf", 13}};
        House house = buildHouse();
        std::vector<Exit> exits = exitsOf(house);
        Canvas canvas(BACKGROUND);
        drawFloors(canvas, fonts);
        drawTitle(canvas, fonts);
        for (const Room& room : house) canvas.draw(drawMap(room.map), room.place.x, room.place.y);
        for (const Card& card : CARDS) drawCard(canvas, fonts, card);
        // Symbols over the lines: where a door lands on a checkpoint, the checkpoint shows.
        drawLinks(canvas, house, exits);
        for (const Room& room : house) drawThings(canvas, fonts, room);
        for (const Exit& exit : exits) drawExitMarker(canvas, fonts, exit);
        for (const Room& room : house) drawName(canvas, fonts, room);
        drawLegend(canvas, fonts);
        if (!canvas.save(argv[1])) fail(std::string("cannot write ") + argv[1]);
    }
    FT_Done_FreeType(library);
    return 0;
}
