#include "items/altar.hpp"
#include "items/orb.hpp"
#include "walkers/player.hpp"

#include "agents/messages.hpp"
#include "walkers/walker_world.hpp"
#include "world/errand_pointer.hpp"

#include <gtest/gtest.h>
#include <SFML/Window/Keyboard.hpp>

#include <cmath>
#include <cstdlib>
#include <functional>

namespace {
// One planet as the scene builds its first: the player dropped in at (0, 0), the altar and
// the orb a few pixels from the centre on different sides, all moved out to the surface by
// the walking itself.
class ErrandTest : public ::testing::Test {
protected:
    void SetUp() override {
        srand(2024);
        planet = world.addPlanet(128.f, 0.f, 64.f);
        player = world.add<Player>(world.players, 0.f, 0.f);
        player->input.devices = &test.devices;
        altar = world.add<Altar>(world.items, 0.f, 64.f - 15.f, 0.7f, player);
        orb = world.add<Orb>(world.items, 15.f, 64.f, 0.7f);
        world.step(30);
    }

    // Steps with `key` held until `done` holds; false if it does not within `limit` updates.
    bool holdUntil(sf::Keyboard::Key key, const std::function<bool()>& done, int limit) {
        test.devices.keys.insert(key);
        int updates = 0;
        while (!done() && updates++ < limit) world.step();
        test.devices.keys.erase(key);
        return done();
    }

    void tapUse() {
        test.devices.keys.insert(sf::Keyboard::X);
        world.step();
        test.devices.keys.erase(sf::Keyboard::X);
        world.step();
    }

    TestWorld test;
    WalkerWorld world{test};
    RecordingPlanet* planet = nullptr;
    Player* player = nullptr;
    Altar* altar = nullptr;
    Orb* orb = nullptr;
};

TEST_F(ErrandTest, CarryTheOrbToTheAltarAndAPlanetIsRequested) {
    ASSERT_TRUE(player->surfaced);
    ASSERT_TRUE(altar->surfaced);
    ASSERT_TRUE(orb->surfaced);
    EXPECT_NEAR(141.f, distance(orb->position, planet->position), 1e-3f);

    // Walk right, round to the orb on the planet's right side, and pick it up.
    ASSERT_TRUE(holdUntil(
        sf::Keyboard::D, [&] { return distance(player->position, orb->position) < 20.f; }, 300));
    world.step(20);  // coast to a stop
    ASSERT_LT(distance(player->position, orb->position), 28.f);
    tapUse();
    ASSERT_EQ(orb, player->carried);
    EXPECT_TRUE(orb->ghost);

    // Walk back left to the altar; carried, the orb cannot be taken.
    ASSERT_TRUE(holdUntil(
        sf::Keyboard::A, [&] { return distance(player->position, altar->position) < 30.f; }, 300));
    world.step(20);
    EXPECT_FALSE(altar->activated);
    EXPECT_FALSE(test.resources.cinematic);
    ASSERT_LT(std::fabs(player->position.x - altar->position.x), 20.f);

    // Throw it onto the altar: the ceremony runs on its own from here.
    tapUse();
    EXPECT_FALSE(player->carrying);
    EXPECT_TRUE(altar->activated);
    EXPECT_TRUE(test.resources.cinematic);
    tapUse();  // the orb is the altar's now: it cannot be picked up again
    EXPECT_FALSE(player->carrying);

    int updates = 0;
    while (!player->planetRequested && updates < 200) {
        world.step();
        ++updates;
    }
    ASSERT_TRUE(player->planetRequested);
    EXPECT_NEAR(2.f / frame().asSeconds(), updates, 5.f);
    EXPECT_FALSE(world.contains(world.items, orb));
    EXPECT_FALSE(world.contains(world.items, altar));
    EXPECT_TRUE(world.items.empty());
    EXPECT_FALSE(test.resources.cinematic);
    EXPECT_TRUE(world.contains(world.players, player));

    player->planetRequested = false;  // the scene handles the request
    world.step(60);
    EXPECT_FALSE(player->planetRequested) << "the reward comes once";
}
TEST_F(ErrandTest, ThePointerLeadsToTheOrbThenToTheAltarOnlyWhileTheyAreOffScreen) {
    ErrandPointer pointer;
    sf::View& view = test.resources.view;  // on the 480 x 320 screen
    view.setSize(480.f, 320.f);
    const auto aimFrom = [&](sf::Vector2f centre) {
        view.setCenter(centre);
        pointer.aim(world.items, *player, test.resources);
    };
    constexpr float degrees = 57.29578f;

    aimFrom(orb->position);
    EXPECT_EQ(orb, pointer.target);
    EXPECT_FALSE(pointer.shown);
    aimFrom(orb->position - sf::Vector2f(1000.f, 100.f));  // far right, a little lower
    ASSERT_TRUE(pointer.shown);
    EXPECT_NEAR(466.f, pointer.arrow.getPosition().x, 0.01f);
    EXPECT_NEAR(160.f + 100.f * 226.f / 1000.f, pointer.arrow.getPosition().y, 0.01f);
    EXPECT_NEAR(std::atan2(100.f, 1000.f) * degrees, pointer.arrow.getRotation(), 0.01f);
    EXPECT_EQ(orb->sprite.getColor().r, pointer.arrow.getFillColor().r);
    EXPECT_EQ(orb->overlay.getColor().g, pointer.arrow.getOutlineColor().g);

    ASSERT_TRUE(holdUntil(
        sf::Keyboard::D, [&] { return distance(player->position, orb->position) < 20.f; }, 300));
    world.step(20);
    tapUse();
    ASSERT_EQ(orb, player->carried);
    aimFrom(altar->position - sf::Vector2f(0.f, 500.f));  // straight below
    EXPECT_EQ(altar, pointer.target);
    ASSERT_TRUE(pointer.shown);
    EXPECT_NEAR(240.f, pointer.arrow.getPosition().x, 0.01f);
    EXPECT_NEAR(306.f, pointer.arrow.getPosition().y, 0.01f);
    EXPECT_NEAR(90.f, pointer.arrow.getRotation(), 0.01f);
    aimFrom(altar->position);
    EXPECT_FALSE(pointer.shown);
}

TEST(PlacePointer, ScalesAZoomedViewToTheScreenAndCountsTheEdgeAsOnScreen) {
    const sf::View zoomedOut({0.f, 0.f}, {960.f, 640.f});
    const sf::Vector2f screen(480.f, 320.f);
    EXPECT_FALSE(placePointer(zoomedOut, screen, {480.f, -320.f}));
    const std::optional<PointerPlace> place = placePointer(zoomedOut, screen, {600.f, 400.f});
    ASSERT_TRUE(place);
    // (300, 200) px from the screen's centre, brought in to 14 px inside its lower edge.
    EXPECT_NEAR(240.f + 300.f * 146.f / 200.f, place->position.x, 0.01f);
    EXPECT_NEAR(306.f, place->position.y, 0.01f);
    EXPECT_NEAR(std::atan2(200.f, 300.f) * 57.29578f, place->rotation, 0.01f);
}

}  // namespace
