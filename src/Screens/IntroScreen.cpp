#include "Screens/IntroScreen.h"

#include "Audio/SoundManager.h"
#include "Debug/Debug.h"
#include "Engine/Kestrel.h"
#include "Screens/CardScreen.h"
#include "Screens/PlayScreen.h"
#include "Util/TimeoutManager.h"

namespace {

constexpr float START_DELAY = 1.5f;
constexpr float FIRST_CARD_AT = 6.75f;
constexpr float CARD_EVERY = 7.95f;
constexpr float SHOWN_SECONDS = 6.6f;

class IntroScreen final : public CardScreen {
public:
    explicit IntroScreen(const std::string& nextRoom)
        : CardScreen({{"Assets/Textures/IntroMirefell.png"},
                      {"Assets/Textures/IntroLogo.png"},
                      {"Assets/Textures/IntroTime.png"}},
                     SHOWN_SECONDS) {
        onTransitionedOff = [nextRoom](Screen*) {
            PlayState inside;
            inside.entryDoor.target = nextRoom;
            addScreen(new_PlayScreen(&inside));
        };
    }

    const char* typeName() const override { return "IntroScreen"; }

    // Every intro starts its own sequence, also the second of a process.
    void update(float dt, bool otherHasFocus, bool covered) override {
        CardScreen::update(dt, otherHasFocus, covered);
        elapsed += dt;
        if (startDelay >= START_DELAY) return;
        startDelay += dt;
        if (startDelay < START_DELAY) return;
        startDelay = START_DELAY;
        startSequence();
    }

    void handleInput(float) override {
        if (elapsed <= INTRO_SKIPPABLE_AFTER || !KEInputAnyKeyDown()) return;
        ClearTimeouts();
        SoundManagerPlayDoorBreak();
        exitScreen();
    }

private:
    float elapsed = 0.0f;
    float startDelay = 0.0f;

    void startSequence() {
        for (int card = 0; card < static_cast<int>(cards.size()); ++card)
            showCardAfter(FIRST_CARD_AT + CARD_EVERY * static_cast<float>(card));
        SoundManagerSetState(MS_SHOTS);
    }

    void onLastCardGone() override {
        SoundManagerPlayDoorBreak();
        exitScreen();
    }
};

}  // namespace

std::unique_ptr<Screen> new_IntroScreen(const std::string& nextRoom) {
    return DEBUG_MAKE_UNIQUE(IntroScreen, "new_IntroScreen", nextRoom);
}
