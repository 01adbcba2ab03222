#pragma once

#include "services/layers.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <memory>

// Puts the layers onto the window, the picture being the one that clearing the window to
// black and drawing every layer over the whole window in index order gives, for less:
// - layers not used this frame are skipped, and of the others only the painted part is
//   blended;
// - a layer that is one opaque colour hides the ones below and replaces the window's clear;
// - when the window shows the layers at another size (fullscreen stretches the configured
//   resolution over the desktop), they are composited at their own size into one picture,
//   which alone is stretched onto the window. Nothing is smoothed, so every window pixel
//   shows the same texel of each layer as it would with the layers drawn one by one.
class Compositor {
public:
    void present(Layers& layers, sf::RenderWindow& window);
    // Lets go of the picture; a later present makes it again.
    void release() { picture.reset(); }

private:
    static void composite(Layers& layers, std::size_t first, sf::RenderTarget& target);
    sf::RenderTexture& pictureOfSize(sf::Vector2u size);

    std::unique_ptr<sf::RenderTexture> picture;
};
