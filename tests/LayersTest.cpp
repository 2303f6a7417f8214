// The layers of the code, bottom to top: Debug and Util; Engine; Content and
// Audio; World and Effects; Screens; Game. A file includes its own layer and
// those below, never one above.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

namespace {

const std::map<std::string, int> LAYER_HEIGHTS = {
    {"Debug", 0}, {"Util", 0},    {"Engine", 1},  {"Content", 2}, {"Audio", 2},
    {"World", 3}, {"Effects", 3}, {"Screens", 4}, {"Game", 5},
};

// The upward includes still to untangle, as "file -> included header". The
// list only shrinks.
const std::set<std::string> NOT_YET = {
    "Audio/SoundManager.cpp -> World/CharacterEntity.h",
    "Audio/SoundManager.cpp -> World/Map.h",
    "Audio/SoundManager.cpp -> World/Room.h",
    "Content/MapContent.h -> World/Map.h",
    "Debug/Debug.cpp -> Engine/Kestrel.h",
    "Util/QuadMesh.h -> Engine/Kestrel.h",
};

TEST(LayersTest, NoIncludeRunsUpward) {
    const std::regex include(R"re(^#include "(\w+)/(\w+\.h)")re");
    std::set<std::string> upward;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(HALCYRA_SOURCES)) {
        const std::string layer = entry.path().parent_path().filename().string();
        if (!entry.is_regular_file() || !LAYER_HEIGHTS.contains(layer)) continue;
        std::ifstream file(entry.path());
        for (std::string line; std::getline(file, line);) {
            std::smatch match;
            if (!std::regex_search(line, match, include) || !LAYER_HEIGHTS.contains(match[1])) continue;
            if (LAYER_HEIGHTS.at(match[1]) > LAYER_HEIGHTS.at(layer))
                upward.insert(layer + "/" + entry.path().filename().string() + " -> " + match[1].str() + "/" +
                              match[2].str());
        }
    }
    for (const std::string& found : upward) EXPECT_TRUE(NOT_YET.contains(found)) << found << " runs upward";
    for (const std::string& listed : NOT_YET)
        EXPECT_TRUE(upward.contains(listed)) << listed << " is gone: strike it";
}

}  // namespace
