// Turns the objects of a room's map into what they stand for: entities,
// spawn points and emitters. Each object type is one row of a table; an
// object of a type the game does not know is skipped.
#pragma once

class Map;
class Room;
struct MapObject;

void spawnMapObject(Room* room, const Map& map, const MapObject& object);
