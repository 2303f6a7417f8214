#include "World/Narration.h"

#include "Audio/SoundManager.h"

namespace {

constexpr int32_t PAGES = 8;
// Seconds each page's line lasts.
constexpr float LINE_SECONDS[PAGES] = {70, 50, 40, 45, 68, 54, 57, 61};

struct Reading {
    int32_t page = 0;  // 0 while none is read
    float secondsLeft = 0.0f;
    bool justStarted = false;  // the line starts with the sound's update this frame
    bool holdsStill = false;
};

Reading reading;

}  // namespace

void NarrationStart(int32_t page) {
    if (page < 1 || page > PAGES || page == reading.page) return;
    reading = {page, LINE_SECONDS[page - 1], true, false};
    SoundManagerSetState(MS_DIALOGUE_1 + page - 1);
}

void NarrationStop() {
    reading = {};
    SoundManagerStopDialogue();
}

void NarrationLetPlayOut() {
    reading = {};
}

// The line counts from the frame after it started, as it plays.
void NarrationUpdate(float dt) {
    reading.holdsStill = reading.page == 1;
    if (reading.page == 0) return;
    if (reading.justStarted) {
        reading.justStarted = false;
        return;
    }
    reading.secondsLeft -= dt;
    if (reading.secondsLeft >= 0.0f) return;
    const bool holdsStill = reading.holdsStill;
    NarrationStop();
    reading.holdsStill = holdsStill;
}

float NarrationSecondsLeft() {
    return reading.page != 0 ? reading.secondsLeft : 0.0f;
}

bool NarrationHoldsCharacterStill() {
    return reading.holdsStill;
}

void NarrationReset() {
    reading = {};
}
