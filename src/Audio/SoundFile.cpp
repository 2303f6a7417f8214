#include "Audio/SoundFile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

constexpr int MIN_SAMPLE_RATE = 1000;
constexpr int MAX_SAMPLE_RATE = 384000;
constexpr long long MAX_DECODED_SECONDS = 600;
constexpr size_t DECODE_BLOCK_FRAMES = 16384;

int16_t toSample(float value) {
    if (!(value == value)) return 0;  // NaN in a broken float file
    return static_cast<int16_t>(std::lrint(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

bool supported(const SF_INFO& info) {
    return info.channels >= 1 && info.channels <= 2 && info.samplerate >= MIN_SAMPLE_RATE &&
           info.samplerate <= MAX_SAMPLE_RATE;
}

}  // namespace

AudioResult SoundFile::open(const std::string& path, std::unique_ptr<SoundFile>* file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return AUDIO_ERR_FILE_NOT_FOUND;
    SF_INFO info{};
    SNDFILE* handle = sf_open(path.c_str(), SFM_READ, &info);
    if (handle == nullptr) return AUDIO_ERR_FILE_BAD;
    if (!supported(info)) {
        sf_close(handle);
        return AUDIO_ERR_FILE_BAD;
    }
    bool framesKnown = info.frames >= 0 && info.frames < SF_COUNT_MAX;
    file->reset(
        new SoundFile(handle, SoundFormat{info.channels, info.samplerate, framesKnown ? info.frames : -1}));
    return AUDIO_OK;
}

SoundFile::~SoundFile() {
    sf_close(handle);
}

size_t SoundFile::read(std::span<int16_t> samples) {
    const size_t channels = static_cast<size_t>(soundFormat.channels);
    const size_t wanted = samples.size() / channels;
    size_t done = 0;
    while (done < wanted) {
        size_t frames = std::min(wanted - done, block.size() / channels);
        sf_count_t got = sf_readf_float(handle, block.data(), static_cast<sf_count_t>(frames));
        if (got <= 0) break;
        std::transform(block.begin(), block.begin() + got * static_cast<sf_count_t>(channels),
                       samples.begin() + static_cast<std::ptrdiff_t>(done * channels), toSample);
        done += static_cast<size_t>(got);
    }
    return done;
}

bool SoundFile::rewind() {
    return sf_seek(handle, 0, SEEK_SET) == 0;
}

long long SoundFile::readAll(std::vector<int16_t>* samples) {
    const size_t channels = static_cast<size_t>(soundFormat.channels);
    const size_t limit = static_cast<size_t>(MAX_DECODED_SECONDS * soundFormat.sampleRate) * channels;
    samples->clear();
    // A header may lie about the length: it only sizes the first allocation.
    if (soundFormat.lengthKnown())
        samples->reserve(std::min(limit, static_cast<size_t>(soundFormat.frames) * channels));
    while (samples->size() < limit) {
        size_t decoded = samples->size();
        samples->resize(std::min(limit, decoded + DECODE_BLOCK_FRAMES * channels));
        size_t frames = read(std::span(*samples).subspan(decoded));
        samples->resize(decoded + frames * channels);
        if (frames == 0) break;
    }
    return static_cast<long long>(samples->size() / channels);
}
