// Properties objects of tiles and map objects, each property read back as
// the kind its name gives it.
#include "Content/Json.h"
#include "Content/Properties.h"
#include "FuzzSupport.h"

#include <memory>

namespace {

void readBack(const Properties& properties) {
    for (uint32_t i = 0; i < properties.count; ++i) {
        const Property* property = PropertiesGet(&properties, properties.entries[i].name.c_str());
        switch (property->kind) {
            case PT_BOOL:
                property->asBool();
                break;
            case PT_INT:
                property->asInt();
                break;
            case PT_DECIMAL:
                property->asDecimal();
                break;
            case PT_STRING:
                property->asString();
                break;
        }
    }
}

void loadProperties(const std::string& text) {
    const JsonDocument document = JsonParse(text.c_str(), text.size());
    if (!document) return;
    std::unique_ptr<Properties> properties = PropertiesLoad(document.get(), "Properties.json");
    if (properties) readBack(*properties);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The parser reads the byte past the end, as after ContentManagerLoadString.
    std::string text(reinterpret_cast<const char*>(data), size);
    runFuzzInput([&] { loadProperties(text); });
    return 0;
}
