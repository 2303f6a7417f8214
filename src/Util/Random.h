// The game's random numbers, in two streams. The rules (the random threshold
// at which the dark kills, when a gust comes, which pit opens) draw from the
// C library's rand, seeded once at start-up. What only looks or sounds alive
// (flames, dust, rain, flicker, thunder) draws from a stream of its own: how
// often those draw depends on the frame rate, and the frame rate must not
// change what the rules draw.
//
// The formulas are written for rand's smallest standard range, 0..32767;
// glibc's rand reaches 2^31 - 1, so every formula that scales or divides a
// random number goes through these. Each RandomGame call is exactly one rand
// call, so the order of the rules' calls stays part of the behaviour.
#pragma once

// Seeds both streams.
void RandomSeed(unsigned seed);

// rand narrowed to 0..32767.
int RandomGame();
// RandomGame() / 32767: a fraction in [0, 1].
float RandomGameFraction();

// The looks' stream, 0..32767.
int RandomEffect();
// RandomEffect() / 32767: a fraction in [0, 1].
float RandomEffectFraction();
