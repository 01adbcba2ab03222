// Writes a config.txt with the default settings, for packages that ship one beside the game.
#include "app/settings.hpp"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_config <config.txt>\n";
        return 2;
    }
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << writeSettings(Settings{});
    file.close();
    if (!file) {
        std::cerr << "make_config: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
