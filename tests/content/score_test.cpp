#include "audio/score.hpp"
#include "audio/waltz.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using audio::chordPitchClasses;
using audio::parseChords;
using audio::parseMelody;

TEST(Melody, NotesFollowEachOtherAcrossBars) {
    const auto notes = parseMelody("A4:2 C5:1 | F#5:1.5 Bb4:0.5 -:1");
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_EQ(notes[0].pitch, 69);  // A4 is 440 Hz
    EXPECT_EQ(notes[1].pitch, 72);
    EXPECT_EQ(notes[2].pitch, 78);
    EXPECT_EQ(notes[3].pitch, 70);
    EXPECT_EQ(notes[4].pitch, -1);
    EXPECT_DOUBLE_EQ(notes[1].beat, 2.0);
    EXPECT_DOUBLE_EQ(notes[2].beat, 3.0);
    EXPECT_DOUBLE_EQ(notes[3].beat, 4.5);
    EXPECT_DOUBLE_EQ(notes[4].beat, 5.0);
    EXPECT_DOUBLE_EQ(notes[4].beats, 1.0);
}

TEST(Melody, RejectsBarsThatAreNotThreeBeats) {
    EXPECT_THROW(parseMelody("A4:2 | F5:3"), std::invalid_argument);
    EXPECT_THROW(parseMelody("A4:2 C5:2"), std::invalid_argument);
}

TEST(Melody, RejectsMalformedNotes) {
    EXPECT_THROW(parseMelody("H4:3"), std::invalid_argument);
    EXPECT_THROW(parseMelody("A:3"), std::invalid_argument);
    EXPECT_THROW(parseMelody("A4 C5:2"), std::invalid_argument);
}

TEST(Chords, SpellTheirPitchClassesFromTheRoot) {
    EXPECT_EQ(chordPitchClasses("F"), (std::vector<int>{5, 9, 0}));
    EXPECT_EQ(chordPitchClasses("Dm"), (std::vector<int>{2, 5, 9}));
    EXPECT_EQ(chordPitchClasses("C7"), (std::vector<int>{0, 4, 7, 10}));
    EXPECT_EQ(chordPitchClasses("Bbmaj7"), (std::vector<int>{10, 2, 5, 9}));
    EXPECT_EQ(chordPitchClasses("F#m7"), (std::vector<int>{6, 9, 1, 4}));
}

TEST(Chords, OnePerBarAndUnknownOnesRejected) {
    EXPECT_EQ(parseChords("F | Dm |Bb"), (std::vector<std::string>{"F", "Dm", "Bb"}));
    EXPECT_THROW(parseChords("F | Cdim9"), std::invalid_argument);
    EXPECT_THROW(parseChords("F | | C"), std::invalid_argument);
}

}  // namespace

namespace {

TEST(Waltz, EverySectionHasOneMelodyBarPerChordAndTheWholeLastsOverAMinute) {
    int bars = 0;
    for (const audio::WaltzSection& section : audio::waltzSections()) {
        const auto chords = parseChords(section.chords);
        const auto melody = parseMelody(section.melody);
        ASSERT_FALSE(melody.empty());
        const auto& last = melody.back();
        EXPECT_DOUBLE_EQ(last.beat + last.beats, 3.0 * static_cast<double>(chords.size()));
        bars += static_cast<int>(chords.size());
    }
    EXPECT_DOUBLE_EQ(audio::waltzSeconds(), bars * 3 * 0.44);
    EXPECT_GE(audio::waltzSeconds(), 60.0);
}

// The loop goes from the last bar straight back to the first, so it should end on the
// dominant of the key the first bar is in.
TEST(Waltz, LastChordLeadsBackToTheFirst) {
    const auto& sections = audio::waltzSections();
    const auto first = parseChords(sections.front().chords).front();
    const auto last = parseChords(sections.back().chords).back();
    const int tonic = chordPitchClasses(first)[0];
    EXPECT_EQ(chordPitchClasses(last)[0], (tonic + 7) % 12);
}

}  // namespace
