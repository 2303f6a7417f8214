#include "Engine/Viewport.h"
#include "Game/Game.h"

#include <gtest/gtest.h>

namespace {

struct ResolutionCase {
    double desktopWidth, desktopHeight;
    float width, height, scaleX, scaleY;
};

TEST(GameTest, SelectResolutionMatchesTheDesktopAspectOrStretches800By600) {
    const ResolutionCase cases[] = {
        {1920, 1080, 896, 504, 2.142857f, 2.142857f},
        {1280, 1024, 800, 640, 1.6f, 1.6f},
        {1024, 768, 800, 600, 1.28f, 1.28f},
        {1680, 1050, 800, 600, 2.1f, 1.75f},  // 16:10 matches no row
        {1024, 1280, 640, 800, 1.6f, 1.6f},
    };
    for (const ResolutionCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.desktopWidth << "x" << c.desktopHeight);
        selectResolution(c.desktopWidth, c.desktopHeight);
        EXPECT_EQ(screenWidth(), c.width);
        EXPECT_EQ(screenHeight(), c.height);
        EXPECT_NEAR(screenScale().x, c.scaleX, 1e-5f);
        EXPECT_NEAR(screenScale().y, c.scaleY, 1e-5f);
        EXPECT_EQ(KEGetViewport().matrix.m[0][0], screenScale().x);
        EXPECT_EQ(KEGetViewport().matrix.m[1][1], screenScale().y);
        EXPECT_EQ(KEGetViewport().matrix.m[0][2], 0.0f);
    }
}

}  // namespace
