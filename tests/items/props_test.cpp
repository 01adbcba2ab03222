#include "items/props.hpp"

#include "agents/messages.hpp"
#include "walkers/walker_world.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>

namespace {
struct PropCase {
    PropKind kind;
    sf::IntRect firstCell;
    bool overlayBehind;
};

class PropTest : public ::testing::Test {
protected:
    Prop* addProp(PropKind kind, float x, float y) {
        auto* prop = new Prop(&test.resources, &world.effects, &world.players, &world.planets,
                              &world.items, &test.soundBank, &world.camera, x, y, 0.6f, kind);
        world.effects.push_back(prop);
        return prop;
    }

    TestWorld test;
    WalkerWorld world{test};
};

using PropLook = PropTest;
using PropIdle = PropTest;

TEST_F(PropLook, EachKindShowsItsCellsWithTheOverlayCellBelowAndFacesAsItsSeedSays) {
    const PropCase cases[] = {
        {PropKind::Shroom, {0, 160, 32, 32}, true},
        {PropKind::SmallShroom, {128, 160, 16, 16}, false},
        {PropKind::Pinetree, {128, 192, 32, 64}, true},
        {PropKind::Rock, {256, 160, 32, 32}, false},
        {PropKind::SmallRock, {192, 160, 16, 16}, false},
    };
    std::set<float> facings;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        for (const PropCase& c : cases) {
            srand(seed);
            const float facing = addProp(c.kind, 0.f, 0.f)->facing;
            srand(seed);
            Prop* prop = addProp(c.kind, 0.f, 0.f);
            EXPECT_EQ(facing, prop->facing);
            facings.insert(facing);
            EXPECT_EQ(c.firstCell, prop->sprite.getTextureRect());
            sf::IntRect below = c.firstCell;
            below.top += below.height;
            EXPECT_EQ(below, prop->overlay.getTextureRect());
            EXPECT_EQ(c.overlayBehind, prop->overlayBehind);
            EXPECT_EQ(agent_name::item, prop->name);
            EXPECT_EQ(3, prop->layer);
        }
    }
    EXPECT_EQ((std::set<float>{-1.f, 1.f}), facings);
}

TEST_F(PropLook, TheFiveNamedKindsAreBuiltAsTheSceneBuildsThem) {
    Agent* shroom = world.add<Shroom>(world.effects, 0.f, 0.f, 0.2f);
    Agent* pinetree = world.add<Pinetree>(world.effects, 0.f, 0.f, 0.2f);
    Agent* smallRock = world.add<SmallRock>(world.effects, 0.f, 0.f, 0.2f);
    EXPECT_EQ(PropKind::Shroom, static_cast<Prop*>(shroom)->kind);
    EXPECT_EQ(sf::IntRect(128, 192, 32, 64), pinetree->sprite.getTextureRect());
    EXPECT_EQ(sf::IntRect(192, 160, 16, 16), smallRock->sprite.getTextureRect());
    EXPECT_EQ(PropKind::SmallShroom, world.add<SmallShroom>(world.effects, 0.f, 0.f, 0.2f)->kind);
    EXPECT_EQ(PropKind::Rock, world.add<Rock>(world.effects, 0.f, 0.f, 0.2f)->kind);
}

TEST_F(PropIdle, NeverLeavesItsIdleCellsOnTheGroundOrInFlightAndKeepsItsFacing) {
    world.addPlanet(80.f, 0.f, 0.f);
    Prop* prop = addProp(PropKind::Rock, 20.f, 5.f);
    const auto inIdleCells = [&] {
        const sf::IntRect cell = prop->sprite.getTextureRect();
        return cell.top == 160 && cell.left >= 256 && cell.left <= 352 && cell.width == 32;
    };
    for (int i = 0; i < 90; ++i) {
        world.step();
        ASSERT_TRUE(inIdleCells()) << "update " << i;
    }
    EXPECT_TRUE(prop->surfaced);
    EXPECT_NEAR(prop->facing, prop->sprite.getScale().x, 1e-3f);

    prop->surfaced = false;  // thrown up: the walker would ask for "spacing"
    prop->velocity = -prop->acceleration * 0.5f;
    for (int i = 0; i < 30; ++i) {
        world.step();
        ASSERT_TRUE(inIdleCells()) << "in flight, update " << i;
    }
    EXPECT_EQ(walker_animation::idle, prop->animator.currentAnimation()->name);
    EXPECT_NEAR(prop->facing, prop->sprite.getScale().x, 1e-3f);
}
}  // namespace
