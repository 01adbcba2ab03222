#pragma once

#include "services/resources.hpp"

#include <SFML/Graphics/Image.hpp>

// Agents draw into the layer textures of Resources; these let a test see what landed there.

// Replaces the sprite sheet by an all-white one, so every cell draws visible pixels.
inline void useWhiteSheet(Resources& resources) {
    sf::Image white;
    white.create(512, 512, sf::Color::White);
    resources.textures.clear();
    resources.textures.emplace_back();
    resources.textures.back().loadFromImage(white);
}

// Empties a layer and makes it show the window-sized area from (0, 0), whatever the world view.
inline void clearLayer(Resources& resources, int layer) {
    sf::RenderTexture& texture = *resources.layers[static_cast<size_t>(layer)];
    texture.setView(texture.getDefaultView());
    texture.clear(sf::Color::Transparent);
}

inline int paintedPixels(Resources& resources, int layer) {
    sf::RenderTexture& texture = *resources.layers[static_cast<size_t>(layer)];
    texture.display();
    const sf::Image image = texture.getTexture().copyToImage();
    int painted = 0;
    for (unsigned y = 0; y < image.getSize().y; ++y)
        for (unsigned x = 0; x < image.getSize().x; ++x)
            if (image.getPixel(x, y).a > 0) ++painted;
    return painted;
}
