// Draws the game's sprite sheet: make_sheet <output.png>
#include "art/sheet.hpp"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sheet <sprites.png>\n";
        return 2;
    }
    const sf::Image sheet = art::drawSheet();
    return sheet.saveToFile(argv[1]) ? 0 : 1;
}
