// Reduce flashing, measured from the frames the game draws: each frame's
// mean luminance, how far it moves from one frame to the next and how often
// a change sets off. With the switch on no effect moves the view's
// brightness by more than a tenth a frame or sets off more than three times
// a second, at 60 and at 30 frames a second; with it off the same effects
// do flash, so the measure is seen to catch them. The rules play the same
// either way.
#include "Effects/BlackOutEffect.h"
#include "Effects/EasedLevel.h"
#include "Effects/RainEmitter.h"
#include "Effects/ReducedFlashing.h"
#include "Util/Random.h"
#include "World/LightEntity.h"
#include "WorldSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double MOST_CHANGE = 0.10;  // of the brighter of two frames in a row
constexpr int MOST_SET_OFF = 3;       // changes in any one second
constexpr double NOTICEABLE = 0.05;   // a change smaller than this is not counted
// Frames darker than this share of the room's own light count as that dark:
// a change deep in the black is none the eye can see.
constexpr double DARKEST_COUNTED = 0.1;
// A lit room's own flicker moves its light by up to a fifth over a quarter
// second; with the switch on it flickers less, about the same light.
constexpr double LIT_ALIKE = 0.3;

// Relative luminance (linear light, Rec. 709's weights) of the frame's mean pixel.
double meanLuminance(const std::vector<unsigned char>& rgba) {
    struct Channels {
        double red[256], green[256], blue[256];
    };
    static const Channels linear = [] {
        Channels table{};
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            const double light = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            table.red[i] = 0.2126 * light;
            table.green[i] = 0.7152 * light;
            table.blue[i] = 0.0722 * light;
        }
        return table;
    }();
    double sum = 0;
    const unsigned char* end = rgba.data() + rgba.size();
    for (const unsigned char* pixel = rgba.data(); pixel < end; pixel += 4)
        sum += linear.red[pixel[0]] + linear.green[pixel[1]] + linear.blue[pixel[2]];
    return sum / static_cast<double>(rgba.size() / 4);
}

struct Flashing {
    double largestChange = 0;  // from one frame to the next
    int mostSetOffInASecond = 0;
};

// How far b lies from a, as a share of the brighter of the two or of floor.
double shareBetween(double a, double b, double floor) {
    return std::fabs(b - a) / std::max({a, b, floor});
}

// A change sets off where the brightness turns (or first moves) and counts
// once it has gone more than NOTICEABLE from there: a flash is two of them,
// one each way.
Flashing measure(const std::vector<double>& luminance, int framesPerSecond, double floor) {
    Flashing result;
    std::vector<size_t> setOff;
    size_t low = 0, high = 0;  // the extremes since the last change set off
    int heading = 0;
    for (size_t i = 1; i < luminance.size(); ++i) {
        result.largestChange =
            std::max(result.largestChange, shareBetween(luminance[i - 1], luminance[i], floor));
        if (luminance[i] > luminance[high]) high = i;
        if (luminance[i] < luminance[low]) low = i;
        if (heading <= 0 && shareBetween(luminance[low], luminance[i], floor) > NOTICEABLE) {
            setOff.push_back(low);
            heading = 1;
            high = i;
        } else if (heading >= 0 && shareBetween(luminance[high], luminance[i], floor) > NOTICEABLE) {
            setOff.push_back(high);
            heading = -1;
            low = i;
        }
    }
    const auto second = static_cast<size_t>(framesPerSecond);
    for (auto first = setOff.begin(); first != setOff.end(); ++first) {
        const auto withinASecond = std::lower_bound(first, setOff.end(), *first + second);
        result.mostSetOffInASecond =
            std::max(result.mostSetOffInASecond, static_cast<int>(withinASecond - first));
    }
    return result;
}

struct ReducedFlashingOn {
    explicit ReducedFlashingOn(bool on) { ReducedFlashingSet(on); }
    ~ReducedFlashingOn() { ReducedFlashingSet(false); }
};

struct ScreenStack {
    ScreenStack() { ScreenStackInit(); }
    ~ScreenStack() { ScreenStackShutdown(); }
};

// What the rules hold after a frame.
struct RuleState {
    float blackout, candleLife, x, y;
    bool hasControl;
    bool operator==(const RuleState&) const = default;
};

struct Played {
    std::vector<double> luminance;
    std::vector<RuleState> rules;
    int nextRulesDraw = 0;
    double lit = 0;  // the room's mean luminance over the quarter second before the effect
};

// An effect in a room: the scale the room is drawn at (of the game's 896 x
// 504), the map, where the character stands, what sets the effect off,
// whether it flickers, how long it runs before it is measured and for how
// long it is.
struct Scene {
    const char* name;
    float scale;
    std::function<std::string(TestWorld&)> map;
    std::function<void(PlayScreen*)> place;
    std::function<void(PlayScreen*)> begin;
    bool flickers;
    float lead, seconds;
};

// The room is played a second, until it stands lit (its last quarter drawn
// and measured); then the effect begins and, after its lead, every frame is
// drawn and measured. The rain is stopped: its drops on the black would be
// all there was to measure.
Played play(TestWorld& world, const Scene& scene, int framesPerSecond, bool reduced) {
    const ReducedFlashingOn flashing(reduced);
    const ScreenStack stack;
    RandomSeed(11);
    PlayScreen* screen = TestWorld::play(scene.map(world));
    screen->rain->rate = 0;
    scene.place(screen);
    const float dt = 1.0f / static_cast<float>(framesPerSecond);
    auto frame = [&] {
        KESysFrameStart();
        ScreenStackUpdate(dt);
        ScreenStackDraw(dt);
        return meanLuminance(Frame().rgba);
    };
    auto framesIn = [&](float seconds) {
        return static_cast<int>(seconds * static_cast<float>(framesPerSecond));
    };
    KEGfxSetRasterising(false);
    for (int i = framesIn(0.75f); i > 0; --i) frame();
    KEGfxSetRasterising(true);
    Played played;
    const int litFrames = framesIn(0.25f);
    for (int i = litFrames; i > 0; --i) played.lit += frame() / litFrames;
    scene.begin(screen);
    KEGfxSetRasterising(false);
    for (int i = framesIn(scene.lead); i > 0; --i) frame();
    KEGfxSetRasterising(true);
    for (int i = framesIn(scene.seconds); i > 0; --i) {
        played.luminance.push_back(frame());
        const CharacterEntity* character = screen->room->character;
        played.rules.push_back({screen->blackout->opacity, character->candleLife, character->x, character->y,
                                character->hasControl});
    }
    played.nextRulesDraw = RandomGame();
    return played;
}

void expectEasedOnlyWhenOn(const Scene& scene) {
    TestWorld world(static_cast<int>(896 * scene.scale), static_cast<int>(504 * scene.scale));
    world.linkHouseRooms();
    KESetViewport(896, 504, {scene.scale, scene.scale});
    for (const int framesPerSecond : {60, 30}) {
        SCOPED_TRACE(testing::Message() << scene.name << " at " << framesPerSecond << " fps");
        const Played off = play(world, scene, framesPerSecond, false);
        const Played on = play(world, scene, framesPerSecond, true);
        const Flashing before = measure(off.luminance, framesPerSecond, off.lit * DARKEST_COUNTED);
        const Flashing now = measure(on.luminance, framesPerSecond, on.lit * DARKEST_COUNTED);
        testing::Test::RecordProperty(
            std::string(scene.name) + " at " + std::to_string(framesPerSecond) + " fps",
            testing::PrintToString(std::array{before.largestChange, now.largestChange}) +
                " largest change off, on; " +
                testing::PrintToString(std::array{before.mostSetOffInASecond, now.mostSetOffInASecond}) +
                " changes in a second off, on");
        EXPECT_NEAR(on.lit, off.lit, off.lit * LIT_ALIKE) << "before the effect the room looks the same";
        EXPECT_GT(before.largestChange, 3 * MOST_CHANGE) << "off, it changes at once";
        if (scene.flickers) {
            EXPECT_GT(before.mostSetOffInASecond, MOST_SET_OFF) << "off, it flickers";
        }
        EXPECT_LE(now.largestChange, MOST_CHANGE);
        EXPECT_LE(now.mostSetOffInASecond, MOST_SET_OFF);
        EXPECT_EQ(on.rules, off.rules) << "the rules play the same";
        EXPECT_EQ(on.nextRulesDraw, off.nextRulesDraw) << "and draw the same";
    }
}

void standAt(PlayScreen* screen, float x, float y) {
    screen->room->character->x = x;
    screen->room->character->y = y;
}

// The roof draws no lightning of its own: its thunder is heard. What flashes
// there is a gust blowing the candle out: the blackout comes down at once,
// then flickers like lightning as it thins. By the candle holder, whose light
// keeps the dark away, the flicker shows the roof.
TEST(ReducedFlashingTest, TheRoofsLightningEasesWhenOn) {
    const Scene roof{"the roof's lightning",
                     0.25f,
                     [](TestWorld&) { return ROOMS + "/Roof.json"; },
                     [](PlayScreen* screen) { standAt(screen, 790, 240); },
                     [](PlayScreen* screen) { screen->room->character->gustTimer = 0; },
                     true,
                     0.0f,
                     4.2f};
    expectEasedOnlyWhenOn(roof);
}

// In the dark the candle's light closes in to a cell and the camera shakes:
// drawn at a quarter of the size, the one lit cell would flicker as the
// shake moves it across the pixels, so that room is drawn larger.
TEST(ReducedFlashingTest, TheCandleGoingOutAndTheBlackoutsFlickerEaseWhenOn) {
    const std::vector<std::string> hall(16, std::string(28, '.'));
    const Scene scenes[] = {
        {"the candle going out in the dark", 0.375f,
         [&](TestWorld& w) { return w.writeMap("Dark.json", hall); },
         [](PlayScreen* screen) {
             standAt(screen, 430, 240);
             screen->room->character->giveCandle(40);
         },
         [](PlayScreen* screen) { screen->room->character->candleLife = 11.01f; }, false, 0.0f, 3.4f},
        {"the blackout's flicker over a lit room", 0.25f,
         [&](TestWorld& w) { return w.writeLitMap("Lit.json", hall, ""); },
         [](PlayScreen* screen) { standAt(screen, 430, 240); },
         [](PlayScreen* screen) { screen->blackout->start(true); }, true, 1.8f, 2.0f},
    };
    for (const Scene& scene : scenes) expectEasedOnlyWhenOn(scene);
}

// The level moves as far in a second at 144, 60 and 30 frames a second,
// never further in a frame than a 30th of a second's share (also at 20), and
// turns back no sooner than half a second after it last set off, however
// often its target swings.
TEST(ReducedFlashingTest, AnEasedLevelMovesBySecondsAndTurnsSeldom) {
    constexpr float SHARE = 0.6f, FLOOR = 0.1f;
    auto secondsToReach = [&](float framesPerSecond) {
        EasedLevel level(SHARE, FLOOR);
        level.settle(1.0f);
        double seconds = 0;
        while (level.follow(0.3f, 1 / framesPerSecond) > 0.3f) seconds += 1 / framesPerSecond;
        return seconds;
    };
    EXPECT_NEAR(secondsToReach(144), secondsToReach(30), 1 / 30.0);
    EXPECT_NEAR(secondsToReach(60), secondsToReach(30), 1 / 30.0);
    for (const float framesPerSecond : {144.0f, 60.0f, 30.0f, 20.0f}) {
        SCOPED_TRACE(testing::Message() << framesPerSecond << " fps");
        EasedLevel level(SHARE, FLOOR);
        level.settle(1.0f);
        float previous = 1.0f;
        int lastWay = 0;
        double seconds = 0, lastTurn = -1;
        for (int frame = 0; frame < 2 * framesPerSecond; ++frame, seconds += 1 / framesPerSecond) {
            const float target = static_cast<int>(seconds * 10) % 2 == 0 ? 0.05f : 1.0f;
            const float now = level.follow(target, 1 / framesPerSecond);
            EXPECT_LE(std::fabs(now - previous), SHARE / 30 * std::max(previous, FLOOR) * 1.0001f);
            const int way = now > previous ? 1 : now < previous ? -1 : 0;
            if (way != 0 && way == -lastWay) {
                EXPECT_GE(seconds - lastTurn, 0.5 - 1e-4) << "at " << seconds << " s";
                lastTurn = seconds;
            }
            if (way != 0) lastWay = way;
            previous = now;
        }
        EXPECT_GE(lastTurn, 1.0) << "it does turn";
    }
}

// With the switch on a death still blacks the screen out at once, for the
// black hides the respawn, where the candle's black comes down gently.
TEST(ReducedFlashingTest, ADeathStillBlacksOutAtOnceWhereTheCandlesBlackEasesIn) {
    const ScopedViewport viewport{64, 36, {2, 2}};
    const ReducedFlashingOn on(true);
    const std::unique_ptr<BlackOut> death = new_BlackOut(), candle = new_BlackOut();
    death->start(false);
    candle->start(true);
    for (BlackOut* effect : {death.get(), candle.get()}) effect->update(1 / 60.0f);
    EXPECT_GT(death->visibleOpacity(), 0.99f);
    EXPECT_LT(candle->visibleOpacity(), 0.05f);
    EXPECT_EQ(candle->opacity, death->opacity) << "what doors read is the same";
}

// With the switch on the character's light eases to a new radius, but one
// taken up with a candle shows at once: the holder's light has gone with it.
TEST(ReducedFlashingTest, ALightEasesToItsRadiusButACandleTakenUpShowsAtOnce) {
    TestWorld world;
    const ReducedFlashingOn on(true);
    Room* room = world.enter(world.writeMap("Hall.json", std::vector<std::string>(10, std::string(16, '.'))));
    LightEntity* light = room->character->light;
    auto frames = [&](int count) {
        for (; count > 0; --count) {
            room->update(1 / 60.0f);
            room->draw(1, 1 / 60.0f);  // which cells show, so the light runs
        }
    };
    frames(2);
    ASSERT_NEAR(light->reachRadius, 110.0f, 0.01f) << "a fresh candle's";
    light->setRadius(40);
    frames(1);
    EXPECT_NEAR(light->radius, 40.0f, 0.01f) << "what the rules read";
    EXPECT_GT(light->reachRadius, 105.0f) << "what is drawn";
    room->character->giveCandle(60);
    frames(2);
    EXPECT_NEAR(light->reachRadius, 110.0f, 0.01f);
    light->setRadius(40);
    frames(1);
    EXPECT_GT(light->reachRadius, 105.0f) << "and eases again after";
}

}  // namespace
