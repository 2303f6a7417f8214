#include "World/CharacterEntity.h"

#include "Audio/SoundManager.h"
#include "Content/ContentManager.h"
#include "Content/Controls.h"
#include "Content/Map.h"
#include "Content/TextureFont.h"
#include "Debug/Debug.h"
#include "Effects/BlackOutEffect.h"
#include "Effects/DustEmitter.h"
#include "Effects/FireEmitter.h"
#include "Util/Random.h"
#include "World/Camera.h"
#include "World/GameProgress.h"
#include "World/LightEntity.h"
#include "World/Room.h"
#include "World/RoomOwner.h"

#include <cmath>
#include <cstdio>
#include <cstring>

CharacterEntity* currentCharacter = nullptr;

namespace {

constexpr float DEGREES_PER_RADIAN = 57.295784f;
constexpr float RADIANS_PER_DEGREE = 0.017453292f;
constexpr float FULL_TURN = 6.2831855f;
constexpr float TURN_RATE = 10.0f;
constexpr float SPRITE_SCALE = 1.5f;
constexpr float FOOTSTEP_SECONDS = 0.325f;
// Walking, the gust's countdown runs at about half speed.
constexpr float GUST_SLOWDOWN_WHILE_WALKING = 0.48f;  // seconds given back a second
// In the dark the camera shakes the harder the nearer death is.
constexpr float SHAKE_PER_SECOND = 12.0f;
constexpr float FALL_SHRINK_PER_SECOND = 1.1f;
constexpr float CANDLE_CAP = 120.0f;
constexpr float CANDLE_OUT = 11.0f;  // at or below, no candle burns
constexpr float IN_THE_DARK = 10.0f;
constexpr float RESPAWN_CANDLE = 70.0f;
constexpr int32_t WALL_LAYER = 1;

float randomDeathThreshold() {
    return static_cast<float>(RandomGame()) / 10922.333f - 1.0f;  // -1 to 2
}

float randomGustTimer() {
    return static_cast<float>(RandomGame()) / -409.5875f + 180.0f;  // 100 to 180
}

bool isNear(float a, float b) {
    return std::fabs(a - b) < 0.0001f;
}

// The tutorial rooms give no candle on a respawn.
bool isCandleFreeRoom(const Room* room) {
    return !room->rules.respawnWithCandle;
}

Animation* loadAnimation(const char* path) {
    return ContentLoad<Animation>(path);
}

}  // namespace

CharacterEntity::CharacterEntity(Room* owner) : SpriteEntity(ET_CHARACTER, owner) {
    std::unique_ptr<LightEntity> ownLight = new_LightEntity(owner);
    light = ownLight.get();
    light->holdIntensity(0.3f);
    owner->addEntity(std::move(ownLight));
    zIndex = Z_CHARACTER;
    deathThreshold = randomDeathThreshold();
    light->setRadius(owner->rules.characterLight);
    candleFrozen = !owner->rules.candleBurns;
    if (owner->rules.music == RoomMusic::Menu) {
        SoundManagerStopAll();
        SoundManagerSetState(MS_MENU);
    } else {
        SoundManagerSetState(MS_SPOOKY);
    }
    SoundManagerSetAmbience(AS_QUIET);
    gustTimer = randomGustTimer();
    dustEmitter = new_DustEmitter();
    dustEmitter->rate = 300;
    flameEmitter = new_FireEmitter();
    flameEmitter->count = 60;
    withCandle = loadAnimation("Assets/Animations/MC.Candle.json");
    withoutCandle = loadAnimation("Assets/Animations/MC.NoCandle.json");
    animation = withoutCandle;
    animation->play();
    width = static_cast<float>(animation->frameWidth);
    height = static_cast<float>(animation->frameHeight);
    pivot = {9, 13};
    scale = {SPRITE_SCALE, SPRITE_SCALE};
    respawn();
}

// Here, where the emitters' types are complete.
CharacterEntity::~CharacterEntity() = default;

std::unique_ptr<CharacterEntity> new_CharacterEntity(Room* room) {
    return DEBUG_MAKE_UNIQUE(CharacterEntity, "new_CharacterEntity", room);
}

void CharacterEntity::giveCandle(float life) {
    candleLife = life + 10;
    light->setRadius(life * 1.5f + 20);
    // The holder's light goes or dims at once; the candle's comes with it.
    light->showNextAtOnce();
    flameHidden = false;
}

void CharacterEntity::handleInput(float) {
    const bool up = ControlsHeld(Action::WalkUp);
    const bool left = ControlsHeld(Action::WalkLeft);
    const bool down = ControlsHeld(Action::WalkDown);
    const bool right = ControlsHeld(Action::WalkRight);
    if (!hasControl) return;
    const Vector2 previousDirection = moveDirection;
    const bool wasMoving = isMoving;
    // Left beats right and up beats down.
    moveDirection = {left ? -1.0f : right ? 1.0f : 0.0f, up ? -1.0f : down ? 1.0f : 0.0f};
    isMoving = !(std::fabs(moveDirection.x) < 0.0001f && std::fabs(moveDirection.y) < 0.0001f);
    if (isMoving) {
        const float length = std::sqrt(moveDirection.x * moveDirection.x + moveDirection.y * moveDirection.y);
        moveDirection = {moveDirection.x / length, moveDirection.y / length};
        animation->play();
    } else if (wasMoving) {
        animation->reset();
        animation->pause();
    }
    const bool turned = std::fabs(moveDirection.x - previousDirection.x) >= 0.0001f ||
                        std::fabs(moveDirection.y - previousDirection.y) >= 0.0001f;
    if (isMoving && turned) turnTowards();
}

// The heading turns the short way; a full turn is taken back once it would
// run past 540 or -495 degrees, so it never winds up.
void CharacterEntity::turnTowards() {
    const float previousHeading = targetHeading;
    float heading = std::atan2(moveDirection.y, moveDirection.x) * DEGREES_PER_RADIAN;
    if (std::floor(std::fabs(heading - previousHeading)) > 180)
        heading += heading - previousHeading < 0 ? 360.0f : -360.0f;
    if (isNear(heading, 225) && isNear(previousHeading, 540)) rotation -= FULL_TURN;
    if (isNear(heading, -180) && isNear(previousHeading, -495)) rotation += FULL_TURN;
    targetHeading = heading;
}

void CharacterEntity::update(float dt) {
    const float startX = x;
    const float startY = y;
    const float startWidth = width;
    const float startHeight = height;
    if (readingJournal || leavingRoom) {
        animation->reset();
        animation->pause();
        moveDirection = {0, 0};
        velocity = {0, 0};
        isMoving = false;
        return;
    }
    if (falling) fall(dt);
    else walk(dt);
    collideWithTiles();
    const bool burning = candleLife > CANDLE_OUT;
    animation = burning ? withCandle : withoutCandle;
    light->holdIntensity(burning ? 1.0f : 0.3f);
    testInLight();
    if (!candleFrozen) burnCandle(dt);
    countDownGust(dt);
    SpriteEntity::update(dt);
    light->setPosition(startX + startWidth * scale.x * 0.5f, startY + startHeight * scale.y * 0.5f);
    if (isMoving) dustEmitter->emit({x + pivot.x, y + pivot.y}, velocity, dt);
    dustEmitter->update(dt);
    if (candleLife > CANDLE_OUT) placeFlame(dt);
}

void CharacterEntity::walk(float dt) {
    velocity = {moveDirection.x * walkSpeed, moveDirection.y * walkSpeed};
    rotation += (targetHeading - rotation * DEGREES_PER_RADIAN) * RADIANS_PER_DEGREE * dt * TURN_RATE;
    if (!isMoving) return;
    footstepTimer -= dt;
    if (footstepTimer >= 0) return;
    SoundManagerPlayFootstep(0, 0);
    footstepTimer += FOOTSTEP_SECONDS;
    if (footstepTimer < 0) footstepTimer = FOOTSTEP_SECONDS;
}

// Twelve probes, three along each side of the box, all placed before any
// correction; a probe in a solid cell puts that side against the cell.
void CharacterEntity::collideWithTiles() {
    Map& map = *room->map;
    const auto tileWidth = static_cast<float>(map.tileWidth);
    const auto tileHeight = static_cast<float>(map.tileHeight);
    const float W = width * scale.x / tileWidth;
    const float H = height * scale.y / tileHeight;
    const float X = x / tileWidth;
    const float Y = y / tileHeight;
    enum Side { LEFT, TOP, RIGHT, BOTTOM };
    struct Probe {
        Side side;
        float x, y;
    };
    const Probe probes[12] = {
        {LEFT, X, Y + 0.15f * H},       {LEFT, X, Y + 0.5f * H},       {LEFT, X, Y + (H - 0.15f * H)},
        {TOP, X + 0.15f * W, Y},        {TOP, X + 0.5f * W, Y},        {TOP, X + (W - 0.15f * W), Y},
        {RIGHT, X + W, Y + 0.15f * H},  {RIGHT, X + W, Y + 0.5f * H},  {RIGHT, X + W, Y + (H - 0.15f * H)},
        {BOTTOM, X + 0.15f * W, Y + H}, {BOTTOM, X + 0.5f * W, Y + H}, {BOTTOM, X + (W - 0.15f * W), Y + H},
    };
    for (const Probe& probe : probes) {
        const auto column = static_cast<int32_t>(probe.x);
        const auto row = static_cast<int32_t>(probe.y);
        const Tile* tile = map.getTile(column, row, WALL_LAYER);
        if (tile == nullptr || (tile->flags & TILE_COLLISION) == 0) continue;
        switch (probe.side) {
            case LEFT:
                x = static_cast<float>(column + 1) * tileWidth;
                break;
            case TOP:
                y = static_cast<float>(row + 1) * tileHeight;
                break;
            case RIGHT:
                x = tileWidth * static_cast<float>(column) - tileWidth * W;
                break;
            case BOTTOM:
                y = tileHeight * static_cast<float>(row) - tileHeight * H;
                break;
        }
    }
}

void CharacterEntity::testInLight() {
    inLight = false;
    const float centreX = x + width * 0.5f;
    const float centreY = y + height * 0.5f;
    for (Entity* entity : *room->entities) {
        if (entity->kind != ET_LIGHT || entity == light) continue;
        const auto* other = static_cast<const LightEntity*>(entity);
        const float dx = centreX - other->centerX;
        const float dy = centreY - other->centerY;
        if (other->radiusSquared >= dx * dx + dy * dy) {
            inLight = true;
            return;
        }
    }
}

void CharacterEntity::burnCandle(float dt) {
    float& T = candleLife;
    const bool wasInTheDark = inTheDark;
    inTheDark = false;
    if (T > CANDLE_CAP) {
        T = CANDLE_CAP;
    } else if (T > IN_THE_DARK && T < CANDLE_OUT) {
        // Going out.
        SoundManagerSetState(MS_GASP);
        if (room->owner != nullptr) room->owner->roomBlackOut().start(true);
    } else if (T < IN_THE_DARK && T > deathThreshold && !inLight) {
        // The shake starts with the second frame in the dark, once the danger plays.
        if (wasInTheDark) room->camera->addShake((1 - T / 10) * SHAKE_PER_SECOND * dt);
        SoundManagerSetState(MS_DANGER);
        inTheDark = true;
        light->setRadius(40);
    } else if (inLight && T <= IN_THE_DARK) {
        // Another light keeps the dark away.
        if (T < IN_THE_DARK) T = IN_THE_DARK;
        return;
    } else if (T < deathThreshold) {
        die();
        return;
    }
    decayCandle(dt);
}

// The light shrinks slowly while the candle is long, then closes in faster
// over its last seconds.
void CharacterEntity::decayCandle(float dt) {
    float& T = candleLife;
    T -= dt;
    if (T > 20) {
        light->setRadius(light->radius - dt * 0.2f);
        radiusStep = light->radius - 30;
    } else if (T > CANDLE_OUT && T < 20) {
        light->setRadius(light->radius - radiusStep * 0.1f * dt);
    }
}

// Back to the spawn point, or into the room again through the door it was
// entered by.
void CharacterEntity::die() {
    SoundManagerCharacterDied();
    RoomOwner* screen = room->owner;
    if (screen != nullptr) screen->roomBlackOut().start(false);
    hasControl = false;
    deathThreshold = randomDeathThreshold();
    if (respawnsByEnteringAgain()) enterRoomAgain();
    else respawn();
}

// Once a checkpoint is reached; and always in the rooms that give no candle
// on a respawn, so that their candle holders stand again and the way on
// stays open.
bool CharacterEntity::respawnsByEnteringAgain() const {
    RoomOwner* screen = room->owner;
    return screen != nullptr && (gameProgress.lastCheckpointId != 0 || isCandleFreeRoom(room));
}

void CharacterEntity::enterRoomAgain() {
    RoomOwner* screen = room->owner;
    PlayState again = screen->roomState();
    again.carriedCandleLife = 0;
    screen->changeRoom(&again);
    leavingRoom = true;
}

// Once fired, the gust stands still until a fall clears it or the room is
// left. It blows in the frame its time runs out.
void CharacterEntity::countDownGust(float dt) {
    if (gustFired) return;
    gustTimer -= (isMoving ? 1.0 - GUST_SLOWDOWN_WHILE_WALKING : 1.0) * dt;
    if (gustTimer >= 0) return;
    gustFired = true;
    candleLife = CANDLE_OUT;
    gustTimer = randomGustTimer();
}

void CharacterEntity::fall(float dt) {
    velocity = {0, 0};
    scale.x -= dt * FALL_SHRINK_PER_SECOND;
    scale.y -= dt * FALL_SHRINK_PER_SECOND;
    animation = withoutCandle;
    isMoving = false;
    candleLife = IN_THE_DARK;
    gustFired = false;
    if (scale.x >= 0.1f) return;
    if (room->owner != nullptr) room->owner->roomBlackOut().start(false);
    falling = false;
    if (isCandleFreeRoom(room) && room->owner != nullptr) {
        enterRoomAgain();
        return;
    }
    scale = {SPRITE_SCALE, SPRITE_SCALE};
    respawn();
}

// The flame sits at the hand, 9 sprite pixels ahead of the pivot and 9 to
// its left, turning with the character.
void CharacterEntity::placeFlame(float dt) {
    Matrix3 turn;
    Matrix3Rotate(&turn, rotation);
    float handX, handY;
    Matrix3TransformPoint(&turn, 9, -9, &handX, &handY);
    const float size = candleLife / 50 * 20;
    flameEmitter->size = size > 35 ? 35 : size;
    flameEmitter->position = {(pivot.x + handX) * SPRITE_SCALE + x, (pivot.y + handY) * SPRITE_SCALE + y};
    flameEmitter->emit(dt);
    flameEmitter->update(dt);
}

void CharacterEntity::respawn() {
    x = spawnPosition.x;
    y = spawnPosition.y;
    animation->reset();
    animation->pause();
    gustTimer = randomGustTimer();
    if (isCandleFreeRoom(room)) {
        candleLife = IN_THE_DARK;
    } else {
        candleLife = RESPAWN_CANDLE;
        light->setRadius(110);
        light->showNextAtOnce();  // under the black
        flameHidden = false;
    }
    falling = false;
    hasControl = true;
}

void CharacterEntity::draw(float opacity, float dt) {
    dustEmitter->draw(room->camera->viewPosition);
    SpriteEntity::draw(opacity, dt);
    const bool covered = room->owner != nullptr && room->owner->roomIsCovered();
    if (candleLife > CANDLE_OUT && !flameHidden && !covered) flameEmitter->draw(room->camera->viewPosition);
}

void CharacterEntity::debugDraw(float dt) {
    SpriteEntity::debugDraw(dt);
    char text[96];
    std::snprintf(text, sizeof text, "In Light: %i\nTarget: %0.2f\nTimer: %0.2f", inLight ? 1 : 0,
                  static_cast<double>(targetHeading), static_cast<double>(candleLife));
    const Vector2 camera = room->camera->viewPosition;
    debugFont->drawText(text, {x - camera.x, y - camera.y}, colourWhite, ALIGN_LEFT);
}
