#include "effects/star.hpp"

#include "agents/messages.hpp"
#include "core/vector_math.hpp"
#include "services/resources.hpp"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr float spawnReach = 0.6f;   // of the window width around the camera
constexpr int brightnessRange = 24;  // a star is this much brighter than the sky, at most
constexpr float fadeShare = 10.f;    // the star shrinks in the last 1/fadeShare of its life
constexpr float scaleKeep = 0.8f;    // of the drawn scale kept per update
constexpr float scaleGain = 0.2f;    // of the target scale taken per update
}  // namespace

Star::Star(Resources* r, sf::Color colour, float x, float y) : Agent(r), disc(0.f, 30) {
    const float k = randomRadians();
    const int reach = std::max(1, static_cast<int>(r->width * spawnReach));
    const float d = static_cast<float>(rand() % reach);
    position = sf::Vector2f(x, y) + polar(k, d);
    setup();
    const int j = rand() % brightnessRange;
    const auto brighten = [j](sf::Uint8 c) { return static_cast<sf::Uint8>(std::min(255, c + j)); };
    disc.setFillColor(sf::Color(brighten(colour.r), brighten(colour.g), brighten(colour.b), 255));
}

void Star::setup() {
    Agent::setup();
    name = agent_name::particle;
    accelerationScale = 0.f;
    layer = layer::stars;
    lifetime = timeLeft = static_cast<float>(rand() % 500 + 1000) * 0.01f;
    const float radius = static_cast<float>(rand() % 4 + 4);
    disc.setRadius(radius);
    disc.setOrigin(radius, radius);
    disc.setScale(0.f, 0.f);
    const float k2 = randomRadians();
    const float speed = static_cast<float>(rand() % 65);
    velocity = polar(k2, speed);
    drag = 1.f - static_cast<float>(rand() % 1000) * 0.00001f;
}

void Star::update(sf::Time elapsed) {
    Agent::update(elapsed);
    const float f = std::min(1.f, timeLeft / lifetime * fadeShare);
    const float scale = disc.getScale().x * scaleKeep + f * scaleGain;
    disc.setScale(scale, scale);
    timeLeft -= elapsed.asSeconds();
    if (timeLeft < 0.f) dead = true;
    velocity *= drag;
}

void Star::draw() {
    disc.setPosition(position);
    drawVisible(disc);
}
