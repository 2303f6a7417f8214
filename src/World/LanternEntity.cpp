#include "World/LanternEntity.h"

#include "Debug/Debug.h"
#include "Effects/FireEmitter.h"
#include "World/LightEntity.h"
#include "World/Room.h"

#include <cmath>

LanternEntity::LanternEntity(Room* owner)
    : FlameHolderEntity(ET_LANTERN, owner, "Assets/Animations/Lantern.json") {
    scale = {1.5f, 1.5f};
}

std::unique_ptr<LanternEntity> new_LanternEntity(Room* room) {
    return DEBUG_MAKE_UNIQUE(LanternEntity, "new_LanternEntity", room);
}

// The light runs before the lantern and flickers from the intensity the
// lantern holds it at.
void LanternEntity::update(float dt) {
    const float ox = 7 * scale.x;
    const float oy = 5 * scale.y;
    const float c = std::cos(rotation);
    const float s = std::sin(rotation);
    fireEmitter->position = {x + c * ox - s * oy, y + s * ox + c * oy};
    burn(dt);
    light->setPosition(fireEmitter->position.x, fireEmitter->position.y);
    light->setRadius(lightRadius);
    light->holdIntensity(lightIntensity);
    SpriteEntity::update(dt);
}

void LanternEntity::draw(float opacity, float dt) {
    drawWithFlame(opacity, dt, false);
}
