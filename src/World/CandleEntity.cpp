#include "World/CandleEntity.h"

#include "Content/Controls.h"
#include "Debug/Debug.h"
#include "Effects/FireEmitter.h"
#include "World/CharacterEntity.h"
#include "World/LightEntity.h"
#include "World/Room.h"

namespace {

constexpr float PICKUP_DISTANCE = 80;  // between top-left corners
constexpr float LARGEST_FLAME = 35;

}  // namespace

CandleEntity::CandleEntity(Room* owner)
    : FlameHolderEntity(ET_CANDLE, owner, "Assets/Animations/CandleHolder.json") {}

std::unique_ptr<CandleEntity> new_CandleEntity(Room* room) {
    return DEBUG_MAKE_UNIQUE(CandleEntity, "new_CandleEntity", room);
}

void CandleEntity::update(float dt) {
    fireEmitter->position = {x + 8, y + 8};
    light->setPosition(fireEmitter->position.x, fireEmitter->position.y);
    light->setRadius((life + 10) * 1.5f);
    const float size = life / 50 * 20;
    fireEmitter->size = size > LARGEST_FLAME ? LARGEST_FLAME : size;
    burn(dt);
    offerCandle();
    // The holder is solid.
    room->character->pushOut(this);
    SpriteEntity::update(dt);
}

// Within reach the character may swap candles with the holder; a holder
// given no burning candle back is emptied and goes with its light.
void CandleEntity::offerCandle() {
    if (!isCharacterWithin(this, PICKUP_DISTANCE)) return;
    room->prompt = "Pickup Candle";
    if (!ControlsTriggered(Action::Interact)) return;
    CharacterEntity* character = room->character;
    const float carried = character->candleLife;
    character->giveCandle(life);
    if (carried > 10) {
        life = carried - 10;
        light->setRadius((carried - 10) * 1.5f + 20);
    } else {
        room->removeEntity(this);
        room->removeEntity(light);
    }
}

void CandleEntity::draw(float opacity, float dt) {
    drawWithFlame(opacity, dt, true);
}
