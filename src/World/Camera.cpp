#include "World/Camera.h"

#include "Debug/Debug.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double SHAKE_PI = 3.1415925;
constexpr float SHAKE_DECAY_PER_SECOND = 2.5f;
// The wobble is flatter vertically than horizontally.
constexpr double VERTICAL_SHAKE_SCALE = 0.7;

// Half away from zero, so that the wobble is symmetric around the position.
int roundToPixel(double value) {
    return static_cast<int>(value > 0 ? value + 0.5 : value - 0.5);
}

float clampAxis(float value, float minimum, float maximum) {
    if (value > maximum) return maximum;
    if (value < minimum) return minimum;
    return value;
}

}  // namespace

void Camera::update(float dt) {
    follow(dt);
    clampToBounds();
    decayShake(dt);
    updateViewPosition();
}

void Camera::addShake(float amount) {
    shakeMagnitude += amount;
}

void Camera::stopShake() {
    shakeMagnitude = 0.0f;
    shakeTime = 0.0f;
}

void Camera::move(float dx, float dy) {
    position.x += dx;
    position.y += dy;
    clampToBounds();
}

void Camera::moveBy(const Vector2* delta) {
    move(delta->x, delta->y);
}

void Camera::setTarget(float x, float y) {
    target = {x, y};
}

void Camera::setPosition(float x, float y) {
    position = {x, y};
    clampToBounds();
}

void Camera::clampToBounds() {
    if (!clamp) return;
    position.x = clampAxis(position.x, boundsMinimum.x, boundsMaximum.x);
    position.y = clampAxis(position.y, boundsMinimum.y, boundsMaximum.y);
}

// Closes the fraction rate x dt of the remaining distance: frame-rate
// dependent on purpose, and overshooting when rate x dt exceeds 1.
void Camera::follow(float dt) {
    position.x += followRate.x * ((target.x - position.x) * dt);
    position.y += followRate.y * ((target.y - position.y) * dt);
}

// A frame longer than 0.4 s would otherwise flip the shake's sign, and one
// longer than 0.8 s would grow it: a long frame ends the shake instead.
void Camera::decayShake(float dt) {
    shakeTime += dt;
    shakeMagnitude -= shakeMagnitude * std::min(dt * SHAKE_DECAY_PER_SECOND, 1.0f);
}

void Camera::updateViewPosition() {
    double angle = shakeTime * SHAKE_PI;
    int shakeX = roundToPixel(std::cos(shakeFrequency.x * angle) * shakeMagnitude);
    int shakeY = roundToPixel(std::sin(shakeFrequency.y * angle) * shakeMagnitude);
    viewPosition.x = std::floor(position.x + static_cast<float>(shakeX));
    viewPosition.y = static_cast<float>(std::floor(position.y + shakeY * VERTICAL_SHAKE_SCALE));
}

std::unique_ptr<Camera> new_Camera() {
    return DEBUG_MAKE_UNIQUE(Camera, "new_Camera");
}
