#include "items/altar.hpp"

#include "agents/agent_index.hpp"
#include "agents/messages.hpp"
#include "core/vector_math.hpp"
#include "scenes/camera.hpp"
#include "services/resources.hpp"
#include "services/sound_bank.hpp"

namespace {
constexpr float colourSpread = 0.01f;
constexpr float panRate = 0.05f;      // of the way the camera moves to the altar per update
constexpr float panDeadZone = 2.f;    // px
constexpr float consumeAfter = 1.5f;  // s of ceremony before the orb is consumed
constexpr float rewardAfter = 2.f;    // s of ceremony before the player is told
constexpr float holdHeight = 26.f;    // px above the altar where the orb is held
constexpr float drawInKeep = 0.9f;    // of the orb's place kept per contact
constexpr float drawInRate = 0.1f;    // of the way the orb is drawn in per contact
constexpr float takeVolume = 1.f;
constexpr float takePitch = 1.f;
const sf::String takeSound = "altar";
}  // namespace

Altar::Altar(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i, SoundBank* s,
             Camera* c, float x, float y, float hue, Agent* recipient_)
    : Itembase(r, e, p, pl, i, s, c, x, y, hue) {
    recipient = recipient_;
    setup();
}

void Altar::setup() {
    Itembase::setup();
    name = agent_name::altar;
    setupIdleLook(sheet::altar, colourSpread, true);
    activated = false;
    ceremonyTime = 0.f;
    layer = layer::front;
}

void Altar::update(sf::Time elapsed) {
    Itembase::update(elapsed);
    animate({facing, 0.f}, elapsed, false);
    collideWithList(this, items);
    if (activated && !dead) runCeremony(elapsed.asSeconds());
}

void Altar::runCeremony(float seconds) {
    if (camera != nullptr)
        camera->position = approach(panRate, panDeadZone, camera->position, position);
    ceremonyTime += seconds;
    if (ceremonyTime > rewardAfter) {
        if (recipient != nullptr) recipient->message(this, msg::earnedIt);
        dead = true;
        resources->cinematic = false;
    }
}

void Altar::onCollision(Agent* other) {
    Spacewalker::onCollision(other);
    if (other->message(this, msg::orb) != msg::yes) return;
    resources->cinematic = true;
    other->name = agent_name::takenOrb;
    other->message(this, msg::dontRotate);
    other->velocity = {0.f, 0.f};
    const sf::Vector2f hold = position + normalize(-acceleration) * holdHeight;
    other->position = other->position * drawInKeep + hold * drawInRate;
    if (items != nullptr && items->index != nullptr) items->index->moved(other);
    if (!activated && soundBank != nullptr)
        soundBank->playSound(takeSound, takeVolume, takePitch, 0.f);
    activated = true;
    if (ceremonyTime > consumeAfter) other->dead = true;
}

void Altar::onDeath() {
    recipient = nullptr;
    Itembase::onDeath();
}
