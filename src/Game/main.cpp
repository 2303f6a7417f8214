// Halcyra: the process entry.
#include "Content/PreloadList.h"
#include "Debug/Debug.h"
#include "Engine/DataDirectory.h"
#include "Engine/Kestrel.h"
#include "Game/Game.h"
#include "Game/Harness.h"
#include "World/Spawner.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace {

// Every content path is relative to the data directory; returns the
// directory the game was started in, where the player's own files are.
std::string enterDataDirectory(const std::string& dataDirectory) {
    std::error_code error;
    const std::filesystem::path startDirectory = std::filesystem::current_path(error);
    if (error) FATAL_ERROR("Unable to read the working directory: %s", error.message().c_str());
    std::filesystem::current_path(dataDirectory, error);
    if (error)
        FATAL_ERROR("Unable to enter the data directory %s: %s", dataDirectory.c_str(),
                    error.message().c_str());
    return startDirectory.string();
}

}  // namespace

int main(int argc, char** argv) {
    // An installed game plays in its data directory and keeps its crash trace
    // with the player's state; a game run from a build does both where it is
    // started, as the source tree has it.
    const std::string dataDirectory = KESysInstalledDataDirectory("halcyra");
    const bool installed = !dataDirectory.empty();
    // The crash trace comes first so that every later failure is reported;
    // the runtime runs the exit handlers in reverse: shutdown, then the trace's.
    DebugOpenTrace(installed ? TRACE_IN_STATE_DIRECTORY : TRACE_IN_WORKING_DIRECTORY);
    DebugSetNoticeFunction(KESysShowMessageBox);
    const std::string startDirectory = installed ? enterDataDirectory(dataDirectory) : "";
    int exitCode = HarnessStart(argc, argv, startDirectory);
    if (exitCode >= 0) return exitCode;
    initGame(HarnessRandomSeed());
    // A map object of a type the game does not know is refused here, and
    // only warned of in play.
    if (HarnessCheckAssets()) PreloadListCheckAssets(PRELOAD_PATH, checkMapObjectTypes);
    else runGame();
    return HarnessExitCode();
}
