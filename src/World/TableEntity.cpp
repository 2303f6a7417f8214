#include "World/TableEntity.h"

#include "Debug/Debug.h"
#include "World/CharacterEntity.h"
#include "World/Room.h"

TableEntity::TableEntity(Room* owner, bool round) : SpriteEntity(ET_TABLE, owner) {
    zIndex = Z_FURNITURE;
    useAnimation(round ? "Assets/Animations/TableRound.json" : "Assets/Animations/TableSquare.json");
}

std::unique_ptr<TableEntity> new_TableEntity(Room* room, bool round) {
    return DEBUG_MAKE_UNIQUE(TableEntity, "new_TableEntity", room, round);
}

// The box is the frame, scaled to the object's size: the cells lit and the
// box the character meets are the drawn table's.
void TableEntity::update(float dt) {
    width = static_cast<float>(animation->frameWidth);
    height = static_cast<float>(animation->frameHeight);
    pivot = {0.0f, 0.0f};
    markCellsLit(room, x, y, width * scale.x, height * scale.y, 0);
    room->character->pushOut(this);
    SpriteEntity::update(dt);
}
