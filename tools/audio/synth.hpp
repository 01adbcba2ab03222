#pragma once

#include <SFML/Config.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace audio {

inline constexpr unsigned kSampleRate = 44100;  // Hz
inline constexpr double kTau = 6.283185307179586;

// A stereo float buffer. A looping track wraps whatever is written past its end back to
// its start, so ringing notes and echoes carry over the seam instead of being cut.
class Track {
public:
    Track(std::size_t frames, bool looping);

    std::size_t frames() const { return left_.size(); }
    bool looping() const { return looping_; }
    double seconds() const { return static_cast<double>(frames()) / kSampleRate; }

    void add(std::int64_t frame, float left, float right);
    // Adds a mono signal from `frame` on, panned by the two gains.
    void addPanned(std::int64_t frame, const std::vector<float>& signal, float leftGain,
                   float rightGain);
    void mix(const Track& other, float gain);
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

// A small deterministic generator, so every build makes the same sounds.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : state_(seed ? seed : 1u) {}
    std::uint32_t next();
    float uniform();  // 0..1
    float signedUnit() { return uniform() * 2.f - 1.f; }

private:
    std::uint32_t state_;
};

// How one instrument sounds: a two-operator FM tone under an envelope.
struct Voice {
    float attack;        // s
    float decay;         // s, time constant of the fall from the peak towards `sustain`
    float sustain;       // level, 0..1
    float release;       // s, time constant of the fade after the note ends
    float fmRatio;       // modulator frequency / carrier frequency
    float fmIndex;       // modulation depth at the start of the note, radians
    float fmIndexFloor;  // modulation depth it settles to
    float fmIndexDecay;  // s, time constant of that settling
    float octaveLevel;   // level of a plain sine an octave above, for air
    float vibratoDepth;  // fraction of the frequency
    float vibratoRate;   // Hz
    float detune;        // fraction; a second carrier this much sharp thickens the tone
};

struct Note {
    double start;      // s
    double duration;   // s, until the release begins
    double frequency;  // Hz
    float gain;
    float pan;  // -1 left .. +1 right
};

void renderNote(Track& track, const Voice& voice, const Note& note);
double midiToHz(double midiNote);

// Effects for looping tracks run the loop twice and keep the second pass, so their tails
// at the end feed into the start just as they will when the game loops the music.
void addEcho(Track& track, double delaySeconds, float feedback, float wet);
void addReverb(Track& track, float roomSize, float damping, float wet);

bool writeSound(const std::string& path, const Track& track, unsigned channels);

}  // namespace audio
