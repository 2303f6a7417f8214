#include "World/WalkZone.h"

#include "Audio/SoundManager.h"
#include "Debug/Debug.h"
#include "Effects/BlackOutEffect.h"
#include "World/CharacterEntity.h"
#include "World/GameProgress.h"
#include "World/LightEntity.h"
#include "World/Narration.h"
#include "World/Room.h"
#include "World/RoomOwner.h"

namespace {

constexpr float PAGE_DELAY = 1.0f;
constexpr float ENDING_DELAY = 4.5f;
constexpr float WALKING_LIGHT_RADIUS = 120.0f;
constexpr int32_t FINAL_PAGE = 8;

// The scene spans rooms and play screens: the game's progress keeps it.
FinalScene& scene() {
    return gameProgress.finalScene;
}

}  // namespace

std::unique_ptr<WalkZone> new_WalkZone(Room* room) {
    return DEBUG_MAKE_UNIQUE(WalkZone, "new_WalkZone", room);
}

void WalkZone::update(float dt) {
    testOverlap();
    if (inside) walkOn(dt);
    else leave(dt);
}

void WalkZone::walkOn(float dt) const {
    if (!scene().reading) {
        NarrationStart(FINAL_PAGE);
        scene().reading = true;
        scene().walkTimer = PAGE_DELAY;
    }
    CharacterEntity* character = room->character;
    character->animation->play();
    character->x += character->walkSpeed * dt;
    character->hasControl = false;
    character->light->setRadius(WALKING_LIGHT_RADIUS);
    character->candleFrozen = true;
    if (scene().walkTimer > 0) scene().walkTimer -= dt;
    if (scene().walkTimer <= 0 && !scene().pageShown) {
        if (room->owner != nullptr) room->owner->openJournalPage("Assets/Textures/JournalBackground8.png");
        scene().pageShown = true;
    }
}

// The first frame outside starts the ending; 4.5 seconds later the game
// leaves for the credits, once.
void WalkZone::leave(float dt) const {
    RoomOwner* screen = room->owner;
    if (!scene().leftZone) {
        NarrationLetPlayOut();
        SoundManagerSetState(MS_DOOR_THEN_SHOTS);
        CharacterEntity* character = room->character;
        character->animation->reset();
        character->animation->pause();
        character->isMoving = false;
        if (screen != nullptr) screen->roomBlackOut().holdBlack();
        scene().walkTimer = ENDING_DELAY;
        scene().leftZone = true;
        scene().pageShown = false;
        scene().walkTimer -= dt;
    } else if (scene().walkTimer > 0) {
        scene().walkTimer -= dt;
    }
    if (scene().walkTimer <= 0 && scene().leftZone && !scene().pageShown) {
        scene().pageShown = true;
        if (screen == nullptr) return;
        PlayState outro;
        outro.entryDoor.target = "Outro";
        screen->changeRoom(&outro);
    }
}
