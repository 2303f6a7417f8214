// The world position of the screen's top-left corner. It eases towards a
// target, can shake with a decaying wobble and can keep its position inside
// a rectangle. World drawing subtracts the view position.
#pragma once

#include "Util/Vector2.h"

#include <memory>

class Camera {
public:
    Vector2 position{0, 0};
    Vector2 viewPosition{0, 0};  // position plus shake, floored to whole pixels: what drawing subtracts
    Vector2 target{0, 0};
    Vector2 followRate{0, 0};  // fraction of the remaining distance closed per second
    Vector2 shakeFrequency{0, 0};
    Vector2 boundsMinimum{0, 0};
    Vector2 boundsMaximum{0, 0};
    bool clamp = false;
    float shakeMagnitude = 0.0f;  // wobble amplitude in pixels
    float shakeTime = 0.0f;       // seconds since the shake was last stopped

    void update(float dt);
    void addShake(float amount);
    void stopShake();
    void move(float dx, float dy);
    void moveBy(const Vector2* delta);
    void setTarget(float x, float y);
    // Leaves the target and the view position alone: the room aligns them.
    void setPosition(float x, float y);

private:
    void clampToBounds();
    void follow(float dt);
    void decayShake(float dt);
    void updateViewPosition();
};

std::unique_ptr<Camera> new_Camera();
