#include "walkers/planet.hpp"

#include "agents/messages.hpp"
#include "core/colors.hpp"
#include "core/vector_math.hpp"
#include "services/sound_bank.hpp"

#include <cmath>
#include <cstdlib>

namespace {
constexpr std::size_t discPoints = 60;
constexpr float startWobble = 0.2f;            // pulse amplitude factor after a reset
constexpr float bounceWobble = 0.5f;           // after "bounce"
constexpr float wobbleFrequency = 13.412123f;  // rad/s
constexpr float pulseDepth = 0.2f;             // scale swing per unit of wobble
constexpr float growRate = 0.3f;               // of the way to full size per update
constexpr float shrinkRate = 0.2f;             // of the way to nothing per update while dying
constexpr float goneScale = 0.05f;             // a dying planet below this is removed
constexpr float driftKeep = 0.98f;             // of the drift kept per update
constexpr float landingVolume = 1.0f;
constexpr float stepVolume = 0.6f;
constexpr float surfacePitch = 0.8f;
constexpr float surfacePitchVariation = 0.2f;
constexpr float tintKeep = 0.33f;  // pale tint: hue colour * keep + lift
constexpr float tintLift = 150.f;
}  // namespace

Planet::Planet(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i, SoundBank* s,
               float radius_, float hue, float x, float y)
    : Agent(r, e, p, pl, i, s), shape(0.f, 30) {
    radius = radius_;
    position = {x, y};
    Agent::setup();
    reset();
    float h = randomHue();
    if (hue > -0.1f) h = hue;
    const sf::Color tint = liftColor(hueToColor(wrap(h, 0.f, 1.f)), tintKeep, tintLift);
    shape.setFillColor(tint);
    sprite.setColor(tint);
}

void Planet::setup() {
    Agent::setup();
    reset();
}

void Planet::reset() {
    name = agent_name::planet;
    accelerationScale = 0.f;
    wobble = startWobble;
    velocity = {0.f, 0.f};
    shape.setRadius(radius);
    shape.setOrigin(radius, radius);
    shape.setPointCount(discPoints);
    shape.setScale(0.f, 0.f);
    surfaceSound = "walking_s";
    layer = layer::planets;
    grow = 0.f;
    dying = occupied = false;
    wobblePhase = static_cast<float>(rand() % 100);
}

void Planet::update(sf::Time elapsed) {
    const float s = elapsed.asSeconds();
    if (dying) {
        grow = lerp(grow, 0.f, shrinkRate);
        if (grow < goneScale) dead = true;
    } else {
        grow = lerp(grow, 1.f, growRate);
        hitboxSize = {2.f * shape.getRadius(), 2.f * shape.getRadius()};
    }
    if (!dead) {
        wobblePhase += s;
        const float k = std::sin(wobblePhase * wobbleFrequency);
        const float scale = grow + pulseDepth * wobble * k;
        shape.setScale(scale, scale);
    }
    if (wobble > 0.f)
        wobble -= s;
    else
        wobble = 0.f;
    velocity *= driftKeep;
}

void Planet::draw() {
    shape.setPosition(position);
    drawVisible(shape, sf::RenderStates(sf::BlendAlpha));
}

void Planet::playSurfaceSound(const Agent* walker, float volume) {
    if (soundBank == nullptr) return;
    // A landing or a step is heard from where the walker is, as far as the view reaches.
    if (walker != nullptr)
        soundBank->playSoundAt(walker->position, surfaceSound, volume, surfacePitch,
                               surfacePitchVariation);
    else
        soundBank->playSound(surfaceSound, volume, surfacePitch, surfacePitchVariation);
}

const sf::String& Planet::message(Agent* from, const sf::String& text) {
    heard(from, text);
    if (text == msg::reset) reset();
    if (text == msg::foundYou) occupied = true;
    if (text == msg::lostYou) occupied = false;
    if (text == msg::bounce) wobble = bounceWobble;
    if (text == msg::surfaced) playSurfaceSound(from, landingVolume);
    if (text == msg::steppinOnU) playSurfaceSound(from, stepVolume);
    if (text == msg::die) dying = true;
    if (text == msg::dying && dying) return msg::yes;
    return msg::planetReply;
}
