#include "World/KeyEntity.h"

#include "Audio/SoundManager.h"
#include "Content/Controls.h"
#include "Debug/Debug.h"
#include "World/CharacterEntity.h"
#include "World/GameProgress.h"
#include "World/Room.h"

#include <algorithm>

namespace {

constexpr float PICKUP_DISTANCE = 50;  // between top-left corners

}  // namespace

bool isKeyCollected(int32_t keyId) {
    const auto& keys = gameProgress.collectedKeyIds;
    return keyId >= 1 && std::find(keys.begin(), keys.end(), keyId) != keys.end();
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
    if (!ControlsTriggered(Action::Interact)) return;
    auto& keys = gameProgress.collectedKeyIds;
    auto freeSlot = std::find(keys.begin(), keys.end(), 0);
    if (freeSlot == keys.end()) return;
    *freeSlot = keyId;
    room->removeEntity(this);
    SoundManagerPlayPickup();
}

void KeyEntity::draw(float, float dt) {
    SpriteEntity::draw(1.0f, dt);
}
