#include "World/LanternEntity.h"
#include "World/Camera.h"

#include "Content/ContentManager.h"
#include "Debug/Debug.h"
#include "Effects/FireEmitter.h"
#include "World/LightEntity.h"
#include "World/Room.h"
#include "World/RoomOwner.h"

#include <cmath>

LanternEntity::LanternEntity(Room* owner) : SpriteEntity(ET_LANTERN, owner), fireEmitter(new_FireEmitter()) {
    zIndex = 69;
    scale = {1.5f, 1.5f};
    fireEmitter->count = 60;
    fireEmitter->size = 30;
    light = new_OwnedLight(owner, 40);
    animation = ContentLoad<Animation>("Assets/Animations/Lantern.json");
    animation->play();
    width = static_cast<float>(animation->frameWidth);
    height = static_cast<float>(animation->frameHeight);
}

// Here, where the emitter's type is complete.
LanternEntity::~LanternEntity() = default;

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
    fireEmitter->emit(dt);
    fireEmitter->update(dt);
    light->setPosition(fireEmitter->position.x, fireEmitter->position.y);
    light->setRadius(lightRadius);
    light->holdIntensity(lightIntensity);
    SpriteEntity::update(dt);
}

// The flame lies under the lantern's glass.
void LanternEntity::draw(float opacity, float dt) {
    if (room->owner != nullptr && room->owner->roomIsCovered()) return;
    fireEmitter->draw(room->camera->viewPosition);
    SpriteEntity::draw(opacity, dt);
}
