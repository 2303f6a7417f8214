#include "World/Spawner.h"

#include "Content/Map.h"
#include "Debug/Debug.h"
#include "Effects/FireEmitter.h"
#include "Effects/FlareEmitter.h"
#include "Util/StringHelper.h"
#include "World/CandleEntity.h"
#include "World/CharacterEntity.h"
#include "World/CheckpointEntity.h"
#include "World/CouchEntity.h"
#include "World/DoorEntity.h"
#include "World/ImageEntity.h"
#include "World/JournalEntity.h"
#include "World/KeyEntity.h"
#include "World/LanternEntity.h"
#include "World/LightEntity.h"
#include "World/PitEntity.h"
#include "World/Room.h"
#include "World/StormZone.h"
#include "World/TableEntity.h"
#include "World/TextEntity.h"
#include "World/WalkZone.h"

#include <cstring>
#include <string>

namespace {

constexpr int32_t EMITTER_PARTICLE_COUNT = 60;

// What a spawn function works from: the room, the map and the object.
struct Source {
    Room& room;
    const Map& map;
    const MapObject& object;

    // Ends the game with the object named: its name, type, position and map.
    [[noreturn]] void fail(const std::string& problem) const {
        FATAL_ERROR("Map object \"%s\" (%s at %g, %g) %s.\nFile: %s", object.name.value_or("").c_str(),
                    object.type.c_str(), static_cast<double>(object.x), static_cast<double>(object.y),
                    problem.c_str(), map.path.empty() ? "(none)" : map.path.c_str());
    }

    const Property* optional(const char* key) const { return PropertiesGet(object.properties.get(), key); }

    const Property& required(const char* key) const {
        const Property* property = optional(key);
        if (property == nullptr) fail(std::string("is missing its required property \"") + key + "\"");
        return *property;
    }

    int32_t optionalInt(const char* key, int32_t fallback) const {
        const Property* property = optional(key);
        return property != nullptr ? property->asInt() : fallback;
    }

    bool optionalBool(const char* key, bool fallback) const {
        const Property* property = optional(key);
        return property != nullptr ? property->asBool() : fallback;
    }

    // Key ids are 1 or more: 0 marks a free slot of the collected keys.
    int32_t keyId(const char* key, int32_t value) const {
        if (value < 1)
            fail("has \"" + std::string(key) + "\" " + std::to_string(value) + ", but key ids start at 1");
        return value;
    }

    float width() const { return static_cast<float>(object.width); }
    float height() const { return static_cast<float>(object.height); }
    Vector2 centre() const { return {object.x + width() * 0.5f, object.y + height() * 0.5f}; }
};

template <typename Placed>
std::unique_ptr<Placed> placed(std::unique_ptr<Placed> entity, const Source& source) {
    entity->x = source.object.x;
    entity->y = source.object.y;
    return entity;
}

// Placed with the object's whole rectangle as its box.
template <typename Boxed>
std::unique_ptr<Boxed> boxed(std::unique_ptr<Boxed> entity, const Source& source) {
    entity->width = source.width();
    entity->height = source.height();
    return placed(std::move(entity), source);
}

// A sprite whose frames are scaled to fill the object's rectangle.
template <typename Stretched>
std::unique_ptr<Stretched> stretched(std::unique_ptr<Stretched> sprite, const Source& source) {
    sprite->scale = {source.width() / static_cast<float>(sprite->animation->frameWidth),
                     source.height() / static_cast<float>(sprite->animation->frameHeight)};
    return boxed(std::move(sprite), source);
}

void spawnPoint(const Source& s) {
    s.room.addSpawnPoint(s.object, s.optionalInt("ID", 0), s.optionalInt("Orientation", 0));
}

void spawnLight(const Source& s) {
    std::unique_ptr<LightEntity> light = new_LightEntity(&s.room);
    if (const Property* intensity = s.optional("Intensity")) light->intensity = intensity->asDecimal();
    light->name = s.object.name.value_or("Light");
    const Vector2 centre = s.centre();
    light->setPosition(centre.x, centre.y);
    light->setRadius(s.width() * 0.5f);
    s.room.addEntity(std::move(light));
}

void spawnImage(const Source& s) {
    const char* target = s.required("Target").asString();
    const bool collidable = s.optionalBool("Collidable", false);
    const int32_t zIndex = s.optionalInt("ZIndex", 5);
    const int32_t orientation = s.required("Orientation").asInt();
    std::unique_ptr<ImageEntity> image = placed(new_ImageEntity(&s.room, target), s);
    image->collidable = collidable;
    image->zIndex = zIndex;
    image->orientation = orientation;
    image->turnOverBox(orientation);
    s.room.addEntity(std::move(image));
}

void spawnFlare(const Source& s) {
    std::unique_ptr<FlareEmitter> flare = new_FlareEmitter();
    flare->count = EMITTER_PARTICLE_COUNT;
    flare->position = {s.object.x, s.object.y};
    s.room.flareEmitters->pushBack(std::move(flare));
}

void spawnFire(const Source& s) {
    std::unique_ptr<FireEmitter> fire = new_FireEmitter();
    fire->count = EMITTER_PARTICLE_COUNT;
    fire->position = {s.object.x, s.object.y};
    s.room.fireEmitters->pushBack(std::move(fire));
}

// The pit stretches its frames over the object; the centred 80 % catches.
void spawnPit(const Source& s) {
    const float rate = s.required("Rate").asDecimal();
    std::unique_ptr<PitEntity> pit = stretched(new_PitEntity(&s.room), s);
    pit->animation->frameDuration = rate;
    pit->trapX = pit->x + pit->width * 0.2f * 0.5f;
    pit->trapY = pit->y + pit->height * 0.2f * 0.5f;
    pit->trapWidth = pit->width * 0.8f;
    pit->trapHeight = pit->height * 0.8f;
    s.room.addEntity(std::move(pit));
}

// A key already picked up is not laid out again.
void spawnKey(const Source& s) {
    const int32_t keyId = s.keyId("ID", s.required("ID").asInt());
    if (isKeyCollected(keyId)) return;
    std::unique_ptr<KeyEntity> key = placed(new_KeyEntity(&s.room), s);
    key->keyId = keyId;
    s.room.addEntity(std::move(key));
}

void spawnDoor(const Source& s) {
    const char* target = s.required("Target").asString();
    const int32_t orientation = s.optionalInt("Orientation", 0);
    const int32_t doorId = s.optionalInt("ID", 0);
    const bool locked = s.optionalBool("Locked", false);
    const int32_t keyId = s.optionalInt("KeyID", 0);
    if (locked) s.keyId("KeyID", keyId);
    std::unique_ptr<DoorEntity> door = placed(new_DoorEntity(&s.room, orientation), s);
    door->target = target;
    // The intro is no room: the door says where it leads.
    if (door->target == "Intro") door->afterIntro = s.required("AfterIntro").asString();
    door->isHole = s.object.type == "Entity.Hole";
    door->doorId = doorId;
    door->locked = locked;
    door->keyId = keyId;
    s.room.addEntity(std::move(door));
}

void spawnText(const Source& s) {
    const char* text = s.required("Text").asString();
    std::unique_ptr<TextEntity> entity = placed(new_TextEntity(&s.room), s);
    entity->setText(text);
    s.room.addEntity(std::move(entity));
}

void spawnTable(const Source& s) {
    s.room.addEntity(stretched(new_TableEntity(&s.room, s.optionalBool("Round", false)), s));
}

void spawnCouch(const Source& s) {
    const int32_t look = s.required("Type").asInt();
    if (look < 0 || look >= COUCH_LOOKS)
        s.fail("has \"Type\" " + std::to_string(look) + ", but couch looks are 0 to 5");
    const int32_t orientation = s.optionalInt("Orientation", 0);
    s.room.addEntity(placed(new_CouchEntity(&s.room, orientation, look), s));
}

void spawnLantern(const Source& s) {
    const int32_t orientation = s.required("Orientation").asInt();
    const float radius = s.required("Radius").asDecimal();
    const float intensity = s.required("Intensity").asDecimal();
    std::unique_ptr<LanternEntity> lantern = placed(new_LanternEntity(&s.room), s);
    lantern->fireEmitter->position = {s.object.x, s.object.y};
    lantern->rotation = static_cast<float>(orientation) * QUARTER_TURN;
    lantern->lightRadius = radius;
    lantern->lightIntensity = intensity;
    s.room.addEntity(std::move(lantern));
}

void spawnCandle(const Source& s) {
    const float life = s.required("Life").asDecimal();
    std::unique_ptr<CandleEntity> candle = placed(new_CandleEntity(&s.room), s);
    candle->fireEmitter->position = s.centre();
    candle->life = life;
    s.room.addEntity(std::move(candle));
}

// The journal, once taken, is not laid out again.
void spawnJournal(const Source& s) {
    const char* target = s.required("Target").asString();
    if (isJournalTaken()) return;
    std::unique_ptr<JournalEntity> journal = placed(new_JournalEntity(&s.room), s);
    journal->target = target;
    s.room.addEntity(std::move(journal));
}

// A checkpoint is also a spawn point of its id: a death after it re-enters
// the room there.
void spawnCheckpoint(const Source& s) {
    const int32_t id = s.required("ID").asInt();
    const char* roomPath = s.required("Room").asString();
    const Property* journal = s.optional("Journal");
    std::unique_ptr<CheckpointEntity> checkpoint = boxed(new_CheckpointEntity(&s.room), s);
    checkpoint->checkpointId = id;
    checkpoint->roomPath = roomPath;
    if (journal != nullptr) checkpoint->journal = journal->asString();
    s.room.addEntity(std::move(checkpoint));
    s.room.addSpawnPoint(s.object, id, 0);
}

// Zones of other names make nothing.
void spawnZone(const Source& s) {
    const char* name = s.required("Name").asString();
    std::unique_ptr<Entity> zone;
    if (std::strcmp(name, "Rain_And_Thunder") == 0) zone = new_StormZone(&s.room);
    else if (std::strcmp(name, "WALK") == 0) zone = new_WalkZone(&s.room);
    if (zone != nullptr) s.room.addEntity(boxed(std::move(zone), s));
}

struct SpawnRow {
    const char* type;
    void (*spawn)(const Source& source);
};

const SpawnRow SPAWN_TABLE[] = {
    {"Character.Spawn", spawnPoint},
    {"Entity.Spawn", spawnPoint},
    {"Entity.Light", spawnLight},
    {"Entity.Image", spawnImage},
    {"Entity.Flare", spawnFlare},
    {"Entity.Fire", spawnFire},
    {"Entity.Pit", spawnPit},
    {"Entity.Key", spawnKey},
    {"Entity.Door", spawnDoor},
    {"Entity.Hole", spawnDoor},
    {"Entity.Text", spawnText},
    {"Entity.Table", spawnTable},
    {"Entity.Couch", spawnCouch},
    {"Entity.Lantern", spawnLantern},
    {"Entity.Candle", spawnCandle},
    {"Entity.Journal", spawnJournal},
    {"Entity.CheckPoint", spawnCheckpoint},
    {"Entity.Zone", spawnZone},
};

}  // namespace

void spawnMapObject(Room* room, const Map& map, const MapObject& object) {
    for (const SpawnRow& row : SPAWN_TABLE)
        if (object.type == row.type) return row.spawn(Source{*room, map, object});
}
