#include "items/props.hpp"

#include <cstdlib>

namespace {
// What tells the five props apart: four "idle" cells from (firstColumn, row) rightward.
struct PropLook {
    int cellWidth, cellHeight;  // px
    int firstColumn, row;
    bool overlayBehind;
};

const PropLook& lookOf(PropKind kind) {
    static const PropLook shroom{32, 32, 0, 5, true};
    static const PropLook smallShroom{16, 16, 8, 10, false};
    static const PropLook pinetree{32, 64, 4, 3, true};
    static const PropLook rock{32, 32, 8, 5, false};
    static const PropLook smallRock{16, 16, 12, 10, false};
    switch (kind) {
        case PropKind::Shroom:
            return shroom;
        case PropKind::SmallShroom:
            return smallShroom;
        case PropKind::Pinetree:
            return pinetree;
        case PropKind::Rock:
            return rock;
        case PropKind::SmallRock:
            return smallRock;
    }
    return shroom;
}

constexpr int idleCells = 4;
const sf::Time frameTime = sf::seconds(0.07f);
constexpr float colourSpread = 0.01f;  // hue distance per step of the overlay's random offset
}  // namespace

Prop::Prop(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i, SoundBank* s,
           Camera* c, float x, float y, float hue, PropKind kind_)
    : Itembase(r, e, p, pl, i, s, c, x, y, hue), kind(kind_) {
    setup();
}

void Prop::setup() {
    Itembase::setup();
    facing = 1.f;
    if (rand() % 2 != 0) facing = -1.f;
    const PropLook& look = lookOf(kind);
    animator.configure(look.cellWidth, look.cellHeight, frameTime);
    animator.addStrip(walker_animation::idle, look.firstColumn, look.row, idleCells);
    animator.start(sprite);
    sprite.setScale(1.f, 1.f);
    setupColours(look.overlayBehind, hue, colourSpread, false);
}

void Prop::update(sf::Time elapsed) {
    Itembase::update(elapsed);
    animate({facing, 0.f}, elapsed, false);
}
