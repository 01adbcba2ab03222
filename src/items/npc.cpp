#include "items/npc.hpp"

#include "agents/messages.hpp"
#include "effects/splashes.hpp"

#include <cmath>
#include <cstdlib>

namespace {
struct NpcLook {
    int row;
    int cellHeight;  // px
};
const NpcLook looks[] = {{1, 32}, {3, 32}, {8, 64}};
constexpr int lookCount = 3;
constexpr int cellWidth = 32;  // px
const sf::Time frameTime = sf::seconds(0.07f);
constexpr float colourSpread = 0.025f;
constexpr float walkSpeed = 100.f;    // px/s along the surface
constexpr float pauseShorter = 0.5f;  // s a pause is shorter than the walk before it
constexpr int walkRange = 1000;       // ms of walk length above the least
constexpr int walkLeast = 1000;       // ms
constexpr float dustInterval = 0.2f;  // s of walking between dust puffs
constexpr float pi = 3.1415927f;
}  // namespace

NPC::NPC(Resources* r, AgentList* e, AgentList* p, AgentList* pl, AgentList* i, SoundBank* s,
         Camera* c, float x, float y, float hue)
    : Itembase(r, e, p, pl, i, s, c, x, y, hue) {
    setup();
}

void NPC::setup() {
    Itembase::setup();
    name = agent_name::npc;
    const NpcLook& look = looks[rand() % lookCount];
    animator.configure(cellWidth, look.cellHeight, frameTime);
    animator.addStrip(walker_animation::idle, 0, look.row, 4);
    animator.addStrip(walker_animation::running, 4, look.row, 6);
    animator.addStrip(walker_animation::spacing, 10, look.row, 6);
    animator.start(sprite);
    sprite.setScale(1.f, 1.f);
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
    if (moved) kickDust(seconds);
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

void NPC::kickDust(float seconds) {
    dustTimer += seconds;
    if (!(dustTimer > dustInterval)) return;
    dustTimer = 0.f;
    if (effects == nullptr || planet == nullptr) return;
    const float angle = std::atan2(-acceleration.x, acceleration.y) * 180.f / pi;
    effects->push_back(new RunSplash(resources, angle, planet->sprite.getColor(),
                                     sprite.getScale().x, position.x, position.y));
}
