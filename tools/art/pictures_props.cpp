#include "art/pictures.hpp"

namespace art {

namespace {
void placeholderProp(Cell& body, Cell& overlay, float radius) {
    const float ground = static_cast<float>(body.height() - 3);
    body.paint(body.blank().disc(body.width() * 0.5f, ground - radius, radius), ink::white);
    overlay.paint(overlay.blank().disc(body.width() * 0.5f, ground - radius, radius * 0.5f),
                  ink::white);
}
}  // namespace

void drawMushroom(Cell& body, Cell& overlay, int) {
    placeholderProp(body, overlay, 8);
}
void drawSmallMushroom(Cell& body, Cell& overlay, int) {
    placeholderProp(body, overlay, 4);
}
void drawRock(Cell& body, Cell& overlay, int) {
    placeholderProp(body, overlay, 9);
}
void drawSmallRock(Cell& body, Cell& overlay, int) {
    placeholderProp(body, overlay, 4);
}
void drawPineTree(Cell& body, Cell& overlay, int) {
    placeholderProp(body, overlay, 12);
}
void drawAltar(Cell& body, Cell& overlay, int) {
    placeholderProp(body, overlay, 10);
}
void drawOrb(Cell& body, Cell& overlay, int) {
    placeholderProp(body, overlay, 7);
}

}  // namespace art
