#include "World/PitEntity.h"

#include "Content/ContentManager.h"
#include "Debug/Debug.h"
#include "Util/Random.h"
#include "World/CharacterEntity.h"
#include "World/LightEntity.h"
#include "World/Room.h"

#include <string>

namespace {

constexpr float PULL_RATE = 8.5f;  // share of the way to the pit's middle per second

}  // namespace

// Each pit opens at its own pace, so it plays a copy of its animation.
PitEntity::PitEntity(Room* owner) : SpriteEntity(ET_PIT, owner) {
    const std::string path = "Assets/Animations/Pit_V" + std::to_string(RandomGame() % 2 + 1) + ".json";
    animation = ContentLoad<Animation>(path.c_str(), CF_COPY);
    animation->pause();
}

PitEntity::~PitEntity() {
    ContentManagerUnloadCopy(animation, CT_ANIMATION);
}

std::unique_ptr<PitEntity> new_PitEntity(Room* room) {
    return DEBUG_MAKE_UNIQUE(PitEntity, "new_PitEntity", room);
}

void PitEntity::update(float dt) {
    SpriteEntity::update(dt);
    const bool lit = isInCharactersLight();
    if (lit && !revealed) {
        revealed = true;
        animation->play();
    }
    if (revealed && animation->frame >= PIT_OPEN_FRAME && isUnderCharacter()) pullCharacter(dt);
    if (lit) animation->update(dt);
}

bool PitEntity::isInCharactersLight() const {
    const LightEntity* light = room->character->light;
    const float dx = x + width * 0.5f - light->centerX;
    const float dy = y + height * 0.5f - light->centerY;
    return dx * dx + dy * dy <= light->radiusSquared;
}

// The middle of the character as drawn stands over the hole; a character
// leaving the room after a fall or a death is not caught again.
bool PitEntity::isUnderCharacter() const {
    const CharacterEntity* character = room->character;
    if (character->leavingRoom) return false;
    const float dx = character->x + character->width * character->scale.x * 0.5f - (trapX + trapWidth * 0.5f);
    const float dy =
        character->y + character->height * character->scale.y * 0.5f - (trapY + trapHeight * 0.5f);
    const float rx = trapWidth * 0.5f;
    const float ry = trapHeight * 0.5f;
    return rx > 0.0f && ry > 0.0f && (dx * dx) / (rx * rx) + (dy * dy) / (ry * ry) <= 1.0f;
}

// Towards the middle of the trap, the nearer the slower.
void PitEntity::pullCharacter(float dt) const {
    CharacterEntity* character = room->character;
    character->velocity = {0.0f, 0.0f};
    character->x +=
        dt * PULL_RATE * ((trapWidth - character->scale.x * character->width) * 0.5f + trapX - character->x);
    character->y += dt * PULL_RATE *
                    ((trapHeight - character->scale.y * character->height) * 0.5f + trapY - character->y);
    character->falling = true;
}

void PitEntity::draw(float opacity, float dt) {
    if (revealed) SpriteEntity::draw(opacity, dt);
}
