#include "Screens/CardScreen.h"

#include "Content/ContentManager.h"
#include "Content/TextureContent.h"
#include "Engine/QuadMesh.h"
#include "Engine/Viewport.h"
#include "Util/Matrix3.h"
#include "Util/TimeoutManager.h"
#include "Util/TweenManager.h"

#include <algorithm>
#include <utility>

namespace {

const char* const BACKGROUND = "Assets/Textures/IntroBackground.png";
// Large scaled quads are cut into cells that the software rasteriser maps right.
constexpr int MESH_CELL = 128;
constexpr float FADE_SECONDS = 1.35f;
constexpr float SHOWN = 1.0f;
constexpr float GONE = 0.0f;

float coveringScale(float screenScaleAxis, float screenSize, float textureSize) {
    return std::max(screenScaleAxis, 1.0f) * screenSize / textureSize;
}

}  // namespace

TextureContent* loadImage(const char* path) {
    return ContentLoad<TextureContent>(path);
}

KEMesh* createImageMesh(const TextureContent* texture) {
    return createTiledQuadMesh(static_cast<int>(texture->width), static_cast<int>(texture->height),
                               MESH_CELL);
}

Vector2 backgroundScaleFor(float textureWidth, float textureHeight) {
    return {coveringScale(screenScale().x, screenWidth(), textureWidth),
            coveringScale(screenScale().y, screenHeight(), textureHeight)};
}

void drawImage(KEMesh* mesh, const TextureContent* texture, Vector2 position, Vector2 scale, float opacity) {
    Matrix3 placement, size, transform;
    Matrix3Translate(&placement, position.x, position.y);
    Matrix3Scale(&size, scale.x, scale.y);
    Matrix3Concat(&transform, &placement, &size);
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxTextureSet(texture->texture.get(), 0, 0);
    KEGfxSetTransform(&transform);
    KEGfxSetTintColor(1, 1, 1, opacity);
    KEGfxMeshDraw(mesh);
}

CardScreen::CardScreen(const std::vector<const char*>& cardPaths, float shown) : shownSeconds(shown) {
    for (const char* path : cardPaths) cards.emplace_back().path = path;
    isPopup = true;
    capturesInput = true;
    transitionOnTime = 0.0f;
    transitionOffTime = 1.25f;
    easeOn = easeLinear;
    easeOff = easeLinear;
}

// The card's opacity may still be fading when the screen goes.
CardScreen::~CardScreen() {
    TweenManagerStop(&cardOpacity);
}

void CardScreen::loadContent() {
    background = loadImage(BACKGROUND);
    backgroundMesh.reset(createImageMesh(background));
    backgroundScale =
        backgroundScaleFor(static_cast<float>(background->width), static_cast<float>(background->height));
    for (Card& card : cards) {
        card.texture = loadImage(card.path);
        card.mesh.reset(createImageMesh(card.texture));
        card.position = {(screenWidth() - static_cast<float>(card.texture->width)) * 0.5f,
                         (screenHeight() - static_cast<float>(card.texture->height)) * 0.5f};
    }
}

void CardScreen::showCardAfter(float delay) {
    SetTimeout(delay, fadeCardIn, this);
}

void CardScreen::fadeCardIn(void* screen) {
    auto* cardScreen = static_cast<CardScreen*>(screen);
    TweenManagerTween(&cardScreen->cardOpacity, &SHOWN, FADE_SECONDS, easeQuintOut, TWEEN_FLOAT, nullptr);
    SetTimeout(cardScreen->shownSeconds, fadeCardOut, cardScreen);
}

void CardScreen::fadeCardOut(void* screen) {
    auto* cardScreen = static_cast<CardScreen*>(screen);
    TweenManagerTween(&cardScreen->cardOpacity, &GONE, FADE_SECONDS, easeQuintInOut, TWEEN_FLOAT, nullptr);
    SetTimeout(FADE_SECONDS, nextCard, cardScreen);
}

void CardScreen::nextCard(void* screen) {
    auto* cardScreen = static_cast<CardScreen*>(screen);
    if (cardScreen->cardIndex + 1 < static_cast<int32_t>(cardScreen->cards.size())) ++cardScreen->cardIndex;
    else cardScreen->onLastCardGone();
}

void CardScreen::draw(float) {
    const float opacity = cardOpacity * transitionOpacity();
    const Card& card = cards[static_cast<size_t>(cardIndex)];
    drawImage(backgroundMesh.get(), background, {0, 0}, backgroundScale, opacity);
    drawImage(card.mesh.get(), card.texture, card.position, {1, 1}, opacity);
}
