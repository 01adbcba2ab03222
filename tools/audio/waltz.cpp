#include "audio/waltz.hpp"

#include <string>
#include <vector>

#include "audio/score.hpp"

namespace audio {
namespace {

constexpr double kBeat = 0.44;   // s per quarter note, about 136 beats a minute
constexpr double kLilt = 0.025;  // s the second beat comes early, as waltzes are played
// of full scale, after mixing: the effects are mastered to sound 3-6 dB over it, and
// three of them at their peaks over its own stay under full scale
constexpr float kPeakLevel = 0.24f;
constexpr std::uint32_t kSparkleSeed = 1771;

// Lowest MIDI notes of each part's register.
constexpr int kBassFloor = 40;     // E2
constexpr int kChordFloor = 55;    // G3
constexpr int kPadFloor = 62;      // D4
constexpr int kSparkleFloor = 84;  // C6

// Part levels and their places in the stereo field.
constexpr float kLeadGain = 0.30f;
constexpr float kLeadAccent = 1.15f;  // on the first beat of a bar
constexpr float kDoubleGain = 0.07f;  // the high doubling in the last section
constexpr float kBassGain = 0.55f;
constexpr float kChordGain = 0.16f;
constexpr float kPadGain = 0.055f;
constexpr float kSparkleGain = 0.055f;
constexpr float kSparkleChance = 0.55f;  // per bar, in the second and third sections
constexpr float kLeadPan = 0.1f;
constexpr float kChordPan = 0.35f;

constexpr double kEchoDelay = kBeat * 1.5;  // s, a dotted quarter
constexpr float kEchoFeedback = 0.32f;
constexpr float kEchoWet = 0.28f;
constexpr float kRoomSize = 0.88f;  // comb feedback: about 1.7 s to fade by 60 dB
constexpr float kRoomDamping = 0.3f;
constexpr float kRoomWet = 1.0f;

// Voices, each as: attack, decay, sustain, release (s, s, level, s); FM ratio, index,
// index floor, index decay (s); octave level; vibrato depth, rate (Hz); detune.
// A soft, slightly bell-like electric piano for the tune.
constexpr Voice kLead{0.012f, 1.4f,   0.35f, 0.35f,  //
                      1.f,    1.6f,   0.25f, 0.35f,  //
                      0.12f,  0.004f, 5.2f,  0.f};
// A round plucked bass for the "oom".
constexpr Voice kBass{0.006f, 0.45f, 0.1f, 0.15f,  //
                      1.f,    0.9f,  0.1f, 0.12f,  //
                      0.f,    0.f,   0.f,  0.f};
// Short muted chords for the "pah-pah".
constexpr Voice kChord{0.004f, 0.16f, 0.12f, 0.09f,  //
                       2.f,    1.1f,  0.1f,  0.07f,  //
                       0.f,    0.f,   0.f,   0.f};
// A slow, hazy pad that holds each bar's chord.
constexpr Voice kPad{0.6f, 2.0f,   0.75f, 0.5f,  //
                     1.f,  0.35f,  0.2f,  1.f,   //
                     0.f,  0.003f, 0.4f,  0.004f};
// Glassy bells, high up, for the starry twinkles and the doubling.
constexpr Voice kBell{0.002f, 0.5f, 0.f,  0.25f,  //
                      3.5f,   2.2f, 0.1f, 0.18f,  //
                      0.f,    0.f,  0.f,  0.f};

// F major. A: the theme; B: it wanders through D minor and G minor; A': the theme again,
// turning on its last bar back to the first.
const char* const kChordsA =
    "F | F | Dm | Dm | Bb | C | F | C7 | F | F | Am | Dm | Gm | C7 | F | F";
const char* const kMelodyA =
    "A4:2 C5:1 | F5:3 | E5:2 D5:1 | A4:3 | Bb4:2 D5:1 | G5:2 E5:1 | F5:2 C5:1 | Bb4:2 G4:1 |"
    "A4:2 C5:1 | A5:3 | G5:2 E5:1 | F5:2 D5:1 | D5:1 Bb4:1 G4:1 | C5:2 E5:1 | F5:3 | F5:2 -:1";
const char* const kChordsB =
    "Dm | Dm | Gm | Gm | C | C7 | F | F | Bb | Bb | F | Dm | Gm | C | C7 | C7";
const char* const kMelodyB =
    "D5:2 E5:1 | F5:2 A5:1 | G5:3 | Bb4:2 D5:1 | E5:2 G5:1 | Bb5:2 G5:1 | A5:3 |"
    "F5:1 E5:0.5 D5:0.5 C5:1 | D5:2 F5:1 | Bb5:2 A5:1 | A5:2 F5:1 | D5:2 F5:1 | G5:2 D5:1 |"
    "E5:2 C5:1 | G5:1 E5:1 C5:1 | Bb4:2 C5:1";
const char* const kChordsA2 =
    "F | F | Dm | Dm | Bb | C | F | C7 | F | F | Am | Dm | Gm | C7 | F | C7";
const char* const kMelodyA2 =
    "A4:2 C5:1 | F5:3 | E5:2 D5:1 | A4:3 | Bb4:2 D5:1 | G5:2 E5:1 | F5:2 C5:1 | Bb4:2 G4:1 |"
    "A4:2 C5:1 | A5:3 | G5:2 E5:1 | F5:2 D5:1 | D5:1 Bb4:1 G4:1 | C5:2 E5:1 | F5:3 | C5:2 Bb4:1";

// The lowest note of pitch class `pc` at or above `floor`.
int placeAbove(int pc, int floor) {
    int note = floor;
    while (note % 12 != pc) ++note;
    return note;
}

double beatTime(double beat) {
    return beat * kBeat;
}

void playMelody(Track& lead, const std::vector<ScoreNote>& melody, double firstBeat, bool doubled) {
    for (const ScoreNote& n : melody) {
        if (n.pitch < 0) continue;
        const double beat = firstBeat + n.beat;
        const bool downbeat = static_cast<int>(n.beat) % kBeatsPerBar == 0;
        const float gain = kLeadGain * (downbeat ? kLeadAccent : 1.f);
        const Note note{beatTime(beat), beatTime(n.beats) * 0.92, midiToHz(n.pitch), gain,
                        kLeadPan};
        renderNote(lead, kLead, note);
        if (doubled) {
            renderNote(lead, kBell,
                       {note.start, note.duration, midiToHz(n.pitch + 12), kDoubleGain, -0.3f});
        }
    }
}

// Oom on the first beat, pah-pah on the second and third; the bass alternates between
// root and fifth when a chord lasts more than one bar.
void playAccompaniment(Track& track, const std::vector<std::string>& chords, double firstBeat) {
    for (std::size_t bar = 0; bar < chords.size(); ++bar) {
        const std::vector<int> pcs = chordPitchClasses(chords[bar]);
        const bool repeated = bar > 0 && chords[bar] == chords[bar - 1];
        const int bassPc = repeated ? (pcs[0] + 7) % 12 : pcs[0];
        const double barBeat = firstBeat + static_cast<double>(bar) * kBeatsPerBar;
        renderNote(track, kBass,
                   {beatTime(barBeat), beatTime(0.9), midiToHz(placeAbove(bassPc, kBassFloor)),
                    kBassGain, 0.f});
        for (int beat = 1; beat < kBeatsPerBar; ++beat) {
            const double start = beatTime(barBeat + beat) - (beat == 1 ? kLilt : 0.0);
            for (std::size_t i = 0; i < pcs.size(); ++i) {
                const float pan = kChordPan * (beat == 1 ? -1.f : 1.f);
                renderNote(track, kChord,
                           {start, beatTime(0.45), midiToHz(placeAbove(pcs[i], kChordFloor)),
                            kChordGain, pan});
            }
        }
    }
}

void playPad(Track& track, const std::vector<std::string>& chords, double firstBeat) {
    for (std::size_t bar = 0; bar < chords.size(); ++bar) {
        const std::vector<int> pcs = chordPitchClasses(chords[bar]);
        const double start = beatTime(firstBeat + static_cast<double>(bar) * kBeatsPerBar);
        for (std::size_t i = 0; i < pcs.size(); ++i) {
            const float pan = -0.6f + 1.2f * static_cast<float>(i) / static_cast<float>(pcs.size());
            renderNote(track, kPad,
                       {start, beatTime(kBeatsPerBar), midiToHz(placeAbove(pcs[i], kPadFloor)),
                        kPadGain, pan});
        }
    }
}

void playTwinkles(Track& track, const std::vector<std::string>& chords, double firstBeat,
                  Rng& rng) {
    for (std::size_t bar = 0; bar < chords.size(); ++bar) {
        if (rng.uniform() > kSparkleChance) continue;
        const std::vector<int> pcs = chordPitchClasses(chords[bar]);
        const int pc = pcs[rng.next() % pcs.size()];
        const double eighth = static_cast<double>(rng.next() % (kBeatsPerBar * 2)) * 0.5;
        const double beat = firstBeat + static_cast<double>(bar) * kBeatsPerBar + eighth;
        const int octaveUp = static_cast<int>(rng.next() % 2) * 12;
        renderNote(
            track, kBell,
            {beatTime(beat), beatTime(0.5), midiToHz(placeAbove(pc, kSparkleFloor) + octaveUp),
             kSparkleGain, rng.signedUnit() * 0.7f});
    }
}

}  // namespace

const std::vector<WaltzSection>& waltzSections() {
    static const std::vector<WaltzSection> sections = {
        {kChordsA, kMelodyA, false, false},
        {kChordsB, kMelodyB, true, false},
        {kChordsA2, kMelodyA2, true, true},
    };
    return sections;
}

double waltzSeconds() {
    int bars = 0;
    for (const WaltzSection& section : waltzSections())
        bars += static_cast<int>(parseChords(section.chords).size());
    return beatTime(static_cast<double>(bars) * kBeatsPerBar);
}

Track renderWaltz() {
    const auto frames = static_cast<std::size_t>(waltzSeconds() * kSampleRate + 0.5);
    Track band(frames, true);
    Track lead(frames, true);
    Rng rng(kSparkleSeed);
    double firstBeat = 0.0;
    for (const WaltzSection& section : waltzSections()) {
        const std::vector<std::string> chords = parseChords(section.chords);
        const std::vector<ScoreNote> melody = parseMelody(section.melody);
        playAccompaniment(band, chords, firstBeat);
        playPad(band, chords, firstBeat);
        playMelody(lead, melody, firstBeat, section.doubled);
        if (section.twinkles) playTwinkles(lead, chords, firstBeat, rng);
        firstBeat += static_cast<double>(chords.size()) * kBeatsPerBar;
    }
    addEcho(lead, kEchoDelay, kEchoFeedback, kEchoWet);
    band.mix(lead, 1.f);
    addReverb(band, kRoomSize, kRoomDamping, kRoomWet);
    band.normalise(kPeakLevel);
    return band;
}

}  // namespace audio
