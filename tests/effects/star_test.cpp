#include "effects/star.hpp"

#include "agents/layer_probe.hpp"
#include "core/vector_math.hpp"
#include "support/test_world.hpp"

#include <cstdlib>
#include <set>
#include <tuple>

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

TEST_F(StarTest, OneSeedGivesOneStarAndEveryStarStaysWithinItsBands) {
    const auto look = [](const Star& s) {
        return std::make_tuple(s.position.x, s.position.y, s.velocity.x, s.velocity.y, s.lifetime,
                               s.disc.getRadius(), s.drag, s.disc.getFillColor().toInteger());
    };
    std::set<float> lifetimes;
    for (unsigned seed = 1; seed <= 50; ++seed) {
        srand(seed);
        const Star drawn(&world.resources, sky, 100.f, 200.f);
        srand(seed);
        ASSERT_EQ(look(drawn), look(Star(&world.resources, sky, 100.f, 200.f))) << "seed " << seed;
        lifetimes.insert(drawn.lifetime);

        // Within 60 % of the 480 px window of where it was asked for.
        EXPECT_LT(length(drawn.position - sf::Vector2f(100.f, 200.f)), 288.f);
        EXPECT_GE(drawn.lifetime, 10.f);
        EXPECT_LT(drawn.lifetime, 15.f);
        EXPECT_FLOAT_EQ(drawn.lifetime, drawn.timeLeft);
        const float radius = drawn.disc.getRadius();
        EXPECT_TRUE(radius >= 4.f && radius <= 7.f) << radius;
        EXPECT_EQ(sf::Vector2f(radius, radius), drawn.disc.getOrigin());
        EXPECT_LT(length(drawn.velocity), 65.f);
        EXPECT_GT(drawn.drag, 0.99f);
        EXPECT_LE(drawn.drag, 1.f);
        // A little brighter than the sky, by the same amount in each channel.
        const sf::Color c = drawn.disc.getFillColor();
        EXPECT_TRUE(c.r - sky.r >= 0 && c.r - sky.r < 24) << int(c.r);
        EXPECT_EQ(c.r - sky.r, c.g - sky.g);
        EXPECT_EQ(c.r - sky.r, c.b - sky.b);
    }
    EXPECT_GT(lifetimes.size(), 10u);
    EXPECT_EQ("lol particle", star.name.toAnsiString());
    EXPECT_EQ(1, star.layer);
    EXPECT_FLOAT_EQ(0.f, star.accelerationScale);
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
