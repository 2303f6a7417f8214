// A journal page shown full screen over the play screen while its
// narration plays. E closes an ordinary page and cuts the narration; the
// last page lets the keyboard through, shows faintly, and fades by itself
// after a minute.
#pragma once

#include "Engine/Kestrel.h"
#include "Screens/Screen.h"

#include <cstdint>
#include <memory>
#include <string>

struct TextureContent;

class JournalScreen : public Screen {
public:
    float scale = 1.0f;                 // fitted to the screen by loadContent
    TextureContent* texture = nullptr;  // cached, not owned
    // The page at the size it covers in the window, drawn one to one; null
    // where the renderer cannot make it, and the page is drawn scaled.
    KETextureHandle placedPage;
    KEMeshHandle mesh;  // a unit quad, placed by pageTransform
    Matrix3 pageTransform{};
    float offsetX = 0.0f;  // the page's top-left on the virtual screen, whole pixels
    float offsetY = 0.0f;
    std::string path;
    bool isFinal = false;
    uint64_t serial;  // tells this page apart for its closing timeout

    explicit JournalScreen(const char* texturePath);

    const char* typeName() const override { return "JournalScreen"; }
    void loadContent() override;
    void handleInput(float dt) override;
    void draw(float dt) override;

private:
    void fitToScreen();
    void placePage();
    void startNarration() const;
};

std::unique_ptr<JournalScreen> new_JournalScreen(const char* texturePath);

// Lets every page still open fade out: a page belongs to the room it was
// found in, and the last one stays up while its room gives way to the credits.
void closeJournalPages();

// The scale that fits a page of that size into a space of that size without
// enlarging it.
float journalPageScale(float pageWidth, float pageHeight, float spaceWidth, float spaceHeight);
