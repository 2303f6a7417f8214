// A strip of equally sized frames cut from one sprite sheet, played at a
// fixed frame duration. The record carries its own play state; entities that
// load the same file without CF_COPY share it.
#pragma once

#include "Content/TextureContent.h"
#include "Engine/Kestrel.h"
#include "Util/Color.h"
#include "Util/Matrix3.h"
#include "Util/Vector2.h"

#include <cstdint>
#include <memory>
#include <string>

class Animation {
public:
    std::string path;                 // the file it was loaded from
    TextureContent* sheet = nullptr;  // cached, not owned
    KEMesh* mesh = nullptr;           // one frame; owned by the cached animation, shared by copies
    uint32_t frameCount = 0;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    float frameDuration = 0.0f;
    float timer = 0.0f;    // seconds into the frame shown
    int8_t direction = 1;  // ping-pong only
    uint32_t columns = 0;
    uint32_t frame = 0;  // row by row
    Vector2 uvOffset{0.0f, 0.0f};
    Vector2 frameUv{0.0f, 0.0f};
    bool looping = true;
    bool pingPong = false;
    bool paused = true;  // a fresh animation waits for play
    // A cached animation drawn by many entities: only the first update of a
    // frame advances it, so it runs at its own pace however many draw it.
    bool shared = false;
    uint64_t advancedInFrame = UINT64_MAX;

    // Advances at most one frame a call.
    void update(float dt);
    // Draws the current frame with a transform from mesh coordinates to window pixels.
    void draw(const Matrix3& transform, const Color& colour) const;
    void play() { paused = false; }
    void pause() { paused = true; }
    // Rewinds without touching the paused flag.
    void reset();
    bool isLastFrame() const { return frame == frameCount - 1; }
};

std::unique_ptr<Animation> new_Animation();
