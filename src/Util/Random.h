// The game's random numbers: the C library's rand, seeded once at start-up.
// Its formulas are written for rand's smallest standard range, 0..32767;
// glibc's rand reaches 2^31 - 1, so every formula that scales or divides a
// random number goes through gameRand. Each call is exactly one rand call,
// so the order of calls stays part of the behaviour.
#pragma once

// rand narrowed to 0..32767.
int gameRand();
// gameRand() / 32767: a fraction in [0, 1].
float gameRandFraction();
