#include "World/PlayState.h"

#include <algorithm>

bool PlayState::hasReached(int32_t checkpointId) const {
    return std::find(reachedCheckpoints.begin(), reachedCheckpoints.end(), checkpointId) !=
           reachedCheckpoints.end();
}
