#include "walkers/player.hpp"

#include "agents/messages.hpp"
#include "items/itembase.hpp"
#include "items/props.hpp"
#include "walkers/walker_world.hpp"

#include <gtest/gtest.h>
#include <SFML/Window/Keyboard.hpp>

#include <cmath>
#include <cstdlib>

namespace {
using Key = sf::Keyboard::Key;

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        srand(17);
        planet = world.addPlanet(100.f, 0.f, 0.f);
    }

    // A player whose start-up delay is over, standing on top of the planet (or drifting).
    Player* addPlayer(float x = 0.f, float y = -20.f) {
        Player* player = world.add<Player>(world.players, x, y);
        player->input.devices = &test.devices;
        world.step(3);
        return player;
    }

    void hold(Key key) { test.devices.keys.insert(key); }
    void release(Key key) { test.devices.keys.erase(key); }
    // Holds the key for one update, then lets go of it for the next.
    void tap(Key key) {
        hold(key);
        world.step();
        release(key);
    }

    // Updates the player alone, so the effects it creates stay in their list.
    void updateAlone(Player* player, int times) {
        for (int i = 0; i < times; ++i) player->update(frame());
    }

    int count(const sf::String& name) { return world.countNamed(world.effects, name); }
    void clearEffects() {
        for (Agent* effect : world.effects) delete effect;
        world.effects.clear();
    }

    TestWorld test;
    WalkerWorld world{test};
    RecordingPlanet* planet = nullptr;
};

using PlayerInput = PlayerTest;
using PlayerWalk = PlayerTest;
using PlayerSpace = PlayerTest;
using PlayerHands = PlayerTest;
using PlayerCamera = PlayerTest;

TEST_F(PlayerInput, TheFirstTwoUpdatesReadNoInput) {
    hold(Key::D);
    Player* player = world.add<Player>(world.players, 0.f, -20.f);
    player->input.devices = &test.devices;
    world.step();
    EXPECT_FALSE(player->moved);
    world.step();
    EXPECT_FALSE(player->moved);
    world.step();
    EXPECT_TRUE(player->moved);
    EXPECT_EQ(agent_name::player, player->name);
    EXPECT_EQ(5, player->layer);
}

TEST_F(PlayerInput, JoystickButtonsJumpPushOffAndUse) {
    Player* player = addPlayer();
    ASSERT_TRUE(player->surfaced);
    test.devices.buttons.insert(0);
    world.step();
    test.devices.buttons.clear();
    EXPECT_FALSE(player->surfaced) << "button 0 jumps";
    for (int i = 0; i < 90 && !player->surfaced; ++i) world.step();
    ASSERT_TRUE(player->surfaced);

    test.devices.buttons.insert(1);
    world.step();
    test.devices.buttons.clear();
    EXPECT_FALSE(player->onPlanet) << "button 1 pushes off";

    Itembase* item = world.add<Itembase>(world.items, 0.f, -300.f, 0.2f);
    item->position = player->position;
    test.devices.buttons.insert(2);
    world.step();
    EXPECT_EQ(item, player->carried) << "button 2 picks up";
}

TEST_F(PlayerWalk, HoldingBothWaysWalksRightAlongTheSurfaceWithDust) {
    Player* player = addPlayer();
    clearEffects();
    hold(Key::A);
    hold(Key::D);
    updateAlone(player, 60);
    EXPECT_TRUE(player->moved);
    EXPECT_GT(player->position.x, 60.f) << "walked clockwise, to the right";
    EXPECT_NEAR(113.f, distance(player->position, planet->position), 1e-3f);
    const sf::Vector2f v = player->velocity;
    const sf::Vector2f along = player->walkDirection(1);
    EXPECT_GT(v.x * along.x + v.y * along.y, 140.f);
    EXPECT_LT(std::sqrt(v.x * v.x + v.y * v.y), 300.f);
    // One puff per 0.1 s of steering on the ground: the seventh update of each 0.112 s.
    EXPECT_EQ(60 / 7, count(agent_name::splash));
    EXPECT_EQ(player->planet, planet);
    EXPECT_GE(planet->count(msg::steppinOnU), 3);

    release(Key::A);
    release(Key::D);
    const int puffs = count(agent_name::splash);
    updateAlone(player, 60);
    EXPECT_EQ(puffs, count(agent_name::splash)) << "no dust while standing still";
    const sf::Vector2f still = player->velocity;
    const sf::Vector2f tangent = player->walkDirection(1);
    EXPECT_NEAR(0.f, still.x * tangent.x + still.y * tangent.y, 0.5f);
}

TEST_F(PlayerWalk, JumpsOffTheSurfaceOnceAndLandsFurtherAlongWhenSteering) {
    Player* player = addPlayer();
    clearEffects();
    const sf::Vector2f start = player->position;
    tap(Key::W);
    EXPECT_FALSE(player->surfaced);
    EXPECT_TRUE(player->onPlanet);
    EXPECT_LT(player->velocity.y, -250.f);
    ASSERT_EQ(1, count(agent_name::splash));
    EXPECT_EQ(planet->sprite.getColor(), world.effects[0]->sprite.getColor());

    world.step(5);
    const sf::Vector2f airborne = player->velocity;
    tap(Key::W);  // no second jump in the air
    EXPECT_GT(player->velocity.y, airborne.y);

    int updates = 0;
    while (!player->surfaced && updates < 120) {
        world.step();
        ++updates;
    }
    ASSERT_TRUE(player->surfaced);
    EXPECT_GT(updates, 30);
    EXPECT_NEAR(start.x, player->position.x, 0.5f);
    EXPECT_EQ(2, planet->count(msg::surfaced));

    const sf::Vector2f tangent = player->walkDirection(1);
    const sf::Vector2f up = normalize(-player->acceleration);
    hold(Key::D);
    tap(Key::W);
    release(Key::D);
    const sf::Vector2f v = player->velocity;
    EXPECT_GT(v.x * tangent.x + v.y * tangent.y, 250.f) << "the jump carries the sideways push";
    EXPECT_GT(v.x * up.x + v.y * up.y, 250.f);
}

TEST_F(PlayerSpace, PushesOffDriftsInItsBubbleAndIsDrawnBack) {
    Player* player = addPlayer();
    tap(Key::Space);
    EXPECT_FALSE(player->onPlanet);
    EXPECT_EQ(1, planet->count(msg::lostYou));
    EXPECT_LT(player->velocity.y, -200.f);  // 35 % of the planet's pull, turned around
    world.step(60);
    EXPECT_GT(distance(player->position, planet->position), 200.f);
    EXPECT_GT(player->bubble.bubbleScale, 0.9f);

    int updates = 0;
    while (!player->surfaced && updates < 600) {
        world.step();
        ++updates;
    }
    ASSERT_TRUE(player->surfaced) << "homed back after 3 s adrift";
    EXPECT_GT(updates, 120);
    EXPECT_EQ(2, planet->count(msg::foundYou));
}

TEST_F(PlayerSpace, SwimsEightWaysWithKeysAndStick) {
    struct Swim {
        std::vector<Key> keys;
        float stickX;
        sf::Vector2f direction;
    };
    const float diagonal = 1.f / std::sqrt(2.f);
    const Swim swims[] = {
        {{Key::W}, 0.f, {0.f, -1.f}},
        {{Key::Up, Key::Right}, 0.f, {diagonal, -diagonal}},
        {{Key::S, Key::A}, 0.f, {-diagonal, diagonal}},
        {{Key::Down}, 20.f, {0.f, 1.f}},  // a stick inside its dead zone adds nothing
        {{}, 90.f, {1.f, 0.f}},
        {{Key::A}, 100.f, {0.f, 0.f}},  // the stick cancels the key
    };
    for (const Swim& swim : swims) {
        Player* player = addPlayer(0.f, -3000.f);
        player->maxSpaceTime = 1000.f;
        for (Key key : swim.keys) hold(key);
        test.devices.axes[sf::Joystick::X] = swim.stickX;
        world.step(400);
        EXPECT_NEAR(150.f * swim.direction.x, player->velocity.x, 0.1f);
        EXPECT_NEAR(150.f * swim.direction.y, player->velocity.y, 0.1f);
        EXPECT_EQ(swim.direction != sf::Vector2f(), player->moved);
        test.devices.keys.clear();
        test.devices.axes.clear();
        player->dead = true;
        world.step();
    }
}

TEST_F(PlayerSpace, SpaceInOpenSpaceHomesAtOnce) {
    Player* player = addPlayer(0.f, -1000.f);
    ASSERT_FALSE(player->onPlanet);
    tap(Key::Space);
    EXPECT_EQ(0, player->homePlanet);
    EXPECT_GT(player->velocity.y, 50.f);
}

TEST_F(PlayerHands, PicksTheFirstItemInReachInListOrderNeverAltarsOrProps) {
    Player* player = addPlayer();
    const sf::Vector2f at = player->position;
    Itembase* altar = world.add<Itembase>(world.items, at.x, at.y, 0.1f);
    altar->name = agent_name::altar;
    Itembase* far = world.add<Itembase>(world.items, at.x + 60.f, at.y, 0.1f);
    Itembase* first = world.add<Itembase>(world.items, at.x + 20.f, at.y, 0.1f);
    Itembase* nearer = world.add<Itembase>(world.items, at.x + 1.f, at.y, 0.1f);
    Agent* shroom = world.add<Shroom>(world.effects, at.x, at.y, 0.1f);
    // The 28 x 28 hitbox every walker has after its first update: a reach of 28 px.
    for (Itembase* item : {altar, far, first, nearer}) item->hitboxSize = {28.f, 28.f};
    first->position.x = at.x + 27.f;

    player->update(frame());
    hold(Key::X);
    player->update(frame());
    release(Key::X);
    EXPECT_EQ(first, player->carried);
    EXPECT_TRUE(player->carrying);
    EXPECT_TRUE(first->beingCarried);
    EXPECT_FALSE(nearer->beingCarried);
    EXPECT_FALSE(altar->beingCarried);
    EXPECT_FALSE(static_cast<Itembase*>(shroom)->beingCarried);

    player->update(frame());
    hold(Key::X);
    player->update(frame());
    release(Key::X);
    EXPECT_FALSE(player->carrying) << "the same press throws and does not pick up again";
    EXPECT_FALSE(first->beingCarried);
    EXPECT_FALSE(nearer->beingCarried);
}

TEST_F(PlayerHands, ThrowsByTheThreeRules) {
    Player* player = addPlayer();
    Itembase* item = world.add<Itembase>(world.items, 0.f, 0.f, 0.1f);
    const auto pickUpAndThrow = [&](auto beforeThrow) {
        item->position = player->position;
        player->update(frame());
        hold(Key::X);
        player->update(frame());
        release(Key::X);
        EXPECT_EQ(item, player->carried);
        player->update(frame());
        beforeThrow();
        const sf::Vector2f pull = player->acceleration;
        hold(Key::X);
        player->update(frame());
        release(Key::X);
        return pull;
    };

    // Standing still, facing right.
    player->sprite.setScale(1.f, 1.f);
    sf::Vector2f pull = pickUpAndThrow([] {});
    sf::Vector2f down = normalize(pull);
    EXPECT_VEC_NEAR(100.f * sf::Vector2f(down.y, -down.x) - 75.f * down, item->velocity);
    EXPECT_FALSE(player->carrying);
    EXPECT_EQ(nullptr, player->carried);
    EXPECT_FALSE(item->ghost);

    // Standing still while still popping in (x-scale below 1/1.1): only the push away.
    player->sprite.setScale(0.9f, 0.9f);
    pull = pickUpAndThrow([] {});
    EXPECT_VEC_NEAR(-75.f * normalize(pull), item->velocity);

    // In the air, not steering.
    pull = pickUpAndThrow([&] { player->surfaced = false; });
    EXPECT_VEC_NEAR(-350.f * normalize(pull), item->velocity);

    // Swimming in open space: 1.25 of the player's own velocity (there is no pull).
    player->leavePlanet();
    player->position = {0.f, -2000.f};
    hold(Key::D);
    pickUpAndThrow([] {});
    release(Key::D);
    EXPECT_VEC_NEAR(1.25f * player->velocity, item->velocity);
}

TEST_F(PlayerHands, ResetLetsGoWithoutThrowingAndLeavesThePlanet) {
    Player* player = addPlayer();
    Itembase* item = world.add<Itembase>(world.items, 0.f, 0.f, 0.1f);
    item->position = player->position;
    tap(Key::X);
    ASSERT_TRUE(player->carrying);
    player->message(nullptr, msg::earnedIt);

    player->reset();
    EXPECT_FALSE(player->carrying);
    EXPECT_EQ(nullptr, player->carried);
    EXPECT_TRUE(item->beingCarried) << "no throw message";
    EXPECT_FALSE(player->onPlanet);
    EXPECT_EQ(1, planet->count(msg::lostYou));
    EXPECT_LT(player->velocity.y, -200.f);
    EXPECT_FALSE(player->planetRequested);
}

TEST_F(PlayerHands, EarningAPlanetRaisesTheRequestAndShowsTheDebugLine) {
    Player* player = addPlayer();
    EXPECT_EQ(msg::playerReply, player->message(nullptr, msg::earnedIt));
    EXPECT_EQ(msg::playerReply, player->message(nullptr, msg::earnedIt));
    EXPECT_TRUE(player->planetRequested);
    EXPECT_EQ(msg::walkerReply, player->message(player, msg::paused));
    player->moved = false;
    EXPECT_EQ(msg::walkerReply, player->message(nullptr, msg::moved));

    const auto linePixels = [&] {
        sf::RenderTexture* layer = test.resources.layers[5];
        test.resources.view.setCenter(player->position);
        layer->setView(test.resources.view);
        layer->clear(sf::Color::Transparent);
        player->draw();
        layer->display();
        const sf::Image image = layer->getTexture().copyToImage();
        int lit = 0;
        const sf::Vector2u size = image.getSize();
        // Below the figure, where the line hangs 64 px under the player.
        for (unsigned y = size.y / 2 + 40; y < size.y; ++y)
            for (unsigned x = size.x / 2 - 16; x < size.x; ++x)
                lit += image.getPixel(x, y).a > 0 ? 1 : 0;
        return lit;
    };
    EXPECT_GT(linePixels(), 20);
    player->planetRequested = false;
    EXPECT_EQ(0, linePixels());
}

TEST_F(PlayerCamera, FollowsWithLookAheadAndStandsStillInACinematic) {
    Player* player = addPlayer(20.f, 0.f);  // stands on the right side of the planet
    world.camera.position = {0.f, 0.f};
    world.step(600);
    EXPECT_GT(world.camera.position.x, player->position.x + 30.f);
    EXPECT_LT(std::fabs(world.camera.position.y - player->position.y), 30.f);

    test.resources.cinematic = true;
    const sf::Vector2f held = world.camera.position;
    const float clock = player->cameraClock;
    world.step(60);
    EXPECT_EQ(held, world.camera.position);
    EXPECT_EQ(clock, player->cameraClock);
    test.resources.cinematic = false;
    world.step();
    EXPECT_GT(player->cameraClock, clock);
}
}  // namespace
