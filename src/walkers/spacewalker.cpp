#include "walkers/spacewalker.hpp"

#include "agents/agent_index.hpp"
#include "agents/messages.hpp"
#include "core/colors.hpp"
#include "core/vector_math.hpp"
#include "effects/splashes.hpp"
#include "services/resources.hpp"

#include <cmath>
#include <cstdlib>

namespace {
constexpr float gravity = 750.f;    // px/s² toward the planet centre
constexpr float bodyRadius = 14.f;  // px, the collision circle
constexpr std::size_t bodyPoints = 30;
const sf::Color bodyFill(196, 64, 128, 255);
constexpr float popRate = 0.1f;          // of the way to full size per update
constexpr float groundFriction = 0.15f;  // of the speed lost per update on the ground
constexpr float groundTurn = 0.45f;      // of the way gravityDir turns per update standing
constexpr float fallTurn = 0.05f;        // the same while falling toward the planet
constexpr float flightTurn = 0.01f;      // the same toward the flight direction in space
constexpr float surfaceInset = 1.f;      // px inside the contact distance a walker stands
constexpr float pushSpeed = 300.f;       // px/s a second planet is pushed away toward
constexpr float pushRate = 0.03f;        // of the way per update of contact
constexpr float stepInterval = 0.25f;    // s of walking between step messages
constexpr float burstWarning = 1.f;      // s of space time left when the bubble blinks
constexpr float homingSpeed = 300.f;     // px/s toward the nearest planet
constexpr float homingRate = 0.2f;       // of the way per update
constexpr float farAway = 999999.f;      // px, the starting best distance of the search
constexpr float pivotLift = 16.f;        // px above the cell's bottom edge
constexpr float faceThreshold = 0.1f;    // horizontal move that turns the walker
constexpr float tintKeep = 0.66f;        // sprite tint: hue colour * keep + lift
constexpr float tintLift = 80.f;
constexpr float hueJitter = 0.0025f;  // per step of rand() % 100 around a given hue
constexpr float fixedSpread = 0.5f;   // hue distance of the overlay with a fixed hue

sf::Color walkerTint(float hue) {
    return liftColor(hueToColor(wrap(hue, 0.f, 1.f)), tintKeep, tintLift);
}

sf::IntRect cellBelow(const sf::IntRect& cell) {
    return {cell.left, cell.top + cell.height, cell.width, cell.height};
}
}  // namespace

Spacewalker::Spacewalker(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i,
                         SoundBank* s, Camera* c, float x, float y)
    : Agent(r, e, p, pl, i, s), bubble(r), body(0.f, bodyPoints) {
    camera = c;
    position = {x, y};
    setup();
}

void Spacewalker::setup() {
    Agent::setup();
    popScale = timer = 0.f;
    carried = planet = nullptr;
    carrying = moved = onPlanet = surfaced = false;
    age = 0.f;
    accelerationScale = 0.f;
    maxSpaceTime = 3.f;
    homePlanet = -1;
    velocity = gravityDir = {0.f, 0.f};
    sprite.setScale(0.f, 0.f);
    spaceTime = 0.f;
    body.setRadius(bodyRadius);
    body.setOrigin(bodyRadius, bodyRadius);
    body.setScale(1.f, 1.f);
    body.setFillColor(bodyFill);
    layer = layer::walkers;
    bubble.resources = resources;
    bubble.clock = 0.f;
    bubble.setup();
    alignToGravity = true;
    overlayBehind = false;
}

void Spacewalker::update(sf::Time elapsed) {
    const float seconds = elapsed.asSeconds();
    Agent::update(elapsed);
    popScale = lerp(popScale, 1.f, popRate);
    age += seconds;
    gravityStep(elapsed);
    countSteps(seconds);
    syncOverlay();
    spaceDrift(elapsed);
    sprite.setRotation(degrees(std::atan2(-gravityDir.x, gravityDir.y)));
    sprite.setOrigin(pivotLift, static_cast<float>(sprite.getTextureRect().height) - pivotLift);
}

void Spacewalker::countSteps(float seconds) {
    if (!(moved && onPlanet && surfaced)) {
        stepTimer = 0.f;
        return;
    }
    stepTimer += seconds;
    if (stepTimer > stepInterval) {
        planet->message(this, msg::steppinOnU);
        stepTimer = 0.f;
    }
}

void Spacewalker::gravityStep(sf::Time elapsed) {
    if (ghost) return;
    hitboxSize = {2.f * body.getRadius(), 2.f * body.getRadius()};
    if (onPlanet) {
        if (planet->message(this, msg::dying) == msg::yes) {
            leavePlanet();
            return;
        }
        const sf::Vector2f dir = normalize(planet->position - position);
        acceleration = dir * gravity;
        accelerationScale = 1.f;
        float turn = fallTurn;
        if (surfaced) {
            turn = groundTurn;
            velocity = lerp(velocity, {0.f, 0.f}, groundFriction);
        }
        position += planet->velocity * elapsed.asSeconds();
        if (alignToGravity) gravityDir = lerp(gravityDir, dir, turn);
    } else {
        accelerationScale = 0.f;
        gravityDir = lerp(gravityDir, normalize(velocity), flightTurn);
    }
    collideWithList(this, planets);
}

void Spacewalker::onCollision(Agent* other) {
    if (other->name != agent_name::planet) return;
    if (other->message(this, msg::dying) == msg::yes) return;
    const sf::Vector2f offset = position - other->position;
    const float contact = body.getRadius() + other->hitboxSize.x * 0.5f;
    if (!(length(offset) < contact)) return;
    // A walker standing on one planet is not taken over by another it brushes.
    if (!onPlanet || (other != planet && !surfaced)) setPlanet(other);
    position = other->position + normalize(offset) * (contact - surfaceInset);
    if (surfaced && other != planet) {
        pushAway(other);
        return;
    }
    if (!surfaced) land(other);
}

void Spacewalker::land(Agent* other) {
    other->message(this, msg::surfaced);
    if (effects != nullptr) {
        const float angle =
            degrees(std::atan2(-(other->position.x - position.x), other->position.y - position.y));
        effects->push_back(
            new LandingSplash(resources, angle, other->sprite.getColor(), position.x, position.y));
    }
    surfaced = true;
}

void Spacewalker::pushAway(Agent* other) {
    const sf::Vector2f away = normalize(other->position - planet->position) * pushSpeed;
    other->velocity = lerp(other->velocity, away, pushRate);
}

void Spacewalker::setPlanet(Agent* p) {
    if (onPlanet) leavePlanet();
    if (p == nullptr) return;
    onPlanet = true;
    planet = p;
    p->message(this, msg::foundYou);
    if (carrying && carried != nullptr) carried->message(p, msg::setPlanet);
}

void Spacewalker::leavePlanet() {
    if (onPlanet) planet->message(this, msg::lostYou);
    surfaced = false;
    onPlanet = false;
    planet = nullptr;
    acceleration = {0.f, 0.f};
}

void Spacewalker::spaceDrift(sf::Time elapsed) {
    spaceTime += elapsed.asSeconds();
    if (maxSpaceTime - spaceTime < burstWarning) bubble.message(this, msg::bursting);
    if (surfaced) spaceTime = 0.f;
    if (onPlanet && !keepSpaceTime) spaceTime = 0.f;
    if (spaceTime > maxSpaceTime) homeIn();
    if (!surfaced && !onPlanet)
        bubble.update(elapsed);
    else
        bubble.message(this, msg::hide);
}

void Spacewalker::homeIn() {
    if (planets == nullptr) return;
    if (planets->index != nullptr) {
        const AgentIndex::Found nearest = planets->index->nearest(position, farAway);
        if (nearest.agent != nullptr)
            homePlanet = static_cast<int>(planets->index->placeOf(nearest));
    } else {
        float best = farAway;
        for (std::size_t i = 0; i < planets->size(); ++i) {
            const float d = length((*planets)[i]->position - position);
            if (d < best) {
                best = d;
                homePlanet = static_cast<int>(i);
            }
        }
    }
    if (homePlanet < 0 || homePlanet >= static_cast<int>(planets->size())) return;
    const sf::Vector2f target = (*planets)[static_cast<std::size_t>(homePlanet)]->position;
    velocity = lerp(velocity, normalize(target - position) * homingSpeed, homingRate);
}

void Spacewalker::syncOverlay() {
    overlay.setTextureRect(cellBelow(sprite.getTextureRect()));
}

void Spacewalker::draw() {
    if (!overlayBehind) Agent::draw();
    // The overlay takes the body's origin and scale.
    if (mayReachLayer(position, sprite, overlay.getLocalBounds())) drawOverlay();
    if (overlayBehind) Agent::draw();
    if (!surfaced && !onPlanet && spaceTime < maxSpaceTime) {
        bubble.position = position;
        bubble.draw();
    }
}

void Spacewalker::drawOverlay() {
    overlay.setPosition(position);
    overlay.setRotation(sprite.getRotation());
    overlay.setScale(sprite.getScale());
    overlay.setOrigin(sprite.getOrigin());
    drawVisible(overlay, overlay.getGlobalBounds());
}

void Spacewalker::onDeath() {
    planet = nullptr;
    carried = nullptr;
    onPlanet = false;
    carrying = false;
    removeMe = true;
}

const sf::String& Spacewalker::message(Agent* from, const sf::String& text) {
    heard(from, text);
    if (text == msg::moved) return moved ? msg::yes : msg::walkerReply;
    if (text == msg::onSurface && surfaced) return msg::yes;
    return msg::walkerReply;
}

sf::Vector2f Spacewalker::walkDirection(int sign) const {
    const float s = static_cast<float>(sign);
    return normalize({s * acceleration.y, -s * acceleration.x});
}

void Spacewalker::animate(sf::Vector2f move, sf::Time, bool flipWhenUpsideDown) {
    if (!surfaced)
        animator.play(sprite, walker_animation::spacing, false);
    else if (moved)
        animator.play(sprite, walker_animation::running, false);
    else
        animator.play(sprite, walker_animation::idle, false);
    const float sign = (flipWhenUpsideDown && acceleration.y < 0.f) ? -1.f : 1.f;
    if (move.x > faceThreshold)
        sprite.setScale(sign * popScale, popScale);
    else if (move.x < -faceThreshold)
        sprite.setScale(-sign * popScale, popScale);
}

void Spacewalker::setupWalkerLook(const sheet::Strip& strip) {
    animator.configure(strip);
    animator.addStrip(walker_animation::idle, strip, sheet::walkerIdle);
    animator.addStrip(walker_animation::running, strip, sheet::walkerRunning);
    animator.addStrip(walker_animation::spacing, strip, sheet::walkerSpacing);
    animator.start(sprite);
    sprite.setScale(1.f, 1.f);
}

void Spacewalker::kickDust(float seconds, float interval) {
    dustTimer += seconds;
    if (!(dustTimer > interval)) return;
    dustTimer = 0.f;
    if (effects == nullptr || planet == nullptr) return;
    const float angle = degrees(std::atan2(-acceleration.x, acceleration.y));
    effects->push_back(new RunSplash(resources, angle, planet->sprite.getColor(),
                                     sprite.getScale().x, position.x, position.y));
}

void Spacewalker::setupColours(bool behind, float hue, float spread, bool fixedHue) {
    overlayBehind = behind;
    if (resources != nullptr && !resources->textures.empty())
        overlay.setTexture(resources->textures[0]);
    overlay.setTextureRect(cellBelow(sprite.getTextureRect()));
    float h = randomHue();
    if (hue > -0.1f) {
        const float jitter = static_cast<float>(rand() % 100) * hueJitter;
        h = hue + (fixedHue ? 0.f : jitter);
    }
    sprite.setColor(walkerTint(h));
    float s = static_cast<float>(rand() % 20 + 10) * spread;
    if (fixedHue) s = fixedSpread;
    const float overlayHue = (rand() % 2 != 0) ? h + s : h - s;
    overlay.setColor(walkerTint(overlayHue));
    sprite.setScale(0.f, 0.f);
    overlay.setOrigin(sprite.getOrigin());
    keepSpaceTime = false;
}
