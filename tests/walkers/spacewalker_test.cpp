#include "walkers/spacewalker.hpp"

#include "agents/messages.hpp"
#include "core/colors.hpp"
#include "walkers/walker_world.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {
constexpr float walkerRadius = 14.f;

class SpacewalkerTest : public ::testing::Test {
protected:
    Spacewalker* addWalker(float x, float y) { return world.add<Spacewalker>(world.players, x, y); }

    // Gives a bare walker the three animations the game's walkers have.
    static void giveAnimations(Spacewalker* walker) {
        walker->animator.configure(32, 32, sf::seconds(0.07f));
        walker->animator.addStrip(walker_animation::idle, 0, 1, 4);
        walker->animator.addStrip(walker_animation::running, 4, 1, 6);
        walker->animator.addStrip(walker_animation::spacing, 10, 1, 6);
        walker->animator.start(walker->sprite);
    }

    static const sf::String& playing(Spacewalker* walker) {
        return walker->animator.currentAnimation()->name;
    }

    bool layerHasPixels(int layer) {
        sf::RenderTexture* texture = test.resources.layers[static_cast<std::size_t>(layer)];
        texture->display();
        const sf::Image image = texture->getTexture().copyToImage();
        for (unsigned y = 0; y < image.getSize().y; ++y)
            for (unsigned x = 0; x < image.getSize().x; ++x)
                if (image.getPixel(x, y).a > 0) return true;
        return false;
    }

    void clearLayersAround(sf::Vector2f centre) {
        test.resources.view.setCenter(centre);
        for (sf::RenderTexture* texture : test.resources.layers) {
            texture->setView(test.resources.view);
            texture->clear(sf::Color::Transparent);
        }
    }

    TestWorld test;
    WalkerWorld world{test};
};

using SpacewalkerLanding = SpacewalkerTest;
using SpacewalkerStanding = SpacewalkerTest;
using SpacewalkerSpace = SpacewalkerTest;
using SpacewalkerLook = SpacewalkerTest;

TEST_F(SpacewalkerLanding, DroppedAbovePlanetFallsLandsOnceAndStandsUpright) {
    RecordingPlanet* planet = world.addPlanet(50.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(0.f, -200.f);
    walker->setPlanet(planet);

    int updates = 0;
    while (!walker->surfaced && updates < 60) {
        world.step();
        ++updates;
    }
    ASSERT_TRUE(walker->surfaced) << "still falling after 60 updates";
    EXPECT_GT(updates, 20);  // 136 px under 750 px/s² take about 0.6 s
    EXPECT_EQ(1, world.countNamed(world.effects, agent_name::splash));
    EXPECT_EQ((std::vector<sf::String>{msg::foundYou, msg::surfaced}), planet->said());

    world.step(120);
    EXPECT_NEAR(50.f + walkerRadius - 1.f, distance(walker->position, planet->position), 1e-3f);
    EXPECT_NEAR(0.f, walker->sprite.getRotation(), 0.01f);
    EXPECT_NEAR(0.f, walker->position.x, 1e-3f);
    EXPECT_EQ(1, planet->count(msg::surfaced));
    EXPECT_TRUE(world.effects.empty()) << "the landing splash plays out and no other appears";
    EXPECT_EQ(0.f, walker->spaceTime);
}

TEST_F(SpacewalkerLanding, FirstContactSaysFoundYouThenSurfacedWithOneSplashInOneFrame) {
    RecordingPlanet* planet = world.addPlanet(64.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(0.f, -15.f);  // placed inside, as the world places items

    world.step();
    EXPECT_EQ((std::vector<sf::String>{msg::foundYou, msg::surfaced}), planet->said());
    EXPECT_TRUE(walker->onPlanet);
    EXPECT_EQ(planet, walker->planet);
    EXPECT_TRUE(walker->surfaced);
    EXPECT_TRUE(planet->occupied);
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, -77.f), walker->position);
    ASSERT_EQ(1u, world.effects.size());
    EXPECT_EQ(planet->sprite.getColor(), world.effects[0]->sprite.getColor());
    EXPECT_VEC_NEAR(walker->position, world.effects[0]->position);
}

TEST_F(SpacewalkerLanding, LandingOnTheSideTurnsTheWalkerAndTheSplashToTheSurface) {
    RecordingPlanet* planet = world.addPlanet(64.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(10.f, 0.f);  // right of the centre

    world.step();
    ASSERT_EQ(1u, world.effects.size());
    EXPECT_NEAR(90.f, world.effects[0]->sprite.getRotation(), 0.01f);
    world.step(60);
    EXPECT_VEC_NEAR(sf::Vector2f(77.f, 0.f), walker->position);
    EXPECT_NEAR(90.f, walker->sprite.getRotation(), 0.01f);  // head away from the centre
    EXPECT_EQ(1, planet->count(msg::surfaced));
}

TEST_F(SpacewalkerLanding, ContactNeedsToBeStrictlyInsideTheContactDistance) {
    // 39-52-65: the distance to the centre is exactly 14 + 51 in single precision.
    RecordingPlanet* planet = world.addPlanet(51.f, 0.f, 0.f);
    Spacewalker* atEdge = addWalker(39.f, 52.f);
    const float justInside = 64.999f / 65.f;
    Spacewalker* inside = addWalker(39.f * justInside, 52.f * justInside);

    world.step();
    EXPECT_FALSE(atEdge->onPlanet);
    EXPECT_VEC_NEAR(sf::Vector2f(39.f, 52.f), atEdge->position);
    EXPECT_TRUE(inside->onPlanet);
    EXPECT_TRUE(inside->surfaced);
    EXPECT_NEAR(64.f, distance(inside->position, planet->position), 1e-4f);
}

TEST_F(SpacewalkerLanding, GravityPullsAt750TowardTheCentreWithoutLanding) {
    RecordingPlanet* planet = world.addPlanet(40.f, 100.f, 100.f);
    Spacewalker* walker = addWalker(100.f + 300.f, 100.f + 400.f);
    walker->setPlanet(planet);

    walker->update(frame());
    EXPECT_VEC_NEAR(sf::Vector2f(-450.f, -600.f), walker->acceleration);
    EXPECT_EQ(1.f, walker->accelerationScale);
    walker->update(frame());
    EXPECT_VEC_NEAR(sf::Vector2f(-450.f, -600.f) * frame().asSeconds(), walker->velocity);
    EXPECT_FALSE(walker->surfaced);
}

TEST_F(SpacewalkerLanding, GhostWalkerNeitherFallsNorTouchesPlanets) {
    RecordingPlanet* planet = world.addPlanet(50.f, 0.f, 0.f);
    Spacewalker* onIt = addWalker(0.f, -100.f);
    onIt->setPlanet(planet);
    onIt->ghost = true;
    Spacewalker* insideIt = addWalker(0.f, 10.f);
    insideIt->ghost = true;

    world.step(30);
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), onIt->velocity);
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, -100.f), onIt->position);
    EXPECT_FALSE(insideIt->onPlanet);
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 10.f), insideIt->position);
    EXPECT_EQ(0, planet->count(msg::surfaced));
    EXPECT_TRUE(world.effects.empty());
}

TEST_F(SpacewalkerStanding, StandingOnOnePlanetPushesAnotherItTouchesAway) {
    RecordingPlanet* a = world.addPlanet(50.f, 0.f, 0.f);
    RecordingPlanet* b = world.addPlanet(30.f, 0.f, -100.f);
    Spacewalker* walker = addWalker(0.f, -60.f);
    walker->setPlanet(a);
    walker->surfaced = true;

    walker->update(frame());
    EXPECT_EQ(a, walker->planet);
    EXPECT_EQ(0, b->count(msg::foundYou));
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, -9.f), b->velocity);  // 3 % of 300 px/s, away from a
    walker->update(frame());
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, -9.f * 0.97f - 9.f), b->velocity);
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), a->velocity);
    EXPECT_EQ(a, walker->planet);
}

TEST_F(SpacewalkerStanding, DriftingIntoTwoPlanetsJoinsTheFirstListedAndPushesTheOther) {
    RecordingPlanet* b = world.addPlanet(30.f, 0.f, -100.f);
    RecordingPlanet* a = world.addPlanet(50.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(0.f, -60.f);

    walker->update(frame());
    EXPECT_EQ(b, walker->planet);
    EXPECT_EQ(0, a->count(msg::foundYou));
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 9.f), a->velocity);
    EXPECT_EQ(1, b->count(msg::surfaced));
    EXPECT_EQ(1u, world.effects.size());
}

TEST_F(SpacewalkerStanding, StepsAreSentEveryQuarterSecondOfWalkingAndRestartWhenStopping) {
    RecordingPlanet* planet = world.addPlanet(50.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(0.f, -20.f);
    world.step();
    ASSERT_TRUE(walker->surfaced);

    walker->moved = true;
    world.step(15);  // 0.24 s
    EXPECT_EQ(0, planet->count(msg::steppinOnU));
    walker->moved = false;
    world.step();
    walker->moved = true;
    world.step(15);
    EXPECT_EQ(0, planet->count(msg::steppinOnU)) << "a stop restarts the step clock";
    world.step();  // 0.256 s
    EXPECT_EQ(1, planet->count(msg::steppinOnU));
    world.step(16 * 9);
    EXPECT_EQ(10, planet->count(msg::steppinOnU));

    walker->surfaced = false;  // thrown up by a jump: no steps in the air
    walker->velocity = {0.f, -400.f};
    world.step(10);
    EXPECT_EQ(10, planet->count(msg::steppinOnU));
}

TEST_F(SpacewalkerStanding, GroundFrictionStopsASlidingWalkerOnTheSurface) {
    RecordingPlanet* planet = world.addPlanet(60.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(0.f, -30.f);
    world.step();
    walker->velocity = {300.f, 0.f};

    world.step(60);
    EXPECT_GT(walker->position.x, 0.f);
    const sf::Vector2f settled = walker->position;
    world.step(60);
    EXPECT_LT(distance(settled, walker->position), 0.01f);
    EXPECT_NEAR(73.f, distance(walker->position, planet->position), 1e-3f);
    EXPECT_TRUE(walker->surfaced);
}

TEST_F(SpacewalkerStanding, PlanetDriftCarriesItsWalkersAlongTheSurface) {
    RecordingPlanet* planet = world.addPlanet(100.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(0.f, -50.f);
    walker->update(frame());
    planet->velocity = {100.f, 0.f};

    for (int i = 0; i < 10; ++i) walker->update(frame());
    EXPECT_NEAR(16.f, walker->position.x, 0.5f);
    EXPECT_NEAR(113.f, distance(walker->position, planet->position), 1e-3f);
}

TEST_F(SpacewalkerStanding, LeavesADyingPlanetAndIgnoresItAfterwards) {
    RecordingPlanet* planet = world.addPlanet(50.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(0.f, -20.f);
    world.step();
    ASSERT_TRUE(walker->surfaced);

    planet->message(nullptr, msg::die);
    walker->update(frame());
    EXPECT_FALSE(walker->onPlanet);
    EXPECT_EQ(nullptr, walker->planet);
    EXPECT_FALSE(walker->surfaced);
    EXPECT_EQ(1, planet->count(msg::lostYou));
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), walker->acceleration);
    walker->update(frame());
    EXPECT_FALSE(walker->onPlanet) << "a dying planet is not joined again";
    EXPECT_EQ(1, planet->count(msg::foundYou));
}

TEST_F(SpacewalkerSpace, BubbleBlinksAfterTwoSecondsAndHomingStartsStrictlyAfterThree) {
    RecordingPlanet* planet = world.addPlanet(50.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(0.f, -400.f);
    const sf::Time quarter = sf::milliseconds(250);

    world.step(8, quarter);  // 2.0 s
    EXPECT_FALSE(walker->bubble.bursting);
    EXPECT_GT(walker->bubble.bubbleScale, 0.8f);
    world.step(1, quarter);
    EXPECT_TRUE(walker->bubble.bursting);
    world.step(3, quarter);  // 3.0 s
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), walker->velocity);
    EXPECT_EQ(-1, walker->homePlanet);
    world.step(1, quarter);
    EXPECT_EQ(0, walker->homePlanet);
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 60.f), walker->velocity);

    int updates = 0;
    while (!walker->surfaced && updates < 120) {
        world.step();
        ++updates;
    }
    ASSERT_TRUE(walker->surfaced);
    EXPECT_EQ((std::vector<sf::String>{msg::foundYou, msg::surfaced}), planet->said());
    EXPECT_EQ(0.f, walker->bubble.bubbleScale);
    EXPECT_FALSE(walker->bubble.bursting);
    EXPECT_EQ(0.f, walker->spaceTime);
    world.step(60);
    EXPECT_NEAR(63.f, distance(walker->position, planet->position), 1e-3f);
}

TEST_F(SpacewalkerSpace, HomingConvergesTo300TowardTheNearestPlanet) {
    world.addPlanet(50.f, -1000.f, 0.f);
    world.addPlanet(50.f, 0.f, 900.f);
    Spacewalker* walker = addWalker(0.f, 0.f);
    walker->spaceTime = 3.f;

    world.step(80);
    EXPECT_EQ(1, walker->homePlanet);
    EXPECT_NEAR(0.f, walker->velocity.x, 1e-3f);
    EXPECT_NEAR(300.f, walker->velocity.y, 1e-2f);
}

TEST_F(SpacewalkerSpace, EquallyNearPlanetsHomeOnTheFirstAndNoPlanetMeansNoHoming) {
    world.addPlanet(50.f, -500.f, 0.f);
    world.addPlanet(50.f, 500.f, 0.f);
    Spacewalker* walker = addWalker(0.f, 0.f);
    walker->spaceTime = 3.f;
    walker->update(frame());
    EXPECT_EQ(0, walker->homePlanet);
    EXPECT_LT(walker->velocity.x, 0.f);

    AgentList none;
    Spacewalker lonely(&test.resources, &world.effects, &world.players, &none, &world.items,
                       &test.soundBank, &world.camera, 0.f, 0.f);
    lonely.spaceTime = 3.f;
    for (int i = 0; i < 10; ++i) lonely.update(frame());
    EXPECT_EQ(-1, lonely.homePlanet);
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), lonely.velocity);
}

TEST_F(SpacewalkerSpace, InSpaceTheFeetSlowlyTurnAlongTheFlight) {
    Spacewalker* walker = addWalker(0.f, 0.f);
    walker->velocity = {100.f, 0.f};
    walker->update(frame());
    EXPECT_VEC_NEAR(sf::Vector2f(0.01f, 0.f), walker->gravityDir);
    EXPECT_EQ(0.f, walker->accelerationScale);
    world.step(600);
    EXPECT_NEAR(1.f, walker->gravityDir.x, 0.01f);
    EXPECT_NEAR(270.f, walker->sprite.getRotation(), 1.f);
}

TEST_F(SpacewalkerSpace, BubbleIsDrawnOnlyWhileDriftingWithSpaceTimeLeft) {
    world.addPlanet(50.f, 0.f, 2000.f);
    Spacewalker* walker = addWalker(300.f, 300.f);
    world.step(60);
    clearLayersAround(walker->position);
    walker->draw();
    EXPECT_TRUE(layerHasPixels(walker->bubble.layer));

    walker->spaceTime = 3.5f;
    world.step();
    clearLayersAround(walker->position);
    walker->draw();
    EXPECT_FALSE(layerHasPixels(walker->bubble.layer));
}

TEST_F(SpacewalkerLook, AnimationFollowsGroundAndMovementAndFacingMirrorsUpsideDown) {
    world.addPlanet(50.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(0.f, 20.f);  // below the centre: it stands upside down
    giveAnimations(walker);
    walker->animate({0.f, 0.f}, frame(), true);
    EXPECT_EQ(walker_animation::spacing, playing(walker));

    world.step(2);
    ASSERT_TRUE(walker->surfaced);
    ASSERT_LT(walker->acceleration.y, 0.f);
    walker->animate({0.f, 0.f}, frame(), true);
    EXPECT_EQ(walker_animation::idle, playing(walker));
    walker->moved = true;
    walker->popScale = 1.f;
    walker->animate({1.f, 0.f}, frame(), true);
    EXPECT_EQ(walker_animation::running, playing(walker));
    EXPECT_EQ(sf::Vector2f(-1.f, 1.f), walker->sprite.getScale());
    walker->animate({1.f, 0.f}, frame(), false);
    EXPECT_EQ(sf::Vector2f(1.f, 1.f), walker->sprite.getScale());
    walker->animate({-0.1f, 5.f}, frame(), false);
    EXPECT_EQ(sf::Vector2f(1.f, 1.f), walker->sprite.getScale()) << "small moves keep the facing";
    walker->popScale = 0.5f;
    walker->animate({-0.2f, 0.f}, frame(), false);
    EXPECT_EQ(sf::Vector2f(-0.5f, 0.5f), walker->sprite.getScale());
}

TEST_F(SpacewalkerLook, WalkDirectionIsTheSurfaceTangent) {
    Spacewalker* walker = addWalker(0.f, 0.f);
    walker->acceleration = {0.f, 750.f};
    EXPECT_VEC_NEAR(sf::Vector2f(1.f, 0.f), walker->walkDirection(1));
    EXPECT_VEC_NEAR(sf::Vector2f(-1.f, 0.f), walker->walkDirection(-1));
    walker->acceleration = {-750.f, 0.f};  // standing on the right side of a planet
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 1.f), walker->walkDirection(1));
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), walker->walkDirection(0));
    walker->acceleration = {0.f, 0.f};
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), walker->walkDirection(1));
}

TEST_F(SpacewalkerLook, FixedHueColoursBodyExactlyAndOverlayOpposite) {
    Spacewalker* walker = addWalker(0.f, 0.f);
    walker->sprite.setTextureRect({64, 96, 32, 32});
    walker->setupColours(true, 0.25f, 0.01f, true);
    EXPECT_EQ(liftColor(hueToColor(0.25f), 0.66f, 80.f), walker->sprite.getColor());
    EXPECT_EQ(liftColor(hueToColor(0.75f), 0.66f, 80.f), walker->overlay.getColor());
    EXPECT_EQ(sf::IntRect(64, 128, 32, 32), walker->overlay.getTextureRect());
    EXPECT_TRUE(walker->overlayBehind);
    EXPECT_EQ(sf::Vector2f(0.f, 0.f), walker->sprite.getScale());
}

TEST_F(SpacewalkerLook, RandomColoursDrawTheirRandomNumbersInOrder) {
    Spacewalker* walker = addWalker(0.f, 0.f);
    srand(11);
    std::vector<int> sequence;
    for (int i = 0; i < 5; ++i) sequence.push_back(rand());

    srand(11);
    walker->setupColours(false, -1.f, 0.025f, false);
    EXPECT_EQ(sequence[3], rand()) << "a random hue draws three numbers";
    const float h = static_cast<float>(sequence[0] % 1000) * 0.001f;
    const float s = static_cast<float>(sequence[1] % 20 + 10) * 0.025f;
    const float overlayHue = sequence[2] % 2 != 0 ? h + s : h - s;
    EXPECT_EQ(liftColor(hueToColor(h), 0.66f, 80.f), walker->sprite.getColor());
    EXPECT_EQ(liftColor(hueToColor(wrap(overlayHue, 0.f, 1.f)), 0.66f, 80.f),
              walker->overlay.getColor());

    srand(11);
    walker->setupColours(false, 0.5f, 0.025f, false);
    EXPECT_EQ(sequence[4], rand()) << "a given hue draws one more, for its jitter";
    const float jittered = 0.5f + static_cast<float>(sequence[1] % 100) * 0.0025f;
    EXPECT_EQ(liftColor(hueToColor(jittered), 0.66f, 80.f), walker->sprite.getColor());
}

TEST_F(SpacewalkerLook, OverlayFollowsTheBodyCellOneCellBelow) {
    Spacewalker* walker = addWalker(0.f, 0.f);
    giveAnimations(walker);
    walker->setupColours(false, 0.1f, 0.01f, false);
    for (int i = 0; i < 20; ++i) {
        walker->update(frame());
        const sf::IntRect body = walker->sprite.getTextureRect();
        EXPECT_EQ(sf::IntRect(body.left, body.top + 32, 32, 32), walker->overlay.getTextureRect());
    }
    EXPECT_EQ(sf::Vector2f(16.f, 16.f), walker->sprite.getOrigin());
}

TEST_F(SpacewalkerLook, PopScaleGrowsInAndMessagesAnswerOnlyTheirFlags) {
    Spacewalker* walker = addWalker(0.f, 0.f);
    walker->update(frame());
    EXPECT_FLOAT_EQ(0.1f, walker->popScale);
    walker->update(frame());
    EXPECT_FLOAT_EQ(0.19f, walker->popScale);

    EXPECT_EQ(msg::walkerReply, walker->message(nullptr, msg::moved));
    EXPECT_EQ(msg::walkerReply, walker->message(nullptr, msg::onSurface));
    walker->moved = true;
    walker->surfaced = true;
    EXPECT_EQ(msg::yes, walker->message(nullptr, msg::moved));
    EXPECT_EQ(msg::yes, walker->message(nullptr, msg::onSurface));
    sf::String capitalised = msg::moved;
    capitalised[0] = 'M';
    EXPECT_EQ(msg::walkerReply, walker->message(nullptr, capitalised));
    EXPECT_EQ(msg::walkerReply, walker->message(nullptr, msg::onSurface + " "));
}

TEST_F(SpacewalkerLook, DeathDropsTheLinksWithoutTellingThePlanet) {
    RecordingPlanet* planet = world.addPlanet(50.f, 0.f, 0.f);
    Spacewalker* walker = addWalker(0.f, -20.f);
    world.step();
    walker->dead = true;
    world.step();
    EXPECT_TRUE(world.players.empty());
    EXPECT_EQ(0, planet->count(msg::lostYou));
    EXPECT_TRUE(planet->occupied);
}
}  // namespace

TEST_F(SpacewalkerLook, OverlayIsDrawnExactlyWhenItsBoundsReachTheViewWhateverItsTurnAndScale) {
    Spacewalker* walker = addWalker(0.f, 0.f);
    giveAnimations(walker);
    walker->setupColours(false, 0.1f, 0.01f, false);  // the overlay joins the body's batch
    walker->update(frame());
    walker->surfaced = true;  // no bubble
    clearLayersAround({0.f, 0.f});
    const sf::FloatRect visible(-240.f, -160.f, 480.f, 320.f);
    const SpriteBatch& batch = test.resources.layers.batch(static_cast<std::size_t>(walker->layer));
    int drawn = 0, skipped = 0;
    for (const float turn : {0.f, 30.f, 45.f, 100.f, 225.f})
        for (const sf::Vector2f scale : {sf::Vector2f(1.f, 1.f), {2.5f, 2.5f}, {-1.5f, 1.f}})
            for (const sf::Vector2f origin : {sf::Vector2f(16.f, 16.f), {16.f, 48.f}})
                for (float out = 0.f; out < 130.f; out += 1.f) {
                    // Beyond the right edge and below a corner.
                    for (const sf::Vector2f at : {sf::Vector2f(240.f + out, 37.f),
                                                  {-240.f - out * 0.7f, 160.f + out * 0.7f}}) {
                        walker->position = at;
                        walker->sprite.setRotation(turn);
                        walker->sprite.setScale(scale);
                        walker->sprite.setOrigin(origin);
                        sf::Sprite exact = walker->overlay;
                        exact.setPosition(at);
                        exact.setRotation(turn);
                        exact.setScale(scale);
                        exact.setOrigin(origin);
                        const bool reaches = exact.getGlobalBounds().intersects(visible);
                        (reaches ? drawn : skipped) += 1;
                        test.resources.layers.flushAll();
                        walker->draw();
                        const std::size_t body = walker->isOnScreen(32.f) ? 1u : 0u;
                        ASSERT_EQ(body + (reaches ? 1u : 0u), batch.pendingSprites())
                            << "at " << at.x << "," << at.y << " turned " << turn;
                    }
                }
    EXPECT_GT(drawn, 100);
    EXPECT_GT(skipped, 100);
}
