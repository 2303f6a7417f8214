// Steps at a rate per second, counted against frames of any length: each
// frame brings the whole steps its time is worth and carries the rest, so
// that what is done "a step at a time" happens as often at 30 frames a
// second as at 144. A frame as long as one step brings exactly one, however
// its float sum rounds.
#pragma once

class StepClock {
public:
    // The steps due in a frame of dt seconds: at most a second's worth, for
    // a long stall would only bring what expires at once.
    int advance(float dt, float stepsPerSecond);

private:
    float due = 0.0f;  // steps owed, a fraction of one between frames
};
