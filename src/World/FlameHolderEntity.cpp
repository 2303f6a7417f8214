#include "World/FlameHolderEntity.h"

#include "Effects/FireEmitter.h"
#include "World/Camera.h"
#include "World/LightEntity.h"
#include "World/Room.h"
#include "World/RoomOwner.h"

namespace {

constexpr int32_t FLAME_PARTICLES = 60;
constexpr float FLAME_SIZE = 30;
constexpr float FIRST_LIGHT_RADIUS = 40;

}  // namespace

FlameHolderEntity::FlameHolderEntity(int32_t entityKind, Room* owner, const char* animationPath)
    : SpriteEntity(entityKind, owner), fireEmitter(new_FireEmitter()) {
    zIndex = Z_FURNITURE;
    fireEmitter->count = FLAME_PARTICLES;
    fireEmitter->size = FLAME_SIZE;
    light = new_OwnedLight(owner, FIRST_LIGHT_RADIUS);
    playAnimation(animationPath);
}

// Here, where the emitter's type is complete.
FlameHolderEntity::~FlameHolderEntity() = default;

void FlameHolderEntity::burn(float dt) {
    fireEmitter->emit(dt);
    fireEmitter->update(dt);
}

void FlameHolderEntity::drawWithFlame(float opacity, float dt, bool flameOnTop) {
    if (room->owner != nullptr && room->owner->roomIsCovered()) return;
    if (!flameOnTop) fireEmitter->draw(room->camera->viewPosition);
    SpriteEntity::draw(opacity, dt);
    if (flameOnTop) fireEmitter->draw(room->camera->viewPosition);
}
