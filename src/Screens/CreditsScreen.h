// The credits, section by section from "Assets/Credits.json": a heading in
// dark red over its text in white, a new section every 3.5 s. Any key
// leaves them; either way the main menu follows.
#pragma once

#include "Screens/Screen.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TextureFont;

struct CreditSection {
    std::string heading;
    std::string text;  // may hold line feeds
};

inline constexpr char CREDITS_PATH[] = "Assets/Credits.json";

// Reads a credits file: a JSON array of {"heading": string, "text": string}
// objects, at least one. Anything else is fatal, naming the file.
std::vector<CreditSection> parseCredits(const char* path);

class CreditsScreen final : public Screen {
public:
    CreditsScreen();
    ~CreditsScreen() override;

    const char* typeName() const override { return "CreditsScreen"; }
    void loadContent() override;
    void handleInput(float dt) override;
    void draw(float dt) override;

    int32_t sectionIndex() const { return currentSection; }
    float opacity() const { return creditsOpacity; }

private:
    TextureFont* headingFont = nullptr;
    TextureFont* textFont = nullptr;
    float headingX = 0.0f;
    float headingY = 0.0f;
    float textX = 0.0f;
    float textY = 0.0f;
    int32_t currentSection = 0;
    float creditsOpacity = 1.0f;  // the first section is up at once
    std::vector<CreditSection> sections;

    void layOut();
    void startSequence();
    static void fadeSectionIn(void* screen);
    static void fadeSectionOut(void* screen);
    static void nextSection(void* screen);
};

std::unique_ptr<CreditsScreen> new_CreditsScreen();
