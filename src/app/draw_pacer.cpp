#include "app/draw_pacer.hpp"

namespace {
// The longest an unfocused game leaves its picture alone; 2 pictures a second instead of 60.
const sf::Time stillRedrawInterval = sf::milliseconds(500);
}  // namespace

bool DrawPacer::Shown::operator==(const Shown& other) const {
    return focused == other.focused && windowSize == other.windowSize && window == other.window;
}

bool DrawPacer::due(const Shown& now, sf::Time elapsed) {
    sinceDrawn += elapsed;
    const bool still = drawnOnce && !now.focused && now == drawn;
    if (still && sinceDrawn < stillRedrawInterval) return false;
    drawn = now;
    drawnOnce = true;
    sinceDrawn = sf::Time::Zero;
    return true;
}
