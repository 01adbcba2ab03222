#include "items/npc.hpp"

#include "agents/messages.hpp"
#include "walkers/walker_world.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {
constexpr float pi = 3.1415927f;

class NPCTest : public ::testing::Test {
protected:
    TestWorld test;
    WalkerWorld world{test};
};

// Stretches of consecutive updates in which the character walked, and in which it paused.
struct Cycle {
    std::vector<int> walks, pauses;
};

TEST_F(NPCTest, LooksAreOneOfThreeChosenByRand) {
    const int rows[] = {1, 3, 8};
    const int heights[] = {32, 32, 64};
    for (unsigned seed = 1; seed <= 6; ++seed) {
        srand(seed);
        const int look = rand() % 3;
        srand(seed);
        NPC* npc = world.add<NPC>(world.items, 0.f, 0.f, 0.5f);
        EXPECT_EQ(agent_name::npc, npc->name);
        const int h = heights[look];
        EXPECT_EQ(sf::IntRect(0, rows[look] * h, 32, h), npc->sprite.getTextureRect());
        EXPECT_EQ(sf::IntRect(0, rows[look] * h + h, 32, h), npc->overlay.getTextureRect());
    }
}

TEST_F(NPCTest, WalksAndPausesAlongTheUndersideWithoutMirroringAndNeverSleeps) {
    srand(21);
    RecordingPlanet* planet = world.addPlanet(100.f, 0.f, 0.f);
    NPC* npc = world.add<NPC>(world.items, 3.f, 4.f, 0.5f);  // lands below the centre
    world.step();
    ASSERT_TRUE(npc->surfaced);

    Cycle cycle;
    bool walking = false;
    int run = 0;
    for (int i = 0; i < 900; ++i) {  // 14.4 s
        world.step();
        ASSERT_TRUE(npc->surfaced);
        ASSERT_LT(npc->restTime, 0.02f) << "a character never falls asleep";
        if (npc->moved) {
            const sf::Vector2f v = npc->velocity;
            EXPECT_NEAR(100.f, std::sqrt(v.x * v.x + v.y * v.y), 1e-3f);
            EXPECT_NEAR(0.f, v.x * npc->acceleration.x + v.y * npc->acceleration.y, 1e-1f);
            EXPECT_GT(npc->sprite.getScale().x * npc->walkSign, 0.f) << "faces its way, unmirrored";
        }
        if (npc->moved != walking) {
            (walking ? cycle.walks : cycle.pauses).push_back(run);
            walking = npc->moved;
            run = 0;
        }
        ++run;
    }
    EXPECT_NEAR(113.f, distance(npc->position, planet->position), 1e-3f);
    ASSERT_GE(cycle.walks.size(), 4u);
    ASSERT_GE(cycle.pauses.size(), 4u);
    // After the first walk: walks of 1 to 2 s, each pause 0.5 s shorter than the walk before
    // (pauses[k + 1] follows walks[k]).
    for (std::size_t k = 1; k < cycle.walks.size(); ++k) {
        EXPECT_GE(cycle.walks[k], 62);
        EXPECT_LE(cycle.walks[k], 126);
        if (k + 1 < cycle.pauses.size()) {
            EXPECT_NEAR(cycle.walks[k] - 30, cycle.pauses[k + 1], 2) << "pause after walk " << k;
        }
    }
}

TEST_F(NPCTest, KicksUpDustAtMostEveryFifthOfASecondAlignedWithTheSurface) {
    srand(4);
    RecordingPlanet* planet = world.addPlanet(100.f, 0.f, 0.f);
    NPC* npc = world.add<NPC>(world.items, 4.f, -3.f, 0.5f);
    npc->update(frame());
    ASSERT_TRUE(npc->surfaced);
    for (Agent* effect : world.effects) delete effect;
    world.effects.clear();

    int walkedUpdates = 0;
    int sinceLastPuff = 1000;
    for (int i = 0; i < 300; ++i) {
        const std::size_t before = world.effects.size();
        npc->update(frame());
        if (npc->moved) ++walkedUpdates, ++sinceLastPuff;
        if (world.effects.size() == before) continue;
        EXPECT_GE(sinceLastPuff, 13);
        sinceLastPuff = 0;
        const Agent* puff = world.effects.back();
        const sf::Vector2f down = planet->position - puff->position;
        const float surface = std::atan2(-down.x, down.y) * 180.f / pi;
        const float tilt = std::remainder(puff->sprite.getRotation() - surface, 360.f);
        EXPECT_NEAR(0.f, tilt, 2.f);
        EXPECT_EQ(planet->sprite.getColor(), puff->sprite.getColor());
    }
    EXPECT_GT(walkedUpdates, 60);
    EXPECT_GE(static_cast<int>(world.effects.size()), walkedUpdates / 14);
}

TEST_F(NPCTest, CarriedItStopsItsCycleAndThrownItResumes) {
    srand(8);
    world.addPlanet(100.f, 0.f, 0.f);
    Spacewalker* carrier = world.add<Spacewalker>(world.players, 0.f, -10.f);
    NPC* npc = world.add<NPC>(world.items, 0.f, 10.f, 0.5f);
    world.step(40);

    npc->message(carrier, msg::pickup);
    const float timer = npc->walkTimer;
    for (int i = 0; i < 120; ++i) {
        world.step();
        ASSERT_FALSE(npc->moved);
    }
    EXPECT_EQ(timer, npc->walkTimer);
    EXPECT_EQ(walker_animation::spacing, npc->animator.currentAnimation()->name);
    EXPECT_NEAR(16.f, distance(npc->position, carrier->position), 1e-3f);

    npc->message(carrier, msg::throwIt);
    npc->velocity = {0.f, 0.f};
    bool walkedAgain = false;
    for (int i = 0; i < 240 && !walkedAgain; ++i) {
        world.step();
        walkedAgain = npc->moved;
    }
    EXPECT_TRUE(walkedAgain);
    EXPECT_TRUE(npc->surfaced);
}
}  // namespace
