#pragma once

#include "app/game.hpp"

// SKYWALTZ itself: names the window, loads the sprite sheet, sounds and music, and
// creates the gameplay scene.
class KOV_Game : public Game {
public:
    void init() override;
};
