// Paints the cards of the game's opening: the dark backdrop they fade in
// over, the studio's mark, Mirefell on its mire by night, the title and the
// hour the story begins. The cards are drawn pixel for pixel on the 896 x 504
// virtual screen, so their lettering is set at its final size. All noise is
// hashed from pixel positions: two runs write the same bytes.
//
// Usage: introgen SERIF_FONT ITALIC_FONT SCRIPT_FONT OUTPUT_FOLDER
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
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "introgen: %s\n", message.c_str());
    std::exit(1);
}

// ---- Colour and images ----

Colour plus(Colour a, Colour b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

struct Pixel {
    Colour colour;
    float alpha;
};

// Colour with straight (not premultiplied) alpha, as PNG stores it.
class Image {
public:
    // Transparent pixels keep the blank colour, so that no dark fringe
    // creeps in where the game filters the card's edges.
    Image(int w, int h, Colour blank, float alpha = 0)
        : width(w), height(h), pixels(static_cast<size_t>(w * h), Pixel{blank, alpha}) {}

    Pixel& at(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }

    // Lays colour over the pixel with the given opacity.
    void over(int x, int y, Colour colour, float opacity) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        Pixel& pixel = at(x, y);
        float a = std::clamp(opacity, 0.0f, 1.0f);
        float total = a + pixel.alpha * (1 - a);
        if (total <= 0) return;
        pixel.colour = mix(scaled(pixel.colour, pixel.alpha * (1 - a) / total), colour, a / total);
        pixel.alpha = total;
    }

    bool save(const std::string& path) const {
        std::vector<unsigned char> bytes;
        bytes.reserve(pixels.size() * 4);
        for (const Pixel& p : pixels)
            for (float c : {p.colour.r, p.colour.g, p.colour.b, p.alpha}) bytes.push_back(toByte(c));
        stbi_write_png_compression_level = 9;
        return stbi_write_png(path.c_str(), width, height, 4, bytes.data(), width * 4) != 0;
    }

    const int width, height;

private:
    std::vector<Pixel> pixels;
};

// ---- Shapes ----

struct Point {
    float x, y;
};

struct Box {
    float left, top, right, bottom;
};

Box around(Point centre, float reach) {
    return {centre.x - reach, centre.y - reach, centre.x + reach, centre.y + reach};
}

// Distance from p to the segment a-b; along receives where the nearest
// point lies on it (0 at a, 1 at b).
float segmentDistance(Point p, Point a, Point b, float& along) {
    float dx = b.x - a.x, dy = b.y - a.y;
    along = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(p.x - a.x - along * dx, p.y - a.y - along * dy);
}

// Signed distance to a closed polygon, negative inside; any winding, convex or not.
float polygonDistance(const std::vector<Point>& corners, Point p) {
    float nearest = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
        Point a = corners[j], b = corners[i];
        float along = 0;
        nearest = std::min(nearest, segmentDistance(p, a, b, along));
        if ((b.y > p.y) != (a.y > p.y) && p.x < a.x + (b.x - a.x) * (p.y - a.y) / (b.y - a.y))
            inside = !inside;
    }
    return inside ? -nearest : nearest;
}

Box boundsOf(const std::vector<Point>& corners) {
    Box box{1e9f, 1e9f, -1e9f, -1e9f};
    for (Point c : corners)
        box = {std::min(box.left, c.x), std::min(box.top, c.y), std::max(box.right, c.x),
               std::max(box.bottom, c.y)};
    return box;
}

// Signed distance to an ellipse; close enough near its rim to antialias it.
float ellipseDistance(Point p, Point centre, float rx, float ry) {
    float u = (p.x - centre.x) / rx, v = (p.y - centre.y) / ry;
    return (std::hypot(u, v) - 1) * std::min(rx, ry);
}

// A quadratic curve from a through the pull of control to b, as straight legs.
std::vector<Point> curve(Point a, Point control, Point b, int legs) {
    std::vector<Point> points;
    for (int i = 0; i <= legs; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(legs), s = 1 - t;
        points.push_back({s * s * a.x + 2 * s * t * control.x + t * t * b.x,
                          s * s * a.y + 2 * s * t * control.y + t * t * b.y});
    }
    return points;
}

// Distance to a line through the points, thinning from width at the first
// to tipWidth at the last.
float strokeDistance(const std::vector<Point>& points, float width, float tipWidth, Point p) {
    float nearest = 1e9f;
    for (size_t i = 1; i < points.size(); ++i) {
        float along = 0;
        float d = segmentDistance(p, points[i - 1], points[i], along);
        float t = (static_cast<float>(i - 1) + along) / static_cast<float>(points.size() - 1);
        nearest = std::min(nearest, d - (width + (tipWidth - width) * t) / 2);
    }
    return nearest;
}

// ---- Coverage masks ----

// How much of each pixel a shape covers, kept detail x detail times finer
// than the card so that fine shapes come out smooth once reduced.
class Mask {
public:
    Mask(int w, int h, int fineness = 1)
        : width(w), height(h), detail(fineness), cover(static_cast<size_t>(w * fineness * h * fineness), 0) {}

    // Coverage at a fine sample; nothing outside.
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width * detail || y >= height * detail) return 0;
        return cover[static_cast<size_t>(y * width * detail + x)];
    }

    // Coverage at a point given in card pixels.
    float sample(Point p) const {
        return at(static_cast<int>(std::floor(p.x * static_cast<float>(detail))),
                  static_cast<int>(std::floor(p.y * static_cast<float>(detail))));
    }

    // Adds the shape whose signed distance, in card pixels, distance gives;
    // area bounds the shape.
    template <typename Distance>
    void fill(Box area, Distance distance) {
        forEachSample(area, [&](float& c, Point p) { c = std::max(c, edgeCover(distance(p))); });
    }

    void fillPolygon(const std::vector<Point>& corners) {
        fill(boundsOf(corners), [&](Point p) { return polygonDistance(corners, p); });
    }

    // Unions coverage from outside, such as a rendered glyph, at a fine sample.
    void add(int x, int y, float coverage) {
        if (x < 0 || y < 0 || x >= width * detail || y >= height * detail) return;
        float& c = cover[static_cast<size_t>(y * width * detail + x)];
        c = std::max(c, coverage);
    }

    // One sample per card pixel, the average of its fine ones.
    Mask reduced() const {
        Mask out(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                float sum = 0;
                for (int j = 0; j < detail; ++j)
                    for (int i = 0; i < detail; ++i) sum += at(x * detail + i, y * detail + j);
                out.cover[static_cast<size_t>(y * width + x)] = sum / static_cast<float>(detail * detail);
            }
        return out;
    }

    // Softened, close to a gaussian: three passes of a box each way.
    Mask blurred(int radius) const {
        Mask out = *this;
        int columns = width * detail, rows = height * detail;
        for (int pass = 0; pass < 3; ++pass) {
            for (int y = 0; y < rows; ++y) out.boxBlur(radius, static_cast<size_t>(y * columns), 1, columns);
            for (int x = 0; x < columns; ++x) out.boxBlur(radius, static_cast<size_t>(x), columns, rows);
        }
        return out;
    }

    const int width, height, detail;

private:
    std::vector<float> cover;

    // A shape's coverage of a fine sample from its distance in card pixels.
    float edgeCover(float distance) const {
        return std::clamp(0.5f - distance * static_cast<float>(detail), 0.0f, 1.0f);
    }

    template <typename Visit>
    void forEachSample(Box area, Visit visit) {
        float scale = static_cast<float>(detail);
        int left = std::max(0, static_cast<int>(std::floor((area.left - 2) * scale)));
        int top = std::max(0, static_cast<int>(std::floor((area.top - 2) * scale)));
        int right = std::min(width * detail, static_cast<int>(std::ceil((area.right + 2) * scale)));
        int bottom = std::min(height * detail, static_cast<int>(std::ceil((area.bottom + 2) * scale)));
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                visit(cover[static_cast<size_t>(y * width * detail + x)],
                      Point{(static_cast<float>(x) + 0.5f) / scale, (static_cast<float>(y) + 0.5f) / scale});
    }

    // A running mean over 2 radius + 1 samples along the line of count
    // samples from start, step apart; beyond its ends counts as empty.
    void boxBlur(int radius, size_t start, int step, int count) {
        std::vector<float> line(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            line[static_cast<size_t>(i)] = cover[start + static_cast<size_t>(i * step)];
        float sum = 0;
        for (int i = 0; i < std::min(radius, count); ++i) sum += line[static_cast<size_t>(i)];
        for (int i = 0; i < count; ++i) {
            if (i + radius < count) sum += line[static_cast<size_t>(i + radius)];
            if (i - radius - 1 >= 0) sum -= line[static_cast<size_t>(i - radius - 1)];
            cover[start + static_cast<size_t>(i * step)] = sum / static_cast<float>(2 * radius + 1);
        }
    }
};

// Lays colour over the image wherever the mask covers it, up to opacity.
void paint(Image& image, const Mask& mask, Colour colour, float opacity) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) image.over(x, y, colour, opacity * mask.at(x, y));
}

// As paint, with a colour that varies over the card.
template <typename ColourAt>
void paintShaded(Image& image, const Mask& mask, ColourAt colourAt, float opacity) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (mask.at(x, y) > 0) image.over(x, y, colourAt(x, y), opacity * mask.at(x, y));
}

// ---- Lettering ----

// A FreeType face, unhinted so that letters sit at fractions of a pixel and
// keep their drawn shapes at display sizes.
class Typeface {
public:
    Typeface(FT_Library library, const std::string& path) {
        if (FT_New_Face(library, path.c_str(), 0, &face) != 0) fail("cannot open " + path);
    }
    ~Typeface() { FT_Done_Face(face); }
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;

    void setSize(float pixels) {
        if (FT_Set_Char_Size(face, 0, std::lround(pixels * 64), 72, 72) != 0) fail("cannot size the font");
        size = pixels;
    }

    // The advance of text with tracking ems of extra space between letters.
    float width(const std::string& text, float tracking = 0) {
        float end = 0;
        forEachGlyph(text, tracking, [&](float pen) { end = pen + advanceOfLoaded(); });
        return end;
    }

    // Sets text centred on centreX, its strokes thickened by weight pixels.
    void drawCentred(Mask& mask, const std::string& text, float centreX, float baseline, float tracking = 0,
                     float weight = 0) {
        float left = centreX - width(text, tracking) / 2;
        forEachGlyph(text, tracking, [&](float pen) { drawLoaded(mask, left + pen, baseline, weight); });
    }

private:
    FT_Face face = nullptr;
    float size = 0;

    float advanceOfLoaded() const { return static_cast<float>(face->glyph->advance.x) / 64; }

    // Loads each glyph of text in turn and calls visit with its pen position.
    template <typename Visit>
    void forEachGlyph(const std::string& text, float tracking, Visit visit) {
        float pen = 0;
        FT_UInt previous = 0;
        for (char c : text) {
            FT_UInt index = FT_Get_Char_Index(face, static_cast<unsigned char>(c));
            if (index == 0) fail(std::string("the font has no glyph for '") + c + "'");
            if (previous != 0) {
                FT_Vector kerning;
                FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kerning);
                pen += static_cast<float>(kerning.x) / 64 + tracking * size;
            }
            if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
                fail("cannot load a glyph");
            visit(pen);
            pen += advanceOfLoaded();
            previous = index;
        }
    }

    void drawLoaded(Mask& mask, float x, float baseline, float weight) {
        FT_GlyphSlot slot = face->glyph;
        int left = static_cast<int>(std::floor(x)), base = static_cast<int>(std::floor(baseline));
        if (weight > 0) FT_Outline_Embolden(&slot->outline, std::lround(weight * 64));
        FT_Outline_Translate(&slot->outline, std::lround((x - static_cast<float>(left)) * 64),
                             -std::lround((baseline - static_cast<float>(base)) * 64));
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) fail("cannot render a glyph");
        const FT_Bitmap& bitmap = slot->bitmap;
        for (int row = 0; row < static_cast<int>(bitmap.rows); ++row)
            for (int column = 0; column < static_cast<int>(bitmap.width); ++column)
                mask.add(left + slot->bitmap_left + column, base - slot->bitmap_top + row,
                         static_cast<float>(bitmap.buffer[row * bitmap.pitch + column]) / 255);
    }
};

struct Fonts {
    Typeface& serif;
    Typeface& italic;
    Typeface& script;
};

// ---- Shared palette ----

const Colour BONE{0.91f, 0.87f, 0.78f};
const Colour OLD_BONE{0.80f, 0.70f, 0.56f};
const Colour PALE_GOLD{0.88f, 0.78f, 0.56f};
const Colour EMBER{0.86f, 0.52f, 0.22f};
const Colour CANDLE{1.0f, 0.80f, 0.48f};
const Colour FLAME_HEART{1.0f, 0.96f, 0.86f};
const Colour MOTH_WING{0.90f, 0.83f, 0.67f};

// A candle flame standing on (x, base): a drop that narrows to a point
// above, height tall.
float flameDistance(Point p, float x, float base, float height) {
    float t = std::clamp((base - p.y) / height, 0.0f, 1.0f);
    float halfWidth = height * 0.2f * std::sin(3.14159265f * std::pow(t, 0.7f)) * (1 - 0.25f * t);
    float across = std::abs(p.x - x) - halfWidth;
    float along = std::max(p.y - base, base - height - p.y);
    return std::max(across * 0.8f, along);
}

// ---- The backdrop ----

constexpr int SCREEN_WIDTH = 896;
constexpr int SCREEN_HEIGHT = 504;

const Colour NIGHT{0.024f, 0.028f, 0.036f};
const Colour NIGHT_MIST{0.052f, 0.058f, 0.068f};

// Near-black with drifts of mist and a fine grain. Nothing in it has a
// place of its own, so any corner of it, at any zoom and stretch, looks
// like the rest.
Colour backdropAt(int x, int y) {
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    float drift = cloudNoise(fx / 150, fy / 110, 1, 4);
    float wisps = cloudNoise(fx / 55 + 2 * drift, fy / 35, 2, 3);
    float grain = unit(x, y, 3) - 0.5f;
    float mist = std::clamp(0.35f + 1.1f * (drift - 0.5f) + 0.5f * (wisps - 0.5f), 0.0f, 1.0f);
    return scaled(mix(NIGHT, NIGHT_MIST, mist), 1 + 0.05f * grain);
}

Image paintBackdrop() {
    Image image(SCREEN_WIDTH, SCREEN_HEIGHT, NIGHT, 1);
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) image.at(x, y).colour = backdropAt(x, y);
    return image;
}

// ---- The studio's mark: a moth ----

// A closed outline of quadratic curves: knots alternate corner and control
// point, and the last control bends the way back to the first corner.
std::vector<Point> curvedOutline(const std::vector<Point>& knots) {
    std::vector<Point> points;
    for (size_t i = 0; i < knots.size(); i += 2) {
        std::vector<Point> piece = curve(knots[i], knots[i + 1], knots[(i + 2) % knots.size()], 12);
        points.insert(points.end(), piece.begin(), piece.end() - 1);
    }
    return points;
}

// The right wings, drawn from the moth's axis out; the left are their mirror.
const std::vector<Point> FOREWING =
    curvedOutline({{4, -10}, {32, -44}, {88, -46}, {80, -18}, {60, 2}, {34, 7}, {6, 6}, {4, -2}});
const std::vector<Point> HINDWING =
    curvedOutline({{6, 2}, {30, -2}, {54, 10}, {68, 36}, {36, 48}, {16, 45}, {5, 22}, {4, 10}});

// Where a wing's pattern is cut through it: a line that follows the outer
// margin a little way in, and an eye.
float wingPattern(float wing, Point p, Point eye, float eyeRadius) {
    float margin = std::max(std::abs(wing + 6) - 0.6f, 22 - p.x);
    float ring = std::abs(std::hypot(p.x - eye.x, p.y - eye.y) - eyeRadius) - 0.9f;
    return std::min(margin, ring);
}

// The forewing over the hind one, a hairline apart, both patterned.
float wingDistance(Point p) {
    float fore = polygonDistance(FOREWING, p);
    float hind = std::max(polygonDistance(HINDWING, p), -(fore - 2.2f));
    fore = std::max(fore, -wingPattern(fore, p, {56, -20}, 6));
    hind = std::max(hind, -wingPattern(hind, p, {40, 26}, 3.5f));
    return std::min(fore, hind);
}

// A feathered antenna: a curved shaft with short barbs along its outer side.
float antennaDistance(Point p) {
    static const std::vector<Point> shaft = curve({2, -21}, {6, -40}, {24, -52}, 16);
    float along = 0, nearest = strokeDistance(shaft, 1.4f, 0.7f, p);
    for (size_t i = 3; i + 1 < shaft.size(); i += 2) {
        float t = static_cast<float>(i) / static_cast<float>(shaft.size());
        Point barb{shaft[i].x + 3.6f * (1 - 0.5f * t), shaft[i].y + 1.2f};
        nearest = std::min(nearest, segmentDistance(p, shaft[i], barb, along) - 0.4f);
    }
    return nearest;
}

// A furred thorax, a banded abdomen, a round head and two antennae.
float bodyDistance(Point p) {
    float along = 0;
    float thorax = ellipseDistance(p, {0, -5}, 6.5f, 10);
    float abdomen = ellipseDistance(p, {0, 17}, 4.8f, 15);
    for (float band : {12.0f, 18.0f, 24.0f})
        abdomen = std::max(abdomen, -(segmentDistance(p, {-6, band}, {6, band}, along) - 0.55f));
    float head = std::hypot(p.x, p.y + 18) - 4.3f;
    return std::min({thorax, abdomen, head, antennaDistance(p)});
}

// The whole moth about its thorax at the origin, wings spread, the body
// set a hairline apart from them; mirrored about its axis.
float mothDistance(Point p) {
    Point side{std::abs(p.x), p.y};
    float body = bodyDistance(side);
    return std::min(body, std::max(wingDistance(side), -(body - 1.8f)));
}

Image paintStudioCard(Fonts& fonts) {
    constexpr int width = 400, height = 250;
    constexpr Point thorax{200, 86};
    Image card(width, height, MOTH_WING);
    Mask fine(width, height, 3);
    fine.fill(around(thorax, 100), [&](Point p) { return mothDistance({p.x - thorax.x, p.y - thorax.y}); });
    Mask moth = fine.reduced();
    paint(card, moth.blurred(10), EMBER, 0.32f);
    paint(card, moth, MOTH_WING, 1);

    Mask name(width, height), presents(width, height);
    fonts.serif.setSize(40);
    fonts.serif.drawCentred(name, "VELMORA", width / 2.0f, 192, 0.3f, 0.3f);
    fonts.italic.setSize(21);
    fonts.italic.drawCentred(presents, "presents", width / 2.0f, 228);
    paint(card, name, BONE, 1);
    paint(card, presents, BONE, 0.8f);
    return card;
}

// ---- The title ----

// A thin rule under the title that fades out towards both ends, broken in
// the middle for a candle flame.
Mask titleRule(int width, int height, float centre, float y) {
    Mask rule(width, height, 3);
    rule.fill({centre - 160, y - 2, centre + 160, y + 2}, [&](Point p) {
        float fromMiddle = std::abs(p.x - centre);
        float thickness = 1.3f * (1 - smoothstep(40, 160, fromMiddle));
        return std::max(std::abs(p.y - y) - thickness / 2, 17 - fromMiddle);
    });
    return rule.reduced();
}

Mask candleFlame(int width, int height, float x, float base, float tall) {
    Mask fine(width, height, 3);
    fine.fill(around({x, base - tall / 2}, tall), [&](Point p) { return flameDistance(p, x, base, tall); });
    return fine.reduced();
}

// Old bone: paler above, yellowing below, faintly mottled.
Colour boneAt(int x, int y) {
    float mottle = cloudNoise(static_cast<float>(x) / 5, static_cast<float>(y) / 5, 21, 2);
    float yellowing = smoothstep(50, 155, static_cast<float>(y));
    return scaled(mix(BONE, OLD_BONE, yellowing), 0.93f + 0.1f * mottle);
}

Image paintTitleCard(Fonts& fonts) {
    constexpr int width = 600, height = 200;
    constexpr float centre = width / 2.0f, ruleY = 172;
    Image card(width, height, BONE);
    Mask title(width, height);
    fonts.serif.setSize(124);
    fonts.serif.drawCentred(title, "Halcyra", centre, 126, 0.04f, 0.95f);
    Mask rule = titleRule(width, height, centre, ruleY);
    Mask outerFlame = candleFlame(width, height, centre, ruleY + 5, 26);
    Mask innerFlame = candleFlame(width, height, centre, ruleY + 3, 13);

    paint(card, title.blurred(12), EMBER, 0.5f);
    paint(card, outerFlame.blurred(7), EMBER, 0.9f);
    paint(card, rule.blurred(3), EMBER, 0.4f);
    paintShaded(card, title, boneAt, 1);
    paint(card, rule, PALE_GOLD, 0.9f);
    paint(card, outerFlame, PALE_GOLD, 1);
    paint(card, innerFlame, FLAME_HEART, 1);
    return card;
}

// ---- The hour ----

Image paintHourCard(Fonts& fonts) {
    constexpr int width = 560, height = 150;
    Image card(width, height, BONE);
    Mask place(width, height), hour(width, height);
    fonts.script.setSize(44);
    fonts.script.drawCentred(place, "Mirefell, 3rd October 1889", width / 2.0f, 64, 0, 0.35f);
    fonts.script.setSize(34);
    fonts.script.drawCentred(hour, "a quarter to midnight", width / 2.0f, 116, 0, 0.3f);
    paint(card, place.blurred(6), EMBER, 0.25f);
    paint(card, hour.blurred(6), EMBER, 0.25f);
    paint(card, place, BONE, 1);
    paint(card, hour, BONE, 0.85f);
    return card;
}

// ---- Mirefell by night ----

constexpr int HOUSE_CARD_WIDTH = 600;
constexpr int HOUSE_CARD_HEIGHT = 400;
constexpr float PICTURE_HEIGHT = 336;  // the painted part; the name sits below
constexpr float HORIZON = 196;
constexpr int DETAIL = 3;  // samples along each side of a pixel
constexpr Point MOON{452, 110};
constexpr float MOON_RADIUS = 17;
constexpr Point HOUSE{232, 171};  // the middle of the house's front at ground level

const Colour ZENITH{0.028f, 0.036f, 0.058f};
const Colour SKY_LOW{0.15f, 0.17f, 0.20f};
const Colour MOONLIGHT{0.62f, 0.66f, 0.70f};
const Colour MOON_FACE{0.93f, 0.92f, 0.86f};
const Colour CLOUD_DARK{0.055f, 0.062f, 0.08f};
const Colour CLOUD_LIT{0.42f, 0.45f, 0.49f};
const Colour HILL{0.038f, 0.043f, 0.05f};
const Colour SHADOW{0.016f, 0.018f, 0.024f};
const Colour MIRE{0.03f, 0.034f, 0.032f};
const Colour MIST_DIM{0.26f, 0.29f, 0.33f};
const Colour MIST_LIT{0.52f, 0.55f, 0.59f};
const Colour GLASS{0.055f, 0.062f, 0.08f};

float hillTop(float x) {
    float across = (x - HOUSE.x - 6) / 180;
    float rise = std::pow(std::max(0.0f, 1 - across * across), 1.5f);
    return HORIZON + 1 - 27 * rise - 1.5f * valueNoise(x / 9, 0, 31);
}

// The distant woods along the horizon, low and ragged.
float woodsTop(float x) {
    float height = cloudNoise(x / 22, 0.5f, 32, 3);
    return HORIZON - 2 - 11 * height * height;
}

struct Window {
    Box pane;      // from the middle of the house's front at ground level
    float candle;  // how brightly lit; 0 for dark glass
};

const std::vector<Window> WINDOWS{
    {{57, -66, 63, -56}, 1.0f}, {{-52, -18, -46, -8}, 0.55f}, {{-52, -32, -46, -25}, 0},
    {{-16, -34, -10, -25}, 0},  {{26, -34, 32, -25}, 0},      {{-16, -14, -10, -5}, 0},
    {{28, -14, 34, -5}, 0},     {{10, -64, 14, -57}, 0},
};

// The house from its front's middle at ground level: gabled wing, main
// block and roof, steep central gable, tower and spire, chimneys, porch.
std::vector<std::vector<Point>> housePlan() {
    return {
        {{-68, -38}, {-22, -38}, {-22, 4}, {-68, 4}},
        {{-73, -36}, {-45, -73}, {-17, -36}},
        {{-26, -44}, {52, -44}, {52, 4}, {-26, 4}},
        {{-31, -42}, {-18, -64}, {44, -64}, {57, -42}},
        {{-10, -43}, {12, -88}, {34, -43}},
        {{50, -78}, {70, -78}, {70, 4}, {50, 4}},
        {{47, -76}, {60, -114}, {73, -76}},
        {{-40, -82}, {-33, -82}, {-33, -58}, {-40, -58}},
        {{-41, -85}, {-32, -85}, {-32, -81}, {-41, -81}},
        {{28, -80}, {35, -80}, {35, -58}, {28, -58}},
        {{27, -83}, {36, -83}, {36, -79}, {27, -79}},
        {{2, -14}, {22, -14}, {22, 4}, {2, 4}},
        {{0, -13}, {12, -24}, {24, -13}},
    };
}

void raiseHouse(Mask& land) {
    for (std::vector<Point> piece : housePlan()) {
        for (Point& corner : piece) corner = {HOUSE.x + corner.x, HOUSE.y + corner.y};
        land.fillPolygon(piece);
    }
    for (Point apex : {Point{-45, -73}, Point{12, -88}, Point{60, -114}}) {
        std::vector<Point> finial{{HOUSE.x + apex.x, HOUSE.y + apex.y},
                                  {HOUSE.x + apex.x, HOUSE.y + apex.y - 7}};
        land.fill(around(finial[1], 8), [&](Point p) { return strokeDistance(finial, 1.2f, 0.6f, p); });
    }
}

struct Branch {
    Point base;
    float angle, length, width;
    int depth;
    uint32_t seed;
};

constexpr float UP = -1.5707963f;

// A dead tree: each branch wanders as it grows, in a few crooked legs that
// lean back towards the light, then forks into two or three thinner ones
// bent away from it. Now and then a limb has broken off short.
void growBranch(Mask& land, const Branch& branch) {
    constexpr int LEGS = 4;
    std::vector<Point> points{branch.base};
    float angle = branch.angle;
    for (int leg = 0; leg < LEGS; ++leg) {
        angle += 0.5f * (unit(leg, 1, branch.seed) - 0.5f) + 0.06f * (UP - angle);
        Point last = points.back();
        float step = branch.length / LEGS;
        points.push_back({last.x + step * std::cos(angle), last.y + step * std::sin(angle)});
    }
    Box area = boundsOf(points);
    land.fill({area.left - branch.width, area.top - branch.width, area.right + branch.width,
               area.bottom + branch.width},
              [&](Point p) { return strokeDistance(points, branch.width, branch.width * 0.62f, p); });
    bool broken = unit(0, 5, branch.seed) < 0.12f;
    if (branch.depth == 0 || broken) return;
    int forks = unit(0, 2, branch.seed) < 0.35f ? 3 : 2;
    for (int fork = 0; fork < forks; ++fork) {
        float side = fork % 2 == 0 ? -1.0f : 1.0f;
        float spread = side * (0.3f + 0.45f * unit(fork, 3, branch.seed)) * (fork == 2 ? 0.2f : 1.0f);
        float bent = angle + spread;
        growBranch(land, {points.back(), bent + 0.08f * (UP - bent),
                          branch.length * (0.62f + 0.22f * unit(fork, 4, branch.seed)), branch.width * 0.64f,
                          branch.depth - 1, hash(fork, branch.depth, branch.seed)});
    }
}

// Two trees on the hill, and a larger one standing out on the mire in front,
// whose crown reaches across the moon.
void plantTrees(Mask& land, Mask& near) {
    growBranch(land, {{118, hillTop(118) + 3}, -1.62f, 30, 4.2f, 5, 41});
    growBranch(land, {{352, hillTop(352) + 3}, -1.52f, 15, 2.4f, 4, 44});
    growBranch(near, {{550, 330}, -1.66f, 80, 11, 6, 47});
}

// One blade of reed from its root, bending over as it rises; the first of
// a tuft may carry a bulrush head.
void growBlade(Mask& reeds, Point root, float scale, bool bulrush, uint32_t seed) {
    float lean = 0.7f * (unit(0, 1, seed) - 0.5f), height = scale * (14 + 18 * unit(0, 2, seed));
    Point base{root.x + scale * 8 * (unit(0, 3, seed) - 0.5f), root.y};
    Point tip{base.x + lean * height, base.y - height};
    std::vector<Point> points = curve(base, {base.x + lean * height * 0.2f, base.y - height * 0.6f}, tip, 6);
    reeds.fill(around(tip, height + 2),
               [&](Point p) { return strokeDistance(points, 0.9f * scale + 0.25f, 0.15f, p); });
    if (!bulrush) return;
    Point head = points[4];
    reeds.fill(around(head, 6 * scale),
               [&](Point p) { return ellipseDistance(p, head, 1.3f * scale, 4 * scale); });
}

// Tufts of reed and sedge in the foreground, taller the nearer they stand.
void sowReeds(Mask& near) {
    for (int tuft = 0; tuft < 46; ++tuft) {
        float nearness = std::sqrt(unit(tuft, 1, 51));
        Point root{600 * unit(tuft, 2, 51), HORIZON + 50 + 110 * nearness};
        float scale = (root.y - HORIZON) / 120;
        int blades = 5 + static_cast<int>(8 * unit(tuft, 3, 51));
        for (int blade = 0; blade < blades; ++blade)
            growBlade(near, root, scale, blade == 0 && unit(tuft, 4, 51) < 0.5f, hash(tuft, blade, 52));
    }
}

// The silhouettes of the picture: the hill's house and trees beyond the
// mire, which its pools reflect, and what stands nearer, in front of the
// water and the mist.
struct Night {
    Mask land{HOUSE_CARD_WIDTH, static_cast<int>(PICTURE_HEIGHT), DETAIL};
    Mask near{HOUSE_CARD_WIDTH, static_cast<int>(PICTURE_HEIGHT), DETAIL};
};

float moonGlowAt(Point p) {
    float d = std::hypot(p.x - MOON.x, p.y - MOON.y);
    return 0.5f * std::exp(-(d - MOON_RADIUS) / 22) + 0.12f * std::exp(-d / 140);
}

// Long ragged bands of cloud drifting across the upper sky.
float cloudAt(Point p) {
    float band = smoothstep(30, 80, p.y) * smoothstep(190, 120, p.y);
    float acrossMoon = 0.16f * std::exp(-std::pow((p.y - MOON.y - 7) / 9, 2.0f));
    float shape = cloudNoise(p.x / 130, p.y / 15, 61, 5) + acrossMoon;
    return band * smoothstep(0.48f, 0.72f, shape);
}

Colour moonFaceAt(Point p) {
    float seas = cloudNoise((p.x - MOON.x) / 8, (p.y - MOON.y) / 8, 62, 3);
    float limb = std::hypot(p.x - MOON.x, p.y - MOON.y) / MOON_RADIUS;
    return scaled(MOON_FACE, (1 - 0.16f * smoothstep(0.5f, 0.7f, seas)) * (1 - 0.12f * limb * limb));
}

// A few faint stars where the sky is darkest, one pixel each.
float starAt(Point p) {
    int x = static_cast<int>(p.x), y = static_cast<int>(p.y);
    float chance = unit(x, y, 63);
    if (chance < 0.9992f) return 0;
    return (0.25f + 0.35f * unit(x, y, 64)) * smoothstep(130, 30, p.y);
}

Colour skyAt(Point p) {
    Colour sky = mix(ZENITH, SKY_LOW, std::pow(std::clamp(p.y / HORIZON, 0.0f, 1.0f), 1.7f));
    float glow = moonGlowAt(p);
    sky = plus(sky, scaled(MOONLIGHT, glow));
    sky = plus(sky, scaled(MOON_FACE, starAt(p) * (1 - 2 * glow)));
    float inMoon = std::clamp(MOON_RADIUS - std::hypot(p.x - MOON.x, p.y - MOON.y), 0.0f, 1.0f);
    sky = mix(sky, moonFaceAt(p), inMoon);
    Colour cloud = mix(CLOUD_DARK, CLOUD_LIT, std::min(1.0f, 2.2f * glow));
    return mix(sky, cloud, 0.88f * cloudAt(p));
}

Box paneOf(const Window& window) {
    return {HOUSE.x + window.pane.left, HOUSE.y + window.pane.top, HOUSE.x + window.pane.right,
            HOUSE.y + window.pane.bottom};
}

float distanceOutside(Box box, Point p) {
    return std::hypot(std::max({box.left - p.x, p.x - box.right, 0.0f}),
                      std::max({box.top - p.y, p.y - box.bottom, 0.0f}));
}

// A window's glass: candlelight where one burns, else dark panes that
// hold a little of the sky.
Colour paneColour(const Window& window, Point p) {
    if (window.candle <= 0) return GLASS;
    float flicker = 0.8f + 0.2f * valueNoise(p.x / 2, p.y / 3, 71);
    return scaled(CANDLE, window.candle * flicker);
}

// The house in silhouette, its windows showing where they pierce it, and
// the faint glow the lit ones throw round them.
Colour houseOver(Colour colour, float land, Point p) {
    colour = mix(colour, SHADOW, land);
    for (const Window& window : WINDOWS) {
        float outside = distanceOutside(paneOf(window), p);
        if (outside == 0 && land > 0.5f) colour = paneColour(window, p);
        colour = plus(colour, scaled(EMBER, 0.22f * window.candle * std::exp(-outside / 4)));
    }
    return colour;
}

// Everything above the mire: sky, moon, the far woods, the hill, house and trees.
Colour uplandAt(const Night& night, Point p) {
    Colour colour = skyAt(p);
    if (p.y > woodsTop(p.x)) colour = mix(colour, HILL, 0.45f);
    if (p.y > hillTop(p.x)) colour = HILL;
    return houseOver(colour, night.land.sample(p), p);
}

// How much open water lies at a point of the mire, 0 to 1. The ground is
// seen in perspective, so pools flatten into slivers towards the horizon.
float poolAt(Point p) {
    float below = p.y - HORIZON;
    float across = (p.x - 300) / below, away = 100 / below;
    float water = cloudNoise(across * 0.9f + 40, away * 0.9f, 81, 4);
    float moonPool = smoothstep(1.0f, 0.3f, std::hypot((p.x - 420) / 130, (p.y - 262) / 20));
    float housePool = smoothstep(1.0f, 0.3f, std::hypot((p.x - 250) / 90, (p.y - 232) / 9));
    float edge = 0.012f + 0.02f / (1 + below / 8);
    return smoothstep(0.58f - edge, 0.58f + edge, water + 0.35f * moonPool + 0.3f * housePool);
}

// The sky and the house again, upside down in still water, broken into
// streaks by ripples.
Colour reflectionAt(const Night& night, Point p) {
    float ripple = valueNoise(p.x / 40, p.y / 1.6f, 82) - 0.5f;
    Point mirrored{p.x + 7 * ripple, 2 * HORIZON - p.y + 1.5f * ripple};
    return scaled(uplandAt(night, mirrored), 0.62f + 0.25f * ripple);
}

Colour mireAt(const Night& night, Point p) {
    float below = p.y - HORIZON;
    float tussocks = cloudNoise(p.x / 7, p.y / 2.5f, 83, 3);
    Colour ground = scaled(MIRE, 0.7f + 0.6f * tussocks);
    ground = mix(ground, SKY_LOW, 0.55f * std::exp(-below / 10));
    return mix(ground, reflectionAt(night, p), poolAt(p));
}

// Low mist lying on the mire and banked against the foot of the hill,
// brightest where the moon catches it.
Colour mistOver(Colour colour, Point p) {
    float lying = 0.6f * std::exp(-std::pow((p.y - HORIZON - 6) / 16, 2.0f));
    float banked = 0.35f * std::exp(-std::pow((p.y - HORIZON + 10) / 9, 2.0f));
    float thin = 0.18f * smoothstep(HORIZON, PICTURE_HEIGHT, p.y);
    float drift = cloudNoise(p.x / 110 + 7, p.y / 9, 91, 4);
    float amount = (lying + banked + thin) * smoothstep(0.3f, 0.75f, drift);
    float moonlit = std::exp(-std::abs(p.x - MOON.x) / 160);
    return mix(colour, mix(MIST_DIM, MIST_LIT, moonlit), std::min(amount, 0.7f));
}

Colour nightAt(const Night& night, Point p) {
    Colour colour = p.y < HORIZON ? uplandAt(night, p) : mireAt(night, p);
    colour = mistOver(colour, p);
    return mix(colour, SHADOW, night.near.sample(p));
}

// The picture fades into the dark towards its edges, raggedly, as if mist
// closed in around it.
float pictureOpacity(Point p) {
    float u = std::abs(p.x - HOUSE_CARD_WIDTH / 2.0f) / (HOUSE_CARD_WIDTH / 2.0f);
    float v = std::abs(p.y - PICTURE_HEIGHT / 2) / (PICTURE_HEIGHT / 2);
    float reach = std::pow(std::pow(u, 5.0f) + std::pow(v, 5.0f), 0.2f);
    float ragged = 0.1f * (cloudNoise(p.x / 28, p.y / 28, 95, 3) - 0.5f);
    return smoothstep(0.95f, 0.68f, reach + ragged);
}

Colour averagedNightAt(const Night& night, int x, int y) {
    Colour sum{0, 0, 0};
    for (int j = 0; j < DETAIL; ++j)
        for (int i = 0; i < DETAIL; ++i) {
            Point p{static_cast<float>(x) + (static_cast<float>(i) + 0.5f) / DETAIL,
                    static_cast<float>(y) + (static_cast<float>(j) + 0.5f) / DETAIL};
            sum = plus(sum, nightAt(night, p));
        }
    return scaled(sum, 1.0f / (DETAIL * DETAIL));
}

Image paintHouseCard(Fonts& fonts) {
    Night night;
    raiseHouse(night.land);
    plantTrees(night.land, night.near);
    sowReeds(night.near);
    Image card(HOUSE_CARD_WIDTH, HOUSE_CARD_HEIGHT, BONE);
    for (int y = 0; y < static_cast<int>(PICTURE_HEIGHT); ++y)
        for (int x = 0; x < HOUSE_CARD_WIDTH; ++x)
            card.at(x, y) = {averagedNightAt(night, x, y),
                             pictureOpacity({static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f})};

    Mask name(HOUSE_CARD_WIDTH, HOUSE_CARD_HEIGHT);
    fonts.serif.setSize(46);
    fonts.serif.drawCentred(name, "Mirefell", HOUSE_CARD_WIDTH / 2.0f, 380, 0.08f, 0.35f);
    paint(card, name.blurred(7), EMBER, 0.3f);
    paint(card, name, BONE, 1);
    return card;
}

void save(const Image& image, const std::string& folder, const std::string& name) {
    std::string path = folder + "/" + name;
    if (!image.save(path)) fail("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) fail("usage: introgen SERIF_FONT ITALIC_FONT SCRIPT_FONT OUTPUT_FOLDER");
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) fail("cannot start FreeType");
    {
        Typeface serif(library, argv[1]), italic(library, argv[2]), script(library, argv[3]);
        Fonts fonts{serif, italic, script};
        std::string folder = argv[4];
        save(paintBackdrop(), folder, "IntroBackground.png");
        save(paintStudioCard(fonts), folder, "IntroVelmora.png");
        save(paintHouseCard(fonts), folder, "IntroMirefell.png");
        save(paintTitleCard(fonts), folder, "IntroLogo.png");
        save(paintHourCard(fonts), folder, "IntroTime.png");
    }
    FT_Done_FreeType(library);
    return 0;
}
