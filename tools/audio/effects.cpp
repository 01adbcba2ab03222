#include "audio/effects.hpp"

#include <algorithm>
#include <cmath>

namespace audio {
namespace {

constexpr float kEffectPeak = 0.7f;  // of full scale; the game scales volume further
constexpr double kEdgeFade = 0.004;  // s of fade-in and fade-out, against clicks
constexpr std::uint32_t kNoiseSeed = 4242;

Track silence(double seconds) {
    return Track(static_cast<std::size_t>(seconds * kSampleRate), false);
}

double timeOf(std::size_t i) {
    return static_cast<double>(i) / kSampleRate;
}

// Fades both ends to exactly zero and sets the level.
Track finished(Track track) {
    const auto fade = static_cast<std::size_t>(kEdgeFade * kSampleRate);
    const std::size_t n = track.frames();
    for (std::size_t i = 0; i < std::min(fade, n); ++i) {
        const float k = static_cast<float>(i) / static_cast<float>(fade);
        track.leftChannel()[i] *= k;
        track.rightChannel()[i] *= k;
        track.leftChannel()[n - 1 - i] *= k;
        track.rightChannel()[n - 1 - i] *= k;
    }
    track.normalise(kEffectPeak);
    return track;
}

// A springy "bwoop": a sine gliding up an octave and a half, with a breath of air at the
// start. The game plays it a little lower and varies the pitch.
Track jump() {
    constexpr double kLength = 0.24, kFrom = 260.0, kTo = 760.0, kGlide = 0.09;  // s, Hz, s
    Track t = silence(kLength);
    Rng noise(kNoiseSeed);
    double phase = 0.0;
    float air = 0.f;
    for (std::size_t i = 0; i < t.frames(); ++i) {
        const double s = timeOf(i);
        const double f = kTo + (kFrom - kTo) * std::exp(-s / kGlide);
        phase += kTau * f / kSampleRate;
        const double body = std::exp(-s / 0.07) * (1.0 - std::exp(-s / 0.004));
        const double tone = std::sin(phase) + 0.25 * std::sin(2.0 * phase);
        air = air * 0.7f + noise.signedUnit() * 0.3f;  // a soft low-passed hiss
        const float v = static_cast<float>(tone * body + air * 0.3 * std::exp(-s / 0.02));
        t.add(static_cast<std::int64_t>(i), v, v);
    }
    return finished(t);
}

// A soft step on dusty ground: a dull thump under a short crunch.
Track step() {
    constexpr double kLength = 0.11;  // s
    Track t = silence(kLength);
    Rng noise(kNoiseSeed + 1);
    double phase = 0.0;
    float low = 0.f, lower = 0.f;
    for (std::size_t i = 0; i < t.frames(); ++i) {
        const double s = timeOf(i);
        const double f = 70.0 + 60.0 * std::exp(-s / 0.02);
        phase += kTau * f / kSampleRate;
        const double thump = std::sin(phase) * std::exp(-s / 0.035);
        low += (noise.signedUnit() - low) * 0.25f;
        lower += (low - lower) * 0.35f;
        const double crunch = lower * std::exp(-s / 0.018) * 1.6;
        const float v = static_cast<float>(thump * 0.8 + crunch);
        t.add(static_cast<std::int64_t>(i), v, v);
    }
    return finished(t);
}

// A bright two-partial chime for moving through the menu.
Track menuChange() {
    constexpr double kLength = 0.16, kPitch = 1318.5;  // s, Hz (E6)
    Track t = silence(kLength);
    for (std::size_t i = 0; i < t.frames(); ++i) {
        const double s = timeOf(i);
        const double ring = std::exp(-s / 0.045);
        const double v = ring * (std::sin(kTau * kPitch * s) +
                                 0.4 * std::sin(kTau * kPitch * 1.5 * s) * std::exp(-s / 0.02));
        t.add(static_cast<std::int64_t>(i), static_cast<float>(v), static_cast<float>(v));
    }
    return finished(t);
}

// Two falling, hollow tones: "nuh-uh".
Track menuNo() {
    constexpr double kNote = 0.085;                // s per tone
    constexpr double kPitches[] = {311.1, 233.1};  // Hz, E flat 4 then B flat 3
    Track t = silence(kNote * 2 + 0.06);
    for (int n = 0; n < 2; ++n) {
        const auto first = static_cast<std::size_t>(n * kNote * kSampleRate);
        const auto length = static_cast<std::size_t>((kNote + 0.06) * kSampleRate);
        for (std::size_t i = 0; i < length && first + i < t.frames(); ++i) {
            const double s = timeOf(i);
            const double w = kTau * kPitches[n] * s;
            // Odd harmonics only, rolled off: a soft square.
            const double tone = std::sin(w) + std::sin(3 * w) / 5.0 + std::sin(5 * w) / 12.0;
            const double env = (1.0 - std::exp(-s / 0.003)) * std::exp(-s / 0.05);
            const float v = static_cast<float>(tone * env);
            t.add(static_cast<std::int64_t>(first + i), v, v);
        }
    }
    return finished(t);
}

}  // namespace

std::vector<SoundEffect> renderSoundEffects() {
    return {{"jump", jump()},
            {"walking_s", step()},
            {"menu_change", menuChange()},
            {"menu_no", menuNo()}};
}

}  // namespace audio
