#include "World/RoomRules.h"

#include "Content/Map.h"
#include "Debug/Debug.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr float LONGEST_CHARACTER_LIGHT = 1024.0f;

constexpr PropertyDeclaration ROOM_PROPERTIES[] = {
    {"Storm", PT_BOOL, false, "false"},          {"FinalPassage", PT_BOOL, false, "false"},
    {"RespawnWithCandle", PT_BOOL, false, "true"}, {"DarkHoles", PT_BOOL, false, "false"},
    {"CandleBurns", PT_BOOL, false, "true"},     {"CharacterLight", PT_DECIMAL, false, "40"},
    {"Music", PT_STRING, false, "spooky"},
};

const char* fallbackOf(const char* name) {
    for (const PropertyDeclaration& declaration : ROOM_PROPERTIES)
        if (std::strcmp(declaration.name, name) == 0) return declaration.fallback;
    return "";
}

bool boolOf(const Properties* properties, const char* name) {
    const Property* property = PropertiesGet(properties, name);
    return property != nullptr ? property->asBool() : std::strcmp(fallbackOf(name), "true") == 0;
}

RoomMusic musicOf(const Map& map, const char* name) {
    if (std::strcmp(name, "spooky") == 0) return RoomMusic::Spooky;
    if (std::strcmp(name, "menu") == 0) return RoomMusic::Menu;
    FATAL_ERROR("Map property \"Music\" is \"%s\", but a room starts with \"spooky\" or \"menu\".\nFile: %s",
                name, map.path.c_str());
}

}  // namespace

std::span<const PropertyDeclaration> roomPropertyDeclarations() {
    return ROOM_PROPERTIES;
}

RoomRules readRoomRules(const Map& map) {
    RoomRules rules;
    const Properties* properties = map.properties.get();
    rules.storm = boolOf(properties, "Storm");
    rules.finalPassage = boolOf(properties, "FinalPassage");
    rules.respawnWithCandle = boolOf(properties, "RespawnWithCandle");
    rules.darkHoles = boolOf(properties, "DarkHoles");
    rules.candleBurns = boolOf(properties, "CandleBurns");
    rules.characterLight = std::strtof(fallbackOf("CharacterLight"), nullptr);
    if (const Property* light = PropertiesGet(properties, "CharacterLight")) {
        rules.characterLight = light->asDecimal();
        if (!(rules.characterLight > 0.0f && rules.characterLight <= LONGEST_CHARACTER_LIGHT))
            FATAL_ERROR("Map property \"CharacterLight\" is %g, but the character's light reaches 1 to %g pixels.\n"
                        "File: %s",
                        static_cast<double>(rules.characterLight), static_cast<double>(LONGEST_CHARACTER_LIGHT),
                        map.path.c_str());
    }
    const Property* music = PropertiesGet(properties, "Music");
    rules.music = musicOf(map, music != nullptr ? music->asString() : fallbackOf("Music"));
    return rules;
}
