// The effects the game plays by name load as short, clean sounds, mixed with the music at
// matched levels and with room to spare.
#include "services/sound_bank.hpp"

#include <gtest/gtest.h>

#include <SFML/Audio/InputSoundFile.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kNames[] = {"jump",  "walking_s", "menu_change", "menu_no", "pickup",
                              "throw", "push_off",  "altar",       "birth",   "menu_open"};

class SoundEffect : public ::testing::TestWithParam<const char*> {};

// A file's samples, full scale = 1.
std::vector<double> samplesOf(const std::string& path) {
    sf::InputSoundFile file;
    if (!file.openFromFile(path)) return {};
    std::vector<sf::Int16> raw(static_cast<std::size_t>(file.getSampleCount()));
    raw.resize(static_cast<std::size_t>(file.read(raw.data(), raw.size())));
    return {raw.begin(), raw.end()};
}

double peakOf(const std::vector<double>& samples) {
    double peak = 0.0;
    for (double s : samples) peak = std::max(peak, std::fabs(s) / 32768.0);
    return peak;
}

double rmsOf(const std::vector<double>& samples, std::size_t first, std::size_t count) {
    double sum = 0.0;
    for (std::size_t i = first; i < first + count; ++i) sum += samples[i] * samples[i];
    return std::sqrt(sum / static_cast<double>(count)) / 32768.0;
}

double decibels(double level) {
    return 20.0 * std::log10(level);
}

// Decoded the way the game's sound buffers decode them, without needing an audio device.
TEST_P(SoundEffect, LoadsAsAShortCleanSound) {
    sf::InputSoundFile file;
    ASSERT_TRUE(file.openFromFile(std::string("content/sfx/") + GetParam() + ".wav"));
    EXPECT_EQ(file.getSampleRate(), 44100u);
    EXPECT_EQ(file.getChannelCount(), 1u);
    const float seconds = file.getDuration().asSeconds();
    EXPECT_GT(seconds, 0.03f);
    EXPECT_LT(seconds, 2.0f);

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

INSTANTIATE_TEST_SUITE_P(ByName, SoundEffect, ::testing::ValuesIn(kNames));

// The music's level over the whole loop against each effect's over its loudest 50 ms, as a
// player hears them: the effects 3 to 6 dB over the music. The most effects the game plays
// at once, all at their peaks over the music's, stay under full scale.
TEST(Mix, EffectsSoundOverTheMusicAndNothingReachesFullScale) {
    const std::vector<double> music = samplesOf("content/music/Skywaltz.ogg");
    ASSERT_FALSE(music.empty());
    const double musicLevel = decibels(rmsOf(music, 0, music.size()));
    double loudestEffect = 0.0;
    for (const char* name : kNames) {
        const std::vector<double> effect = samplesOf(std::string("content/sfx/") + name + ".wav");
        ASSERT_FALSE(effect.empty()) << name;
        const std::size_t window = std::min<std::size_t>(44100 / 20, effect.size());
        double level = 0.0;
        for (std::size_t first = 0; first + window <= effect.size(); first += window / 4)
            level = std::max(level, rmsOf(effect, first, window));
        const double over = decibels(level) - musicLevel;
        EXPECT_GE(over, 3.0) << name;
        EXPECT_LE(over, 6.0) << name;
        loudestEffect = std::max(loudestEffect, peakOf(effect));
    }
    EXPECT_LT(peakOf(music) + SoundBank::voices * loudestEffect, 0.95);
}

}  // namespace

#include "audio/effects.hpp"

namespace {

TEST(SoundEffects, GeneratorIsDeterministicAndMakesEveryNameOnce) {
    const auto first = audio::renderSoundEffects();
    const auto second = audio::renderSoundEffects();
    ASSERT_EQ(first.size(), std::size(kNames));
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].name, second[i].name);
        EXPECT_EQ(first[i].sound.interleaved(1), second[i].sound.interleaved(1)) << first[i].name;
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(first[i].name, first[j].name);
    }
}

}  // namespace
