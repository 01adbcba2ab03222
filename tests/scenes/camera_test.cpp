#include "scenes/camera.hpp"

#include "support/test_world.hpp"

#include <cmath>
#include <cstdlib>
#include <limits>

TEST(CameraHelpers, ApproachStepsAFractionOfTheRemainingGap) {
    EXPECT_VEC_NEAR(sf::Vector2f(2.5f, 0.f), approach(0.025f, 2.f, {0.f, 0.f}, {100.f, 0.f}));
    EXPECT_VEC_NEAR(sf::Vector2f(11.5f, 22.f), approach(0.5f, 2.f, {10.f, 20.f}, {13.f, 24.f}));
}

TEST(CameraHelpers, ApproachStandsStillWithinTheDeadZoneIncludingItsEdge) {
    const sf::Vector2f from(0.f, 0.f);
    EXPECT_EQ(from, approach(0.025f, 2.f, from, {2.f, 0.f}));
    EXPECT_EQ(from, approach(0.025f, 2.f, from, {1.5f, 0.f}));
    EXPECT_NE(from, approach(0.025f, 2.f, from, {2.01f, 0.f}));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(from, approach(0.025f, 2.f, from, {nan, 0.f}));
}

TEST(CameraHelpers, NormalizeKeepsZeroAndScalesToUnitLength) {
    EXPECT_EQ(sf::Vector2f(0.f, 0.f), normalize({0.f, 0.f}));
    EXPECT_VEC_NEAR(sf::Vector2f(0.6f, 0.8f), normalize({3.f, 4.f}));
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, -1.f), normalize({0.f, -0.25f}));
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override { camera.reset(&world.resources); }
    TestWorld world;
    Camera camera;
};

TEST_F(CameraTest, KickDecaysUntilWithinTwoPixelsAndNoFurther) {
    camera.shakeTime = 0.f;
    camera.kick = {100.f, 0.f};
    camera.update(frame(), false);
    EXPECT_VEC_NEAR(sf::Vector2f(92.5f, 0.f), camera.kick);
    for (int i = 0; i < 200; ++i) camera.update(frame(), false);
    EXPECT_GT(camera.kick.x, 1.8f);
    EXPECT_LE(camera.kick.x, 2.f);

    camera.kick = {1.5f, 0.f};
    for (int i = 0; i < 10; ++i) camera.update(frame(), false);
    EXPECT_EQ(sf::Vector2f(1.5f, 0.f), camera.kick);
}

TEST_F(CameraTest, ZoomMovesAFixedStepPerUpdateThenSettlesExactly) {
    camera.targetZoom = 1.04f;
    camera.update(sf::seconds(5.f), false);
    EXPECT_FLOAT_EQ(1.015f, camera.zoom);
    EXPECT_FLOAT_EQ(480.f * 1.015f, world.resources.view.getSize().x);
    camera.update(frame(), false);
    EXPECT_FLOAT_EQ(1.03f, camera.zoom);
    camera.update(frame(), false);
    EXPECT_EQ(1.04f, camera.zoom);
    EXPECT_FLOAT_EQ(320.f * 1.04f, world.resources.view.getSize().y);
}

TEST_F(CameraTest, WritesTheViewEveryUpdateAndOnlyItsCentreWhilePaused) {
    camera.shakeTime = 0.f;
    camera.position = {100.f, -40.f};
    camera.kick = {10.f, 0.f};
    world.resources.view.setSize(7.f, 7.f);
    camera.update(frame(), true);
    EXPECT_VEC_NEAR(sf::Vector2f(7.f, 7.f), world.resources.view.getSize());
    EXPECT_VEC_NEAR(sf::Vector2f(110.f, -40.f), world.resources.view.getCenter());
    EXPECT_FLOAT_EQ(10.f, camera.kick.x);
    for (int i = 0; i < 3; ++i) {
        world.resources.view.setSize(7.f, 7.f);
        camera.update(frame(), false);
        EXPECT_VEC_NEAR(sf::Vector2f(480.f, 320.f), world.resources.view.getSize());
        EXPECT_VEC_NEAR(camera.position + camera.kick, world.resources.view.getCenter());
    }
}

TEST_F(CameraTest, ShakeOfAnEnteredSceneTurnsOnTheFifthUpdateAndEndsTwoUpdatesAfterItsTime) {
    srand(42);
    const float k = static_cast<float>(rand() % 360);
    srand(42);
    for (int i = 0; i < 4; ++i) camera.update(frame(), false);
    EXPECT_EQ(sf::Vector2f(0.f, 0.f), camera.shakeGoal);
    camera.update(frame(), false);
    const float amplitude = (0.1f - 5 * 0.016f) * 5.f;
    const sf::Vector2f goal(std::cos(k) * amplitude, std::sin(k) * amplitude);
    EXPECT_VEC_NEAR(goal, camera.shakeGoal);
    EXPECT_VEC_NEAR(goal * 0.2f, camera.shakeOffset);
    EXPECT_VEC_NEAR(goal * 0.2f, world.resources.view.getCenter());
    camera.update(frame(), false);
    EXPECT_VEC_NEAR(goal * 0.36f, camera.shakeOffset);
    camera.update(frame(), false);  // the shake time runs out: the offset stays
    EXPECT_LE(camera.shakeTime, 0.f);
    EXPECT_VEC_NEAR(goal * 0.36f, camera.shakeOffset);
    camera.update(frame(), false);
    EXPECT_EQ(sf::Vector2f(0.f, 0.f), camera.shakeOffset);
}

TEST_F(CameraTest, ShakeTurnsAtMostOncePerUpdateAndKeepsTheClocksRemainder) {
    camera.shakeTime = 10.f;
    srand(7);
    camera.update(sf::seconds(0.5f), false);
    EXPECT_NEAR(0.425f, camera.shakeClock, 1e-5f);
    const sf::Vector2f first = camera.shakeGoal;
    camera.update(sf::milliseconds(1), false);
    EXPECT_NE(first, camera.shakeGoal);
    EXPECT_NEAR(0.351f, camera.shakeClock, 1e-5f);
}
