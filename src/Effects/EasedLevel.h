// How reduced flashing eases what it shows: a level on screen (a share of the
// light, a light's reach) follows its target by at most a share of itself a
// second. A level below its floor moves as if it stood at the floor, so that
// it reaches 0. It sets off again, from standing or the other way, no sooner
// than half a second after it last did, so its changes start at most three
// times in any second. Frames longer than a 30th of a second move it no
// further than such a frame would.
#pragma once

class EasedLevel {
public:
    EasedLevel(float perSecond, float lowest) : sharePerSecond(perSecond), floor(lowest) {}

    // The level this frame. Until it is first followed (or after a reset) it
    // jumps to the target.
    float follow(float target, float dt);
    // Jumps to the level and stands there.
    void settle(float value);
    void reset() { started = false; }
    bool isStarted() const { return started; }
    float level() const { return current; }

private:
    float sharePerSecond;
    float floor;
    float current = 0.0f;
    bool started = false;
    int heading = 0;  // 1 rising, -1 falling, 0 standing
    float sinceSetOff = 0.0f;
};
