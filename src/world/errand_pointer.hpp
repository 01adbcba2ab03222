#pragma once

#include <SFML/Graphics/ConvexShape.hpp>
#include <SFML/System/Vector2.hpp>

#include <optional>

class Agent;
class Resources;
class Spacewalker;
struct AgentList;
namespace sf {
class View;
}

// Where the pointer stands on the screen and which way it points.
struct PointerPlace {
    sf::Vector2f position;  // screen px
    float rotation = 0.f;   // degrees; 0 points right, 90 down
};

// The pointer toward `target` in the world seen through `view` on a screen of `screen` px:
// near the screen's edge, on the line from its centre to the target, pointing at it. Nothing
// while the target's centre is on screen.
std::optional<PointerPlace> placePointer(const sf::View& view, sf::Vector2f screen,
                                         sf::Vector2f target);

// A small arrow at the edge of the picture toward the errand's target while it is off screen:
// the orb, or the altar while the player carries the orb. It wears the orb's colours.
class ErrandPointer {
public:
    ErrandPointer();

    // Finds the errand's target among `items` and aims at it through the world view.
    void aim(const AgentList& items, const Spacewalker& player, const Resources& resources);
    void hide() { shown = false; }
    // Into the screen-space layer `layer`, while shown.
    void draw(Resources& resources, int layer);

    bool shown = false;
    const Agent* target = nullptr;
    sf::ConvexShape arrow;
};
