// The pause menu over the play screen, which stays visible and frozen
// through a dark veil: "Resume" (or Escape) goes back to the room, "Options"
// opens the options over it, "Main Menu" leaves the game for the title menu,
// where it can be continued from its last save, and "Exit To Desktop" ends
// the game.
#pragma once

#include "Screens/MenuScreen.h"

#include <memory>

class PauseScreen final : public MenuScreen {
public:
    PauseScreen();

    const char* typeName() const override { return "PauseScreen"; }
    void handleInput(float dt) override;

private:
    void confirm(const char* text) override;
};

std::unique_ptr<PauseScreen> new_PauseScreen();
