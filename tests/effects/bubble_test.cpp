#include "effects/bubble.hpp"

#include "agents/messages.hpp"
#include "support/test_world.hpp"

namespace {
class BubbleTest : public ::testing::Test {
protected:
    sf::Uint8 alphaAfter(int updates) {
        for (int i = 0; i < updates; ++i) bubble.update(frame());
        return bubble.sprite.getColor().a;
    }
    TestWorld world;
    Bubble bubble{&world.resources};
};
}  // namespace

TEST_F(BubbleTest, IsReadyWhenBuiltHiddenAndHalfTransparentOnItsFirstCell) {
    EXPECT_EQ(sf::IntRect(256, 448, 64, 64), bubble.sprite.getTextureRect());
    EXPECT_EQ(sf::Color(255, 255, 255, 128), bubble.sprite.getColor());
    EXPECT_FLOAT_EQ(0.f, bubble.bubbleScale);
    EXPECT_EQ(4, bubble.layer);
    for (int i = 0; i < 5; ++i) bubble.update(frame());
    EXPECT_EQ(sf::IntRect(320, 448, 64, 64), bubble.sprite.getTextureRect());
}

TEST_F(BubbleTest, GrowsInGeometricallyAfterEveryHideWithoutMoving) {
    bubble.position = {10.f, 20.f};
    for (int i = 0; i < 30; ++i) bubble.update(frame());
    EXPECT_EQ(sf::Vector2f(10.f, 20.f), bubble.position);
    bubble.message(nullptr, msg::hide);
    EXPECT_FLOAT_EQ(0.f, bubble.bubbleScale);
    for (float expected : {0.2f, 0.36f, 0.488f}) {
        bubble.update(frame());
        EXPECT_FLOAT_EQ(expected, bubble.bubbleScale);
        EXPECT_VEC_NEAR(sf::Vector2f(expected, expected), bubble.sprite.getScale());
    }
    EXPECT_EQ(sf::Vector2f(32.f, 32.f), bubble.sprite.getOrigin());
}

TEST_F(BubbleTest, AnswersEveryTextEhWat) {
    for (const sf::String& text :
         {msg::bursting, msg::hide, msg::moved, sf::String("??"), sf::String()})
        EXPECT_EQ("eh, wat..", bubble.message(nullptr, text).toAnsiString());
}

TEST_F(BubbleTest, BlinksWhileBurstingKeepingItsColourUntilHidden) {
    EXPECT_EQ(128, alphaAfter(1));
    bubble.message(&bubble, msg::bursting);
    bubble.clock = 0.f;
    bubble.sprite.setColor(sf::Color(10, 20, 30, 128));
    EXPECT_EQ(0, alphaAfter(1));    // sin(0.016 x 24) > 0
    EXPECT_EQ(128, alphaAfter(8));  // 0.144 s: past half a blink
    EXPECT_EQ(0, alphaAfter(8));    // 0.272 s: a whole blink
    EXPECT_EQ(sf::Color(10, 20, 30, 0), bubble.sprite.getColor());
    bubble.message(&bubble, msg::hide);
    EXPECT_FALSE(bubble.bursting);
    bubble.update(frame());
    EXPECT_EQ(sf::Color(255, 255, 255, 128), bubble.sprite.getColor());
    EXPECT_FLOAT_EQ(0.2f, bubble.bubbleScale);
}
