#include "Util/Random.h"

#include <cstdlib>
#include <random>

namespace {

std::minstd_rand effectStream;

int narrowed(long long value, long long range) {
    return static_cast<int>(value * 32768 / range);
}

}  // namespace

void seedRandom(unsigned seed) {
    std::srand(seed);
    effectStream.seed(seed);
}

int gameRand() {
    return narrowed(std::rand(), static_cast<long long>(RAND_MAX) + 1);
}

float gameRandFraction() {
    return static_cast<float>(gameRand()) / 32767.0f;
}

int effectRand() {
    constexpr long long range = std::minstd_rand::max() - std::minstd_rand::min() + 1;
    return narrowed(effectStream() - std::minstd_rand::min(), range);
}

float effectRandFraction() {
    return static_cast<float>(effectRand()) / 32767.0f;
}
