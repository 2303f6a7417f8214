// Floor and wall tilesets for the house, lit as if by warm candlelight.
#include "sheets.h"

namespace {

constexpr int tile = 32;

const Rgba woodTones[3] = {{0.60f, 0.40f, 0.22f, 1}, {0.46f, 0.29f, 0.15f, 1}, {0.31f, 0.19f, 0.10f, 1}};

// Planks 8 pixels wide running along x (or y when vertical), each cut once
// at a staggered joint; grain follows the board. Seamless on every side.
Rgba plank(int x, int y, Rgba tone, bool vertical, int seed) {
    int along = vertical ? y : x, across = vertical ? x : y;
    int board = across / 8, edge = across % 8;
    int joint = (board * 13 + seed * 7) % tile;
    int piece = ((along - joint + tile) % tile) < 16 ? 0 : 1;
    float a = static_cast<float>(along), c = static_cast<float>(across);
    float grain = smoothNoise(a / 8, c / 2, seed * 5 + board, 16);
    float rings = std::sin((c + 4 * smoothNoise(a / 8, c / 4, seed + 40, 8)) * 1.7f);
    float streak = noise(across, board, seed) * 0.5f + smoothNoise(a / 4, c, seed + 9, 32) * 0.5f;
    float f = 0.78f + 0.22f * grain + 0.06f * rings + 0.1f * streak + 0.12f * (noise(board, piece, seed + 3) - 0.5f);
    if (edge == 0) f *= 0.38f;
    else if (edge == 1) f *= 1.12f;
    else if (edge == 7) f *= 0.82f;
    int fromJoint = (along - joint + tile) % tile;
    if (fromJoint == 0 || fromJoint == 16) f *= 0.45f;
    else if (fromJoint == 1 || fromJoint == 17) f *= 1.1f;
    if ((fromJoint == 2 || fromJoint == 14) && (edge == 3 || edge == 5)) f *= 0.5f;  // nail heads
    return shade(tone, f);
}

Image planks(Rgba tone, bool vertical, int seed, float wear) {
    Image image(tile, tile);
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            Rgba c = plank(x, y, tone, vertical, seed);
            float scuff = smoothNoise(static_cast<float>(x) / 6, static_cast<float>(y) / 6, seed + 77, 6);
            c = mix(c, {0.62f, 0.52f, 0.40f, 1}, std::max(0.0f, scuff - 1 + wear) * 0.35f);
            image.blend(x, y, c, 1);
        }
    return image;
}

// A dark knot and a split running along a board.
void knotAndCrack(Image& image, int seed) {
    float kx = 8 + 16 * noise(1, 2, seed), ky = 11.5f;
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            float d = std::hypot((static_cast<float>(x) + 0.5f - kx) / 2.2f, static_cast<float>(y) + 0.5f - ky);
            if (d < 1.8f) image.blend(x, y, {0.12f, 0.06f, 0.03f, 1}, (1.8f - d) * 0.6f);
        }
    for (int x = 4; x < 24; ++x) {
        int y = 27 + static_cast<int>(noise(x / 3, 0, seed) * 2);
        image.blend(x, y, {0.08f, 0.05f, 0.03f, 1}, 0.8f);
    }
}

// Rug pieces: cx, cy in 0..2 pick the corner, edge or field of a rug that
// lies 4 pixels in from the tile edge on wood.
Rgba rugPixel(int x, int y, int cx, int cy, bool medallion) {
    constexpr int inset = 4, big = 1000;
    int dl = cx == 0 ? x - inset : big, dr = cx == 2 ? tile - 1 - inset - x : big;
    int dt = cy == 0 ? y - inset : big, db = cy == 2 ? tile - 1 - inset - y : big;
    int e = std::min({dl, dr, dt, db});
    int along = std::min(dl, dr) <= std::min(dt, db) ? y : x;
    const Rgba crimson{0.50f, 0.12f, 0.10f, 1}, navy{0.14f, 0.14f, 0.24f, 1}, gold{0.74f, 0.56f, 0.26f, 1};
    float wear = smoothNoise(static_cast<float>(x + cx * tile) / 7, static_cast<float>(y + cy * tile) / 7, 31);
    float fibre = 0.9f + 0.2f * noise(x + cx * tile, y + cy * tile, 33);
    Rgba c;
    if (e < 0) {
        Rgba wood = plank(x, y, woodTones[1], false, 2);
        bool fringeSide = (dt < 0 && dt > -4) || (db < 0 && db > -4);
        if (fringeSide && x % 2 == 0 && std::min(dl, dr) >= 0) return mix(wood, {0.78f, 0.70f, 0.55f, 1}, 0.8f);
        return shade(wood, e > -3 ? 0.65f : 1.0f);  // the rug's shadow on the boards
    }
    if (e < 2) c = shade(navy, 0.7f);
    else if (e < 3) c = gold;
    else if (e < 10) {
        int p = (along % 8 + 8) % 8;
        int diamond = std::abs(p - 4) + std::abs(e - 6);
        c = diamond <= 2 ? (diamond == 0 ? gold : navy) : shade(crimson, 0.85f);
    } else if (e < 11) c = gold;
    else {
        int px = x % 16, py = y % 16;
        int lattice = std::abs(px - 8) + std::abs(py - 8);
        c = lattice == 6 ? shade(crimson, 0.7f) : crimson;
        if (medallion) {
            int m = std::abs(x - 16) + std::abs(y - 16);
            if (m < 9) c = m % 3 == 0 ? gold : (m < 4 ? navy : shade(crimson, 1.15f));
        }
    }
    c = shade(c, fibre);
    return mix(c, {0.55f, 0.45f, 0.36f, 1}, std::clamp((wear - 0.6f) * 0.9f, 0.0f, 0.25f));
}

Image rug(int cx, int cy, bool medallion) {
    Image image(tile, tile);
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) image.blend(x, y, rugPixel(x, y, cx, cy, medallion), 1);
    return image;
}

// Square kitchen tiles, 16 pixels, alternating cream and slate.
Image checker(bool cracked, int seed) {
    Image image(tile, tile);
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            int sx = x / 16, sy = y / 16, ex = x % 16, ey = y % 16;
            Rgba base = (sx + sy) % 2 == 0 ? Rgba{0.78f, 0.71f, 0.58f, 1} : Rgba{0.24f, 0.23f, 0.23f, 1};
            float f = 0.92f + 0.1f * noise(sx, sy, seed) + 0.08f * (noise(x, y, seed + 1) - 0.5f);
            f *= 0.9f + 0.15f * smoothNoise(static_cast<float>(x) / 5, static_cast<float>(y) / 5, seed + 2);
            if (ex == 0 || ey == 0) f = 0.35f;
            else if (ex == 1 || ey == 1) f *= 1.12f;
            else if (ex == 15 || ey == 15) f *= 0.8f;
            image.blend(x, y, shade(base, f), 1);
        }
    if (cracked)
        for (int i = 0; i < 22; ++i) {
            int x = 3 + i, y = 20 - i / 2 + static_cast<int>(noise(i, 0, seed) * 2.5f);
            image.blend(x, y, {0.06f, 0.05f, 0.05f, 1}, 0.85f);
        }
    return image;
}

// Flagstones in two courses with dark mortar.
Image flags(int seed, float stain) {
    Image image(tile, tile);
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            int course = y / 16, ey = y % 16;
            int stone = course == 0 ? (x < 20 ? 0 : 1) : 2;
            int ex = course == 0 ? (x < 20 ? x : x - 20) : (x + tile - 9) % tile;
            int width = course == 0 ? (x < 20 ? 20 : 12) : tile;
            Rgba base = mix({0.50f, 0.46f, 0.40f, 1}, {0.60f, 0.54f, 0.44f, 1}, noise(stone, seed, 5));
            float mottle = smoothNoise(static_cast<float>(x) / 4, static_cast<float>(y) / 4, seed + stone, 8);
            float f = 0.8f + 0.3f * mottle + 0.1f * (noise(x, y, seed + 9) - 0.5f);
            if (ex == 0 || ey == 0) f = 0.3f;
            else if (ex == 1 || ey == 1) f *= 1.1f;
            else if (ex == width - 1 || ey == 15) f *= 0.75f;
            Rgba c = shade(base, f);
            float s = smoothNoise(static_cast<float>(x) / 9, static_cast<float>(y) / 9, seed + 50, 0);
            image.blend(x, y, mix(c, {0.20f, 0.18f, 0.12f, 1}, std::max(0.0f, s - 1 + stain)), 1);
        }
    return image;
}

// Brick hearth: 16 x 8 bricks in running bond.
Image bricks() {
    Image image(tile, tile);
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            int row = y / 8, bx = (x + (row % 2) * 8) % tile, ex = bx % 16, ey = y % 8;
            Rgba base = mix({0.52f, 0.22f, 0.14f, 1}, {0.40f, 0.18f, 0.12f, 1}, noise(bx / 16, row, 61));
            float f = 0.85f + 0.25f * noise(x, y, 62) * smoothNoise(static_cast<float>(x) / 3, static_cast<float>(y) / 3, 63);
            if (ex == 0 || ey == 0) image.blend(x, y, {0.30f, 0.27f, 0.23f, 1}, 1);
            else image.blend(x, y, shade(base, ey == 1 ? f * 1.12f : (ey == 7 ? f * 0.8f : f)), 1);
        }
    return image;
}

// A worn stone sill laid across a doorway, a groove along its middle.
Image sill() {
    Image image(tile, tile);
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            if (y < 6 || y > 25) {
                image.blend(x, y, plank(x, y, woodTones[1], false, 4), 1);
                continue;
            }
            float f = 0.85f + 0.2f * smoothNoise(static_cast<float>(x) / 5, static_cast<float>(y) / 3, 71, 0);
            float worn = std::exp(-std::pow((static_cast<float>(x) - 16) / 8, 2));
            if (y == 6 || y == 25) f = 0.3f;
            else if (y == 7) f *= 1.15f;
            else if (y == 15 || y == 16) f *= 0.6f;
            image.blend(x, y, shade({0.58f, 0.53f, 0.45f, 1}, f + 0.1f * worn), 1);
        }
    return image;
}

// The top of a wall, plaster between timbers, with a moulded lip on the
// sides listed in lips (bit 1 south, 2 north, 4 east, 8 west) and on the
// single corner listed in notch (same bits, two set).
Image wallTop(int lips, int notch) {
    Image image(tile, tile);
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            int d = 99;
            if (lips & 1) d = std::min(d, tile - 1 - y);
            if (lips & 2) d = std::min(d, y);
            if (lips & 4) d = std::min(d, tile - 1 - x);
            if (lips & 8) d = std::min(d, x);
            if (notch) {
                int nx = notch & 4 ? tile - 1 - x : x, ny = notch & 1 ? tile - 1 - y : y;
                d = std::min(d, std::max(nx, ny));
            }
            float fx = static_cast<float>(x), fy = static_cast<float>(y);
            Rgba plaster = shade({0.33f, 0.25f, 0.19f, 1},
                                 0.8f + 0.25f * smoothNoise(fx / 5, fy / 5, 81, 0) + 0.08f * noise(x, y, 82));
            Rgba c = plaster;
            if (d == 0) c = {0.07f, 0.05f, 0.04f, 1};
            else if (d < 6) {
                Rgba wood = plank(x, y, woodTones[2], (lips & 12) != 0 && !(lips & 3), 6);
                c = shade(wood, d == 1 ? 1.45f : (d == 2 ? 1.25f : (d == 5 ? 0.6f : 1.0f)));
            }
            image.blend(x, y, c, 1);
        }
    return image;
}

// A wall face seen from the room: wallpaper between wooden mouldings, or
// the lower wainscot of raised panels.
Image wallFace(bool wainscot, bool picture) {
    Image image(tile, tile);
    const Rgba paper{0.34f, 0.36f, 0.24f, 1}, damask{0.44f, 0.42f, 0.28f, 1};
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            float fx = static_cast<float>(x), fy = static_cast<float>(y);
            float grime = 0.85f + 0.2f * smoothNoise(fx / 6, fy / 6, 91, 0);
            Rgba c;
            if (!wainscot) {
                if (y < 4) c = shade(woodTones[2], y == 3 ? 0.5f : 0.9f + 0.1f * static_cast<float>(y));
                else {
                    int px = x % 16, py = (y - 4) % 14;
                    bool figure = std::abs(px - 8) + std::abs(py - 7) * 2 / 3 == 4 || (px == 8 && py == 7);
                    c = shade(figure ? damask : paper, grime * (x % 16 == 0 ? 0.8f : 1.0f));
                    if (y > 27) c = shade(c, 0.9f - 0.1f * static_cast<float>(y - 28));
                }
            } else {
                int px = x % 16;
                if (y < 4) c = shade(woodTones[1], y == 0 ? 1.3f : (y == 3 ? 0.55f : 1.05f));
                else if (y > 27) c = shade(woodTones[2], y == 28 ? 1.2f : 0.85f);
                else {
                    float f = 1.0f;
                    if (px == 2 || y == 7) f = 1.25f;
                    else if (px == 13 || y == 24) f = 0.6f;
                    else if (px < 2 || px > 13 || y < 7 || y > 24) f = 0.85f;
                    c = shade(plank(y, x, woodTones[1], true, 8), f);
                }
            }
            image.blend(x, y, c, 1);
        }
    if (picture) {
        for (int y = 8; y < 26; ++y)
            for (int x = 9; x < 23; ++x) {
                bool frame = x < 11 || x > 20 || y < 10 || y > 23;
                float fx = static_cast<float>(x) - 16, fy = static_cast<float>(y) - 15;
                float face = std::hypot(fx / 3.2f, fy / 4.2f) < 1 ? 0.45f : (std::hypot(fx / 5.5f, (fy - 7) / 5) < 1 ? 0.12f : 0.2f);
                Rgba c = frame ? shade({0.62f, 0.46f, 0.20f, 1}, x == 9 || y == 8 ? 1.3f : 0.9f)
                               : shade({0.42f, 0.36f, 0.28f, 1}, face + 0.1f * noise(x, y, 95));
                image.blend(x, y, c, 1);
            }
        for (int x = 9; x < 24; ++x) image.blend(x, 26, {0, 0, 0, 1}, 0.35f);
    }
    return image;
}

// One side of a doorway: wall top, then a moulded wooden post facing the opening.
Image doorJamb(bool left) {
    Image image = wallTop(1, 0);
    for (int y = 0; y < tile; ++y)
        for (int i = 0; i < 10; ++i) {
            int x = left ? tile - 1 - i : i;
            float f = i == 0 ? 0.35f : (i == 1 ? 1.35f : (i == 9 ? 0.5f : (i == 5 ? 0.7f : 1.0f)));
            image.blend(x, y, shade(plank(x, y, woodTones[0], true, 10), f), 1);
        }
    return image;
}

// Wall top pierced by a tall window: dark glass with a cold moonlit sheen.
Image window() {
    Image image = wallTop(1, 0);
    for (int y = 10; y < 22; ++y)
        for (int x = 0; x < tile; ++x) {
            bool frame = y == 10 || y == 21 || x % 16 == 0 || x % 16 == 15 || y == 15 || y == 16;
            float sheen = std::max(0.0f, 1 - std::abs(static_cast<float>(x - y) - 2) / 6) * 0.5f;
            Rgba c = frame ? shade(woodTones[2], y == 10 ? 1.3f : 0.9f)
                           : mix({0.07f, 0.09f, 0.14f, 1}, {0.45f, 0.52f, 0.65f, 1}, sheen);
            image.blend(x, y, c, 1);
        }
    return image;
}

Image tileSheet(const std::vector<Image>& tiles) {
    int rows = (static_cast<int>(tiles.size()) + 7) / 8;
    Image sheet(8 * tile, rows * tile);
    for (size_t i = 0; i < tiles.size(); ++i)
        sheet.paste(tiles[i], static_cast<int>(i % 8) * tile, static_cast<int>(i / 8) * tile);
    return sheet;
}

}  // namespace

Image floorTiles() {
    Image worn = planks(woodTones[1], false, 3, 0.45f);
    knotAndCrack(worn, 3);
    Image split = planks(woodTones[1], false, 12, 0.2f);
    knotAndCrack(split, 12);
    std::vector<Image> tiles{
        planks(woodTones[0], false, 1, 0.2f), planks(woodTones[1], false, 2, 0.2f),
        planks(woodTones[2], false, 3, 0.2f), worn,
        planks(woodTones[0], true, 4, 0.2f), planks(woodTones[1], true, 5, 0.2f),
        planks(woodTones[2], true, 6, 0.2f), split,
        rug(0, 0, false), rug(1, 0, false), rug(2, 0, false), rug(1, 1, true),
        checker(false, 20), checker(true, 21), flags(30, 0.2f), flags(31, 0.3f),
        rug(0, 1, false), rug(1, 1, false), rug(2, 1, false), flags(33, 0.5f),
        bricks(), sill(), flags(32, 0.75f), checker(false, 22),
        rug(0, 2, false), rug(1, 2, false), rug(2, 2, false), planks(woodTones[0], false, 7, 0.6f),
        planks(woodTones[1], false, 8, 0.6f), planks(woodTones[2], false, 9, 0.6f),
        planks(woodTones[1], true, 10, 0.6f), planks(woodTones[2], true, 11, 0.6f),
    };
    std::vector<Image> grounds = groundTiles();
    tiles.insert(tiles.end(), grounds.begin(), grounds.end());
    return tileSheet(tiles);
}

Image wallTiles() {
    return tileSheet({
        wallTop(0, 0), wallTop(1, 0), wallTop(2, 0), wallTop(4, 0), wallTop(8, 0),
        wallTop(0, 1 | 4), wallTop(0, 1 | 8), wallTop(0, 2 | 4),
        wallTop(0, 2 | 8), wallFace(false, false), wallFace(false, true), wallFace(true, false),
        doorJamb(true), sill(), doorJamb(false), window(),
    });
}

Image floorTile(int index) {
    Image sheet = floorTiles(), cell(tile, tile);
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x)
            cell.at(x, y) = sheet.at((index % 8) * tile + x, (index / 8) * tile + y);
    return cell;
}
