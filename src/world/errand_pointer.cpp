#include "world/errand_pointer.hpp"

#include "agents/agent.hpp"
#include "agents/messages.hpp"
#include "items/orb.hpp"
#include "services/resources.hpp"
#include "walkers/spacewalker.hpp"

#include <SFML/Graphics/View.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr float edgeInset = 14.f;      // px between the pointer's centre and the screen's edge
constexpr float arrowLength = 9.f;     // px from the centre to the tip
constexpr float arrowBack = 5.f;       // px from the centre back to the base
constexpr float arrowHalfWidth = 6.f;  // px
constexpr float outlineWidth = 1.5f;   // px
constexpr sf::Uint8 arrowAlpha = 200;  // of 255: there, but not in the way
constexpr float degreesPerRadian = 180.f / 3.1415927f;

// How far along `offset` the room of half-extent `room` reaches, as a factor.
float reachAlong(float room, float offset) {
    if (offset == 0.f) return std::numeric_limits<float>::max();
    return room / std::fabs(offset);
}

const Orb* liveOrb(const AgentList& items) {
    for (const Agent* agent : items) {
        const auto* orb = dynamic_cast<const Orb*>(agent);
        if (orb != nullptr && !orb->dead && orb->name != agent_name::takenOrb) return orb;
    }
    return nullptr;
}

const Agent* liveAltar(const AgentList& items) {
    for (const Agent* agent : items)
        if (agent->name == agent_name::altar && !agent->dead) return agent;
    return nullptr;
}

sf::Color seeThrough(sf::Color colour) {
    colour.a = arrowAlpha;
    return colour;
}
}  // namespace

std::optional<PointerPlace> placePointer(const sf::View& view, sf::Vector2f screen,
                                         sf::Vector2f target) {
    const sf::Vector2f size = view.getSize();
    if (size.x <= 0.f || size.y <= 0.f) return std::nullopt;
    const sf::Vector2f off = target - view.getCenter();
    if (std::fabs(off.x) <= size.x * 0.5f && std::fabs(off.y) <= size.y * 0.5f) return std::nullopt;
    const sf::Vector2f onScreen(off.x * screen.x / size.x, off.y * screen.y / size.y);
    const float k = std::min(reachAlong(screen.x * 0.5f - edgeInset, onScreen.x),
                             reachAlong(screen.y * 0.5f - edgeInset, onScreen.y));
    PointerPlace place;
    place.position = screen * 0.5f + onScreen * k;
    place.rotation = std::atan2(onScreen.y, onScreen.x) * degreesPerRadian;
    return place;
}

ErrandPointer::ErrandPointer() : arrow(3) {
    arrow.setPoint(0, {arrowLength, 0.f});
    arrow.setPoint(1, {-arrowBack, -arrowHalfWidth});
    arrow.setPoint(2, {-arrowBack, arrowHalfWidth});
    arrow.setOutlineThickness(outlineWidth);
}

void ErrandPointer::aim(const AgentList& items, const Spacewalker& player,
                        const Resources& resources) {
    shown = false;
    const Orb* orb = liveOrb(items);
    target = orb;
    if (orb != nullptr && player.carried == orb) target = liveAltar(items);
    if (target == nullptr) return;
    const std::optional<PointerPlace> place = placePointer(
        resources.view, {static_cast<float>(resources.width), static_cast<float>(resources.height)},
        target->position);
    if (!place) return;
    shown = true;
    arrow.setPosition(place->position);
    arrow.setRotation(place->rotation);
    arrow.setFillColor(seeThrough(orb->sprite.getColor()));
    arrow.setOutlineColor(seeThrough(orb->overlay.getColor()));
}

void ErrandPointer::draw(Resources& resources, int layer) {
    if (shown)
        resources.layers.draw(static_cast<std::size_t>(layer), arrow, arrow.getGlobalBounds());
}
