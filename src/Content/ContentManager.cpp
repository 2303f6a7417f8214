#include "Content/ContentManager.h"

#include "Content/AnimationContent.h"
#include "Content/MapContent.h"
#include "Content/TextureContent.h"
#include "Content/TextureFontContent.h"
#include "Debug/Debug.h"
#include "Util/RegularFile.h"

#include <cstdio>
#include <cstring>


namespace {

std::unique_ptr<OwningList<ContentRecord>> contentCache;

constexpr int32_t CONTENT_TYPE_COUNT = 4;

ContentTypeOps contentTypes[CONTENT_TYPE_COUNT];

// Adapts a typed loader to the table's untyped row.
template <typename Record, Record* (*Load)(const char*, uint32_t), void (*Complete)(Record*),
          void (*Unload)(Record*)>
ContentTypeOps operationsOf() {
    return ContentTypeOps{
        [](const char* path, uint32_t flags) -> void* { return Load(path, flags); },
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
        if (record->path == path) return record;
    return nullptr;
}

void* copyOrShare(void* data, int32_t type) {
    if (contentTypes[type].copy != nullptr) return contentTypes[type].copy(data);
    WARNING("%s does not support copying!\nReturning the cached data.", ContentTypeName(type));
    return data;
}

void* loadUncached(const char* path, int32_t type, uint32_t flags) {
    void* data = contentTypes[type].load(path, flags);
    if ((flags & CF_DEFERRED) == 0) contentTypes[type].complete(data);
    return data;
}

void* loadIntoCache(const char* path, int32_t type, uint32_t flags) {
    std::unique_ptr<ContentRecord> owned = DEBUG_MAKE_UNIQUE(ContentRecord, "ContentManagerLoad", type, path);
    ContentRecord* record = owned.get();
    // The loader gets the record's own path, which lives as long as the cache.
    record->data = contentTypes[type].load(record->path.c_str(), flags);
    if ((flags & CF_DEFERRED) == 0) {
        contentTypes[type].complete(record->data);
        WARNING(
            "Content was hard loaded outside the loading screen.\nDid you forget to add it the "
            "preload?\n{%s}",
            record->path.c_str());
    }
    contentCache->pushBack(std::move(owned));
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

ContentRecord::~ContentRecord() {
    if (data != nullptr) contentTypes[type].unload(data);
}

const OwningList<ContentRecord>& ContentManagerRecords() {
    return *contentCache;
}

void ContentManagerInit() {
    contentCache = DEBUG_MAKE_UNIQUE(OwningList<ContentRecord>, "ContentManagerInit");
    contentTypes[CT_TEXTURE] =
        operationsOf<TextureContent, TextureContentLoad, TextureContentComplete, TextureContentUnload>();
    contentTypes[CT_MAP] = operationsOf<Map, MapContentLoad, MapContentComplete, MapContentUnload>();
    contentTypes[CT_TEXTURE_FONT] = operationsOf<TextureFont, TextureFontContentLoad,
                                                 TextureFontContentComplete, TextureFontContentUnload>();
    contentTypes[CT_ANIMATION] =
        operationsOf<Animation, AnimationContentLoad, AnimationContentComplete, AnimationContentUnload>();
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
    contentTypes[type].complete(data);
}

void ContentManagerShutdown() {
    contentCache.reset();
}

std::string ContentManagerLoadString(const char* path) {
    // A directory opens as a stream too, of a nonsensical size; a FIFO would
    // never end.
    const std::unique_ptr<FILE, int (*)(FILE*)> file(openRegularFile(path), std::fclose);
    if (file == nullptr) FATAL_ERROR("Unable to load file (%s).", path);
    long size = -1;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) size = std::ftell(file.get());
    if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) FATAL_ERROR("Unable to read file (%s).", path);
    std::string text(static_cast<size_t>(size), '\0');
    if (std::fread(text.data(), 1, text.size(), file.get()) != text.size())
        FATAL_ERROR("Unable to read file (%s).", path);
    return text;
}
