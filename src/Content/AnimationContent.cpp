#include "Content/AnimationContent.h"

#include "Content/ContentManager.h"
#include "Content/Json.h"
#include "Debug/Debug.h"
#include "Engine/QuadMesh.h"
#include "Util/StringHelper.h"

#include <limits>

namespace {

// A required member of the given JSON type; its absence and a wrong type are
// fatal, named after the key and the file.
const json_value* requireMember(const json_value* document, const char* key, json_type type,
                                const char* missingMessage, const char* path) {
    const json_value* value = JsonObjectFind(document, key);
    if (value == nullptr) FATAL_ERROR(missingMessage, path);
    if (value->type != type) FATAL_ERROR("Animation key \"%s\" has the wrong type (%s).", key, path);
    return value;
}

bool optionalBoolean(const json_value* document, const char* key, bool fallback, const char* path) {
    const json_value* value = JsonObjectFind(document, key);
    if (value == nullptr) return fallback;
    if (value->type != json_boolean) FATAL_ERROR("Animation key \"%s\" has the wrong type (%s).", key, path);
    return value->u.boolean != 0;
}

void loadSpriteSheet(Animation* animation, const char* name, uint32_t flags) {
    const std::string sheetPath = strdirectory(animation->path.c_str()) + name;
    animation->sheet = ContentLoad<TextureContent>(sheetPath.c_str(), flags);
    animation->mesh = nullptr;
}

float requireDuration(const json_value* document, const char* path) {
    const json_value* value = JsonObjectFind(document, "FrameDuration");
    if (value == nullptr) FATAL_ERROR("Unable to find frame duration. (%s)", path);
    if (value->type == json_double) return static_cast<float>(value->u.dbl);
    if (value->type == json_integer) return static_cast<float>(value->u.integer);
    FATAL_ERROR("Animation key \"FrameDuration\" has the wrong type (%s).", path);
}

void loadJSON(Animation* animation, const json_value* document, uint32_t flags) {
    const char* path = animation->path.c_str();
    if (document == nullptr || document->type != json_object)
        FATAL_ERROR("Invalid animation file (%s).", path);
    json_int_t frameCount =
        requireMember(document, "FrameCount", json_integer, "Unable to find frame count. (%s)", path)
            ->u.integer;
    json_int_t frameWidth =
        requireMember(document, "FrameWidth", json_integer, "Unable to find frame width. (%s)", path)
            ->u.integer;
    if (frameCount < 1 || frameCount > std::numeric_limits<int32_t>::max())
        FATAL_ERROR("Animation frame count must be at least 1 (%s).", path);
    if (frameWidth < 1 || frameWidth > std::numeric_limits<int32_t>::max())
        FATAL_ERROR("Animation frame width must be at least 1 (%s).", path);
    animation->frameCount = static_cast<uint32_t>(frameCount);
    animation->frameWidth = static_cast<int32_t>(frameWidth);
    const json_value* sheet =
        requireMember(document, "SpriteSheet", json_string, "Unable to find sprite sheet. (%s)", path);
    loadSpriteSheet(animation, sheet->u.string.ptr, flags);
    animation->frameDuration = requireDuration(document, path);
    animation->looping = optionalBoolean(document, "Looping", true, path);
    animation->pingPong = optionalBoolean(document, "PingPong", false, path);
}

// The frame grid: frames fill the sheet row by row, and the frame height is
// what the full rows leave.
void computeFrameGrid(Animation* animation) {
    const TextureContent* sheet = animation->sheet;
    animation->columns = sheet->width / static_cast<uint32_t>(animation->frameWidth);
    if (animation->columns == 0)
        FATAL_ERROR("Sprite sheet %s is narrower than one frame of animation (%s).", sheet->path.c_str(),
                    animation->path.c_str());
    uint32_t rows = animation->frameCount / animation->columns;
    if (rows == 0)
        FATAL_ERROR("Sprite sheet %s has %u frames a row, more than the %u frames of animation (%s).",
                    sheet->path.c_str(), animation->columns, animation->frameCount, animation->path.c_str());
    animation->frameHeight = static_cast<int32_t>(sheet->height / rows);
    if (animation->frameHeight == 0)
        FATAL_ERROR("Sprite sheet %s is too short for its rows of animation (%s).", sheet->path.c_str(),
                    animation->path.c_str());
}

}  // namespace

Animation* AnimationContentLoad(const char* path, uint32_t flags) {
    const std::string text = ContentManagerLoadString(path);
    std::unique_ptr<Animation> animation = new_Animation();
    animation->path = path;
    animation->shared = (flags & CF_NO_CACHE) == 0;
    const JsonDocument document = JsonParse(text.data(), text.size());
    loadJSON(animation.get(), document.get(), flags);
    // The content cache, or with CF_NO_CACHE the caller, owns it from here.
    return animation.release();
}

void AnimationContentComplete(Animation* animation) {
    // The loading screen completes items out of load order, so the sheet may
    // still lack its engine texture.
    TextureContentComplete(animation->sheet);
    // Built once: the animation may be listed more than once.
    if (animation->mesh != nullptr) return;
    computeFrameGrid(animation);
    float uvScale[2];
    animation->mesh = createFrameMesh(animation->frameWidth, animation->frameHeight,
                                      static_cast<int>(animation->sheet->width),
                                      static_cast<int>(animation->sheet->height), uvScale);
    animation->frameUv = {uvScale[0], uvScale[1]};
}

void AnimationContentUnload(Animation* animation) {
    KEGfxMeshFree(animation->mesh);
    delete animation;
}

Animation* AnimationContentCopy(Animation* animation) {
    std::unique_ptr<Animation> copy = new_Animation();
    *copy = *animation;
    copy->shared = false;
    return copy.release();
}

void AnimationContentUnloadCopy(Animation* copy) {
    delete copy;
}
