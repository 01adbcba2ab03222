// Renders the background waltz: make_music <output.ogg>
#include "audio/waltz.hpp"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_music <Skywaltz.ogg>\n";
        return 2;
    }
    return audio::writeSound(argv[1], audio::renderWaltz(), 2) ? 0 : 1;
}
