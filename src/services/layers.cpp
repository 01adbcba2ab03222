#include "services/layers.hpp"

sf::RenderTexture* Layers::operator[](std::size_t layer) {
    batches[layer].flush();
    return textures[layer];
}

void Layers::drawSprite(std::size_t layer, const sf::Sprite& sprite,
                        const sf::RenderStates& states) {
    batches[layer].add(sprite, states);
}

void Layers::flush(std::size_t layer) {
    batches[layer].flush();
}

void Layers::flushAll() {
    for (SpriteBatch& batch : batches) batch.flush();
}

void Layers::add(sf::RenderTexture* texture) {
    textures.push_back(texture);
    batches.emplace_back(texture);
}

void Layers::release() {
    for (SpriteBatch& batch : batches) batch.discard();
    batches.clear();
    for (sf::RenderTexture* texture : textures) delete texture;
    textures.clear();
}
