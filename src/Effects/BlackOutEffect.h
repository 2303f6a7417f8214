// A full-screen black overlay the play screen draws over the room. Death and
// falls black the screen out and let the room fade back in; a dying candle
// does the same with lightning-like flicker; a scripted walk fades to black
// and stays there. Doors read the opacity to stay shut while it is dark.
#pragma once

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
    // The opacity this frame shows: none while a flicker has it dropped out.
    float visibleOpacity() const;

private:
    // Sixty times a second a flickering black-out drops out or not, one
    // time in nine, and stays so until the next.
    StepClock flickerRolls;
    bool droppedOut = false;

    void rollFlicker(float dt);
};

std::unique_ptr<BlackOut> new_BlackOut();
