#include "World/KeyEntity.h"

#include "Audio/SoundManager.h"
#include "Debug/Debug.h"
#include "Engine/KeyCodes.h"
#include "World/CharacterEntity.h"
#include "World/Room.h"

#include <algorithm>
#include <iterator>

int32_t collectedKeyIds[KEY_SLOTS] = {};

namespace {

constexpr float PICKUP_DISTANCE = 50;  // between top-left corners

}  // namespace

bool isKeyCollected(int32_t keyId) {
    return keyId >= 1 && std::find(std::begin(collectedKeyIds), std::end(collectedKeyIds), keyId) !=
                             std::end(collectedKeyIds);
}

void forgetCollectedKeys() {
    std::fill(std::begin(collectedKeyIds), std::end(collectedKeyIds), 0);
}

KeyEntity::KeyEntity(Room* owner) : SpriteEntity(ET_KEY, owner) {
    zIndex = Z_KEY;
    scale = {1.5f, 1.5f};
    playAnimation("Assets/Animations/Key.1.json");
}

std::unique_ptr<KeyEntity> new_KeyEntity(Room* room) {
    return DEBUG_MAKE_UNIQUE(KeyEntity, "new_KeyEntity", room);
}

void KeyEntity::update(float dt) {
    width = static_cast<float>(animation->frameWidth);
    height = static_cast<float>(animation->frameHeight);
    revealAround(this, 2);
    SpriteEntity::update(dt);
    room->character->pushOut(this);
    offerPickup();
}

// With every slot taken the key shows its prompt but stays where it lies.
void KeyEntity::offerPickup() {
    if (!isCharacterWithin(this, PICKUP_DISTANCE)) return;
    room->prompt = "Pickup Key";
    if (!KEInputCheckTriggered(KEY_SPACE)) return;
    int32_t* freeSlot = std::find(std::begin(collectedKeyIds), std::end(collectedKeyIds), 0);
    if (freeSlot == std::end(collectedKeyIds)) return;
    *freeSlot = keyId;
    room->removeEntity(this);
    SoundManagerPlayPickup();
}

void KeyEntity::draw(float, float dt) {
    SpriteEntity::draw(1.0f, dt);
}
