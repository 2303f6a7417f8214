#include "Audio/ReverbPresets.h"

#include <AL/efx-presets.h>

#include <algorithm>
#include <iterator>

namespace {

struct NamedPreset {
    const char* name;
    EFXEAXREVERBPROPERTIES values;
};

const NamedPreset PRESETS[] = {
    {"GENERIC", EFX_REVERB_PRESET_GENERIC},
    {"PADDEDCELL", EFX_REVERB_PRESET_PADDEDCELL},
    {"ROOM", EFX_REVERB_PRESET_ROOM},
    {"BATHROOM", EFX_REVERB_PRESET_BATHROOM},
    {"LIVINGROOM", EFX_REVERB_PRESET_LIVINGROOM},
    {"STONEROOM", EFX_REVERB_PRESET_STONEROOM},
    {"AUDITORIUM", EFX_REVERB_PRESET_AUDITORIUM},
    {"CONCERTHALL", EFX_REVERB_PRESET_CONCERTHALL},
    {"HALL", EFX_REVERB_PRESET_CONCERTHALL},
    {"CAVE", EFX_REVERB_PRESET_CAVE},
    {"ARENA", EFX_REVERB_PRESET_ARENA},
    {"HANGAR", EFX_REVERB_PRESET_HANGAR},
    {"CARPETEDHALLWAY", EFX_REVERB_PRESET_CARPETEDHALLWAY},
    {"HALLWAY", EFX_REVERB_PRESET_HALLWAY},
    {"STONECORRIDOR", EFX_REVERB_PRESET_STONECORRIDOR},
    {"ALLEY", EFX_REVERB_PRESET_ALLEY},
    {"FOREST", EFX_REVERB_PRESET_FOREST},
    {"CITY", EFX_REVERB_PRESET_CITY},
    {"MOUNTAINS", EFX_REVERB_PRESET_MOUNTAINS},
    {"QUARRY", EFX_REVERB_PRESET_QUARRY},
    {"PLAIN", EFX_REVERB_PRESET_PLAIN},
    {"PARKINGLOT", EFX_REVERB_PRESET_PARKINGLOT},
    {"SEWERPIPE", EFX_REVERB_PRESET_SEWERPIPE},
    {"UNDERWATER", EFX_REVERB_PRESET_UNDERWATER},
    {"DRUGGED", EFX_REVERB_PRESET_DRUGGED},
    {"DIZZY", EFX_REVERB_PRESET_DIZZY},
    {"PSYCHOTIC", EFX_REVERB_PRESET_PSYCHOTIC},
};

AudioReverbProperties fromEfx(const EFXEAXREVERBPROPERTIES& efx) {
    return AudioReverbProperties{{},
                                 efx.flDensity,
                                 efx.flDiffusion,
                                 efx.flGain,
                                 efx.flGainHF,
                                 efx.flGainLF,
                                 efx.flDecayTime,
                                 efx.flDecayHFRatio,
                                 efx.flDecayLFRatio,
                                 efx.flReflectionsGain,
                                 efx.flReflectionsDelay,
                                 efx.flLateReverbGain,
                                 efx.flLateReverbDelay,
                                 efx.flEchoTime,
                                 efx.flEchoDepth,
                                 efx.flModulationTime,
                                 efx.flModulationDepth,
                                 efx.flAirAbsorptionGainHF,
                                 efx.flHFReference,
                                 efx.flLFReference,
                                 efx.flRoomRolloffFactor,
                                 efx.iDecayHFLimit};
}

}  // namespace

std::optional<AudioReverbProperties> ReverbPresetFind(std::string_view base) {
    auto found = std::find_if(std::begin(PRESETS), std::end(PRESETS),
                              [base](const NamedPreset& preset) { return base == preset.name; });
    if (found == std::end(PRESETS)) return std::nullopt;
    return fromEfx(found->values);
}

const std::string& ReverbPresetNames() {
    static const std::string names = [] {
        std::string joined;
        for (const NamedPreset& preset : PRESETS)
            joined.append(joined.empty() ? "" : ", ").append(preset.name);
        return joined;
    }();
    return names;
}
