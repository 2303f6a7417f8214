#include "Effects/EasedLevel.h"

#include <algorithm>

namespace {

constexpr float SET_OFF_SPACING = 0.5f;  // seconds
constexpr float LONGEST_FRAME = 1.0f / 30.0f;

}  // namespace

float EasedLevel::follow(float target, float dt) {
    if (!started) {
        settle(target);
        return current;
    }
    sinceSetOff += dt;
    const int towards = target > current ? 1 : target < current ? -1 : 0;
    if (towards == 0) {
        heading = 0;
        return current;
    }
    if (towards != heading) {
        if (sinceSetOff < SET_OFF_SPACING) return current;
        heading = towards;
        sinceSetOff = 0.0f;
    }
    const float step = sharePerSecond * std::min(dt, LONGEST_FRAME) * std::max(current, floor);
    current = towards > 0 ? std::min(current + step, target) : std::max(current - step, target);
    return current;
}

void EasedLevel::settle(float value) {
    current = value;
    started = true;
    heading = 0;
    sinceSetOff = SET_OFF_SPACING;
}
