// A round or square table stretched to its map object's size. It is solid.
#pragma once

#include "World/Entity.h"

#include <memory>

class TableEntity : public SpriteEntity {
public:
    TableEntity(Room* owner, bool round);

    void update(float dt) override;
};

std::unique_ptr<TableEntity> new_TableEntity(Room* room, bool round);
