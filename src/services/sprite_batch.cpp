#include "services/sprite_batch.hpp"

#include <SFML/Graphics/PrimitiveType.hpp>
#include <SFML/Graphics/Transform.hpp>

namespace {
// A sprite is a triangle strip of four corners; as two separate triangles it takes six
// vertices, the same two triangles the strip makes.
constexpr std::size_t verticesPerSprite = 6;
constexpr std::size_t stripOrder[verticesPerSprite] = {0, 1, 2, 2, 1, 3};
constexpr std::size_t reservedSprites = 512;  // a busy screen's worth, so frames rarely grow it
}  // namespace

SpriteBatch::SpriteBatch(sf::RenderTarget* t) : target(t) {
    vertices.reserve(reservedSprites * verticesPerSprite);
}

bool SpriteBatch::fits(const sf::Sprite& sprite, const sf::RenderStates& states) const {
    return vertices.empty() ||
           (sprite.getTexture() == pending.texture && states.shader == pending.shader &&
            states.blendMode == pending.blendMode);
}

void SpriteBatch::add(const sf::Sprite& sprite, const sf::RenderStates& states) {
    if (sprite.getTexture() == nullptr || target == nullptr) return;
    if (!fits(sprite, states)) flush();
    if (vertices.empty()) {
        pending = sf::RenderStates(states.blendMode, sf::Transform::Identity, sprite.getTexture(),
                                   states.shader);
    }
    // As sf::Sprite lays out its corners and texture coordinates.
    const sf::FloatRect bounds = sprite.getLocalBounds();
    const sf::IntRect rect = sprite.getTextureRect();
    const float left = static_cast<float>(rect.left);
    const float top = static_cast<float>(rect.top);
    const float right = left + static_cast<float>(rect.width);
    const float bottom = top + static_cast<float>(rect.height);
    const sf::Vector2f corners[4] = {
        {0.f, 0.f}, {0.f, bounds.height}, {bounds.width, 0.f}, {bounds.width, bounds.height}};
    const sf::Vector2f texCoords[4] = {{left, top}, {left, bottom}, {right, top}, {right, bottom}};
    const sf::Transform transform = states.transform * sprite.getTransform();
    const sf::Color color = sprite.getColor();
    for (std::size_t corner : stripOrder)
        vertices.emplace_back(transform.transformPoint(corners[corner]), color, texCoords[corner]);
}

void SpriteBatch::flush() {
    if (vertices.empty()) return;
    target->draw(vertices.data(), vertices.size(), sf::Triangles, pending);
    ++draws;
    vertices.clear();
}

void SpriteBatch::discard() {
    vertices.clear();
}

std::size_t SpriteBatch::pendingSprites() const {
    return vertices.size() / verticesPerSprite;
}
