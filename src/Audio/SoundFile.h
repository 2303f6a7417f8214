// Sound files through libsndfile (WAV, OGG Vorbis, FLAC, MP3; mono or
// stereo): the format from the header, and 16-bit samples read in blocks.
#pragma once

#include "Audio/EventAudio.h"

#include <sndfile.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct SoundFormat {
    int channels = 0;
    int sampleRate = 0;
    long long frames = -1;  // -1 when the header does not tell

    bool lengthKnown() const { return frames >= 0; }
    double seconds() const { return static_cast<double>(frames) / sampleRate; }
};

class SoundFile {
public:
    // AUDIO_ERR_FILE_NOT_FOUND, AUDIO_ERR_FILE_BAD (unreadable, or more than
    // two channels) or AUDIO_OK with the file open at its start.
    static AudioResult open(const std::string& path, std::unique_ptr<SoundFile>* file);
    ~SoundFile();
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    const SoundFormat& format() const { return soundFormat; }
    // Fills samples (interleaved) from the current position with whole frames;
    // returns the frames read, 0 at the end. Never allocates.
    size_t read(std::span<int16_t> samples);
    bool rewind();
    // Everything from the current position, at most ten minutes of it;
    // returns the frames read.
    long long readAll(std::vector<int16_t>* samples);

private:
    SoundFile(SNDFILE* file, const SoundFormat& format) : handle(file), soundFormat(format) {}

    SNDFILE* handle;
    SoundFormat soundFormat;
    std::array<float, 4096> block{};
};
