// "Assets/Preload.json": every asset the game loads, in load order, as a
// JSON array of {"file": path, "type": content type} objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr char PRELOAD_PATH[] = "Assets/Preload.json";

struct PreloadEntry {
    std::string file;  // spelt exactly as the game asks for it: the cache key
    int32_t type;
};

// Reads and checks the whole list; a broken list is fatal.
std::vector<PreloadEntry> PreloadListRead(const char* path);

class Map;

// Loads and completes everything the list names (and what those assets
// name in turn), hands every map to checkMap, which ends the game on what
// it finds wrong, then prints a summary of the cache.
void PreloadListCheckAssets(const char* path, void (*checkMap)(const Map& map));
