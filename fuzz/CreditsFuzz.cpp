// The credits: a JSON array of heading and text pairs.
#include "FuzzSupport.h"
#include "Screens/CreditsScreen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = writeScratchFile("Credits.json", data, size);
    runFuzzInput([&] { parseCredits(path.c_str()); });
    return 0;
}
