// The keys page, over the options: each action with its two keys. Left and
// Right pick the key, Enter waits for the new one (Escape leaves it as it
// was, Backspace clears the second key), a key another action holds is
// refused with a line saying which. "Restore Defaults" brings back the keys
// the game came with. The gamepad's layout is shown below; it is not bound.
#pragma once

#include "Content/Settings.h"
#include "Screens/MenuScreen.h"

#include <cstddef>
#include <memory>
#include <string>

class KeysScreen final : public MenuScreen {
public:
    KeysScreen();

    const char* typeName() const override { return "KeysScreen"; }
    void loadContent() override;
    void handleInput(float dt) override;
    void draw(float dt) override;

    // The line under the keys: a refusal or what to do.
    const std::string& message() const { return line; }
    bool isWaitingForKey() const { return waiting; }

private:
    TextureFont* textFont = nullptr;
    size_t slot = 0;       // the key picked on the selected line
    bool waiting = false;  // for the key to bind
    std::string line;

    void confirm(const char* text) override;
    void capture();
    void clearSecondKey(Action action);
    void drawKeys(float opacity) const;
};

std::unique_ptr<KeysScreen> new_KeysScreen();
