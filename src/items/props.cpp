#include "items/props.hpp"

namespace {
const sheet::Strip& stripOf(PropKind kind) {
    switch (kind) {
        case PropKind::Shroom:
            return sheet::mushroom;
        case PropKind::SmallShroom:
            return sheet::smallMushroom;
        case PropKind::Pinetree:
            return sheet::pineTree;
        case PropKind::Rock:
            return sheet::rock;
        case PropKind::SmallRock:
            return sheet::smallRock;
    }
    return sheet::mushroom;
}

constexpr float colourSpread = 0.01f;  // hue distance per step of the overlay's random offset
}  // namespace

Prop::Prop(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i, SoundBank* s,
           Camera* c, float x, float y, float hue, PropKind kind_)
    : Itembase(r, e, p, pl, i, s, c, x, y, hue), kind(kind_) {
    setup();
}

void Prop::setup() {
    Itembase::setup();
    setupIdleLook(stripOf(kind), colourSpread, false);
}

void Prop::update(sf::Time elapsed) {
    Itembase::update(elapsed);
    animate({facing, 0.f}, elapsed, false);
}
