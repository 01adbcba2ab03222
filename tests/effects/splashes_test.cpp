#include "effects/splashes.hpp"

#include "agents/layer_probe.hpp"
#include "support/test_world.hpp"

#include <cmath>
#include <cstdlib>

namespace {
const sf::Color dust(40, 80, 120);

// Updates a splash at 60 Hz until it dies; returns the number of updates and the cells shown.
int playOut(AnimatedSplash& splash, std::vector<sf::IntRect>* shown = nullptr) {
    for (int updates = 1; updates <= 100; ++updates) {
        splash.update(frame());
        if (splash.dead) return updates;
        if (shown != nullptr && (shown->empty() || shown->back() != splash.sprite.getTextureRect()))
            shown->push_back(splash.sprite.getTextureRect());
    }
    return -1;
}
}  // namespace

TEST(LandingSplash, StartsOnItsFirstCellWithItsRotationAndColour) {
    TestWorld world;
    LandingSplash splash(&world.resources, 30.f, dust, 5.f, 6.f);
    EXPECT_EQ("splash", splash.name.toAnsiString());
    EXPECT_EQ(2, splash.layer);
    EXPECT_FLOAT_EQ(0.f, splash.accelerationScale);
    EXPECT_EQ(sf::IntRect(32, 0, 32, 32), splash.sprite.getTextureRect());
    EXPECT_EQ(sf::Vector2f(1.f, 1.f), splash.sprite.getScale());
    EXPECT_FLOAT_EQ(30.f, splash.sprite.getRotation());
    EXPECT_EQ(dust, splash.sprite.getColor());
    splash.update(frame());
    EXPECT_EQ(sf::Vector2f(1.2f, 1.3f), splash.sprite.getScale());
    EXPECT_EQ(sf::Vector2f(5.f, 6.f), splash.position);
    splash.draw();
    EXPECT_EQ(sf::Vector2f(16.f, 16.f), splash.sprite.getOrigin());
}

TEST(LandingSplash, ShowsSixCellsAndIsRemovedInTheUpdateItReachesTheSeventh) {
    TestWorld world;
    LandingSplash splash(&world.resources, 0.f, dust, 100.f, 100.f);
    std::vector<sf::IntRect> shown{splash.sprite.getTextureRect()};
    EXPECT_EQ(30, playOut(splash, &shown));
    ASSERT_EQ(6u, shown.size());
    for (int i = 0; i < 6; ++i) EXPECT_EQ(sf::IntRect(32 * (i + 1), 0, 32, 32), shown[i]);
    EXPECT_EQ(6, splash.animator.animations[0].frame);
}

TEST(JumpSplash, PlaysItsOwnCellsStretchedUpward) {
    TestWorld world;
    JumpSplash splash(&world.resources, -45.f, dust, 0.f, 0.f);
    EXPECT_EQ(sf::IntRect(256, 0, 32, 32), splash.sprite.getTextureRect());
    EXPECT_FLOAT_EQ(315.f, splash.sprite.getRotation());
    splash.update(frame());
    EXPECT_EQ(sf::Vector2f(1.f, 1.5f), splash.sprite.getScale());
    std::vector<sf::IntRect> shown;
    EXPECT_EQ(29, playOut(splash, &shown));
    EXPECT_EQ(sf::IntRect(416, 0, 32, 32), shown.back());
    splash.draw();
    EXPECT_EQ(sf::Vector2f(16.f, 16.f), splash.sprite.getOrigin());
}

TEST(RunSplash, TiltsOneDegreeIntoTheRunAndMirrorsWhenFacingLeft) {
    TestWorld world;
    RunSplash right(&world.resources, 30.f, dust, 1.f, 0.f, 0.f);
    RunSplash left(&world.resources, 30.f, dust, -1.f, 0.f, 0.f);
    EXPECT_FLOAT_EQ(31.f, right.sprite.getRotation());
    EXPECT_FLOAT_EQ(29.f, left.sprite.getRotation());
    for (int i = 0; i < 10; ++i) {
        right.update(frame());
        left.update(frame());
    }
    EXPECT_EQ(sf::Vector2f(1.f, 1.f), right.sprite.getScale());
    EXPECT_EQ(sf::Vector2f(-1.f, 1.f), left.sprite.getScale());
    EXPECT_EQ(sf::IntRect(64, 432, 32, 16), left.sprite.getTextureRect());
    left.draw();
    EXPECT_EQ(sf::Vector2f(20.f, 0.f), left.sprite.getOrigin());
}

TEST(RunSplash, FarOffScreenIsNotDrawnButStillDiesOnTime) {
    TestWorld world(480, 320, false);
    useWhiteSheet(world.resources);
    RunSplash splash(&world.resources, 0.f, dust, 1.f, 100.f, 100.f);
    clearLayer(world.resources, 2);
    splash.draw();
    EXPECT_GT(paintedPixels(world.resources, 2), 0);
    clearLayer(world.resources, 2);
    world.resources.view.setCenter(5000.f, 5000.f);
    splash.draw();
    EXPECT_EQ(0, paintedPixels(world.resources, 2));
    EXPECT_EQ(30, playOut(splash));
}

TEST(BallSplash, StartsFourToNineteenPixelsOutAndFliesStraightAway) {
    TestWorld world;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        srand(seed);
        const float k = static_cast<float>(rand() % 360);
        const float d = static_cast<float>(rand() % 16 + 4);
        const float speed = static_cast<float>(rand() % 150 + 30);
        srand(seed);
        BallSplash ball(&world.resources, 16.f, dust, 8.f, 50.f, -20.f);
        const sf::Vector2f offset = ball.position - sf::Vector2f(50.f, -20.f);
        const float distance = std::hypot(offset.x, offset.y);
        ASSERT_GE(distance, 4.f - 1e-4f);
        ASSERT_LE(distance, 19.f + 1e-4f);
        ASSERT_TRUE(vectorsNear({std::cos(k) * d, std::sin(k) * d}, offset));
        ASSERT_TRUE(vectorsNear(offset / distance * speed, ball.velocity, 1e-3f));
    }
}

TEST(BallSplash, SpreadBelowOneIsTakenAsOne) {
    TestWorld world;
    for (float spread : {0.5f, 0.f, -3.f}) {
        BallSplash ball(&world.resources, spread, dust, 8.f, 0.f, 0.f);
        EXPECT_NEAR(4.f, std::hypot(ball.position.x, ball.position.y), 1e-4f);
        const float speed = std::hypot(ball.velocity.x, ball.velocity.y);
        EXPECT_GE(speed, 30.f - 1e-3f);
        EXPECT_LE(speed, 179.f + 1e-3f);
    }
}

TEST(BallSplash, IsAPaleDiscThatShrinksSlowsAndDiesOnItsTwentyNinthUpdate) {
    TestWorld world;
    BallSplash ball(&world.resources, 16.f, sf::Color(255, 0, 100), 64.f, 0.f, 0.f);
    EXPECT_EQ("lol particle", ball.name.toAnsiString());
    EXPECT_EQ(2, ball.layer);
    EXPECT_FLOAT_EQ(32.f, ball.disc.getRadius());
    EXPECT_EQ(sf::Vector2f(32.f, 32.f), ball.disc.getOrigin());
    EXPECT_EQ(30u, ball.disc.getPointCount());
    EXPECT_EQ(sf::Color(234, 150, 183), ball.disc.getFillColor());
    const sf::Vector2f start = ball.position, velocity = ball.velocity;
    ball.update(frame());
    EXPECT_FLOAT_EQ(0.98f, ball.disc.getScale().x);
    EXPECT_FLOAT_EQ(0.9f, ball.life);
    EXPECT_VEC_NEAR(start + velocity * 0.016f, ball.position);
    EXPECT_VEC_NEAR(velocity * 0.975f, ball.velocity);
    for (int i = 2; i <= 28; ++i) {
        ball.update(frame());
        ASSERT_FALSE(ball.dead) << "update " << i;
    }
    ball.update(frame());
    EXPECT_TRUE(ball.dead);
}

TEST(BallSplash, IsDrawnWhereverItIs) {
    TestWorld world;
    BallSplash ball(&world.resources, 16.f, dust, 16.f, 100.f, 100.f);
    world.resources.view.setCenter(5000.f, 5000.f);
    clearLayer(world.resources, 2);
    ball.draw();
    EXPECT_GT(paintedPixels(world.resources, 2), 0);
}
