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
#include "World/GameProgress.h"
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

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int32_t EMITTER_PARTICLE_COUNT = 60;

// "Map object "porch" (Entity.Door at 8, 16)": how reports name an object.
std::string objectNamed(const MapObject& object) {
    char position[64];
    std::snprintf(position, sizeof position, " at %g, %g)", static_cast<double>(object.x),
                  static_cast<double>(object.y));
    return "Map object \"" + object.name.value_or("") + "\" (" + object.type + position;
}

const char* fileNamed(const Map& map) {
    return map.path.empty() ? "(none)" : map.path.c_str();
}

// What a spawn function works from: the room, the map, the object and the
// declaration of its type.
struct Source {
    Room& room;
    const Map& map;
    const MapObject& object;
    const ObjectType& type;

    // Ends the game with the object named: its name, type, position and map.
    [[noreturn]] void fail(const std::string& problem) const {
        FATAL_ERROR("%s %s.\nFile: %s", objectNamed(object).c_str(), problem.c_str(), fileNamed(map));
    }

    // A property the table does not declare for the type, or reads as
    // another kind, is a fault of the table, not of the map.
    const PropertyDeclaration& declared(const char* key, PropertyKind kind) const {
        for (const PropertyDeclaration& declaration : type.properties)
            if (std::strcmp(declaration.name, key) == 0 && declaration.kind == kind) return declaration;
        FATAL_ERROR("The spawner reads \"%s\", which its table does not declare for %s as read.", key,
                    type.name);
    }

    // The map's property, or null for an optional one left out.
    const Property* given(const PropertyDeclaration& declaration) const {
        const Property* property = PropertiesGet(object.properties.get(), declaration.name);
        if (property == nullptr && declaration.required)
            fail(std::string("is missing its required property \"") + declaration.name + "\"");
        return property;
    }

    int32_t intOf(const char* key) const {
        const PropertyDeclaration& declaration = declared(key, PT_INT);
        const Property* property = given(declaration);
        return property != nullptr ? property->asInt() : std::atoi(declaration.fallback);
    }

    bool boolOf(const char* key) const {
        const PropertyDeclaration& declaration = declared(key, PT_BOOL);
        const Property* property = given(declaration);
        return property != nullptr ? property->asBool() : std::strcmp(declaration.fallback, "true") == 0;
    }

    float decimalOf(const char* key) const {
        const PropertyDeclaration& declaration = declared(key, PT_DECIMAL);
        const Property* property = given(declaration);
        return property != nullptr ? property->asDecimal() : std::strtof(declaration.fallback, nullptr);
    }

    const char* stringOf(const char* key) const {
        const PropertyDeclaration& declaration = declared(key, PT_STRING);
        const Property* property = given(declaration);
        return property != nullptr ? property->asString() : declaration.fallback;
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
    s.room.addSpawnPoint(s.object, s.intOf("ID"), s.intOf("Orientation"));
}

void spawnLight(const Source& s) {
    std::unique_ptr<LightEntity> light = new_LightEntity(&s.room);
    light->intensity = s.decimalOf("Intensity");
    light->name = s.object.name.value_or("Light");
    const Vector2 centre = s.centre();
    light->setPosition(centre.x, centre.y);
    light->setRadius(s.width() * 0.5f);
    s.room.addEntity(std::move(light));
}

void spawnImage(const Source& s) {
    const char* target = s.stringOf("Target");
    const bool collidable = s.boolOf("Collidable");
    const int32_t zIndex = s.intOf("ZIndex");
    const int32_t orientation = s.intOf("Orientation");
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
    const float rate = s.decimalOf("Rate");
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
    const int32_t keyId = s.keyId("ID", s.intOf("ID"));
    if (isKeyCollected(keyId)) return;
    std::unique_ptr<KeyEntity> key = placed(new_KeyEntity(&s.room), s);
    key->keyId = keyId;
    s.room.addEntity(std::move(key));
}

void spawnDoor(const Source& s) {
    const char* target = s.stringOf("Target");
    const int32_t orientation = s.intOf("Orientation");
    const int32_t doorId = s.intOf("ID");
    const bool locked = s.boolOf("Locked");
    const int32_t keyId = s.intOf("KeyID");
    if (locked) s.keyId("KeyID", keyId);
    const char* afterIntro = s.stringOf("AfterIntro");
    // The intro is no room: the door says where it leads.
    if (std::strcmp(target, "Intro") == 0 && *afterIntro == '\0')
        s.fail("is missing its required property \"AfterIntro\"");
    std::unique_ptr<DoorEntity> door = placed(new_DoorEntity(&s.room, orientation), s);
    door->target = target;
    door->afterIntro = afterIntro;
    door->isHole = s.object.type == "Entity.Hole";
    door->doorId = doorId;
    door->locked = locked;
    door->keyId = keyId;
    s.room.addEntity(std::move(door));
}

void spawnText(const Source& s) {
    const char* text = s.stringOf("Text");
    std::unique_ptr<TextEntity> entity = placed(new_TextEntity(&s.room), s);
    entity->setText(text);
    s.room.addEntity(std::move(entity));
}

void spawnTable(const Source& s) {
    s.room.addEntity(stretched(new_TableEntity(&s.room, s.boolOf("Round")), s));
}

void spawnCouch(const Source& s) {
    const int32_t look = s.intOf("Type");
    if (look < 0 || look >= COUCH_LOOKS)
        s.fail("has \"Type\" " + std::to_string(look) + ", but couch looks are 0 to 5");
    const int32_t orientation = s.intOf("Orientation");
    s.room.addEntity(placed(new_CouchEntity(&s.room, orientation, look), s));
}

void spawnLantern(const Source& s) {
    const int32_t orientation = s.intOf("Orientation");
    const float radius = s.decimalOf("Radius");
    const float intensity = s.decimalOf("Intensity");
    std::unique_ptr<LanternEntity> lantern = placed(new_LanternEntity(&s.room), s);
    lantern->fireEmitter->position = {s.object.x, s.object.y};
    lantern->rotation = static_cast<float>(orientation) * QUARTER_TURN;
    lantern->lightRadius = radius;
    lantern->lightIntensity = intensity;
    s.room.addEntity(std::move(lantern));
}

void spawnCandle(const Source& s) {
    const float life = s.decimalOf("Life");
    std::unique_ptr<CandleEntity> candle = placed(new_CandleEntity(&s.room), s);
    candle->fireEmitter->position = s.centre();
    candle->life = life;
    s.room.addEntity(std::move(candle));
}

// The journal, once taken, is not laid out again.
void spawnJournal(const Source& s) {
    const char* target = s.stringOf("Target");
    if (gameProgress.journalTaken) return;
    std::unique_ptr<JournalEntity> journal = placed(new_JournalEntity(&s.room), s);
    journal->target = target;
    s.room.addEntity(std::move(journal));
}

// A checkpoint is also a spawn point of its id: a death after it re-enters
// the room there.
void spawnCheckpoint(const Source& s) {
    const int32_t id = s.intOf("ID");
    const char* roomPath = s.stringOf("Room");
    const char* journal = s.stringOf("Journal");
    std::unique_ptr<CheckpointEntity> checkpoint = boxed(new_CheckpointEntity(&s.room), s);
    checkpoint->checkpointId = id;
    checkpoint->roomPath = roomPath;
    checkpoint->journal = journal;
    s.room.addEntity(std::move(checkpoint));
    s.room.addSpawnPoint(s.object, id, 0);
}

// Zones of other names make nothing.
void spawnZone(const Source& s) {
    const char* name = s.stringOf("Name");
    std::unique_ptr<Entity> zone;
    if (std::strcmp(name, "Rain_And_Thunder") == 0) zone = new_StormZone(&s.room);
    else if (std::strcmp(name, "WALK") == 0) zone = new_WalkZone(&s.room);
    if (zone != nullptr) s.room.addEntity(boxed(std::move(zone), s));
}

// The declarations of each type's properties, in the order they are read.
constexpr PropertyDeclaration SPAWN_POINT[] = {{"ID", PT_INT, false, "0"},
                                               {"Orientation", PT_INT, false, "0"}};
constexpr PropertyDeclaration LIGHT[] = {{"Intensity", PT_DECIMAL, false, "1"}};
constexpr PropertyDeclaration IMAGE[] = {{"Target", PT_STRING, true, ""},
                                         {"Collidable", PT_BOOL, false, "false"},
                                         {"ZIndex", PT_INT, false, "5"},
                                         {"Orientation", PT_INT, true, "0"}};
constexpr PropertyDeclaration PIT[] = {{"Rate", PT_DECIMAL, true, "0"}};
constexpr PropertyDeclaration KEY[] = {{"ID", PT_INT, true, "0"}};
constexpr PropertyDeclaration DOOR[] = {
    {"Target", PT_STRING, true, ""}, {"Orientation", PT_INT, false, "0"},
    {"ID", PT_INT, false, "0"},      {"Locked", PT_BOOL, false, "false"},
    {"KeyID", PT_INT, false, "0"},   {"AfterIntro", PT_STRING, false, ""}};
constexpr PropertyDeclaration TEXT[] = {{"Text", PT_STRING, true, ""}};
constexpr PropertyDeclaration TABLE[] = {{"Round", PT_BOOL, false, "false"}};
constexpr PropertyDeclaration COUCH[] = {{"Type", PT_INT, true, "0"}, {"Orientation", PT_INT, false, "0"}};
constexpr PropertyDeclaration LANTERN[] = {{"Orientation", PT_INT, true, "0"},
                                           {"Radius", PT_DECIMAL, true, "0"},
                                           {"Intensity", PT_DECIMAL, true, "0"}};
constexpr PropertyDeclaration CANDLE[] = {{"Life", PT_DECIMAL, true, "0"}};
constexpr PropertyDeclaration JOURNAL[] = {{"Target", PT_STRING, true, ""}};
constexpr PropertyDeclaration CHECKPOINT[] = {
    {"ID", PT_INT, true, "0"}, {"Room", PT_STRING, true, ""}, {"Journal", PT_STRING, false, ""}};
constexpr PropertyDeclaration ZONE[] = {{"Name", PT_STRING, true, ""}};

struct SpawnRow {
    ObjectType type;
    void (*spawn)(const Source& source);
};

const SpawnRow SPAWN_TABLE[] = {
    {{"Character.Spawn", SPAWN_POINT}, spawnPoint},
    {{"Entity.Spawn", SPAWN_POINT}, spawnPoint},
    {{"Entity.Light", LIGHT}, spawnLight},
    {{"Entity.Image", IMAGE}, spawnImage},
    {{"Entity.Flare", {}}, spawnFlare},
    {{"Entity.Fire", {}}, spawnFire},
    {{"Entity.Pit", PIT}, spawnPit},
    {{"Entity.Key", KEY}, spawnKey},
    {{"Entity.Door", DOOR}, spawnDoor},
    {{"Entity.Hole", DOOR}, spawnDoor},
    {{"Entity.Text", TEXT}, spawnText},
    {{"Entity.Table", TABLE}, spawnTable},
    {{"Entity.Couch", COUCH}, spawnCouch},
    {{"Entity.Lantern", LANTERN}, spawnLantern},
    {{"Entity.Candle", CANDLE}, spawnCandle},
    {{"Entity.Journal", JOURNAL}, spawnJournal},
    {{"Entity.CheckPoint", CHECKPOINT}, spawnCheckpoint},
    {{"Entity.Zone", ZONE}, spawnZone},
};

const SpawnRow* rowOf(const MapObject& object) {
    for (const SpawnRow& row : SPAWN_TABLE)
        if (object.type == row.type.name) return &row;
    return nullptr;
}

}  // namespace

std::span<const ObjectType> spawnerObjectTypes() {
    static const std::vector<ObjectType> types = [] {
        std::vector<ObjectType> all;
        for (const SpawnRow& row : SPAWN_TABLE) all.push_back(row.type);
        return all;
    }();
    return types;
}

// An object of a type the game does not know is left out with a warning: a
// designer's typo must not vanish in silence.
void spawnMapObject(Room* room, const Map& map, const MapObject& object) {
    const SpawnRow* row = rowOf(object);
    if (row == nullptr) {
        WARNING("%s is of a type the game does not know; it is left out.\nFile: %s",
                objectNamed(object).c_str(), fileNamed(map));
        return;
    }
    row->spawn(Source{*room, map, object, row->type});
}

void checkMapObjectTypes(const Map& map) {
    for (const MapObject* object : map.objects)
        if (rowOf(*object) == nullptr)
            FATAL_ERROR("%s is of a type the game does not know.\nFile: %s", objectNamed(*object).c_str(),
                        fileNamed(map));
}
