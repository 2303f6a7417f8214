// A couch, one of six looks, standing upright or turned a quarter turn. It
// is solid.
#pragma once

#include "World/Entity.h"

#include <cstdint>
#include <memory>

inline constexpr int32_t COUCH_LOOKS = 6;

class CouchEntity : public SpriteEntity {
public:
    int32_t orientation;  // 0 upright; otherwise turned

    // look is 0 to 5.
    CouchEntity(Room* owner, int32_t couchOrientation, int32_t look);

    void update(float dt) override;
};

std::unique_ptr<CouchEntity> new_CouchEntity(Room* room, int32_t orientation, int32_t type);
