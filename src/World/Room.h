// One playable room: its tile map, its camera, the player character, every
// entity spawned from the map's objects, the spawn points and the map's fire
// and flare emitters. The play screen makes one room, updates and draws it
// every frame and destroys it when it leaves.
#pragma once

#include "Util/LinkedList.h"
#include "World/RoomRules.h"

#include <cstdint>
#include <memory>

class Camera;
class CharacterEntity;
class Entity;
class FireEmitter;
class FlareEmitter;
class Map;
class RoomOwner;
struct MapObject;
struct PlayState;

// Where the character is placed when it enters through the door of that id.
struct SpawnPoint {
    float x = 0.0f;  // the character's top-left
    float y = 0.0f;
    int32_t id = 0;
    int32_t orientation = 0;
};

class Room {
public:
    std::unique_ptr<OwningList<Entity>> entities;  // ascending z order
    uint32_t nextEntityId = 0;
    std::unique_ptr<OwningList<SpawnPoint>> spawnPoints;
    bool debug = false;  // the play screen's debug overlay
    Map* map = nullptr;  // cached content, not owned
    RoomRules rules;     // what the map says the room is like
    std::unique_ptr<Camera> camera;
    RoomOwner* owner = nullptr;  // the screen that made the room; null in rooms built by tools and tests
    std::unique_ptr<OwningList<FireEmitter>> fireEmitters;
    std::unique_ptr<OwningList<FlareEmitter>> flareEmitters;
    const char* prompt = nullptr;  // this frame's interaction prompt; not owned
    const char* previousPrompt = nullptr;
    CharacterEntity* character = nullptr;  // also one of the entities

    // An empty room with its lists and camera but no map.
    Room();
    ~Room();
    Room(const Room&) = delete;
    Room& operator=(const Room&) = delete;

    void update(float dt);
    // opacity is the play screen's transition opacity.
    void draw(float opacity, float dt);
    // Numbers the entity and puts it in z order: before the first entity
    // that does not compare less, so among equals the newest draws first.
    void addEntity(std::unique_ptr<Entity> entity);
    // The entity is unlinked and destroyed at the room's next update.
    void removeEntity(Entity* entity);
    Entity* findEntityByName(const char* name) const;
    // A new list of the entities of that kind in list order; the room still
    // owns the entities.
    std::unique_ptr<List<Entity>> getEntitiesOfKind(int32_t kind) const;
    // Puts the character and the camera on the spawn point of that id.
    void placeCharacter(int32_t entryId);
    // A spawn point centred on the object for the character's box.
    void addSpawnPoint(const MapObject& object, int32_t id, int32_t orientation);

private:
    void updateEntities(float dt);
    void updateEmitters(float dt);
    void updateNotification();
    SpawnPoint* spawnPointFor(int32_t id) const;
};

// The room the entry state leads to: its map, its entities and the character
// on the spawn point of the entry door's id.
std::unique_ptr<Room> new_Room(RoomOwner* owner, const PlayState* entry);
