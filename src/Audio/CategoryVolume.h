// A category's volume and the voices that sound in it. A voice plays at its
// own gain times its category's volume times master's, and a change of
// either is heard at once on every voice already sounding. Voices share the
// category, so one that outlives its project or its system stays safe.
#pragma once

#include "Audio/AudioOutput.h"

#include <memory>
#include <vector>

class CategoryVoice;

class CategoryVolume {
public:
    // Master has no parent; every other category has master.
    explicit CategoryVolume(std::shared_ptr<CategoryVolume> parentCategory = nullptr)
        : parent(std::move(parentCategory)) {}
    CategoryVolume(const CategoryVolume&) = delete;
    CategoryVolume& operator=(const CategoryVolume&) = delete;

    float volume() const { return own; }
    // Clamped to [0, 1], NaN as 0; false when that is the volume already.
    bool setVolume(float volume);
    // This volume times the parent's.
    float heard() const;

private:
    friend class CategoryVoice;

    std::shared_ptr<CategoryVolume> parent;
    float own = 1.0f;
    // Every voice sounding here or in a category below.
    std::vector<CategoryVoice*> voices;
};

// A voice of the output heard through the category (null: at its own gain
// alone); its gain() is what the output has. Null when the output has no
// voice left.
std::unique_ptr<Voice> playInCategory(Output& output, const std::shared_ptr<const Sample>& sample,
                                      const VoiceSettings& settings,
                                      const std::shared_ptr<CategoryVolume>& category);
