#include "Content/Json.h"
#include "Content/Properties.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr const char* FILE_NAME = "Assets/Maps/Hall.json";

std::unique_ptr<Properties> parse(const char* json) {
    json_value* document = JsonParse(json, std::strlen(json));
    std::unique_ptr<Properties> properties = PropertiesLoad(document, FILE_NAME);
    json_value_free(document);
    return properties;
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
    for (const char* name : {"Name", "Title", "Tint", "b.c"})
        EXPECT_EQ(PropertiesGet(properties.get(), name)->kind, PT_STRING) << name;
    EXPECT_STREQ(PropertiesGet(properties.get(), "Name")->asString(), "Ann");
    EXPECT_STREQ(PropertiesGet(properties.get(), "Title")->asString(), "Hall");
    EXPECT_STREQ(PropertiesGet(properties.get(), "b.c")->asString(), "x");
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
        EXPECT_EXIT(
            {
                reportHeadless();
                parse(json);
            },
            testing::ExitedWithCode(1), std::string(message) + "\nFile: Assets/Maps/Hall\\.json")
            << json;
    }
    auto properties = parse(R"({"bool.Locked": "true", "int.Id": "4"})");
    EXPECT_EXIT(
        {
            reportHeadless();
            PropertiesGet(properties.get(), "Locked")->asInt();
        },
        testing::ExitedWithCode(1),
        "Property Locked is a bool, not an int\\.\nFile: Assets/Maps/Hall\\.json");
    EXPECT_EXIT(
        {
            reportHeadless();
            PropertiesGet(properties.get(), "Id")->asString();
        },
        testing::ExitedWithCode(1), "Property Id is an int, not a string\\.");
}

}  // namespace
