#pragma once

#include "agents/agent.hpp"

// The translucent bubble around a walker drifting in open space. Its walker owns, updates,
// messages and draws it; it grows in after every "hide" and blinks while "bursting".
class Bubble : public Agent {
public:
    explicit Bubble(Resources* resources = nullptr);

    void setup() override;
    void update(sf::Time elapsed) override;
    const sf::String& message(Agent* from, const sf::String& text) override;

    float clock = 0.f;
    float bubbleScale = 0.f;
    bool bursting = false;
};
