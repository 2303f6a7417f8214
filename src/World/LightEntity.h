// A light in a room. It draws nothing itself: each update it casts shadows
// over the map's darkness layer, marks the cells it reaches as lit and thins
// their darkness by a flickering amount that falls off with distance. Candle
// holders, lanterns and the character each own one; the character's in-light
// test and the pit read its centre and squared radius.
#pragma once

#include "Effects/EasedLevel.h"
#include "World/Entity.h"

#include <cstdint>
#include <memory>
#include <vector>

class Map;
struct Tile;

class LightEntity : public Entity {
public:
    float centerX = 0.0f;  // world pixels
    float centerY = 0.0f;
    float radius = 0.0f;  // world pixels
    float radiusSquared = 0.0f;
    // How far the light is drawn: the radius, or with reduced flashing the
    // radius eased, and what the cast and the glow work out from it.
    float reachRadius = 0.0f;
    float inverseRadiusSquared = 0.0f;  // the falloff multiplies rather than divides per cell
    int32_t radiusTiles = 0;
    int32_t radiusTilesSquared = 0;
    int32_t centerColumn = 0;
    int32_t centerRow = 0;
    // The tiles the light can reach, inclusive.
    int32_t minColumn = 0;
    int32_t maxColumn = 0;
    int32_t minRow = 0;
    int32_t maxRow = 0;
    float flickerIntervalMin = 0.05f;  // seconds between flicker targets
    float flickerIntervalMax = 0.15f;
    float flickerTargetMin = 0.75f;
    float flickerTargetMax = 1.0f;
    float flickerRate = 10.0f;  // share of the way to the target eased per second
    float nextFlicker;          // clock time of the next flicker target
    float flickerTarget = 1.0f;
    float intensity = 1.0f;
    float falloffScale = 0.85f;  // near cells fall off more gently
    float falloffKnee = 0.5f;    // below this squared distance share
    float clock = 0.0f;          // seconds of updates so far

    explicit LightEntity(Room* owner);

    void setPosition(float x, float y);
    void setRadius(float r);
    // For an owner that sets its light's strength every frame (a lantern, the
    // character): from then on each update flickers the light from that
    // strength a fixed share of the way towards its target, the share one
    // sixtieth of a second's easing moves it, at any frame rate.
    void holdIntensity(float steady);
    // With reduced flashing, the next two updates show the radius and the
    // intensity at once rather than easing to them: the owner sets both up
    // after the light's update, or the light changed hands.
    void showNextAtOnce();
    // Lights the cells in reach unless the light is off screen or walled in.
    // The cells are cast again only when the light's cell or reach changed.
    void update(float dt) override;
    void debugDraw(float) override {}

    // Forgets the last cast, so that the next update casts again (after a
    // wall changed, or to measure a whole cast).
    void forgetCast();

private:
    // What a cast depends on. The walls are read from the map file and never
    // change, so a light that stays in its cell with the same reach lights the
    // same cells: only their glow, which flickers, is new.
    struct CastKey {
        const Map* map = nullptr;
        int32_t centerColumn = 0;
        int32_t centerRow = 0;
        int32_t radiusTiles = 0;

        bool operator==(const CastKey&) const = default;
    };

    Map& map() const;
    void setReach(float r);
    void easeReach(float dt);
    float easeGlow(float dt);
    void castCarryingGlow(const CastKey& key);
    float litGlow() const;
    void updateTileBox();
    bool isOnScreen() const;
    void flicker(float dt);
    // Marks the cells in reach and lists them.
    void cast(const CastKey& key);
    // Marks the cells the last cast listed.
    void markLastCast(Tile* floor, Tile* darkness) const;
    void lowerDarkness(Tile* darkness, float glowIntensity);

    bool held = false;
    float heldIntensity = 0.0f;
    // Reduced flashing: the reach and the glow drawn follow the radius and
    // the intensity gently, but for the light's first two updates.
    EasedLevel shownReach{0.25f, 16.0f};
    EasedLevel shownIntensity{0.4f, 0.1f};
    EasedLevel glowCarried{0.4f, 0.1f};  // the share of the glow a ring of cells took along
    int showingAtOnce = 2;               // updates
    bool eased = false;                  // the last update was with reduced flashing
    CastKey lastCast;
    // The cells the last cast lit, as indices into both layers' arrays: the
    // first litCount of them.
    std::vector<int32_t> litCells;
    size_t litCount = 0;
    std::vector<float> columnDistances;  // the darkness pass's; it only ever grows
};

// Centre (0, 0) and no reach: the creator sets the radius and then the position.
std::unique_ptr<LightEntity> new_LightEntity(Room* room);

// The light a candle holder or lantern carries: named "Light", of that
// radius and full intensity, and added to the room, which owns it (before its
// owner, so it gets the lower id).
LightEntity* new_OwnedLight(Room* room, float radius);
