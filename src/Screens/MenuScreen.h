// What the main menu and the pause menu share: right-aligned lines of text
// centred as a block, driven with Up, Down (or W, S) and Enter. The selected
// line is dark red, pushed to the right with an elastic bounce, on a band of
// warm light that follows the selection, so that it stands out over any
// backdrop.
#pragma once

#include "Engine/Kestrel.h"
#include "Screens/Screen.h"
#include "Util/Color.h"
#include "Util/Vector2.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class TextureFont;

struct MenuItem {
    const char* text;  // the label, also what the choice is made by
    Color colour;      // tweened between the two menu colours
    float offset;      // pixels added to the item's x, tweened between 0 and 10
};

// Lines whose labels change while the menu runs: the items point into the
// labels, and the layout gives them their colours and offsets.
template <size_t Count>
struct ChangingMenuLines {
    std::array<std::string, Count> labels;
    std::array<MenuItem, Count> items{};

    // After the labels were rewritten.
    std::span<MenuItem> pointAtLabels() {
        for (size_t line = 0; line < Count; ++line) items[line].text = labels[line].c_str();
        return items;
    }
};

inline constexpr Color MENU_NORMAL_COLOUR = colourWhite;
inline constexpr Color MENU_HIGHLIGHT_COLOUR{0xFF582727u, 1.0f, 88.0f / 255.0f, 39.0f / 255.0f,
                                             39.0f / 255.0f};
inline constexpr float MENU_SELECTED_OFFSET = 10.0f;

class MenuScreen : public Screen {
public:
    ~MenuScreen() override;

    void handleInput(float dt) override;
    void draw(float dt) override;

    int32_t selectedIndex() const { return selected; }
    std::span<const MenuItem> menuItems() const { return items; }
    const char* selectedText() const { return items[static_cast<size_t>(selected)].text; }

protected:
    // items live as long as the process: their tweens may outlive the menu.
    explicit MenuScreen(std::span<MenuItem> items);

    // Enter on an item, after the start cue has played.
    virtual void confirm(const char* text) = 0;
    // Every item white and in line but the first, which is selected.
    void layOut();
    // Moves the block so that its middle is at y, in virtual pixels.
    void centreBlockAt(float y);
    // A menu over the game or another menu darkens what lies below it; a
    // veil of full opacity hides it.
    void dimBelow(float veilOpacity = 0.92f);
    // Room to the right of the labels, kept clear and under the band: the
    // block moves left by half of it.
    void reserveRight(float width);
    // The line's top, in virtual pixels.
    float lineTop(int32_t index) const;
    TextureFont* menuFont() const { return font; }
    // Where the labels end on the right, in virtual pixels.
    float blockRight() const { return origin.x; }

private:
    std::span<MenuItem> items;
    TextureFont* font;
    int32_t selected = 0;
    Vector2 origin{};         // the right edge of the block and its top
    float blockWidth = 0.0f;  // the widest line's
    KEMeshHandle band;
    KEMeshHandle overlay;  // black over the screen, when the menu dims what is below
    float overlayOpacity = 0.0f;
    float rightReserve = 0.0f;
    float bandY = 0.0f;       // the top of the band, tweened to the selected line's
    float bandTarget = 0.0f;  // where the band's tween takes it

    void changeSelection(int32_t next);
    void drawBand(float opacity) const;
    void drawOverlay(float opacity) const;
};
