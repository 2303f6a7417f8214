#include "World/StormZone.h"

#include "Audio/SoundManager.h"
#include "Debug/Debug.h"
#include "World/Room.h"

std::unique_ptr<StormZone> new_StormZone(Room* room) {
    return DEBUG_MAKE_UNIQUE(StormZone, "new_StormZone", room);
}

void StormZone::update(float) {
    testOverlap();
    if (inside && room->rules.storm) SoundManagerSetAmbience(AS_STORM);
    else SoundManagerStopStorm();
}
