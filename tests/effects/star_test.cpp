#include "effects/star.hpp"

#include "agents/layer_probe.hpp"
#include "support/test_world.hpp"

#include <cmath>
#include <cstdlib>

namespace {
const sf::Color sky(40, 50, 60);

class StarTest : public ::testing::Test {
protected:
    // A star of exactly 10 s that stands still at the origin and shows at full size.
    Star& tenSecondStar() {
        star.lifetime = star.timeLeft = 10.f;
        star.position = {0.f, 0.f};
        star.velocity = {0.f, 0.f};
        star.disc.setScale(1.f, 1.f);
        return star;
    }
    TestWorld world;
    Star star{&world.resources, sky, 0.f, 0.f};
};
}  // namespace

TEST_F(StarTest, DrawsItsPlaceSizeLifeAndDriftFromRandInOrder) {
    srand(77);
    const float k = static_cast<float>(rand() % 360);
    const float d = static_cast<float>(rand() % 288);  // 60 % of the 480 px window
    const float lifetime = static_cast<float>(rand() % 500 + 1000) * 0.01f;
    const float radius = static_cast<float>(rand() % 4 + 4);
    const float k2 = static_cast<float>(rand() % 360);
    const float speed = static_cast<float>(rand() % 65);
    const float drag = 1.f - static_cast<float>(rand() % 1000) * 0.00001f;
    const int j = rand() % 24;
    srand(77);
    Star fresh(&world.resources, sky, 100.f, 200.f);
    EXPECT_VEC_NEAR(sf::Vector2f(100.f + std::cos(k) * d, 200.f + std::sin(k) * d), fresh.position);
    EXPECT_FLOAT_EQ(lifetime, fresh.lifetime);
    EXPECT_FLOAT_EQ(lifetime, fresh.timeLeft);
    EXPECT_FLOAT_EQ(radius, fresh.disc.getRadius());
    EXPECT_EQ(sf::Vector2f(radius, radius), fresh.disc.getOrigin());
    EXPECT_VEC_NEAR(sf::Vector2f(std::cos(k2) * speed, std::sin(k2) * speed), fresh.velocity);
    EXPECT_FLOAT_EQ(drag, fresh.drag);
    EXPECT_EQ(sf::Color(40 + j, 50 + j, 60 + j, 255), fresh.disc.getFillColor());
    EXPECT_EQ("lol particle", fresh.name.toAnsiString());
    EXPECT_EQ(1, fresh.layer);
    EXPECT_FLOAT_EQ(0.f, fresh.accelerationScale);
}

TEST_F(StarTest, OnABrightSkyStaysBrightInsteadOfWrappingToDark) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        srand(seed);
        const sf::Color c =
            Star(&world.resources, sf::Color(250, 240, 250), 0.f, 0.f).disc.getFillColor();
        ASSERT_GE(c.r, 250);
        ASSERT_GE(c.g, 240);
        ASSERT_GE(c.b, 250);
    }
}

TEST_F(StarTest, GrowsInFromNothing) {
    EXPECT_EQ(sf::Vector2f(0.f, 0.f), star.disc.getScale());
    star.update(frame());
    EXPECT_FLOAT_EQ(0.2f, star.disc.getScale().x);
    star.update(frame());
    EXPECT_FLOAT_EQ(0.36f, star.disc.getScale().y);
}

TEST_F(StarTest, ShrinksTowardTheShareOfLifeLeftInItsLastTenth) {
    Star& s = tenSecondStar();
    s.timeLeft = 1.f;
    s.update(frame());
    EXPECT_FLOAT_EQ(1.f, s.disc.getScale().x);
    s.timeLeft = 0.5f;
    s.update(frame());
    EXPECT_FLOAT_EQ(0.8f + 0.5f * 0.2f, s.disc.getScale().x);
}

TEST_F(StarTest, IsRemovedOnTheFirstUpdateAfterItsLifetime) {
    Star& s = tenSecondStar();
    for (int i = 1; i <= 20; ++i) {
        s.update(sf::seconds(0.5f));
        ASSERT_FALSE(s.dead) << "update " << i;
    }
    s.update(sf::milliseconds(1));
    EXPECT_TRUE(s.dead);
}

TEST_F(StarTest, DriftsWithItsDrag) {
    Star& s = tenSecondStar();
    s.velocity = {30.f, -40.f};
    s.drag = 1.f;
    for (int i = 0; i < 100; ++i) s.update(frame());
    EXPECT_EQ(sf::Vector2f(30.f, -40.f), s.velocity);
    EXPECT_TRUE(vectorsNear({48.f, -64.f}, s.position, 1e-3f));
    s.drag = 0.99f;
    s.update(frame());
    EXPECT_VEC_NEAR(sf::Vector2f(29.7f, -39.6f), s.velocity);
}

TEST_F(StarTest, IsDrawnIntoLayerOneWithoutAnOnScreenTest) {
    tenSecondStar().position = {100.f, 100.f};
    world.resources.view.setCenter(5000.f, 5000.f);
    clearLayer(world.resources, 1);
    star.draw();
    EXPECT_GT(paintedPixels(world.resources, 1), 0);
}
