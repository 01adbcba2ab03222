#include "services/layers.hpp"

#include <SFML/Graphics/Vertex.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// px added around what is drawn, so rounding never leaves a painted pixel outside the area
constexpr float areaMargin = 1.f;

sf::IntRect unite(const sf::IntRect& a, const sf::IntRect& b) {
    if (a.width <= 0 || a.height <= 0) return b;
    if (b.width <= 0 || b.height <= 0) return a;
    const int left = std::min(a.left, b.left);
    const int top = std::min(a.top, b.top);
    const int right = std::max(a.left + a.width, b.left + b.width);
    const int bottom = std::max(a.top + a.height, b.top + b.height);
    return {left, top, right - left, bottom - top};
}

bool contains(const sf::FloatRect& outer, const sf::FloatRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top &&
           outer.left + outer.width >= inner.left + inner.width &&
           outer.top + outer.height >= inner.top + inner.height;
}
}  // namespace

sf::FloatRect visibleArea(const sf::View& view) {
    return {view.getCenter() - view.getSize() / 2.f, view.getSize()};
}

sf::RenderTexture* Layers::operator[](std::size_t layer) {
    batches[layer].flush();
    prepare(layer);
    marks[layer].painted = whole(layer);
    return textures[layer];
}

void Layers::drawSprite(std::size_t layer, const sf::Sprite& sprite,
                        const sf::RenderStates& states) {
    if (sprite.getTexture() == nullptr) return;
    prepare(layer);
    paint(layer, (states.transform * sprite.getTransform()).transformRect(sprite.getLocalBounds()));
    batches[layer].add(sprite, states);
}

void Layers::draw(std::size_t layer, const sf::Drawable& drawable, const sf::FloatRect& worldBounds,
                  const sf::RenderStates& states) {
    batches[layer].flush();
    prepare(layer);
    paint(layer, states.transform.transformRect(worldBounds));
    textures[layer]->draw(drawable, states);
}

void Layers::drawBackdrop(std::size_t layer, const sf::RectangleShape& backdrop) {
    if (!coversView(layer, backdrop)) {
        (*this)[layer]->draw(backdrop);
        return;
    }
    // Whatever was drawn before lies under an opaque cover now.
    batches[layer].discard();
    Marks& mark = marks[layer];
    mark.stale = false;
    mark.solid = true;
    mark.colour = backdrop.getFillColor();
    // The texture keeps whatever it held, all of which a later wipe must clear.
    mark.painted = whole(layer);
}

void Layers::setView(std::size_t layer, const sf::View& view) {
    batches[layer].flush();
    textures[layer]->setView(view);
}

void Layers::flush(std::size_t layer) {
    batches[layer].flush();
}

void Layers::flushAll() {
    for (SpriteBatch& batch : batches) batch.flush();
}

void Layers::beginFrame() {
    flushAll();
    for (Marks& mark : marks) mark.stale = true;
}

void Layers::add(sf::RenderTexture* texture) {
    textures.push_back(texture);
    batches.emplace_back(texture);
    marks.emplace_back();
    // A new texture's pixels are undefined until it is first cleared.
    marks.back().painted = whole(textures.size() - 1);
}

void Layers::release() {
    for (SpriteBatch& batch : batches) batch.discard();
    batches.clear();
    for (sf::RenderTexture* texture : textures) delete texture;
    textures.clear();
    marks.clear();
}

void Layers::prepare(std::size_t layer) {
    Marks& mark = marks[layer];
    if (mark.stale) {
        wipe(layer);
        mark.stale = false;
        mark.solid = false;
    } else if (mark.solid) {
        textures[layer]->clear(mark.colour);
        mark.solid = false;
    }
}

void Layers::wipe(std::size_t layer) {
    Marks& mark = marks[layer];
    const sf::IntRect area = mark.painted;
    mark.painted = sf::IntRect();
    if (area.width <= 0 || area.height <= 0) return;
    sf::RenderTexture& texture = *textures[layer];
    if (area == whole(layer)) {
        texture.clear(sf::Color::Transparent);
        return;
    }
    const float left = static_cast<float>(area.left);
    const float top = static_cast<float>(area.top);
    const float right = left + static_cast<float>(area.width);
    const float bottom = top + static_cast<float>(area.height);
    const sf::Vertex corners[4] = {{{left, top}, sf::Color::Transparent},
                                   {{right, top}, sf::Color::Transparent},
                                   {{left, bottom}, sf::Color::Transparent},
                                   {{right, bottom}, sf::Color::Transparent}};
    const sf::View view = texture.getView();
    texture.setView(texture.getDefaultView());
    texture.draw(corners, 4, sf::TriangleStrip, sf::RenderStates(sf::BlendNone));
    texture.setView(view);
}

void Layers::paint(std::size_t layer, const sf::FloatRect& worldBounds) {
    const sf::RenderTexture& texture = *textures[layer];
    const sf::View& view = texture.getView();
    const sf::IntRect viewport = texture.getViewport(view);
    const sf::Transform& toUnit = view.getTransform();
    float left = std::numeric_limits<float>::max(), top = left;
    float right = std::numeric_limits<float>::lowest(), bottom = right;
    const float x0 = worldBounds.left, y0 = worldBounds.top;
    const float x1 = x0 + worldBounds.width, y1 = y0 + worldBounds.height;
    for (const sf::Vector2f corner :
         {sf::Vector2f(x0, y0), sf::Vector2f(x1, y0), sf::Vector2f(x0, y1), sf::Vector2f(x1, y1)}) {
        const sf::Vector2f unit = toUnit.transformPoint(corner);
        const float x = (unit.x + 1.f) * 0.5f * static_cast<float>(viewport.width) +
                        static_cast<float>(viewport.left);
        const float y = (1.f - unit.y) * 0.5f * static_cast<float>(viewport.height) +
                        static_cast<float>(viewport.top);
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    const sf::Vector2u size = texture.getSize();
    const int l = std::max(0, static_cast<int>(std::floor(left - areaMargin)));
    const int t = std::max(0, static_cast<int>(std::floor(top - areaMargin)));
    const int r =
        std::min(static_cast<int>(size.x), static_cast<int>(std::ceil(right + areaMargin)));
    const int b =
        std::min(static_cast<int>(size.y), static_cast<int>(std::ceil(bottom + areaMargin)));
    if (r <= l || b <= t) return;
    marks[layer].painted = unite(marks[layer].painted, {l, t, r - l, b - t});
}

bool Layers::coversView(std::size_t layer, const sf::RectangleShape& backdrop) const {
    const sf::View& view = textures[layer]->getView();
    const bool plainView =
        view.getRotation() == 0.f && view.getViewport() == sf::FloatRect(0.f, 0.f, 1.f, 1.f);
    const bool plainFill = backdrop.getTexture() == nullptr && backdrop.getRotation() == 0.f &&
                           backdrop.getOutlineThickness() == 0.f &&
                           backdrop.getFillColor().a == 255;
    return plainView && plainFill && contains(backdrop.getGlobalBounds(), visibleArea(view));
}

sf::IntRect Layers::whole(std::size_t layer) const {
    const sf::Vector2u size = textures[layer]->getSize();
    return {0, 0, static_cast<int>(size.x), static_cast<int>(size.y)};
}
