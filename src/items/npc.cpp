#include "items/npc.hpp"

#include "agents/messages.hpp"

#include <cstdlib>

namespace {
// A character wears the player's strip or one of the two of its own.
const sheet::Strip* const looks[] = {&sheet::player, &sheet::character2, &sheet::character3};
constexpr int lookCount = 3;
constexpr float colourSpread = 0.025f;
constexpr float walkSpeed = 100.f;    // px/s along the surface
constexpr float pauseShorter = 0.5f;  // s a pause is shorter than the walk before it
constexpr int walkRange = 1000;       // ms of walk length above the least
constexpr int walkLeast = 1000;       // ms
constexpr float dustInterval = 0.2f;  // s of walking between dust puffs
}  // namespace

NPC::NPC(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i, SoundBank* s,
         Camera* c, float x, float y, float hue)
    : Itembase(r, e, p, pl, i, s, c, x, y, hue) {
    setup();
}

void NPC::setup() {
    Itembase::setup();
    name = agent_name::npc;
    setupWalkerLook(*looks[rand() % lookCount]);
    setupColours(false, hue, colourSpread, false);
    walkTimer = 10.f;
    walkSign = 1.f;
    dustTimer = 0.f;
}

void NPC::update(sf::Time elapsed) {
    const float seconds = elapsed.asSeconds();
    restTime = 0.f;  // characters never fall asleep
    Itembase::update(elapsed);
    moved = false;
    if (!beingCarried && surfaced) stroll(seconds);
    if (moved) kickDust(seconds, dustInterval);
    animate({moved ? walkSign : 0.f, 0.f}, elapsed, false);
}

void NPC::stroll(float seconds) {
    if (walkDuration < walkTimer) {
        if (rand() % 2 != 0) walkSign = -walkSign;
        walkTimer = pauseShorter - walkDuration;
        walkDuration = static_cast<float>(rand() % walkRange + walkLeast) * 0.001f;
        return;
    }
    walkTimer += seconds;
    if (walkTimer > 0.f) {
        velocity = walkDirection(static_cast<int>(walkSign)) * walkSpeed;
        moved = true;
    }
}
