#include "Content/Controls.h"

#include "Engine/Kestrel.h"

namespace {

template <typename Check>
bool anyKey(const std::array<int, KEYS_PER_ACTION>& keys, Check check) {
    for (int key : keys)
        if (key != NO_KEY && check(key)) return true;
    return false;
}

const std::array<int, KEYS_PER_ACTION>& boundKeys(Action action) {
    return SettingsCurrent().keys[static_cast<size_t>(action)];
}

const std::array<int, KEYS_PER_ACTION>& padKeys(Action action) {
    static const KeyBindings defaults = Settings::defaultKeyBindings();
    return defaults[static_cast<size_t>(action)];
}

}  // namespace

bool ControlsHeld(Action action) {
    return anyKey(boundKeys(action), KEInputCheckCurr) ||
           anyKey(padKeys(action), [](int key) { return KEInputCheckCurr(key) && KEInputCheckPadHeld(key); });
}

bool ControlsTriggered(Action action) {
    return anyKey(boundKeys(action), KEInputCheckTriggered) || anyKey(padKeys(action), [](int key) {
               return KEInputCheckTriggered(key) && KEInputCheckPadHeld(key);
           });
}
