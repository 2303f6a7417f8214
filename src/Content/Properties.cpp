#include "Content/Properties.h"

#include "Debug/Debug.h"
#include "Util/StringHelper.h"

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

}  // namespace

Property::~Property() {
    std::free(name);
    if (kind == PT_STRING) std::free(value.string);
}

void Property::load(const char* member, const char* text, const char* sourceFile) {
    file = sourceFile;
    const char* dot = std::strchr(member, '.');
    kind =
        dot != nullptr ? kindNamed(std::string_view(member, static_cast<size_t>(dot - member))) : PT_STRING;
    name = strduplicate(dot != nullptr ? dot + 1 : member);
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
            value.string = strduplicate(text);
            break;
    }
}

// atoi's reading, without its undefined overflow.
int32_t Property::parseInt(const char* text) const {
    errno = 0;
    long long number = std::strtoll(text, nullptr, 10);
    if (errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
        FATAL_ERROR("Property %s is out of range (%s).\nFile: %s", name, text, file);
    return static_cast<int32_t>(number);
}

// atof's reading, limited to what a float holds.
float Property::parseDecimal(const char* text) const {
    double number = std::strtod(text, nullptr);
    if (!(std::fabs(number) <= FLT_MAX))
        FATAL_ERROR("Property %s is out of range (%s).\nFile: %s", name, text, file);
    return static_cast<float>(number);
}

void Property::expectKind(PropertyKind expected) const {
    if (kind != expected)
        FATAL_ERROR("Property %s is %s, not %s.\nFile: %s", name, KIND_NAMES[kind], KIND_NAMES[expected],
                    file);
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
    return value.string;
}

std::unique_ptr<Properties> PropertiesLoad(const json_value* object, const char* path) {
    if (object->type != json_object) FATAL_ERROR("Properties must be a JSON object.\nFile: %s", path);
    if (object->u.object.length == 0) return nullptr;
    std::unique_ptr<Properties> properties(DEBUG_NEW(Properties, "PropertiesLoad"));
    properties->count = object->u.object.length;
    properties->entries.reset(DEBUG_NEW_ARRAY(Property, properties->count, "PropertiesLoad"));
    for (uint32_t i = 0; i < properties->count; ++i) {
        const json_object_entry& member = object->u.object.values[i];
        if (member.value->type != json_string)
            FATAL_ERROR("Property %s is not a JSON string.\nFile: %s", member.name, path);
        properties->entries[i].load(member.name, member.value->u.string.ptr, path);
    }
    return properties;
}

const Property* PropertiesGet(const Properties* properties, const char* name) {
    if (properties == nullptr) return nullptr;
    for (uint32_t i = 0; i < properties->count; ++i)
        if (std::strcmp(properties->entries[i].name, name) == 0) return &properties->entries[i];
    return nullptr;
}
