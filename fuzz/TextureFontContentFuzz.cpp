// Binary BMFont files, through the main-thread step that builds the glyph
// meshes and page textures, to every glyph measured and drawn.
#include "Content/ContentManager.h"
#include "Content/TextureFontContent.h"
#include "FuzzSupport.h"

#include <string>

namespace {

// The pages the seed fonts name.
constexpr ScratchImage PAGES[] = {{"Debug_0.png", 128, 64}, {"Page_0.png", 16, 16}, {"Page_1.png", 16, 16}};

// Every character code once, those without a glyph too, then a run of line feeds.
std::string everyCode() {
    std::string text;
    for (int code = 1; code <= UINT8_MAX; ++code) text += static_cast<char>(code);
    return text + "\n\n\n";
}

const std::string EVERY_CODE = everyCode();

void loadFont(const char* path) {
    FreshContentCache cache;
    auto* font = ContentLoad<TextureFont>(path, CF_DEFERRED);
    ContentManagerComplete(font, CT_TEXTURE_FONT);
    font->measureText(EVERY_CODE.c_str(), 1.0f);
    font->drawText(EVERY_CODE.c_str(), {0.0f, 0.0f}, colourWhite, ALIGN_CENTER);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startHeadlessEngine();
    for (const ScratchImage& page : PAGES) writeScratchImage(page);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = writeScratchFile("Font.fnt", data, size);
    runFuzzInput([&] { loadFont(path.c_str()); });
    return 0;
}
