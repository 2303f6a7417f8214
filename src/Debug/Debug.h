// Fatal errors, warnings and the crash trace.
//
// There is no recoverable error path for allocation failures or broken data
// files: the code that meets one calls the fatal reporter, which appends a
// report (message, source position, call stack, time stamp) to
// "Debug.Trace.txt" and ends the process with exit code 1.
#pragma once

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <utility>

// The crash trace, opened by the process entry; null when it could not be
// opened (reports are then skipped, the process still ends). Global because
// a fatal error anywhere writes to it.
extern FILE* traceFile;

// What the debug overlay draws with, lent by the game from start-up to
// shutdown: a 1 x 1 red quad, drawn scaled as a translucent rectangle, and
// "Assets/Fonts/Debug.fnt". Global because any entity draws its own overlay.
struct KEMesh;
class TextureFont;
extern KEMesh* debugRectMesh;
extern TextureFont* debugFont;

// Where the crash trace is kept: in the working directory, as a game run
// from its source tree has it, or with the player's state, as an installed
// game has it (DebugStateDirectory).
enum TraceHome { TRACE_IN_WORKING_DIRECTORY, TRACE_IN_STATE_DIRECTORY };

// Opens "Debug.Trace.txt" in its home for appending, making the state
// directory (mode 0700) when missing, and registers DebugOnExit; the first
// thing the process does. Without a trace file the game runs on after a
// warning saying why, and reports go to standard error alone.
void DebugOpenTrace(TraceHome home = TRACE_IN_WORKING_DIRECTORY);

// The player's state directory of the game: $XDG_STATE_HOME/halcyra, or
// $HOME/.local/state/halcyra when XDG_STATE_HOME is unset, empty or relative;
// empty when HOME is no absolute path either.
std::string DebugStateDirectory(const char* xdgStateHome, const char* home);

// How the crash notice reaches the player: the process entry hands over the
// platform's message box. Until then it goes to standard error.
using DebugNoticeFunction = void (*)(const char* title, const char* text);
void DebugSetNoticeFunction(DebugNoticeFunction show);

// While a DebugFatalThrowScope lives on a thread, a fatal error met there
// writes no report and throws DebugFatalInterrupt with its message instead of
// ending the process; what the failed code had built is freed as it unwinds.
// The fuzz targets and the tests of broken files catch it and go on with
// their next input.
struct DebugFatalInterrupt {
    std::string message;
};

class DebugFatalThrowScope {
public:
    DebugFatalThrowScope();
    ~DebugFatalThrowScope();
    DebugFatalThrowScope(const DebugFatalThrowScope&) = delete;
    DebugFatalThrowScope& operator=(const DebugFatalThrowScope&) = delete;

private:
    bool previous;
};

[[noreturn]] void DebugAllocationFailure(const char* file, const char* function, int line);

[[noreturn]] void DebugFatalError(const char* format, const char* file, const char* function, int line, ...)
    __attribute__((format(printf, 1, 5)));

// Formats the message and goes on; each distinct warning is echoed once on
// standard error.
void DebugWarning(const char* format, const char* file, const char* function, int line, ...)
    __attribute__((format(printf, 1, 5)));

// Exit handler: after a fatal error, points the player to the trace file
// (without one, the report on standard error is all there is).
void DebugOnExit();

// A fatal error on a worker thread writes its report and then leaves the
// ending to the main thread, so that shutdown never runs beside code still
// using what it frees. The frame loop calls DebugEndIfWorkerFailed once a
// frame; code waiting for a worker checks DebugWorkerFailed.
bool DebugWorkerFailed();
void DebugEndIfWorkerFailed();

// Builds DebugOnExit's notice into text (size bytes); directory is the
// trace's, or null when there is none to name. A directory too long
// for the text keeps its tail behind "...".
void DebugFormatCrashNotice(char* text, size_t size, const char* directory);

// Allocates a T; a failure is fatal, reported with the caller's file, the
// given function name and line.
template <typename T, typename... Args>
T* debugNew(const char* file, const char* function, int line, Args&&... args) {
    T* object = new (std::nothrow) T(std::forward<Args>(args)...);
    if (object == nullptr) DebugAllocationFailure(file, function, line);
    return object;
}

#define DEBUG_NEW(Type, function, ...) debugNew<Type>(__FILE__, function, __LINE__ __VA_OPT__(, ) __VA_ARGS__)

// Allocates count value-initialised Ts; a failure is fatal as with debugNew.
template <typename T>
T* debugNewArray(const char* file, const char* function, int line, size_t count) {
    T* objects = new (std::nothrow) T[count]();
    if (objects == nullptr) DebugAllocationFailure(file, function, line);
    return objects;
}

#define DEBUG_NEW_ARRAY(Type, count, function) debugNewArray<Type>(__FILE__, function, __LINE__, count)

// The owning forms: what the game keeps is held by a unique_ptr, allocated
// through the same reporting allocator.
#define DEBUG_MAKE_UNIQUE(Type, function, ...) \
    std::unique_ptr<Type>(debugNew<Type>(__FILE__, function, __LINE__ __VA_OPT__(, ) __VA_ARGS__))
#define DEBUG_MAKE_UNIQUE_ARRAY(Type, count, function) \
    std::unique_ptr<Type[]>(debugNewArray<Type>(__FILE__, function, __LINE__, count))

// The usual call sites: the caller's own file, function and line.
#define FATAL_ERROR(format, ...) \
    DebugFatalError(format, __FILE__, __func__, __LINE__ __VA_OPT__(, ) __VA_ARGS__)
#define WARNING(format, ...) DebugWarning(format, __FILE__, __func__, __LINE__ __VA_OPT__(, ) __VA_ARGS__)
#define ALLOCATION_FAILURE(function) DebugAllocationFailure(__FILE__, function, __LINE__)
