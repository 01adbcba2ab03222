#pragma once

#include "agents/agent.hpp"

#include <SFML/Graphics/CircleShape.hpp>

// A coloured disc that walkers stand on. It grows in, pulses, plays its surface sound when
// walked on, and shrinks away after "die". Its velocity is a drift it hands to its walkers.
class Planet : public Agent {
public:
    // hue below -0.1 asks for a random hue.
    Planet(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
           AgentList* items, SoundBank* soundBank, float radius, float hue, float x, float y);

    void setup() override;
    void update(sf::Time elapsed) override;
    void draw() override;
    const sf::String& message(Agent* from, const sf::String& text) override;
    // Back to the freshly spawned state.
    void reset();

    sf::CircleShape shape;
    float grow = 0.f;
    float wobblePhase = 0.f;
    float radius = 0.f;
    float wobble = 0.f;
    bool dying = false;
    bool occupied = false;
    sf::String surfaceSound;

private:
    void playSurfaceSound(const Agent* walker, float volume);
};
