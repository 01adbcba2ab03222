#include "walkers/player.hpp"

#include "agents/messages.hpp"
#include "core/vector_math.hpp"
#include "effects/splashes.hpp"
#include "scenes/camera.hpp"
#include "services/resources.hpp"
#include "services/sound_bank.hpp"

#include <SFML/Window/Keyboard.hpp>

#include <cmath>

namespace {
// The player's actions.
const sf::String jumpAction = "jump";
const sf::String leftAction = "left";
const sf::String downAction = "down";
const sf::String rightAction = "right";
const sf::String spaceAction = "space";
const sf::String useAction = "use";

const sf::String jumpSound = "jump";
const sf::String pickupSound = "pickup";
const sf::String throwSound = "throw";
const sf::String pushOffSound = "push_off";
const sf::String spawnNote = "Trying to spawn planet";

constexpr int spaceButton = 1;  // joystick 0
constexpr int useButton = 2;
constexpr int jumpButton = 0;

constexpr float colourSpread = 0.025f;

constexpr float stickThreshold = 0.25f;    // of full stick travel that steers
constexpr float steerThreshold = 0.1f;     // of a unit steering vector that counts as moving
constexpr float walkFactor = 2.f;          // |d| on a surface: 300 px/s at the steering speed
constexpr float steerSpeed = 150.f;        // px/s per unit of steering
constexpr float groundGrip = 0.2f;         // of the way to the steering speed per update
constexpr float airGrip = 0.02f;           // the same in the air and in space
constexpr float groundedMarker = 0.01f;    // air marker at or below this: on the ground
constexpr float pushKeep = 0.65f;          // of the velocity kept when pushing off
constexpr float pushAcceleration = 0.35f;  // of the pull toward the planet turned into the push
constexpr float jumpSpeed = 300.f;         // px/s off the surface
constexpr float jumpSideways = 150.f;      // px/s per unit of steering
constexpr float jumpVolume = 1.f;
constexpr float jumpPitch = 0.8f;
constexpr float jumpPitchVariation = 0.2f;
constexpr float handsVolume = 1.f;  // picking up, throwing and pushing off
constexpr float handsPitch = 0.9f;
constexpr float handsPitchVariation = 0.2f;
constexpr float dustInterval = 0.1f;   // s of surfaced steering between dust puffs
constexpr float throwCarry = 1.25f;    // of the player's velocity given to a thrown item
constexpr float throwLift = 150.f;     // px/s away from the planet while walking
constexpr float throwUp = 350.f;       // px/s away from the planet in the air
constexpr float tossForward = 100.f;   // px/s along the surface standing still
constexpr float tossLift = 75.f;       // px/s away from the planet standing still
constexpr float facingRound = 1.1f;    // x-scale factor before truncating to a facing
constexpr float lookAhead = 60.f;      // px the view looks past the player
constexpr float swayX = 24.f;          // px
constexpr float swayY = 12.f;          // px
constexpr float swayRateX = 0.5f;      // rad/s
constexpr float swayRateY = 0.6f;      // rad/s
constexpr float followRate = 0.025f;   // of the way the camera moves per update
constexpr float followDeadZone = 2.f;  // px
constexpr float noteOffset = 64.f;     // px below the player
}  // namespace

Player::Player(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i, SoundBank* s,
               Camera* c, float x, float y)
    : Spacewalker(r, e, p, pl, i, s, c, x, y) {
    // An action map of its own, without resources: its mouse is scaled to a fixed base.
    input.reset(nullptr, false);
    setup();
}

void Player::setup() {
    Spacewalker::setup();
    name = agent_name::player;
    bindActions();
    setupWalkerLook(sheet::player);
    setupColours(false, -1.f, colourSpread, false);
    sprite.setScale(1.f, 1.f);
    dustTimer = 0.f;
    layer = layer::player;
    cameraClock = 0.f;
    planetRequested = false;
}

void Player::bindActions() {
    input.bindKey(jumpAction, sf::Keyboard::W);
    input.bindKey(leftAction, sf::Keyboard::A);
    input.bindKey(downAction, sf::Keyboard::S);
    input.bindKey(rightAction, sf::Keyboard::D);
    input.bindKey(jumpAction, sf::Keyboard::Up);
    input.bindKey(leftAction, sf::Keyboard::Left);
    input.bindKey(rightAction, sf::Keyboard::Right);
    input.bindKey(downAction, sf::Keyboard::Down);
    input.bindKey(spaceAction, sf::Keyboard::Space);
    input.bindKey(useAction, sf::Keyboard::X);
    input.bindJoystickButton(spaceAction, spaceButton);
    input.bindJoystickButton(useAction, useButton);
    input.bindJoystickButton(jumpAction, jumpButton);
}

void Player::update(sf::Time elapsed) {
    handleInput(elapsed);
    Spacewalker::update(elapsed);
    followCamera(elapsed);
}

void Player::handleInput(sf::Time elapsed) {
    if (resources != nullptr && resources->window != nullptr) input.update(*resources->window);
    moved = false;
    const sf::Vector2f stick = input.getStick();
    const sf::Vector2f d = onPlanet ? walk(stick) : swim(stick);
    if (moved) steer(d, elapsed.asSeconds());
    if (carrying && carried != nullptr && input.isPressed(useAction))
        throwCarried();
    else if (input.isPressed(useAction))
        pickUp();
    animate(d, elapsed, true);
}

sf::Vector2f Player::swim(sf::Vector2f stick) {
    sf::Vector2f d;
    if (input.isDown(jumpAction)) d.y -= 1.f;
    if (input.isDown(leftAction)) d.x -= 1.f;
    if (input.isDown(downAction)) d.y += 1.f;
    if (input.isDown(rightAction)) d.x += 1.f;
    if (std::fabs(stick.x) > stickThreshold || std::fabs(stick.y) > stickThreshold) d += stick;
    d = normalize(d);
    if (std::fabs(d.x) > steerThreshold || std::fabs(d.y) > steerThreshold) moved = true;
    // Home in on the nearest planet at once.
    if (input.isPressed(spaceAction)) spaceTime = maxSpaceTime;
    return d;
}

sf::Vector2f Player::walk(sf::Vector2f stick) {
    sf::Vector2f d;
    if (input.isDown(leftAction) || stick.x < -stickThreshold) {
        d = walkFactor * normalize({-acceleration.y, acceleration.x});
        moved = true;
    }
    if (input.isDown(rightAction) || stick.x > stickThreshold) {
        d = walkFactor * normalize({acceleration.y, -acceleration.x});
        moved = true;
    }
    if (input.isPressed(spaceAction)) {
        if (surfaced) velocity = pushKeep * velocity - pushAcceleration * acceleration;
        leavePlanet();
        playHandsSound(pushOffSound);
    }
    if (input.isPressed(jumpAction) && surfaced)
        jump(d);
    else
        timer = surfaced ? 0.f : airMarker;
    return d;
}

void Player::jump(sf::Vector2f d) {
    const sf::Vector2f up = normalize(-acceleration);
    velocity = jumpSpeed * up + jumpSideways * d;
    moved = true;
    surfaced = false;
    if (soundBank != nullptr)
        soundBank->playSound(jumpSound, jumpVolume, jumpPitch, jumpPitchVariation);
    if (effects != nullptr)
        effects->push_back(new JumpSplash(resources, sprite.getRotation(),
                                          planet->sprite.getColor(), position.x, position.y));
}

void Player::steer(sf::Vector2f d, float seconds) {
    const float k = (surfaced && timer <= groundedMarker) ? groundGrip : airGrip;
    velocity = (1.f - k) * velocity + k * steerSpeed * d;
    if (surfaced) kickDust(seconds, dustInterval);
}

void Player::playHandsSound(const sf::String& name) {
    if (soundBank != nullptr)
        soundBank->playSound(name, handsVolume, handsPitch, handsPitchVariation);
}

void Player::throwCarried() {
    carried->message(this, msg::throwIt);
    playHandsSound(throwSound);
    const sf::Vector2f down = normalize(acceleration);
    if (moved) {
        carried->velocity = throwCarry * velocity - throwLift * down;
    } else if (!surfaced) {
        carried->velocity = -throwUp * down;
    } else {
        const int facing = static_cast<int>(sprite.getScale().x * facingRound);
        carried->velocity = tossForward * walkDirection(facing) - tossLift * down;
    }
    carrying = false;
    carried = nullptr;
}

void Player::pickUp() {
    if (items == nullptr) return;
    for (Agent* agent : *items) {
        // An item already marked dead is deleted within this frame: never take hold of it.
        if (agent->dead) continue;
        if (agent->name != agent_name::item && agent->name != agent_name::npc) continue;
        const float reach = 0.5f * agent->hitboxSize.x + 0.5f * hitboxSize.x;
        if (length(position - agent->position) < reach) {
            agent->message(this, msg::pickup);
            carrying = true;
            carried = agent;
            playHandsSound(pickupSound);
            return;
        }
    }
}

void Player::followCamera(sf::Time elapsed) {
    if (camera == nullptr || (resources != nullptr && resources->cinematic)) return;
    cameraClock += elapsed.asSeconds();
    sf::Vector2f target = position;
    if (onPlanet) target += lookAhead * normalize(position - planet->position);
    target +=
        {std::sin(cameraClock * swayRateX) * swayX, std::cos(cameraClock * swayRateY) * swayY};
    camera->position = approach(followRate, followDeadZone, camera->position, target);
}

void Player::draw() {
    Spacewalker::draw();
    if (planetRequested)
        resources->drawText(layer, spawnNote, 1.f, 0.f, sf::Color(255, 255, 255, 255), position.x,
                            position.y + noteOffset, 0.f, 0.f);
}

const sf::String& Player::message(Agent* from, const sf::String& text) {
    if (text == msg::earnedIt) {
        heard(from, text);
        planetRequested = true;
        return msg::playerReply;
    }
    return Spacewalker::message(from, text);
}

void Player::reset() {
    // Whatever is carried is simply let go; the scene removes the items right after.
    carrying = false;
    carried = nullptr;
    if (onPlanet && surfaced) velocity = pushKeep * velocity - pushAcceleration * acceleration;
    leavePlanet();
    planetRequested = false;
}
