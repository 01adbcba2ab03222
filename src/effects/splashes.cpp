#include "effects/splashes.hpp"

#include "agents/messages.hpp"
#include "core/colors.hpp"
#include "core/sprite_sheet.hpp"
#include "core/vector_math.hpp"

#include <algorithm>
#include <cstdlib>

namespace {
// One name for every splash's strip, rather than a new text for each.
const sf::String splashStrip = "idle";

const SplashLook landingLook{sheet::landingDust, {1.2f, 1.3f}, sheet::landingDust.centre()};
const SplashLook jumpLook{sheet::jumpDust, {1.0f, 1.5f}, sheet::jumpDust.centre()};
const SplashLook runLook{sheet::runDust, {0.f, 0.f}, sheet::runDustFeet};

constexpr float ballLifeKeep = 0.9f;     // of its life kept per update
constexpr float ballSpeedKeep = 0.975f;  // of its speed kept per update
constexpr float ballScaleKeep = 0.8f;    // of the disc's scale kept per update
constexpr float ballScaleGain = 0.2f;    // of its life taken into the scale per update
constexpr float ballEnd = 0.05f;         // life below which the disc is gone
constexpr int ballMinDistance = 4;       // px from the centre at the least
constexpr int ballMinSpeed = 30;         // px/s
constexpr int ballSpeedRange = 150;      // px/s above the least
constexpr float ballTintKeep = 0.33f;
constexpr float ballTintLift = 150.f;
}  // namespace

AnimatedSplash::AnimatedSplash(Resources* r, const SplashLook& look, float rotation,
                               sf::Color colour, float x, float y)
    : Agent(r), look_(look) {
    position = {x, y};
    setup();
    sprite.setRotation(rotation);
    sprite.setColor(colour);
}

void AnimatedSplash::setup() {
    Agent::setup();
    name = agent_name::splash;
    layer = layer::planets;
    accelerationScale = 0.f;
    animator.configure(look_.strip);
    animator.addStrip(splashStrip, look_.strip, {0, look_.strip.cells});
    animator.start(sprite);
    sprite.setScale(1.f, 1.f);
}

void AnimatedSplash::update(sf::Time elapsed) {
    Agent::update(elapsed);
    // Gone as the first cell it does not show comes up.
    if (animator.animations[0].frame == look_.strip.frames) dead = true;
    if (look_.scale.x != 0.f) sprite.setScale(look_.scale);
}

void AnimatedSplash::draw() {
    sprite.setOrigin(look_.origin);
    Agent::draw();
}

LandingSplash::LandingSplash(Resources* r, float rotation, sf::Color colour, float x, float y)
    : AnimatedSplash(r, landingLook, rotation, colour, x, y) {}

JumpSplash::JumpSplash(Resources* r, float rotation, sf::Color colour, float x, float y)
    : AnimatedSplash(r, jumpLook, rotation, colour, x, y) {}

RunSplash::RunSplash(Resources* r, float rotation, sf::Color colour, float facing, float x, float y)
    : AnimatedSplash(r, runLook, rotation, colour, x, y) {
    // Tilted one degree into the run, mirrored when running left.
    sprite.setRotation(rotation + facing);
    sprite.setScale(facing, 1.f);
}

BallSplash::BallSplash(Resources* r, float spread, sf::Color colour, float size, float x, float y)
    : Agent(r), disc(0.f, 30) {
    // A spread below one would take a remainder by zero; it is taken as one, so the disc
    // starts 4 px out.
    const int reach = std::max(1, static_cast<int>(spread));
    const float k = randomRadians();
    const float d = static_cast<float>(rand() % reach + ballMinDistance);
    position = sf::Vector2f(x, y) + polar(k, d);
    setup();
    const float radius = size * 0.5f;
    disc.setRadius(radius);
    disc.setFillColor(liftColor(colour, ballTintKeep, ballTintLift));
    disc.setOrigin(radius, radius);
    velocity = normalize(position - sf::Vector2f(x, y)) *
               static_cast<float>(rand() % ballSpeedRange + ballMinSpeed);
}

void BallSplash::setup() {
    Agent::setup();
    name = agent_name::particle;
    layer = layer::planets;
    accelerationScale = 0.f;
    life = 1.f;
}

void BallSplash::update(sf::Time elapsed) {
    Agent::update(elapsed);
    life *= ballLifeKeep;
    velocity *= ballSpeedKeep;
    const float scale = disc.getScale().x * ballScaleKeep + life * ballScaleGain;
    disc.setScale(scale, scale);
    if (life < ballEnd) dead = true;
}

void BallSplash::draw() {
    disc.setPosition(position);
    drawVisible(disc);
}
