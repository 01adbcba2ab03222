#pragma once

#include "audio/synth.hpp"

namespace audio {

// The game's looping background waltz, mixed and normalised.
Track renderWaltz();

}  // namespace audio
