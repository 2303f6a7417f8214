#include "Screens/KeysScreen.h"

#include "Audio/SoundManager.h"
#include "Content/ContentManager.h"
#include "Content/TextureFont.h"
#include "Debug/Debug.h"
#include "Engine/Kestrel.h"
#include "Engine/KeyCodes.h"
#include "Engine/Viewport.h"

#include <array>

namespace {

constexpr size_t RESTORE = ACTION_COUNT;
constexpr size_t BACK = ACTION_COUNT + 1;
constexpr size_t LINES = ACTION_COUNT + 2;
constexpr int CUE_MOVE = 0;
constexpr int CUE_YES = 1;
constexpr int CUE_NO = 2;
constexpr float TEXT_GAP = 8.0f;
// The two columns of keys right of the actions.
constexpr float KEYS_GAP = 40.0f;
constexpr float KEY_COLUMN = 110.0f;
constexpr char HINT[] = "Left and Right pick a key, Enter changes it, Backspace clears the second";
constexpr char WAITING[] = "Press the new key, or Escape to leave it as it was";
constexpr char PAD_LAYOUT[] =
    "Gamepad: the stick or the pad walks, A interacts and confirms, B closes a page, Start pauses";

// They live as long as the process, as their tweens may.
ChangingMenuLines<LINES> lines;

void writeLabels() {
    for (size_t action = 0; action < ACTION_COUNT; ++action)
        lines.labels[action] = actionLabel(static_cast<Action>(action));
    lines.labels[RESTORE] = "Restore Defaults";
    lines.labels[BACK] = "Back";
    lines.pointAtLabels();
}

std::span<MenuItem> labelledItems() {
    writeLabels();
    return lines.items;
}

// The key pressed this frame, or NO_KEY.
int keyPressed() {
    for (int key = 1; key < KEY_CODE_COUNT; ++key)
        if (KEInputCheckTriggered(key)) return key;
    return NO_KEY;
}

}  // namespace

KeysScreen::KeysScreen() : MenuScreen(labelledItems()), line(HINT) {
    transitionOnTime = 0.3f;
    transitionOffTime = 0.3f;
    easeOn = easeCubicIn;
    easeOff = easeCubicOut;
    dimBelow(1.0f);
    reserveRight(KEYS_GAP + 2 * KEY_COLUMN);
}

std::unique_ptr<KeysScreen> new_KeysScreen() {
    return DEBUG_MAKE_UNIQUE(KeysScreen, "new_KeysScreen");
}

void KeysScreen::loadContent() {
    textFont = ContentLoad<TextureFont>("Assets/Fonts/CreditText.fnt");
}

void KeysScreen::handleInput(float dt) {
    if (waiting) {
        capture();
        return;
    }
    const auto chosen = static_cast<size_t>(selectedIndex());
    if (KEInputCheckTriggered(KEY_ESCAPE)) {
        exitScreen();
        return;
    }
    if (chosen < ACTION_COUNT && KEInputCheckTriggered(KEY_BACKSPACE))
        clearSecondKey(static_cast<Action>(chosen));
    const bool left = KEInputCheckTriggered(KEY_LEFT), right = KEInputCheckTriggered(KEY_RIGHT);
    if (chosen < ACTION_COUNT && (left || right) && slot != (right ? 1u : 0u)) {
        slot = right ? 1 : 0;
        SoundManagerPlayInterface(CUE_MOVE);
    }
    MenuScreen::handleInput(dt);
}

void KeysScreen::confirm(const char*) {
    const auto chosen = static_cast<size_t>(selectedIndex());
    if (chosen == BACK) {
        exitScreen();
    } else if (chosen == RESTORE) {
        Settings next = SettingsCurrent();
        next.keys = Settings::defaultKeyBindings();
        SettingsChange(next);
        line = "The keys are back as the game came";
    } else {
        waiting = true;
        line = WAITING;
    }
}

// Enter itself was pressed the frame before: the next key is the new one.
void KeysScreen::capture() {
    const int key = keyPressed();
    if (key == NO_KEY) return;
    waiting = false;
    if (key == KEY_ESCAPE) {
        line = HINT;
        return;
    }
    Settings next = SettingsCurrent();
    const std::string refusal = bindKey(&next.keys, static_cast<Action>(selectedIndex()), slot, key);
    if (refusal.empty()) {
        SettingsChange(next);
        SoundManagerPlayInterface(CUE_YES);
        line = HINT;
    } else {
        SoundManagerPlayInterface(CUE_NO);
        line = refusal;
    }
}

// Every action keeps its first key.
void KeysScreen::clearSecondKey(Action action) {
    Settings next = SettingsCurrent();
    next.keys[static_cast<size_t>(action)][1] = NO_KEY;
    SettingsChange(next);
}

// Each action's keys in two columns; the one picked on the selected line in
// brackets, "..." while it waits for the new key.
void KeysScreen::drawKeys(float opacity) const {
    const float left = blockRight() + KEYS_GAP;
    const auto chosen = static_cast<size_t>(selectedIndex());
    for (size_t action = 0; action < ACTION_COUNT; ++action) {
        for (size_t each = 0; each < KEYS_PER_ACTION; ++each) {
            const bool picked = action == chosen && each == slot;
            const int key = SettingsCurrent().keys[action][each];
            const std::string name = picked && waiting ? "..." : key == NO_KEY ? "-" : keyName(key);
            Color colour = action == chosen ? MENU_HIGHLIGHT_COLOUR : colourWhite;
            colour.opacity = opacity;
            menuFont()->drawText(
                picked ? "[" + name + "]" : name,
                {left + static_cast<float>(each) * KEY_COLUMN, lineTop(static_cast<int32_t>(action))}, colour,
                ALIGN_LEFT);
        }
    }
}

void KeysScreen::draw(float dt) {
    MenuScreen::draw(dt);
    Color colour = colourWhite;
    colour.opacity = transitionOpacity();
    drawKeys(colour.opacity);
    const float middle = screenWidth() * 0.5f;
    const float below = lineTop(static_cast<int32_t>(LINES)) + TEXT_GAP;
    textFont->drawText(line, {middle, below}, colour, ALIGN_CENTER);
    colour.opacity *= 0.7f;
    textFont->drawText(PAD_LAYOUT, {middle, below + textFont->lineHeight + TEXT_GAP}, colour, ALIGN_CENTER);
}
