// Tiled map files, through the main-thread step that makes the tileset
// meshes, and every cell's tile property looked up as the room does.
#include "Content/ContentManager.h"
#include "Content/MapContent.h"
#include "FuzzSupport.h"

namespace {

// The tileset images the seed maps name.
constexpr ScratchImage IMAGES[] = {{"Floor.png", 256, 64}, {"Walls.png", 128, 128}, {"Pixel.png", 1, 1}};

void lookUpEveryTile(Map* map) {
    for (int32_t layer = 0; layer < map->tileLayerCount; ++layer)
        for (int32_t row = 0; row < map->height; ++row)
            for (int32_t column = 0; column < map->width; ++column)
                map->getTileProperty(map->getTile(column, row, layer), "Blocking");
}

void loadMap(const char* path) {
    FreshContentCache cache;
    auto* map = ContentLoad<Map>(path, CF_DEFERRED);
    ContentManagerComplete(map, CT_MAP);
    lookUpEveryTile(map);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startHeadlessEngine();
    for (const ScratchImage& image : IMAGES) writeScratchImage(image);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = writeScratchFile("Map.json", data, size);
    runFuzzInput([&] { loadMap(path.c_str()); });
    return 0;
}
