#pragma once

#include "services/input.hpp"
#include "walkers/spacewalker.hpp"

// The walker the user steers with an action map of its own: walks, jumps, pushes off,
// swims in open space, picks up and throws, and keeps the camera on itself.
class Player : public Spacewalker {
public:
    Player(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
           AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y);

    void setup() override;
    void update(sf::Time elapsed) override;
    void draw() override;
    // "You earned it yo" raises planetRequested; everything else is the walker's.
    sf::String message(Agent* from, const sf::String& text) override;
    // Lets go of what it carries and of its planet; called before the world is cleared.
    void reset();

    Input input;
    bool planetRequested = false;
    float dustTimer = 0.f;
    float cameraClock = 0.f;

protected:
    void handleInput(sf::Time elapsed);
    void followCamera(sf::Time elapsed);
};
