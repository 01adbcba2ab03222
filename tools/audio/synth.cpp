#include "audio/synth.hpp"

#include <SFML/Audio/OutputSoundFile.hpp>

#include <algorithm>
#include <cmath>

namespace audio {

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

bool writeSound(const std::string& path, const Track& track, unsigned channels) {
    sf::OutputSoundFile file;
    if (!file.openFromFile(path, kSampleRate, channels)) return false;
    const std::vector<sf::Int16> samples = track.interleaved(channels);
    file.write(samples.data(), samples.size());
    return true;
}

}  // namespace audio
