// A full-screen black overlay the play screen draws over the room. Death and
// falls black the screen out and let the room fade back in; a dying candle
// does the same with lightning-like flicker; a scripted walk fades to black
// and stays there. Doors read the opacity to stay shut while it is dark.
#pragma once

#include "Effects/EasedLevel.h"
#include "Engine/Kestrel.h"
#include "Util/StepClock.h"

#include <memory>

class BlackOut {
public:
    BlackOut();

    KEMeshHandle mesh;     // the virtual screen's size at creation, every vertex black
    float opacity = 0.0f;  // may dip just below 0 for one update at the end of a fade
    bool flicker = false;  // the black drops out at random moments while it is thin
    bool hold = false;     // fade to black and stay black, for good

    void update(float dt);
    void draw();
    // Blacks the screen out at once; ignored while the overlay still shows.
    void start(bool withFlicker);
    void holdBlack();
    // The opacity this frame shows: none while a flicker has it dropped out;
    // with reduced flashing, the flickering black eased.
    float visibleOpacity() const;

private:
    // Sixty times a second a flickering black-out drops out or not, one
    // time in nine, and stays so until the next.
    StepClock flickerRolls;
    bool droppedOut = false;

    // Reduced flashing, for the candle's black: the share of the room that
    // shows through eases towards what the black leaves, and a drop-out, one
    // in a second and a half at most, holds the black off for a while, so the
    // lightning swells and fades.
    EasedLevel shownThrough{0.6f, 0.1f};
    bool rolledOut = false;  // in any of this update's rolls, at any frame rate
    float flashLeft = 0.0f;  // seconds the flash still holds the black off
    float sinceFlash = 0.0f;

    void rollFlicker(float dt);
    bool isEased() const;
    void easeThrough(float dt);
    float flickeredOpacity() const;
};

std::unique_ptr<BlackOut> new_BlackOut();
