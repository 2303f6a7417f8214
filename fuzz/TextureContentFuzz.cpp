// PNG headers: the texture load step reads the signature and the image size.
#include "Content/TextureContent.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = writeScratchFile("Texture.png", data, size);
    runFuzzInput([&] { TextureContentUnload(TextureContentLoad(path.c_str(), 0)); });
    return 0;
}
