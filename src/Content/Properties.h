// Typed key/value pairs of tiles and map objects. In the file every property
// is a JSON string member whose name carries its kind: "bool.Blocking",
// "int.Id", "decimal.Speed"; any other kind text, or a name without a dot,
// makes a string property.
#pragma once

#include <json.h>

#include <cstdint>
#include <memory>

enum PropertyKind : uint32_t {
    PT_STRING = 0,
    PT_BOOL = 1,
    PT_INT = 2,
    PT_DECIMAL = 3,
};

class Property {
public:
    char* name = nullptr;  // owned; the member name without its kind
    PropertyKind kind = PT_STRING;
    const char* file = nullptr;  // the data file it came from, for messages; not owned

    Property() = default;
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;
    ~Property();

    // Converts the member's text as its kind says: "true" exactly is true,
    // an int or decimal is the text's leading number (0 without one); a
    // number its kind cannot hold is fatal.
    void load(const char* member, const char* text, const char* sourceFile);

    // The value as the kind the caller expects. A property of another kind
    // was written wrongly in its file, which is fatal.
    bool asBool() const;
    int32_t asInt() const;
    float asDecimal() const;
    const char* asString() const;

private:
    void expectKind(PropertyKind expected) const;
    int32_t parseInt(const char* text) const;
    float parseDecimal(const char* text) const;

    union {
        char* string;  // owned
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

// Reads a properties object of the data file at path (kept for messages; it
// must outlive the result). Null when the object has no members. Anything
// but an object, and a member that is not a string, is fatal.
std::unique_ptr<Properties> PropertiesLoad(const json_value* object, const char* path);

// The first property with that name (exact, case-sensitive), or null; null
// properties have none.
const Property* PropertiesGet(const Properties* properties, const char* name);
