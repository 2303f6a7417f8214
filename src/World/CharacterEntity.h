// The player's figure, seen from above. It walks in eight directions, turns
// smoothly the short way towards where it walks, is stopped by the map's
// solid cells and carries its own light. Its candle burns down; when it goes
// out, or a gust blows it out, the character stands in the dark with the
// music turned to danger and the camera shaking, and dies unless it reaches
// another light within seconds.
#pragma once

#include "World/Entity.h"

#include <cstdint>
#include <memory>

class DustEmitter;
class FireEmitter;
class LightEntity;

class CharacterEntity : public SpriteEntity {
public:
    LightEntity* light = nullptr;  // an entity of the room, which owns it
    Vector2 moveDirection{0, 0};   // unit vector of the pressed direction, or (0, 0)
    Vector2 spawnPosition{0, 0};   // where the character is placed and respawns
    float walkSpeed = 125.0f;      // world pixels per second
    float targetHeading = 0.0f;    // degrees, 0 east and 90 south; the rotation eases towards it
    bool isMoving = false;
    bool hasControl = true;       // the movement keys are read
    bool inLight = false;         // inside another light's radius this frame
    bool readingJournal = false;  // a checkpoint opened a journal page
    // Seconds: above 11 a candle burns; 10 is the resting value in the dark; at most 120.
    float candleLife = 10.0f;
    float deathThreshold = 0.0f;  // the candleLife at which the dark kills
    bool gustFired = false;       // the gust has blown and its timer stands still
    // Seconds until a gust blows the candle out; counted in double, for over
    // minutes of short frames a float's rounding would move the gust.
    double gustTimer = 0.0;
    bool falling = false;  // set by a pit
    bool flameHidden = true;
    bool candleFrozen = false;  // the candle does not burn down
    float radiusStep = 0.0f;    // how fast the light closes in once the candle is nearly gone
    float footstepTimer = 0.0f;
    bool hasJournal = false;  // doors stay shut without it
    // Dead or fallen, the character waits for its room to be entered again
    // and does nothing more in this one.
    bool leavingRoom = false;
    std::unique_ptr<DustEmitter> dustEmitter;
    std::unique_ptr<FireEmitter> flameEmitter;

    explicit CharacterEntity(Room* owner);
    ~CharacterEntity() override;

    // Every frame the play screen has the keyboard.
    void handleInput(float dt);
    // A candle with life seconds to burn.
    void giveCandle(float life);
    void update(float dt) override;
    void draw(float opacity, float dt) override;
    void debugDraw(float dt) override;

private:
    Animation* withCandle = nullptr;
    Animation* withoutCandle = nullptr;
    bool inTheDark = false;  // last frame the candle was out and no light near

    void turnTowards();
    void walk(float dt);
    void collideWithTiles();
    void testInLight();
    void burnCandle(float dt);
    void decayCandle(float dt);
    void die();
    // After a death or a fall: the room again, as it was first met, through
    // the door it was entered by.
    void enterRoomAgain();
    // Whether a death or a fall enters the room again rather than respawning
    // the character where it stands.
    bool respawnsByEnteringAgain() const;
    void countDownGust(float dt);
    void fall(float dt);
    void placeFlame(float dt);
    void respawn();
};

// Fills the room's character: in the dark with no candle, its light added
// to the room, standing at its spawn position.
std::unique_ptr<CharacterEntity> new_CharacterEntity(Room* room);

// The character of the room being played, or null outside play. Global
// because the frame loop, the harness and the route pilot follow it.
extern CharacterEntity* currentCharacter;
