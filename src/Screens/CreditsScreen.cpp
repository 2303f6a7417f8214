#include "Screens/CreditsScreen.h"

#include "Audio/SoundManager.h"
#include "Content/ContentManager.h"
#include "Content/Json.h"
#include "Content/TextureFont.h"
#include "Debug/Debug.h"
#include "Engine/Viewport.h"
#include "Screens/MainMenuScreen.h"
#include "Util/Color.h"
#include "Util/TimeoutManager.h"
#include "Util/TweenManager.h"

#include <cstdlib>
#include <memory>

namespace {

constexpr float LINE_GAP = 25.0f;
constexpr float FIRST_SECTION_AT = 0.1f;
constexpr float SECTION_EVERY = 3.5f;
constexpr float FADE_SECONDS = 0.5f;
constexpr float SHOWN_SECONDS = 3.0f;
constexpr float SHOWN = 1.0f;
constexpr float GONE = 0.0f;
constexpr Color HEADING_COLOUR{0xFF582727u, 1.0f, 0.345f, 0.153f, 0.153f};

std::string stringMember(const json_value* section, const char* key, const char* missing, unsigned index,
                         const char* path) {
    const json_value* value = JsonObjectFind(section, key);
    if (value == nullptr) FATAL_ERROR("%s (%s, section %u)", missing, path, index);
    if (value->type != json_string)
        FATAL_ERROR("Credits section %u: \"%s\" is not a string (%s).", index, key, path);
    return {value->u.string.ptr, value->u.string.length};
}

}  // namespace

std::vector<CreditSection> parseCredits(const char* path) {
    const std::string text = ContentManagerLoadString(path);
    const JsonDocument document = JsonParse(text.data(), text.size());
    if (document == nullptr) FATAL_ERROR("Unabled to parse credits. (%s)", path);
    if (document->type != json_array) FATAL_ERROR("Credits must be a JSON array of sections (%s).", path);
    // Without a section there would be nothing to show and no end to wait for.
    if (document->u.array.length == 0) FATAL_ERROR("Credits hold no section (%s).", path);
    std::vector<CreditSection> sections;
    for (unsigned i = 0; i < document->u.array.length; ++i) {
        const json_value* section = document->u.array.values[i];
        if (section->type != json_object) FATAL_ERROR("Credits section %u is not an object (%s).", i, path);
        sections.push_back({stringMember(section, "heading", "Credits section missing heading.", i, path),
                            stringMember(section, "text", "Credits section missing contents.", i, path)});
    }
    return sections;
}

CreditsScreen::CreditsScreen() {
    isPopup = true;
    capturesInput = true;
    transitionOnTime = 1.25f;
    transitionOffTime = 0.75f;
    easeOn = easeQuartIn;
    easeOff = easeQuartOut;
    onTransitionedOff = [](Screen*) { addScreen(new_MainMenuScreen()); };
}

// A section may still be fading when the screen goes.
CreditsScreen::~CreditsScreen() {
    TweenManagerStop(&creditsOpacity);
}

std::unique_ptr<CreditsScreen> new_CreditsScreen() {
    return DEBUG_MAKE_UNIQUE(CreditsScreen, "new_CreditsScreen");
}

void CreditsScreen::loadContent() {
    headingFont = ContentLoad<TextureFont>("Assets/Fonts/CreditHeading.fnt");
    textFont = ContentLoad<TextureFont>("Assets/Fonts/CreditText.fnt");
    layOut();
    sections = parseCredits(CREDITS_PATH);
    startSequence();
}

// The heading's line and the text's first line are centred together.
void CreditsScreen::layOut() {
    headingX = textX = screenWidth() * 0.5f;
    headingY = (screenHeight() - headingFont->lineHeight - textFont->lineHeight - LINE_GAP) * 0.5f;
    textY = headingY + headingFont->lineHeight + LINE_GAP;
}

void CreditsScreen::startSequence() {
    for (size_t i = 0; i < sections.size(); ++i)
        SetTimeout(FIRST_SECTION_AT + SECTION_EVERY * static_cast<float>(i), fadeSectionIn, this);
    SoundManagerSetState(MS_CREDITS);
}

void CreditsScreen::fadeSectionIn(void* screen) {
    auto* credits = static_cast<CreditsScreen*>(screen);
    TweenManagerTween(&credits->creditsOpacity, &SHOWN, FADE_SECONDS, easeQuintOut, TWEEN_FLOAT, nullptr);
    SetTimeout(SHOWN_SECONDS, fadeSectionOut, credits);
}

void CreditsScreen::fadeSectionOut(void* screen) {
    auto* credits = static_cast<CreditsScreen*>(screen);
    TweenManagerTween(&credits->creditsOpacity, &GONE, FADE_SECONDS, easeQuintInOut, TWEEN_FLOAT, nullptr);
    SetTimeout(FADE_SECONDS, nextSection, credits);
}

void CreditsScreen::nextSection(void* screen) {
    auto* credits = static_cast<CreditsScreen*>(screen);
    if (credits->currentSection + 1 < static_cast<int32_t>(credits->sections.size()))
        ++credits->currentSection;
    else credits->exitScreen();
}

void CreditsScreen::handleInput(float) {
    if (!KEInputAnyKeyDown()) return;
    ClearTimeouts();
    exitScreen();
}

void CreditsScreen::draw(float) {
    const CreditSection& section = sections[static_cast<size_t>(currentSection)];
    const float opacity = creditsOpacity * transitionOpacity();
    Color heading = HEADING_COLOUR;
    Color text = colourWhite;
    heading.opacity = text.opacity = opacity;
    headingFont->drawText(section.heading.c_str(), {headingX, headingY}, heading, ALIGN_CENTER);
    textFont->drawText(section.text.c_str(), {textX, textY}, text, ALIGN_CENTER);
}
