// What everything in a room shares: the entity header (kind, box, z order,
// the per-frame operations) and the sprite entity with its default movement,
// drawing and collision push-out.
#pragma once

#include "Content/Animation.h"
#include "Util/Color.h"
#include "Util/Matrix3.h"
#include "Util/Vector2.h"

#include <cstdint>
#include <optional>
#include <string>

struct Room;

// Orientations in maps count quarter turns.
inline constexpr float QUARTER_TURN = 1.5707963f;

enum EntityKind : int32_t {
    ET_CHARACTER = 0,
    ET_LIGHT = 1,
    ET_DOOR = 2,
    ET_KEY = 3,
    ET_PIT = 4,
    ET_CHECKPOINT = 5,
    ET_TEXT = 6,
    ET_LANTERN = 7,
    ET_CANDLE = 8,
    ET_COUCH = 9,
    ET_JOURNAL = 10,
    ET_IMAGE = 11,
    ET_TABLE = 12,
    ET_ZONE = 13,
};

class Entity {
public:
    int32_t kind;
    std::optional<std::string> name;  // only lights have one
    uint32_t id = 0;                  // given by the room when it is added
    bool pendingRemoval = false;      // the room destroys it at its next update
    Room* room;
    float x = 0.0f;  // the top-left corner of the box, in world pixels
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    int32_t zIndex = 0;  // lower draws first

    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;
    // Destroying an entity frees what it owns.
    virtual ~Entity() = default;

    // The room keeps its entities in ascending order of this.
    virtual int32_t compare(const Entity* other) const { return zIndex - other->zIndex; }
    virtual void update(float) {}
    // opacity is the play screen's transition opacity.
    virtual void draw(float, float) {}
    // Shown while the room's debug overlay is on: the box, translucent.
    virtual void debugDraw(float dt);

protected:
    Entity(int32_t entityKind, Room* owner) : kind(entityKind), room(owner) {}

    // The debug box at the given scale of the entity's own box.
    void drawBox(float scaleX, float scaleY) const;
};

// Where an entity is drawn among the room's, back to front.
enum ZOrder : int32_t {
    Z_LIGHT = -1,  // draws nothing of its own
    Z_FLOOR = 0,   // pits, zones, texts on the floor
    Z_KEY = 1,
    Z_IMAGE = 5,  // an image object whose map names no ZIndex
    Z_CHARACTER = 10,
    Z_FURNITURE = 69,  // over the character, who passes behind it
};

class SpriteEntity : public Entity {
public:
    Vector2 velocity{0.0f, 0.0f};  // world pixels per second
    Vector2 pivot{0.0f, 0.0f};     // rotation centre in unscaled sprite pixels
    Vector2 drawOffset{0.0f, 0.0f};
    Vector2 scale{1.0f, 1.0f};
    float rotation = 0.0f;  // radians
    Matrix3 transform{};    // rebuilt by every update
    Color colour = colourWhite;
    Animation* animation = nullptr;

    // Moves by the velocity, places the sprite turned about its pivot with
    // its unrotated top-left at (x, y) relative to the camera, and advances
    // the animation.
    void update(float dt) override;
    void draw(float opacity, float dt) override;
    void debugDraw(float dt) override;
    // Moves this entity out of the other's box along the shallower axis;
    // walking straight at a corner it only grazes, it slides past it.
    virtual void pushOut(const SpriteEntity* other);
    // Sets the box to the animation's frame turned by that many quarter
    // turns, and turns the sprite about its middle so that it lies over
    // the box, whose top-left stays at (x, y).
    void turnOverBox(int32_t quarterTurns);

protected:
    SpriteEntity(int32_t entityKind, Room* owner) : Entity(entityKind, owner) {}

    // Takes the animation from the content cache and sizes the box to one
    // of its frames; playAnimation also plays it.
    void useAnimation(const char* path);
    void playAnimation(const char* path);
};

// Marks the room's darkness-layer cells under the box, widened by margin
// cells on every side, as lit this frame; cells off the map are skipped.
void markCellsLit(Room* room, float x, float y, float width, float height, int32_t margin);
// The cells under the entity's own box and margin cells around it.
void revealAround(Entity* entity, int32_t margin);
// The character's top-left corner lies nearer than distance to the entity's.
bool isCharacterWithin(const Entity* entity, float distance);
// The character's unscaled box overlaps the box; touching edges count.
bool touchesCharacter(const Room* room, float x, float y, float width, float height);
