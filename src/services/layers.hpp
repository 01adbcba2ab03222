#pragma once

#include "services/sprite_batch.hpp"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

#include <cstddef>
#include <vector>

// The part of the world a view shows, as if it were not turned.
sf::FloatRect visibleArea(const sf::View& view);

// The render layers, each with the sprites still waiting to go into it. Handing a layer out
// sends its waiting sprites first, so whatever the caller then draws, clears, re-views or
// reads comes after them, as it would had every sprite been drawn on its own.
//
// Each layer also knows which of its pixels anything has been drawn on since it was last
// wiped, and whether it was used in this frame at all, so that only that part of it is wiped
// and composited. A frame starts with beginFrame: what the layers hold then is the last
// frame's picture, wiped from each layer when it is first used again.
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

    // Hands the layer out; whoever takes it may draw anywhere on it. So this is not a plain
    // look-up: it first sends the layer's waiting sprites, readies the layer as prepare does
    // (wiping the last frame's picture, or laying down a backdrop's colour) and marks the
    // whole layer as painted. To look without drawing use viewOf, texture or batch.
    sf::RenderTexture* operator[](std::size_t layer);
    std::size_t size() const { return textures.size(); }
    // Looking at a layer's view sends nothing.
    const sf::View& viewOf(std::size_t layer) const { return textures[layer]->getView(); }
    iterator begin() { return {this, 0}; }
    iterator end() { return {this, textures.size()}; }

    // Queues a sprite for the layer, drawn as layer.draw(sprite, states) would draw it.
    void drawSprite(std::size_t layer, const sf::Sprite& sprite, const sf::RenderStates& states);
    // Draws into the layer something that lies wholly inside `worldBounds` (before `states`).
    void draw(std::size_t layer, const sf::Drawable& drawable, const sf::FloatRect& worldBounds,
              const sf::RenderStates& states = sf::RenderStates::Default);
    // Draws a rectangle into the layer as layer.draw(backdrop) would. One that covers the
    // layer's whole view in one opaque colour leaves the layer that colour, which the
    // compositor lays down without going through the layer's texture.
    void drawBackdrop(std::size_t layer, const sf::RectangleShape& backdrop);
    void setView(std::size_t layer, const sf::View& view);
    void flush(std::size_t layer);
    void flushAll();
    const SpriteBatch& batch(std::size_t layer) const { return batches[layer]; }

    void beginFrame();
    // Whether the layer has been used since the frame began.
    bool shows(std::size_t layer) const { return !marks[layer].stale; }
    // The part of the layer, in its pixels from the top left, that may hold anything.
    const sf::IntRect& paintedArea(std::size_t layer) const { return marks[layer].painted; }
    // Whether the layer is one opaque colour, the backdrop's, which its texture does not hold.
    bool isSolid(std::size_t layer) const { return marks[layer].solid; }
    sf::Color solidColour(std::size_t layer) const { return marks[layer].colour; }
    // The layer's picture, upside down (layers are never display()ed), for the compositor.
    const sf::Texture& texture(std::size_t layer) const { return textures[layer]->getTexture(); }

    void add(sf::RenderTexture* texture);
    // Deletes the layers; sprites still waiting for them are dropped unseen.
    void release();

private:
    struct Marks {
        sf::IntRect painted;
        bool stale = true;
        bool solid = false;
        sf::Color colour;
    };

    // Readies the layer for drawing: wipes the last frame's picture, or puts the backdrop's
    // colour into the texture before anything goes on top of it.
    void prepare(std::size_t layer);
    void wipe(std::size_t layer);
    void paint(std::size_t layer, const sf::FloatRect& worldBounds);
    bool coversView(std::size_t layer, const sf::RectangleShape& backdrop) const;
    sf::IntRect whole(std::size_t layer) const;

    std::vector<sf::RenderTexture*> textures;
    std::vector<SpriteBatch> batches;
    std::vector<Marks> marks;
};
