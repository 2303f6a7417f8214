#include "Effects/BlackOutEffect.h"

#include "Debug/Debug.h"
#include "Effects/ReducedFlashing.h"
#include "Engine/Viewport.h"
#include "Util/Color.h"
#include "Util/Matrix3.h"
#include "Util/Random.h"

#include <algorithm>

namespace {

constexpr float THIN_PER_SECOND = 0.2f;        // from black to the room in 5 seconds
constexpr float DARKEN_PER_SECOND = 0.4f;      // from the room to black in 2.5 seconds
constexpr float FLICKER_BELOW_OPACITY = 0.6f;  // flicker only once the black has thinned
constexpr float FLICKER_ROLLS_PER_SECOND = 60;
constexpr int FLICKER_ONE_ROLL_IN = 9;
// Reduced flashing: how long a lightning flash holds and how far apart they come.
constexpr float FLASH_SECONDS = 0.4f;
constexpr float FLASH_SPACING = 1.5f;

KEMesh* createScreenMesh(float width, float height) {
    const uint32_t black = colourBlack.packed;
    KEGfxMeshStart();
    KEGfxTriAdd(0, 0, black, 0, 0, 0, height, black, 0, 1, width, 0, black, 1, 0);
    KEGfxTriAdd(0, height, black, 0, 1, width, height, black, 1, 1, width, 0, black, 1, 0);
    return KEGfxMeshEnd();
}

}  // namespace

BlackOut::BlackOut() : mesh(createScreenMesh(screenWidth(), screenHeight())) {
    shownThrough.settle(1.0f);
}

void BlackOut::update(float dt) {
    const float entry = opacity;
    if (hold) {
        opacity = entry < 1.0f ? entry + dt * DARKEN_PER_SECOND : 1.0f;
    } else {
        // The last step of a fade may leave it below 0; the next one settles it.
        opacity = entry > 0.0f ? entry - dt * THIN_PER_SECOND : 0.0f;
    }
    if (opacity > 1.0f) opacity = 1.0f;
    rollFlicker(dt);
    if (isEased()) easeThrough(dt);
    else shownThrough.settle(1.0f - std::clamp(flickeredOpacity(), 0.0f, 1.0f));
}

void BlackOut::rollFlicker(float dt) {
    const bool thinEnough = opacity > 0.0f && opacity < FLICKER_BELOW_OPACITY;
    rolledOut = false;
    for (int due = flickerRolls.advance(dt, FLICKER_ROLLS_PER_SECOND); due > 0; --due) {
        droppedOut = flicker && thinEnough && RandomEffect() % FLICKER_ONE_ROLL_IN == 0;
        rolledOut = rolledOut || droppedOut;
    }
}

void BlackOut::easeThrough(float dt) {
    const bool thinEnough = opacity > 0.0f && opacity < FLICKER_BELOW_OPACITY;
    sinceFlash += dt;
    flashLeft -= dt;
    if (thinEnough && rolledOut && sinceFlash >= FLASH_SPACING) {
        flashLeft = FLASH_SECONDS;
        sinceFlash = 0.0f;
    }
    const bool flashing = thinEnough && flashLeft > 0.0f;
    shownThrough.follow(flashing ? 1.0f : 1.0f - std::clamp(opacity, 0.0f, 1.0f), dt);
}

void BlackOut::draw() {
    Matrix3 transform;  // the mesh covers the screen as it stands
    Matrix3Identity(&transform);
    KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    // The black is the mesh's own colour; the tint carries only the opacity.
    KEGfxSetTintColor(1, 1, 1, visibleOpacity());
    KEGfxSetTransform(&transform);
    KEGfxMeshDraw(mesh.get());
}

void BlackOut::start(bool withFlicker) {
    if (opacity > 0.0f) return;
    flicker = withFlicker;
    opacity = 1.0f;
}

void BlackOut::holdBlack() {
    flicker = false;
    hold = true;
}

float BlackOut::visibleOpacity() const {
    return isEased() ? 1.0f - shownThrough.level() : flickeredOpacity();
}

// Only the candle's black eases: a death's or a fall's comes down at once to
// hide the respawn, and the last walk's already fades.
bool BlackOut::isEased() const {
    return flicker && ReducedFlashingIsOn();
}

float BlackOut::flickeredOpacity() const {
    const bool thinEnough = opacity > 0.0f && opacity < FLICKER_BELOW_OPACITY;
    return flicker && thinEnough && droppedOut ? 0.0f : opacity;
}

std::unique_ptr<BlackOut> new_BlackOut() {
    return DEBUG_MAKE_UNIQUE(BlackOut, "new_BlackOut");
}
