#include "World/DoorEntity.h"

#include "Audio/SoundManager.h"
#include "Content/Controls.h"
#include "Content/Map.h"
#include "Debug/Debug.h"
#include "Effects/BlackOutEffect.h"
#include "World/CharacterEntity.h"
#include "World/KeyEntity.h"
#include "World/Room.h"
#include "World/RoomOwner.h"

#include <cstring>
#include <utility>

namespace {

constexpr float REACH_SQUARED = 3600;  // 60 pixels from the door's centre to the character's corner
constexpr float DARK_ENOUGH_TO_HIDE = 0.3f;

}  // namespace

DoorEntity::DoorEntity(Room* owner, int32_t doorOrientation)
    : SpriteEntity(ET_DOOR, owner), orientation(doorOrientation) {
    zIndex = Z_FURNITURE;
    useAnimation("Assets/Animations/Door.json");
    if (orientation == 0) return;
    // Turned a quarter turn about its top-left corner the sprite lies left
    // of its box; the offset moves it back over it.
    std::swap(width, height);
    drawOffset.x = width;
    rotation = QUARTER_TURN;
}

std::unique_ptr<DoorEntity> new_DoorEntity(Room* room, int32_t orientation) {
    return DEBUG_MAKE_UNIQUE(DoorEntity, "new_DoorEntity", room, orientation);
}

void DoorEntity::update(float dt) {
    const bool pressed = ControlsTriggered(Action::Interact);
    revealAround(this, 2);
    const CharacterEntity& character = *room->character;
    if (isWithinReach(character)) {
        // While the screen is blacked out the door neither prompts nor refuses.
        const bool refused = !isBlackedOut() && !offerPrompt(character);
        if (pressed && !refused) use(character);
    }
    room->character->pushOut(this);
    SpriteEntity::update(dt);
}

bool DoorEntity::isWithinReach(const CharacterEntity& character) const {
    const float dx = x + width * 0.5f - character.x;
    const float dy = y + height * 0.5f - character.y;
    return dx * dx + dy * dy < REACH_SQUARED;
}

bool DoorEntity::isBlackedOut() const {
    return room->owner != nullptr && room->owner->roomBlackOut().opacity >= DARK_ENOUGH_TO_HIDE;
}

bool DoorEntity::offerPrompt(const CharacterEntity& character) const {
    if (isHole) {
        const bool tooDark = character.candleLife <= 10.0f && room->rules.darkHoles;
        room->prompt = tooDark ? "It's too dark down here without a candle" : "Enter Hole";
        return !tooDark;
    }
    if (!locked) room->prompt = "Open Door";
    else room->prompt = isKeyCollected(keyId) ? "Unlock Door" : "Door Locked";
    if (character.hasJournal) return true;
    room->prompt = "I Can't Forget That Journal...";
    return false;
}

// Unlocking and leaving take the same press.
void DoorEntity::use(const CharacterEntity& character) {
    if (locked) {
        if (!isKeyCollected(keyId)) return;
        locked = false;
    }
    if (target.empty() || room->owner == nullptr) return;
    if (!isHole) SoundManagerSetState(MS_DOOR);
    SoundManagerSetAmbience(AS_QUIET);
    leaveThrough(character);
}

// The next room gets the candle less the ten seconds that mean "no candle".
void DoorEntity::leaveThrough(const CharacterEntity& character) const {
    RoomOwner* screen = room->owner;
    PlayState next = screen->roomState();
    next.carriedCandleLife = character.candleLife - 10.0f;
    next.entryDoor = {target, afterIntro, isHole, orientation, doorId, keyId, locked};
    screen->changeRoom(&next);
}

void DoorEntity::draw(float opacity, float dt) {
    if (!isHole) SpriteEntity::draw(opacity, dt);
}
