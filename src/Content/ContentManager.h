// The one place the game obtains its assets: textures, maps, bitmap fonts
// and sprite animations, by path and type, read once and cached by path.
//
// Loading has two steps: `load` reads files and builds records (it may run on
// the loading screen's worker thread), `complete` creates the engine
// textures and meshes on the main thread. Cached content lives from
// ContentManagerInit until ContentManagerShutdown. Code asks for a record by
// its type, ContentLoad<Animation>(path); the preload list, whose types are
// data, asks with a ContentType.
#pragma once

#include "Util/LinkedList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

enum ContentType : int32_t {
    CT_TEXTURE = 0,
    CT_MAP = 1,
    CT_TEXTURE_FONT = 2,
    CT_ANIMATION = 3,
};

enum ContentFlag : uint32_t {
    CF_NO_CACHE = 1,  // bypass the cache: the caller owns the result
    CF_DEFERRED = 2,  // run only the load step; the caller completes it on the main thread
    CF_COPY = 4,      // a private copy, released with ContentManagerUnloadCopy
};

// The longest path the cache takes, without its terminator.
inline constexpr size_t CONTENT_PATH_MAX = 255;

// "CT_TEXTURE" ... "CT_ANIMATION", or "CT_UNKNOWN" for anything else.
const char* ContentTypeName(int32_t type);

struct ContentTypeOps {
    void* (*load)(const char* path, uint32_t flags);
    void (*complete)(void* data);
    void (*unload)(void* data);
    void* (*copy)(void* data);       // null when the type cannot be copied
    void (*unloadCopy)(void* data);  // null when the type cannot be copied
};

// A cached asset. The record owns its data and frees it through its type's
// unload step.
struct ContentRecord {
    int32_t type;
    std::string path;  // the normalised path: the cache key
    void* data;

    ContentRecord(int32_t recordType, const char* recordPath)
        : type(recordType), path(recordPath), data(nullptr) {}
    ContentRecord(const ContentRecord&) = delete;
    ContentRecord& operator=(const ContentRecord&) = delete;
    ~ContentRecord();
};

// The cache, in order of first load, between ContentManagerInit and
// ContentManagerShutdown.
const OwningList<ContentRecord>& ContentManagerRecords();

// Start-up: the content types and an empty cache.
void ContentManagerInit();

// Never returns null: every failure ends the process, among them a path
// asked for as another type than it was cached as. Backslashes in the path
// become slashes; the key is case-sensitive.
void* ContentManagerLoad(const char* path, int32_t type, uint32_t flags);

// The record each content type loads as; only these load.
struct TextureContent;
class Map;
class TextureFont;
class Animation;
template <typename Record>
struct ContentTypeOf;
template <>
struct ContentTypeOf<TextureContent> : std::integral_constant<ContentType, CT_TEXTURE> {};
template <>
struct ContentTypeOf<Map> : std::integral_constant<ContentType, CT_MAP> {};
template <>
struct ContentTypeOf<TextureFont> : std::integral_constant<ContentType, CT_TEXTURE_FONT> {};
template <>
struct ContentTypeOf<Animation> : std::integral_constant<ContentType, CT_ANIMATION> {};

// ContentManagerLoad for a record of that type: another record type does
// not compile, and a path cached as another type is fatal.
template <typename Record>
Record* ContentLoad(const char* path, uint32_t flags = 0) {
    return static_cast<Record*>(ContentManagerLoad(path, ContentTypeOf<Record>::value, flags));
}

void ContentManagerUnloadCopy(void* data, int32_t type);

// Runs the main-thread step of an item loaded with CF_DEFERRED.
void ContentManagerComplete(void* data, int32_t type);

// Shutdown: unloads every cached item in order of first load, then the cache.
void ContentManagerShutdown();

// The whole file; a missing file, a directory or a failed read is fatal.
std::string ContentManagerLoadString(const char* path);
