#pragma once

#include "agents/agent.hpp"

#include <SFML/Graphics/CircleShape.hpp>

// A background star near the camera: grows in, drifts, holds for 10 to 15 s, shrinks away.
class Star : public Agent {
public:
    // colour: the background's colour now; (x, y): the camera's position.
    Star(Resources* resources, sf::Color colour, float x, float y);

    void setup() override;
    void update(sf::Time elapsed) override;
    void draw() override;

    float timeLeft = 0.f;
    float lifetime = 0.f;
    float drag = 1.f;
    sf::CircleShape disc;
};
