// Turns the objects of a room's map into what they stand for: entities,
// spawn points and emitters. Each object type is one row of a table that
// declares the properties the type takes, their kinds, whether they are
// required and their defaults: the spawner reads them through it, and the
// Tiled project for designers (tools/tiled/) is written from it. An object of
// a type the table does not know is skipped with a warning.
#pragma once

#include "Content/Properties.h"

#include <span>

class Map;
class Room;
struct MapObject;

struct ObjectType {
    const char* name;  // the map object's type, e.g. "Entity.Door"
    std::span<const PropertyDeclaration> properties;
};

// Every object type the spawner knows, in the table's order.
std::span<const ObjectType> spawnerObjectTypes();

void spawnMapObject(Room* room, const Map& map, const MapObject& object);

// Ends the game with a report naming the first object of a type the spawner
// does not know: --check-assets refuses what a room would skip.
void checkMapObjectTypes(const Map& map);
