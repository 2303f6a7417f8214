// JSON documents through json-parser, and the one key lookup every reader uses.
#pragma once

#include <json.h>

#include <cstddef>

// The value of the first member named key (exact, case-sensitive), or null.
// Callers pass objects only.
json_value* JsonObjectFind(const json_value* object, const char* key);

// Parses text of the given length (terminated one byte beyond it, as
// ContentManagerLoadString returns it); null when it does not parse.
json_value* JsonParse(const char* text, size_t length);
