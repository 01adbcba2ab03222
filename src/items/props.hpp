#pragma once

#include "items/itembase.hpp"

enum class PropKind { Shroom, SmallShroom, Pinetree, Rock, SmallRock };

// A decoration scattered over new planets: one "idle" animation and a random facing for
// life. The five kinds differ only in their cells and in drawing the overlay behind.
class Prop : public Itembase {
public:
    Prop(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
         AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y, float hue,
         PropKind kind);

    // Called by the constructor: the kind's cells, a random facing and colours from `hue`.
    void setup() override;
    // Called once per frame: the item's update; the prop keeps its idle cells and facing.
    void update(sf::Time elapsed) override;

    PropKind kind;
};

template <PropKind Kind>
class PropOf : public Prop {
public:
    PropOf(Resources* resources, AgentList* effects, AgentList* players, AgentList* planets,
           AgentList* items, SoundBank* soundBank, Camera* camera, float x, float y, float hue)
        : Prop(resources, effects, players, planets, items, soundBank, camera, x, y, hue, Kind) {}
};

using Shroom = PropOf<PropKind::Shroom>;
using SmallShroom = PropOf<PropKind::SmallShroom>;
using Pinetree = PropOf<PropKind::Pinetree>;
using Rock = PropOf<PropKind::Rock>;
using SmallRock = PropOf<PropKind::SmallRock>;
