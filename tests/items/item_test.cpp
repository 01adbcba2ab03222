#include "items/itembase.hpp"

#include "agents/messages.hpp"
#include "core/colors.hpp"
#include "effects/splashes.hpp"
#include "walkers/walker_world.hpp"

#include <gtest/gtest.h>
#include <SFML/Graphics/CircleShape.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
class ItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        srand(3);
        planet = world.addPlanet(100.f, 0.f, 0.f);
        carrier = world.add<Spacewalker>(world.players, 0.f, -10.f);
        item = world.add<Itembase>(world.items, 10.f, 10.f, 0.4f);
        world.step(30);
    }

    TestWorld test;
    WalkerWorld world{test};
    RecordingPlanet* planet = nullptr;
    Spacewalker* carrier = nullptr;
    Itembase* item = nullptr;
};

using ItemCarry = ItemTest;
using ItemRest = ItemTest;

TEST_F(ItemCarry, RidesSixteenPixelsAboveItsCarrierAndTurnsWithIt) {
    ASSERT_TRUE(carrier->surfaced);
    item->message(carrier, msg::pickup);
    EXPECT_TRUE(item->ghost);
    EXPECT_FALSE(item->surfaced);
    EXPECT_EQ(carrier, item->carrier);

    world.step(30);
    EXPECT_NEAR(0.f, item->position.x, 0.05f);  // pi is read as 3.14 here
    EXPECT_NEAR(-113.f - 16.f, item->position.y, 1e-3f);
    EXPECT_NEAR(1.f, item->gravityDir.x, 1e-3f);  // the carried item lies across its carrier
    EXPECT_NEAR(0.f, item->bobOffset, 1e-6f);

    // Walked round to the right side of the planet, the carrier turns and the item with it.
    carrier->position = {113.f, 0.f};
    carrier->velocity = {0.f, 0.f};
    world.step(30);
    const sf::Vector2f above = carrier->position + normalize(carrier->position) * 16.f;
    EXPECT_NEAR(above.x, item->position.x, 0.05f);
    EXPECT_NEAR(above.y, item->position.y, 0.05f);
    EXPECT_NEAR(1.f, item->gravityDir.y, 1e-3f);
}

TEST_F(ItemCarry, BobsWhileTheCarrierRunsAndSettlesWhenItStops) {
    item->message(carrier, msg::pickup);
    carrier->moved = true;
    float highest = 0.f;
    for (int i = 0; i < 60; ++i) {
        world.step();
        EXPECT_NEAR(std::fabs(std::cos(item->age * 12.f) * 10.f), item->bobOffset, 1e-4f);
        highest = std::max(highest, item->bobOffset);
    }
    EXPECT_GT(highest, 9.f);

    carrier->moved = false;
    const float bob = item->bobOffset;
    world.step();
    EXPECT_FLOAT_EQ(bob * 0.9f, item->bobOffset);
    world.step(60);
    EXPECT_LT(item->bobOffset, 0.01f);
}

TEST_F(ItemCarry, NeverRunsOutOfSpaceTimeWhileCarried) {
    item->message(carrier, msg::pickup);
    carrier->leavePlanet();
    carrier->position = {0.f, -300.f};
    carrier->velocity = {0.f, -50.f};
    carrier->maxSpaceTime = 100.f;  // the carrier drifts on without homing
    world.step(400);
    EXPECT_GT(carrier->spaceTime, 6.f);
    EXPECT_EQ(0.f, item->spaceTime);
    EXPECT_NEAR(16.f, distance(item->position, carrier->position), 0.1f);
}

TEST_F(ItemCarry, ThrownItemSpinsInTheThrowersFacing) {
    item->message(carrier, msg::pickup);
    carrier->sprite.setScale(-1.f, 1.f);
    world.step();
    EXPECT_EQ(-1.f, item->spinDirection);

    item->message(carrier, msg::throwIt);
    EXPECT_FALSE(item->ghost);
    EXPECT_EQ(nullptr, item->carrier);
    item->velocity = {0.f, -400.f};
    for (int i = 0; i < 5; ++i) {
        world.step();
        const float angle = -item->age * 10.f;
        EXPECT_VEC_NEAR(sf::Vector2f(std::cos(angle), std::sin(angle)), item->gravityDir);
    }
}

TEST_F(ItemRest, SleepsAfterFiveSecondsOnSurfacesAddedUpAcrossLandings) {
    const sf::Time quarter = sf::milliseconds(250);
    item->restTime = 0.f;
    world.step(8, quarter);  // 2 s at rest
    item->surfaced = false;  // knocked loose: it falls back and lands again
    item->velocity = -item->acceleration * 0.3f;
    for (int i = 0; i < 120 && !item->surfaced; ++i) world.step();
    ASSERT_TRUE(item->surfaced);
    const float rested = item->restTime;
    EXPECT_NEAR(2.f, rested, 1e-4f);

    world.step(10, quarter);  // 4.5 s
    planet->velocity = {400.f, 0.f};
    sf::Vector2f before = item->position;
    item->update(quarter);
    EXPECT_GT(distance(before, item->position), 1.f) << "still awake at 4.75 s";
    before = item->position;
    item->update(quarter);
    EXPECT_EQ(5.f, item->restTime);
    EXPECT_VEC_NEAR(before, item->position);

    const sf::IntRect cell = item->sprite.getTextureRect();
    item->animator.configure(32, 32, sf::seconds(0.07f));
    item->animator.addStrip(walker_animation::idle, 0, 5, 4);
    item->animator.start(item->sprite);
    for (int i = 0; i < 20; ++i) item->update(frame());
    EXPECT_VEC_NEAR(before, item->position);
    EXPECT_NE(cell, item->sprite.getTextureRect()) << "an asleep item still animates";
    EXPECT_EQ(item->sprite.getTextureRect().top + 32, item->overlay.getTextureRect().top);

    item->message(carrier, msg::pickup);
    EXPECT_EQ(0.f, item->restTime);
    item->message(carrier, msg::throwIt);
    item->update(frame());
    EXPECT_GT(distance(before, item->position), 0.1f) << "picking up wakes it";
}

TEST_F(ItemRest, RemovedWhileFreshItBurstsIntoThirtyDiscs) {
    const sf::Color overlay = liftColor(item->overlay.getColor(), 0.33f, 150.f);
    const sf::Color body = liftColor(item->sprite.getColor(), 0.33f, 150.f);
    for (Agent* effect : world.effects) delete effect;
    world.effects.clear();
    item->restTime = 0.999f;
    item->onDeath();
    EXPECT_TRUE(item->removeMe);
    EXPECT_EQ(nullptr, item->planet);
    EXPECT_FALSE(item->onPlanet);
    ASSERT_EQ(30u, world.effects.size());
    for (std::size_t i = 0; i < world.effects.size(); ++i) {
        auto* disc = dynamic_cast<BallSplash*>(world.effects[i]);
        ASSERT_NE(nullptr, disc);
        EXPECT_EQ(i < 15 ? overlay : body, disc->disc.getFillColor());
        EXPECT_EQ(i < 15 ? 4.f : 32.f, disc->disc.getRadius());
    }
}

TEST_F(ItemRest, RemovedAfterASecondOfRestItLeavesNoDiscs) {
    for (Agent* effect : world.effects) delete effect;
    world.effects.clear();
    item->restTime = 1.f;
    item->onDeath();
    EXPECT_TRUE(item->removeMe);
    EXPECT_TRUE(world.effects.empty());
}

TEST_F(ItemCarry, AnswersEveryTextTheSameAndNeverYes) {
    carrier->moved = carrier->surfaced = true;
    item->moved = item->surfaced = true;
    for (const sf::String& text :
         {msg::moved, msg::onSurface, msg::orb, msg::earnedIt, msg::pickup, msg::throwIt})
        EXPECT_EQ(msg::itemReply, item->message(carrier, text));

    RecordingPlanet* other = world.addPlanet(40.f, 500.f, 0.f);
    item->message(other, msg::setPlanet);
    EXPECT_EQ(other, item->planet);
    EXPECT_EQ(1, planet->count(msg::lostYou));
    EXPECT_EQ(1, other->count(msg::foundYou));
    item->message(nullptr, msg::setPlanet);
    item->message(nullptr, msg::pickup);
    EXPECT_EQ(other, item->planet) << "a message without a sender adopts nothing";
    EXPECT_FALSE(item->beingCarried);
}

TEST_F(ItemCarry, CarrierJoiningAPlanetTakesItsItemAlong) {
    item->message(carrier, msg::pickup);
    carrier->carrying = true;
    carrier->carried = item;
    RecordingPlanet* other = world.addPlanet(40.f, 500.f, 0.f);
    carrier->setPlanet(other);
    EXPECT_EQ(other, item->planet);
    EXPECT_TRUE(item->onPlanet);
}
}  // namespace
