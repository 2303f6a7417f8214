#include "Content/MapContent.h"

#include "Content/ContentManager.h"
#include "Content/Json.h"
#include "Debug/Debug.h"
#include "Engine/QuadMesh.h"
#include "Engine/Viewport.h"
#include "Util/StringHelper.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// More tiles than this in all tilesets together is a broken file, not a map.
constexpr uint32_t MAX_TILE_COUNT = 1u << 24;
// A packed tile position keeps 8 bits of tileset index and 12 bits each of
// column and row in the tileset image.
constexpr uint32_t MAX_TILESETS = 256;
constexpr uint32_t MAX_IMAGE_CELL = 0xFFF;
// The floor and the darkness layer.
constexpr size_t MIN_TILE_LAYERS = 2;
constexpr double DEGREES_TO_RADIANS = 0.017453292519943295;

// Message names of the JSON types, indexed by json_type.
const char* const JSON_TYPE_NAMES[] = {"nothing",  "an object", "an array",  "an integer",
                                       "a number", "a string",  "a boolean", "null"};

// Where a decimal is expected, an integer will do.
bool hasType(const json_value* value, json_type expected) {
    return value->type == expected || (expected == json_double && value->type == json_integer);
}

double numberOf(const json_value* value) {
    return value->type == json_integer ? static_cast<double>(value->u.integer) : value->u.dbl;
}

// The members of one object of a map file, read for one reading function: a
// missing or mistyped member ends the load with a report naming that
// function and the file.
class Members {
public:
    Members(const json_value* json, const char* ownerName, const char* path, const char* reader)
        : object(json), owner(ownerName), file(path), function(reader) {}

    json_int_t integer(const char* key, const char* missing, json_int_t min, json_int_t max) const {
        json_int_t number = find(key, json_integer, missing)->u.integer;
        if (number < min || number > max)
            fail("%s property %s is out of range (%lld).", owner, key, static_cast<long long>(number));
        return number;
    }

    float decimal(const char* key, const char* missing) const {
        return toFloat(numberOf(find(key, json_double, missing)), key);
    }

    int32_t truncated(const char* key, const char* missing) const {
        double number = std::trunc(numberOf(find(key, json_double, missing)));
        if (!(number >= INT32_MIN && number <= INT32_MAX))
            fail("%s property %s is out of range (%g).", owner, key, number);
        return static_cast<int32_t>(number);
    }

    const char* string(const char* key, const char* missing) const {
        return find(key, json_string, missing)->u.string.ptr;
    }

    const json_value* array(const char* key, const char* missing) const {
        return find(key, json_array, missing);
    }

    bool boolean(const char* key, const char* missing) const {
        return find(key, json_boolean, missing)->u.boolean != 0;
    }

    // Null when the member is absent.
    const json_value* optional(const char* key, json_type type) const { return find(key, type, nullptr); }

    float toFloat(double number, const char* key) const {
        if (!(std::fabs(number) <= FLT_MAX)) fail("%s property %s is out of range (%g).", owner, key, number);
        return static_cast<float>(number);
    }

private:
    const json_value* find(const char* key, json_type type, const char* missing) const {
        const json_value* value = JsonObjectFind(object, key);
        if (value == nullptr) {
            if (missing != nullptr) fail("%s", missing);
            return nullptr;
        }
        if (!hasType(value, type)) fail("%s property %s is not %s.", owner, key, JSON_TYPE_NAMES[type]);
        return value;
    }

    [[noreturn]] __attribute__((format(printf, 2, 3))) void fail(const char* format, ...) const {
        char message[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(message, sizeof message, format, args);
        va_end(args);
        DebugFatalError("%s\nFile: %s", __FILE__, function, __LINE__, message, file);
    }

    const json_value* object;
    const char* owner;
    const char* file;
    const char* function;
};

// "#rrggbb": up to six characters after the first, read as far as they are
// hexadecimal.
Color readBackground(const json_value* text) {
    char digits[7] = {};
    if (text->u.string.length > 0)
        std::memcpy(digits, text->u.string.ptr + 1, std::min<size_t>(text->u.string.length - 1, 6));
    uint32_t packed = static_cast<uint32_t>(std::strtol(digits, nullptr, 16)) | 0xFF000000u;
    auto channel = [packed](int shift) { return static_cast<float>(packed >> shift & 0xFF) / 255.0f; };
    return Color{packed, 1.0f, channel(16), channel(8), channel(0)};
}

// Tiles that cover the screen, plus one for the tile the scrolling cuts.
int32_t visibleCells(float screenSize, int32_t tileSize) {
    int32_t covering = static_cast<int32_t>(std::ceil(screenSize / static_cast<float>(tileSize)));
    return static_cast<uint16_t>(covering) + 1;
}

uint32_t packPosition(uint32_t tileset, uint32_t column, uint32_t row) {
    return (column | row << 12) << 8 | tileset;
}

// Blocking stops light and the character; Collision, when present, then
// decides for the character alone.
uint32_t collisionFlags(const Properties* properties) {
    uint32_t flags = 0;
    const Property* blocking = PropertiesGet(properties, "Blocking");
    if (blocking != nullptr && blocking->asBool()) flags |= TILE_BLOCKING | TILE_COLLISION;
    const Property* collision = PropertiesGet(properties, "Collision");
    if (collision != nullptr) flags = collision->asBool() ? flags | TILE_COLLISION : flags & ~TILE_COLLISION;
    return flags;
}

void keepTileProperties(Tileset* tileset, std::vector<TileProperties>* found) {
    if (found->empty()) return;
    tileset->tileProperties.reset(DEBUG_NEW_ARRAY(TileProperties, found->size(), __func__));
    std::move(found->begin(), found->end(), tileset->tileProperties.get());
    tileset->tilePropertyCount = static_cast<uint32_t>(found->size());
}

// One map load. The gid table and the per-gid flags live only while the map
// is read.
class MapReader {
public:
    MapReader(Map* target, uint32_t loadFlags) : map(target), flags(loadFlags) {}

    void loadJSON(const json_value* document);

private:
    void requireObject(const json_value* value, const char* what) const;
    void parseTilesets(const json_value* array);
    void parseTileset(Tileset* tileset, const json_value* object, const char* folder);
    TextureContent* loadImage(const char* folder, const char* image) const;
    uint32_t countTiles(const Tileset& tileset);
    void parseTilesetTileProperties(std::vector<TileProperties>* found, const Tileset& tileset,
                                    uint32_t tiles, const json_value* object) const;
    void parseTileList(std::vector<TileProperties>* found, const Tileset& tileset, uint32_t tiles,
                       const json_value* array) const;
    uint32_t tileIndex(const char* name, uint32_t tiles) const;
    void requireAscendingFirstGids() const;
    void buildGidTable();
    void decideTileFlags();
    void parseLayers(const json_value* array);
    void parseTileLayers(const std::vector<const json_value*>& layers);
    void parseTileLayerData(TileLayer* layer, const json_value* array) const;
    Tile readTile(const json_value* entry) const;
    void parseObjectLayer(const json_value* layer);
    std::unique_ptr<MapObject> parseObject(const json_value* object) const;

    Map* map;
    uint32_t flags;
    uint32_t tileCount = 0;           // in all tilesets together
    std::vector<uint32_t> gidTable;   // the packed position of every gid up to tileCount
    std::vector<uint32_t> tileFlags;  // the collision flags of every gid up to tileCount
};

void MapReader::loadJSON(const json_value* document) {
    if (document == nullptr) FATAL_ERROR("Map contains invalid JSON.\nFile: %s", map->path.c_str());
    if (document->type != json_object) FATAL_ERROR("Invalid map structure.\nFile: %s", map->path.c_str());
    Members members(document, "Map", map->path.c_str(), __func__);
    if (const json_value* color = members.optional("backgroundcolor", json_string))
        map->background = readBackground(color);
    map->width = static_cast<int32_t>(members.integer("width", "Map missing width property.", 1, UINT16_MAX));
    map->height =
        static_cast<int32_t>(members.integer("height", "Map missing height property.", 1, UINT16_MAX));
    map->tileWidth =
        static_cast<int32_t>(members.integer("tilewidth", "Map missing tile width property.", 1, UINT16_MAX));
    map->tileHeight = static_cast<int32_t>(
        members.integer("tileheight", "Map missing tile height property.", 1, UINT16_MAX));
    parseTilesets(members.array("tilesets", "Map missing tilesets property."));
    parseLayers(members.array("layers", "Map missing layers property."));
    if (const json_value* properties = JsonObjectFind(document, "properties"))
        map->properties = PropertiesLoad(properties, map->path.c_str());
    map->visibleColumns = visibleCells(screenWidth(), map->tileWidth);
    map->visibleRows = visibleCells(screenHeight(), map->tileHeight);
}

void MapReader::requireObject(const json_value* value, const char* what) const {
    if (value->type != json_object)
        FATAL_ERROR("Map %s is not a JSON object.\nFile: %s", what, map->path.c_str());
}

void MapReader::parseTilesets(const json_value* array) {
    uint32_t count = array->u.array.length;
    if (count == 0 || count > MAX_TILESETS)
        FATAL_ERROR("Map has %u tilesets, not between 1 and %u.\nFile: %s", count, MAX_TILESETS,
                    map->path.c_str());
    map->tilesetCount = static_cast<uint16_t>(count);
    map->tilesets.reset(DEBUG_NEW_ARRAY(Tileset, count, __func__));
    // Images are named relative to the map file's folder.
    const std::string folder = strdirectory(map->path.c_str());
    for (uint32_t i = 0; i < count; ++i)
        parseTileset(&map->tilesets[i], array->u.array.values[i], folder.c_str());
    buildGidTable();
    decideTileFlags();
}

void MapReader::parseTileset(Tileset* tileset, const json_value* object, const char* folder) {
    requireObject(object, "tileset");
    Members members(object, "Tileset", map->path.c_str(), __func__);
    tileset->texture = loadImage(folder, members.string("image", "Tileset missing image property."));
    tileset->imageWidth = static_cast<int32_t>(
        members.integer("imagewidth", "Tileset missing image width property.", 1, UINT16_MAX));
    tileset->imageHeight = static_cast<int32_t>(
        members.integer("imageheight", "Tileset missing image height property.", 1, UINT16_MAX));
    tileset->firstGid = static_cast<uint32_t>(
        members.integer("firstgid", "Tileset missing first gid property.", 1, MAX_TILE_COUNT));
    uint32_t tiles = countTiles(*tileset);
    std::vector<TileProperties> found;
    if (const json_value* properties = members.optional("tileproperties", json_object))
        parseTilesetTileProperties(&found, *tileset, tiles, properties);
    // Before Tiled 1.2 "tiles" was an object holding only what the game does
    // not read, such as tile animations.
    const json_value* list = JsonObjectFind(object, "tiles");
    if (list != nullptr && list->type == json_array) parseTileList(&found, *tileset, tiles, list);
    keepTileProperties(tileset, &found);
}

TextureContent* MapReader::loadImage(const char* folder, const char* image) const {
    const std::string imagePath = std::string(folder) + image;
    return ContentLoad<TextureContent>(imagePath.c_str(), flags);
}

// The tiles a tileset adds, cut at the map's tile size.
uint32_t MapReader::countTiles(const Tileset& tileset) {
    uint32_t columns = static_cast<uint32_t>(tileset.imageWidth / map->tileWidth);
    uint32_t rows = static_cast<uint32_t>(tileset.imageHeight / map->tileHeight);
    if (columns == 0 || rows == 0)
        FATAL_ERROR("Tileset image %s is smaller than one tile.\nFile: %s", tileset.texture->path.c_str(),
                    map->path.c_str());
    uint64_t total = uint64_t{tileCount} + uint64_t{columns} * rows;
    if (total > MAX_TILE_COUNT)
        FATAL_ERROR("Map tilesets hold more than %u tiles.\nFile: %s", MAX_TILE_COUNT, map->path.c_str());
    tileCount = static_cast<uint32_t>(total);
    return columns * rows;
}

// Member names are tile indices within the tileset; member values are the
// tiles' properties objects.
void MapReader::parseTilesetTileProperties(std::vector<TileProperties>* found, const Tileset& tileset,
                                           uint32_t tiles, const json_value* object) const {
    for (const json_object_entry& member : object->u.object) {
        TileProperties& entry = found->emplace_back();
        entry.gid = tileset.firstGid + tileIndex(member.name, tiles);
        entry.properties = PropertiesLoad(member.value, map->path.c_str());
    }
}

// Tiled's form: {"id": index, "properties": [...]} entries; tiles listed for
// other reasons have no properties.
void MapReader::parseTileList(std::vector<TileProperties>* found, const Tileset& tileset, uint32_t tiles,
                              const json_value* array) const {
    for (const json_value* tile : array->u.array) {
        requireObject(tile, "tile");
        Members members(tile, "Tile", map->path.c_str(), __func__);
        json_int_t index = members.integer("id", "Tile missing id.", 0, json_int_t{tiles} - 1);
        const json_value* properties = JsonObjectFind(tile, "properties");
        if (properties == nullptr) continue;
        TileProperties& entry = found->emplace_back();
        entry.gid = tileset.firstGid + static_cast<uint32_t>(index);
        entry.properties = PropertiesLoad(properties, map->path.c_str());
    }
}

uint32_t MapReader::tileIndex(const char* name, uint32_t tiles) const {
    const char* end = name + std::strlen(name);
    uint32_t index = 0;
    auto [last, error] = std::from_chars(name, end, index);
    if (error != std::errc() || last != end || index >= tiles)
        FATAL_ERROR("Tile property name %s is not the index of a tile in its tileset.\nFile: %s", name,
                    map->path.c_str());
    return index;
}

// As the editor writes them: the first tileset starts at gid 1, and each
// later one after the one before.
void MapReader::requireAscendingFirstGids() const {
    if (map->tilesets[0].firstGid != 1)
        FATAL_ERROR("The first tileset starts at gid %u, not 1.\nFile: %s", map->tilesets[0].firstGid,
                    map->path.c_str());
    for (uint32_t i = 1; i < map->tilesetCount; ++i)
        if (map->tilesets[i].firstGid <= map->tilesets[i - 1].firstGid)
            FATAL_ERROR("Tileset %u starts at gid %u, not after tileset %u.\nFile: %s", i,
                        map->tilesets[i].firstGid, i - 1, map->path.c_str());
}

// A gid belongs to the last tileset starting at or before it.
void MapReader::buildGidTable() {
    requireAscendingFirstGids();
    gidTable.assign(size_t{tileCount} + 1, 0);
    uint32_t index = 0;
    for (uint32_t gid = 1; gid <= tileCount; ++gid) {
        while (index + 1u < map->tilesetCount && map->tilesets[index + 1].firstGid <= gid) ++index;
        const Tileset& tileset = map->tilesets[index];
        uint32_t local = gid - tileset.firstGid;
        uint32_t columns = static_cast<uint32_t>(tileset.imageWidth / map->tileWidth);
        uint32_t column = local % columns;
        uint32_t row = local / columns;
        if (column > MAX_IMAGE_CELL || row > MAX_IMAGE_CELL)
            FATAL_ERROR("Gid %u lies at column %u, row %u of %s, beyond a tile position's reach.\nFile: %s",
                        gid, column, row, tileset.texture->path.c_str(), map->path.c_str());
        gidTable[gid] = packPosition(index, column, row);
    }
}

// Decided once per gid rather than once per cell: a gid's first property
// entry in the tileset its position names counts, as getTileProperty finds it.
void MapReader::decideTileFlags() {
    tileFlags.assign(size_t{tileCount} + 1, 0);
    for (uint32_t index = 0; index < map->tilesetCount; ++index) {
        const Tileset& tileset = map->tilesets[index];
        for (uint32_t i = tileset.tilePropertyCount; i-- > 0;) {
            const TileProperties& entry = tileset.tileProperties[i];
            if (entry.gid <= tileCount && (gidTable[entry.gid] & 0xFF) == index)
                tileFlags[entry.gid] = collisionFlags(entry.properties.get());
        }
    }
}

void MapReader::parseLayers(const json_value* array) {
    std::vector<const json_value*> tileLayers;
    for (const json_value* layer : array->u.array) {
        requireObject(layer, "layer");
        // Layers of other types, and layers without one, are not the game's.
        const json_value* type = JsonObjectFind(layer, "type");
        if (type == nullptr || type->type != json_string) continue;
        if (std::strcmp(type->u.string.ptr, "tilelayer") == 0) tileLayers.push_back(layer);
        else if (std::strcmp(type->u.string.ptr, "objectgroup") == 0) parseObjectLayer(layer);
    }
    parseTileLayers(tileLayers);
}

void MapReader::parseTileLayers(const std::vector<const json_value*>& layers) {
    if (layers.size() < MIN_TILE_LAYERS || layers.size() > UINT16_MAX)
        FATAL_ERROR("Map has %zu tile layers, not between %zu (floor and darkness) and %u.\nFile: %s",
                    layers.size(), MIN_TILE_LAYERS, UINT16_MAX, map->path.c_str());
    map->tileLayerCount = static_cast<uint16_t>(layers.size());
    map->tileLayers.reset(DEBUG_NEW_ARRAY(TileLayer, layers.size(), __func__));
    for (size_t i = 0; i < layers.size(); ++i) {
        Members members(layers[i], "Tile layer", map->path.c_str(), __func__);
        TileLayer& layer = map->tileLayers[i];
        layer.visible = members.boolean("visible", "Tile layer missing visible property.");
        layer.opacity = members.decimal("opacity", "Tile layer missing opacity property.");
        parseTileLayerData(&layer, members.array("data", "Tile layer missing data property."));
    }
}

void MapReader::parseTileLayerData(TileLayer* layer, const json_value* array) const {
    size_t cells = static_cast<size_t>(map->width) * static_cast<size_t>(map->height);
    if (array->u.array.length < cells)
        FATAL_ERROR("Tile layer data holds %u gids, fewer than the map's %zu cells.\nFile: %s",
                    array->u.array.length, cells, map->path.c_str());
    layer->tiles.reset(DEBUG_NEW_ARRAY(Tile, cells, __func__));
    for (size_t i = 0; i < cells; ++i) layer->tiles[i] = readTile(array->u.array.values[i]);
}

// Gids beyond every tileset, such as those carrying the editor's flip bits,
// make empty cells.
Tile MapReader::readTile(const json_value* entry) const {
    if (entry->type != json_integer || entry->u.integer < 0 || entry->u.integer > UINT32_MAX)
        FATAL_ERROR("Tile layer data holds something other than a gid.\nFile: %s", map->path.c_str());
    Tile tile;
    tile.gid = static_cast<uint32_t>(entry->u.integer);
    if (tile.gid == 0 || tile.gid > tileCount) {
        tile.flags = TILE_EMPTY;
        return tile;
    }
    tile.flags = tileFlags[tile.gid];
    tile.position = gidTable[tile.gid];
    return tile;
}

void MapReader::parseObjectLayer(const json_value* layer) {
    Members members(layer, "Object layer", map->path.c_str(), __func__);
    for (const json_value* object : members.array("objects", "Unable to parse objects layer.")->u.array)
        map->objects.pushBack(parseObject(object));
}

std::unique_ptr<MapObject> MapReader::parseObject(const json_value* object) const {
    requireObject(object, "object");
    Members members(object, "Object", map->path.c_str(), __func__);
    std::unique_ptr<MapObject> mapObject = DEBUG_MAKE_UNIQUE(MapObject, __func__);
    // Tiled 1.9 wrote an object's type as its class.
    const char* typeKey = JsonObjectFind(object, "type") != nullptr ? "type" : "class";
    mapObject->type = members.string(typeKey, "Object missing type.");
    if (const json_value* name = members.optional("name", json_string)) mapObject->name = name->u.string.ptr;
    mapObject->width = members.truncated("width", "Object missing width.");
    mapObject->height = members.truncated("height", "Object missing height.");
    mapObject->x = members.decimal("x", "Object missing x position.");
    mapObject->y = members.decimal("y", "Object missing y position.");
    if (const json_value* rotation = members.optional("rotation", json_double))
        mapObject->rotation = members.toFloat(numberOf(rotation) * DEGREES_TO_RADIANS, "rotation");
    if (const json_value* properties = JsonObjectFind(object, "properties"))
        mapObject->properties = PropertiesLoad(properties, map->path.c_str());
    return mapObject;
}

}  // namespace

Map* MapContentLoad(const char* path, uint32_t flags) {
    const std::string text = ContentManagerLoadString(path);
    std::unique_ptr<Map> map = new_Map();
    map->path = path;
    const JsonDocument document = JsonParse(text.data(), text.size());
    MapReader(map.get(), flags).loadJSON(document.get());
    // The content cache owns it from here until MapContentUnload.
    return map.release();
}

void MapContentComplete(Map* map) {
    for (uint16_t i = 0; i < map->tilesetCount; ++i) {
        Tileset& tileset = map->tilesets[i];
        // Does nothing when the loading screen has completed the image already.
        TextureContentComplete(tileset.texture);
        if (tileset.mesh == nullptr)
            tileset.mesh = createFrameMesh(map->tileWidth, map->tileHeight, tileset.imageWidth,
                                           tileset.imageHeight, tileset.tileUv);
    }
}

void MapContentUnload(Map* map) {
    delete map;
}
