#include "World/RoomRules.h"

#include "Content/Map.h"
#include "Debug/Debug.h"

#include <cstring>

namespace {

constexpr float LONGEST_CHARACTER_LIGHT = 1024.0f;

void readBool(const Properties* properties, const char* name, bool* value) {
    if (const Property* property = PropertiesGet(properties, name)) *value = property->asBool();
}

RoomMusic musicOf(const Map& map, const char* name) {
    if (std::strcmp(name, "spooky") == 0) return RoomMusic::Spooky;
    if (std::strcmp(name, "menu") == 0) return RoomMusic::Menu;
    FATAL_ERROR("Map property \"Music\" is \"%s\", but a room starts with \"spooky\" or \"menu\".\nFile: %s",
                name, map.path.c_str());
}

}  // namespace

RoomRules readRoomRules(const Map& map) {
    RoomRules rules;
    const Properties* properties = map.properties.get();
    readBool(properties, "Storm", &rules.storm);
    readBool(properties, "FinalPassage", &rules.finalPassage);
    readBool(properties, "RespawnWithCandle", &rules.respawnWithCandle);
    readBool(properties, "DarkHoles", &rules.darkHoles);
    readBool(properties, "CandleBurns", &rules.candleBurns);
    if (const Property* light = PropertiesGet(properties, "CharacterLight")) {
        rules.characterLight = light->asDecimal();
        if (!(rules.characterLight > 0.0f && rules.characterLight <= LONGEST_CHARACTER_LIGHT))
            FATAL_ERROR("Map property \"CharacterLight\" is %g, but the character's light reaches 1 to %g pixels.\n"
                        "File: %s",
                        static_cast<double>(rules.characterLight), static_cast<double>(LONGEST_CHARACTER_LIGHT),
                        map.path.c_str());
    }
    if (const Property* music = PropertiesGet(properties, "Music")) rules.music = musicOf(map, music->asString());
    return rules;
}
