#pragma once

#include <SFML/Graphics/Color.hpp>

// The hue circle red → yellow → green → blue → magenta → red, for h in [0, 1]; black below,
// white above.
sf::Color hueToColor(float h);
// v moved into [lo, hi] by whole turns of (hi - lo). Far-off values are folded in at once,
// and an infinite or NaN v gives lo.
float wrap(float v, float lo, float hi);
// Per channel a * (1 - t) + b * t, clamped and truncated; alpha 255.
sf::Color lerpColor(sf::Color a, sf::Color b, float t);
// Each channel c * keep + lift, clamped to [0, 255] and truncated; alpha 255. Pale tints for
// sprites and discs.
sf::Color liftColor(sf::Color c, float keep, float lift);
// A hue from one rand() draw, in steps of a thousandth from 0 to 0.999.
float randomHue();
