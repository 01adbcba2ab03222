#include "items/orb.hpp"

#include "agents/messages.hpp"

namespace {
constexpr float colourSpread = 0.01f;
}  // namespace

Orb::Orb(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i, SoundBank* s,
         Camera* c, float x, float y, float hue)
    : Itembase(r, e, p, pl, i, s, c, x, y, hue) {
    setup();
}

void Orb::setup() {
    Itembase::setup();
    setupIdleLook(sheet::orb, colourSpread, true);
    keepSpaceTime = true;  // the orb's space time runs on while it merely falls at a planet
    layer = layer::front;
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
