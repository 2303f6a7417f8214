#include "Screens/MenuScreen.h"

#include "Audio/SoundManager.h"
#include "Content/ContentManager.h"
#include "Content/TextureFont.h"
#include "Engine/KeyCodes.h"
#include "Engine/QuadMesh.h"
#include "Engine/Viewport.h"
#include "Util/Matrix3.h"
#include "Util/TweenManager.h"

#include <algorithm>

namespace {

constexpr float LINE_GAP = 10.0f;
constexpr float COLOUR_SECONDS = 0.15f;
constexpr float OFFSET_SECONDS = 0.8f;
constexpr float UNSELECTED_OFFSET = 0.0f;
constexpr int CUE_MOVE = 0;
constexpr int CUE_START = 3;
// The band: candlelit paper behind the selected line, its ends fading out.
constexpr uint32_t BAND_COLOUR = 0xE8DCC0u;
constexpr float BAND_OPACITY = 0.9f;
constexpr float BAND_REACH = 48.0f;       // beyond the block on either side
constexpr float BAND_FADE_SHARE = 0.25f;  // of its width, at each end
constexpr float BAND_MARGIN = 4.0f;       // above and below the line

// A horizontal band over (0, 0)-(1, 1), opaque in the middle and fading
// to nothing at both ends.
KEMesh* createBandMesh() {
    const uint32_t solid = 0xFF000000u | BAND_COLOUR;
    const uint32_t clear = BAND_COLOUR;
    const float stops[] = {0.0f, BAND_FADE_SHARE, 1.0f - BAND_FADE_SHARE, 1.0f};
    const uint32_t colours[] = {clear, solid, solid, clear};
    KEGfxMeshStart();
    for (int i = 0; i < 3; ++i) {
        const float left = stops[i], right = stops[i + 1];
        KEGfxTriAdd(left, 0, colours[i], 0, 0, left, 1, colours[i], 0, 1, right, 0, colours[i + 1], 1, 0);
        KEGfxTriAdd(left, 1, colours[i], 0, 1, right, 1, colours[i + 1], 1, 1, right, 0, colours[i + 1], 1,
                    0);
    }
    return KEGfxMeshEnd();
}

}  // namespace

MenuScreen::MenuScreen(std::span<MenuItem> menuItems)
    : items(menuItems), font(ContentLoad<TextureFont>("Assets/Fonts/Menu.fnt")), band(createBandMesh()) {
    isPopup = true;
    capturesInput = true;
    layOut();
}

// The band's tween may still run when the menu goes.
MenuScreen::~MenuScreen() {
    TweenManagerStop(&bandY);
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
    origin = {(screenWidth() + widest - rightReserve) * 0.5f,
              (screenHeight() - count * (font->lineHeight + LINE_GAP)) * 0.5f};
    blockWidth = widest;
    selected = 0;
    TweenManagerStop(&bandY);
    bandY = lineTop(0);
}

void MenuScreen::centreBlockAt(float y) {
    const auto count = static_cast<float>(items.size());
    origin.y = y - count * (font->lineHeight + LINE_GAP) * 0.5f;
    TweenManagerStop(&bandY);
    bandY = lineTop(selected);
}

void MenuScreen::dimBelow(float veilOpacity) {
    overlay.reset(createQuadMesh(1, 1, &colourBlack));
    overlayOpacity = veilOpacity;
}

void MenuScreen::reserveRight(float width) {
    rightReserve = width;
    origin.x = (screenWidth() + blockWidth - rightReserve) * 0.5f;
}

float MenuScreen::lineTop(int32_t index) const {
    return origin.y + static_cast<float>(index) * (font->lineHeight + LINE_GAP);
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
    bandTarget = lineTop(next);
    TweenManagerTween(&bandY, &bandTarget, COLOUR_SECONDS, easeQuadOut, TWEEN_FLOAT, nullptr);
}

// The band spans the widest line and the selected line's bounce.
void MenuScreen::drawBand(float opacity) const {
    const float left = origin.x - blockWidth - BAND_REACH;
    const float width = blockWidth + MENU_SELECTED_OFFSET + rightReserve + 2 * BAND_REACH;
    const float height = font->lineHeight + 2 * BAND_MARGIN;
    Matrix3 placement, size, transform;
    Matrix3Translate(&placement, left, bandY - BAND_MARGIN);
    Matrix3Scale(&size, width, height);
    Matrix3Concat(&transform, &placement, &size);
    KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
    KEGfxTextureSet(nullptr, 0, 0);
    KEGfxSetTintColor(1, 1, 1, BAND_OPACITY * opacity);
    KEGfxSetTransform(&transform);
    KEGfxMeshDraw(band.get());
}

// The screen below stays visible through it.
void MenuScreen::drawOverlay(float opacity) const {
    Matrix3 cover;
    Matrix3Scale(&cover, screenWidth(), screenHeight());
    KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
    KEGfxTextureSet(nullptr, 0, 0);
    KEGfxSetTintColor(1, 1, 1, overlayOpacity * opacity);
    KEGfxSetTransform(&cover);
    KEGfxMeshDraw(overlay.get());
}

void MenuScreen::draw(float) {
    const float opacity = transitionOpacity();
    if (overlay) drawOverlay(opacity);
    drawBand(opacity);
    float y = origin.y;
    for (const MenuItem& item : items) {
        Color colour = item.colour;
        colour.opacity = opacity;
        font->drawText(item.text, {origin.x + item.offset, y}, colour, ALIGN_RIGHT);
        y += font->lineHeight + LINE_GAP;
    }
}
