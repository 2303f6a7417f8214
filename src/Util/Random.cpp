#include "Util/Random.h"

#include <cstdlib>
#include <random>

namespace {

std::minstd_rand effectStream;

int narrowed(long long value, long long range) {
    return static_cast<int>(value * 32768 / range);
}

}  // namespace

void RandomSeed(unsigned seed) {
    std::srand(seed);
    effectStream.seed(seed);
}

int RandomGame() {
    return narrowed(std::rand(), static_cast<long long>(RAND_MAX) + 1);
}

float RandomGameFraction() {
    return static_cast<float>(RandomGame()) / 32767.0f;
}

int RandomEffect() {
    constexpr long long range = std::minstd_rand::max() - std::minstd_rand::min() + 1;
    return narrowed(effectStream() - std::minstd_rand::min(), range);
}

float RandomEffectFraction() {
    return static_cast<float>(RandomEffect()) / 32767.0f;
}
