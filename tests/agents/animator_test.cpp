#include "agents/animator.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
const sf::IntRect untouched(1, 2, 3, 4);

// "idle" of three 32 x 16 cells in row 1, then "running" of two cells in row 2.
class AnimatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        sprite.setTextureRect(untouched);
        animator.frameWidth = 32;
        animator.frameHeight = 16;
        animator.frameDuration = sf::milliseconds(70);
        animator.loop = true;
        animator.enabled = true;
        animator.count = 0;
        animator.addAnimation("idle");
        for (int c = 0; c < 3; ++c) animator.animations[animator.current].frames.push_back({c, 1});
        animator.addAnimation("running");
        for (int c = 4; c < 6; ++c) animator.animations[animator.current].frames.push_back({c, 2});
    }
    int frame() const { return animator.animations[animator.current].frame; }

    Animator animator;
    sf::Sprite sprite;
};
}  // namespace

TEST_F(AnimatorTest, DisabledAnimatorAddsNothingAndStandsStill) {
    Animator idle;
    idle.addAnimation("idle");
    EXPECT_TRUE(idle.animations.empty());
    EXPECT_EQ(0, idle.count);
    animator.enabled = false;
    animator.update(sprite, sf::seconds(1.f));
    EXPECT_EQ(0, frame());
    EXPECT_EQ(untouched, sprite.getTextureRect());
}

TEST_F(AnimatorTest, AddAnimationMakesTheNewOneCurrentWithTheCellSize) {
    EXPECT_EQ(2, animator.count);
    EXPECT_EQ(1, animator.current);
    EXPECT_EQ("running", animator.animations[1].name.toAnsiString());
    EXPECT_EQ(32, animator.animations[1].frameWidth);
    EXPECT_EQ(16, animator.animations[1].frameHeight);
    EXPECT_EQ(3u, animator.animations[0].frames.size());
}

TEST_F(AnimatorTest, RedefiningFromCountZeroStartsAFreshList) {
    animator.count = 0;
    animator.addAnimation("spacing");
    animator.animations[animator.current].frames.push_back({7, 7});
    ASSERT_EQ(1u, animator.animations.size());
    EXPECT_EQ(0, animator.current);
    EXPECT_EQ("spacing", animator.animations[0].name.toAnsiString());
    EXPECT_EQ(1u, animator.animations[0].frames.size());
}

TEST_F(AnimatorTest, PlaySwitchesAndShowsTheFirstCell) {
    EXPECT_TRUE(animator.play(sprite, "idle", false));
    EXPECT_EQ(0, animator.current);
    EXPECT_EQ(sf::IntRect(0, 16, 32, 16), sprite.getTextureRect());
}

TEST_F(AnimatorTest, PlayNeverRestartsTheRunningAnimation) {
    animator.play(sprite, "idle", false);
    animator.update(sprite, sf::milliseconds(71));
    ASSERT_EQ(1, frame());
    EXPECT_FALSE(animator.play(sprite, "idle", false));
    EXPECT_EQ(1, frame());
    EXPECT_EQ(sf::IntRect(32, 16, 32, 16), sprite.getTextureRect());
}

TEST_F(AnimatorTest, PlayOfAnUnknownNameChangesNothing) {
    EXPECT_FALSE(animator.play(sprite, "jumping", false));
    EXPECT_FALSE(animator.play(sprite, "Idle", false));
    EXPECT_EQ(1, animator.current);
    EXPECT_EQ(untouched, sprite.getTextureRect());
}

TEST_F(AnimatorTest, RandomStartTakesRandModuloTheFrameCountAndOnlyThen) {
    srand(99);
    const int expected = rand() % 3;
    const int next = rand();
    srand(99);
    animator.play(sprite, "idle", true);
    EXPECT_EQ(expected, frame());
    EXPECT_EQ(sf::IntRect(expected * 32, 16, 32, 16), sprite.getTextureRect());
    EXPECT_EQ(next, rand());

    srand(5);
    const int first = rand();
    srand(5);
    animator.play(sprite, "running", false);
    EXPECT_EQ(first, rand());
}

TEST_F(AnimatorTest, AdvancesOnlyOnceMoreThanTheFrameDurationHasGathered) {
    animator.play(sprite, "idle", false);
    animator.update(sprite, sf::milliseconds(40));
    animator.update(sprite, sf::milliseconds(30));
    EXPECT_EQ(0, frame());
    animator.update(sprite, sf::microseconds(1));
    EXPECT_EQ(1, frame());
}

TEST_F(AnimatorTest, AdvancesAtMostOneFramePerUpdateAndDropsTheExcess) {
    animator.play(sprite, "idle", false);
    animator.update(sprite, sf::seconds(1.f));
    EXPECT_EQ(1, frame());
    animator.update(sprite, sf::milliseconds(70));
    EXPECT_EQ(1, frame());
}

TEST_F(AnimatorTest, LoopingWrapsToTheFirstCellAndNonLoopingHoldsTheLast) {
    for (int i = 0; i < 2; ++i) animator.update(sprite, sf::milliseconds(71));
    EXPECT_EQ(0, frame());
    EXPECT_EQ(sf::IntRect(128, 32, 32, 16), sprite.getTextureRect());
    animator.loop = false;
    for (int i = 0; i < 3; ++i) animator.update(sprite, sf::milliseconds(71));
    EXPECT_EQ(1, frame());
    EXPECT_EQ(sf::IntRect(160, 32, 32, 16), sprite.getTextureRect());
}

TEST_F(AnimatorTest, EmptyAnimatorAndFramelessAnimationLeaveTheSpriteAlone) {
    Animator animator;
    sf::Sprite sprite;
    sprite.setTextureRect(untouched);
    animator.enabled = true;
    animator.frameDuration = sf::milliseconds(70);
    animator.update(sprite, sf::seconds(1.f));
    EXPECT_FALSE(animator.play(sprite, "idle", true));
    EXPECT_EQ(untouched, sprite.getTextureRect());
    animator.frameWidth = animator.frameHeight = 8;
    animator.addAnimation("idle");
    animator.addAnimation("empty");
    animator.animations[0].frames.push_back({1, 1});
    EXPECT_TRUE(animator.play(sprite, "idle", false));
    EXPECT_TRUE(animator.play(sprite, "empty", true));
    animator.update(sprite, sf::seconds(1.f));
    EXPECT_EQ(sf::IntRect(8, 8, 8, 8), sprite.getTextureRect());
}
