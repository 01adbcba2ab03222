#pragma once

#include "art/canvas.hpp"

namespace art {

struct Point {
    float x;
    float y;
};

inline Point operator+(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}
inline Point operator-(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}
inline Point operator*(Point a, float k) {
    return {a.x * k, a.y * k};
}

// Paints a picture into a body cell and its overlay cell at once.
// Overlay drawn in front: parts marked as second colour go into both cells, and any other
// part erases what the overlay had beneath it, so the overlay holds exactly the visible
// second-colour pixels of the body.
// Overlay drawn behind: second-colour parts go into the overlay only and are cut out of
// the body, so they show through the holes.
// The outer outline goes once around the whole silhouette in finish().
class Painter {
public:
    enum class Layering { OverlayInFront, OverlayBehind };

    Painter(Cell& body, Cell& overlay, Layering layering = Layering::OverlayInFront)
        : body_(body), overlay_(overlay), layering_(layering) {}

    Mask blank() const { return body_.blank(); }
    int width() const { return body_.width(); }
    int height() const { return body_.height(); }

    // A part drawn over earlier ones, with a soft line where it crosses them.
    void part(const Mask& mask, sf::Color colour, bool second = false);
    // Like part, shaded: a 1 px band on the lower right edge takes `shade`.
    void shadedPart(const Mask& mask, sf::Color colour, sf::Color shade, bool second = false);
    // Pixels drawn with no line of their own (eyes, visors, shading).
    void detail(const Mask& mask, sf::Color colour, bool second = false);
    void finish(sf::Color edge = ink::outline);

private:
    Mask silhouette() const;

    Cell& body_;
    Cell& overlay_;
    Layering layering_;
};

// Middle joint of a two-bone limb from `root` to `tip`; `forward` picks the side it bends to.
Point bend(Point root, Point tip, float first, float second, bool forward);

}  // namespace art
