#include "Audio/EventProject.h"

#include "Audio/ReverbPresets.h"
#include "Content/Json.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <set>

namespace {

constexpr int MAX_INSTANCES = 64;
constexpr float MAX_GAIN = 4.0f;
constexpr float MIN_PITCH = 0.25f;
constexpr float MAX_PITCH = 4.0f;
constexpr float MAX_SECONDS = 600.0f;
constexpr float MAX_PARAMETER_MAGNITUDE = 1e6f;

// The first fault of a project; the reader stops there.
struct ProjectError {
    std::string message;
};

std::string quoted(std::string_view text) {
    std::string result(1, '"');
    result.append(text);
    result.push_back('"');
    return result;
}

std::string stringOf(const json_value* value) {
    return std::string(value->u.string.ptr, value->u.string.length);
}

bool isNumber(const json_value* value) {
    return value->type == json_integer || value->type == json_double;
}

double numberOf(const json_value* value) {
    return value->type == json_integer ? static_cast<double>(value->u.integer) : value->u.dbl;
}

std::string shortNumber(double number) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", number);
    return text;
}

// Compared as the float it becomes, so that "to": 0.3 is not below "from":
// 0.3; the first test also keeps the conversion defined.
bool within(double number, float minimum, float maximum) {
    if (!(number >= minimum - 1.0 && number <= maximum + 1.0)) return false;
    float converted = static_cast<float>(number);
    return converted >= minimum && converted <= maximum;
}

// One JSON object of the project and where it sits, for messages.
class ObjectReader {
public:
    // json-parser keeps a key given twice, and lookups would only ever find
    // the first: that is a fault too.
    ObjectReader(const json_value* value, std::string place) : object(value), where(std::move(place)) {
        if (value->type != json_object) fail("is not a JSON object");
        std::set<std::string_view> keys;
        for (const json_object_entry& entry : members())
            if (!keys.emplace(entry.name, entry.name_length).second)
                fail("names " + quoted(entry.name) + " twice");
    }

    // Unknown keys are most often misspelt ones: they are faults.
    void allowOnly(std::initializer_list<const char*> keys) const {
        for (const auto& entry : members()) {
            bool known = std::any_of(keys.begin(), keys.end(),
                                     [&](const char* key) { return std::strcmp(key, entry.name) == 0; });
            if (!known) fail("has an unknown key " + quoted(entry.name));
        }
    }

    std::span<const json_object_entry> members() const {
        return {object->u.object.values, object->u.object.length};
    }

    const json_value* find(const char* key) const { return JsonObjectFind(object, key); }

    const json_value* require(const char* key, json_type type, const char* typeName) const {
        const json_value* value = find(key);
        if (value == nullptr) fail("needs " + quoted(key));
        if (value->type != type) fail(quoted(key) + " is not " + typeName);
        return value;
    }

    float requiredNumber(const char* key, float minimum, float maximum) const {
        const json_value* value = find(key);
        if (value == nullptr) fail("needs " + quoted(key));
        return numberIn(value, key, minimum, maximum);
    }

    int integer(const char* key, int fallback, int minimum, int maximum) const {
        const json_value* value = find(key);
        if (value == nullptr) return fallback;
        if (value->type != json_integer) fail(quoted(key) + " is not a whole number");
        return static_cast<int>(
            numberIn(value, key, static_cast<float>(minimum), static_cast<float>(maximum)));
    }

    float number(const char* key, float fallback, float minimum, float maximum) const {
        const json_value* value = find(key);
        return value == nullptr ? fallback : numberIn(value, key, minimum, maximum);
    }

    float numberIn(const json_value* value, const char* key, float minimum, float maximum) const {
        if (!isNumber(value)) fail(quoted(key) + " is not a number");
        double number = numberOf(value);
        if (!within(number, minimum, maximum))
            fail(quoted(key) + " is " + shortNumber(number) + ", outside " + shortNumber(minimum) + " to " +
                 shortNumber(maximum));
        return static_cast<float>(number);
    }

    bool boolean(const char* key, bool fallback) const {
        const json_value* value = find(key);
        if (value == nullptr) return fallback;
        if (value->type != json_boolean) fail(quoted(key) + " is not true or false");
        return value->u.boolean != 0;
    }

    std::string string(const char* key) const {
        std::string text = stringOf(require(key, json_string, "a string"));
        if (text.empty()) fail(quoted(key) + " is empty");
        return text;
    }

    [[noreturn]] void fail(const std::string& what) const { throw ProjectError{where + ": " + what}; }

    const std::string& place() const { return where; }

private:
    const json_value* object;
    std::string where;
};

class EventReader {
public:
    EventReader(const json_value* value, std::string place, std::span<const std::string> projectCategories)
        : fields(value, std::move(place)), categories(projectCategories) {}

    EventDefinition read(std::string name) {
        fields.allowOnly({"category", "volume", "loop", "fadeOut", "maxInstances", "parameters", "layers"});
        event.name = std::move(name);
        if (fields.find("category") != nullptr) event.category = categoryIndex(fields.string("category"));
        event.volume = fields.number("volume", 1.0f, 0.0f, 1.0f);
        event.loop = fields.boolean("loop", false);
        event.fadeOut = fields.number("fadeOut", 0.0f, 0.0f, MAX_SECONDS);
        event.maxInstances = fields.integer("maxInstances", 4, 1, MAX_INSTANCES);
        if (const json_value* parameters = fields.find("parameters")) readParameters(parameters);
        readLayers(fields.require("layers", json_array, "a list"));
        return std::move(event);
    }

private:
    size_t categoryIndex(const std::string& name) const {
        auto found = std::find(categories.begin(), categories.end(), name);
        if (found == categories.end())
            fields.fail("names the category " + quoted(name) + ", which \"categories\" does not list");
        return static_cast<size_t>(found - categories.begin());
    }

    void readParameters(const json_value* value) {
        ObjectReader parameters(value, fields.place() + " \"parameters\"");
        for (const json_object_entry& entry : parameters.members())
            event.parameters.push_back(readParameter(entry));
    }

    ParameterDefinition readParameter(const json_object_entry& entry) const {
        ObjectReader parameter(entry.value, "parameter " + quoted(entry.name) + " of " + fields.place());
        parameter.allowOnly({"min", "max", "default"});
        ParameterDefinition definition{entry.name};
        definition.minimum =
            parameter.requiredNumber("min", -MAX_PARAMETER_MAGNITUDE, MAX_PARAMETER_MAGNITUDE);
        definition.maximum = parameter.requiredNumber("max", definition.minimum, MAX_PARAMETER_MAGNITUDE);
        definition.initial =
            parameter.number("default", definition.minimum, definition.minimum, definition.maximum);
        return definition;
    }

    void readLayers(const json_value* layers) {
        if (layers->u.array.length == 0) fields.fail("has no layers");
        for (unsigned i = 0; i < layers->u.array.length; ++i)
            event.layers.push_back(readLayer(layers->u.array.values[i], i + 1));
    }

    LayerDefinition readLayer(const json_value* value, unsigned number) const {
        ObjectReader layer(value, "layer " + std::to_string(number) + " of " + fields.place());
        layer.allowOnly({"file", "variants", "stream", "gain", "pitch", "delay"});
        LayerDefinition definition;
        const json_value* variants = layer.find("variants");
        if ((layer.find("file") == nullptr) == (variants == nullptr))
            layer.fail("needs either \"file\" or \"variants\"");
        if (variants != nullptr) definition.variants = readVariants(layer, variants);
        else definition.variants.push_back({layer.string("file")});
        if (layer.find("stream") != nullptr)
            definition.streaming = layer.boolean("stream", false) ? Streaming::Always : Streaming::Never;
        definition.gain = readCurve(layer, "gain", 0.0f, MAX_GAIN);
        definition.pitch = readCurve(layer, "pitch", MIN_PITCH, MAX_PITCH);
        definition.delay = layer.number("delay", 0.0f, 0.0f, MAX_SECONDS);
        return definition;
    }

    std::vector<VariantDefinition> readVariants(const ObjectReader& layer, const json_value* list) const {
        if (list->type != json_array) layer.fail("\"variants\" is not a list");
        if (list->u.array.length == 0) layer.fail("has no variants");
        std::vector<VariantDefinition> variants;
        for (unsigned i = 0; i < list->u.array.length; ++i) {
            ObjectReader variant(list->u.array.values[i],
                                 "variant " + std::to_string(i + 1) + " of " + layer.place());
            variants.push_back(readVariant(variant));
        }
        return variants;
    }

    VariantDefinition readVariant(const ObjectReader& variant) const {
        variant.allowOnly({"file", "parameter", "from", "to"});
        VariantDefinition definition{variant.string("file")};
        if (variant.find("parameter") == nullptr) {
            if (variant.find("from") != nullptr || variant.find("to") != nullptr)
                variant.fail("has a range but no \"parameter\"");
            return definition;
        }
        definition.parameter = parameterIndex(variant, variant.string("parameter"));
        definition.from = variant.requiredNumber("from", -MAX_PARAMETER_MAGNITUDE, MAX_PARAMETER_MAGNITUDE);
        definition.to = variant.requiredNumber("to", definition.from, MAX_PARAMETER_MAGNITUDE);
        return definition;
    }

    ParameterCurve readCurve(const ObjectReader& layer, const char* key, float minimum, float maximum) const {
        const json_value* value = layer.find(key);
        if (value == nullptr) return {};
        if (isNumber(value)) return {-1, layer.numberIn(value, key, minimum, maximum), {}};
        ObjectReader curve(value, quoted(key) + " of " + layer.place());
        curve.allowOnly({"parameter", "curve"});
        ParameterCurve definition;
        definition.parameter = parameterIndex(curve, curve.string("parameter"));
        const json_value* points = curve.require("curve", json_array, "a list of [x, y] points");
        if (points->u.array.length == 0) curve.fail("has no points");
        for (unsigned i = 0; i < points->u.array.length; ++i)
            definition.points.push_back(readPoint(curve, points->u.array.values[i], minimum, maximum));
        bool ordered = std::is_sorted(definition.points.begin(), definition.points.end(),
                                      [](const CurvePoint& a, const CurvePoint& b) { return a.x < b.x; });
        if (!ordered) curve.fail("has points whose x goes down");
        return definition;
    }

    CurvePoint readPoint(const ObjectReader& curve, const json_value* point, float minimum,
                         float maximum) const {
        if (point->type != json_array || point->u.array.length != 2)
            curve.fail("has a point that is not [x, y]");
        float x =
            curve.numberIn(point->u.array.values[0], "x", -MAX_PARAMETER_MAGNITUDE, MAX_PARAMETER_MAGNITUDE);
        float y = curve.numberIn(point->u.array.values[1], "y", minimum, maximum);
        return {x, y};
    }

    int parameterIndex(const ObjectReader& user, const std::string& name) const {
        for (size_t i = 0; i < event.parameters.size(); ++i)
            if (event.parameters[i].name == name) return static_cast<int>(i);
        user.fail("names the parameter " + quoted(name) + ", which " + fields.place() + " does not have");
    }

    ObjectReader fields;
    std::span<const std::string> categories;
    EventDefinition event;
};

GroupDefinition readGroup(const json_object_entry& entry, std::span<const std::string> categories) {
    ObjectReader events(entry.value, "group " + quoted(entry.name));
    GroupDefinition group{entry.name, {}};
    for (const json_object_entry& event : events.members()) {
        EventReader reader(event.value, "event " + quoted(group.path + "/" + event.name), categories);
        group.events.push_back(reader.read(event.name));
    }
    return group;
}

AudioReverbProperties readReverbPreset(const json_object_entry& entry) {
    ObjectReader preset(entry.value, "reverb preset " + quoted(entry.name));
    preset.allowOnly(
        {"base", "decayTime", "gain", "density", "diffusion", "reflectionsGain", "lateReverbGain"});
    if (std::strlen(entry.name) >= sizeof AudioReverbProperties::name)
        preset.fail("has a name longer than " + std::to_string(sizeof AudioReverbProperties::name - 1) +
                    " characters");
    std::string base = preset.string("base");
    std::optional<AudioReverbProperties> properties = ReverbPresetFind(base);
    if (!properties)
        preset.fail("has an unknown base " + quoted(base) + " (one of " + ReverbPresetNames() + ")");
    std::strcpy(properties->name, entry.name);
    properties->decayTime = preset.number("decayTime", properties->decayTime, 0.1f, 20.0f);
    properties->gain = preset.number("gain", properties->gain, 0.0f, 1.0f);
    properties->density = preset.number("density", properties->density, 0.0f, 1.0f);
    properties->diffusion = preset.number("diffusion", properties->diffusion, 0.0f, 1.0f);
    properties->reflectionsGain = preset.number("reflectionsGain", properties->reflectionsGain, 0.0f, 3.16f);
    properties->lateReverbGain = preset.number("lateReverbGain", properties->lateReverbGain, 0.0f, 10.0f);
    return *properties;
}

std::vector<std::string> readCategories(const ObjectReader& project) {
    std::vector<std::string> categories{"master"};
    const json_value* list = project.find("categories");
    if (list == nullptr) return categories;
    if (list->type != json_array) project.fail("\"categories\" is not a list of names");
    for (unsigned i = 0; i < list->u.array.length; ++i) {
        const json_value* name = list->u.array.values[i];
        if (name->type != json_string || name->u.string.length == 0)
            project.fail("\"categories\" holds something that is not a name");
        if (std::find(categories.begin(), categories.end(), stringOf(name)) == categories.end())
            categories.push_back(stringOf(name));
    }
    return categories;
}

EventProject readProject(const json_value* document) {
    ObjectReader project(document, "the project");
    project.allowOnly({"project", "categories", "reverbPresets", "groups"});
    EventProject result;
    result.categories = readCategories(project);
    if (const json_value* presets = project.find("reverbPresets")) {
        ObjectReader list(presets, "\"reverbPresets\"");
        for (const json_object_entry& entry : list.members())
            result.reverbPresets.push_back(readReverbPreset(entry));
    }
    ObjectReader groups(project.require("groups", json_object, "an object of groups"), "\"groups\"");
    for (const json_object_entry& entry : groups.members())
        result.groups.push_back(readGroup(entry, result.categories));
    return result;
}

}  // namespace

float ParameterCurve::valueAt(std::span<const float> values) const {
    if (parameter < 0) return constant;
    float x = values[static_cast<size_t>(parameter)];
    if (x <= points.front().x) return points.front().y;
    if (x >= points.back().x) return points.back().y;
    // previous.x <= x < next.x, so the span is never zero.
    auto next = std::upper_bound(points.begin(), points.end(), x,
                                 [](float value, const CurvePoint& point) { return value < point.x; });
    auto previous = next - 1;
    return previous->y + (next->y - previous->y) * (x - previous->x) / (next->x - previous->x);
}

bool VariantDefinition::holds(std::span<const float> values) const {
    if (parameter < 0) return true;
    float value = values[static_cast<size_t>(parameter)];
    return value >= from && value <= to;
}

const VariantDefinition& LayerDefinition::choose(std::span<const float> values) const {
    for (const VariantDefinition& variant : variants)
        if (variant.holds(values)) return variant;
    return variants.front();
}

std::optional<EventProject> EventProjectRead(std::string_view text, std::string* problem) {
    JsonDocument document = JsonParse(text.data(), text.size());
    if (document == nullptr) {
        *problem = "is not valid JSON";
        return std::nullopt;
    }
    try {
        return readProject(document.get());
    } catch (const ProjectError& error) {
        *problem = error.message;
        return std::nullopt;
    }
}
