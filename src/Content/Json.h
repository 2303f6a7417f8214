// JSON documents through json-parser, and the one key lookup every reader uses.
#pragma once

#include <json.h>

#include <cstddef>
#include <memory>

struct JsonFree {
    void operator()(json_value* value) const { json_value_free(value); }
};
// A parsed document, freed with its owner.
using JsonDocument = std::unique_ptr<json_value, JsonFree>;

// The value of the first member named key (exact, case-sensitive), or null.
// Callers pass objects only.
json_value* JsonObjectFind(const json_value* object, const char* key);

// Parses text of the given length (terminated one byte beyond it, as a
// std::string is); null when it does not parse.
JsonDocument JsonParse(const char* text, size_t length);
