#include "Util/StringHelper.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// strdirectory takes the separator nearest the end; strfilename and
// strbasename prefer any backslash over later slashes.
TEST(StringHelperTest, SplitsPaths) {
    EXPECT_EQ(strdirectory("Assets/Animations/Door.json"), "Assets/Animations/");
    EXPECT_EQ(strdirectory("a\\b/c.png"), "a\\b/");
    EXPECT_EQ(strdirectory("Door.json"), "");
    EXPECT_EQ(strdirectory(""), "");
    EXPECT_EQ(strdirectory("/Door.json"), "");

    EXPECT_EQ(strfilename("a\\b/c.png"), "b/c");
    EXPECT_EQ(strfilename("Assets/Textures/Rain/Rain3.png"), "Rain3");
    EXPECT_EQ(strfilename("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(strfilename(".hidden"), "");

    const char* mixed = "a\\b/c.png";
    EXPECT_EQ(strbasename(mixed), mixed + 2);
    const char* bare = "main.cpp";
    EXPECT_EQ(strbasename(bare), bare);
}

}  // namespace
