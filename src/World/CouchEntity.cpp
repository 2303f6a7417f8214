#include "World/CouchEntity.h"

#include "Content/ContentManager.h"
#include "Debug/Debug.h"
#include "World/CharacterEntity.h"
#include "World/Room.h"

#include <string>

namespace {

std::string couchAnimation(int32_t look) {
    return "Assets/Animations/Couch" + std::to_string(look + 1) + ".json";
}

}  // namespace

CouchEntity::CouchEntity(Room* owner, int32_t couchOrientation, int32_t look)
    : SpriteEntity(ET_COUCH, owner), orientation(couchOrientation) {
    zIndex = Z_FURNITURE;
    animation = ContentLoad<Animation>(couchAnimation(look).c_str());
    turnOverBox(orientation != 0 ? 1 : 0);
}

std::unique_ptr<CouchEntity> new_CouchEntity(Room* room, int32_t orientation, int32_t type) {
    return DEBUG_MAKE_UNIQUE(CouchEntity, "new_CouchEntity", room, orientation, type);
}

void CouchEntity::update(float dt) {
    revealAround(this, 2);
    room->character->pushOut(this);
    SpriteEntity::update(dt);
}
