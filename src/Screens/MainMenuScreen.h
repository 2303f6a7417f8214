// The title menu: the game's title over the backdrop of the opening, and
// below it "Play" starts a new game, "Options" opens the options over it,
// "Credits" shows the credits, "Exit" ends the game. With a saved game it
// opens on "Continue", and "Play" is "New Game". Shown after the splash,
// after the credits and from the pause menu.
#pragma once

#include "Engine/Kestrel.h"
#include "Screens/MenuScreen.h"
#include "Util/Vector2.h"

#include <memory>

struct TextureContent;

class MainMenuScreen final : public MenuScreen {
public:
    MainMenuScreen();

    const char* typeName() const override { return "MainMenuScreen"; }
    void loadContent() override;
    void draw(float dt) override;

private:
    TextureContent* backdrop = nullptr;
    KEMeshHandle backdropMesh;
    TextureContent* title = nullptr;
    KEMeshHandle titleMesh;
    Vector2 titlePosition{};

    void confirm(const char* text) override;
    // Carries out the choice once the menu has faded out.
    void onChoiceMade();
};

std::unique_ptr<MainMenuScreen> new_MainMenuScreen();

// Where "Play" starts: outside the house.
inline constexpr char FIRST_ROOM[] = "Assets/FloorTemplate/FinalRooms/IntroEnd.json";
