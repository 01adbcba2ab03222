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
constexpr float kReleaseTail = 4.f;  // release time constants rendered before a note stops
const double kTailFloor = std::exp(-static_cast<double>(kReleaseTail));

class Comb {
public:
    explicit Comb(std::size_t length) : buffer_(length, 0.f) {}
    float process(float in, float feedback, float damping) {
        const float out = buffer_[index_];
        filtered_ = out * (1.f - damping) + filtered_ * damping;
        buffer_[index_] = in + filtered_ * feedback;
        if (++index_ == buffer_.size()) index_ = 0;
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
        if (++index_ == buffer_.size()) index_ = 0;
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

// Keeps oscillator phases small, where sin() is quick and exact.
double wrapPhase(double phase) {
    return phase >= kTau ? phase - kTau : phase;
}

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

void Track::addPanned(std::int64_t frame, const std::vector<float>& signal, float leftGain,
                      float rightGain) {
    const auto length = static_cast<std::int64_t>(frames());
    if (length == 0) return;
    std::int64_t at = frame;
    if (looping_) {
        at %= length;
        if (at < 0) at += length;
    }
    for (float v : signal) {
        if (at >= length) {
            if (!looping_) return;
            at = 0;
        }
        if (at >= 0) {
            left_[static_cast<std::size_t>(at)] += v * leftGain;
            right_[static_cast<std::size_t>(at)] += v * rightGain;
        }
        ++at;
    }
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
    // The exponential curves advance by a constant factor per sample.
    const double decayStep = std::exp(-dt / v.decay);
    const double indexStep = std::exp(-dt / v.fmIndexDecay);
    const double releaseStep = std::exp(-dt / v.release);
    double fall = 1.0, indexFall = 1.0, fade = 1.0;
    double carrier = 0.0, second = 0.0, modulator = 0.0, octave = 0.0;
    double held = 0.0;
    std::vector<float> signal(static_cast<std::size_t>(samples));
    for (std::int64_t i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) * dt;
        double level;
        if (t < note.duration) {
            const double attack = v.attack > 0.f ? std::min(1.0, t / v.attack) : 1.0;
            if (t > v.attack) fall *= decayStep;
            level = attack * (v.sustain + (1.0 - v.sustain) * fall);
            held = level;
        } else {
            // Exponential fade, bent to reach exactly zero where rendering stops.
            fade *= releaseStep;
            level = held * std::max(0.0, (fade - kTailFloor) / (1.0 - kTailFloor));
        }
        double f = note.frequency;
        if (v.vibratoDepth > 0.f) {
            f *= 1.0 + v.vibratoDepth * std::sin(kTau * v.vibratoRate * t) * std::min(1.0, t * 2.0);
        }
        indexFall *= indexStep;
        const double index = v.fmIndexFloor + (v.fmIndex - v.fmIndexFloor) * indexFall;
        const double mod = index * std::sin(modulator);
        double s = std::sin(carrier + mod);
        if (v.detune > 0.f) {
            s = 0.5 * (s + std::sin(second + mod));
            second = wrapPhase(second + kTau * f * (1.0 + v.detune) * dt);
        }
        if (v.octaveLevel > 0.f) {
            s += v.octaveLevel * std::sin(octave);
            octave = wrapPhase(octave + kTau * 2.0 * f * dt);
        }
        carrier = wrapPhase(carrier + kTau * f * dt);
        modulator = wrapPhase(modulator + kTau * f * v.fmRatio * dt);
        signal[static_cast<std::size_t>(i)] = static_cast<float>(s * level);
    }
    track.addPanned(first, signal, leftGain, rightGain);
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
