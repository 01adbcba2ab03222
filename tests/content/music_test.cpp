// The background music file as the game streams it: a long, unclipped, seamless loop.
#include <gtest/gtest.h>

#include <SFML/Audio/InputSoundFile.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

const char* const kMusic = "content/music/Skywaltz.ogg";

class Music : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sf::InputSoundFile file;
        if (!file.openFromFile(kMusic)) return;
        rate_ = file.getSampleRate();
        channels_ = file.getChannelCount();
        samples_.resize(static_cast<std::size_t>(file.getSampleCount()));
        samples_.resize(static_cast<std::size_t>(file.read(samples_.data(), samples_.size())));
        opened_ = true;
    }
    void SetUp() override { ASSERT_TRUE(opened_) << kMusic << " did not open"; }

    static double seconds() {
        return static_cast<double>(samples_.size()) / channels_ / static_cast<double>(rate_);
    }
    // Sample `frame` of `channel`, full scale = 1.
    static double sample(std::size_t frame, unsigned channel) {
        return samples_[frame * channels_ + channel] / 32768.0;
    }
    static std::size_t frames() { return samples_.size() / channels_; }
    static double rms(std::size_t first, std::size_t count) {
        double sum = 0.0;
        for (std::size_t i = first; i < first + count; ++i) {
            for (unsigned c = 0; c < channels_; ++c) sum += sample(i, c) * sample(i, c);
        }
        return std::sqrt(sum / static_cast<double>(count * channels_));
    }

    static inline bool opened_ = false;
    static inline unsigned rate_ = 0;
    static inline unsigned channels_ = 0;
    static inline std::vector<sf::Int16> samples_;
};

TEST_F(Music, IsStereoAt44100HzAndAtLeastAMinuteLong) {
    EXPECT_EQ(rate_, 44100u);
    EXPECT_EQ(channels_, 2u);
    EXPECT_GE(seconds(), 60.0);
    EXPECT_LE(seconds(), 240.0);
}

TEST_F(Music, FileIsSmall) {
    EXPECT_LT(std::filesystem::file_size(kMusic), 4u * 1024u * 1024u);
}

TEST_F(Music, DoesNotClip) {
    const auto loudest = std::max_element(samples_.begin(), samples_.end(), [](auto a, auto b) {
        return std::abs(static_cast<int>(a)) < std::abs(static_cast<int>(b));
    });
    EXPECT_LT(std::abs(static_cast<int>(*loudest)), 32700);
}

TEST_F(Music, NeverFallsSilent) {
    const std::size_t second = rate_;
    for (std::size_t start = 0; start + second <= frames(); start += second) {
        EXPECT_GT(rms(start, second), 0.02) << "quiet second starting at " << start / rate_ << " s";
    }
}

// Looping jumps from the last sample straight back to the first: the step there must be
// no bigger than the music's own steps, and neither end may fade out into a gap.
TEST_F(Music, LoopSeamIsContinuous) {
    for (unsigned c = 0; c < channels_; ++c) {
        std::vector<double> steps;
        for (std::size_t i = 1; i < frames(); ++i)
            steps.push_back(std::fabs(sample(i, c) - sample(i - 1, c)));
        std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
        const double usualStep = steps[steps.size() * 99 / 100];
        const double seam = std::fabs(sample(0, c) - sample(frames() - 1, c));
        EXPECT_LE(seam, std::max(usualStep, 0.01)) << "channel " << c;
    }
    const std::size_t tenth = rate_ / 10;
    const double head = rms(0, tenth);
    const double tail = rms(frames() - tenth, tenth);
    EXPECT_GT(head, 0.02);
    EXPECT_GT(tail, 0.02);
    EXPECT_LT(std::max(head, tail) / std::min(head, tail), 4.0) << "level jumps at the seam";
}

}  // namespace
