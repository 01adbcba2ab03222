// Renders the game's icon from the sprite sheet: make_icon <sprites.png> <size> <icon.png>
#include "art/icon.hpp"

#include <exception>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_icon <sprites.png> <size> <icon.png>\n";
        return 2;
    }
    sf::Image sheet;
    if (!sheet.loadFromFile(argv[1])) return 1;
    try {
        const sf::Image icon = art::drawIcon(sheet, static_cast<unsigned>(std::stoul(argv[2])));
        return icon.saveToFile(argv[3]) ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "make_icon: " << e.what() << "\n";
        return 1;
    }
}
