#include "Util/Random.h"

#include <cstdlib>

int gameRand() {
    return static_cast<int>(static_cast<long long>(std::rand()) * 32768 /
                            (static_cast<long long>(RAND_MAX) + 1));
}

float gameRandFraction() {
    return static_cast<float>(gameRand()) / 32767.0f;
}
