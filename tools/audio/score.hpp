#pragma once

#include <string>
#include <vector>

namespace audio {

inline constexpr int kBeatsPerBar = 3;

// One melody note; pitch is a MIDI note number, or -1 for a rest. Times are in beats.
struct ScoreNote {
    int pitch;
    double beat;
    double beats;
};

// Parses a melody written bar by bar, e.g. "A4:2 C5:1 | F5:3", where each note is a
// pitch (letter, optional # or b, octave) or "-" for a rest, and a length in beats.
// Throws std::invalid_argument when a bar does not hold exactly three beats.
std::vector<ScoreNote> parseMelody(const std::string& text);

// The notes of a chord such as "F", "Dm", "C7", "Bbmaj7" or "Gm7", as pitch classes
// (0 = C) starting with the root. Throws std::invalid_argument for an unknown chord.
std::vector<int> chordPitchClasses(const std::string& symbol);

// Splits "F | Dm | Bb" into one chord symbol per bar.
std::vector<std::string> parseChords(const std::string& text);

}  // namespace audio
