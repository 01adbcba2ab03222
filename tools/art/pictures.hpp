#pragma once

#include "art/canvas.hpp"

namespace art {

// Every picture draws one frame of its strip into the body cell and, for strips that have
// one, the second-colour overlay cell below it (for the others the overlay is scratch).
using Picture = void (*)(Cell& body, Cell& overlay, int frame);

void drawCursor(Cell& body, Cell& overlay, int frame);
void drawLandingDust(Cell& body, Cell& overlay, int frame);
void drawJumpDust(Cell& body, Cell& overlay, int frame);
void drawRunDust(Cell& body, Cell& overlay, int frame);
void drawBubble(Cell& body, Cell& overlay, int frame);

void drawPlayer(Cell& body, Cell& overlay, int frame);
void drawCharacter2(Cell& body, Cell& overlay, int frame);
void drawCharacter3(Cell& body, Cell& overlay, int frame);

void drawMushroom(Cell& body, Cell& overlay, int frame);
void drawSmallMushroom(Cell& body, Cell& overlay, int frame);
void drawRock(Cell& body, Cell& overlay, int frame);
void drawSmallRock(Cell& body, Cell& overlay, int frame);
void drawPineTree(Cell& body, Cell& overlay, int frame);
void drawAltar(Cell& body, Cell& overlay, int frame);
void drawOrb(Cell& body, Cell& overlay, int frame);

}  // namespace art
