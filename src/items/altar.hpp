#pragma once

#include "items/itembase.hpp"

// The goal of each planet: takes the thrown orb in a short ceremony, then tells its
// recipient (the player) "You earned it yo" and removes itself.
class Altar : public Itembase {
public:
    // recipient: the agent told "You earned it yo" at the end of the ceremony (the player).
    Altar(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
          AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y, float hue,
          Agent* recipient);

    void setup() override;
    // Called once per frame: the item's update, contact with the items, and the ceremony.
    void update(sf::Time elapsed) override;
    // Called for planets (as every walker) and for every item touching the altar.
    void onCollision(Agent* other) override;
    void onDeath() override;

    float ceremonyTime = 0.f;
    bool activated = false;
    Agent* recipient = nullptr;

private:
    void runCeremony(float seconds);
};
