#pragma once

#include "services/input.hpp"
#include "walkers/spacewalker.hpp"

// The walker the user steers with an action map of its own: walks, jumps, pushes off,
// swims in open space, picks up and throws, and keeps the camera on itself.
class Player : public Spacewalker {
public:
    // What the player keeps in `timer` after an update off the surface; 0 after one on it.
    static constexpr float airMarker = 666.f;

    Player(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
           AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y);

    // Called by the constructor: the thirteen bindings, the animations and a random colour.
    void setup() override;
    // Called once per frame: reads the input and steers, then the walker's update, then
    // moves the camera (unless a cinematic holds it).
    void update(sf::Time elapsed) override;
    // The walker, and the "Trying to spawn planet" line while a planet is requested.
    void draw() override;
    // "You earned it yo" raises planetRequested; everything else is the walker's.
    const sf::String& message(Agent* from, const sf::String& text) override;
    // Called by the scene before it clears the world: lets go of what it carries (without
    // a "throw") and of its planet, and drops a pending planet request.
    void reset();

    Input input;
    bool planetRequested = false;
    float cameraClock = 0.f;

protected:
    void handleInput(sf::Time elapsed);
    void followCamera(sf::Time elapsed);

private:
    void bindActions();
    // Each returns the steering vector of this update and sets `moved`.
    sf::Vector2f swim(sf::Vector2f stick);
    sf::Vector2f walk(sf::Vector2f stick);
    void jump(sf::Vector2f steering);
    void steer(sf::Vector2f steering, float seconds);
    void throwCarried();
    void pickUp();
    void playHandsSound(const sf::String& name);
};
