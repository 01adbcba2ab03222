#pragma once

// The seven layers a frame is drawn in, each over the ones before it. An agent's `layer`
// names the one it draws into.
namespace layer {
inline constexpr int background = 0;  // the sky's colour
inline constexpr int stars = 1;       // background stars, and any agent until it picks its own
inline constexpr int planets = 2;     // planets, their dust and bursts of light
inline constexpr int walkers = 3;     // characters and props
inline constexpr int front = 4;       // the space bubble, altars and orbs
inline constexpr int player = 5;
inline constexpr int screen = 6;  // the menu, its cursor and notes, in window coordinates
inline constexpr int count = 7;
}  // namespace layer
