#include "art/pictures.hpp"

namespace art {

void drawCursor(Cell& body, Cell&, int) {
    body.paint(body.blank().disc(16, 16, 5), ink::white);
}

void drawLandingDust(Cell& body, Cell&, int frame) {
    body.paint(body.blank().disc(16 - 2 * frame, 26, 3).disc(16 + 2 * frame, 26, 3), ink::white);
}

void drawJumpDust(Cell& body, Cell&, int frame) {
    body.paint(body.blank().disc(16, 24 - frame, 3), ink::white);
}

void drawRunDust(Cell& body, Cell&, int frame) {
    body.paint(body.blank().disc(14 - frame, 11, 2.5f), ink::white);
}

void drawBubble(Cell& body, Cell&, int) {
    Mask rim = body.blank().disc(32, 32, 28);
    rim.remove(body.blank().disc(32, 32, 26));
    body.fill(rim, ink::white);
}

}  // namespace art
