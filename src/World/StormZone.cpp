#include "World/StormZone.h"

#include "Audio/SoundManager.h"
#include "Content/Map.h"
#include "Debug/Debug.h"
#include "World/Room.h"

namespace {

const char* const ROOF = "Assets/FloorTemplate/FinalRooms/Roof.json";

}  // namespace

std::unique_ptr<StormZone> new_StormZone(Room* room) {
    return DEBUG_MAKE_UNIQUE(StormZone, "new_StormZone", room);
}

void StormZone::update(float) {
    testOverlap();
    if (inside && room->map->isAt(ROOF)) SoundManagerSetAmbience(AS_STORM);
    else SoundManagerStopStorm();
}
