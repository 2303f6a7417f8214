#include "World/JournalEntity.h"

#include "Audio/SoundManager.h"
#include "Content/Controls.h"
#include "Debug/Debug.h"
#include "World/CharacterEntity.h"
#include "World/GameProgress.h"
#include "World/Room.h"

namespace {

constexpr float PICKUP_DISTANCE = 80;  // between top-left corners

}  // namespace

JournalEntity::JournalEntity(Room* owner) : SpriteEntity(ET_JOURNAL, owner) {
    zIndex = Z_FURNITURE;
    playAnimation("Assets/Animations/Journal.json");
}

std::unique_ptr<JournalEntity> new_JournalEntity(Room* room) {
    return DEBUG_MAKE_UNIQUE(JournalEntity, "new_JournalEntity", room);
}

void JournalEntity::update(float dt) {
    width = static_cast<float>(animation->frameWidth);
    height = static_cast<float>(animation->frameHeight);
    pivot = {0.0f, 0.0f};
    rotation = 0.0f;
    revealAround(this, 2);
    if (offerPickup()) return;
    room->character->pushOut(this);
    SpriteEntity::update(dt);
}

bool JournalEntity::offerPickup() {
    if (!isCharacterWithin(this, PICKUP_DISTANCE)) return false;
    room->prompt = "Pickup Journal";
    if (!ControlsHeld(Action::Interact)) return false;
    room->removeEntity(this);
    SoundManagerPlayRelief();
    room->character->hasJournal = true;
    gameProgress.journalTaken = true;
    return true;
}
