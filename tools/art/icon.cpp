#include "art/icon.hpp"

#include "art/sheet_layout.hpp"
#include "art/tint.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace art {

namespace {

constexpr unsigned kUnit = 32;  // icon sizes are multiples of this
constexpr int kSamples = 4;     // per axis, for the soft edges of the sky and the planet
// Of the icon size:
constexpr float kInset = 1.f / 32.f;  // between the sky and the icon's edge
constexpr float kCornerRadius = 0.22f;
constexpr float kPlanetRadius = 1.f;
constexpr float kRimWidth = 1.f / 64.f;  // the darker line along the arc, at least 1 px

const sf::Color kSky{40, 36, 84};
const sf::Color kRim{46, 42, 58};
const sf::Color kStar{236, 232, 255};
// A planet's tint made the way the game makes it from a hue (channel x 0.33 + 150).
const sf::Color kPlanetTint{191, 234, 150};

struct Star {
    float x, y, radius;  // of the icon size
};
const Star kStars[] = {{0.17f, 0.23f, 0.028f},
                       {0.83f, 0.20f, 0.025f},
                       {0.20f, 0.60f, 0.019f},
                       {0.81f, 0.55f, 0.022f},
                       {0.67f, 0.11f, 0.016f}};

sf::Color withCoverage(sf::Color colour, float coverage) {
    colour.a = static_cast<sf::Uint8>(colour.a * coverage + 0.5f);
    return colour;
}

bool inCircle(float x, float y, float cx, float cy, float r) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool inRoundedSquare(float x, float y, float lo, float hi, float corner) {
    if (x < lo || y < lo || x > hi || y > hi) return false;
    const float cx = std::clamp(x, lo + corner, hi - corner);
    const float cy = std::clamp(y, lo + corner, hi - corner);
    return inCircle(x, y, cx, cy, corner);
}

// Sky, stars and the planet whose top is at `surface` px.
void paintBackground(sf::Image& icon, float surface) {
    const auto size = icon.getSize().x;
    const float n = static_cast<float>(size);
    const float skyLo = kInset * n;
    const float skyHi = n - kInset * n;
    const float corner = kCornerRadius * n;
    const float planet = kPlanetRadius * n;
    const float planetX = n * 0.5f;
    const float planetY = surface + planet;
    const float core = planet - std::max(1.f, kRimWidth * n);
    for (unsigned py = 0; py < size; ++py) {
        for (unsigned px = 0; px < size; ++px) {
            int skyHits = 0, starHits = 0, rimHits = 0, planetHits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float x = px + (sx + 0.5f) / kSamples;
                    const float y = py + (sy + 0.5f) / kSamples;
                    if (!inRoundedSquare(x, y, skyLo, skyHi, corner)) continue;
                    ++skyHits;
                    if (inCircle(x, y, planetX, planetY, core)) {
                        ++planetHits;
                    } else if (inCircle(x, y, planetX, planetY, planet)) {
                        ++rimHits;
                    } else {
                        for (const Star& star : kStars) {
                            // Stars narrower than a pixel would only smudge the sky.
                            if (star.radius * n < 1.f) continue;
                            if (inCircle(x, y, star.x * n, star.y * n, star.radius * n)) {
                                ++starHits;
                                break;
                            }
                        }
                    }
                }
            }
            const float all = kSamples * kSamples;
            sf::Color colour = withCoverage(kSky, skyHits / all);
            colour = over(withCoverage(kStar, starHits / all), colour);
            colour = over(withCoverage(kRim, rimHits / all), colour);
            colour = over(withCoverage(kPlanetTint, planetHits / all), colour);
            icon.setPixel(px, py, colour);
        }
    }
}

// The figure as the game draws it: the tinted body with the second-colour overlay on top.
sf::Image idleFigure(const sf::Image& sheet) {
    const Strip& player = stripNamed("player");
    if (sheet.getSize().x < static_cast<unsigned>(player.left + player.cellWidth) ||
        sheet.getSize().y < static_cast<unsigned>(player.overlayTop() + player.cellHeight))
        throw std::invalid_argument("the sprite sheet is too small to hold the player");
    sf::Image figure;
    figure.create(static_cast<unsigned>(player.cellWidth), static_cast<unsigned>(player.cellHeight),
                  sf::Color::Transparent);
    for (int y = 0; y < player.cellHeight; ++y) {
        for (int x = 0; x < player.cellWidth; ++x) {
            const auto sx = static_cast<unsigned>(player.left + x);
            const sf::Color body =
                multiply(sheet.getPixel(sx, static_cast<unsigned>(player.top + y)), kBodyTint);
            const sf::Color second = multiply(
                sheet.getPixel(sx, static_cast<unsigned>(player.overlayTop() + y)), kOverlayTint);
            figure.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y), over(second, body));
        }
    }
    return figure;
}

struct Bounds {
    int left, top, right, bottom;  // right and bottom exclusive
};

Bounds opaqueBounds(const sf::Image& image) {
    Bounds b{static_cast<int>(image.getSize().x), static_cast<int>(image.getSize().y), 0, 0};
    for (unsigned y = 0; y < image.getSize().y; ++y) {
        for (unsigned x = 0; x < image.getSize().x; ++x) {
            if (image.getPixel(x, y).a == 0) continue;
            b.left = std::min(b.left, static_cast<int>(x));
            b.top = std::min(b.top, static_cast<int>(y));
            b.right = std::max(b.right, static_cast<int>(x) + 1);
            b.bottom = std::max(b.bottom, static_cast<int>(y) + 1);
        }
    }
    if (b.right <= b.left) throw std::invalid_argument("the player's idle cell is empty");
    return b;
}

}  // namespace

sf::Image drawIcon(const sf::Image& sheet, unsigned size) {
    if (size == 0 || size % kUnit != 0)
        throw std::invalid_argument("the icon size must be a multiple of 32");
    const sf::Image figure = idleFigure(sheet);
    const Bounds b = opaqueBounds(figure);
    const int n = static_cast<int>(size);
    // Whole screen px per figure px keep it crisp. Small icons give the figure most of the
    // room so it stays legible; large ones show more of the planet and the sky.
    const int zoom = size < 128 ? n / 32 : n * 3 / 128;
    const int free = n - (b.bottom - b.top) * zoom;
    const int top = free / 4;
    const int left = (n - (b.right - b.left) * zoom) / 2;
    // The feet rest on the surface as they do in the game.
    const int surface = top + (b.bottom - b.top) * zoom;

    sf::Image icon;
    icon.create(size, size, sf::Color::Transparent);
    paintBackground(icon, static_cast<float>(surface));
    for (int y = b.top; y < b.bottom; ++y) {
        for (int x = b.left; x < b.right; ++x) {
            const sf::Color texel =
                figure.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            if (texel.a == 0) continue;
            for (int j = 0; j < zoom; ++j) {
                for (int i = 0; i < zoom; ++i) {
                    const int px = left + (x - b.left) * zoom + i;
                    const int py = top + (y - b.top) * zoom + j;
                    if (px < 0 || py < 0 || px >= static_cast<int>(size) ||
                        py >= static_cast<int>(size))
                        continue;
                    const auto ux = static_cast<unsigned>(px);
                    const auto uy = static_cast<unsigned>(py);
                    icon.setPixel(ux, uy, over(texel, icon.getPixel(ux, uy)));
                }
            }
        }
    }
    return icon;
}

}  // namespace art
