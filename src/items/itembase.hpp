#pragma once

#include "walkers/spacewalker.hpp"

// A walker that can be carried: rides above its carrier, flies off spinning when thrown,
// falls asleep after five seconds at rest, and bursts when removed while fresh.
class Itembase : public Spacewalker {
public:
    Itembase(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
             AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y, float hue);

    // Called by the constructor and first by every item's own setup.
    void setup() override;
    // Called once per frame: the walker's update unless asleep, then riding on the carrier
    // or spinning in free flight.
    void update(sf::Time elapsed) override;
    // Called by the scene once `dead` is set; a fresh item bursts into discs.
    void onDeath() override;
    // "setplanet" (from = the planet to adopt), "pickup" and "throw" (from = the player);
    // every text is answered "okay man whatever".
    const sf::String& message(Agent* from, const sf::String& text) override;
    // The look of an item that only idles (props, altars, orbs): a random facing, the first
    // cells of `strip` as its "idle" animation, and colours from `hue`.
    void setupIdleLook(const sheet::Strip& strip, float spread, bool fixedHue);

    Agent* carrier = nullptr;
    bool beingCarried = false;
    float bobOffset = 0.f;
    float spinDirection = 1.f;
    float hue = 0.f;
    float restTime = 0.f;
    // +1 or -1: the way an idling item looks, chosen once at setup.
    float facing = 1.f;

private:
    void followCarrier();
    void spin();
    void burst();
};
