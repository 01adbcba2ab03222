#pragma once

#include <SFML/Graphics/Color.hpp>

namespace art {

// Pale tints made the way the game makes a walker's two colours from a hue
// (channel x 0.66 + 80), for pictures that show sprites as the game draws them.
inline const sf::Color kBodyTint{248, 164, 80};
inline const sf::Color kOverlayTint{80, 164, 248};

// A texel multiplied by a tint, as the game tints a sprite; `opacity` scales its alpha.
sf::Color multiply(sf::Color texel, sf::Color tint, float opacity = 1.f);
// Straight-alpha "over": `top` laid on `below`, which may itself be partly transparent.
sf::Color over(sf::Color top, sf::Color below);

}  // namespace art
