#include "core/colors.hpp"

#include <gtest/gtest.h>

#include <limits>

TEST(Colors, HueCircleRunsRedYellowGreenBlueMagentaRed) {
    EXPECT_EQ(sf::Color(255, 0, 0), hueToColor(0.f));
    EXPECT_EQ(sf::Color(255, 127, 0), hueToColor(0.1f));
    EXPECT_EQ(sf::Color(127, 255, 0), hueToColor(0.3f));
    EXPECT_EQ(sf::Color(0, 127, 127), hueToColor(0.5f));
    EXPECT_EQ(sf::Color(127, 0, 255), hueToColor(0.7f));
    EXPECT_EQ(sf::Color(255, 0, 127), hueToColor(0.9f));
    EXPECT_EQ(sf::Color(255, 0, 0), hueToColor(1.f));
}

TEST(Colors, HueStageBordersBelongToTheStageAbove) {
    EXPECT_EQ(sf::Color(0, 255, 0), hueToColor(0.2f));
    EXPECT_EQ(sf::Color(0, 0, 255), hueToColor(0.4f));
    EXPECT_EQ(sf::Color(255, 0, 255), hueToColor(0.6f));
    EXPECT_EQ(sf::Color(255, 0, 0), hueToColor(0.8f));
}

TEST(Colors, HueOutsideTheCircleIsBlackBelowAndWhiteAbove) {
    EXPECT_EQ(sf::Color(0, 0, 0, 255), hueToColor(-0.001f));
    EXPECT_EQ(sf::Color(255, 255, 255, 255), hueToColor(1.001f));
}

TEST(Colors, WrapKeepsBothEndsAndFoldsEverythingElseIn) {
    EXPECT_FLOAT_EQ(0.f, wrap(0.f, 0.f, 1.f));
    EXPECT_FLOAT_EQ(1.f, wrap(1.f, 0.f, 1.f));
    EXPECT_FLOAT_EQ(0.25f, wrap(1.25f, 0.f, 1.f));
    EXPECT_FLOAT_EQ(0.5f, wrap(2.5f, 0.f, 1.f));
    EXPECT_FLOAT_EQ(0.75f, wrap(-0.25f, 0.f, 1.f));
    EXPECT_FLOAT_EQ(1.f, wrap(3.f, 0.f, 1.f));
    EXPECT_FLOAT_EQ(0.f, wrap(-2.f, 0.f, 1.f));
}

TEST(Colors, LerpColorMixesClampsTruncatesAndIsOpaque) {
    const sf::Color a(0, 100, 255, 10), b(255, 200, 0, 20);
    EXPECT_EQ(sf::Color(127, 150, 127, 255), lerpColor(a, b, 0.5f));
    EXPECT_EQ(sf::Color(63, 125, 191, 255), lerpColor(a, b, 0.25f));
    EXPECT_EQ(sf::Color(255, 255, 0, 255), lerpColor(a, b, 2.f));
    EXPECT_EQ(sf::Color(0, 0, 255, 255), lerpColor(a, b, -1.f));
}

// A huge or infinite value once kept wrap stepping for ever; every float must come back.
TEST(Colors, WrapFoldsFarValuesAtOnceAndGivesLoForNonFinite) {
    EXPECT_FLOAT_EQ(0.f, wrap(1e8f, 0.f, 1.f));
    EXPECT_FLOAT_EQ(0.25f, wrap(1000.25f, 0.f, 1.f));
    EXPECT_FLOAT_EQ(0.25f, wrap(-1000.75f, 0.f, 1.f));
    const float low = wrap(-1e30f, 2.f, 7.f);
    EXPECT_TRUE(low >= 2.f && low <= 7.f) << low;
    const float far = wrap(3e38f, -3e38f, 3e38f);
    EXPECT_TRUE(far >= -3e38f && far <= 3e38f) << far;
    EXPECT_FLOAT_EQ(0.f, wrap(std::numeric_limits<float>::infinity(), 0.f, 1.f));
    EXPECT_FLOAT_EQ(-1.f, wrap(-std::numeric_limits<float>::infinity(), -1.f, 1.f));
    EXPECT_FLOAT_EQ(0.f, wrap(std::numeric_limits<float>::quiet_NaN(), 0.f, 1.f));
}

// Out of range, a channel saturates rather than wrapping round (or being undefined).
TEST(Colors, LiftColorSaturatesBothWays) {
    EXPECT_EQ(sf::Color(255, 255, 255, 255), liftColor(sf::Color::White, 1.f, 80.f));
    EXPECT_EQ(sf::Color(0, 0, 0, 255), liftColor(sf::Color(10, 200, 90), 1.f, -300.f));
    EXPECT_EQ(sf::Color(248, 80, 163, 255), liftColor(sf::Color(255, 0, 127), 0.66f, 80.f));
    EXPECT_EQ(sf::Color(0, 0, 0, 255),
              liftColor(sf::Color::White, std::numeric_limits<float>::quiet_NaN(), 0.f));
}
