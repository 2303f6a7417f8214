#include "Content/Json.h"
#include "Content/Properties.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* FILE_NAME = "Assets/Maps/Hall.json";

std::unique_ptr<Properties> parse(const char* json) {
    const JsonDocument document = JsonParse(json, std::strlen(json));
    return PropertiesLoad(document.get(), FILE_NAME);
}

TEST(PropertiesTest, TheNameBeforeTheFirstDotGivesTheKind) {
    auto properties =
        parse(R"({"bool.Locked": "True", "bool.Open": "true", "int.Count": "12abc", "int.Floor": " -7",
        "int.Word": "many", "decimal.Speed": "2.5e1px", "Name": "Ann", "string.Title": "Hall", "colour.Tint": "red",
        "a.b.c": "x"})");
    ASSERT_EQ(properties->count, 10u);
    EXPECT_FALSE(PropertiesGet(properties.get(), "Locked")->asBool());
    EXPECT_TRUE(PropertiesGet(properties.get(), "Open")->asBool());
    EXPECT_EQ(PropertiesGet(properties.get(), "Count")->asInt(), 12);
    EXPECT_EQ(PropertiesGet(properties.get(), "Floor")->asInt(), -7);
    EXPECT_EQ(PropertiesGet(properties.get(), "Word")->asInt(), 0);
    EXPECT_EQ(PropertiesGet(properties.get(), "Speed")->asDecimal(), 25.0f);
    for (auto [name, text] : {std::pair{"Name", "Ann"}, {"Title", "Hall"}, {"Tint", "red"}, {"b.c", "x"}}) {
        EXPECT_EQ(PropertiesGet(properties.get(), name)->kind, PT_STRING) << name;
        EXPECT_STREQ(PropertiesGet(properties.get(), name)->asString(), text);
    }
}

TEST(PropertiesTest, LookupsTakeTheFirstExactName) {
    auto properties = parse(R"({"int.Id": "1", "string.Id": "two"})");
    EXPECT_EQ(PropertiesGet(properties.get(), "Id")->asInt(), 1);
    EXPECT_EQ(PropertiesGet(properties.get(), "id"), nullptr);
    EXPECT_EQ(PropertiesGet(nullptr, "Id"), nullptr);
    EXPECT_EQ(parse("{}"), nullptr);
}

TEST(PropertiesTest, BrokenPropertiesAndWrongReadsAreFatal) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"int.Count": 12})", "Property int.Count is not a JSON string\\."},
        {R"([])", "Properties must be a JSON object\\."},
        {R"({"int.Big": "99999999999"})", "Property Big is out of range \\(99999999999\\)\\."},
        {R"({"decimal.Huge": "1e39"})", "Property Huge is out of range \\(1e39\\)\\."},
    };
    for (const auto& [json, message] : cases) {
        EXPECT_FATAL(parse(json), std::string(message) + "\nFile: Assets/Maps/Hall\\.json") << json;
    }
    auto properties = parse(R"({"bool.Locked": "true", "int.Id": "4"})");
    EXPECT_FATAL(PropertiesGet(properties.get(), "Locked")->asInt(),
                 "Property Locked is a bool, not an int\\.\nFile: Assets/Maps/Hall\\.json");
    EXPECT_FATAL(PropertiesGet(properties.get(), "Id")->asString(), "Property Id is an int, not a string\\.");
}

// Each property as "kind name=value".
std::vector<std::string> described(const Properties* properties) {
    std::vector<std::string> lines;
    for (uint32_t i = 0; properties != nullptr && i < properties->count; ++i) {
        const Property& property = properties->entries[i];
        std::string value = property.kind == PT_STRING ? property.asString()
                            : property.kind == PT_BOOL ? std::to_string(property.asBool())
                            : property.kind == PT_INT  ? std::to_string(property.asInt())
                                                       : std::to_string(property.asDecimal());
        lines.push_back(std::to_string(property.kind) + " " + property.name + "=" + value);
    }
    return lines;
}

TEST(PropertiesTest, TiledListsReadAsTheOldForm) {
    const std::pair<const char*, const char*> cases[] = {
        // Tiled's types give names without a kind theirs; an entry without a type is a string.
        {R"({"int.ID": "4", "decimal.Life": "60", "decimal.Glow": "0.8", "bool.Locked": "true",
            "Name": "Ann"})",
         R"([{"name": "ID", "type": "int", "value": 4}, {"name": "Life", "type": "float", "value": 60},
             {"name": "Glow", "type": "float", "value": 0.8},
             {"name": "Locked", "type": "bool", "value": true}, {"name": "Name", "value": "Ann"}])"},
        // Kinds in names: the old names Tiled converts to strings, or agreeing with the type.
        {R"({"int.ID": "12abc", "bool.Locked": "True", "colour.Tint": "red", "int.Floor": "-7"})",
         R"([{"name": "int.ID", "type": "string", "value": "12abc"},
             {"name": "bool.Locked", "type": "string", "value": "True"},
             {"name": "colour.Tint", "type": "string", "value": "red"},
             {"name": "int.Floor", "type": "int", "value": -7}])"},
        {R"({"Target": "Assets/Hall.json", "Tint": "#ff336699"})",
         R"([{"name": "Target", "type": "file", "value": "Assets\/Hall.json"},
             {"name": "Tint", "type": "color", "value": "#ff336699"}])"},
    };
    for (const auto& [object, list] : cases)
        EXPECT_EQ(described(parse(list).get()), described(parse(object).get()));
}

TEST(PropertiesTest, BrokenTiledListsAreFatal) {
    const std::pair<const char*, const char*> cases[] = {
        {R"([5])", "Property 0 of the list is not a JSON object"},
        {R"([{"name": "ID", "value": "4"}, {"value": "4"}])", "Property 1 of the list has no name"},
        {R"([{"name": "ID", "type": "int"}])", "Property ID has no value"},
        {R"([{"name": "Door", "type": "object", "value": 2}])",
         "Property Door has Tiled type object, which the game does not read"},
        {R"([{"name": "Look", "type": "class", "value": {}}])",
         "Property Look has Tiled type class, which the game does not read"},
        {R"([{"name": "int.ID", "type": "bool", "value": true}])",
         "Property int.ID is named as an int but has Tiled type bool"},
        {R"([{"name": "Door.ID", "type": "int", "value": 4}])",
         "Property Door.ID is named as a string but has Tiled type int"},
        {R"([{"name": "ID", "type": "int", "value": 4.5}])", "Property ID is not a JSON integer"},
        {R"([{"name": "Locked", "type": "bool", "value": "true"}])", "Property Locked is not a JSON boolean"},
        {R"([{"name": "ID", "type": "int", "value": -2147483649}])",
         "Property ID is out of range \\(-2147483649\\)"},
        {R"([{"name": "Life", "type": "float", "value": 1e39}])",
         "Property Life is out of range \\(1e\\+39\\)"},
    };
    for (const auto& [json, message] : cases) {
        EXPECT_FATAL(parse(json), std::string(message) + "\\.\nFile: Assets/Maps/Hall\\.json") << json;
    }
}

}  // namespace
