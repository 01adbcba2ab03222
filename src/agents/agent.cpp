#include "agents/agent.hpp"

#include "agents/agent_index.hpp"
#include "services/resources.hpp"

#include <algorithm>
#include <cmath>

namespace {
constexpr float drawMargin = 32.f;  // px beyond the view's edge that still counts as on screen
constexpr float reachSlack = 1.f;   // px added to a picture's reach against rounding
}  // namespace

Agent::Agent(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i, SoundBank* s)
    : resources(r), effects(e), players(p), planets(pl), items(i), soundBank(s) {}

Agent::Agent(Resources* r) : resources(r) {}

void Agent::attachWorld(AgentList* e, AgentList* p, AgentList* pl, AgentList* i) {
    effects = e;
    players = p;
    planets = pl;
    items = i;
}

void Agent::setup() {
    if (resources != nullptr && !resources->textures.empty())
        sprite.setTexture(resources->textures[0], false);
    sprite.setColor(sf::Color(255, 255, 255, 255));
    const sf::FloatRect bounds = sprite.getGlobalBounds();
    sprite.setOrigin(bounds.width * 0.5f, bounds.height * 0.5f);
    sprite.setScale(1.f, 1.f);
    hitboxSize = {16.f, 16.f};
    solid = true;
    ghost = false;
    dead = false;
    removeMe = false;
    layer = layer::stars;
    accelerationScale = 1.f;
}

void Agent::update(sf::Time elapsed) {
    const float ms = static_cast<float>(elapsed.asMilliseconds());
    position += velocity * 0.001f * ms;
    velocity += acceleration * accelerationScale * elapsed.asSeconds();
    animator.update(sprite, elapsed);
}

void Agent::onTileHit(const sf::String&) {}

void Agent::onCollision(Agent*) {}

void Agent::damage(float, float, float, int, int, int amount, float) {
    health -= amount;
    if (health <= 0) {
        health = 0;
        dead = true;
    }
}

void Agent::hurt(Agent* source, float f, int a, int b, int amount) {
    damage(source->position.x, source->position.y, f, a, b, amount, 0.4f);
}

void Agent::onDeath() {
    removeMe = true;
}

void Agent::draw() {
    if (isOnScreen(drawMargin)) drawSprite();
}

void Agent::drawSprite() {
    sprite.setPosition(std::trunc(position.x), std::trunc(position.y));
    resources->layers.drawSprite(static_cast<size_t>(layer), sprite, resources->states);
}

bool Agent::reachesLayer(const sf::FloatRect& worldBounds) const {
    return worldBounds.intersects(
        visibleArea(resources->layers.viewOf(static_cast<size_t>(layer))));
}

bool Agent::mayReachLayer(sf::Vector2f at, const sf::Transformable& shape,
                          const sf::FloatRect& localBounds) const {
    const sf::Vector2f origin = shape.getOrigin();
    const sf::Vector2f scale = shape.getScale();
    const float left = localBounds.left - origin.x;
    const float top = localBounds.top - origin.y;
    const float across = std::max(std::abs(left), std::abs(left + localBounds.width));
    const float down = std::max(std::abs(top), std::abs(top + localBounds.height));
    // No corner lies farther from `at` than this, whatever the rotation.
    const float reach =
        std::max(std::abs(scale.x), std::abs(scale.y)) * (across + down) + reachSlack;
    return reachesLayer({at.x - reach, at.y - reach, 2.f * reach, 2.f * reach});
}

void Agent::drawVisible(const sf::Drawable& drawable, const sf::FloatRect& worldBounds,
                        const sf::RenderStates& states) {
    // Waiting sprites go into the layer first, so this goes in after them.
    if (reachesLayer(worldBounds))
        resources->layers.draw(static_cast<size_t>(layer), drawable, worldBounds, states);
}

void Agent::drawVisible(const sf::Shape& shape, const sf::RenderStates& states) {
    if (mayReachLayer(shape.getPosition(), shape, shape.getLocalBounds()))
        drawVisible(shape, shape.getGlobalBounds(), states);
}

void Agent::drawVisible(const sf::Sprite& sprite, const sf::FloatRect& worldBounds,
                        const sf::RenderStates& states) {
    if (reachesLayer(worldBounds))
        resources->layers.drawSprite(static_cast<size_t>(layer), sprite, states);
}

Agent::MessageTap Agent::messageTap = nullptr;

const sf::String& Agent::message(Agent* from, const sf::String& text) {
    heard(from, text);
    return text;
}

sf::FloatRect Agent::hitboxRect(sf::Vector2f at) const {
    if (!solid) return {0.f, 0.f, 0.f, 0.f};
    return {at.x - hitboxSize.x / 2.f, at.y - hitboxSize.y / 2.f, hitboxSize.x, hitboxSize.y};
}

bool Agent::isOnScreen(float margin) const {
    const sf::View& view = resources->view;
    const int halfW = static_cast<int>(view.getSize().x) / 2;
    const int halfH = static_cast<int>(view.getSize().y) / 2;
    const int cx = static_cast<int>(view.getCenter().x);
    const int cy = static_cast<int>(view.getCenter().y);
    return position.x > cx - halfW - margin && position.y > cy - halfH - margin &&
           position.x < cx + halfW + margin && position.y < cy + halfH + margin;
}

void Agent::collideWithList(Agent* self, AgentList* list) {
    if (!self->solid || self->ghost || list == nullptr) return;
    if (list->index != nullptr) {
        collideWithIndexed(self, *list->index);
        return;
    }
    const size_t size = list->size();
    for (size_t i = 0; i < size && i < list->size(); ++i) {
        Agent* other = (*list)[i];
        if (other->dead || self->dead || other == self || other->ghost) continue;
        if (self->hitboxRect(self->position).intersects(other->hitboxRect(other->position)))
            self->onCollision(other);
    }
}

void Agent::collideWithIndexed(Agent* self, AgentIndex& index) {
    std::vector<AgentIndex::Found>& near = index.borrowBuffer();
    index.touching(self->hitboxRect(self->position), near);
    const auto after = [&near](std::uint32_t order) {
        return std::upper_bound(
                   near.begin(), near.end(), order,
                   [](std::uint32_t o, const AgentIndex::Found& f) { return o < f.order; }) -
               near.begin();
    };
    for (size_t k = 0; k < near.size();) {
        const AgentIndex::Found found = near[k++];
        Agent* other = found.agent;
        if (other->dead || self->dead || other == self || other->ghost) continue;
        const sf::FloatRect before = self->hitboxRect(self->position);
        if (!before.intersects(other->hitboxRect(other->position))) continue;
        self->onCollision(other);
        // A contact can move self (onto a planet's surface): the rest of the list is then
        // searched around where it now is.
        if (self->hitboxRect(self->position) == before) continue;
        index.touching(self->hitboxRect(self->position), near);
        k = static_cast<size_t>(after(found.order));
    }
    index.returnBuffer();
}
