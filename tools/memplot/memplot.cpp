// Plots a soak's memory log (halcyra --memory-log) as a PNG: the resident set
// and the heap in use against game minutes, with a dashed line where each
// round of the route ended. The subtitle gives the figures the soak is judged
// by, so the picture reads on its own.
//
// Usage: memplot SOAK.csv OUTPUT.png
//
// Needs g++, pkg-config, libfreetype-dev, libstb-dev and fonts-dejavu-core.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <stb_image_write.h>

#include "../common/Colour.h"
#include "../common/TextFont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

const char* const TOOL_NAME = "memplot";

namespace {

constexpr int WIDTH = 1200;
constexpr int HEIGHT = 640;
constexpr int LEFT = 90;  // the plot's frame inside the picture
constexpr int RIGHT = WIDTH - 30;
constexpr int TOP = 110;
constexpr int BOTTOM = HEIGHT - 60;

constexpr Colour BACKGROUND{0.98f, 0.98f, 0.97f};
constexpr Colour INK{0.12f, 0.12f, 0.14f};
constexpr Colour GRID{0.86f, 0.86f, 0.86f};
constexpr Colour ROUND_LINE{0.62f, 0.62f, 0.66f};
constexpr Colour RESIDENT{0.13f, 0.38f, 0.72f};
constexpr Colour HEAP{0.86f, 0.45f, 0.10f};

struct Sample {
    double minute = 0.0;
    int round = 0;
    double residentKiB = 0.0;
    double heapKiB = 0.0;
    std::string kind;  // minute, round-end or end
};

Sample parseSample(const std::string& line, int number) {
    std::istringstream fields(line);
    Sample sample;
    char comma[4] = {};
    fields >> sample.minute >> comma[0] >> sample.round >> comma[1] >> sample.residentKiB >> comma[2] >>
        sample.heapKiB >> comma[3] >> sample.kind;
    if (!fields || std::string(comma, 4) != ",,,,")
        fail("line " + std::to_string(number) + ": expected game_minute,round,rss_kib,heap_kib,sample");
    return sample;
}

std::vector<Sample> readSamples(const std::string& path) {
    std::ifstream file(path);
    if (!file) fail("cannot read " + path);
    std::vector<Sample> samples;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number)
        if (number > 1 && !line.empty()) samples.push_back(parseSample(line, number));
    if (samples.empty()) fail(path + " holds no samples");
    return samples;
}

class Canvas {
public:
    Canvas() : pixels(static_cast<size_t>(WIDTH * HEIGHT), BACKGROUND) {}

    void blend(int x, int y, Colour colour, float opacity) {
        if (x < 0 || y < 0 || x >= WIDTH || y >= HEIGHT || opacity <= 0) return;
        Colour& p = pixels[static_cast<size_t>(y * WIDTH + x)];
        p = mix(p, colour, std::min(opacity, 1.0f));
    }

    // A line of the given width with soft edges, as a row of discs.
    void line(double x0, double y0, double x1, double y1, Colour colour, float width) {
        const double length = std::hypot(x1 - x0, y1 - y0);
        const int steps = std::max(1, static_cast<int>(length * 2));
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, colour);
        }
    }

    void disc(double cx, double cy, float radius, Colour colour) {
        for (int y = static_cast<int>(cy - radius - 1); y <= static_cast<int>(cy + radius + 1); ++y)
            for (int x = static_cast<int>(cx - radius - 1); x <= static_cast<int>(cx + radius + 1); ++x) {
                const double inside = radius + 0.5 - std::hypot(x - cx, y - cy);
                blend(x, y, colour, static_cast<float>(std::clamp(inside, 0.0, 1.0)));
            }
    }

    void dashedColumn(int x, int top, int bottom, Colour colour) {
        for (int y = top; y < bottom; ++y)
            if ((y - top) % 8 < 5) blend(x, y, colour, 1);
    }

    bool save(const std::string& path) const {
        const std::vector<unsigned char> bytes = rgbBytes(pixels);
        stbi_write_png_compression_level = 9;
        return stbi_write_png(path.c_str(), WIDTH, HEIGHT, 3, bytes.data(), WIDTH * 3) != 0;
    }

private:
    std::vector<Colour> pixels;
};

struct Fonts {
    Font title, label;
};

// A step of 1, 2 or 5 times a power of ten that cuts range into at most
// about ten parts.
double tickStep(double range) {
    const double rough = range / 10;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough) return factor * power;
    return 10 * power;
}

struct Axes {
    double minutes;  // the x axis runs from 0 to this
    double mib;      // the y axis runs from 0 to this

    double x(double minute) const { return LEFT + (RIGHT - LEFT) * minute / minutes; }
    double y(double kib) const { return BOTTOM - (BOTTOM - TOP) * (kib / 1024) / mib; }
};

Axes axesFor(const std::vector<Sample>& samples) {
    double minutes = 1.0;
    double mib = 1.0;
    for (const Sample& s : samples) {
        minutes = std::max(minutes, s.minute);
        mib = std::max(mib, std::max(s.residentKiB, s.heapKiB) / 1024);
    }
    const double yStep = tickStep(mib * 1.15);
    return {std::ceil(minutes), std::ceil(mib * 1.15 / yStep) * yStep};
}

std::string fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void drawGrid(Canvas& canvas, const Fonts& fonts, const Axes& axes) {
    const double yStep = tickStep(axes.mib);
    for (double mib = 0; mib <= axes.mib + 1e-9; mib += yStep) {
        const int y = static_cast<int>(std::lround(axes.y(mib * 1024)));
        canvas.line(LEFT, y, RIGHT, y, mib == 0 ? INK : GRID, 1);
        const std::string text = fixed(mib, yStep < 1 ? 1 : 0);
        fonts.label.draw(canvas, LEFT - 10 - fonts.label.width(text), y + 5, text, INK);
    }
    const double xStep = tickStep(axes.minutes);
    for (double minute = 0; minute <= axes.minutes + 1e-9; minute += xStep) {
        const int x = static_cast<int>(std::lround(axes.x(minute)));
        canvas.line(x, TOP, x, BOTTOM, minute == 0 ? INK : GRID, 1);
        const std::string text = fixed(minute, 0);
        fonts.label.draw(canvas, x - fonts.label.width(text) / 2, BOTTOM + 20, text, INK);
    }
    const std::string xName = "game minutes";
    fonts.label.draw(canvas, (LEFT + RIGHT - fonts.label.width(xName)) / 2, BOTTOM + 44, xName, INK);
    fonts.label.draw(canvas, 16, TOP - 14, "MiB", INK);
}

void drawRoundEnds(Canvas& canvas, const Fonts& fonts, const Axes& axes, const std::vector<Sample>& samples) {
    for (const Sample& s : samples) {
        if (s.kind != "round-end") continue;
        const int x = static_cast<int>(std::lround(axes.x(s.minute)));
        canvas.dashedColumn(x, TOP, BOTTOM, ROUND_LINE);
        const std::string text = std::to_string(s.round);
        fonts.label.draw(canvas, x - fonts.label.width(text) / 2, TOP - 6, text, ROUND_LINE);
    }
}

template <class Value>
void drawSeries(Canvas& canvas, const Axes& axes, const std::vector<Sample>& samples, Colour colour,
                Value value) {
    for (size_t i = 1; i < samples.size(); ++i)
        canvas.line(axes.x(samples[i - 1].minute), axes.y(value(samples[i - 1])), axes.x(samples[i].minute),
                    axes.y(value(samples[i])), colour, 2.5f);
}

// The soak's figures: the resident set as the first round ended, at the end,
// and the difference.
std::string summaryOf(const std::vector<Sample>& samples) {
    const auto firstRound =
        std::find_if(samples.begin(), samples.end(), [](const Sample& s) { return s.kind == "round-end"; });
    const Sample& last = samples.back();
    std::string text = std::to_string(last.round) + " rounds in " + fixed(last.minute, 1) + " game minutes";
    if (firstRound == samples.end()) return text;
    return text + "; resident at the end of round 1: " + fixed(firstRound->residentKiB / 1024, 1) +
           " MiB, at the end: " + fixed(last.residentKiB / 1024, 1) + " MiB (" +
           (last.residentKiB >= firstRound->residentKiB ? "+" : "") +
           fixed(last.residentKiB - firstRound->residentKiB, 0) + " KiB)";
}

void drawKey(Canvas& canvas, const Fonts& fonts) {
    int x = RIGHT - 430;
    for (const auto& [colour, name] : {std::pair{RESIDENT, "resident set (VmRSS)"}, {HEAP, "heap in use"}}) {
        canvas.line(x, 72, x + 28, 72, colour, 2.5f);
        fonts.label.draw(canvas, x + 36, 77, name, INK);
        x += 220;
    }
}

void plot(Canvas& canvas, const Fonts& fonts, const std::vector<Sample>& samples) {
    const Axes axes = axesFor(samples);
    drawGrid(canvas, fonts, axes);
    drawRoundEnds(canvas, fonts, axes, samples);
    drawSeries(canvas, axes, samples, HEAP, [](const Sample& s) { return s.heapKiB; });
    drawSeries(canvas, axes, samples, RESIDENT, [](const Sample& s) { return s.residentKiB; });
    fonts.title.draw(canvas, LEFT, 34,
                     "Memory over a soak of the play-through (rounds end at the dashed lines)", INK);
    fonts.label.draw(canvas, LEFT, 58, summaryOf(samples), INK);
    drawKey(canvas, fonts);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) fail("usage: memplot SOAK.csv OUTPUT.png");
    const std::vector<Sample> samples = readSamples(argv[1]);
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) fail("cannot start FreeType");
    {
        const Fonts fonts{{library, "DejaVuSans-Bold.ttf", 18}, {library, "DejaVuSans.ttf", 14}};
        Canvas canvas;
        plot(canvas, fonts, samples);
        if (!canvas.save(argv[2])) fail(std::string("cannot write ") + argv[2]);
    }
    FT_Done_FreeType(library);
    return 0;
}
