#include "Content/PreloadList.h"

#include "Content/ContentManager.h"
#include "Content/Json.h"
#include "Debug/Debug.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

PreloadEntry readEntry(const json_value* item, unsigned index, const char* path) {
    if (item->type != json_object) FATAL_ERROR("Preload entry %u is not an object (%s).", index, path);
    const json_value* file = JsonObjectFind(item, "file");
    if (file == nullptr) FATAL_ERROR("Unable to find file key.");
    if (file->type != json_string)
        FATAL_ERROR("Preload entry %u: \"file\" is not a string (%s).", index, path);
    const json_value* type = JsonObjectFind(item, "type");
    if (type == nullptr) FATAL_ERROR("Unable to find file content type.");
    if (type->type != json_integer)
        FATAL_ERROR("Preload entry %u: \"type\" is not an integer (%s).", index, path);
    json_int_t value = type->u.integer;
    // Out-of-range types stay out of range, for the content manager to refuse.
    if (value < 0 || value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    return {std::string(file->u.string.ptr, file->u.string.length), static_cast<int32_t>(value)};
}

}  // namespace

std::vector<PreloadEntry> PreloadListRead(const char* path) {
    const std::string text = ContentManagerLoadString(path);
    const JsonDocument document = JsonParse(text.data(), text.size());
    if (document == nullptr || document->type != json_array) FATAL_ERROR("Invalid Preload JSON structure.");
    std::vector<PreloadEntry> entries;
    for (unsigned i = 0; i < document->u.array.length; ++i)
        entries.push_back(readEntry(document->u.array.values[i], i, path));
    return entries;
}

void PreloadListCheckAssets(const char* path, void (*checkMap)(const Map& map)) {
    std::vector<PreloadEntry> entries = PreloadListRead(path);
    for (const PreloadEntry& entry : entries)
        ContentManagerComplete(ContentManagerLoad(entry.file.c_str(), entry.type, CF_DEFERRED), entry.type);
    // Completing a font or map also completes the textures it loaded.
    int counts[4] = {0, 0, 0, 0};
    for (ContentRecord* record : ContentManagerRecords()) {
        ContentManagerComplete(record->data, record->type);
        if (record->type == CT_MAP) checkMap(*static_cast<const Map*>(record->data));
        ++counts[record->type];
    }
    std::printf(
        "%zu preload entries checked: %d textures, %d maps, %d fonts, %d animations loaded and complete.\n",
        entries.size(), counts[CT_TEXTURE], counts[CT_MAP], counts[CT_TEXTURE_FONT], counts[CT_ANIMATION]);
}
