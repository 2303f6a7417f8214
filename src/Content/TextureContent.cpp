#include "Content/TextureContent.h"

#include "Debug/Debug.h"
#include "Util/RegularFile.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr unsigned char PNG_SIGNATURE[4] = {0x89, 0x50, 0x4E, 0x47};
constexpr long IMAGE_SIZE_OFFSET = 16;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

TextureContent* TextureContentLoad(const char* path, uint32_t) {
    std::unique_ptr<FILE, FileCloser> file(openRegularFile(path));
    if (!file) FATAL_ERROR("Unable to load texture file (%s).", path);
    unsigned char signature[4];
    if (std::fread(signature, 1, 4, file.get()) != 4 || std::memcmp(signature, PNG_SIGNATURE, 4) != 0)
        FATAL_ERROR("Invalid texture file {PNG} (%s).", path);
    // Width and height follow the signature and the image header's chunk head.
    uint32_t size[2];
    if (std::fseek(file.get(), IMAGE_SIZE_OFFSET, SEEK_SET) != 0 || std::fread(size, 4, 2, file.get()) != 2)
        FATAL_ERROR("Texture file ends before its image size (%s).", path);
    std::unique_ptr<TextureContent> texture = DEBUG_MAKE_UNIQUE(TextureContent, "TextureContentLoad");
    texture->path = path;
    texture->width = ntohl(size[0]);
    texture->height = ntohl(size[1]);
    // The content cache, or with CF_NO_CACHE the caller, owns it from here.
    return texture.release();
}

void TextureContentComplete(TextureContent* texture) {
    if (texture->texture != nullptr) return;
    texture->texture.reset(KEGfxTextureLoad(texture->path.c_str()));
    // The header was sound, so the image data is broken or too large: name
    // the file rather than blame the memory.
    if (texture->texture == nullptr)
        FATAL_ERROR("Unable to create texture from file (%s).", texture->path.c_str());
}

void TextureContentUnload(TextureContent* texture) {
    delete texture;
}
