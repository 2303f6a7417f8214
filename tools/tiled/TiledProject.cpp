// Writes the Tiled project for the house's designers to standard output:
// every object type the spawner knows as a class of its properties, kinds
// and defaults, and the map's own properties as the class "Room", so that
// Tiled (1.9 and later) offers the right fields. It is written from the
// spawner's and the room's own tables, so the two cannot drift apart; the
// test RoomsTest.TheTiledProjectIsWhatTheSpawnerDeclares compares it with
// the committed tools/tiled/halcyra.tiled-project, which tools/make-rooms
// also reads. A required property carries "required": true, which Tiled
// passes over.
#include "World/RoomRules.h"
#include "World/Spawner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

namespace {

const char* const TILED_TYPES[] = {"string", "bool", "int", "float"};

// The declared fallback as the JSON value of its kind.
std::string valueOf(const PropertyDeclaration& property) {
    switch (property.kind) {
        case PT_BOOL:
            return std::strcmp(property.fallback, "true") == 0 ? "true" : "false";
        case PT_INT:
            return std::to_string(std::atoi(property.fallback));
        case PT_DECIMAL: {
            char number[32];
            std::snprintf(number, sizeof number, "%g", std::strtod(property.fallback, nullptr));
            return number;
        }
        case PT_STRING:
            break;
    }
    return std::string("\"").append(property.fallback).append("\"");
}

void printClass(int id, const char* name, std::span<const PropertyDeclaration> properties, const char* useAs,
                bool last) {
    std::printf("        {\n            \"id\": %d,\n            \"members\": [", id);
    const char* separator = "";
    for (const PropertyDeclaration& property : properties) {
        std::printf("%s\n                {\"name\": \"%s\", \"type\": \"%s\", \"value\": %s%s}", separator,
                    property.name, TILED_TYPES[property.kind], valueOf(property).c_str(),
                    property.required ? ", \"required\": true" : "");
        separator = ",";
    }
    std::printf("%s],\n", properties.empty() ? "" : "\n            ");
    std::printf("            \"name\": \"%s\",\n            \"type\": \"class\",\n", name);
    std::printf("            \"useAs\": [\"%s\"]\n        }%s\n", useAs, last ? "" : ",");
}

}  // namespace

int main() {
    std::printf("{\n    \"automappingRulesFile\": \"\",\n    \"commands\": [],\n");
    std::printf("    \"extensionsPath\": \"extensions\",\n");
    std::printf("    \"folders\": [\"../../Assets/FloorTemplate/FinalRooms\"],\n    \"propertyTypes\": [\n");
    int id = 0;
    for (const ObjectType& type : spawnerObjectTypes()) printClass(++id, type.name, type.properties, "object", false);
    printClass(++id, "Room", roomPropertyDeclarations(), "map", true);
    std::printf("    ]\n}\n");
    return 0;
}
