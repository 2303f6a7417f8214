#include "Content/ContentManager.h"
#include "Content/TextureFontContent.h"
#include "Engine/Viewport.h"
#include "Game/Game.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string u16(int value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
}

std::string u32(uint32_t value) {
    return u16(static_cast<int>(value & 0xFFFF)) + u16(static_cast<int>(value >> 16));
}

const std::string MAGIC("BMF\x03", 4);

std::string block(int type, const std::string& data) {
    return static_cast<char>(type) + u32(static_cast<uint32_t>(data.size())) + data;
}

std::string infoBlock(int outline) {
    return block(1, std::string(13, '\0') + static_cast<char>(outline) + std::string("Test\0", 5));
}

std::string commonBlock(int lineHeight, int scaleW, int scaleH, int pageCount) {
    return block(
        2, u16(lineHeight) + u16(16) + u16(scaleW) + u16(scaleH) + u16(pageCount) + std::string(5, '\0'));
}

struct CharRecord {
    uint32_t id;
    int x, y, width, height, xoffset, yoffset, page;
};

std::string charsBlock(std::initializer_list<CharRecord> records) {
    std::string data;
    for (const CharRecord& c : records)
        data += u32(c.id) + u16(c.x) + u16(c.y) + u16(c.width) + u16(c.height) + u16(c.xoffset) +
                u16(c.yoffset) + u16(c.width) + static_cast<char>(c.page) + '\x0F';
    return block(4, data);
}

const std::string TEST_PAGES = block(3, std::string("Test_0.png\0", 11));

// 'a' 10 and 'b' 12 wide, 'A' and 'B' small with offsets, each glyph on its
// own colour of the page; a line is 20 high.
const std::string TEST_FONT = MAGIC + infoBlock(2) + commonBlock(20, 64, 64, 1) + TEST_PAGES +
                              charsBlock({{' ', 0, 0, 6, 20, 0, 0, 0},
                                          {'a', 0, 0, 10, 20, 0, 0, 0},
                                          {'b', 0, 32, 12, 20, 0, 0, 0},
                                          {'A', 0, 0, 1, 1, 0, 0, 0},
                                          {'A', 0, 0, 4, 5, 1, 3, 0},
                                          {'B', 32, 0, 4, 5, 1, 3, 0}});

// A 64 x 64 page: white top left, blue bottom left, green on the right.
void writeTestPage(const ScratchDirectory& files, const std::string& name) {
    std::vector<uint32_t> pixels(64 * 64);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 64 >= 32 ? 0xFF00FF00u : i < 64 * 32 ? 0xFFFFFFFFu : 0xFFFF0000u;
    stbi_write_png(files.write(name, "").c_str(), 64, 64, 4, pixels.data(), 64 * 4);
}

// The message as a death-test pattern that matches only itself.
std::string literally(const std::string& message) {
    std::string pattern;
    for (char c : message) {
        if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) pattern += '\\';
        pattern += c;
    }
    return pattern;
}

class TextureFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        ContentManagerInit();
        writeTestPage(files, "Test_0.png");
        fontPath = files.write("Test.fnt", TEST_FONT);
    }
    void TearDown() override { ContentManagerShutdown(); }

    TextureFont* load(const std::string& path) const {
        return ContentLoad<TextureFont>(path.c_str(), CF_DEFERRED);
    }

    ScratchDirectory files;
    std::string fontPath;
};

TEST_F(TextureFontTest, ReadsEveryBlockIntoTheFont) {
    TextureFont* font = load(fontPath);
    EXPECT_EQ((std::array<int, 4>{font->outline, font->lineHeight, font->base, font->pageCount}),
              (std::array{2, 20, 16, 1}));
    EXPECT_FLOAT_EQ(font->invScaleH, 1.0f / 64);
    EXPECT_EQ(font->path, fontPath);
    EXPECT_EQ(font->pages[0], ContentManagerLoad(files.path("Test_0.png").c_str(), CT_TEXTURE, 0));

    const Glyph& b = font->glyphs[66 - 32];
    EXPECT_EQ(font->glyphOf('B'), &b);
    EXPECT_EQ((std::array<int, 5>{b.x, b.width, b.height, b.xoffset, b.yoffset}),
              (std::array{32, 4, 5, 1, 3}));
    EXPECT_EQ(font->glyphs[65 - 32].width, 4) << "the later record for 'A' wins";
    EXPECT_EQ(font->glyphOf('z')->width, 0) << "a code the file leaves out is empty";
    EXPECT_EQ(font->glyphOf(127), &font->glyphs[95]);
    EXPECT_EQ(font->glyphOf(31), nullptr);
    EXPECT_EQ(font->glyphOf(128), nullptr);
}

TEST_F(TextureFontTest, PagesAreLoadedFromTheFontsFolder) {
    writeTestPage(files, "Fonts/Menu_0.png");
    writeTestPage(files, "Fonts/Menu_1.png");
    std::string pages = block(3, std::string("Menu_0.png\0Menu_1.png\0", 22));
    TextureFont* font = load(files.write("Fonts/Menu.fnt", MAGIC + commonBlock(20, 64, 64, 2) + pages +
                                                               charsBlock({{'a', 0, 0, 10, 20, 0, 0, 1}})));
    ASSERT_EQ(font->pageCount, 2);
    EXPECT_EQ(font->pages[0]->path, files.path("Fonts/Menu_0.png"));
    EXPECT_EQ(font->pages[1]->path, files.path("Fonts/Menu_1.png"));
    EXPECT_EQ(font->glyphOf('a')->page, 1);
}

TEST_F(TextureFontTest, MeasuringAddsOffsetAndWidthAndCountsEveryLineFeed) {
    TextureFont* font = load(fontPath);
    auto measure = [font](const char* text, float scale = 1.0f) {
        Vector2 size = font->measureText(text, scale);
        return std::array<float, 2>{size.x, size.y};
    };
    EXPECT_EQ(measure("ab"), (std::array<float, 2>{22, 20}));
    EXPECT_EQ(measure("ab\nbbb"), (std::array<float, 2>{36, 40})) << "the widest line counts";
    EXPECT_EQ(measure("\n"), (std::array<float, 2>{0, 40}));
    EXPECT_EQ(measure(""), (std::array<float, 2>{0, 20}));
    EXPECT_EQ(measure("a\n\nb\n", 0.5f), (std::array<float, 2>{6, 40}));
    EXPECT_EQ(measure("A A"), (std::array<float, 2>{16, 20})) << "xoffset counts in measuring";
    EXPECT_EQ(measure("a\x01\x7f\x80\xff"), (std::array<float, 2>{10, 20}))
        << "codes without a glyph add nothing";
}

TEST_F(TextureFontTest, BrokenFilesAreFatalAndNameTheFile) {
    const std::string common = commonBlock(20, 64, 64, 1);
    const std::string a = charsBlock({{'a', 0, 0, 10, 20, 0, 0, 0}});
    struct Case {
        std::string bytes;
        std::string message;  // %s stands for the font's path
    };
    const std::vector<Case> cases = {
        {"BMF\x02" + common + TEST_PAGES + a, "Invalid texture font binary format (%s)."},
        {MAGIC + common + TEST_PAGES + a + block(5, std::string(10, '\0')),
         "Unexpected block type (5) in (%s)."},
        {MAGIC + block(-1, ""), "Unexpected block type (-1) in (%s)."},
        {MAGIC + common.substr(0, 3), "Texture font ends inside a block header (%s)."},
        {MAGIC + common + TEST_PAGES + a.substr(0, 20),
         "The chars block of 20 bytes runs past the end of (%s)."},
        {MAGIC + common + block(3, std::string(1000, '\0')).substr(0, 5),
         "The pages block of 1000 bytes runs past the end"},
        {MAGIC + TEST_PAGES + common + a, "The pages block is out of order in (%s)"},
        {MAGIC + common + a + TEST_PAGES, "The chars block is out of order in (%s)"},
        {MAGIC + common + common + TEST_PAGES + a, "The common block is out of order in (%s)"},
        {MAGIC + commonBlock(20, 64, 64, 0) + TEST_PAGES + a, "Texture font has no pages (%s)."},
        {MAGIC + commonBlock(20, 0, 64, 1) + TEST_PAGES + a, "Texture font pages of 0x64 pixels in (%s)."},
        {MAGIC + block(2, std::string(9, '\0')),
         "The common block of 9 bytes is shorter than 10 bytes in (%s)."},
        {MAGIC + block(1, std::string(13, '\0')),
         "The info block of 13 bytes is shorter than 14 bytes in (%s)."},
        {MAGIC + commonBlock(20, 64, 64, 2) + TEST_PAGES + a,
         "The pages block of 11 bytes does not split into 2 names of equal length in (%s)."},
        {MAGIC + common + block(3, "Test_0.pngX") + a, "Page name (0) is not NUL-terminated in (%s)."},
        {MAGIC + common + TEST_PAGES + block(4, a.substr(5) + std::string(9, 'x')),
         "The chars block of 29 bytes is not made of 20-byte records in (%s)."},
        {MAGIC + common + TEST_PAGES + charsBlock({{128, 0, 0, 1, 1, 0, 0, 0}}),
         "Character (128) outside the codes 32 to 127 in (%s)."},
        {MAGIC + common + TEST_PAGES + charsBlock({{31, 0, 0, 1, 1, 0, 0, 0}}),
         "Character (31) outside the codes 32 to 127 in (%s)."},
        {MAGIC + common + TEST_PAGES + charsBlock({{'a', 0, 0, 1, 1, 0, 0, 1}}),
         "Character (97) on page (1) of a font with 1 pages (%s)."},
        {MAGIC + common + TEST_PAGES + charsBlock({{'a', 60, 0, 5, 1, 0, 0, 0}}),
         "Character (97) of 5x1 pixels at (60, 0) does not fit on its 64x64 page (%s)."},
        {MAGIC + common + TEST_PAGES + charsBlock({{'+', 92, 17439, 25189, 26485, 0, 0, 0}}),
         "Character (43) of 25189x26485 pixels at (92, 17439) does not fit on its 64x64 page (%s)."},
        {MAGIC + infoBlock(0), "Texture font ends before its common block (%s)."},
        {MAGIC + common + TEST_PAGES, "Texture font ends before its chars block (%s)."},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        std::string path = files.write("Broken" + std::to_string(i) + ".fnt", cases[i].bytes);
        std::string message = cases[i].message;
        if (size_t at = message.find("%s"); at != std::string::npos) message.replace(at, 2, path);
        EXPECT_FATAL(TextureFontContentLoad(path.c_str(), CF_DEFERRED), literally(message)) << "case " << i;
    }
    EXPECT_FATAL(TextureFontContentLoad(files.path("Missing.fnt").c_str(), 0),
                 literally("Unable to load texture font (" + files.path("Missing.fnt") + ")."));
}

// Draws into a headless 512 x 96 frame, in cyan so that a mixed-up tint shows.
class TextureFontDrawTest : public TextureFontTest {
protected:
    void SetUp() override {
        TextureFontTest::SetUp();
        font = load(fontPath);
        TextureFontContentComplete(font);
        KEGfxSetBackgroundColor(0, 0, 0);
        KESysFrameStart();
    }

    void draw(const char* text, float x, float y, int32_t alignment) const {
        font->drawText(text, {x, y}, Color{0, 1.0f, 0.0f, 1.0f, 1.0f}, alignment);
    }

    // The pixels drawn so far from (x, y) on, along the row or down the column, as letters: '.' black,
    // 'c' cyan, 'g' green, 'b' blue and '?' any other colour.
    static std::string strip(int x, int y, int count, bool down = false) {
        const Frame frame;
        std::string letters;
        for (int i = 0; i < count; ++i) {
            const unsigned char* p = down ? frame.at(x, y + i) : frame.at(x + i, y);
            const int colours[] = {0x000000, 0x00FFFF, 0x00FF00, 0x0000FF};
            const int* found =
                std::find(std::begin(colours), std::end(colours), p[0] << 16 | p[1] << 8 | p[2]);
            letters += ".cgb?"[found - std::begin(colours)];
        }
        return letters;
    }

    HeadlessEngine engine{512, 96};
    TextureFont* font = nullptr;
};

TEST_F(TextureFontDrawTest, MainThreadStepBuildsEveryMeshOnce) {
    KEMesh* meshes[GLYPH_COUNT];
    for (int i = 0; i < GLYPH_COUNT; ++i) meshes[i] = font->glyphs[i].mesh.get();
    for (KEMesh* mesh : meshes) EXPECT_NE(mesh, nullptr);
    KETexture* page = font->pages[0]->texture.get();
    ASSERT_NE(page, nullptr);
    TextureFontContentComplete(font);
    for (int i = 0; i < GLYPH_COUNT; ++i) EXPECT_EQ(font->glyphs[i].mesh.get(), meshes[i]);
    EXPECT_EQ(font->pages[0]->texture.get(), page);

    const KEVertex corner = KEGfxMeshVertex(font->glyphOf('b')->mesh.get(), 2);
    EXPECT_EQ((std::array{corner.x, corner.y, corner.u, corner.v}),
              (std::array{12.0f, 20.0f, 12.0f / 64, 20.0f / 64}));
}

TEST_F(TextureFontDrawTest, EachLineIsAlignedOnItsOwnAndSpacesAdvanceUndrawn) {
    draw("aaaaaaaaaa\naaaa", 400, 0, ALIGN_CENTER);
    draw("aaaa", 400, 50, ALIGN_RIGHT);
    draw("a b", 0, 50, ALIGN_LEFT);
    draw("AB", 300, 70, ALIGN_CENTER);
    // A 100-wide line centred on 400 starts at 350; the 40-wide second line is centred on its own.
    EXPECT_EQ(strip(349, 5, 102), "." + std::string(100, 'c') + ".");
    EXPECT_EQ(strip(379, 25, 42), "." + std::string(40, 'c') + ".");
    // Right-aligned on 400; the space is not drawn but advances the pen by its width.
    EXPECT_EQ(strip(359, 55, 42), "." + std::string(40, 'c') + ".");
    EXPECT_EQ(strip(0, 55, 29), std::string(10, 'c') + "......" + std::string(12, 'b') + ".");
    // Measured 10 wide with the xoffsets, so the pen starts at 295; drawing advances by the width alone.
    EXPECT_EQ(strip(294, 75, 11), "..ccccgggg.");
}

TEST_F(TextureFontDrawTest, GlyphsAreScaledAndOffsetToTheWindow) {
    {
        ScopedViewport doubled(screenWidth(), screenHeight(), {2.0f, 2.0f});
        draw("A", 10, 20, ALIGN_LEFT);
    }
    // xoffset 1 and yoffset 3 at pen (10, 20), scaled twice: 4 x 5 drawn as 8 x 10 from (22, 46).
    EXPECT_EQ(strip(21, 46, 10), "." + std::string(8, 'c') + ".");
    EXPECT_EQ(strip(22, 45, 12, true), "." + std::string(10, 'c') + ".");
}

TEST_F(TextureFontDrawTest, RepeatedLineFeedsSeparateTwoLinesAndStrayCodesAreSkipped) {
    draw("\nA\n\nB\n", 100, 10, ALIGN_LEFT);
    draw("\x01\x80\xff", 200, 10, ALIGN_CENTER);
    // A from the white part of the page, B on the next line from the green part.
    EXPECT_EQ(strip(101, 0, 96, true),
              std::string(13, '.') + "ccccc" + std::string(15, '.') + "ggggg" + std::string(58, '.'));
}

// The game's own fonts, from Assets/Fonts.
TEST_F(TextureFontDrawTest, EveryGameFontLoadsCompletesAndDraws) {
    for (const char* name : {"Debug", "Notify", "LoadingScreen", "Menu", "CreditHeading", "CreditText"}) {
        SCOPED_TRACE(name);
        TextureFont* game = load(std::string(HALCYRA_ASSETS) + "/Fonts/" + name + ".fnt");
        TextureFontContentComplete(game);
        for (int code = '!'; code <= '~'; ++code) EXPECT_GT(game->glyphOf(code)->height, 0) << code;
        for (uint16_t i = 0; i < game->pageCount; ++i) EXPECT_NE(game->pages[i]->texture, nullptr);
        EXPECT_EQ(game->measureText("Open Door", 1).y, game->lineHeight);

        KESysFrameStart();
        game->drawText("Open Door", {10, 10}, colourWhite, ALIGN_LEFT);
        const Frame frame;
        int lit = 0;
        for (size_t i = 0; i < frame.rgba.size(); i += 4)
            lit += frame.rgba[i] + frame.rgba[i + 1] + frame.rgba[i + 2] > 0;
        EXPECT_GT(lit, 40);
    }
}

}  // namespace
