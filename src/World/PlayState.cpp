#include "World/PlayState.h"

void copyPlayState(PlayState* destination, const PlayState* source) {
    *destination = *source;
}

void releasePlayState(PlayState* state) {
    state->entryDoor.target.clear();
    state->lastCheckpointRoom.clear();
}
