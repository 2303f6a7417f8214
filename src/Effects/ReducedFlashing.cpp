#include "Effects/ReducedFlashing.h"

namespace {

bool reducedFlashing = false;

}  // namespace

void ReducedFlashingSet(bool on) {
    reducedFlashing = on;
}

bool ReducedFlashingIsOn() {
    return reducedFlashing;
}
