#include "art/canvas.hpp"

#include <algorithm>
#include <cmath>

namespace art {

Mask::Mask(int width, int height)
    : width_(width), height_(height), bits_(static_cast<std::size_t>(width * height), 0) {}

bool Mask::has(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    return bits_[static_cast<std::size_t>(y * width_ + x)] != 0;
}

void Mask::set(int x, int y, bool on) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    bits_[static_cast<std::size_t>(y * width_ + x)] = on ? 1 : 0;
}

bool Mask::empty() const {
    return std::none_of(bits_.begin(), bits_.end(), [](std::uint8_t b) { return b != 0; });
}

// Shapes test pixel centres, so a shape covers the pixels whose centre lies inside it.
Mask& Mask::disc(float cx, float cy, float radius) {
    return ellipse(cx, cy, radius, radius);
}

Mask& Mask::ellipse(float cx, float cy, float rx, float ry) {
    if (rx <= 0.f || ry <= 0.f) return *this;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float dx = (x + 0.5f - cx) / rx;
            const float dy = (y + 0.5f - cy) / ry;
            if (dx * dx + dy * dy <= 1.f) set(x, y);
        }
    }
    return *this;
}

Mask& Mask::capsule(float x0, float y0, float x1, float y1, float radius) {
    const float vx = x1 - x0;
    const float vy = y1 - y0;
    const float length2 = vx * vx + vy * vy;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float px = x + 0.5f - x0;
            const float py = y + 0.5f - y0;
            float t = length2 > 0.f ? (px * vx + py * vy) / length2 : 0.f;
            t = std::clamp(t, 0.f, 1.f);
            const float dx = px - t * vx;
            const float dy = py - t * vy;
            if (dx * dx + dy * dy <= radius * radius) set(x, y);
        }
    }
    return *this;
}

Mask& Mask::rect(int x, int y, int w, int h) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) set(i, j);
    }
    return *this;
}

Mask& Mask::triangle(float ax, float ay, float bx, float by, float cx, float cy) {
    auto side = [](float px, float py, float qx, float qy, float rx, float ry) {
        return (qx - px) * (ry - py) - (qy - py) * (rx - px);
    };
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            const float d1 = side(ax, ay, bx, by, px, py);
            const float d2 = side(bx, by, cx, cy, px, py);
            const float d3 = side(cx, cy, ax, ay, px, py);
            const bool negative = d1 < 0.f || d2 < 0.f || d3 < 0.f;
            const bool positive = d1 > 0.f || d2 > 0.f || d3 > 0.f;
            if (!(negative && positive)) set(x, y);
        }
    }
    return *this;
}

Mask& Mask::add(const Mask& other) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (other.has(x, y)) set(x, y);
        }
    }
    return *this;
}

Mask& Mask::remove(const Mask& other) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (other.has(x, y)) set(x, y, false);
        }
    }
    return *this;
}

Mask& Mask::keepOnly(const Mask& other) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (!other.has(x, y)) set(x, y, false);
        }
    }
    return *this;
}

Mask Mask::shifted(int dx, int dy) const {
    Mask out(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (has(x, y)) out.set(x + dx, y + dy);
        }
    }
    return out;
}

Mask Mask::ring() const {
    Mask out(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (has(x, y)) continue;
            if (has(x - 1, y) || has(x + 1, y) || has(x, y - 1) || has(x, y + 1)) out.set(x, y);
        }
    }
    return out;
}

Cell::Cell(sf::Image& image, int left, int top, int width, int height)
    : image_(&image), left_(left), top_(top), width_(width), height_(height) {}

void Cell::set(int x, int y, sf::Color colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    image_->setPixel(static_cast<unsigned>(left_ + x), static_cast<unsigned>(top_ + y), colour);
}

sf::Color Cell::get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return sf::Color::Transparent;
    return image_->getPixel(static_cast<unsigned>(left_ + x), static_cast<unsigned>(top_ + y));
}

void Cell::erase(const Mask& mask) {
    fill(mask, sf::Color::Transparent);
}

void Cell::fill(const Mask& mask, sf::Color colour) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (mask.has(x, y)) set(x, y, colour);
        }
    }
}

void Cell::paint(const Mask& mask, sf::Color colour, sf::Color edge) {
    fill(mask.ring(), edge);
    fill(mask, colour);
}

Mask Cell::opaque() const {
    Mask out(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (get(x, y).a > 0) out.set(x, y);
        }
    }
    return out;
}

}  // namespace art
