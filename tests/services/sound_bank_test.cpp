#include "services/sound_bank.hpp"

#include "support/test_world.hpp"

#include <SFML/Graphics/View.hpp>

TEST(SoundBank, PlaysAMatchingSoundAtTheSoundsVolume) {
    TestWorld world;
    ASSERT_TRUE(
        world.soundBank.addSound("jump", (world.resources.sfxDir + "jump.wav").toAnsiString()));
    world.resources.soundVolume = 50;
    world.soundBank.playSound("jump", 0.6f, 0.8f, 0.f);
    const sf::Sound& sound = world.soundBank.entries[0]->sound;
    EXPECT_NEAR(sound.getVolume(), 30.f, 0.01f);
    EXPECT_NEAR(sound.getPitch(), 0.8f, 1e-5f);
}

TEST(SoundBank, IsSilentAtSoundsVolumeZeroForUnknownNamesAndWithoutADevice) {
    TestWorld world;
    ASSERT_TRUE(
        world.soundBank.addSound("jump", (world.resources.sfxDir + "jump.wav").toAnsiString()));
    const float untouched = world.soundBank.entries[0]->sound.getVolume();
    world.resources.soundVolume = 0;
    world.soundBank.playSound("jump", 1.f, 2.f, 0.f);
    EXPECT_FLOAT_EQ(world.soundBank.entries[0]->sound.getVolume(), untouched);
    world.resources.soundVolume = 100;
    world.soundBank.playSound("Jump", 0.5f, 2.f, 0.f);
    EXPECT_FLOAT_EQ(world.soundBank.entries[0]->sound.getVolume(), untouched);
    // A lost sound device: nothing plays any more.
    world.resources.soundDevice = false;
    world.soundBank.playSound("jump", 0.5f, 2.f, 0.f);
    EXPECT_FLOAT_EQ(world.soundBank.entries[0]->sound.getVolume(), untouched);
}

TEST(SoundBank, RefusesAFileItCannotRead) {
    TestWorld world;
    EXPECT_FALSE(world.soundBank.addSound("jump", "no/such/file.wav"));
    EXPECT_EQ(world.soundBank.count, 0);
}

TEST(SoundBank, HearsASoundInFullAroundTheViewsCentreLessTowardItsEdgeAndNotOffScreen) {
    const sf::View view({1000.f, 500.f}, {480.f, 320.f});
    EXPECT_FLOAT_EQ(1.f, audibility(view, {1000.f, 500.f}));
    EXPECT_FLOAT_EQ(1.f, audibility(view, {1000.f, 580.f}));  // where the camera keeps the player
    EXPECT_FLOAT_EQ(0.625f, audibility(view, {1180.f, 500.f}));
    EXPECT_FLOAT_EQ(0.25f, audibility(view, {1000.f, 340.f}));
    EXPECT_EQ(0.f, audibility(view, {1241.f, 500.f}));
    EXPECT_EQ(0.f, audibility(view, {1000.f, 661.f}));
}
