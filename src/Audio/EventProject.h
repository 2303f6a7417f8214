// The event project as the game reads it: groups of events with their
// parameters and layers, the categories and the reverb presets. The file
// format is described for sound designers in docs/audio.md.
#pragma once

#include "Audio/AudioOutput.h"
#include "Audio/EventAudio.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct CurvePoint {
    float x;
    float y;
};

// A layer's gain or pitch: a constant, or a piecewise linear curve over one of
// the event's parameters, flat beyond its ends.
struct ParameterCurve {
    int parameter = -1;  // index into the event's parameters; -1 for the constant
    float constant = 1.0f;
    std::vector<CurvePoint> points;  // x never decreasing

    float valueAt(std::span<const float> values) const;
};

struct VariantDefinition {
    std::string file;
    int parameter = -1;  // -1: chosen whatever the values
    float from = 0.0f;
    float to = 0.0f;

    bool holds(std::span<const float> values) const;
};

struct LayerDefinition {
    std::vector<VariantDefinition> variants;  // a plain "file" is the only variant
    Streaming streaming = Streaming::Auto;
    ParameterCurve gain;
    ParameterCurve pitch;
    float delay = 0.0f;

    // The first variant that holds, else the first.
    const VariantDefinition& choose(std::span<const float> values) const;
};

struct ParameterDefinition {
    std::string name;
    float minimum = 0.0f;
    float maximum = 1.0f;
    float initial = 0.0f;
};

struct EventDefinition {
    std::string name;
    size_t category = 0;  // into the project's categories: master unless the event names one
    float volume = 1.0f;
    bool loop = false;
    float fadeOut = 0.0f;
    int maxInstances = 4;
    std::vector<ParameterDefinition> parameters;
    std::vector<LayerDefinition> layers;
};

struct GroupDefinition {
    std::string path;
    std::vector<EventDefinition> events;
};

struct EventProject {
    std::vector<std::string> categories;               // "master" first
    std::vector<AudioReverbProperties> reverbPresets;  // each with its name
    std::vector<GroupDefinition> groups;
};

// The project in text, which must be NUL-terminated one past its length; or
// nothing, with the first fault found described in *problem.
std::optional<EventProject> EventProjectRead(std::string_view text, std::string* problem);
