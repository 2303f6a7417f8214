#include "Content/ContentManager.h"
#include "Content/MapContent.h"
#include "Engine/Viewport.h"
#include "Game/Game.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace {

// Tile width 32: Floor.png holds gids 1-16 (8 x 2 tiles), Walls.png gids 17-32 (4 x 4 tiles).
const std::string ROOM =
    R"({"width": 3, "height": 2, "tilewidth": 32, "tileheight": 32, "backgroundcolor": "#336699",
 "tilesets": [
  {"image": "Floor.png", "imagewidth": 256, "imageheight": 64, "firstgid": 1, "tileproperties": {
    "2": {"bool.Blocking": "true"}, "3": {"bool.Blocking": "true", "bool.Collision": "false"},
    "4": {"bool.Collision": "true"}}},
  {"image": "Walls.png", "imagewidth": 128, "imageheight": 128, "firstgid": 17,
   "tileproperties": {"0": {"bool.Blocking": "true", "Name": "corner"}}}],
 "layers": [
  {"type": "tilelayer", "visible": true, "opacity": 1, "data": [10, 17, 32, 33, 0, 2147483649]},
  {"type": "imagelayer", "image": "Sky.png"},
  {"type": "objectgroup", "objects": [{"type": "Entity.Door", "name": "front", "x": 12.5, "y": 40,
    "width": 31.9, "height": -2.7, "rotation": 90, "properties": {"int.Id": "3", "bool.Locked": "True"}}]},
  {"visible": false},
  {"type": "tilelayer", "visible": false, "opacity": 0.5, "data": [3, 4, 5, 1, 17, 0, 99]},
  {"type": "objectgroup", "objects": [{"type": "Entity.Light", "x": 0, "y": 0, "width": 64, "height": 64,
    "properties": {}}]}]})";

using Changes = std::vector<std::pair<std::string, std::string>>;

// ROOM with the first occurrence of each text replaced.
std::string changed(const Changes& changes) {
    std::string json = ROOM;
    for (const auto& [from, to] : changes) json.replace(json.find(from), from.size(), to);
    return json;
}

class MapContentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ContentManagerInit();
        files.writePng("Floor.png", 256, 64);
        files.writePng("Walls.png", 128, 128);
    }
    void TearDown() override { ContentManagerShutdown(); }

    // Deferred, as the loading screen loads maps: no engine needed.
    Map* load(const std::string& json, const std::string& name = "Room.json") {
        return ContentLoad<Map>(files.write(name, json).c_str(), CF_DEFERRED);
    }

    ScratchDirectory files;
    ScopedViewport viewport{800.0f, 600.0f, screenScale()};
};

std::vector<std::pair<uint32_t, uint32_t>> flagsAndPositions(const TileLayer& layer, int cells) {
    std::vector<std::pair<uint32_t, uint32_t>> found;
    for (int i = 0; i < cells; ++i) found.emplace_back(layer.tiles[i].flags, layer.tiles[i].position);
    return found;
}

TEST_F(MapContentTest, TilesGetPackedPositionsAndFlagsFromTheirTilesets) {
    Map* map = load(ROOM);
    ASSERT_EQ(map->tilesetCount, 2);
    EXPECT_EQ(map->tilesets[0].texture->width, 256u);
    EXPECT_EQ(map->tilesets[0].mesh, nullptr);
    ASSERT_EQ(map->tileLayerCount, 2);
    EXPECT_TRUE(map->tileLayers[0].visible);
    EXPECT_FALSE(map->tileLayers[1].visible);
    EXPECT_EQ(map->tileLayers[1].opacity, 0.5f);

    // Gid 10: tileset 0 column 1 row 1; 17: tileset 1's first tile; 32: its last; 33, 0 and flipped gids:
    // empty.
    EXPECT_EQ(
        flagsAndPositions(map->tileLayers[0], 6),
        (std::vector<std::pair<uint32_t, uint32_t>>{
            {0, 0x100100}, {6, 0x1}, {0, 0x300301}, {TILE_EMPTY, 0}, {TILE_EMPTY, 0}, {TILE_EMPTY, 0}}));
    // Blocking: 6; Blocking with Collision false: 2; Collision alone: 4; no properties: 0.
    EXPECT_EQ(flagsAndPositions(map->tileLayers[1], 6),
              (std::vector<std::pair<uint32_t, uint32_t>>{
                  {6, 0x200}, {2, 0x300}, {4, 0x400}, {0, 0}, {6, 0x1}, {TILE_EMPTY, 0}}));
    const Tile* emptyTile = map->getTile(0, 1, 0);
    EXPECT_EQ(emptyTile->gid, 33u);
    EXPECT_EQ(emptyTile->darkness, 1.0f);
}

TEST_F(MapContentTest, TileQueriesStayInsideTheMap) {
    Map* map = load(ROOM);
    EXPECT_EQ(map->getTile(2, 1, 1), &map->tileLayers[1].tiles[5]);
    for (auto [column, row, layer] : {std::array{3, 0, 0}, {0, -1, 0}, {0, 2, 0}, {0, 0, 2}})
        EXPECT_EQ(map->getTile(column, row, layer), nullptr) << column << ", " << row << ", " << layer;

    EXPECT_TRUE(map->getTileProperty(map->getTile(0, 0, 1), "Blocking")->asBool());
    EXPECT_STREQ(map->getTileProperty(map->getTile(1, 0, 0), "Name")->asString(), "corner");
    EXPECT_EQ(map->getTileProperty(map->getTile(0, 1, 1), "Blocking"), nullptr)
        << "a tile without properties";
    EXPECT_EQ(map->getTileProperty(map->getTile(0, 0, 1), "blocking"), nullptr);
    EXPECT_EQ(map->getTileProperty(map->getTile(0, 1, 0), "Blocking"), nullptr) << "an empty tile";
    EXPECT_EQ(map->getTileProperty(nullptr, "Blocking"), nullptr);
}

TEST_F(MapContentTest, ObjectsOfEveryGroupInFileOrder) {
    Map* map = load(ROOM);
    std::vector<std::string> types;
    map->forEachObject([&](Map* owner, MapObject* object) {
        EXPECT_EQ(owner, map);
        types.emplace_back(object->type);
    });
    EXPECT_EQ(types, (std::vector<std::string>{"Entity.Door", "Entity.Light"}));

    const MapObject* door = map->objects.head->data;
    EXPECT_EQ(door->name, "front");
    EXPECT_EQ((std::array{door->x, door->y, door->rotation}), (std::array{12.5f, 40.0f, 1.5707964f}));
    EXPECT_EQ((std::array{door->width, door->height}), (std::array{31, -2})) << "truncated";
    EXPECT_EQ(PropertiesGet(door->properties.get(), "Id")->asInt(), 3);
    EXPECT_FALSE(PropertiesGet(door->properties.get(), "Locked")->asBool());
    const MapObject* light = map->objects.tail->data;
    EXPECT_FALSE(light->name.has_value());
    EXPECT_EQ(light->rotation, 0.0f);
    EXPECT_EQ(light->properties, nullptr);
}

TEST_F(MapContentTest, BackgroundScreenCoverAndDuplicateKeys) {
    Map* map = load(ROOM);
    const Color& background = map->background;
    EXPECT_EQ((std::array{background.red, background.green, background.blue, background.opacity}),
              (std::array{0.2f, 0.4f, 0.6f, 1.0f}));
    EXPECT_EQ(background.packed, 0xFF336699u);
    EXPECT_EQ(map->visibleColumns, 26);
    EXPECT_EQ(map->visibleRows, 20);

    EXPECT_EQ(load(changed({{"#336699", "#80336699"}}), "Eight.json")->background.packed, 0xFF803366u);
    EXPECT_EQ(load(changed({{"#336699", ""}}), "Empty.json")->background.packed, 0xFF000000u);
    Map* plain = load(changed({{R"("backgroundcolor": "#336699",)", R"("width": 99,)"}}), "Plain.json");
    EXPECT_EQ(plain->background.packed, colourBlack.packed);
    EXPECT_EQ(plain->background.red, 0.0f);
    EXPECT_EQ(plain->width, 3) << "the first of two equal keys counts";
}

// Members go after TearDown: the engine outlives the textures.
class MapContentEngineTest : public MapContentTest {
protected:
    HeadlessEngine engine;
};

TEST_F(MapContentEngineTest, MainThreadStepCreatesTexturesAndTileMeshesOnce) {
    Map* map = load(ROOM);
    EXPECT_EQ(map->tilesets[0].texture->texture, nullptr) << "the images load deferred with the map";
    MapContentComplete(map);
    KEMesh* mesh = map->tilesets[1].mesh;
    ASSERT_NE(mesh, nullptr);
    EXPECT_NE(map->tilesets[0].texture->texture, nullptr);
    EXPECT_EQ(
        (std::array{map->tilesets[0].tileUv[0], map->tilesets[0].tileUv[1], map->tilesets[1].tileUv[1]}),
        (std::array{0.125f, 0.5f, 0.25f}));
    MapContentComplete(map);
    EXPECT_EQ(map->tilesets[1].mesh, mesh);
}

TEST_F(MapContentTest, BrokenMapsAreFatalAndNameTheFile) {
    std::string manyTilesets = "[";
    for (int i = 0; i < 257; ++i) manyTilesets += "{}, ";
    // ROOM with one text replaced; without one, the whole file.
    const struct {
        std::string from, to;
        const char* message;
    } cases[] = {
        {"", "{", "Map contains invalid JSON\\."},
        {"", "", "Map contains invalid JSON\\."},
        {"", "12", "Invalid map structure\\."},
        {R"("width": 3, )", "", "Map missing width property\\."},
        {R"("width": 3)", R"("width": "3")", "Map property width is not an integer\\."},
        {R"("width": 3)", R"("width": 3.0)", "Map property width is not an integer\\."},
        {R"("width": 3)", R"("width": 0)", "Map property width is out of range \\(0\\)\\."},
        {R"("height": 2)", R"("height": -2)", "Map property height is out of range \\(-2\\)\\."},
        {R"("tilewidth": 32)", R"("tilewidth": 0)", "Map property tilewidth is out of range"},
        {R"("#336699")", "336699", "Map property backgroundcolor is not a string\\."},
        {R"("tilesets")", R"("tileset")", "Map missing tilesets property\\."},
        {R"("tilesets": [)", R"("tilesets": [], "unused": [)", "Map has 0 tilesets"},
        {R"("tilesets": [)", R"("tilesets": )" + manyTilesets + R"(], "unused": [)", "Map has 257 tilesets"},
        {R"("tilesets": [)", R"("tilesets": [5, )", "Map tileset is not a JSON object\\."},
        {R"("layers")", R"("layer")", "Map missing layers property\\."},
        {R"("layers": [)", R"("layers": [null, )", "Map layer is not a JSON object\\."},
        {R"("image": "Floor.png", )", "", "Tileset missing image property\\."},
        {R"("imagewidth": 256, )", "", "Tileset missing image width property\\."},
        {R"("firstgid": 1, )", "", "Tileset missing first gid property\\."},
        {R"("imagewidth": 256)", R"("imagewidth": 16)", "Floor\\.png is smaller than one tile\\."},
        {R"("firstgid": 1,)", R"("firstgid": 2,)", "The first tileset starts at gid 2, not 1\\."},
        {R"("firstgid": 17)", R"("firstgid": 1)", "Tileset 1 starts at gid 1, not after tileset 0"},
        // Tileset 0 grows to 32752 tiles, but tileset 1 still starts at gid 17 and takes them all.
        {R"("imagewidth": 256, "imageheight": 64)", R"("imagewidth": 512, "imageheight": 65535)",
         "Gid 16401 lies at column 0, row 4096 of .*Walls\\.png, beyond a tile position's reach\\."},
        {R"("2": {)", R"("x": {)", "Tile property name x is not the index of a tile"},
        {R"("2": {)", R"("16": {)", "Tile property name 16 is not the index of a tile"},
        {R"("tileproperties": {)", R"("tileproperties": [], "unused": {)",
         "Tileset property tileproperties is not an object\\."},
        {R"({"bool.Collision": "true"})", "5", "Properties must be a JSON object\\."},
        {R"("bool.Blocking": "true"})", R"("Blocking": "true"})",
         "Property Blocking is a string, not a bool\\."},
        {R"("firstgid": 17,)", R"("firstgid": 17, "tiles": [5],)", "Map tile is not a JSON object\\."},
        {R"("firstgid": 17,)", R"("firstgid": 17, "tiles": [{"id": 16}],)",
         "Tile property id is out of range \\(16\\)\\."},
        {R"("firstgid": 17,)",
         R"("firstgid": 17, "tiles": [{"id": 0, "properties": [{"name": "Blocking", "type": "int", )"
         R"("value": 1}]}],)",
         "Property Blocking is an int, not a bool\\."},
        {R"("visible": true, )", "", "Tile layer missing visible property\\."},
        {R"("visible": true)", R"("visible": "true")", "Tile layer property visible is not a boolean"},
        {R"("opacity": 1, )", "", "Tile layer missing opacity property\\."},
        {R"("data")", R"("date")", "Tile layer missing data property\\."},
        {R"("data": [10, 17, 32, 33, 0, 2147483649])", R"("data": "ChEgIQ==")",
         "Tile layer property data is not an array\\."},
        {"0, 2147483649]", "0]", "Tile layer data holds 5 gids, fewer than the map's 6 cells\\."},
        {"33, 0", R"("33", 0)", "Tile layer data holds something other than a gid\\."},
        {"33, 0", "-1, 0", "Tile layer data holds something other than a gid\\."},
        {"33, 0", "4294967296, 0", "Tile layer data holds something other than a gid\\."},
        {R"("type": "tilelayer", "visible": false)", R"("type": "floor", "visible": false)",
         "Map has 1 tile layers, not between 2"},
        {R"("objects": [{"type": "Entity.Light")", R"("object": [{"type": "Entity.Light")",
         "Unable to parse objects layer\\."},
        {R"("objects": [)", R"("objects": [[], )", "Map object is not a JSON object\\."},
        {R"("type": "Entity.Door", )", "", "Object missing type\\."},
        {R"("width": 31.9, )", "", "Object missing width\\."},
        {R"("height": -2.7, )", "", "Object missing height\\."},
        {R"("x": 12.5, )", "", "Object missing x position\\."},
        {R"("y": 40,)", "", "Object missing y position\\."},
        {R"("name": "front")", R"("name": 5)", "Object property name is not a string\\."},
        {R"("width": 31.9)", R"("width": 3e9)", "Object property width is out of range"},
        {R"("x": 12.5)", R"("x": 1e39)", "Object property x is out of range"},
        {R"("properties": {})", R"("properties": [])", "Properties must be a JSON object\\."},
        {R"("int.Id": "3")", R"("int.Id": 3)", "Property int.Id is not a JSON string\\."},
    };
    for (const auto& [from, to, message] : cases) {
        const std::string json = from.empty() ? to : changed({{from, to}});
        EXPECT_FATAL(load(json), std::string(message) + ".*File: .*/Room\\.json") << json;
    }
    EXPECT_FATAL(load(changed({{R"("tilewidth": 32, "tileheight": 32)", R"("tilewidth": 1, "tileheight": 1)"},
                               {R"("imagewidth": 256, "imageheight": 64)",
                                R"("imagewidth": 65535, "imageheight": 65535)"}})),
                 "Map tilesets hold more than 16777216 tiles\\..*File: .*/Room\\.json");
}

std::string dataFile(const char* name) {
    std::ifstream in(std::string(HALCYRA_TEST_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string propertyText(const Property& property) {
    std::string text = std::string(" ") + property.name + "=";
    if (property.kind == PT_BOOL) return text + (property.asBool() ? "true" : "false");
    if (property.kind == PT_INT) return text + std::to_string(property.asInt()) + "i";
    if (property.kind == PT_DECIMAL) return text + std::to_string(property.asDecimal()) + "f";
    return text + "'" + property.asString() + "'";
}

// Every cell as "gid flags position", then each object's type, name, place and properties, these read back
// as their kinds and in name order, as Tiled sorts them.
std::vector<std::string> readBack(Map* map) {
    std::vector<std::string> lines;
    for (int layer = 0; layer < map->tileLayerCount; ++layer)
        for (const Tile& tile :
             std::span(map->tileLayers[layer].tiles.get(), size_t(map->width * map->height)))
            lines.push_back(std::to_string(tile.gid) + " " + std::to_string(tile.flags) + " " +
                            std::to_string(tile.position));
    map->forEachObject([&](Map*, MapObject* object) {
        std::vector<std::string> properties;
        for (uint32_t i = 0; object->properties != nullptr && i < object->properties->count; ++i)
            properties.push_back(propertyText(object->properties->entries[i]));
        std::ranges::sort(properties);
        lines.push_back(std::string(object->type) + " '" + object->name.value_or("") + "' " +
                        std::to_string(object->x) + "," + std::to_string(object->y));
        for (const std::string& property : properties) lines.back() += property;
    });
    return lines;
}

// Gallery.json is the gallery as the room tool wrote it; GalleryTiled.json is that file opened and saved by
// Tiled 1.8.2, with property lists, tile properties under "tiles" and the kinds left in the names.
TEST_F(MapContentTest, TheGallerySavedByTiledReadsAsTheOriginal) {
    files.writePng("Tiles/Floors.png", 256, 128);
    files.writePng("Tiles/Walls.png", 256, 64);
    std::vector<std::string> original = readBack(load(dataFile("Gallery.json"), "Gallery.json"));
    EXPECT_EQ(readBack(load(dataFile("GalleryTiled.json"), "GalleryTiled.json")), original);
    auto blocking = [](const std::string& line) { return line.find(" 6 ") != std::string::npos; };
    EXPECT_EQ(std::ranges::count_if(original, blocking), 496) << "every wall cell but those of gid 46";
    EXPECT_EQ(
        original[2 * 40 * 28 + 5],
        "Entity.Lantern '' 617.000000,136.000000 Intensity=0.800000f Orientation=0i Radius=150.000000f");
}

// ROOM's floor tiles as Tiled 1.8 lists them, one there for its animation alone, partly with Tiled's types;
// the walls keep the old form beside the "tiles" object Tiled wrote before 1.2; the door's type is
// Tiled 1.9's class.
TEST_F(MapContentTest, TiledFormReadsAsTheOldForm) {
    Map* tiled = load(
        changed({
            {R"("tileproperties": {)", R"("tiles": [{"id": 5, "animation": []}, )"},
            {R"("2": {"bool.Blocking": "true"})",
             R"({"id": 2, "properties": [{"name": "bool.Blocking", "type": "string", "value": "true"}]})"},
            {R"("3": {"bool.Blocking": "true", "bool.Collision": "false"})",
             R"({"id": 3, "properties": [{"name": "Blocking", "type": "bool", "value": true},
                                         {"name": "Collision", "type": "bool", "value": false}]})"},
            {R"("4": {"bool.Collision": "true"}})",
             R"({"id": 4, "properties": [{"name": "Collision", "type": "bool", "value": true}]}])"},
            {R"("firstgid": 17,)", R"("firstgid": 17, "tiles": {"0": {"animation": []}},)"},
            {R"("type": "Entity.Door")", R"("class": "Entity.Door")"},
            {R"({"int.Id": "3", "bool.Locked": "True"})",
             R"([{"name": "Id", "type": "int", "value": 3},
                 {"name": "bool.Locked", "type": "string", "value": "True"}])"},
        }),
        "Tiled.json");
    EXPECT_EQ(readBack(tiled), readBack(load(ROOM)));
}

}  // namespace
