#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

// Where every animation lies on the sprite sheet. The generator draws these cells, the game
// cuts them and the sheet's tests check them: change a strip here and all three follow.
namespace sheet {

inline constexpr int width = 512;   // px
inline constexpr int height = 640;  // px

// Every animation shows each of its cells this long.
inline const sf::Time frameTime = sf::seconds(0.07f);

enum class Overlay {
    None,
    Front,   // second-colour cell drawn over the body
    Behind,  // second-colour cell drawn under the body
};

enum class Ground {
    Free,  // drawn in the air: the cursor, the dust, the bubble
    Feet,  // walkers: idle and running frames stand on the surface, spacing frames float
    Base,  // props, altars and orbs stand on the surface in every frame
};

// One animation: `cells` cells side by side from (left, top), of which the game shows the
// first `frames`. A second-colour overlay, when there is one, is the same strip one cell lower.
struct Strip {
    const char* name;
    int left, top;              // px
    int cellWidth, cellHeight;  // px
    int cells;                  // drawn
    int frames;                 // shown
    Overlay overlay;
    Ground ground;

    // The first cell in the animator's terms: columns and rows of this strip's cell size.
    constexpr int column() const { return left / cellWidth; }
    constexpr int row() const { return top / cellHeight; }
    constexpr int overlayTop() const { return top + cellHeight; }
    sf::IntRect firstCell() const { return {left, top, cellWidth, cellHeight}; }
    // Where a sprite drawn in the air is held: the middle of its cell.
    sf::Vector2f centre() const { return {cellWidth / 2.f, cellHeight / 2.f}; }
};

// A walker's strip holds three animations one after another.
struct Run {
    int first, count;
};
inline constexpr Run walkerIdle{0, 4};
inline constexpr Run walkerRunning{4, 6};
inline constexpr Run walkerSpacing{10, 6};

// What stands on a surface (walkers, props, altars, orbs) stands on this row of its cell,
// counted up from the bottom edge: the surface runs along the top of the row below it.
inline constexpr int standingRow = 4;

// Where the run dust is held: on its cell's top edge at the walker's feet, so that the puffs
// trail behind the runner.
inline const sf::Vector2f runDustFeet{20.f, 0.f};  // px

// clang-format off
//                                    name             left  top   w   h  drawn  shown   overlay         ground
inline constexpr Strip cursor{        "cursor",           0,   0, 32, 32,     1,      1, Overlay::None,  Ground::Free};
inline constexpr Strip landingDust{   "landing dust",    32,   0, 32, 32,     7,      6, Overlay::None,  Ground::Free};
inline constexpr Strip jumpDust{      "jump dust",      256,   0, 32, 32,     7,      6, Overlay::None,  Ground::Free};
inline constexpr Strip player{        "player",           0,  32, 32, 32,    16,     16, Overlay::Front, Ground::Feet};
inline constexpr Strip character2{    "character 2",      0,  96, 32, 32,    16,     16, Overlay::Front, Ground::Feet};
inline constexpr Strip mushroom{      "mushroom",         0, 160, 32, 32,     4,      4, Overlay::Behind, Ground::Base};
inline constexpr Strip smallMushroom{ "small mushroom", 128, 160, 16, 16,     4,      4, Overlay::Front, Ground::Base};
inline constexpr Strip smallRock{     "small rock",     192, 160, 16, 16,     4,      4, Overlay::Front, Ground::Base};
inline constexpr Strip rock{          "rock",           256, 160, 32, 32,     4,      4, Overlay::Front, Ground::Base};
inline constexpr Strip pineTree{      "pine tree",      128, 192, 32, 64,     4,      4, Overlay::Behind, Ground::Base};
inline constexpr Strip altar{         "altar",          384, 192, 32, 64,     4,      4, Overlay::Front, Ground::Base};
inline constexpr Strip runDust{       "run dust",         0, 432, 32, 16,     7,      6, Overlay::None,  Ground::Free};
inline constexpr Strip orb{           "orb",              0, 448, 32, 32,     6,      6, Overlay::Front, Ground::Base};
inline constexpr Strip bubble{        "bubble",         256, 448, 64, 64,     4,      4, Overlay::None,  Ground::Free};
inline constexpr Strip character3{    "character 3",      0, 512, 32, 64,    16,     16, Overlay::Front, Ground::Feet};
// clang-format on

inline constexpr Strip strips[] = {cursor,   landingDust,   jumpDust,  player, character2,
                                   mushroom, smallMushroom, smallRock, rock,   pineTree,
                                   altar,    runDust,       orb,       bubble, character3};

}  // namespace sheet
