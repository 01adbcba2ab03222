#pragma once

#include "walkers/spacewalker.hpp"

// A walker that can be carried: rides above its carrier, flies off spinning when thrown,
// falls asleep after five seconds at rest, and bursts when removed while fresh.
class Itembase : public Spacewalker {
public:
    Itembase(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
             AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y, float hue);

    void setup() override;
    void update(sf::Time elapsed) override;
    void onDeath() override;
    // "setplanet", "pickup", "throw"; every text is answered "okay man whatever".
    sf::String message(Agent* from, const sf::String& text) override;

    Agent* carrier = nullptr;
    bool beingCarried = false;
    float bobOffset = 0.f;
    float spinDirection = 1.f;
    float hue = 0.f;
    float restTime = 0.f;
};
