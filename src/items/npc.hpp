#pragma once

#include "items/itembase.hpp"

// A little character that strolls along the surface in walks and pauses, kicking up dust.
class NPC : public Itembase {
public:
    NPC(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
        AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y, float hue);

    // Called by the constructor: one of three looks and a fresh walk cycle.
    void setup() override;
    // Called once per frame: the item's update, then a step of the walk-and-pause cycle
    // while it stands free on a surface.
    void update(sf::Time elapsed) override;

    float walkTimer = 10.f;
    float walkDuration = 0.f;
    float walkSign = 1.f;

private:
    void stroll(float seconds);
};
