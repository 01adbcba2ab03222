#pragma once

#include <vector>

#include "audio/synth.hpp"

namespace audio {

// One section of the score: chord symbols and melody, bar by bar.
struct WaltzSection {
    const char* chords;
    const char* melody;
    bool twinkles;  // high bells now and then
    bool doubled;   // the tune doubled an octave up
};

const std::vector<WaltzSection>& waltzSections();

// Length of one pass through the waltz, s.
double waltzSeconds();
// The game's background waltz as a seamless loop, mixed and normalised.
Track renderWaltz();

}  // namespace audio
