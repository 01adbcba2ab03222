#pragma once

#include "agents/agent.hpp"
#include "core/sprite_sheet.hpp"

#include <SFML/Graphics/CircleShape.hpp>

// What tells the three dust animations apart.
struct SplashLook {
    const sheet::Strip& strip;
    sf::Vector2f scale;   // kept on every update; (0, 0) keeps the constructor's scale
    sf::Vector2f origin;  // set before every draw
};

// A dust animation that plays its cells once and removes itself before its last one shows.
class AnimatedSplash : public Agent {
public:
    AnimatedSplash(Resources* resources, const SplashLook& look, float rotation, sf::Color colour,
                   float x, float y);

    void setup() override;
    void update(sf::Time elapsed) override;
    void draw() override;

private:
    const SplashLook& look_;
};

// Where a walker lands on a planet.
class LandingSplash : public AnimatedSplash {
public:
    LandingSplash(Resources* resources, float rotation, sf::Color colour, float x, float y);
};

// Where the player takes off.
class JumpSplash : public AnimatedSplash {
public:
    JumpSplash(Resources* resources, float rotation, sf::Color colour, float x, float y);
};

// Behind a running walker; facing is the walker's x-scale (+1 right, -1 left).
class RunSplash : public AnimatedSplash {
public:
    RunSplash(Resources* resources, float rotation, sf::Color colour, float facing, float x,
              float y);
};

// A pale disc that flies out from a centre, slows, shrinks and dies on its 29th update.
class BallSplash : public Agent {
public:
    // spread: how far from (x, y) it may start, at least 1; size: the disc's diameter.
    BallSplash(Resources* resources, float spread, sf::Color colour, float size, float x, float y);

    void setup() override;
    void update(sf::Time elapsed) override;
    void draw() override;

    sf::CircleShape disc;
    float life = 1.f;
};
