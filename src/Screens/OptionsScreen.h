// The options, over the main menu or the pause menu: the four volumes, the
// window, brightness (its calibration page), the light's look, reduced
// flashing and the keys. Left and Right change the selected value, heard
// and seen at once; every change is kept in the settings file. Escape or
// "Back" returns to the menu below.
#pragma once

#include "Content/Settings.h"
#include "Screens/MenuScreen.h"

#include <memory>
#include <vector>

class OptionsScreen final : public MenuScreen {
public:
    OptionsScreen();

    const char* typeName() const override { return "OptionsScreen"; }
    void handleInput(float dt) override;
    void draw(float dt) override;

private:
    void confirm(const char* text) override;
    Settings shown;  // the values the lines show

    // Left (-1) or Right (+1) on the selected line.
    void change(int direction);
};

std::unique_ptr<OptionsScreen> new_OptionsScreen();

struct WindowSize {
    int width;
    int height;
    bool operator==(const WindowSize&) const = default;
};
// The window sizes offered: the game's resolution at the scales that fit the
// desktop, smallest first.
std::vector<WindowSize> windowSizes();

// The darkness's lift at a brightness, 0 at 0 %.
float brightnessFloor(int32_t brightness);

// Puts the settings to work: volumes, window, brightness, light, flashing.
void applySettings(const Settings& settings);
