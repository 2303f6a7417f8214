#include "World/PlayState.h"

#include <algorithm>

void copyPlayState(PlayState* destination, const PlayState* source) {
    *destination = *source;
}

void releasePlayState(PlayState* state) {
    state->entryDoor.target.clear();
    state->entryDoor.afterIntro.clear();
    state->lastCheckpointRoom.clear();
}

bool PlayState::hasReached(int32_t checkpointId) const {
    return std::find(reachedCheckpoints.begin(), reachedCheckpoints.end(), checkpointId) !=
           reachedCheckpoints.end();
}
