// Reduce flashing, a choice of the player's for the whole process. Off, every
// effect looks as it always has.
#pragma once

void ReducedFlashingSet(bool on);
bool ReducedFlashingIsOn();
