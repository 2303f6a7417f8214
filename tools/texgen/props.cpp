// The things the character meets on its way through the house: the doors,
// the key and the journal, the seating and tables, and the floors that give
// way. Seen from above and lit from the upper left, like the rest.
#include "materials.h"
#include "sheets.h"

namespace {

// A closed door in a one-tile doorway: a slab of oak boards from jamb to
// jamb across the middle of the tile, hinged at the left, with a brass
// knob on either face at the right.
Image door() {
    Image image(32, 32);
    panel(image, {3, 12, 29, 20}, 1, grainOf(oak, 11), 1.5f);
    for (int x : {10, 17, 23})
        for (int y = 13; y < 19; ++y) image.blend(x, y, gloom, 0.45f);
    for (float hingeX : {5.5f, 9.5f}) {
        panel(image, {hingeX - 1.5f, 19, hingeX + 1.5f, 21.5f}, 0.5f, iron, 0.8f);
        panel(image, {hingeX - 1.5f, 10.5f, hingeX + 1.5f, 13}, 0.5f, iron, 0.8f);
    }
    for (float faceY : {10.2f, 21.8f}) {
        disc(image, 25.5f, faceY, 1.9f, shade(brass, 0.6f));
        knob(image, 25.5f, faceY, 1.4f);
    }
    panel(image, {0, 9, 4, 23}, 1, grainOf(darkOak, 12, true), 1.2f);
    panel(image, {28, 9, 32, 23}, 1, grainOf(darkOak, 13, true), 1.2f);
    return withShadow(image, 0, 1);
}

// An old key lying on the boards, bow to the upper left and bit to the
// lower right; a glint runs along it from frame to frame.
Image keyFrame(int frame) {
    Image image(16, 16);
    const Rgba metal{0.70f, 0.55f, 0.27f, 1};
    limb(image, 6.2f, 6.2f, 13, 13, 0.95f, metal);
    limb(image, 10.4f, 10.4f, 12.6f, 8.2f, 0.85f, metal);
    limb(image, 12.4f, 12.4f, 14.4f, 10.4f, 0.85f, metal);
    ring(image, 4.6f, 4.6f, 1.3f, 3.4f, metal);
    ring(image, 7.2f, 7.2f, 0, 1.4f, shade(metal, 1.05f));
    Image key = withShadow(image, 1, 1, 0.6f);
    float along = asFloat(frame) / 4;
    sparkle(key, 3.5f + along * 9, 3.5f + along * 9, 2.6f + 0.8f * std::sin(along * 3.1416f), 0.85f);
    return key;
}

// A leather journal, its spine to the left with raised bands, gilt
// tooling round the cover, page edges showing at the fore-edge and foot,
// a ribbon hanging out below and brass corners that catch the light.
Image journalFrame(int frame) {
    Image image(24, 20);
    const Rgba cover{0.44f, 0.20f, 0.14f, 1};
    panel(image, {4, 3, 21, 17}, 1, linen, 0.8f);
    for (int y = 4; y < 17; y += 2) image.blend(20, y, shade(linen, 0.7f), 0.6f);
    stroke(image, 16.5f, 16, 17, 19, 0.6f, {0.62f, 0.14f, 0.12f, 1});
    panel(image, {2, 2, 20, 16}, 1, leatherOf(cover, 31), 1.2f);
    panel(image, {2, 2, 6, 16}, 1, leatherOf(shade(cover, 0.8f), 32), 1.5f, 1);
    for (int y : {5, 9, 13}) stroke(image, 2.5f, asFloat(y), 5.5f, asFloat(y), 0.4f, shade(cover, 1.25f));
    for (int x = 8; x < 18; ++x) image.blend(x, 4, gilt, 0.55f), image.blend(x, 13, gilt, 0.55f);
    for (int y = 4; y < 14; ++y) image.blend(8, y, gilt, 0.55f), image.blend(17, y, gilt, 0.55f);
    dome(image, 12.8f, 8.6f, 1.8f, 1.8f, gilt);
    for (float cornerY : {3.0f, 15.0f}) dome(image, 19, cornerY, 1.4f, 1.4f, brass);
    Image journal = withShadow(image);
    if (frame > 0) sparkle(journal, 19, 3, 1.2f + asFloat(frame), 0.3f * asFloat(frame));
    return journal;
}

// Seating, back to the north: a frame under a back cushion, an arm at
// each end and seat cushions between them.
struct Sofa {
    int width, height, seats;
    Rgba fabric;
    int seed;
};

void sofaBody(Image& image, const Sofa& sofa, float arm, float back) {
    float right = asFloat(sofa.width) - 3, bottom = asFloat(sofa.height) - 3;
    auto cloth = velvetOf(sofa.fabric, sofa.seed);
    panel(image, {1, 1, right, bottom}, 4, velvetOf(shade(sofa.fabric, 0.7f), sofa.seed), 2);
    panel(image, {1, 1, right, back}, 4, cloth, 2.5f, 1);
    panel(image, {1, 3, 1 + arm, bottom}, 3.5f, cloth, 2.5f, 1);
    panel(image, {right - arm, 3, right, bottom}, 3.5f, cloth, 2.5f, 1);
    float seat = (right - 1 - 2 * arm) / asFloat(sofa.seats);
    for (int i = 0; i < sofa.seats; ++i) {
        float left = 1 + arm + seat * asFloat(i);
        panel(image, {left + 0.3f, back - 1, left + seat - 0.3f, bottom - 1}, 2.5f, cloth, 2, 1.3f);
    }
}

// Buttons along a sofa's back, one every spacing pixels.
void tuftedBack(Image& image, const Sofa& sofa, float arm, float y, float spacing) {
    float right = asFloat(sofa.width) - 3 - arm;
    int count = static_cast<int>((right - 1 - arm) / spacing);
    float first = (1 + arm + right) / 2 - spacing * asFloat(count - 1) / 2;
    for (int i = 0; i < count; ++i) tuftButton(image, first + spacing * asFloat(i), y, sofa.fabric);
}

Image sofa(const Sofa& sofa) {
    Image image(sofa.width, sofa.height);
    sofaBody(image, sofa, 8, 12);
    tuftedBack(image, sofa, 8, 6, 8);
    return withShadow(image);
}

// A deep-buttoned leather armchair: back and arms at one height, a
// diamond of buttons over them, one plump seat cushion.
Image chesterfield() {
    Image image(36, 36);
    const Rgba hide{0.42f, 0.25f, 0.16f, 1};
    panel(image, {1, 1, 33, 33}, 5, leatherOf(shade(hide, 0.75f), 41), 2);
    panel(image, {1, 1, 33, 11}, 5, leatherOf(hide, 42), 2.5f, 1);
    panel(image, {1, 3, 9, 33}, 4, leatherOf(hide, 43), 2.5f, 1);
    panel(image, {25, 3, 33, 33}, 4, leatherOf(hide, 44), 2.5f, 1);
    panel(image, {9, 10, 25, 31}, 3, leatherOf(shade(hide, 1.1f), 45), 2, 1.4f);
    for (float x : {8.5f, 13.5f, 18.5f, 23.5f}) tuftButton(image, x + 1, 4.5f, hide);
    for (float x : {11.0f, 16.0f, 21.0f}) tuftButton(image, x + 1, 8, hide);
    for (float y : {12.0f, 19.0f, 26.0f}) tuftButton(image, 5, y, hide), tuftButton(image, 29, y, hide);
    return withShadow(image);
}

// A chaise longue: a high scrolled end to the west, a back along half its
// length, one long cushion running out to an open, rounded foot.
Image chaise() {
    Image image(80, 36);
    const Rgba rose{0.52f, 0.35f, 0.37f, 1};
    panel(image, {1, 1, 77, 33}, 6, grainOf(walnut, 51), 1.5f);
    panel(image, {12, 3, 75, 31}, 6, velvetOf(rose, 52), 2, 1.2f);
    panel(image, {1, 1, 48, 10}, 4, velvetOf(rose, 53), 2.5f, 1);
    panel(image, {1, 1, 13, 33}, 5, velvetOf(shade(rose, 1.05f), 54), 3, 1.2f);
    for (int y = 6; y < 29; y += 3) stroke(image, 3, asFloat(y), 11, asFloat(y), 0.3f, shade(rose, 0.7f));
    for (float x : {20.0f, 28.0f, 36.0f, 44.0f}) tuftButton(image, x, 5.5f, rose);
    return withShadow(image);
}

// A settee with a carved wooden back: a pierced oak rail with a crest in
// the middle, thin wooden arms scrolled at the front and a striped seat.
Image carvedSettee() {
    Image image(72, 34);
    const Rgba stripe{0.30f, 0.40f, 0.38f, 1}, gold{0.58f, 0.51f, 0.34f, 1};
    panel(image, {1, 1, 69, 31}, 2, grainOf(darkOak, 61), 1.5f);
    auto seat = [=](int x, int y) { return velvet(x, y, (x / 3) % 3 == 0 ? gold : stripe, 62); };
    panel(image, {5, 9, 65, 29}, 3, seat, 2, 1.3f);
    panel(image, {1, 1, 69, 9}, 2, grainOf(oak, 63), 1.5f);
    for (int x = 6; x < 64; x += 4)
        if (x < 30 || x > 40) panel(image, {asFloat(x), 4, asFloat(x) + 2, 7}, 0.6f, gloom, 0.6f);
    dome(image, 35, 5, 6, 4, oak);
    dome(image, 35, 5, 2.5f, 1.8f, shade(oak, 1.15f));
    for (float x : {2.5f, 67.5f}) {
        limb(image, x, 6, x, 27, 2, darkOak);
        dome(image, x, 28, 2.6f, 2.6f, oak);
    }
    return withShadow(image);
}

// A square footstool, its top buttoned and edged with a fringe.
Image ottoman() {
    Image image(32, 32);
    const Rgba gold{0.60f, 0.46f, 0.22f, 1};
    for (int i = 2; i < 28; i += 2) {
        float t = asFloat(i);
        for (auto [x, y] : {std::pair{t, 1.5f}, std::pair{t, 27.5f}, std::pair{1.5f, t}, std::pair{27.5f, t}})
            disc(image, x + 0.5f, y + 0.5f, 0.7f, shade(gold, 0.75f));
    }
    panel(image, {2.5f, 2.5f, 27.5f, 27.5f}, 4, velvetOf(gold, 71), 3, 1.5f);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3 - row % 2; ++column)
            tuftButton(image, 8.5f + 6.5f * asFloat(column) + 3.25f * asFloat(row % 2),
                       8.5f + 6.5f * asFloat(row), gold);
    return withShadow(image);
}

// A round dark-oak table under a lace doily, a teacup and a candle stub on it.
Image roundTable() {
    Image image(48, 48);
    panel(image, {2, 2, 45, 45}, 21.5f, grainOf(darkOak, 81), 2.5f);
    ring(image, 23.5f, 23.5f, 19.3f, 20.3f, shade(darkOak, 1.2f));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            float dx = asFloat(x) + 0.5f - 23.5f, dy = asFloat(y) + 0.5f - 23.5f, d = std::hypot(dx, dy);
            float scallop = 12 + std::cos(std::atan2(dy, dx) * 12) * 0.8f;
            bool hole = std::fmod(d, 3.0f) < 0.8f && noise(x / 2, y / 2, 83) < 0.5f;
            if (d < scallop) image.blend(x, y, shade(linen, 1.02f), hole ? 0.45f : 0.92f);
        }
    teacup(image, 19, 20);
    candleStub(image, 29, 27);
    return withShadow(image);
}

// A square table of three oak boards, a linen runner along it, a candle
// stub and a letter left open on it.
Image squareTable() {
    Image image(48, 48);
    panel(image, {2, 3, 46, 45}, 2, grainOf(darkOak, 91), 2);
    for (float y : {17.0f, 31.0f}) stroke(image, 4, y, 44, y, 0.45f, gloom);
    panel(image, {2, 15, 46, 33}, 0.5f, linen, 1);
    for (int x = 3; x < 45; x += 2)
        image.blend(x, 16, shade(linen, 0.8f), 0.5f), image.blend(x, 31, shade(linen, 0.8f), 0.5f);
    panel(image, {8, 7, 19, 14}, 0.3f, shade(linen, 1.05f), 0.8f);
    writing(image, {8, 7, 19, 14}, 93);
    candleStub(image, 32, 24);
    teacup(image, 14, 37);
    return withShadow(image);
}

// A floor giving way, frame by frame: it cracks and sinks from the middle
// outward (progress 0 to 1 over frames 0 to 5), then breaks open on a black,
// bottomless hole, already open in frame 6 and widest in frame 7.
constexpr float pitCentre = 32;
const Rgba splinter{0.80f, 0.62f, 0.40f, 1}, brokenStone{0.74f, 0.70f, 0.62f, 1};

Image twoByTwo(const Image& tile) {
    Image floor(64, 64);
    for (int i = 0; i < 4; ++i) floor.paste(tile, (i % 2) * 32, (i / 2) * 32);
    return floor;
}

// The dark inside the hole, inside pixels in from its rim: black at heart.
Rgba holeColour(float inside) {
    return mix({0.09f, 0.07f, 0.05f, 1}, {0, 0, 0, 1}, std::clamp(inside / 4, 0.0f, 1.0f));
}

// Where one floorboard snaps: the break, how far either way the board
// sags into it, and how far either way it has fallen away.
struct BoardBreak {
    float middle, at, span, gone;
};

BoardBreak boardBreak(int board, float holeRadius) {
    float middle = asFloat(board * 8) + 4 - pitCentre;
    auto reach = [middle](float radius) {
        return std::sqrt(std::max(0.0f, radius * radius - middle * middle));
    };
    return {middle, pitCentre + 13 * (noise(board, 2, 101) - 0.5f), reach(28),
            reach(holeRadius) * (0.75f + 0.35f * noise(board, 1, 101))};
}

// Light on a board sagging into its break: the half that slopes away from
// the light darkens, the other brightens; its seams open, a split runs
// along it, and the break itself gapes.
float sunkBoardLight(const BoardBreak& board, int x, int y, float progress) {
    float along = asFloat(x) + 0.5f - board.at, t = std::abs(along) / board.span;
    float sink = progress * (1 - t) * (1 - std::abs(board.middle) / 32);
    float lit = 1 - 0.6f * sink + 0.25f * sink * (along < 0 ? -1.0f : 1.0f);
    int row = y % 8, index = y / 8;
    if (row == 0 || (row == 7 && progress > 0.5f)) lit *= 1 - 0.8f * sink;
    bool split = row == 3 + index % 3 && noise(index, 4, 101) < 0.45f && along * (index % 2 ? 1 : -1) > 0;
    if (split && std::abs(along) < board.span * progress * 0.6f) lit *= 0.35f;
    float slope = 1.4f * (noise(index, 5, 101) - 0.5f), width = 0.4f + 1.1f * progress;
    float crack = along - slope * (asFloat(row) - 3.5f) - 1.6f * (noise(y, index, 105) - 0.5f);
    if (std::abs(crack) < width) return 0.12f;
    return crack > 0 && crack < width + 1 ? lit * 1.35f : lit;
}

void breakBoards(Image& image, float progress, float holeRadius) {
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            BoardBreak board = boardBreak(y / 8, holeRadius);
            float along = std::abs(asFloat(x) + 0.5f - board.at);
            if (std::abs(board.middle) > 5 + 23 * progress || along >= board.span) continue;
            Rgba& p = image.at(x, y);
            float fromHole = along - board.gone + 2.5f * noise(x / 2, y, 103) + 1.5f * noise(y, y / 8, 104);
            if (board.gone > 0 && fromHole < 0) p = holeColour(-fromHole);
            else if (board.gone > 0 && fromHole < 1.5f) p = mix(p, splinter, 0.6f);
            else p = shade(p, sunkBoardLight(board, x, y, progress));
        }
}

// Flagstones break into shards round the middle.
struct Shard {
    float x, y, radius, tilt;
};

// Shards spread round the middle, none closer than nine pixels to another.
std::vector<Shard> shards() {
    std::vector<Shard> all{{pitCentre + 1, pitCentre - 1, 1.4f, 0.3f}};
    for (int i = 0; all.size() < 14 && i < 500; ++i) {
        float angle = noise(i, 0, 102) * 6.2832f, radius = 5 + 22 * std::sqrt(noise(i, 1, 102));
        Shard shard{pitCentre + radius * std::cos(angle), pitCentre + radius * std::sin(angle), radius,
                    noise(i, 2, 102) * 2 - 1};
        bool apart = std::all_of(all.begin(), all.end(), [&shard](const Shard& other) {
            return std::hypot(other.x - shard.x, other.y - shard.y) >= 9;
        });
        if (apart) all.push_back(shard);
    }
    return all;
}

struct ShardHit {
    const Shard* shard;
    float border, fromStanding;  // pixels to its shard's edge, and to the nearest shard still standing
    bool besideGone;
};

ShardHit nearestShard(const std::vector<Shard>& all, float px, float py, float holeRadius) {
    float first = 1e9f, second = 1e9f, standing = 1e9f;
    const Shard *nearest = nullptr, *runnerUp = nullptr;
    for (const Shard& shard : all) {
        float d = std::hypot(px - shard.x, py - shard.y);
        if (shard.radius >= holeRadius) standing = std::min(standing, d);
        if (d < first) second = first, runnerUp = nearest, first = d, nearest = &shard;
        else if (d < second) second = d, runnerUp = &shard;
    }
    return {nearest, (second - first) / 2, (standing - first) / 2, runnerUp->radius < holeRadius};
}

// Light on a cracked shard: it sinks and tips, lit along its broken edge.
float sunkShardLight(const ShardHit& hit, float progress) {
    float sink = progress * std::clamp(1.1f - hit.shard->radius / 26, 0.0f, 1.0f);
    if (hit.border < 1.1f + 0.6f * progress) return 1.2f - 0.4f * sink;
    return 1 - 0.6f * sink + 0.4f * sink * hit.shard->tilt;
}

float coverage(float inside) {
    return std::clamp(inside + 0.5f, 0.0f, 1.0f);
}

// One pixel of the stone floor: whole beyond the ragged ring that has
// broken so far, shards sinking inside it, black where they have fallen.
Rgba stonePixel(Rgba stone, const ShardHit& hit, float outside, float progress, float holeRadius) {
    const Rgba crack{0.05f, 0.04f, 0.03f, 1};
    float width = 0.35f + 0.6f * progress;
    float ringCrack = progress > 0 ? coverage(width - std::abs(outside)) : 0.0f;
    bool gone = hit.shard->radius < holeRadius;
    if (outside > 0)
        return gone && outside < 1.5f ? mix(stone, brokenStone, 0.6f) : mix(stone, crack, ringCrack);
    if (gone) return holeColour(std::min(hit.fromStanding, -outside));
    if (hit.besideGone && hit.border < 1.5f) return mix(stone, brokenStone, 0.6f);
    Rgba sunk = shade(stone, sunkShardLight(hit, progress));
    return mix(sunk, crack, std::max(ringCrack, coverage(width - hit.border)));
}

void breakStones(Image& image, float progress, float holeRadius) {
    std::vector<Shard> all = shards();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float px = asFloat(x) + 0.5f, py = asFloat(y) + 0.5f, dx = px - pitCentre, dy = py - pitCentre;
            float ragged = 0.8f + 0.4f * smoothNoise(std::atan2(dy, dx) * 2 + 8, 0, 102);
            float outside = std::hypot(dx, dy) - (6 + 19 * progress) * ragged;
            Rgba& p = image.at(x, y);
            p = stonePixel(p, nearestShard(all, px, py, holeRadius), outside, progress, holeRadius);
        }
}

// The floor fades out toward the sprite's edges to blend into whatever lies under it.
void fadeEdges(Image& image) {
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float d = std::hypot(asFloat(x) + 0.5f - pitCentre, asFloat(y) + 0.5f - pitCentre);
            image.at(x, y).a *= std::clamp((31.5f - d) / 6, 0.0f, 1.0f);
        }
}

Image pitFrame(const Image& floor, bool boards, int frame) {
    Image image = floor;
    float progress = asFloat(std::min(frame, 5)) / 5;
    const float boardHoles[8] = {0, 0, 0, 0, 5, 8, 15, 21}, stoneHoles[8] = {0, 0, 0, 0, 0, 0, 12, 21};
    float holeRadius = boards ? boardHoles[frame] : stoneHoles[frame];
    if (boards) breakBoards(image, progress, holeRadius);
    else breakStones(image, progress, holeRadius);
    fadeEdges(image);
    return image;
}

Image pitSheet(int floorIndex, bool boards) {
    Image floor = twoByTwo(floorTile(floorIndex));
    return paintFrames(8, [&](int frame) { return pitFrame(floor, boards, frame); });
}

const char* seatPlacing = "back to the north at orientation 0; solid";

}  // namespace

std::vector<Sprite> propSprites() {
    return {
        still("Door", door(), "a closed oak door with brass knobs and iron hinges between its jambs",
              "spans the tile east to west at orientation 0, north to south at 1; solid"),
        {"Key.1", paintFrames(5, keyFrame), 5, 0.12f, Playback::PingPong,
         "an old brass key with a glint running along it",
         "lies on the floor, drawn at scale 1.5; not solid"},
        {"Journal", paintFrames(4, journalFrame), 4, 0.18f, Playback::PingPong,
         "a closed leather journal with a ribbon, its brass corner glinting", "spine to the west; not solid"},
        still("Couch1", sofa({96, 40, 3, {0.48f, 0.21f, 0.20f, 1}, 21}),
              "a three-seat sofa in faded crimson velvet", seatPlacing),
        still("Couch2", sofa({64, 36, 2, {0.24f, 0.37f, 0.26f, 1}, 22}),
              "a two-seat sofa in bottle-green velvet", seatPlacing),
        still("Couch3", chesterfield(), "a buttoned leather armchair", seatPlacing),
        still("Couch4", chaise(), "a chaise longue in dusty rose, its scrolled end to the west", seatPlacing),
        still("Couch5", carvedSettee(), "a settee with a carved oak back and a striped seat", seatPlacing),
        still("Couch6", ottoman(), "a buttoned footstool with a fringe", "square; solid"),
        still("TableRound", roundTable(), "a round oak table with a doily, a teacup and a candle stub",
              "stretches to its object's box; solid"),
        still("TableSquare", squareTable(),
              "a square oak table with a runner, a letter, a candle stub and a cup",
              "stretches to its object's box; solid"),
        {"Pit_V1", pitSheet(1, true), 8, 0.12f, Playback::Once,
         "mid oak boards cracking, sagging and breaking open on a black hole (open from frame 6)",
         "lies on the floor, edges fading into it; not solid"},
        {"Pit_V2", pitSheet(14, false), 8, 0.12f, Playback::Once,
         "flagstones cracking, sinking and falling away into a black hole (open from frame 6)",
         "lies on the floor, edges fading into it; not solid"},
    };
}
