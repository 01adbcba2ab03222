#include "services/letterbox.hpp"

#include <cstdint>

namespace {
// The picture's extent along the window's shorter side, rounded to a whole pixel.
int scaledExtent(std::int64_t windowSide, std::int64_t pictureSide, std::int64_t pictureOther) {
    return static_cast<int>((windowSide * pictureSide * 2 + pictureOther) / (pictureOther * 2));
}
}  // namespace

Letterbox::Letterbox(sf::Vector2u window_, sf::Vector2u picture_)
    : area(0, 0, static_cast<int>(window_.x), static_cast<int>(window_.y)),
      window(window_),
      picture(picture_) {
    if (window.x == 0 || window.y == 0 || picture.x == 0 || picture.y == 0) return;
    // Integer cross products, so a window of the picture's shape is covered to the pixel.
    const std::int64_t wide = std::int64_t{window.x} * picture.y;
    const std::int64_t tall = std::int64_t{window.y} * picture.x;
    if (wide > tall) {
        area.width = scaledExtent(window.y, picture.x, picture.y);
        area.left = (static_cast<int>(window.x) - area.width) / 2;
    } else if (tall > wide) {
        area.height = scaledExtent(window.x, picture.y, picture.x);
        area.top = (static_cast<int>(window.y) - area.height) / 2;
    }
}

sf::FloatRect Letterbox::viewport() const {
    if (window.x == 0 || window.y == 0) return {0.f, 0.f, 1.f, 1.f};
    const float w = static_cast<float>(window.x), h = static_cast<float>(window.y);
    return {static_cast<float>(area.left) / w, static_cast<float>(area.top) / h,
            static_cast<float>(area.width) / w, static_cast<float>(area.height) / h};
}

sf::Vector2f Letterbox::toPicture(sf::Vector2i pixel) const {
    if (area.width <= 0 || area.height <= 0) return {0.f, 0.f};
    return {static_cast<float>(pixel.x - area.left) * static_cast<float>(picture.x) /
                static_cast<float>(area.width),
            static_cast<float>(pixel.y - area.top) * static_cast<float>(picture.y) /
                static_cast<float>(area.height)};
}
