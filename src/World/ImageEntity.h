// Any animation placed in a room as decoration: a painting, a bookshelf, a
// bed. It may be solid, is turned by quarter turns and has its own z order.
#pragma once

#include "World/Entity.h"

#include <cstdint>
#include <memory>

class ImageEntity : public SpriteEntity {
public:
    bool collidable = false;
    int32_t orientation = 0;  // quarter turns

    ImageEntity(Room* owner, const char* path);

    void update(float dt) override;
};

std::unique_ptr<ImageEntity> new_ImageEntity(Room* room, const char* path);
