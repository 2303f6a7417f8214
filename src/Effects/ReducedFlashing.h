// Reduce flashing, a choice of the player's for the whole process. Off, every
// effect looks as it always has. On, what changes the whole view's brightness
// at once (the candle going out, a light closing in, the blackout's
// lightning-like flicker, the flicker of the lights themselves) eases
// instead, a few per cent a frame at most and setting off no more than three
// times a second (EasedLevel). Only the looks change: what the rules read
// and what they draw at random stay the same.
#pragma once

void ReducedFlashingSet(bool on);
bool ReducedFlashingIsOn();
