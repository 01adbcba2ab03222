// The four effects the game plays by name load as short, clean sounds.
#include <gtest/gtest.h>

#include <SFML/Audio/InputSoundFile.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class SoundEffect : public ::testing::TestWithParam<std::string> {};

// Decoded the way the game's sound buffers decode them, without needing an audio device.
TEST_P(SoundEffect, LoadsAsAShortCleanSound) {
    sf::InputSoundFile file;
    ASSERT_TRUE(file.openFromFile("content/sfx/" + GetParam() + ".wav"));
    EXPECT_EQ(file.getSampleRate(), 44100u);
    EXPECT_EQ(file.getChannelCount(), 1u);
    const float seconds = file.getDuration().asSeconds();
    EXPECT_GT(seconds, 0.03f);
    EXPECT_LT(seconds, 1.0f);

    std::vector<sf::Int16> samples(static_cast<std::size_t>(file.getSampleCount()));
    ASSERT_EQ(file.read(samples.data(), samples.size()), samples.size());
    ASSERT_FALSE(samples.empty());
    int loudest = 0;
    for (sf::Int16 s : samples) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    EXPECT_GT(loudest, 3000) << "barely audible";
    EXPECT_LT(loudest, 32700) << "clips";
    // Starting or stopping away from zero would click.
    EXPECT_LT(std::abs(static_cast<int>(samples.front())), 600);
    EXPECT_LT(std::abs(static_cast<int>(samples.back())), 600);
}

INSTANTIATE_TEST_SUITE_P(ByName, SoundEffect,
                         ::testing::Values("jump", "walking_s", "menu_change", "menu_no"));

}  // namespace

#include "audio/effects.hpp"

namespace {

TEST(SoundEffects, GeneratorIsDeterministicAndMakesEveryNameOnce) {
    const auto first = audio::renderSoundEffects();
    const auto second = audio::renderSoundEffects();
    ASSERT_EQ(first.size(), 4u);
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].name, second[i].name);
        EXPECT_EQ(first[i].sound.interleaved(1), second[i].sound.interleaved(1)) << first[i].name;
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(first[i].name, first[j].name);
    }
}

}  // namespace
