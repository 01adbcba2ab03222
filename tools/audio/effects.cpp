#include "audio/effects.hpp"

#include <algorithm>
#include <cmath>

namespace audio {
namespace {

// Every effect is as loud as the others over its loudest 50 ms, unless that would take its
// peak past kEffectPeak. Three effects at their peaks over the music's stay under full scale.
constexpr float kEffectLoudness = 0.1f;   // RMS of the loudest window, of full scale
constexpr float kEffectPeak = 0.23f;      // of full scale
constexpr double kLoudnessWindow = 0.05;  // s
constexpr double kEdgeFade = 0.004;       // s of fade-in and fade-out, against clicks
constexpr std::uint32_t kNoiseSeed = 4242;

Track silence(double seconds) {
    return Track(static_cast<std::size_t>(seconds * kSampleRate), false);
}

double timeOf(std::size_t i) {
    return static_cast<double>(i) / kSampleRate;
}

float loudestWindowRms(const Track& track) {
    const auto window = static_cast<std::size_t>(kLoudnessWindow * kSampleRate);
    float loudest = 0.f;
    for (std::size_t first = 0; first < track.frames(); first += window / 4) {
        const std::size_t last = std::min(first + window, track.frames());
        double sum = 0.0;
        for (std::size_t i = first; i < last; ++i) sum += track.left(i) * track.left(i);
        loudest = std::max(loudest, static_cast<float>(std::sqrt(sum / window)));
    }
    return loudest;
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
    const float loudness = loudestWindowRms(track);
    const float peak = track.peak();
    if (loudness > 0.f && peak > 0.f)
        track.normalise(peak * std::min(kEffectLoudness / loudness, kEffectPeak / peak));
    return track;
}

// A sine gliding from one pitch to another under an envelope that rises in `attack` seconds
// and falls with time constant `decay`, with a touch of its octave.
Track glide(double length, double from, double to, double glideTime, double attack, double decay) {
    Track t = silence(length);
    double phase = 0.0;
    for (std::size_t i = 0; i < t.frames(); ++i) {
        const double s = timeOf(i);
        const double f = to + (from - to) * std::exp(-s / glideTime);
        phase += kTau * f / kSampleRate;
        const double env = (1.0 - std::exp(-s / attack)) * std::exp(-s / decay);
        const auto v = static_cast<float>(env * (std::sin(phase) + 0.2 * std::sin(2.0 * phase)));
        t.add(static_cast<std::int64_t>(i), v, v);
    }
    return t;
}

// Noise through a low-pass whose corner sweeps from `from` to `to` (fractions of the sample
// rate, roughly), under a swell of `length` seconds peaking at `crest` of the way through.
Track whoosh(double length, float from, float to, double crest, std::uint32_t seed) {
    Track t = silence(length);
    Rng noise(seed);
    float low = 0.f, lower = 0.f;
    for (std::size_t i = 0; i < t.frames(); ++i) {
        const double x = timeOf(i) / length;
        const auto k = static_cast<float>(from + (to - from) * x);
        low += (noise.signedUnit() - low) * k;
        lower += (low - lower) * k;
        const double env = x < crest ? x / crest : (1.0 - x) / (1.0 - crest);
        const auto v = static_cast<float>(lower * env * env);
        t.add(static_cast<std::int64_t>(i), v, v);
    }
    return t;
}

// Bell-like partials (Hz) from `start` seconds on, each ringing `ring` seconds.
void addBell(Track& t, double start, const std::vector<double>& pitches, double ring) {
    const auto first = static_cast<std::size_t>(start * kSampleRate);
    for (std::size_t i = first; i < t.frames(); ++i) {
        const double s = timeOf(i - first);
        const double env = (1.0 - std::exp(-s / 0.004)) * std::exp(-s / ring);
        double v = 0.0;
        for (std::size_t n = 0; n < pitches.size(); ++n)
            v += std::sin(kTau * pitches[n] * s) *
                 (1.0 + 0.35 * std::sin(kTau * pitches[n] * 2.76 * s) * std::exp(-s / 0.05)) /
                 static_cast<double>(n + 1);
        t.add(static_cast<std::int64_t>(i), static_cast<float>(v * env),
              static_cast<float>(v * env));
    }
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

// A quick upward "plip": something taken in hand.
Track pickup() {
    return finished(glide(0.12, 520.0, 1040.0, 0.03, 0.003, 0.04));
}

// Air swept past a swinging arm, brightening as it goes.
Track throwing() {
    return finished(whoosh(0.22, 0.05f, 0.45f, 0.3, kNoiseSeed + 2));
}

// A soft low push: a falling thump under a dark rush of air.
Track pushOff() {
    Track t = glide(0.3, 180.0, 90.0, 0.06, 0.005, 0.08);
    t.mix(whoosh(0.3, 0.02f, 0.12f, 0.2, kNoiseSeed + 3), 0.6f);
    return finished(t);
}

// The altar takes the orb: a rising pair of bells settling on a major third.
Track altarTakes() {
    Track t = silence(1.2);
    addBell(t, 0.0, {659.3, 1318.5}, 0.35);  // E5
    addBell(t, 0.14, {830.6, 1661.2}, 0.5);  // G sharp 5
    addBell(t, 0.28, {987.8, 1975.5}, 0.6);  // B5
    return finished(t);
}

// A planet is born: a shimmer of high partials swelling over a deep tone, then ringing out.
Track birth() {
    constexpr double kLength = 1.6, kSwell = 0.5;  // s
    Track t = silence(kLength);
    const double partials[] = {110.0, 220.0, 329.6, 440.0, 659.3, 880.0};  // Hz, A major
    for (std::size_t i = 0; i < t.frames(); ++i) {
        const double s = timeOf(i);
        const double env =
            (s < kSwell ? s / kSwell : 1.0) * std::exp(-std::max(0.0, s - kSwell) / 0.35);
        double v = 0.0;
        for (std::size_t n = 0; n < std::size(partials); ++n)
            v += std::sin(kTau * partials[n] * s * (1.0 + 0.002 * std::sin(kTau * (3.0 + n) * s))) /
                 (1.0 + 0.5 * static_cast<double>(n));
        t.add(static_cast<std::int64_t>(i), static_cast<float>(v * env),
              static_cast<float>(v * env));
    }
    return finished(t);
}

// Opening the menu: two soft chimes a fifth apart, upward.
Track menuOpen() {
    Track t = silence(0.3);
    addBell(t, 0.0, {880.0}, 0.06);    // A5
    addBell(t, 0.07, {1318.5}, 0.08);  // E6
    return finished(t);
}

}  // namespace

std::vector<SoundEffect> renderSoundEffects() {
    return {{"jump", jump()},         {"walking_s", step()},   {"menu_change", menuChange()},
            {"menu_no", menuNo()},    {"pickup", pickup()},    {"throw", throwing()},
            {"push_off", pushOff()},  {"altar", altarTakes()}, {"birth", birth()},
            {"menu_open", menuOpen()}};
}

}  // namespace audio
