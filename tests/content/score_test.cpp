#include "audio/score.hpp"

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
