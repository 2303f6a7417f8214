// The title menu: "Play" starts a new game, "Credits" shows the credits,
// "Exit" ends the game. Shown after the splash and after the credits.
#pragma once

#include "Screens/MenuScreen.h"

#include <memory>

class MainMenuScreen final : public MenuScreen {
public:
    MainMenuScreen();

    const char* typeName() const override { return "MainMenuScreen"; }
    void loadContent() override;

private:
    void confirm(const char* text) override;
    // Carries out the choice once the menu has faded out.
    void onChoiceMade();
};

std::unique_ptr<MainMenuScreen> new_MainMenuScreen();

// Where "Play" starts: outside the house.
inline constexpr char FIRST_ROOM[] = "Assets/FloorTemplate/FinalRooms/IntroEnd.json";
