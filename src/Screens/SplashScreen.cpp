#include "Screens/SplashScreen.h"

#include "Content/Settings.h"
#include "Debug/Debug.h"
#include "Screens/BrightnessScreen.h"
#include "Screens/CardScreen.h"
#include "Screens/MainMenuScreen.h"

namespace {

constexpr float START_DELAY = 0.5f;
constexpr float SHOWN_SECONDS = 3.6f;

// The splash is shown once per process, after the loading screen.
bool sequenceStarted = false;

// The first start asks for the brightness before the menu.
std::unique_ptr<Screen> screenAfterSplash() {
    if (SettingsCurrent().brightnessChosen) return new_MainMenuScreen();
    return new_BrightnessScreen(true);
}

class SplashScreen final : public CardScreen {
public:
    SplashScreen() : CardScreen({{"Assets/Textures/IntroVelmora.png"}}, SHOWN_SECONDS) {
        onTransitionedOff = [](Screen*) { addScreen(screenAfterSplash()); };
    }

    const char* typeName() const override { return "SplashScreen"; }

    void update(float dt, bool otherHasFocus, bool covered) override {
        CardScreen::update(dt, otherHasFocus, covered);
        if (sequenceStarted) return;
        sequenceStarted = true;
        showCardAfter(START_DELAY);
    }

private:
    void onLastCardGone() override { exitScreen(); }
};

}  // namespace

std::unique_ptr<Screen> new_SplashScreen() {
    return DEBUG_MAKE_UNIQUE(SplashScreen, "new_SplashScreen");
}
