#include "Content/Animation.h"

#include "Debug/Debug.h"

std::unique_ptr<Animation> new_Animation() {
    return DEBUG_MAKE_UNIQUE(Animation, "new_Animation");
}

void Animation::update(float dt) {
    // An animation not yet completed on the main thread has no frame grid.
    if (paused || frameCount < 2 || columns == 0) return;
    if (shared) {
        const uint64_t thisFrame = KEFrameRateControllerGetFrameCount();
        if (advancedInFrame == thisFrame) return;
        advancedInFrame = thisFrame;
    }
    timer += dt;
    if (frameDuration > timer) return;
    // The excess carries, so that a frame lasts its duration at any frame
    // rate; a frame longer than two durations drops it, for it never skips
    // animation frames.
    timer -= frameDuration;
    if (timer >= frameDuration) timer = 0.0f;
    uint32_t previous = frame;
    if (!looping) {
        if (frame + 1 < frameCount) ++frame;
    } else if (pingPong) {
        int64_t next = static_cast<int64_t>(frame) + direction;
        if (next < 0 || next >= static_cast<int64_t>(frameCount)) direction = static_cast<int8_t>(-direction);
        frame = static_cast<uint32_t>(static_cast<int64_t>(frame) + direction);
    } else {
        frame = (frame + 1) % frameCount;
    }
    if (frame == previous) return;
    uint32_t row = frame / columns;
    uint32_t column = frame % columns;
    uvOffset = {static_cast<float>(column) * frameUv.x, static_cast<float>(row) * frameUv.y};
}

void Animation::draw(const Matrix3& transform, const Color& colour) const {
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxSetTintColor(colour.red, colour.green, colour.blue, colour.opacity);
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    KEGfxSetTransform(&transform);
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxTextureSet(sheet->texture.get(), uvOffset.x, uvOffset.y);
    KEGfxMeshDraw(mesh);
}

void Animation::reset() {
    frame = 0;
    direction = 1;
    uvOffset = {0.0f, 0.0f};
    timer = 0.0f;
}
