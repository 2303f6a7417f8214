// Halcyra: the process entry.
#include "Content/PreloadList.h"
#include "Debug/Debug.h"
#include "Engine/Kestrel.h"
#include "Game/Game.h"
#include "Game/Harness.h"

int main(int argc, char** argv) {
    // The crash trace comes first so that every later failure is reported;
    // the runtime runs the exit handlers in reverse: shutdown, then the trace's.
    DebugOpenTrace();
    DebugSetNoticeFunction(KESysShowMessageBox);
    int exitCode = HarnessStart(argc, argv);
    if (exitCode >= 0) return exitCode;
    initGame(HarnessRandomSeed());
    if (HarnessCheckAssets()) PreloadListCheckAssets(PRELOAD_PATH);
    else runGame();
    return HarnessExitCode();
}
