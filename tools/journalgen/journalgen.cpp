// Renders the journal pages the game shows full screen while the narrator
// reads them: each entry handwritten in brown ink across an open diary whose
// paper has yellowed, foxed and taken the damp. One opaque PNG per entry, as
// large as the virtual screen (896 x 504), so that a 16:9 desktop draws it
// pixel for pixel.
//
// Usage: journalgen FONT_FILE ENTRY_FOLDER OUTPUT_FOLDER
//
// ENTRY_FOLDER holds entry1.txt .. entry8.txt: the date on the first line,
// then paragraphs separated by blank lines. The narrator reads exactly these
// texts, so a page shows every word in order and nothing else. The date heads
// the left page and the paragraphs run on to the right one, all entries in
// the one type size, the largest at which every entry fits. Strokes are
// thickened a little so that none vanishes when the game shrinks the page
// for a 5:4 desktop. All noise is hashed from pixel positions: two runs write
// the same bytes.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <stb_image_write.h>

#include "../common/Colour.h"
#include "../common/HashNoise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 896;
constexpr int HEIGHT = 504;
constexpr int ENTRY_COUNT = 8;

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "journalgen: %s\n", message.c_str());
    std::exit(1);
}

// ---- Canvas ----

class Canvas {
public:
    Canvas() : pixels(static_cast<size_t>(WIDTH * HEIGHT)) {}

    Colour& at(int x, int y) { return pixels[static_cast<size_t>(y * WIDTH + x)]; }

    // Lays colour over the pixel with the given opacity; outside the canvas does nothing.
    void blend(int x, int y, Colour colour, float opacity) {
        if (x < 0 || y < 0 || x >= WIDTH || y >= HEIGHT) return;
        at(x, y) = mix(at(x, y), colour, std::clamp(opacity, 0.0f, 1.0f));
    }

    bool save(const std::string& path) const {
        const std::vector<unsigned char> bytes = rgbBytes(pixels);
        return stbi_write_png(path.c_str(), WIDTH, HEIGHT, 3, bytes.data(), WIDTH * 3) != 0;
    }

private:
    std::vector<Colour> pixels;
};

// What the pen laid down, kept apart from the paper until it soaks in.
class InkLayer {
public:
    InkLayer()
        : opacity(static_cast<size_t>(WIDTH * HEIGHT), 0), colours(static_cast<size_t>(WIDTH * HEIGHT)) {}

    // Adds ink over what is there; strokes that cross grow darker.
    void add(int x, int y, Colour colour, float amount) {
        if (x < 0 || y < 0 || x >= WIDTH || y >= HEIGHT || amount <= 0) return;
        size_t i = static_cast<size_t>(y * WIDTH + x);
        float total = 1 - (1 - opacity[i]) * (1 - std::min(amount, 1.0f));
        colours[i] = mix(colours[i], colour, std::min(amount, 1.0f) / total);
        opacity[i] = total;
    }

    // Lays the ink on the paper with a faint halo where it crept into the fibres.
    void soakInto(Canvas& canvas) const {
        for (int y = 1; y < HEIGHT - 1; ++y)
            for (int x = 1; x < WIDTH - 1; ++x) soakPixel(canvas, x, y);
    }

private:
    std::vector<float> opacity;
    std::vector<Colour> colours;

    static constexpr float BLEED = 0.22f;

    void soakPixel(Canvas& canvas, int x, int y) const {
        float around = 0;
        Colour colour{0, 0, 0};
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                size_t i = static_cast<size_t>((y + dy) * WIDTH + x + dx);
                around += opacity[i];
                colour = {colour.r + colours[i].r * opacity[i], colour.g + colours[i].g * opacity[i],
                          colour.b + colours[i].b * opacity[i]};
            }
        if (around <= 0) return;
        float own = opacity[static_cast<size_t>(y * WIDTH + x)];
        float cover = 1 - (1 - 0.95f * own) * (1 - BLEED * around / 9);
        canvas.blend(x, y, scaled(colour, 1 / around), cover);
    }
};

// ---- The open diary ----

struct Box {
    float left, top, right, bottom;
};

constexpr float SPINE = WIDTH / 2.0f;
constexpr Box SPREAD{20, 14, WIDTH - 20, HEIGHT - 14};  // both pages, cover all round
constexpr float PAGE_STACK = 6;                         // the edges of the pages beneath, outside SPREAD

const Colour LEATHER{0.17f, 0.10f, 0.07f};
const Colour PAPER_LIGHT{0.91f, 0.86f, 0.72f};
const Colour PAPER_AGED{0.80f, 0.69f, 0.50f};
const Colour RUST{0.52f, 0.31f, 0.14f};
const Colour TIDE{0.50f, 0.36f, 0.20f};
const Colour WAX{0.94f, 0.88f, 0.70f};
const Colour WAX_RIM{0.62f, 0.52f, 0.36f};

// Worn dark leather with a faint grain, darker towards the image's corners.
Colour leatherAt(int x, int y) {
    float grain = cloudNoise(static_cast<float>(x) / 3, static_cast<float>(y) / 3, 11, 2);
    float wear = cloudNoise(static_cast<float>(x) / 70, static_cast<float>(y) / 70, 12, 3);
    float dx = (static_cast<float>(x) - SPINE) / SPINE,
          dy = (static_cast<float>(y) - HEIGHT / 2.0f) / (HEIGHT / 2.0f);
    return scaled(LEATHER, (0.75f + 0.3f * grain + 0.35f * wear) * (1 - 0.35f * (dx * dx + dy * dy) / 2));
}

// How far inside the spread a point lies from its nearest outer edge, in pixels.
float depthInSpread(float x, float y) {
    return std::min({x - SPREAD.left, SPREAD.right - x, y - SPREAD.top, SPREAD.bottom - y});
}

// Yellowed paper: blotchy ageing, fibres running along the page, a fine grain,
// and browning that creeps in from the edges, all the deeper for more wear
// (0 to 1).
Colour paperAt(int x, int y, uint32_t seed, float wear) {
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    float age = cloudNoise(fx / 110, fy / 110, seed, 4);
    float fibres = valueNoise(fx / 9, fy / 1.3f, seed + 20) - 0.5f;
    float grain = unit(x, y, seed + 30) - 0.5f;
    float ragged = depthInSpread(fx, fy) + 10 * (cloudNoise(fx / 14, fy / 14, seed + 40, 2) - 0.5f);
    float browning = std::exp(-std::max(ragged, 0.0f) / (24 + 10 * wear));
    float yellowing = 0.12f + 0.15f * wear + 0.75f * age * age + 0.6f * browning;
    Colour paper = mix(PAPER_LIGHT, PAPER_AGED, std::clamp(yellowing, 0.0f, 1.0f));
    return scaled(paper, 1 + 0.06f * fibres + 0.035f * grain);
}

// How far into the band of page edges beneath the open pages a point lies,
// along the spread's outer sides; 0 where there is none.
float pageStackAt(float x, float y) {
    float outside = std::max({SPREAD.left - x, x - SPREAD.right, SPREAD.top - y, y - SPREAD.bottom});
    if (outside <= 0 || outside > PAGE_STACK) return 0;
    float sideways = std::max(SPREAD.left - x, x - SPREAD.right);
    float height = std::max(SPREAD.top - y, y - SPREAD.bottom);
    if (sideways > PAGE_STACK * 0.5f + 0.5f && height > 0) return 0;  // leaves the corners round
    return outside;
}

// The edges of the pages beneath, one line per page, darker further down.
Colour pageEdgeAt(float depth) {
    bool gap = static_cast<int>(depth) % 2 == 1;
    return scaled(PAPER_AGED, 0.78f - 0.05f * depth - (gap ? 0.12f : 0.0f));
}

void paintBook(Canvas& canvas, uint32_t seed, float wear) {
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
            float stack = pageStackAt(fx, fy);
            if (depthInSpread(fx, fy) >= 0) canvas.at(x, y) = paperAt(x, y, seed, wear);
            else if (stack > 0) canvas.at(x, y) = pageEdgeAt(stack);
            else canvas.at(x, y) = leatherAt(x, y);
        }
}

// Calls paint(x, y, distance, angle) for every pixel of the paper within
// reach of (cx, cy), with the pixel's distance and direction from there.
template <typename Paint>
void forEachPaperPixelNear(float cx, float cy, float reach, Paint paint) {
    for (int y = static_cast<int>(cy - reach); y <= static_cast<int>(cy + reach); ++y)
        for (int x = static_cast<int>(cx - reach); x <= static_cast<int>(cx + reach); ++x) {
            float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
            if (depthInSpread(fx, fy) >= 0)
                paint(x, y, std::hypot(fx - cx, fy - cy), std::atan2(fy - cy, fx - cx));
        }
}

// One brown spot of foxing with an uneven rim and a darker core.
void paintFoxSpot(Canvas& canvas, float cx, float cy, float radius, float strength, uint32_t seed) {
    forEachPaperPixelNear(cx, cy, radius * 1.6f, [&](int x, int y, float d, float) {
        float rim = radius * (0.7f + 0.6f * valueNoise(static_cast<float>(x) / 2.5f,
                                                       static_cast<float>(y) / 2.5f, seed));
        float stain = smoothstep(rim, rim * 0.35f, d) + 0.6f * smoothstep(radius * 0.45f, 0, d);
        canvas.blend(x, y, RUST, strength * stain);
    });
}

// Maps [0, 1) to [-1, 1), crowding values towards the ends.
float towardsEdges(float u) {
    float centred = 2 * u - 1;
    return std::copysign(std::pow(std::abs(centred), 0.55f), centred);
}

// Foxing scattered over the spread, thickest towards the outer edges; small
// specks far outnumber the large spots.
void paintFoxing(Canvas& canvas, int count, uint32_t seed) {
    for (int spot = 0; spot < count; ++spot) {
        float size = unit(spot, 3, seed);
        float cx = SPINE + towardsEdges(unit(spot, 1, seed)) * (SPREAD.right - SPREAD.left) / 2;
        float cy = HEIGHT / 2.0f + towardsEdges(unit(spot, 2, seed)) * (SPREAD.bottom - SPREAD.top) / 2;
        paintFoxSpot(canvas, cx, cy, 1.4f + 9 * size * size * size, 0.2f + 0.3f * unit(spot, 4, seed),
                     seed + static_cast<uint32_t>(spot));
    }
}

// A blob's edge at the given angle: radius, made uneven by a few waves round
// the rim, each half as strong as the one before and all in hashed phases.
float raggedRadius(float radius, float angle, float unevenness, uint32_t seed) {
    float wobble = 0, strength = 0.5f;
    for (int wave = 2; wave <= 7; ++wave, strength *= 0.6f)
        wobble += strength * std::sin(static_cast<float>(wave) * angle + 6.2831853f * unit(wave, 0, seed));
    return radius * (1 + unevenness * wobble);
}

// Where a splash of water dried: a faint mottled tint inside and a darker
// tide line along its uneven rim.
void paintWaterStain(Canvas& canvas, float cx, float cy, float radius, uint32_t seed) {
    forEachPaperPixelNear(cx, cy, radius * 1.5f, [&](int x, int y, float d, float angle) {
        float rim = raggedRadius(radius, angle, 0.3f, seed);
        float tide = std::exp(-(d - rim) * (d - rim) / (d < rim ? 8.0f : 1.5f));
        float mottle = cloudNoise(static_cast<float>(x) / 12, static_cast<float>(y) / 12, seed + 1, 2);
        float inside = smoothstep(rim, rim - 10, d) * (0.3f + 0.7f * mottle);
        canvas.blend(x, y, TIDE, 0.17f * tide + 0.08f * inside);
    });
}

// A drop of candle wax: a pale, glossy bead with a darker rim where it set,
// in a greasy halo where the paper drank it.
void paintWaxDrop(Canvas& canvas, float cx, float cy, float radius, uint32_t seed) {
    float shineX = cx - radius * 0.3f, shineY = cy - radius * 0.35f;
    forEachPaperPixelNear(cx, cy, radius * 1.8f, [&](int x, int y, float d, float angle) {
        float rim = raggedRadius(radius, angle, 0.25f, seed);
        float grease = smoothstep(rim * 1.5f, rim, d);
        float body = smoothstep(rim + 0.6f, rim - 0.6f, d);
        float edge = std::exp(-(d - rim + 1) * (d - rim + 1) / 1.5f) * body;
        float shine = std::max(0.0f, 1 - std::hypot(static_cast<float>(x) + 0.5f - shineX,
                                                    static_cast<float>(y) + 0.5f - shineY) /
                                             (radius * 0.5f));
        canvas.blend(x, y, WAX_RIM, 0.16f * grease);
        canvas.blend(x, y, mix(WAX, Colour{1, 1, 0.96f}, shine), body * (0.55f + 0.35f * shine));
        canvas.blend(x, y, WAX_RIM, 0.45f * edge);
    });
}

// The pages curve down into the binding: a soft shadow either side of the
// spine, deepest in the crease.
void paintSpine(Canvas& canvas) {
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
            if (depthInSpread(fx, fy) < 0) continue;
            float d = std::abs(fx - SPINE);
            float shade = 0.42f * std::exp(-d / 9) + 0.16f * std::exp(-d / 45);
            canvas.at(x, y) = scaled(canvas.at(x, y), 1 - shade);
        }
}

// Candlelight: the middle of the spread brightest, the corners dim.
void paintVignette(Canvas& canvas) {
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            float dx = (static_cast<float>(x) + 0.5f - SPINE) / SPINE;
            float dy = (static_cast<float>(y) + 0.5f - HEIGHT / 2.0f) / (HEIGHT / 2.0f);
            float r = (dx * dx + dy * dy) / 2;
            canvas.at(x, y) = scaled(canvas.at(x, y), 1 - 0.4f * r * r);
        }
}

// ---- Entries ----

struct Entry {
    std::string date;
    std::vector<std::vector<std::string>> paragraphs;  // words
};

std::vector<std::string> words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> result;
    for (std::string word; stream >> word;) result.push_back(word);
    return result;
}

// The date on the first line, then paragraphs separated by blank lines.
Entry readEntry(const std::string& path) {
    std::ifstream file(path);
    if (!file) fail("cannot read " + path);
    Entry entry;
    bool inParagraph = false;
    for (std::string line; std::getline(file, line);) {
        std::vector<std::string> lineWords = words(line);
        if (entry.date.empty() && !lineWords.empty()) {
            entry.date = line.substr(0, line.find_last_not_of(" \t\r") + 1);
            continue;
        }
        if (lineWords.empty()) {
            inParagraph = false;
            continue;
        }
        if (!inParagraph) entry.paragraphs.emplace_back();
        inParagraph = true;
        entry.paragraphs.back().insert(entry.paragraphs.back().end(), lineWords.begin(), lineWords.end());
    }
    if (entry.date.empty() || entry.paragraphs.empty()) fail(path + " has no date or no text");
    return entry;
}

// ---- Handwriting ----

// The typographic apostrophe where the font has one: the same text, better set.
FT_ULong codepointFor(char c, FT_Face face) {
    if (c == '\'' && FT_Get_Char_Index(face, 0x2019) != 0) return 0x2019;
    return static_cast<unsigned char>(c);
}

struct InkStroke {
    Colour colour;
    float weight;   // extra width of upright strokes, in pixels
    float tremble;  // how far a letter may stray from the line, in pixels
    uint32_t seed;
};

// Level strokes, such as a t's crossbar, thicken this much more than upright
// ones: shrinking the page for a 5:4 desktop drops one row in nine, and a
// crossbar must keep a row of ink when it loses one.
constexpr float CROSSBAR_GAIN = 2.5f;

// A FreeType face set at one size, unhinted so that letters sit at fractions
// of a pixel and keep the handwriting's flow.
class Hand {
public:
    Hand(FT_Library library, const std::string& path) {
        if (FT_New_Face(library, path.c_str(), 0, &face) != 0) fail("cannot open " + path);
    }
    ~Hand() { FT_Done_Face(face); }
    Hand(const Hand&) = delete;
    Hand& operator=(const Hand&) = delete;

    void setSize(float pixels) {
        if (FT_Set_Char_Size(face, 0, std::lround(pixels * 64), 72, 72) != 0) fail("cannot size the font");
        size = pixels;
    }
    float ascent() const { return static_cast<float>(face->size->metrics.ascender) / 64; }
    float descent() const { return -static_cast<float>(face->size->metrics.descender) / 64; }
    float emSize() const { return size; }

    float width(const std::string& text) {
        float x = 0;
        forEachGlyph(text, [&](float penX) { x = penX + advanceOfLoaded(); });
        return x;
    }

    // A shaking hand: the letters wander smoothly above and below the line.
    void write(InkLayer& layer, const std::string& text, float x, float baseline, const InkStroke& ink) {
        forEachGlyph(text, [&](float penX) {
            float stray = ink.tremble * (2 * valueNoise((x + penX) / 7, baseline, ink.seed) - 1);
            drawLoaded(layer, x + penX, baseline + stray, ink);
        });
    }

private:
    FT_Face face = nullptr;
    float size = 0;

    float advanceOfLoaded() const { return static_cast<float>(face->glyph->advance.x) / 64; }

    // Loads each glyph of text in turn and calls visit with its pen position,
    // advances and kerning summed.
    template <typename Visit>
    void forEachGlyph(const std::string& text, Visit visit) {
        float pen = 0;
        FT_UInt previous = 0;
        for (char c : text) {
            FT_UInt index = FT_Get_Char_Index(face, codepointFor(c, face));
            if (index == 0) fail(std::string("the font has no glyph for '") + c + "'");
            if (previous != 0) {
                FT_Vector kerning;
                FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kerning);
                pen += static_cast<float>(kerning.x) / 64;
            }
            if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
                fail("cannot load a glyph");
            visit(pen);
            pen += advanceOfLoaded();
            previous = index;
        }
    }

    void drawLoaded(InkLayer& layer, float x, float baseline, const InkStroke& ink) {
        FT_GlyphSlot slot = face->glyph;
        int left = static_cast<int>(std::floor(x)), base = static_cast<int>(std::floor(baseline));
        FT_Outline_EmboldenXY(&slot->outline, std::lround(ink.weight * 64),
                              std::lround(ink.weight * CROSSBAR_GAIN * 64));
        FT_Outline_Translate(&slot->outline, std::lround((x - static_cast<float>(left)) * 64),
                             -std::lround((baseline - static_cast<float>(base)) * 64));
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) fail("cannot render a glyph");
        const FT_Bitmap& bitmap = slot->bitmap;
        for (int row = 0; row < static_cast<int>(bitmap.rows); ++row)
            for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
                float coverage = static_cast<float>(bitmap.buffer[row * bitmap.pitch + column]) / 255;
                layer.add(left + slot->bitmap_left + column, base - slot->bitmap_top + row, ink.colour,
                          coverage);
            }
    }
};

// ---- Layout ----

struct PlacedWord {
    std::string text;
    float x, baseline;
};

struct Column {
    float left, top, right, bottom;
};

constexpr float HEADING_SCALE = 1.3f;   // the date's size against the text's
constexpr float LINE_SPACING = 1.22f;   // baseline to baseline, in ems
constexpr float PARAGRAPH_GAP = 0.35f;  // extra space before a paragraph, in lines
constexpr float INDENT = 1.4f;          // a paragraph's first line, in ems

constexpr Column COLUMNS[] = {{60, 46, SPINE - 34, HEIGHT - 38}, {SPINE + 34, 46, WIDTH - 60, HEIGHT - 38}};

// Where the text starts under the date, which heads the first column.
float headingDepth(float size) {
    return size * HEADING_SCALE * 1.15f + size * 0.75f;
}

struct Line {
    std::vector<std::string> words;
    bool opensParagraph;
};

// Breaks a paragraph into lines no wider than the columns.
std::vector<Line> wrap(const std::vector<std::string>& paragraph, Hand& hand) {
    float columnWidth = COLUMNS[0].right - COLUMNS[0].left, space = hand.width(" ");
    std::vector<Line> lines{{{}, true}};
    float x = INDENT * hand.emSize();
    for (const std::string& word : paragraph) {
        float w = hand.width(word);
        if (!lines.back().words.empty() && x + space + w > columnWidth) {
            lines.push_back({{}, false});
            x = 0;
        }
        if (!lines.back().words.empty()) x += space;
        lines.back().words.push_back(word);
        x += w;
    }
    return lines;
}

// Sets the words line by line down the first column and on into the second;
// empty when they do not fit.
std::vector<PlacedWord> place(const Entry& entry, Hand& hand) {
    std::vector<Line> lines;
    for (const auto& paragraph : entry.paragraphs) {
        std::vector<Line> wrapped = wrap(paragraph, hand);
        lines.insert(lines.end(), wrapped.begin(), wrapped.end());
    }
    float size = hand.emSize(), space = hand.width(" "), lineHeight = size * LINE_SPACING;
    size_t column = 0;
    float baseline = COLUMNS[0].top + headingDepth(size) + hand.ascent() - lineHeight;
    bool columnEmpty = true;
    std::vector<PlacedWord> placed;
    for (const Line& line : lines) {
        baseline += lineHeight + (line.opensParagraph && !columnEmpty ? PARAGRAPH_GAP * lineHeight : 0);
        if (baseline + hand.descent() > COLUMNS[column].bottom) {
            if (++column == std::size(COLUMNS)) return {};
            baseline = COLUMNS[column].top + hand.ascent();
        }
        columnEmpty = false;
        float x = COLUMNS[column].left + (line.opensParagraph ? INDENT * size : 0);
        for (const std::string& word : line.words) {
            placed.push_back({word, x, baseline});
            x += hand.width(word) + space;
        }
    }
    return placed;
}

// The largest whole pixel size at which every entry fits the spread.
float fittingSize(const std::vector<Entry>& entries, Hand& hand) {
    for (float size = 40; size >= 10; size -= 1) {
        hand.setSize(size);
        if (std::all_of(entries.begin(), entries.end(),
                        [&](const Entry& e) { return !place(e, hand).empty(); }))
            return size;
    }
    fail("the entries do not fit the pages even at 10 pixels");
}

// ---- Pages ----

const Colour INK_FRESH{0.16f, 0.09f, 0.04f};
const Colour INK_FADED{0.38f, 0.24f, 0.12f};

// Ink that dried darker or paler from word to word, from a hand that shakes
// more with every entry.
InkStroke inkFor(int entryNumber, int word, float weight) {
    float fade = 0.55f * unit(word, entryNumber, 77);
    return {mix(INK_FRESH, INK_FADED, fade * fade + 0.1f), weight, 0.12f * static_cast<float>(entryNumber),
            static_cast<uint32_t>(entryNumber * 1000 + word)};
}

// A pen stroke under a heading: it swells in the middle, thins at both
// ends and dips once as the pen lifts. Laid down in quarter-pixel dabs.
void underline(InkLayer& layer, float left, float width, float y) {
    for (float x = left; x < left + width; x += 0.25f) {
        float t = (x - left) / width;
        float thickness = 0.6f + 1.3f * std::sin(t * 3.14159265f);
        float centre = y + 2.0f * std::sin(t * 6.2831853f) * (1 - t);
        for (float dy = -thickness / 2; dy <= thickness / 2; dy += 0.25f)
            layer.add(static_cast<int>(x), static_cast<int>(centre + dy), INK_FRESH, 0.08f);
    }
}

// The date at the head of the left page, underlined.
void writeHeading(InkLayer& layer, const Entry& entry, int entryNumber, Hand& hand, float size) {
    hand.setSize(size * HEADING_SCALE);
    float baseline = COLUMNS[0].top + hand.ascent();
    hand.write(layer, entry.date, COLUMNS[0].left, baseline, inkFor(entryNumber, -1, 0.55f));
    underline(layer, COLUMNS[0].left, hand.width(entry.date), baseline + size * 0.42f);
}

void writeBody(InkLayer& layer, const Entry& entry, int entryNumber, Hand& hand, float size) {
    hand.setSize(size);
    std::vector<PlacedWord> placed = place(entry, hand);
    for (size_t i = 0; i < placed.size(); ++i)
        hand.write(layer, placed[i].text, placed[i].x, placed[i].baseline,
                   inkFor(entryNumber, static_cast<int>(i), 0.45f));
}

// Each page ages differently; the later ones have seen more damp.
void stainSpread(Canvas& canvas, int entryNumber, uint32_t seed) {
    paintFoxing(canvas, 40 + 6 * entryNumber, seed);
    int stains = 1 + entryNumber / 4;
    for (int stain = 0; stain < stains; ++stain) {
        float cx = SPREAD.left + (SPREAD.right - SPREAD.left) * unit(stain, 5, seed);
        float cy = SPREAD.top + (SPREAD.bottom - SPREAD.top) * unit(stain, 6, seed);
        paintWaterStain(canvas, cx, cy, 45 + 70 * unit(stain, 7, seed),
                        seed + 100 + static_cast<uint32_t>(stain));
    }
}

// The margins a drop of wax may fall in, clear of the writing.
constexpr Box WAX_MARGINS[] = {{40, 22, WIDTH - 40, 34}, {40, HEIGHT - 32, WIDTH - 40, HEIGHT - 24}};

// Wax spilt in the margins once the candles ran short, more on each page.
void dripWax(Canvas& canvas, int entryNumber, uint32_t seed) {
    for (int drop = 0; drop < entryNumber - 4; ++drop) {
        const Box& margin = WAX_MARGINS[hash(drop, 8, seed) % std::size(WAX_MARGINS)];
        float cx = margin.left + (margin.right - margin.left) * unit(drop, 9, seed);
        if (std::abs(cx - SPINE) < 30) cx += 60;
        float cy = margin.top + (margin.bottom - margin.top) * unit(drop, 10, seed);
        float radius = 8 + 5 * unit(drop, 11, seed);
        paintWaxDrop(canvas, cx, cy, radius, seed + 200 + static_cast<uint32_t>(drop));
        paintWaxDrop(canvas, cx + radius * 1.9f, cy + radius * 0.4f, radius * 0.35f,  // a splash beside it
                     seed + 300 + static_cast<uint32_t>(drop));
    }
}

void renderPage(const Entry& entry, int entryNumber, Hand& hand, float size, const std::string& path) {
    Canvas canvas;
    uint32_t seed = static_cast<uint32_t>(entryNumber) * 7919u;
    paintBook(canvas, seed, static_cast<float>(entryNumber - 1) / (ENTRY_COUNT - 1));
    stainSpread(canvas, entryNumber, seed);
    InkLayer ink;
    writeHeading(ink, entry, entryNumber, hand, size);
    writeBody(ink, entry, entryNumber, hand, size);
    ink.soakInto(canvas);
    dripWax(canvas, entryNumber, seed);
    paintSpine(canvas);
    paintVignette(canvas);
    if (!canvas.save(path)) fail("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) fail("usage: journalgen FONT_FILE ENTRY_FOLDER OUTPUT_FOLDER");
    std::vector<Entry> entries;
    for (int number = 1; number <= ENTRY_COUNT; ++number)
        entries.push_back(readEntry(std::string(argv[2]) + "/entry" + std::to_string(number) + ".txt"));
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) fail("cannot start FreeType");
    {
        Hand hand(library, argv[1]);
        float size = fittingSize(entries, hand);
        std::printf("journalgen: text at %g pixels\n", size);
        for (int number = 1; number <= ENTRY_COUNT; ++number)
            renderPage(entries[static_cast<size_t>(number - 1)], number, hand, size,
                       std::string(argv[3]) + "/JournalBackground" + std::to_string(number) + ".png");
    }
    FT_Done_FreeType(library);
    return 0;
}
