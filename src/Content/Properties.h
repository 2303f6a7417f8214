// Typed key/value pairs of tiles and map objects, in either of the two forms
// Tiled writes. In the old one every property is a JSON string member whose
// name carries its kind: "bool.Blocking", "int.Id", "decimal.Speed"; any other
// kind text, or a name without a dot, makes a string property. Tiled 1.2 and
// later write a list of {"name", "type", "value"} objects instead, where the
// type may give the kind of a name without one.
#pragma once

#include <json.h>

#include <cstdint>
#include <memory>
#include <string>

enum PropertyKind : uint32_t {
    PT_STRING = 0,
    PT_BOOL = 1,
    PT_INT = 2,
    PT_DECIMAL = 3,
};

// A property a kind of map data takes: its name without the kind, its kind,
// whether the data must give it, and the value it stands for when left out,
// as the text a map file would hold.
struct PropertyDeclaration {
    const char* name;
    PropertyKind kind;
    bool required;
    const char* fallback;
};

class Property {
public:
    std::string name;  // the member name without its kind
    PropertyKind kind = PT_STRING;
    const char* file = nullptr;  // the data file it came from, for messages; not owned

    // Converts the member's text as its kind says: "true" exactly is true,
    // an int or decimal is the text's leading number (0 without one); a
    // number its kind cannot hold is fatal.
    void load(const char* member, const char* text, const char* sourceFile);
    // One entry of Tiled's list, the index-th. Text types ("string", the
    // default, "file" and "color") leave the kind to the name and read the
    // text as load does; "bool", "int" and "float" give a name without a kind
    // theirs and hold a JSON value of that type. Other types, a kind the name
    // and the type disagree on, and a missing or mistyped member are fatal.
    void loadListEntry(const json_value* entry, uint32_t index, const char* sourceFile);

    // The value as the kind the caller expects. A property of another kind
    // was written wrongly in its file, which is fatal.
    bool asBool() const;
    int32_t asInt() const;
    float asDecimal() const;
    const char* asString() const;

private:
    void readName(const char* member);
    void readText(const char* text);
    const char* tiledType(const json_value* entry, const char* member) const;
    PropertyKind kindOfTiledType(const char* type, const char* member) const;
    void readTyped(const json_value* json, const char* type, const char* member);
    void requireJsonOf(const json_value* json, PropertyKind expected, const char* member) const;
    int32_t intOf(json_int_t number) const;
    float decimalOf(double number) const;
    void expectKind(PropertyKind expected) const;
    int32_t parseInt(const char* text) const;
    float parseDecimal(const char* text) const;

    std::string stringValue;
    union {
        bool boolean;
        int32_t integer;
        float decimal;
    } value{};
};

class Properties {
public:
    uint32_t count = 0;
    std::unique_ptr<Property[]> entries;
};

// Reads the properties of the data file at path (kept for messages; it must
// outlive the result): an object of the old form or a list of Tiled's. Null
// when the object has no members. Anything else is fatal, an empty array too:
// Tiled leaves out a list without properties. So is a member of the object
// that is not a string.
std::unique_ptr<Properties> PropertiesLoad(const json_value* json, const char* path);

// The first property with that name (exact, case-sensitive), or null; null
// properties have none.
const Property* PropertiesGet(const Properties* properties, const char* name);
