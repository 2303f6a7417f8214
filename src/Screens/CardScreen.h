// What the splash and the intro share: full-screen cards that fade in and
// out one after another over a dark backdrop, sequenced by timeouts.
#pragma once

#include "Engine/Kestrel.h"
#include "Screens/Screen.h"
#include "Util/Vector2.h"

#include <cstdint>
#include <vector>

struct TextureContent;

struct Card {
    const char* path = nullptr;
    Vector2 position{};  // top-left, in virtual pixels: the card is centred
    TextureContent* texture = nullptr;
    KEMeshHandle mesh;
};

class CardScreen : public Screen {
public:
    ~CardScreen() override;

    void loadContent() override;
    void draw(float dt) override;

    int32_t currentCard() const { return cardIndex; }
    float opacity() const { return cardOpacity; }

protected:
    std::vector<Card> cards;
    int32_t cardIndex = 0;     // the card on screen
    float cardOpacity = 0.0f;  // the backdrop fades with the card

    // Each card stays up for shownSeconds between its fade in and its fade out.
    CardScreen(const std::vector<const char*>& cardPaths, float shownSeconds);

    // After delay, the current card fades in, stays, fades out, and then
    // the next card takes its place, or, after the last, onLastCardGone.
    void showCardAfter(float delay);
    virtual void onLastCardGone() = 0;

private:
    float shownSeconds;
    TextureContent* background = nullptr;
    KEMeshHandle backgroundMesh;
    Vector2 backgroundScale{};

    static void fadeCardIn(void* screen);
    static void fadeCardOut(void* screen);
    static void nextCard(void* screen);
};

// A cached texture of the preload list, and a mesh of its size cut into
// cells that the software rasteriser maps right when scaled.
TextureContent* loadImage(const char* path);
KEMesh* createImageMesh(const TextureContent* texture);

// Draws a mesh of a texture's size at position scaled by scale (virtual
// pixels per texel).
void drawImage(KEMesh* mesh, const TextureContent* texture, Vector2 position, Vector2 scale, float opacity);

// The backdrop's scale in virtual pixels per texel: the screen over the
// texture, so that it fills an unscaled screen exactly, times the screen
// scale where the window is larger than the screen.
Vector2 backgroundScaleFor(float textureWidth, float textureHeight);
