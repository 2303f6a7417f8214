#include "World/StormZone.h"

#include "Audio/SoundManager.h"
#include "Debug/Debug.h"
#include "World/Map.h"
#include "World/Room.h"

#include <cstring>

namespace {

const char* const ROOF = "Assets/FloorTemplate/FinalRooms/Roof.json";

}  // namespace

StormZone* new_StormZone(Room* room) {
    return DEBUG_NEW(StormZone, "new_StormZone", room);
}

void StormZone::update(float) {
    testOverlap();
    const bool onRoof = room->map->path != nullptr && std::strcmp(room->map->path, ROOF) == 0;
    if (inside && onRoof) SoundManagerSetAmbience(AS_STORM);
    else SoundManagerStopStorm();
}
