#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>

#include <cstdint>
#include <vector>

namespace art {

// The pictures are drawn in greys because the game multiplies every sprite by a tint:
// white takes the tint as it is, the darker greys give shading and outlines.
namespace ink {
inline const sf::Color white{255, 255, 255};
inline const sf::Color light{226, 226, 232};
inline const sf::Color mid{188, 188, 198};
inline const sf::Color shadow{146, 146, 160};
inline const sf::Color dark{96, 94, 110};
inline const sf::Color outline{46, 42, 58};
}  // namespace ink

// A set of pixels in cell coordinates, built from simple shapes and then painted.
class Mask {
public:
    Mask(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool has(int x, int y) const;
    void set(int x, int y, bool on = true);
    bool empty() const;

    Mask& disc(float cx, float cy, float radius);
    Mask& ellipse(float cx, float cy, float rx, float ry);
    // A line of the given thickness with round ends.
    Mask& capsule(float x0, float y0, float x1, float y1, float radius);
    Mask& rect(int x, int y, int w, int h);
    Mask& triangle(float ax, float ay, float bx, float by, float cx, float cy);

    Mask& add(const Mask& other);
    Mask& remove(const Mask& other);
    Mask& keepOnly(const Mask& other);
    Mask shifted(int dx, int dy) const;
    // The 1 px ring just outside the mask (4-neighbourhood).
    Mask ring() const;

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> bits_;
};

// One cell of the sheet: drawing is clipped to it and uses cell-local coordinates.
class Cell {
public:
    Cell(sf::Image& image, int left, int top, int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    Mask blank() const { return Mask(width_, height_); }

    void set(int x, int y, sf::Color colour);
    sf::Color get(int x, int y) const;
    void erase(const Mask& mask);
    void fill(const Mask& mask, sf::Color colour);
    // Fill with an outline around it; later paints cover earlier ones, outline included.
    void paint(const Mask& mask, sf::Color colour, sf::Color edge = ink::outline);
    // Pixels of the mask opaque in this cell.
    Mask opaque() const;

private:
    sf::Image* image_;
    int left_;
    int top_;
    int width_;
    int height_;
};

}  // namespace art
