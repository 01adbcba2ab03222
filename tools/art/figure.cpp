#include "art/figure.hpp"

#include <algorithm>
#include <cmath>

namespace art {

void Painter::part(const Mask& mask, sf::Color colour, bool second) {
    Mask crossing = mask.ring();
    crossing.keepOnly(silhouette());
    detail(crossing, ink::shadow, false);
    detail(mask, colour, second);
}

void Painter::shadedPart(const Mask& mask, sf::Color colour, sf::Color shade, bool second) {
    part(mask, colour, second);
    Mask edge = mask;
    edge.remove(mask.shifted(-1, -1));
    detail(edge, shade, second);
}

void Painter::detail(const Mask& mask, sf::Color colour, bool second) {
    if (layering_ == Layering::OverlayBehind) {
        if (second) {
            overlay_.fill(mask, colour);
            body_.erase(mask);
        } else {
            body_.fill(mask, colour);
        }
        return;
    }
    body_.fill(mask, colour);
    if (second) {
        overlay_.fill(mask, colour);
    } else {
        overlay_.erase(mask);
    }
}

void Painter::finish(sf::Color edge) {
    const Mask edgePixels = silhouette().ring();
    body_.fill(edgePixels, edge);
    if (layering_ == Layering::OverlayInFront) {
        Mask overlayEdge = overlay_.opaque().ring();
        overlayEdge.keepOnly(edgePixels);
        overlay_.fill(overlayEdge, edge);
    }
}

Mask Painter::silhouette() const {
    Mask all = body_.opaque();
    if (layering_ == Layering::OverlayBehind) all.add(overlay_.opaque());
    return all;
}

Point bend(Point root, Point tip, float first, float second, bool forward) {
    const Point along = tip - root;
    float distance = std::hypot(along.x, along.y);
    if (distance < 1e-4f) return root + Point{forward ? first : -first, 0.f};
    const float reach = first + second - 1e-3f;
    distance = std::min(distance, reach);
    const Point unit = along * (1.f / std::hypot(along.x, along.y));
    const float a = (first * first - second * second + distance * distance) / (2.f * distance);
    const float h = std::sqrt(std::max(0.f, first * first - a * a));
    const Point base = root + unit * a;
    const Point left = base + Point{-unit.y, unit.x} * h;
    const Point right = base + Point{unit.y, -unit.x} * h;
    const bool leftIsAhead = left.x >= right.x;
    return (leftIsAhead == forward) ? left : right;
}

}  // namespace art
