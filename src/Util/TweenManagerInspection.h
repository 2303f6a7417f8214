// How many tweens are running, for the tests to read; the game never
// includes it.
#pragma once

int TweenManagerCount();
