#include "World/Room.h"

#include "Content/ContentManager.h"
#include "Debug/Debug.h"
#include "Effects/FireEmitter.h"
#include "Effects/FlareEmitter.h"
#include "Engine/Kestrel.h"
#include "Game/Game.h"
#include "Screens/NotificationBar.h"
#include "Screens/PlayScreen.h"
#include "Util/StringHelper.h"
#include "World/Camera.h"
#include "World/CandleEntity.h"
#include "World/CharacterEntity.h"
#include "World/LanternEntity.h"
#include "World/LightEntity.h"
#include "World/Map.h"

#include <cstring>

namespace {

constexpr float QUARTER_TURN = 1.5707963f;
constexpr int32_t EMITTER_PARTICLE_COUNT = 60;
const char* const TUTORIAL_A = "Assets/FloorTemplate/FinalRooms/RoomTutA.json";

bool sameText(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return std::strcmp(a, b) == 0;
}

// The object's property of that name; a missing one is a fault of the map.
const Property& required(const Map& map, const MapObject& object, const char* key) {
    const Property* property = PropertiesGet(object.properties.get(), key);
    if (property == nullptr)
        FATAL_ERROR("Map object \"%s\" (%s at %g, %g) is missing its required property \"%s\".\nFile: %s",
                    object.name != nullptr ? object.name : "", object.type, static_cast<double>(object.x),
                    static_cast<double>(object.y), key, map.path != nullptr ? map.path : "(none)");
    return *property;
}

const Property* optional(const MapObject& object, const char* key) {
    return PropertiesGet(object.properties.get(), key);
}

int32_t optionalInt(const MapObject& object, const char* key, int32_t fallback) {
    const Property* property = optional(object, key);
    return property != nullptr ? property->asInt() : fallback;
}

Vector2 objectCentre(const MapObject& object) {
    return {object.x + static_cast<float>(object.width) * 0.5f,
            object.y + static_cast<float>(object.height) * 0.5f};
}

template <typename Emitter>
void destroyEmitters(List<Emitter>* emitters) {
    for (ListNode<Emitter>* node = emitters->head; node != nullptr; node = node->next) delete node->data;
    emitters->destroy();
}

}  // namespace

Room::Room()
    : entities(new_List<Entity>()),
      spawnPoints(new_List<SpawnPoint>()),
      camera(new_Camera()),
      fireEmitters(new_List<FireEmitter>()),
      flareEmitters(new_List<FlareEmitter>()) {
    camera->clamp = false;
    camera->followRate = {5, 5};
    camera->shakeFrequency = {16, 8};
}

Room::~Room() {
    // The map outlives the room in the content cache.
    if (map != nullptr && map->room == this) map->room = nullptr;
    destroyEmitters(fireEmitters);
    destroyEmitters(flareEmitters);
    for (ListNode<Entity>* node = entities->head; node != nullptr; node = node->next) delete node->data;
    entities->destroy();
    for (ListNode<SpawnPoint>* node = spawnPoints->head; node != nullptr; node = node->next)
        delete node->data;
    spawnPoints->destroy();
    delete camera;
}

Room* new_Room(PlayScreen* owner, const PlayState* entry) {
    Room* room = DEBUG_NEW(Room, "new_Room");
    const char* path = entry->entryDoor.target;
    room->map = static_cast<Map*>(ContentManagerLoad(path, CT_MAP, 0));
    room->map->room = room;
    room->owner = owner;
    CharacterEntity* character = new_CharacterEntity(room);
    room->character = character;
    currentCharacter = character;
    character->hasJournal = !sameText(path, TUTORIAL_A);
    if (entry->carriedCandleLife > 10.0f) character->giveCandle(entry->carriedCandleLife);
    room->map->forEachObject([room](Map* map, MapObject* object) { room->onEntityParse(map, object); });
    room->addEntity(character);
    room->placeCharacter(entry->entryDoor.id);
    const Color& background = room->map->background;
    KEGfxSetBackgroundColor(background.red, background.green, background.blue);
    return room;
}

SpawnPoint* Room::spawnPointFor(int32_t id) const {
    for (ListNode<SpawnPoint>* node = spawnPoints->head; node != nullptr; node = node->next)
        if (node->data->id == id) return node->data;
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
                spawnPoints->head != nullptr ? "its first spawn point" : "the map's centre", map->path);
        position = spawnPoints->head != nullptr
                       ? Vector2{spawnPoints->head->data->x, spawnPoints->head->data->y}
                       : Vector2{static_cast<float>(map->width * map->tileWidth) * 0.5f,
                                 static_cast<float>(map->height * map->tileHeight) * 0.5f};
    }
    character->spawnPosition = position;
    character->x = position.x;
    character->y = position.y;
    camera->setPosition(position.x - screenWidth * 0.5f, position.y - screenHeight * 0.5f);
    camera->target = camera->position;
}

void Room::addEntity(Entity* entity) {
    entity->id = nextEntityId++;
    entities->insertSorted(entity, [](const Entity* a, const Entity* b) { return a->compare(b); });
}

void Room::removeEntity(Entity* entity) {
    entity->pendingRemoval = true;
}

Entity* Room::findEntityByName(const char* name) const {
    for (ListNode<Entity>* node = entities->head; node != nullptr; node = node->next)
        if (sameText(node->data->name, name)) return node->data;
    return nullptr;
}

List<Entity>* Room::getEntitiesOfKind(int32_t kind) const {
    List<Entity>* found = new_List<Entity>();
    for (ListNode<Entity>* node = entities->head; node != nullptr; node = node->next)
        if (node->data->kind == kind) found->pushBack(node->data);
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
            delete entity;
            node = next;
        } else {
            entity->update(dt);
            node = node->next;
        }
    }
}

void Room::updateEmitters(float dt) {
    for (ListNode<FireEmitter>* node = fireEmitters->head; node != nullptr; node = node->next) {
        node->data->emit();
        node->data->update(dt);
    }
    for (ListNode<FlareEmitter>* node = flareEmitters->head; node != nullptr; node = node->next) {
        node->data->emit();
        node->data->update(dt);
    }
}

void Room::updateNotification() {
    if (prompt == nullptr && previousPrompt != nullptr) hideNotification();
    else if (prompt != nullptr && !sameText(prompt, previousPrompt)) showNotification(prompt);
    previousPrompt = prompt;
}

void Room::draw(float opacity, float dt) {
    map->prepare(camera);
    map->drawFloor(camera, opacity);
    for (ListNode<FireEmitter>* node = fireEmitters->head; node != nullptr; node = node->next)
        node->data->draw(camera);
    for (ListNode<FlareEmitter>* node = flareEmitters->head; node != nullptr; node = node->next)
        node->data->draw(camera);
    for (ListNode<Entity>* node = entities->head; node != nullptr; node = node->next)
        node->data->draw(opacity, dt);
    map->drawDarkness(camera, opacity);
    if (!debug) return;
    for (ListNode<Entity>* node = entities->head; node != nullptr; node = node->next)
        node->data->debugDraw(dt);
}

void Room::addSpawnPoint(const MapObject& object, int32_t id, int32_t orientation) {
    auto* spawn = DEBUG_NEW(SpawnPoint, "onEntityParse");
    spawn->x = object.x + (static_cast<float>(object.width) - character->width) * 0.5f;
    spawn->y = object.y + (static_cast<float>(object.height) - character->height) * 0.5f;
    spawn->id = id;
    spawn->orientation = orientation;
    spawnPoints->pushBack(spawn);
}

// Object types other than these belong to kinds the game does not place
// yet, and are skipped like unknown ones.
void Room::onEntityParse(Map* source, MapObject* object) {
    const MapObject& o = *object;
    const char* type = o.type;
    if (type == nullptr) return;
    if (sameText(type, "Character.Spawn") || sameText(type, "Entity.Spawn")) {
        addSpawnPoint(o, optionalInt(o, "ID", 0), optionalInt(o, "Orientation", 0));
    } else if (sameText(type, "Entity.Light")) {
        LightEntity* light = new_LightEntity(this);
        if (const Property* intensity = optional(o, "Intensity")) light->intensity = intensity->asDecimal();
        light->name = strduplicate(o.name != nullptr ? o.name : "Light");
        const Vector2 centre = objectCentre(o);
        light->setPosition(centre.x, centre.y);
        light->setRadius(static_cast<float>(o.width) * 0.5f);
        addEntity(light);
    } else if (sameText(type, "Entity.Flare")) {
        FlareEmitter* flare = new_FlareEmitter();
        flare->count = EMITTER_PARTICLE_COUNT;
        flare->position = {o.x, o.y};
        flareEmitters->pushBack(flare);
    } else if (sameText(type, "Entity.Fire")) {
        FireEmitter* fire = new_FireEmitter();
        fire->count = EMITTER_PARTICLE_COUNT;
        fire->position = {o.x, o.y};
        fireEmitters->pushBack(fire);
    } else if (sameText(type, "Entity.Lantern")) {
        const int32_t orientation = required(*source, o, "Orientation").asInt();
        const float radius = required(*source, o, "Radius").asDecimal();
        const float intensity = required(*source, o, "Intensity").asDecimal();
        LanternEntity* lantern = new_LanternEntity(this);
        lantern->x = o.x;
        lantern->y = o.y;
        lantern->fireEmitter->position = {o.x, o.y};
        lantern->rotation = static_cast<float>(orientation) * QUARTER_TURN;
        lantern->lightRadius = radius;
        lantern->lightIntensity = intensity;
        addEntity(lantern);
    } else if (sameText(type, "Entity.Candle")) {
        const float life = required(*source, o, "Life").asDecimal();
        CandleEntity* candle = new_CandleEntity(this);
        candle->x = o.x;
        candle->y = o.y;
        candle->fireEmitter->position = objectCentre(o);
        candle->life = life;
        addEntity(candle);
    }
}
