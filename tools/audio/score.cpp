#include "audio/score.hpp"

#include <cmath>
#include <map>
#include <sstream>
#include <stdexcept>

namespace audio {
namespace {

int pitchClassOf(const std::string& name, std::size_t& used) {
    static const std::map<char, int> letters = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                                {'G', 7}, {'A', 9}, {'B', 11}};
    if (name.empty() || letters.count(name[0]) == 0)
        throw std::invalid_argument("not a note name: " + name);
    int pc = letters.at(name[0]);
    used = 1;
    if (name.size() > 1 && name[1] == '#') {
        pc += 1;
        used = 2;
    } else if (name.size() > 1 && name[1] == 'b') {
        pc -= 1;
        used = 2;
    }
    return (pc + 12) % 12;
}

int parsePitch(const std::string& name) {
    if (name == "-") return -1;
    std::size_t used = 0;
    const int pc = pitchClassOf(name, used);
    const std::string octave = name.substr(used);
    if (octave.size() != 1 || octave[0] < '0' || octave[0] > '9')
        throw std::invalid_argument("note needs an octave: " + name);
    // MIDI: C4 = 60. Flats and sharps across the octave line (Cb, B#) are not used.
    return (octave[0] - '0' + 1) * 12 + pc;
}

std::vector<std::string> splitBars(const std::string& text) {
    std::vector<std::string> bars;
    std::stringstream in(text);
    std::string bar;
    while (std::getline(in, bar, '|')) bars.push_back(bar);
    return bars;
}

}  // namespace

std::vector<ScoreNote> parseMelody(const std::string& text) {
    std::vector<ScoreNote> notes;
    double barStart = 0.0;
    int barNumber = 1;
    for (const std::string& bar : splitBars(text)) {
        std::stringstream tokens(bar);
        std::string token;
        double beat = 0.0;
        while (tokens >> token) {
            const std::size_t colon = token.find(':');
            if (colon == std::string::npos)
                throw std::invalid_argument("note needs a length: " + token);
            const double beats = std::stod(token.substr(colon + 1));
            notes.push_back({parsePitch(token.substr(0, colon)), barStart + beat, beats});
            beat += beats;
        }
        if (std::fabs(beat - kBeatsPerBar) > 1e-9)
            throw std::invalid_argument("bar " + std::to_string(barNumber) + " holds " +
                                        std::to_string(beat) + " beats");
        barStart += kBeatsPerBar;
        ++barNumber;
    }
    return notes;
}

std::vector<int> chordPitchClasses(const std::string& symbol) {
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},       {"m", {0, 3, 7}},        {"7", {0, 4, 7, 10}},
        {"m7", {0, 3, 7, 10}}, {"maj7", {0, 4, 7, 11}}, {"sus4", {0, 5, 7}},
    };
    std::size_t used = 0;
    const int root = pitchClassOf(symbol, used);
    const auto quality = qualities.find(symbol.substr(used));
    if (quality == qualities.end()) throw std::invalid_argument("unknown chord: " + symbol);
    std::vector<int> pcs;
    for (int interval : quality->second) pcs.push_back((root + interval) % 12);
    return pcs;
}

std::vector<std::string> parseChords(const std::string& text) {
    std::vector<std::string> chords;
    for (const std::string& bar : splitBars(text)) {
        std::stringstream tokens(bar);
        std::string symbol;
        if (!(tokens >> symbol)) throw std::invalid_argument("empty chord bar");
        chordPitchClasses(symbol);
        chords.push_back(symbol);
    }
    return chords;
}

}  // namespace audio
