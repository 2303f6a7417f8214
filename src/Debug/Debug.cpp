#include "Debug/Debug.h"

#include "Util/RegularFile.h"
#include "Util/StringHelper.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>
#include <string>
#include <thread>

KEMesh* debugRectMesh = nullptr;
TextureFont* debugFont = nullptr;
FILE* traceFile = nullptr;

namespace {

void printNotice(const char* title, const char* text) {
    std::fprintf(stderr, "%s: %s\n", title, text);
}

DebugNoticeFunction showNotice = printNotice;

constexpr const char* traceFileName = "Debug.Trace.txt";
constexpr const char* stateFolderName = "halcyra";
constexpr const char* crashNotice = "Please contact a developer with the debug trace.";
constexpr const char* allocationFailureMessage = "Unable to allocate memory.";
constexpr const char* rule = "================================================";
constexpr int reportWidth = 48;
constexpr size_t maxMessageLength = 1024;
constexpr size_t crashNoticeSize = 1024;
constexpr int maxFrames = 100;
// The captured stack starts with writeCallStack, writeReport, reportFatal and
// the public entry point; then comes the caller that failed.
constexpr int firstCallerFrame = 4;
constexpr int writeReportFrame = 1;
constexpr int maxSymbolNameLength = 255;

bool crashed = false;
// The directory the crash notice names: the open trace's, or empty.
std::string traceDirectory;
std::thread::id mainThread = std::this_thread::get_id();
std::atomic<bool> workerFailed{false};
// Two threads failing at once must not interleave their reports.
std::recursive_mutex reportLock;

enum class Colour { White, Grey, BrightRed, Green, DarkYellow, BrightGreen, Default };

// Indexed by Colour.
constexpr const char* ansiCodes[] = {"\033[97m", "\033[37m", "\033[91m", "\033[32m",
                                     "\033[33m", "\033[92m", "\033[0m"};

const char* ansiCode(Colour colour) {
    return ansiCodes[static_cast<int>(colour)];
}

// The report goes to the trace file (when open) and is echoed to standard
// error, in colour only when a terminal shows it.
struct ReportOutput {
    FILE* trace;
    bool colours;
};

__attribute__((format(printf, 3, 4))) void put(const ReportOutput& out, Colour colour, const char* format,
                                               ...) {
    va_list args;
    va_start(args, format);
    if (out.trace != nullptr) {
        va_list traceArgs;
        va_copy(traceArgs, args);
        std::vfprintf(out.trace, format, traceArgs);
        va_end(traceArgs);
    }
    if (out.colours) std::fputs(ansiCode(colour), stderr);
    std::vfprintf(stderr, format, args);
    va_end(args);
}

void writeFrameLine(const ReportOutput& out, const char* name, const void* address) {
    put(out, Colour::Grey, " - ");
    put(out, Colour::BrightGreen, "%.*s ", maxSymbolNameLength, name);
    put(out, Colour::Grey, "(");
    put(out, Colour::White, "0x%lX", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(address)));
    put(out, Colour::Grey, ")\n");
}

// Without an exported symbol, the module and offset still let addr2line find
// the spot; the address shown is then the return address itself.
void writeUnnamedFrame(const ReportOutput& out, const Dl_info* module, const void* address) {
    char name[maxSymbolNameLength + 1] = "??";
    if (module != nullptr && module->dli_fname != nullptr) {
        const auto offset =
            reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(module->dli_fbase);
        std::snprintf(name, sizeof name, "%s+0x%lX", strbasename(module->dli_fname),
                      static_cast<unsigned long>(offset));
    }
    writeFrameLine(out, name, address);
}

void writeNamedFrame(const ReportOutput& out, const char* symbol, const void* start) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(symbol, nullptr, nullptr, &status);
    writeFrameLine(out, demangled != nullptr ? demangled : symbol, start);
    std::free(demangled);
}

void writeFrame(const ReportOutput& out, void* returnAddress) {
    // A call to a function that never returns can be the last instruction of
    // its caller, so the return address may already lie in the next function.
    const void* callSite = static_cast<char*>(returnAddress) - 1;
    Dl_info info;
    if (dladdr(callSite, &info) == 0) {
        writeUnnamedFrame(out, nullptr, returnAddress);
    } else if (info.dli_sname == nullptr) {
        writeUnnamedFrame(out, &info, returnAddress);
    } else {
        writeNamedFrame(out, info.dli_sname, info.dli_saddr);
    }
}

// A sanitizer's backtrace puts a frame of its own in front, so the reporter's
// frames are found by writeReport's return address instead of counted blindly.
int findFirstCallerFrame(void* const* frames, int count, const void* writeReportReturn) {
    for (int i = 0; i < count; ++i) {
        if (frames[i] == writeReportReturn) return i + firstCallerFrame - writeReportFrame;
    }
    return firstCallerFrame;
}

[[gnu::noinline]] void writeCallStack(const ReportOutput& out) {
    void* frames[maxFrames];
    const int count = backtrace(frames, maxFrames);
    const int first = findFirstCallerFrame(frames, count, __builtin_return_address(0));
    if (first >= count) return;
    put(out, Colour::DarkYellow, "Call Stack\n----------\n\n");
    for (int i = first; i < count; ++i) writeFrame(out, frames[i]);
    put(out, Colour::Grey, "\n");
}

void writeTimeStamp(const ReportOutput& out) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[81];
    const int length = static_cast<int>(std::strftime(stamp, sizeof stamp, "%x - %I:%M%p", &local));
    const int padding = length < reportWidth ? reportWidth - length : 0;
    put(out, Colour::Grey, "%*s%s\n", padding, "", stamp);
}

void writeLabelled(const ReportOutput& out, const char* label, const char* value, const char* ending) {
    put(out, Colour::Green, "%s", label);
    put(out, Colour::Grey, "%s%s", value, ending);
}

[[gnu::noinline]] void writeReport(const ReportOutput& out, const char* message, const char* file,
                                   const char* function, int line) {
    put(out, Colour::White, "%s\n", rule);
    put(out, Colour::Grey, "----------------- ");
    put(out, Colour::BrightRed, "FATAL ERROR");
    put(out, Colour::Grey, " ------------------\n\n");
    put(out, Colour::White, "%s\n\n", message);
    writeLabelled(out, "File: ", strbasename(file), "\n");
    writeLabelled(out, "Function: ", function, "\n");
    char lineNumber[16];
    std::snprintf(lineNumber, sizeof lineNumber, "%d", line);
    writeLabelled(out, "Line Number: ", lineNumber, "\n\n");
    writeCallStack(out);
    writeTimeStamp(out);
    put(out, Colour::White, "%s\n\n", rule);
    if (out.colours) std::fputs(ansiCode(Colour::Default), stderr);
}

thread_local bool fatalThrows = false;

[[gnu::noinline]] void reportFatal(const char* message, const char* file, const char* function, int line) {
    // A thrown error is the catcher's to report.
    if (fatalThrows) return;
    std::lock_guard<std::recursive_mutex> guard(reportLock);
    const ReportOutput out{traceFile, isatty(STDERR_FILENO) == 1};
    writeReport(out, message, file, function, line);
    if (traceFile != nullptr) std::fflush(traceFile);
}

// The only way out after a report. A worker thread stops where it is and the
// main thread ends the process, unless a throw scope catches the error.
[[noreturn]] void terminateAfterFatal(const char* message) {
    if (fatalThrows) throw DebugFatalInterrupt{message};
    if (std::this_thread::get_id() != mainThread) {
        workerFailed.store(true, std::memory_order_release);
        for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }
    crashed = true;
    std::exit(1);
}

// Standard containers allocate with the throwing new; a failure there ends
// like any other allocation failure instead of an uncaught exception.
[[noreturn]] [[gnu::noinline]] void onNewFailure() {
    reportFatal(allocationFailureMessage, __FILE__, "operator new", __LINE__);
    terminateAfterFatal(allocationFailureMessage);
}

void showCrashNotice() {
    char text[crashNoticeSize];
    DebugFormatCrashNotice(text, sizeof text, traceDirectory.empty() ? nullptr : traceDirectory.c_str());
    showNotice("Unexpected Crash", text);
}

// The directory and any missing parents, each private to the player, as the
// XDG base directories ask; the game's own made private if it was not.
bool makePrivateDirectories(const std::string& directory) {
    size_t slash = 0;
    do {
        slash = directory.find('/', slash + 1);
        const std::string part = directory.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    } while (slash != std::string::npos);
    chmod(directory.c_str(), 0700);
    return true;
}

FILE* openTraceFile(const std::string& path) {
    FILE* file = openRegularFileToAppend(path.c_str());
    if (file == nullptr)
        WARNING("cannot open the crash trace '%s': %s; playing on without one", path.c_str(),
                std::strerror(errno));
    return file;
}

FILE* openTraceInWorkingDirectory() {
    char directory[PATH_MAX];
    if (getcwd(directory, sizeof directory) != nullptr) traceDirectory = directory;
    return openTraceFile(traceFileName);
}

FILE* openTraceInStateDirectory() {
    traceDirectory = DebugStateDirectory(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    if (traceDirectory.empty()) {
        WARNING(
            "no directory for the crash trace: neither XDG_STATE_HOME nor HOME is an absolute path; "
            "playing on without one");
        return nullptr;
    }
    if (!makePrivateDirectories(traceDirectory)) {
        WARNING("cannot make the directory '%s' for the crash trace: %s; playing on without one",
                traceDirectory.c_str(), std::strerror(errno));
        return nullptr;
    }
    return openTraceFile(traceDirectory + "/" + traceFileName);
}

// Each distinct warning is echoed once on standard error, on one line: level
// and sound designers see what went wrong without a flood of repeats.
void echoWarningOnce(const char* message) {
    static std::mutex lock;
    static std::set<std::string> seen;
    std::lock_guard<std::mutex> guard(lock);
    if (!seen.insert(message).second) return;
    std::string line = message;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "halcyra: warning: %s\n", line.c_str());
}

}  // namespace

void DebugSetNoticeFunction(DebugNoticeFunction show) {
    showNotice = show;
}

DebugFatalThrowScope::DebugFatalThrowScope() : previous(fatalThrows) {
    fatalThrows = true;
}

DebugFatalThrowScope::~DebugFatalThrowScope() {
    fatalThrows = previous;
}

void DebugOpenTrace(TraceHome home) {
    mainThread = std::this_thread::get_id();
    traceFile =
        home == TRACE_IN_STATE_DIRECTORY ? openTraceInStateDirectory() : openTraceInWorkingDirectory();
    // The crash notice names no trace that was never written.
    if (traceFile == nullptr) traceDirectory.clear();
    std::atexit(DebugOnExit);
    std::set_new_handler(onNewFailure);
    // backtrace loads its unwinder on first use, which allocates: do it now,
    // while an allocation failure cannot be the reason for the report.
    void* warmUp[1];
    backtrace(warmUp, 1);
}

std::string DebugStateDirectory(const char* xdgStateHome, const char* home) {
    if (xdgStateHome != nullptr && xdgStateHome[0] == '/')
        return std::string(xdgStateHome) + "/" + stateFolderName;
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/" + stateFolderName;
    return "";
}

[[gnu::noinline]] void DebugAllocationFailure(const char* file, const char* function, int line) {
    reportFatal(allocationFailureMessage, file, function, line);
    terminateAfterFatal(allocationFailureMessage);
}

[[gnu::noinline]] void DebugFatalError(const char* format, const char* file, const char* function, int line,
                                       ...) {
    char message[maxMessageLength + 1];
    va_list args;
    va_start(args, line);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    reportFatal(message, file, function, line);
    terminateAfterFatal(message);
}

void DebugWarning(const char* format, const char* /*file*/, const char* /*function*/, int line, ...) {
    char message[maxMessageLength];
    va_list args;
    va_start(args, line);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    echoWarningOnce(message);
}

void DebugFormatCrashNotice(char* text, size_t size, const char* directory) {
    const char* ellipsis = "...";
    const size_t fixedLength = std::strlen(crashNotice) + std::strlen("\n\n/") + std::strlen(traceFileName);
    if (directory == nullptr || size <= fixedLength + std::strlen(ellipsis) + 1) {
        std::snprintf(text, size, "%s", crashNotice);
        return;
    }
    const size_t room = size - 1 - fixedLength;
    const size_t length = std::strlen(directory);
    const bool fits = length <= room;
    const char* shown = fits ? directory : directory + length - (room - std::strlen(ellipsis));
    std::snprintf(text, size, "%s\n\n%s%s/%s", crashNotice, fits ? "" : ellipsis, shown, traceFileName);
}

bool DebugWorkerFailed() {
    return workerFailed.load(std::memory_order_acquire);
}

void DebugEndIfWorkerFailed() {
    if (!DebugWorkerFailed()) return;
    crashed = true;
    std::exit(1);
}

void DebugOnExit() {
    if (crashed) showCrashNotice();
    if (traceFile != nullptr) {
        std::fclose(traceFile);
        traceFile = nullptr;
    }
}
