#pragma once

#include <SFML/Graphics/Image.hpp>

namespace art {

// The whole sprite sheet, every strip drawn into a transparent image.
sf::Image drawSheet();

}  // namespace art
