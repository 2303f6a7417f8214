#include "Audio/AudioLog.h"

#include "Audio/EventAudio.h"

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

std::unique_ptr<FILE, FileCloser> logFile;
long logFrame = 0;

}  // namespace

bool AudioLogOpen(const char* path) {
    if (path == nullptr) return false;
    logFile.reset(std::fopen(path, "w"));
    return logFile != nullptr;
}

void AudioLogClose() {
    logFile.reset();
}

void AudioLogSetFrame(long frame) {
    logFrame = frame;
}

void AudioLogAction(const char* action, const char* name, const char* value) {
    if (logFile == nullptr) return;
    std::fprintf(logFile.get(), "%ld\t%s\t%s\t%s\n", logFrame, action, name, value != nullptr ? value : "-");
    std::fflush(logFile.get());
}

void AudioLogParameter(const char* event, const char* parameter, float value) {
    if (logFile == nullptr) return;
    std::fprintf(logFile.get(), "%ld\tparam\t%s:%s\t%g\n", logFrame, event, parameter,
                 static_cast<double>(value));
    std::fflush(logFile.get());
}

void AudioLogVolume(const char* category, float volume) {
    if (logFile == nullptr) return;
    std::fprintf(logFile.get(), "%ld\tvolume\t%s\t%g\n", logFrame, category, static_cast<double>(volume));
    std::fflush(logFile.get());
}
