#pragma once

#include "items/itembase.hpp"

// The glowing orb the player carries to the altar.
class Orb : public Itembase {
public:
    Orb(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
        AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y, float hue);

    void setup() override;
    void update(sf::Time elapsed) override;
    // "orb?" is answered "yes"; "DON'T ROTATE" stops it turning to its planet.
    const sf::String& message(Agent* from, const sf::String& text) override;
};
