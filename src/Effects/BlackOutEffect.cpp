#include "Effects/BlackOutEffect.h"

#include "Debug/Debug.h"
#include "Engine/Viewport.h"
#include "Util/Color.h"
#include "Util/Matrix3.h"
#include "Util/Random.h"

namespace {

constexpr float THIN_PER_SECOND = 0.2f;        // from black to the room in 5 seconds
constexpr float DARKEN_PER_SECOND = 0.4f;      // from the room to black in 2.5 seconds
constexpr float FLICKER_BELOW_OPACITY = 0.6f;  // flicker only once the black has thinned
constexpr float FLICKER_ROLLS_PER_SECOND = 60;
constexpr int FLICKER_ONE_ROLL_IN = 9;

KEMesh* createScreenMesh(float width, float height) {
    const uint32_t black = colourBlack.packed;
    KEGfxMeshStart();
    KEGfxTriAdd(0, 0, black, 0, 0, 0, height, black, 0, 1, width, 0, black, 1, 0);
    KEGfxTriAdd(0, height, black, 0, 1, width, height, black, 1, 1, width, 0, black, 1, 0);
    return KEGfxMeshEnd();
}

}  // namespace

BlackOut::BlackOut() : mesh(createScreenMesh(screenWidth(), screenHeight())) {}

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
}

void BlackOut::rollFlicker(float dt) {
    const bool thinEnough = opacity > 0.0f && opacity < FLICKER_BELOW_OPACITY;
    for (int due = flickerRolls.advance(dt, FLICKER_ROLLS_PER_SECOND); due > 0; --due)
        droppedOut = flicker && thinEnough && RandomEffect() % FLICKER_ONE_ROLL_IN == 0;
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
    const bool thinEnough = opacity > 0.0f && opacity < FLICKER_BELOW_OPACITY;
    return flicker && thinEnough && droppedOut ? 0.0f : opacity;
}

std::unique_ptr<BlackOut> new_BlackOut() {
    return DEBUG_MAKE_UNIQUE(BlackOut, "new_BlackOut");
}
