// The brightness calibration page: two patches of the house's stone, the left
// in the deepest darkness the game shows, the right as a dimly lit tile.
// Left and Right raise or lower the lift of the darkness until the left one is
// just visible; Enter keeps it. Shown once at the first start, before the
// main menu, and from the options.
#pragma once

#include "Engine/Kestrel.h"
#include "Screens/Screen.h"

#include <cstdint>
#include <memory>

class TextureFont;

class BrightnessScreen final : public Screen {
public:
    // firstStart: the main menu follows; else the options are below.
    explicit BrightnessScreen(bool firstStart);

    const char* typeName() const override { return "BrightnessScreen"; }
    void loadContent() override;
    void handleInput(float dt) override;
    void draw(float dt) override;

private:
    bool firstStart;
    int32_t brightness;        // percent, as shown
    int32_t brightnessBefore;  // what Escape goes back to
    TextureFont* titleFont = nullptr;
    TextureFont* textFont = nullptr;
    KEMeshHandle black;
    KEMeshHandle stone;

    void keep(int32_t value);
    void drawPatch(float x, float y, float darkness, float opacity) const;
    void drawFilled(KEMesh* mesh, float x, float y, float width, float height, float opacity) const;
};

std::unique_ptr<BrightnessScreen> new_BrightnessScreen(bool firstStart);
