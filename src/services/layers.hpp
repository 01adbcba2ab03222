#pragma once

#include "services/sprite_batch.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

#include <cstddef>
#include <vector>

// The render layers, each with the sprites still waiting to go into it. Handing a layer out
// sends its waiting sprites first, so whatever the caller then draws, clears, re-views or
// reads comes after them, as it would had every sprite been drawn on its own.
class Layers {
public:
    class iterator {
    public:
        iterator(Layers* layers, std::size_t index) : layers(layers), index(index) {}
        sf::RenderTexture* operator*() const { return (*layers)[index]; }
        iterator& operator++() {
            ++index;
            return *this;
        }
        bool operator!=(const iterator& other) const { return index != other.index; }

    private:
        Layers* layers;
        std::size_t index;
    };

    sf::RenderTexture* operator[](std::size_t layer);
    std::size_t size() const { return textures.size(); }
    // Looking at a layer's view sends nothing.
    const sf::View& viewOf(std::size_t layer) const { return textures[layer]->getView(); }
    iterator begin() { return {this, 0}; }
    iterator end() { return {this, textures.size()}; }

    // Queues a sprite for the layer, drawn as layer.draw(sprite, states) would draw it.
    void drawSprite(std::size_t layer, const sf::Sprite& sprite, const sf::RenderStates& states);
    void flush(std::size_t layer);
    void flushAll();
    const SpriteBatch& batch(std::size_t layer) const { return batches[layer]; }

    void add(sf::RenderTexture* texture);
    // Deletes the layers; sprites still waiting for them are dropped unseen.
    void release();

private:
    std::vector<sf::RenderTexture*> textures;
    std::vector<SpriteBatch> batches;
};
