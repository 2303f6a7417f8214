#include "Audio/CategoryVolume.h"

#include <algorithm>

namespace {

float through(const std::shared_ptr<CategoryVolume>& category, float gain) {
    return category != nullptr ? gain * category->heard() : gain;
}

}  // namespace

// A voice of the output with the gain its owner sets, which the category's
// volumes scale on the way.
class CategoryVoice final : public Voice {
public:
    CategoryVoice(std::unique_ptr<Voice> played, float gain, std::shared_ptr<CategoryVolume> in)
        : voice(std::move(played)), category(std::move(in)), ownGain(gain) {
        for (CategoryVolume* each = category.get(); each != nullptr; each = each->parent.get())
            each->voices.push_back(this);
    }
    ~CategoryVoice() override {
        for (CategoryVolume* each = category.get(); each != nullptr; each = each->parent.get())
            std::erase(each->voices, this);
    }
    CategoryVoice(const CategoryVoice&) = delete;
    CategoryVoice& operator=(const CategoryVoice&) = delete;

    void setGain(float gain) override {
        ownGain = gain;
        remix();
    }
    void setPitch(float pitch) override { voice->setPitch(pitch); }
    float gain() const override { return voice->gain(); }
    void advance(double seconds) override { voice->advance(seconds); }
    bool finished() const override { return voice->finished(); }

    void remix() { voice->setGain(through(category, ownGain)); }

private:
    std::unique_ptr<Voice> voice;
    std::shared_ptr<CategoryVolume> category;
    float ownGain;
};

bool CategoryVolume::setVolume(float volume) {
    float clamped = volume >= 0.0f ? std::min(volume, 1.0f) : 0.0f;
    if (clamped == own) return false;
    own = clamped;
    for (CategoryVoice* voice : voices) voice->remix();
    return true;
}

float CategoryVolume::heard() const {
    return parent != nullptr ? own * parent->heard() : own;
}

std::unique_ptr<Voice> playInCategory(Output& output, const std::shared_ptr<const Sample>& sample,
                                      const VoiceSettings& settings,
                                      const std::shared_ptr<CategoryVolume>& category) {
    VoiceSettings heard = settings;
    heard.gain = through(category, settings.gain);
    std::unique_ptr<Voice> voice = output.play(sample, heard);
    if (voice == nullptr) return nullptr;
    return std::make_unique<CategoryVoice>(std::move(voice), settings.gain, category);
}
