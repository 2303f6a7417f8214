// The player's settings and save as the game reads them at start: each is
// either taken, with what is wrong in it at its default, or refused; a file
// the game writes back from what it took reads back the same.
#include "Content/PlayerFiles.h"
#include "Content/Settings.h"
#include "FuzzSupport.h"
#include "World/GameProgress.h"

#include <cstdlib>

namespace {

void readBoth(const std::string& path) {
    PlayerFileRead file = PlayerFilesRead(path);
    if (file.status != PlayerFileStatus::Read) return;
    std::vector<std::string> bad, unknown;
    const Settings settings = settingsFromJson(file.document.get(), &bad, &unknown);
    const std::string written = settingsToJson(settings, unknown);
    JsonDocument again = JsonParse(written.c_str(), written.size());
    if (again == nullptr) std::abort();
    std::vector<std::string> badAgain, unknownAgain;
    if (!(settingsFromJson(again.get(), &badAgain, &unknownAgain) == settings) || !badAgain.empty())
        std::abort();
    PlayState entry;
    GameProgress progress;
    std::string problem;
    gameProgressFromJson(file.document.get(), &entry, &progress, &problem);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = writeScratchFile("settings.json", data, size);
    runFuzzInput([&] { readBoth(path); });
    return 0;
}
