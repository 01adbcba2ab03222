#pragma once

#include <SFML/Graphics/Image.hpp>

namespace art {

// The game's icon: the player's idle figure from the sprite sheet standing on the arc of a
// planet against a round patch of night sky. `size` is a multiple of 32 px; the figure is
// drawn at size / 32 screen pixels per sheet pixel, so it stays crisp at every size.
sf::Image drawIcon(const sf::Image& sheet, unsigned size);

}  // namespace art
