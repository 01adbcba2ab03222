#pragma once

#include <SFML/Config.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace audio {

inline constexpr unsigned kSampleRate = 44100;  // Hz

// A stereo float buffer. A looping track wraps whatever is written past its end back to
// its start, so ringing notes and echoes carry over the seam instead of being cut.
class Track {
public:
    Track(std::size_t frames, bool looping);

    std::size_t frames() const { return left_.size(); }
    bool looping() const { return looping_; }
    double seconds() const { return static_cast<double>(frames()) / kSampleRate; }

    void add(std::int64_t frame, float left, float right);
    float left(std::size_t frame) const { return left_[frame]; }
    float right(std::size_t frame) const { return right_[frame]; }
    std::vector<float>& leftChannel() { return left_; }
    std::vector<float>& rightChannel() { return right_; }

    float peak() const;
    // Scales the track so its loudest sample sits at `level` of full scale.
    void normalise(float level);
    std::vector<sf::Int16> interleaved(unsigned channels) const;

private:
    std::vector<float> left_;
    std::vector<float> right_;
    bool looping_;
};

bool writeSound(const std::string& path, const Track& track, unsigned channels);

}  // namespace audio
