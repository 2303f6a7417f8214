// JSON documents through json-parser, the one key lookup every reader uses,
// and the little writing the player's files need.
#pragma once

#include <json.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

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

// text as a JSON string, quotes included.
std::string JsonQuote(std::string_view text);
// A parsed value written back as JSON text, appended to out.
void JsonWrite(const json_value* value, std::string* out);
