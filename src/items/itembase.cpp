#include "items/itembase.hpp"

#include "agents/messages.hpp"
#include "effects/splashes.hpp"

#include <cmath>
#include <cstdlib>

namespace {
constexpr float sleepAfter = 5.f;    // s resting on surfaces before an item sleeps
constexpr float freshFor = 1.f;      // s of rest within which a removed item bursts
constexpr float rideHeight = 16.f;   // px above the carrier's origin
constexpr float bobHeight = 10.f;    // px of extra lift at the top of a running bob
constexpr float bobRate = 12.f;      // rad/s of the bob's cosine
constexpr float bobDecay = 0.9f;     // of the bob kept per update once the carrier stops
constexpr float turnKeep = 0.65f;    // of the old orientation kept per carried update
constexpr float turnTake = 0.35f;    // of the carrier's orientation taken per update
constexpr float spinRate = 10.f;     // rad/s after a throw, times the thrower's x-scale
constexpr float roughPi = 3.14f;     // the carrier's rotation is read with this pi
constexpr int burstCount = 15;       // discs per colour
constexpr float burstSpread = 16.f;  // px
constexpr float smallDisc = 8.f;     // px, the overlay-coloured discs
constexpr float largeDisc = 64.f;    // px, the body-coloured discs
}  // namespace

Itembase::Itembase(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i,
                   SoundBank* s, Camera* c, float x, float y, float hue_)
    : Spacewalker(r, e, p, pl, i, s, c, x, y) {
    hue = hue_;
    setup();
}

void Itembase::setup() {
    Spacewalker::setup();
    name = agent_name::item;
    carrier = nullptr;
    beingCarried = false;
    bobOffset = 0.f;
    spinDirection = 1.f;
    restTime = 0.f;
}

void Itembase::setupIdleLook(const sheet::Strip& strip, float spread, bool fixedHue) {
    facing = 1.f;
    if (rand() % 2 != 0) facing = -1.f;
    animator.configure(strip);
    animator.addStrip(walker_animation::idle, strip, {0, strip.frames});
    animator.start(sprite);
    sprite.setScale(1.f, 1.f);
    setupColours(strip.overlay == sheet::Overlay::Behind, hue, spread, fixedHue);
}

void Itembase::update(sf::Time elapsed) {
    if (surfaced) restTime += elapsed.asSeconds();
    if (restTime >= sleepAfter && !beingCarried) {
        animator.update(sprite, elapsed);
        syncOverlay();
    } else {
        Spacewalker::update(elapsed);
    }
    if (beingCarried)
        followCarrier();
    else if (!surfaced)
        spin();
}

void Itembase::followCarrier() {
    if (carrier == nullptr) return;
    spaceTime = 0.f;
    spinDirection = carrier->sprite.getScale().x;
    const bool running = carrier->message(this, msg::moved) == msg::yes &&
                         carrier->message(this, msg::onSurface) == msg::yes;
    const float a = (carrier->sprite.getRotation() - 90.f) / 180.f * roughPi;
    const sf::Vector2f up(std::cos(a), std::sin(a));
    bobOffset = running ? std::fabs(std::cos(age * bobRate) * bobHeight) : bobOffset * bobDecay;
    position = carrier->position + up * (bobOffset + rideHeight);
    gravityDir = gravityDir * turnKeep + sf::Vector2f(-up.y, up.x) * turnTake;
}

void Itembase::spin() {
    const float angle = age * spinRate * spinDirection;
    gravityDir = {std::cos(angle), std::sin(angle)};
}

void Itembase::onDeath() {
    carrier = nullptr;
    beingCarried = false;
    Spacewalker::onDeath();
    if (restTime < freshFor) burst();
}

void Itembase::burst() {
    if (effects == nullptr) return;
    for (int i = 0; i < burstCount; ++i)
        effects->push_back(new BallSplash(resources, burstSpread, overlay.getColor(), smallDisc,
                                          position.x, position.y));
    for (int i = 0; i < burstCount; ++i)
        effects->push_back(new BallSplash(resources, burstSpread, sprite.getColor(), largeDisc,
                                          position.x, position.y));
}

const sf::String& Itembase::message(Agent* from, const sf::String& text) {
    heard(from, text);
    if (text == msg::setPlanet && from != nullptr) setPlanet(from);
    if (text == msg::pickup && from != nullptr) {
        restTime = 0.f;
        carrier = from;
        beingCarried = true;
        ghost = true;
        surfaced = false;
    }
    if (text == msg::throwIt) {
        carrier = nullptr;
        restTime = 0.f;
        beingCarried = false;
        surfaced = false;
        ghost = false;
    }
    return msg::itemReply;
}
