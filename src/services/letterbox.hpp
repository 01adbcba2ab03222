#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

// Where the picture of the configured resolution shows in a window of any size: scaled by one
// factor on both axes, as large as fits, centred, so planets stay round. A window of the
// picture's own shape is covered exactly; the rest of any other is left black.
struct Letterbox {
    Letterbox(sf::Vector2u window, sf::Vector2u picture);

    // The picture's part of the window, as sf::View::setViewport takes it.
    sf::FloatRect viewport() const;
    // The picture's point shown at a window pixel; beyond its edges in the black margins.
    sf::Vector2f toPicture(sf::Vector2i pixel) const;

    // In window pixels, whole ones.
    sf::IntRect area;
    sf::Vector2u window;
    sf::Vector2u picture;
};
