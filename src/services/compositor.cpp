#include "services/compositor.hpp"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Vertex.hpp>

namespace {
// Whether a picture of `size` drawn at (0, 0) through the window's view covers the window.
bool coversWindow(const sf::RenderWindow& window, sf::Vector2u size) {
    const sf::View& view = window.getView();
    const sf::Vector2f extent(static_cast<float>(size.x), static_cast<float>(size.y));
    return view.getSize() == extent && view.getCenter() == extent / 2.f &&
           view.getRotation() == 0.f && view.getViewport() == sf::FloatRect(0.f, 0.f, 1.f, 1.f);
}

// Whether it also puts each of its pixels on one pixel of the window.
bool showsOneToOne(const sf::RenderWindow& window, sf::Vector2u size) {
    return window.getSize() == size && coversWindow(window, size);
}
}  // namespace

void Compositor::present(Layers& layers, sf::RenderWindow& window) {
    if (layers.size() == 0) return;
    layers.flushAll();
    // The topmost layer of one opaque colour hides all below it.
    std::size_t first = 0;
    sf::Color base = sf::Color::Black;
    for (std::size_t i = 0; i < layers.size(); ++i) {
        if (layers.shows(i) && layers.isSolid(i)) {
            first = i + 1;
            base = layers.solidColour(i);
        }
    }
    const sf::Vector2u size = layers.texture(0).getSize();
    if (showsOneToOne(window, size)) {
        window.clear(base);
        composite(layers, first, window);
        return;
    }
    sf::RenderTexture& target = pictureOfSize(size);
    target.clear(base);
    composite(layers, first, target);
    if (!coversWindow(window, size)) window.clear(sf::Color::Black);
    // The picture is opaque throughout, so it replaces what the window held.
    sf::Sprite stretched(target.getTexture());
    stretched.setScale(1.f, -1.f);
    stretched.setOrigin(0.f, static_cast<float>(size.y));
    window.draw(stretched, sf::RenderStates(sf::BlendNone));
}

void Compositor::composite(Layers& layers, std::size_t first, sf::RenderTarget& target) {
    for (std::size_t i = first; i < layers.size(); ++i) {
        const sf::IntRect& area = layers.paintedArea(i);
        if (!layers.shows(i) || area.width <= 0 || area.height <= 0) continue;
        const sf::Texture& texture = layers.texture(i);
        const float height = static_cast<float>(texture.getSize().y);
        const float left = static_cast<float>(area.left);
        const float right = left + static_cast<float>(area.width);
        const float top = static_cast<float>(area.top);
        const float bottom = top + static_cast<float>(area.height);
        // The layer's rows are stored bottom up.
        const sf::Vertex corners[4] = {
            sf::Vertex({left, top}, sf::Vector2f(left, height - top)),
            sf::Vertex({right, top}, sf::Vector2f(right, height - top)),
            sf::Vertex({left, bottom}, sf::Vector2f(left, height - bottom)),
            sf::Vertex({right, bottom}, sf::Vector2f(right, height - bottom))};
        const sf::RenderStates blended(sf::BlendAlpha, sf::Transform::Identity, &texture, nullptr);
        target.draw(corners, 4, sf::TriangleStrip, blended);
    }
}

sf::RenderTexture& Compositor::pictureOfSize(sf::Vector2u size) {
    if (!picture || picture->getSize() != size) {
        picture = std::make_unique<sf::RenderTexture>();
        picture->create(size.x, size.y);
    }
    return *picture;
}
