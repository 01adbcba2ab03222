#include "items/altar.hpp"
#include "items/orb.hpp"

#include "agents/messages.hpp"
#include "core/colors.hpp"
#include "walkers/walker_world.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {
constexpr float pi = 3.1415927f;

// Stands in for the player: remembers what the altar tells it.
class Listener : public Agent {
public:
    explicit Listener(Resources* r) : Agent(r) {}
    const sf::String& message(Agent*, const sf::String& text) override {
        heard.push_back(text);
        return msg::playerReply;
    }
    std::vector<sf::String> heard;
};

class AltarTest : public ::testing::Test {
protected:
    void SetUp() override {
        srand(9);
        planet = world.addPlanet(100.f, 0.f, 0.f);
        carrier = world.add<Spacewalker>(world.players, -2.f, -15.f);
        altar = world.add<Altar>(world.items, 0.f, -15.f, 0.25f, &listener);
        orb = world.add<Orb>(world.items, 0.f, 15.f, 0.25f);
        world.step(40);
    }

    bool touching(const Agent* a, const Agent* b) const {
        return std::fabs(a->position.x - b->position.x) < 28.f &&
               std::fabs(a->position.y - b->position.y) < 28.f;
    }

    // Carries the orb over the altar (where it touches it) and lets go of it there.
    void throwOntoAltar() {
        orb->message(carrier, msg::pickup);
        world.step(30);
        ASSERT_TRUE(touching(orb, altar));
        EXPECT_FALSE(altar->activated) << "a carried orb is a ghost and cannot be taken";
        EXPECT_FALSE(test.resources.cinematic);
        orb->message(carrier, msg::throwIt);
    }

    // Frames of exactly 1/64 s, so the ceremony clock adds up without rounding.
    static sf::Time tick() { return sf::microseconds(15625); }

    TestWorld test;
    WalkerWorld world{test};
    Listener listener{&test.resources};
    RecordingPlanet* planet = nullptr;
    Spacewalker* carrier = nullptr;
    Altar* altar = nullptr;
    Orb* orb = nullptr;
};

using AltarCeremony = AltarTest;
using AltarLook = AltarTest;

TEST_F(AltarCeremony, TakesTheThrownOrbFrameByFrame) {
    ASSERT_TRUE(altar->surfaced);
    throwOntoAltar();
    world.camera.position = {300.f, 300.f};
    const sf::Vector2f start = orb->position;
    const sf::Vector2f hold = altar->position + normalize(-altar->acceleration) * 26.f;

    world.step(1, tick());
    EXPECT_TRUE(altar->activated);
    EXPECT_TRUE(test.resources.cinematic);
    EXPECT_EQ(agent_name::takenOrb, orb->name);
    EXPECT_FALSE(orb->alignToGravity);
    EXPECT_VEC_NEAR(start * 0.9f + hold * 0.1f, orb->position);
    EXPECT_VEC_NEAR(approach(0.05f, 2.f, {300.f, 300.f}, altar->position), world.camera.position);

    // From the next update on the orb points straight along the gravity it had.
    const sf::Vector2f gravity = orb->acceleration;
    world.step(1, tick());
    const float gravityAngle = std::atan2(-gravity.x, gravity.y) * 180.f / pi;
    EXPECT_NEAR(0.f, std::remainder(orb->sprite.getRotation() - gravityAngle, 360.f), 1e-3f);

    for (int update = 3; update <= 97; ++update) world.step(1, tick());
    EXPECT_TRUE(world.contains(world.items, orb)) << "at exactly 1.5 s the orb is still held";
    EXPECT_LT(distance(orb->position, hold), 1.f);
    const int discsBefore = world.countNamed(world.effects, agent_name::particle);
    world.step(1, tick());
    EXPECT_FALSE(world.contains(world.items, orb)) << "consumed on the first contact after 1.5 s";
    EXPECT_EQ(discsBefore + 30, world.countNamed(world.effects, agent_name::particle));

    for (int update = 99; update <= 128; ++update) world.step(1, tick());
    EXPECT_TRUE(world.contains(world.items, altar)) << "at exactly 2 s the altar still stands";
    EXPECT_TRUE(listener.heard.empty());
    EXPECT_TRUE(test.resources.cinematic);
    EXPECT_LE(distance(world.camera.position, altar->position), 2.f);
    world.step(1, tick());
    EXPECT_TRUE(world.items.empty());
    EXPECT_EQ(std::vector<sf::String>{msg::earnedIt}, listener.heard);
    EXPECT_FALSE(test.resources.cinematic);
    world.step(30);
    EXPECT_EQ(1u, listener.heard.size());
}

TEST_F(AltarCeremony, RunsToItsEndWhenTheOrbSlipsAwayBeforeBeingConsumed) {
    throwOntoAltar();
    world.step(1, tick());
    ASSERT_TRUE(altar->activated);
    orb->position = {0.f, 113.f};  // knocked round to the far side of the planet

    world.step(128, tick());
    EXPECT_TRUE(world.contains(world.items, orb));
    EXPECT_EQ(agent_name::takenOrb, orb->name);
    EXPECT_FALSE(world.contains(world.items, altar));
    EXPECT_EQ(std::vector<sf::String>{msg::earnedIt}, listener.heard);
    EXPECT_FALSE(test.resources.cinematic);
}

TEST_F(AltarCeremony, OtherItemsTouchingTheAltarAreIgnored) {
    Itembase* stone = world.add<Itembase>(world.items, 0.f, 0.f, 0.1f);
    stone->position = altar->position + sf::Vector2f(5.f, -10.f);
    stone->velocity = {0.f, 0.f};
    world.step(60);
    EXPECT_FALSE(altar->activated);
    EXPECT_FALSE(test.resources.cinematic);
    EXPECT_EQ(agent_name::item, stone->name);

    EXPECT_EQ(msg::yes, orb->message(altar, msg::orb));
    EXPECT_EQ(msg::itemReply, stone->message(altar, msg::orb));
    EXPECT_EQ(msg::itemReply, altar->message(stone, msg::orb));
    EXPECT_EQ(msg::orbReply, orb->message(altar, msg::dontRotate));
    EXPECT_FALSE(orb->alignToGravity);
    EXPECT_EQ(msg::itemReply, orb->message(carrier, msg::pickup));
    EXPECT_TRUE(orb->beingCarried);
}

TEST_F(AltarLook, AltarAndOrbTakeTheGivenHueAndTheOppositeOne) {
    const sf::Color given = liftColor(hueToColor(0.25f), 0.66f, 80.f);
    const sf::Color opposite = liftColor(hueToColor(0.75f), 0.66f, 80.f);
    for (Spacewalker* walker : {static_cast<Spacewalker*>(altar), static_cast<Spacewalker*>(orb)}) {
        EXPECT_EQ(given, walker->sprite.getColor());
        EXPECT_EQ(opposite, walker->overlay.getColor());
        EXPECT_EQ(4, walker->layer);
        EXPECT_FALSE(walker->overlayBehind);
    }
    EXPECT_EQ(agent_name::altar, altar->name);
    EXPECT_EQ(agent_name::item, orb->name);
    EXPECT_TRUE(orb->keepSpaceTime);
    EXPECT_FALSE(altar->keepSpaceTime);

    Listener nobody(&test.resources);
    Altar fresh(&test.resources, &world.effects, &world.players, &world.planets, &world.items,
                &test.soundBank, &world.camera, 0.f, 0.f, 0.5f, &nobody);
    EXPECT_EQ(sf::IntRect(384, 192, 32, 64), fresh.sprite.getTextureRect());
    EXPECT_EQ(&nobody, fresh.recipient);
    Orb freshOrb(&test.resources, &world.effects, &world.players, &world.planets, &world.items,
                 &test.soundBank, &world.camera, 0.f, 0.f, 0.5f);
    EXPECT_EQ(sf::IntRect(0, 448, 32, 32), freshOrb.sprite.getTextureRect());
    fresh.onDeath();
    EXPECT_EQ(nullptr, fresh.recipient);
}
}  // namespace
