// The pause menu over the play screen, which stays visible and frozen
// through a dark veil: "Resume" (or Escape) goes back to the room, "Main
// Menu" leaves the game for the title menu, its progress dropped, and "Exit
// To Desktop" ends the game.
#pragma once

#include "Engine/Kestrel.h"
#include "Screens/MenuScreen.h"

#include <memory>

class PauseScreen final : public MenuScreen {
public:
    PauseScreen();

    const char* typeName() const override { return "PauseScreen"; }
    void loadContent() override;
    void handleInput(float dt) override;
    void draw(float dt) override;

private:
    KEMeshHandle overlay;

    void confirm(const char* text) override;
};

std::unique_ptr<PauseScreen> new_PauseScreen();
