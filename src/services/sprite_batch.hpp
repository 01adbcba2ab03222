#pragma once

#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <cstddef>
#include <vector>

// Sprites bound for one render target, held back so that a run of them sharing a texture,
// blend mode and shader reaches the GPU as one draw. Each sprite's corners are placed on the
// CPU with the very transform the sprite would have been drawn with, so the pixels are the
// ones drawing it alone gives. Whoever draws anything else into the target, changes its view,
// clears or reads it must flush first.
class SpriteBatch {
public:
    explicit SpriteBatch(sf::RenderTarget* target = nullptr);

    // Queues the sprite as target.draw(sprite, states) would draw it; a sprite without a
    // texture draws nothing there and nothing here.
    void add(const sf::Sprite& sprite, const sf::RenderStates& states);
    // Sends the queued sprites to the target in the order they came.
    void flush();
    // Forgets the queued sprites: for a target that is going away.
    void discard();

    std::size_t pendingSprites() const;
    // How many draws the batch has sent to its target so far.
    int drawsSent() const { return draws; }

private:
    bool fits(const sf::Sprite& sprite, const sf::RenderStates& states) const;

    sf::RenderTarget* target;
    sf::RenderStates pending;
    std::vector<sf::Vertex> vertices;
    int draws = 0;
};
