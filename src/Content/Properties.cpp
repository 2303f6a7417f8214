#include "Content/Properties.h"

#include "Content/Json.h"
#include "Debug/Debug.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

const char* const KIND_NAMES[] = {"a string", "a bool", "an int", "a decimal"};

PropertyKind kindNamed(std::string_view kind) {
    if (kind == "bool") return PT_BOOL;
    if (kind == "int") return PT_INT;
    if (kind == "decimal") return PT_DECIMAL;
    return PT_STRING;
}

// Tiled's types whose values the game reads as text. Tiled writes the old
// form's names with type "string" when it converts a map.
bool isTextType(std::string_view type) {
    return type == "string" || type == "file" || type == "color";
}

// Message names of the JSON value each kind takes in Tiled's list.
const char* const LIST_VALUE_NAMES[] = {"a JSON string", "a JSON boolean", "a JSON integer", "a JSON number"};

double numberOf(const json_value* value) {
    return value->type == json_integer ? static_cast<double>(value->u.integer) : value->u.dbl;
}

bool holdsKind(const json_value* value, PropertyKind kind) {
    switch (kind) {
        case PT_BOOL:
            return value->type == json_boolean;
        case PT_INT:
            return value->type == json_integer;
        case PT_DECIMAL:
            return value->type == json_integer || value->type == json_double;
        case PT_STRING:
            return value->type == json_string;
    }
    return false;
}

}  // namespace

void Property::load(const char* member, const char* text, const char* sourceFile) {
    file = sourceFile;
    readName(member);
    readText(text);
}

void Property::loadListEntry(const json_value* entry, uint32_t index, const char* sourceFile) {
    file = sourceFile;
    if (entry->type != json_object)
        FATAL_ERROR("Property %u of the list is not a JSON object.\nFile: %s", index, file);
    const json_value* nameMember = JsonObjectFind(entry, "name");
    if (nameMember == nullptr || nameMember->type != json_string)
        FATAL_ERROR("Property %u of the list has no name.\nFile: %s", index, file);
    const char* member = nameMember->u.string.ptr;
    readName(member);
    const json_value* json = JsonObjectFind(entry, "value");
    if (json == nullptr) FATAL_ERROR("Property %s has no value.\nFile: %s", member, file);
    const char* type = tiledType(entry, member);
    if (isTextType(type)) {
        requireJsonOf(json, PT_STRING, member);
        readText(json->u.string.ptr);
    } else {
        readTyped(json, type, member);
    }
}

void Property::readName(const char* member) {
    const char* dot = std::strchr(member, '.');
    kind =
        dot != nullptr ? kindNamed(std::string_view(member, static_cast<size_t>(dot - member))) : PT_STRING;
    name = dot != nullptr ? dot + 1 : member;
}

void Property::readText(const char* text) {
    switch (kind) {
        case PT_BOOL:
            value.boolean = std::strcmp(text, "true") == 0;
            break;
        case PT_INT:
            value.integer = parseInt(text);
            break;
        case PT_DECIMAL:
            value.decimal = parseDecimal(text);
            break;
        case PT_STRING:
            stringValue = text;
            break;
    }
}

// "string" when the entry leaves its type out, as Tiled reads it.
const char* Property::tiledType(const json_value* entry, const char* member) const {
    const json_value* type = JsonObjectFind(entry, "type");
    if (type == nullptr) return "string";
    if (type->type != json_string)
        FATAL_ERROR("Property %s has a type that is not a JSON string.\nFile: %s", member, file);
    return type->u.string.ptr;
}

PropertyKind Property::kindOfTiledType(const char* type, const char* member) const {
    std::string_view tiled(type);
    if (tiled == "bool") return PT_BOOL;
    if (tiled == "int") return PT_INT;
    if (tiled == "float") return PT_DECIMAL;
    FATAL_ERROR("Property %s has Tiled type %s, which the game does not read.\nFile: %s", member, type, file);
}

// A name without a dot takes the type's kind; a name with one must already
// carry it.
void Property::readTyped(const json_value* json, const char* type, const char* member) {
    PropertyKind typed = kindOfTiledType(type, member);
    if (std::strchr(member, '.') != nullptr && kind != typed)
        FATAL_ERROR("Property %s is named as %s but has Tiled type %s.\nFile: %s", member, KIND_NAMES[kind],
                    type, file);
    kind = typed;
    requireJsonOf(json, kind, member);
    if (kind == PT_BOOL) value.boolean = json->u.boolean != 0;
    else if (kind == PT_INT) value.integer = intOf(json->u.integer);
    else value.decimal = decimalOf(numberOf(json));
}

void Property::requireJsonOf(const json_value* json, PropertyKind expected, const char* member) const {
    if (!holdsKind(json, expected))
        FATAL_ERROR("Property %s is not %s.\nFile: %s", member, LIST_VALUE_NAMES[expected], file);
}

int32_t Property::intOf(json_int_t number) const {
    if (number < INT32_MIN || number > INT32_MAX)
        FATAL_ERROR("Property %s is out of range (%lld).\nFile: %s", name.c_str(),
                    static_cast<long long>(number), file);
    return static_cast<int32_t>(number);
}

float Property::decimalOf(double number) const {
    if (!(std::fabs(number) <= FLT_MAX))
        FATAL_ERROR("Property %s is out of range (%g).\nFile: %s", name.c_str(), number, file);
    return static_cast<float>(number);
}

// atoi's reading, without its undefined overflow.
int32_t Property::parseInt(const char* text) const {
    errno = 0;
    long long number = std::strtoll(text, nullptr, 10);
    if (errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
        FATAL_ERROR("Property %s is out of range (%s).\nFile: %s", name.c_str(), text, file);
    return static_cast<int32_t>(number);
}

// atof's reading, limited to what a float holds.
float Property::parseDecimal(const char* text) const {
    double number = std::strtod(text, nullptr);
    if (!(std::fabs(number) <= FLT_MAX))
        FATAL_ERROR("Property %s is out of range (%s).\nFile: %s", name.c_str(), text, file);
    return static_cast<float>(number);
}

void Property::expectKind(PropertyKind expected) const {
    if (kind != expected)
        FATAL_ERROR("Property %s is %s, not %s.\nFile: %s", name.c_str(), KIND_NAMES[kind],
                    KIND_NAMES[expected], file);
}

bool Property::asBool() const {
    expectKind(PT_BOOL);
    return value.boolean;
}

int32_t Property::asInt() const {
    expectKind(PT_INT);
    return value.integer;
}

float Property::asDecimal() const {
    expectKind(PT_DECIMAL);
    return value.decimal;
}

const char* Property::asString() const {
    expectKind(PT_STRING);
    return stringValue.c_str();
}

namespace {

std::unique_ptr<Properties> newProperties(uint32_t count) {
    std::unique_ptr<Properties> properties = DEBUG_MAKE_UNIQUE(Properties, "PropertiesLoad");
    properties->count = count;
    properties->entries.reset(DEBUG_NEW_ARRAY(Property, count, "PropertiesLoad"));
    return properties;
}

std::unique_ptr<Properties> loadObject(const json_value* object, const char* path) {
    if (object->u.object.length == 0) return nullptr;
    std::unique_ptr<Properties> properties = newProperties(object->u.object.length);
    for (uint32_t i = 0; i < properties->count; ++i) {
        const json_object_entry& member = object->u.object.values[i];
        if (member.value->type != json_string)
            FATAL_ERROR("Property %s is not a JSON string.\nFile: %s", member.name, path);
        properties->entries[i].load(member.name, member.value->u.string.ptr, path);
    }
    return properties;
}

std::unique_ptr<Properties> loadList(const json_value* array, const char* path) {
    std::unique_ptr<Properties> properties = newProperties(array->u.array.length);
    for (uint32_t i = 0; i < properties->count; ++i)
        properties->entries[i].loadListEntry(array->u.array.values[i], i, path);
    return properties;
}

}  // namespace

std::unique_ptr<Properties> PropertiesLoad(const json_value* json, const char* path) {
    if (json->type == json_array && json->u.array.length > 0) return loadList(json, path);
    if (json->type != json_object) FATAL_ERROR("Properties must be a JSON object.\nFile: %s", path);
    return loadObject(json, path);
}

const Property* PropertiesGet(const Properties* properties, const char* name) {
    if (properties == nullptr) return nullptr;
    for (uint32_t i = 0; i < properties->count; ++i)
        if (properties->entries[i].name == name) return &properties->entries[i];
    return nullptr;
}
