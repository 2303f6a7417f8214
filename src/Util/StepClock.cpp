#include "Util/StepClock.h"

#include <algorithm>
#include <cmath>

namespace {

// A frame a float rounding short of a whole step still brings it.
constexpr float ROUNDING = 1e-3f;

}  // namespace

int StepClock::advance(float dt, float stepsPerSecond) {
    if (!(dt > 0.0f) || !(stepsPerSecond > 0.0f) || !std::isfinite(dt * stepsPerSecond)) return 0;
    due += dt * stepsPerSecond;
    const float whole = std::floor(due + ROUNDING);
    const float mostInASecond = std::max(1.0f, std::floor(stepsPerSecond));
    if (whole > mostInASecond) {
        due = 0.0f;
        return static_cast<int>(mostInASecond);
    }
    due -= whole;
    return static_cast<int>(whole);
}
