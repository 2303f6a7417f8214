#include "World/Room.h"

#include "Content/ContentManager.h"
#include "Content/Map.h"
#include "Debug/Debug.h"
#include "Effects/FireEmitter.h"
#include "Effects/FlareEmitter.h"
#include "Engine/Kestrel.h"
#include "Engine/Viewport.h"
#include "World/Camera.h"
#include "World/CharacterEntity.h"
#include "World/RoomOwner.h"
#include "World/Spawner.h"

#include <cstring>

namespace {

bool sameText(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return std::strcmp(a, b) == 0;
}

}  // namespace

Room::Room()
    : entities(DEBUG_MAKE_UNIQUE(OwningList<Entity>, "new_Room")),
      spawnPoints(DEBUG_MAKE_UNIQUE(OwningList<SpawnPoint>, "new_Room")),
      camera(new_Camera()),
      fireEmitters(DEBUG_MAKE_UNIQUE(OwningList<FireEmitter>, "new_Room")),
      flareEmitters(DEBUG_MAKE_UNIQUE(OwningList<FlareEmitter>, "new_Room")) {
    camera->clamp = false;
    camera->followRate = {5, 5};
    camera->shakeFrequency = {16, 8};
}

// Emitters first, then the entities, the spawn points and the camera.
Room::~Room() {
    fireEmitters.reset();
    flareEmitters.reset();
    entities.reset();
    spawnPoints.reset();
}

std::unique_ptr<Room> new_Room(RoomOwner* owner, const PlayState* entry) {
    std::unique_ptr<Room> room = DEBUG_MAKE_UNIQUE(Room, "new_Room");
    const char* path = entry->entryDoor.target.c_str();
    room->map = ContentLoad<Map>(path);
    room->rules = readRoomRules(*room->map);
    room->owner = owner;
    std::unique_ptr<CharacterEntity> owned = new_CharacterEntity(room.get());
    CharacterEntity* character = owned.get();
    room->character = character;
    currentCharacter = character;
    if (entry->carriedCandleLife > 10.0f) character->giveCandle(entry->carriedCandleLife);
    character->rotation = character->targetHeading = entry->carriedRotation;
    room->map->forEachObject(
        [&room](Map* map, MapObject* object) { spawnMapObject(room.get(), *map, *object); });
    // Doors stay shut while the journal lies in the room.
    character->hasJournal = room->getEntitiesOfKind(ET_JOURNAL)->count == 0;
    room->addEntity(std::move(owned));
    room->placeCharacter(entry->entryDoor.id);
    const Color& background = room->map->background;
    KEGfxSetBackgroundColor(background.red, background.green, background.blue);
    return room;
}

SpawnPoint* Room::spawnPointFor(int32_t id) const {
    for (SpawnPoint* spawn : *spawnPoints)
        if (spawn->id == id) return spawn;
    return nullptr;
}

// A map without the entry's spawn point still gets a playable room: the
// character starts at the first spawn point, or else the map's centre.
void Room::placeCharacter(int32_t entryId) {
    const SpawnPoint* spawn = spawnPointFor(entryId);
    Vector2 position;
    if (spawn != nullptr) {
        position = {spawn->x, spawn->y};
    } else {
        WARNING("The map has no spawn point %d; the character starts at %s.\nFile: %s", entryId,
                spawnPoints->head != nullptr ? "its first spawn point" : "the map's centre",
                map->path.c_str());
        position = spawnPoints->head != nullptr
                       ? Vector2{spawnPoints->head->data->x, spawnPoints->head->data->y}
                       : Vector2{static_cast<float>(map->width * map->tileWidth) * 0.5f,
                                 static_cast<float>(map->height * map->tileHeight) * 0.5f};
    }
    character->spawnPosition = position;
    character->x = position.x;
    character->y = position.y;
    camera->setPosition(position.x - screenWidth() * 0.5f, position.y - screenHeight() * 0.5f);
    camera->target = camera->position;
}

void Room::addEntity(std::unique_ptr<Entity> entity) {
    entity->id = nextEntityId++;
    entities->insertSorted(std::move(entity), [](const Entity* a, const Entity* b) { return a->compare(b); });
}

void Room::removeEntity(Entity* entity) {
    entity->pendingRemoval = true;
}

Entity* Room::findEntityByName(const char* name) const {
    for (Entity* entity : *entities)
        if (name == nullptr ? !entity->name : entity->name == name) return entity;
    return nullptr;
}

std::unique_ptr<List<Entity>> Room::getEntitiesOfKind(int32_t kind) const {
    std::unique_ptr<List<Entity>> found = new_List<Entity>();
    for (Entity* entity : *entities)
        if (entity->kind == kind) found->pushBack(entity);
    return found;
}

void Room::update(float dt) {
    camera->update(dt);
    prompt = nullptr;
    updateEntities(dt);
    updateEmitters(dt);
    updateNotification();
}

// The successor is read after the update, so an entity inserted behind the
// current one is updated in the same pass.
void Room::updateEntities(float dt) {
    ListNode<Entity>* node = entities->head;
    while (node != nullptr) {
        Entity* entity = node->data;
        if (entity->pendingRemoval) {
            ListNode<Entity>* next = node->next;
            entities->removeNode(node);
            node = next;
        } else {
            entity->update(dt);
            node = node->next;
        }
    }
}

void Room::updateEmitters(float dt) {
    for (FireEmitter* fire : *fireEmitters) {
        fire->emit(dt);
        fire->update(dt);
    }
    for (FlareEmitter* flare : *flareEmitters) {
        flare->emit(dt);
        flare->update(dt);
    }
}

// Rooms without a screen, built by tools and tests, show no prompt.
void Room::updateNotification() {
    if (owner != nullptr && prompt == nullptr && previousPrompt != nullptr) owner->hidePrompt();
    else if (owner != nullptr && prompt != nullptr && !sameText(prompt, previousPrompt))
        owner->showPrompt(prompt);
    previousPrompt = prompt;
}

void Room::draw(float opacity, float dt) {
    const MarkLife marks = owner != nullptr && owner->roomIsCovered() ? MARKS_HELD : MARKS_EXPIRE;
    map->prepare(camera->viewPosition);
    map->drawFloor(opacity, marks);
    for (FireEmitter* fire : *fireEmitters) fire->draw(camera->viewPosition);
    for (FlareEmitter* flare : *flareEmitters) flare->draw(camera->viewPosition);
    for (Entity* entity : *entities) entity->draw(opacity, dt);
    map->drawDarkness(opacity, marks);
    if (!debug) return;
    for (Entity* entity : *entities) entity->debugDraw(dt);
}

void Room::addSpawnPoint(const MapObject& object, int32_t id, int32_t orientation) {
    std::unique_ptr<SpawnPoint> spawn = DEBUG_MAKE_UNIQUE(SpawnPoint, "addSpawnPoint");
    spawn->x = object.x + (static_cast<float>(object.width) - character->width) * 0.5f;
    spawn->y = object.y + (static_cast<float>(object.height) - character->height) * 0.5f;
    spawn->id = id;
    spawn->orientation = orientation;
    spawnPoints->pushBack(std::move(spawn));
}
