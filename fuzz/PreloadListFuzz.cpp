// The preload list: a JSON array of file and content type pairs.
#include "Content/PreloadList.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = writeScratchFile("Preload.json", data, size);
    runFuzzInput([&] { PreloadListRead(path.c_str()); });
    return 0;
}
