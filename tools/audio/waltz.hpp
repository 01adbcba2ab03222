#pragma once

#include "audio/synth.hpp"

namespace audio {

// Length of one pass through the waltz, s.
double waltzSeconds();
// The game's background waltz as a seamless loop, mixed and normalised.
Track renderWaltz();

}  // namespace audio
