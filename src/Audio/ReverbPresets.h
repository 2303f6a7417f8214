// The standard EFX reverb presets that a project's reverb preset starts
// from, by name ("HALL" is CONCERTHALL).
#pragma once

#include "Audio/EventAudio.h"

#include <optional>
#include <string>
#include <string_view>

// The preset's values with an empty name, or nothing for an unknown name.
std::optional<AudioReverbProperties> ReverbPresetFind(std::string_view base);
// The names ReverbPresetFind knows, for messages: "GENERIC, PADDEDCELL, ...".
const std::string& ReverbPresetNames();
