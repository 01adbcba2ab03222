#include "items/orb.hpp"

#include "agents/messages.hpp"

#include <cstdlib>

namespace {
const sf::Time frameTime = sf::seconds(0.07f);
constexpr float colourSpread = 0.01f;
constexpr int orbLayer = 4;
}  // namespace

Orb::Orb(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i, SoundBank* s,
         Camera* c, float x, float y, float hue)
    : Itembase(r, e, p, pl, i, s, c, x, y, hue) {
    setup();
}

void Orb::setup() {
    Itembase::setup();
    facing = 1.f;
    if (rand() % 2 != 0) facing = -1.f;
    animator.configure(32, 32, frameTime);
    animator.addStrip(walker_animation::idle, 0, 14, 6);
    animator.start(sprite);
    sprite.setScale(1.f, 1.f);
    setupColours(false, hue, colourSpread, true);
    keepSpaceTime = true;  // the orb's space time runs on while it merely falls at a planet
    layer = orbLayer;
}

void Orb::update(sf::Time elapsed) {
    Itembase::update(elapsed);
    animate({facing, 0.f}, elapsed, false);
    // Held by an altar: point straight along its gravity, without easing.
    if (name == agent_name::takenOrb) gravityDir = acceleration;
}

const sf::String& Orb::message(Agent* from, const sf::String& text) {
    if (text == msg::orb) {
        heard(from, text);
        return msg::yes;
    }
    if (text == msg::dontRotate) {
        heard(from, text);
        alignToGravity = false;
        return msg::orbReply;
    }
    return Itembase::message(from, text);
}
