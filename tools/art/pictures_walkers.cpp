#include "art/pictures.hpp"

namespace art {

namespace {
void placeholderFigure(Cell& body, Cell& overlay, int frame) {
    const int ground = body.height() - 4;
    const float bob = frame % 2;
    Mask figure = body.blank().rect(13, ground - 12, 6, 12).disc(16, ground - 15 + bob, 5);
    body.paint(figure, ink::white);
    overlay.paint(overlay.blank().rect(14, ground - 10, 4, 4), ink::white);
}
}  // namespace

void drawPlayer(Cell& body, Cell& overlay, int frame) {
    placeholderFigure(body, overlay, frame);
}
void drawCharacter2(Cell& body, Cell& overlay, int frame) {
    placeholderFigure(body, overlay, frame);
}
void drawCharacter3(Cell& body, Cell& overlay, int frame) {
    placeholderFigure(body, overlay, frame);
}

}  // namespace art
