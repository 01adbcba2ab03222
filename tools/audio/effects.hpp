#pragma once

#include "audio/synth.hpp"

#include <string>
#include <vector>

namespace audio {

struct SoundEffect {
    std::string name;
    Track sound;
};

// The short sounds the game plays by name.
std::vector<SoundEffect> renderSoundEffects();

}  // namespace audio
