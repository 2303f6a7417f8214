#include "Content/ContentManager.h"

#include "Content/AnimationContent.h"
#include "Content/MapContent.h"
#include "Content/TextureContent.h"
#include "Content/TextureFontContent.h"
#include "Debug/Debug.h"
#include "Util/StringHelper.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

List<ContentRecord>* contentCache = nullptr;

namespace {

constexpr int32_t CONTENT_TYPE_COUNT = 4;

ContentTypeOps contentTypes[CONTENT_TYPE_COUNT];

// Adapts a typed loader to the table's untyped row.
template <typename Record, Record* (*Load)(const char*, int, uint32_t), void (*Complete)(Record*),
          void (*Unload)(Record*)>
ContentTypeOps operationsOf() {
    return ContentTypeOps{
        [](const char* path, int reserved, uint32_t flags) -> void* { return Load(path, reserved, flags); },
        [](void* data) { Complete(static_cast<Record*>(data)); },
        [](void* data) { Unload(static_cast<Record*>(data)); },
        nullptr,
        nullptr,
    };
}

// The path with every backslash made a slash: the cache key.
void normalisePath(const char* path, char (&normalised)[CONTENT_PATH_MAX + 1]) {
    size_t length = std::strlen(path);
    if (length > CONTENT_PATH_MAX)
        FATAL_ERROR("Content path is longer than %zu characters (%.*s...).", CONTENT_PATH_MAX, 64, path);
    for (size_t i = 0; i <= length; ++i) normalised[i] = path[i] == '\\' ? '/' : path[i];
}

ContentRecord* findRecord(const char* path) {
    for (ContentRecord* record : *contentCache)
        if (std::strcmp(record->path, path) == 0) return record;
    return nullptr;
}

void* copyOrShare(void* data, int32_t type) {
    if (contentTypes[type].copy != nullptr) return contentTypes[type].copy(data);
    WARNING("%s does not support copying!\nReturning the cached data.", ContentTypeName(type));
    return data;
}

void* loadUncached(const char* path, int32_t type, uint32_t flags) {
    void* data = contentTypes[type].load(path, 0, flags);
    if ((flags & CF_DEFERRED) == 0) contentTypes[type].loadThreadSafe(data);
    return data;
}

void* loadIntoCache(const char* path, int32_t type, uint32_t flags) {
    ContentRecord* record =
        DEBUG_NEW(ContentRecord, "ContentManagerLoad", ContentRecord{type, strduplicate(path), nullptr});
    // The loader gets the record's own path, which lives as long as the cache.
    record->data = contentTypes[type].load(record->path, 0, flags);
    if ((flags & CF_DEFERRED) == 0) {
        contentTypes[type].loadThreadSafe(record->data);
        WARNING(
            "Content was hard loaded outside the loading screen.\nDid you forget to add it the "
            "preload?\n{%s}",
            record->path);
    }
    contentCache->pushBack(record);
    if ((flags & CF_COPY) != 0 && contentTypes[type].copy != nullptr)
        return contentTypes[type].copy(record->data);
    return record->data;
}

}  // namespace

const char* ContentTypeName(int32_t type) {
    static const char* const names[CONTENT_TYPE_COUNT] = {"CT_TEXTURE", "CT_MAP", "CT_TEXTURE_FONT",
                                                          "CT_ANIMATION"};
    return type >= 0 && type < CONTENT_TYPE_COUNT ? names[type] : "CT_UNKNOWN";
}

void ContentManagerInit() {
    contentCache = new_List<ContentRecord>();
    contentTypes[CT_TEXTURE] = operationsOf<TextureContent, TextureContentLoad, TextureContentLoadThreadSafe,
                                            TextureContentUnload>();
    contentTypes[CT_MAP] = operationsOf<Map, MapContentLoad, MapContentLoadThreadSafe, MapContentUnload>();
    contentTypes[CT_TEXTURE_FONT] =
        operationsOf<TextureFont, TextureFontContentLoad, TextureFontContentLoadThreadSafe,
                     TextureFontContentUnload>();
    contentTypes[CT_ANIMATION] = operationsOf<Animation, AnimationContentLoad, AnimationContentLoadThreadSafe,
                                              AnimationContentUnload>();
    contentTypes[CT_ANIMATION].copy = [](void* data) -> void* {
        return AnimationContentCopy(static_cast<Animation*>(data));
    };
    contentTypes[CT_ANIMATION].unloadCopy = [](void* data) {
        AnimationContentUnloadCopy(static_cast<Animation*>(data));
    };
}

void* ContentManagerLoad(const char* path, int32_t type, uint32_t flags) {
    if (path == nullptr) FATAL_ERROR("Attempting to load content without a path.");
    if (static_cast<uint32_t>(type) >= CONTENT_TYPE_COUNT)
        FATAL_ERROR("Attempting to load unknown content type.\nFile: %s", path);
    char normalised[CONTENT_PATH_MAX + 1];
    normalisePath(path, normalised);
    if ((flags & CF_NO_CACHE) != 0) return loadUncached(normalised, type, flags);
    ContentRecord* record = findRecord(normalised);
    if (record == nullptr) return loadIntoCache(normalised, type, flags);
    // A path names one asset of one type: handing a texture to a caller that
    // asked for an animation would be read as the wrong record.
    if (record->type != type)
        FATAL_ERROR("Content was loaded as %s and is now asked for as %s.\nFile: %s",
                    ContentTypeName(record->type), ContentTypeName(type), normalised);
    if ((flags & CF_COPY) != 0) return copyOrShare(record->data, type);
    return record->data;
}

void ContentManagerUnloadCopy(void* data, int32_t type) {
    bool copyable = type >= 0 && type < CONTENT_TYPE_COUNT && contentTypes[type].unloadCopy != nullptr;
    if (copyable) contentTypes[type].unloadCopy(data);
    else WARNING("%s does not support copying!", ContentTypeName(type));
}

void ContentManagerComplete(void* data, int32_t type) {
    if (type < 0 || type >= CONTENT_TYPE_COUNT) FATAL_ERROR("Something went horribly wrong.");
    contentTypes[type].loadThreadSafe(data);
}

void ContentManagerShutdown() {
    for (ContentRecord* record : *contentCache) {
        contentTypes[record->type].unload(record->data);
        std::free(record->path);
        delete record;
    }
    contentCache->destroy();
    contentCache = nullptr;
}

char* ContentManagerLoadString(const char* path, size_t* length) {
    // A directory opens as a stream too, of a nonsensical size.
    struct stat status {};
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode)) FATAL_ERROR("Unable to load file (%s).", path);
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) FATAL_ERROR("Unable to load file (%s).", path);
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) FATAL_ERROR("Unable to read file (%s).", path);
    char* text = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1));
    if (text == nullptr) ALLOCATION_FAILURE("ContentManagerLoadString");
    size_t read = std::fread(text, 1, static_cast<size_t>(size), file);
    std::fclose(file);
    if (read != static_cast<size_t>(size)) FATAL_ERROR("Unable to read file (%s).", path);
    text[size] = '\0';
    *length = read;
    return text;
}
