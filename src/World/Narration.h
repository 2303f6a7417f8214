// The journal's pages read aloud. A page that opens starts its reading, which
// lasts as long as its line; while the first page is read the character
// stands still. The world keeps this time and tells the sound manager what
// starts and stops: the sound manager only plays the lines.
#pragma once

#include <cstdint>

// Page 1 to 8; a page already being read goes on.
void NarrationStart(int32_t page);
// The page is closed: its line stops and the calm music returns.
void NarrationStop();
// The scene moves on while a line is read (the final passage's door): the
// line plays out under what comes next, and nothing more is told of it.
void NarrationLetPlayOut();
// Once a frame, before the sound's update: a line that has run its length
// stops and the calm music returns.
void NarrationUpdate(float dt);
// Seconds left of the line being read, 0 when none is.
float NarrationSecondsLeft();
// While the first page is read, also in the frame its line ends.
bool NarrationHoldsCharacterStill();
// A new game: nothing is being read.
void NarrationReset();
