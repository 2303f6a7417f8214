#include "World/ImageEntity.h"

#include "Debug/Debug.h"
#include "World/CharacterEntity.h"
#include "World/Room.h"

ImageEntity::ImageEntity(Room* owner, const char* path) : SpriteEntity(ET_IMAGE, owner) {
    zIndex = Z_IMAGE;
    playAnimation(path);
}

std::unique_ptr<ImageEntity> new_ImageEntity(Room* room, const char* path) {
    return DEBUG_MAKE_UNIQUE(ImageEntity, "new_ImageEntity", room, path);
}

void ImageEntity::update(float dt) {
    revealAround(this, 2);
    SpriteEntity::update(dt);
    if (collidable) room->character->pushOut(this);
}
