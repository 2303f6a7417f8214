#include "Content/Json.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
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

std::string JsonQuote(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

namespace {

void writeNumber(double number, std::string* out) {
    // JSON has no infinities nor NaN; json-parser never makes them either.
    if (!std::isfinite(number)) number = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", number);
    *out += text;
}

}  // namespace

void JsonWrite(const json_value* value, std::string* out) {
    switch (value->type) {
        case json_object:
            *out += '{';
            for (unsigned i = 0; i < value->u.object.length; ++i) {
                if (i > 0) *out += ',';
                *out += JsonQuote({value->u.object.values[i].name, value->u.object.values[i].name_length});
                *out += ':';
                JsonWrite(value->u.object.values[i].value, out);
            }
            *out += '}';
            break;
        case json_array:
            *out += '[';
            for (unsigned i = 0; i < value->u.array.length; ++i) {
                if (i > 0) *out += ',';
                JsonWrite(value->u.array.values[i], out);
            }
            *out += ']';
            break;
        case json_integer: {
            char text[32];
            std::snprintf(text, sizeof text, "%" PRId64, static_cast<int64_t>(value->u.integer));
            *out += text;
            break;
        }
        case json_double:
            writeNumber(value->u.dbl, out);
            break;
        case json_string:
            *out += JsonQuote({value->u.string.ptr, value->u.string.length});
            break;
        case json_boolean:
            *out += value->u.boolean ? "true" : "false";
            break;
        default:
            *out += "null";
            break;
    }
}
