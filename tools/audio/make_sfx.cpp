// Renders the sound effects as <name>.wav: make_sfx <output directory>
#include "audio/effects.hpp"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sfx <sfx directory>\n";
        return 2;
    }
    for (const audio::SoundEffect& effect : audio::renderSoundEffects()) {
        if (!audio::writeSound(std::string(argv[1]) + "/" + effect.name + ".wav", effect.sound, 1))
            return 1;
    }
    return 0;
}
