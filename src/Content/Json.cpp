#include "Content/Json.h"

#include <cstring>

json_value* JsonObjectFind(const json_value* object, const char* key) {
    for (unsigned i = 0; i < object->u.object.length; ++i)
        if (std::strcmp(object->u.object.values[i].name, key) == 0) return object->u.object.values[i].value;
    return nullptr;
}

JsonDocument JsonParse(const char* text, size_t length) {
    json_settings settings{};
    return JsonDocument(json_parse_ex(&settings, text, length, nullptr));
}
