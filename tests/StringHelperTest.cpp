#include "Util/StringHelper.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Frees the returned string so the tests cannot leak it.
std::string take(char* text) {
    std::string copy(text);
    std::free(text);
    return copy;
}

TEST(StringHelperTest, CopiesCutsAndJoins) {
    EXPECT_EQ(take(strduplicate("Lantern")), "Lantern");
    EXPECT_EQ(take(substr("Halcyra", 2, 3)), "lcy");
    EXPECT_EQ(take(substr("Halcyra", 3, 0)), "");
    EXPECT_EQ(take(strmerge("", "Door.json")), "Door.json");
    EXPECT_EQ(take(strmerge("Assets/", "Door.json")), "Assets/Door.json");
}

// strdirectory takes the separator nearest the end; strfilename and
// strbasename prefer any backslash over later slashes.
TEST(StringHelperTest, SplitsPaths) {
    EXPECT_EQ(take(strdirectory("Assets/Animations/Door.json")), "Assets/Animations/");
    EXPECT_EQ(take(strdirectory("a\\b/c.png")), "a\\b/");
    EXPECT_EQ(take(strdirectory("Door.json")), "");
    EXPECT_EQ(take(strdirectory("")), "");
    EXPECT_EQ(take(strdirectory("/Door.json")), "");

    EXPECT_EQ(take(strfilename("a\\b/c.png")), "b/c");
    EXPECT_EQ(take(strfilename("Assets/Textures/Rain/Rain3.png")), "Rain3");
    EXPECT_EQ(take(strfilename("archive.tar.gz")), "archive.tar");
    EXPECT_EQ(take(strfilename(".hidden")), "");

    const char* mixed = "a\\b/c.png";
    EXPECT_EQ(strbasename(mixed), mixed + 2);
    const char* bare = "main.cpp";
    EXPECT_EQ(strbasename(bare), bare);
}

}  // namespace
