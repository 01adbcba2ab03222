#include "audio/synth.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using audio::Track;

float energy(const Track& t, std::size_t first, std::size_t count) {
    float sum = 0.f;
    for (std::size_t i = first; i < first + count; ++i)
        sum += t.left(i) * t.left(i) + t.right(i) * t.right(i);
    return sum;
}

TEST(Track, LoopingTrackWrapsWritesPastItsEnd) {
    Track loop(100, true);
    loop.add(103, 1.f, 2.f);
    loop.add(-1, 0.5f, 0.5f);
    EXPECT_FLOAT_EQ(loop.left(3), 1.f);
    EXPECT_FLOAT_EQ(loop.right(3), 2.f);
    EXPECT_FLOAT_EQ(loop.left(99), 0.5f);

    Track once(100, false);
    once.add(103, 1.f, 1.f);
    once.add(-1, 1.f, 1.f);
    EXPECT_FLOAT_EQ(once.peak(), 0.f);
}

TEST(Track, NormaliseSetsThePeakAndKeepsTheShape) {
    Track t(4, false);
    t.add(1, 0.2f, -0.5f);
    t.add(2, 0.1f, 0.f);
    t.normalise(0.9f);
    EXPECT_FLOAT_EQ(t.peak(), 0.9f);
    EXPECT_FLOAT_EQ(t.left(1), 0.36f);
    EXPECT_FLOAT_EQ(t.left(2), 0.18f);
}

TEST(Track, PcmIsClampedAndMonoAveragesTheChannels) {
    Track t(2, false);
    t.add(0, 2.f, -2.f);
    t.add(1, 1.f, 0.f);
    const auto stereo = t.interleaved(2);
    ASSERT_EQ(stereo.size(), 4u);
    EXPECT_EQ(stereo[0], 32767);
    EXPECT_EQ(stereo[1], -32767);
    const auto mono = t.interleaved(1);
    ASSERT_EQ(mono.size(), 2u);
    EXPECT_EQ(mono[0], 0);
    EXPECT_EQ(mono[1], 16384);
}

// A note near the end of a loop rings on into its start, as it will when the loop repeats.
TEST(Synth, NotesAndEffectTailsCarryOverTheLoopSeam) {
    const std::size_t frames = audio::kSampleRate;  // one second
    const audio::Voice ring{0.001f, 0.3f, 0.f, 0.2f, 1.f, 0.5f, 0.f, 0.1f, 0.f, 0.f, 0.f, 0.f};
    Track dry(frames, true);
    audio::renderNote(dry, ring, {0.9, 0.2, 440.0, 0.5f, 0.f});
    EXPECT_GT(energy(dry, 0, frames / 20), 0.f);

    Track echoed(frames, true);
    echoed.add(static_cast<std::int64_t>(frames) - 10, 1.f, 1.f);
    audio::addEcho(echoed, 0.1, 0.5f, 0.5f);
    EXPECT_GT(energy(echoed, frames / 20, frames / 10), 0.f) << "echo did not wrap";

    Track roomy(frames, true);
    roomy.add(static_cast<std::int64_t>(frames) - 10, 1.f, 1.f);
    audio::addReverb(roomy, 0.8f, 0.3f, 1.f);
    EXPECT_GT(energy(roomy, 0, frames / 4), 0.f) << "reverb did not wrap";
}

TEST(Synth, NoteFollowsItsPitchAndEndsSilently) {
    const std::size_t frames = audio::kSampleRate;
    const audio::Voice plain{0.001f, 10.f, 1.f, 0.01f, 1.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f};
    Track t(frames, false);
    audio::renderNote(t, plain, {0.0, 0.5, 441.0, 0.5f, 0.f});
    int crossings = 0;
    for (std::size_t i = 1; i < frames / 2; ++i) {
        if ((t.left(i - 1) < 0.f) != (t.left(i) < 0.f)) ++crossings;
    }
    EXPECT_NEAR(crossings, 441, 3);  // two per cycle over half a second
    EXPECT_LT(std::fabs(t.left(frames - 1)), 1e-4f);
    EXPECT_FLOAT_EQ(t.left(frames / 2 + 4000), t.right(frames / 2 + 4000)) << "centre pan";
}

}  // namespace
