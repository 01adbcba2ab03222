#include "audio/synth.hpp"

#include <SFML/Audio/OutputSoundFile.hpp>

#include <algorithm>
#include <array>
#include <cmath>

namespace audio {
namespace {

// Comb and all-pass lengths of a small Schroeder-style room, in samples at 44.1 kHz.
constexpr std::array<std::size_t, 4> kCombLengths{1116, 1277, 1422, 1557};
constexpr std::array<std::size_t, 2> kAllPassLengths{556, 441};
constexpr std::size_t kStereoSpread = 23;  // samples added to the right channel's delays
constexpr float kAllPassFeedback = 0.5f;
constexpr float kReleaseTail = 5.f;  // release time constants rendered before a note stops

class Comb {
public:
    explicit Comb(std::size_t length) : buffer_(length, 0.f) {}
    float process(float in, float feedback, float damping) {
        const float out = buffer_[index_];
        filtered_ = out * (1.f - damping) + filtered_ * damping;
        buffer_[index_] = in + filtered_ * feedback;
        index_ = (index_ + 1) % buffer_.size();
        return out;
    }

private:
    std::vector<float> buffer_;
    std::size_t index_ = 0;
    float filtered_ = 0.f;
};

class AllPass {
public:
    explicit AllPass(std::size_t length) : buffer_(length, 0.f) {}
    float process(float in) {
        const float delayed = buffer_[index_];
        const float out = delayed - in;
        buffer_[index_] = in + delayed * kAllPassFeedback;
        index_ = (index_ + 1) % buffer_.size();
        return out;
    }

private:
    std::vector<float> buffer_;
    std::size_t index_ = 0;
};

class Room {
public:
    explicit Room(std::size_t spread) {
        for (std::size_t length : kCombLengths) combs_.emplace_back(length + spread);
        for (std::size_t length : kAllPassLengths) allPasses_.emplace_back(length + spread);
    }
    float process(float in, float feedback, float damping) {
        float out = 0.f;
        for (Comb& comb : combs_) out += comb.process(in, feedback, damping);
        for (AllPass& pass : allPasses_) out = pass.process(out);
        return out;
    }

private:
    std::vector<Comb> combs_;
    std::vector<AllPass> allPasses_;
};

int passesFor(const Track& track) {
    return track.looping() ? 2 : 1;
}

}  // namespace

Track::Track(std::size_t frames, bool looping)
    : left_(frames, 0.f), right_(frames, 0.f), looping_(looping) {}

void Track::add(std::int64_t frame, float left, float right) {
    const auto length = static_cast<std::int64_t>(frames());
    if (length == 0) return;
    if (looping_) {
        frame %= length;
        if (frame < 0) frame += length;
    } else if (frame < 0 || frame >= length) {
        return;
    }
    left_[static_cast<std::size_t>(frame)] += left;
    right_[static_cast<std::size_t>(frame)] += right;
}

void Track::mix(const Track& other, float gain) {
    const std::size_t n = std::min(frames(), other.frames());
    for (std::size_t i = 0; i < n; ++i) {
        left_[i] += other.left_[i] * gain;
        right_[i] += other.right_[i] * gain;
    }
}

float Track::peak() const {
    float peak = 0.f;
    for (std::size_t i = 0; i < frames(); ++i) {
        peak = std::max({peak, std::fabs(left_[i]), std::fabs(right_[i])});
    }
    return peak;
}

void Track::normalise(float level) {
    const float loudest = peak();
    if (loudest <= 0.f) return;
    const float gain = level / loudest;
    for (std::size_t i = 0; i < frames(); ++i) {
        left_[i] *= gain;
        right_[i] *= gain;
    }
}

std::vector<sf::Int16> Track::interleaved(unsigned channels) const {
    std::vector<sf::Int16> out;
    out.reserve(frames() * channels);
    auto toPcm = [](float v) {
        return static_cast<sf::Int16>(std::lround(std::clamp(v, -1.f, 1.f) * 32767.f));
    };
    for (std::size_t i = 0; i < frames(); ++i) {
        if (channels == 1) {
            out.push_back(toPcm(0.5f * (left_[i] + right_[i])));
        } else {
            out.push_back(toPcm(left_[i]));
            out.push_back(toPcm(right_[i]));
        }
    }
    return out;
}

std::uint32_t Rng::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float Rng::uniform() {
    return static_cast<float>(next() >> 8) / static_cast<float>(1u << 24);
}

double midiToHz(double midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}

void renderNote(Track& track, const Voice& v, const Note& note) {
    const double length = note.duration + v.release * kReleaseTail;
    const auto samples = static_cast<std::int64_t>(length * kSampleRate);
    const auto first = static_cast<std::int64_t>(std::llround(note.start * kSampleRate));
    const double dt = 1.0 / kSampleRate;
    // Constant-power panning.
    const double angle = (static_cast<double>(note.pan) + 1.0) * kTau / 8.0;
    const auto leftGain = static_cast<float>(std::cos(angle) * note.gain);
    const auto rightGain = static_cast<float>(std::sin(angle) * note.gain);
    double carrier = 0.0, second = 0.0, modulator = 0.0, octave = 0.0;
    float releaseFrom = 0.f;
    for (std::int64_t i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) * dt;
        float level;
        if (t < note.duration) {
            const float attack =
                v.attack > 0.f ? std::min(1.f, static_cast<float>(t) / v.attack) : 1.f;
            const float fall = std::exp(-static_cast<float>(std::max(0.0, t - v.attack)) / v.decay);
            level = attack * (v.sustain + (1.f - v.sustain) * fall);
            releaseFrom = level;
        } else {
            level = releaseFrom * std::exp(-static_cast<float>(t - note.duration) / v.release);
        }
        const double wobble =
            1.0 + v.vibratoDepth * std::sin(kTau * v.vibratoRate * t) * std::min(1.0, t * 2.0);
        const double f = note.frequency * wobble;
        const double index =
            v.fmIndexFloor + (v.fmIndex - v.fmIndexFloor) * std::exp(-t / v.fmIndexDecay);
        const double mod = index * std::sin(modulator);
        double s = std::sin(carrier + mod);
        if (v.detune > 0.f) s = 0.5 * (s + std::sin(second + mod));
        s += v.octaveLevel * std::sin(octave);
        carrier += kTau * f * dt;
        second += kTau * f * (1.0 + v.detune) * dt;
        modulator += kTau * f * v.fmRatio * dt;
        octave += kTau * 2.0 * f * dt;
        const float out = static_cast<float>(s) * level;
        track.add(first + i, out * leftGain, out * rightGain);
    }
}

void addEcho(Track& track, double delaySeconds, float feedback, float wet) {
    const auto delay = static_cast<std::size_t>(delaySeconds * kSampleRate);
    if (delay == 0) return;
    // Ping-pong: each repeat crosses to the other side.
    std::vector<float> lineLeft(delay, 0.f), lineRight(delay, 0.f);
    std::vector<float> outLeft(track.frames()), outRight(track.frames());
    std::size_t at = 0;
    for (int pass = 0; pass < passesFor(track); ++pass) {
        for (std::size_t i = 0; i < track.frames(); ++i) {
            const float echoLeft = lineLeft[at];
            const float echoRight = lineRight[at];
            lineLeft[at] = track.left(i) + echoRight * feedback;
            lineRight[at] = echoLeft * feedback;
            at = (at + 1) % delay;
            outLeft[i] = track.left(i) + wet * echoLeft;
            outRight[i] = track.right(i) + wet * echoRight;
        }
    }
    track.leftChannel() = outLeft;
    track.rightChannel() = outRight;
}

void addReverb(Track& track, float roomSize, float damping, float wet) {
    Room left(0), right(kStereoSpread);
    std::vector<float> outLeft(track.frames()), outRight(track.frames());
    constexpr float kInputGain = 0.05f;  // keeps the sum of four combs well below clipping
    for (int pass = 0; pass < passesFor(track); ++pass) {
        for (std::size_t i = 0; i < track.frames(); ++i) {
            const float in = (track.left(i) + track.right(i)) * kInputGain;
            outLeft[i] = track.left(i) + wet * left.process(in, roomSize, damping);
            outRight[i] = track.right(i) + wet * right.process(in, roomSize, damping);
        }
    }
    track.leftChannel() = outLeft;
    track.rightChannel() = outRight;
}

bool writeSound(const std::string& path, const Track& track, unsigned channels) {
    sf::OutputSoundFile file;
    if (!file.openFromFile(path, kSampleRate, channels)) return false;
    const std::vector<sf::Int16> samples = track.interleaved(channels);
    file.write(samples.data(), samples.size());
    return true;
}

}  // namespace audio
