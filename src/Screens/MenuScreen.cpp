#include "Screens/MenuScreen.h"

#include "Audio/SoundManager.h"
#include "Content/ContentManager.h"
#include "Content/TextureFont.h"
#include "Engine/KeyCodes.h"
#include "Engine/Viewport.h"
#include "Util/TweenManager.h"

#include <algorithm>

namespace {

constexpr float LINE_GAP = 10.0f;
constexpr float COLOUR_SECONDS = 0.15f;
constexpr float OFFSET_SECONDS = 0.8f;
constexpr float UNSELECTED_OFFSET = 0.0f;
constexpr int CUE_MOVE = 0;
constexpr int CUE_START = 3;

}  // namespace

MenuScreen::MenuScreen(std::span<MenuItem> menuItems)
    : items(menuItems),
      font(static_cast<TextureFont*>(ContentManagerLoad("Assets/Fonts/Menu.fnt", CT_TEXTURE_FONT, 0))) {
    isPopup = true;
    capturesInput = true;
    layOut();
}

// A menu opened again soon after it closed may still have its items moving:
// they stop where the layout puts them.
void MenuScreen::layOut() {
    float widest = 0.0f;
    for (MenuItem& item : items) {
        TweenManagerStop(&item.colour);
        TweenManagerStop(&item.offset);
        const bool first = &item == &items.front();
        item.colour = first ? MENU_HIGHLIGHT_COLOUR : MENU_NORMAL_COLOUR;
        item.offset = first ? MENU_SELECTED_OFFSET : UNSELECTED_OFFSET;
        widest = std::max(widest, font->measureText(item.text, 1.0f).x);
    }
    const auto count = static_cast<float>(items.size());
    origin = {(screenWidth() + widest) * 0.5f,
              (screenHeight() - count * (font->lineHeight + LINE_GAP)) * 0.5f};
    selected = 0;
}

void MenuScreen::handleInput(float) {
    const bool up = KEInputCheckTriggered(KEY_UP) || KEInputCheckTriggered(KEY_W);
    const bool down = KEInputCheckTriggered(KEY_DOWN) || KEInputCheckTriggered(KEY_S);
    if (KEInputCheckTriggered(KEY_ENTER)) {
        SoundManagerPlayInterface(CUE_START);
        confirm(selectedText());
        return;
    }
    const auto last = static_cast<int32_t>(items.size()) - 1;
    const int32_t next = std::clamp(selected - (up ? 1 : 0) + (down ? 1 : 0), 0, last);
    if (next != selected) changeSelection(next);
}

// A second move restarts the running tweens from where the items stand.
void MenuScreen::changeSelection(int32_t next) {
    MenuItem& from = items[static_cast<size_t>(selected)];
    MenuItem& to = items[static_cast<size_t>(next)];
    selected = next;
    SoundManagerPlayInterface(CUE_MOVE);
    TweenManagerTween(&from.colour, &MENU_NORMAL_COLOUR, COLOUR_SECONDS, easeLinear, TWEEN_COLOR, nullptr);
    TweenManagerTween(&from.offset, &UNSELECTED_OFFSET, OFFSET_SECONDS, easeElasticOut, TWEEN_FLOAT, nullptr);
    TweenManagerTween(&to.colour, &MENU_HIGHLIGHT_COLOUR, COLOUR_SECONDS, easeLinear, TWEEN_COLOR, nullptr);
    TweenManagerTween(&to.offset, &MENU_SELECTED_OFFSET, OFFSET_SECONDS, easeElasticOut, TWEEN_FLOAT,
                      nullptr);
}

void MenuScreen::draw(float) {
    const float opacity = transitionOpacity();
    float y = origin.y;
    for (const MenuItem& item : items) {
        Color colour = item.colour;
        colour.opacity = opacity;
        font->drawText(item.text, {origin.x + item.offset, y}, colour, ALIGN_RIGHT);
        y += font->lineHeight + LINE_GAP;
    }
}
