#include "effects/bubble.hpp"

#include "agents/messages.hpp"

#include <cmath>
#include <limits>

namespace {
constexpr sf::Uint8 shownAlpha = 128;
constexpr float blinkRate = 24.f;  // rad/s of the blink's sine
constexpr float scaleKeep = 0.8f;  // of the scale kept per update while growing in
constexpr float scaleGain = 0.2f;  // of full size added per update
}  // namespace

Bubble::Bubble(Resources* r) : Agent(r) {
    setup();
}

void Bubble::setup() {
    Agent::setup();
    accelerationScale = 0.f;
    bursting = false;
    bubbleScale = 0.f;
    layer = layer::front;
    velocity = {0.f, 0.f};
    animator.configure(sheet::bubble);
    animator.addStrip("idle", sheet::bubble, {0, sheet::bubble.frames});
    animator.start(sprite);
    sprite.setScale(1.f, 1.f);
    sprite.setColor(sf::Color(255, 255, 255, shownAlpha));
}

void Bubble::update(sf::Time elapsed) {
    Agent::update(elapsed);
    clock += elapsed.asSeconds();
    if (clock > std::numeric_limits<float>::max()) clock = 0.f;
    if (bursting) {
        sf::Color colour = sprite.getColor();
        colour.a = std::sin(clock * blinkRate) > 0.f ? 0 : shownAlpha;
        sprite.setColor(colour);
    } else {
        sprite.setColor(sf::Color(255, 255, 255, shownAlpha));
    }
    bubbleScale = bubbleScale * scaleKeep + scaleGain;
    sprite.setScale(bubbleScale, bubbleScale);
    sprite.setOrigin(sheet::bubble.centre());
}

const sf::String& Bubble::message(Agent* from, const sf::String& text) {
    heard(from, text);
    if (text == msg::bursting) bursting = true;
    if (text == msg::hide) {
        bubbleScale = 0.f;
        bursting = false;
    }
    return msg::bubbleReply;
}
