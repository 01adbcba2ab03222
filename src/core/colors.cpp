#include "core/colors.hpp"

#include <cmath>
#include <cstdlib>

namespace {
// Beyond this many turns wrap folds with fmod; nearer ones step, as they always have.
constexpr float steppedTurns = 16.f;

// A float outside a channel's range must not be converted to one: clamped first, NaN as 0.
sf::Uint8 clampChannel(float value) {
    if (!(value > 0.f)) return 0;
    if (value >= 255.f) return 255;
    return static_cast<sf::Uint8>(value);
}

sf::Uint8 channel(float unit) {
    return clampChannel(unit * 255.f);
}

float foldIn(float v, float lo, float d) {
    double r = std::fmod(static_cast<double>(v) - lo, static_cast<double>(d));
    if (r < 0.0) r += d;
    return static_cast<float>(lo + r);
}
}  // namespace

sf::Color hueToColor(float h) {
    if (h < 0.f) return sf::Color(0, 0, 0, 255);
    if (h > 1.f) return sf::Color(255, 255, 255, 255);
    const float x = h * 5.f;
    float f = x;
    while (f > 1.f) f -= 1.f;
    float r = 1.f, g = 0.f, b = 0.f;
    if (x < 1.f) {
        r = 1.f, g = f, b = 0.f;
    } else if (x < 2.f) {
        r = 1.f - f, g = 1.f, b = 0.f;
    } else if (x < 3.f) {
        r = 0.f, g = 1.f - f, b = f;
    } else if (x < 4.f) {
        r = f, g = 0.f, b = 1.f;
    } else {
        r = 1.f, g = 0.f, b = 1.f - f;
    }
    return sf::Color(channel(r), channel(g), channel(b), 255);
}

float wrap(float v, float lo, float hi) {
    const float d = hi - lo;
    if (!(d > 0.f)) return v;
    if (!std::isfinite(v)) return lo;
    if (std::fabs(v - lo) > steppedTurns * d) v = foldIn(v, lo, d);
    while (v > hi) v -= d;
    while (v < lo) v += d;
    return v;
}

sf::Color lerpColor(sf::Color a, sf::Color b, float t) {
    const auto mix = [t](sf::Uint8 from, sf::Uint8 to) {
        return clampChannel(from * (1.f - t) + to * t);
    };
    return sf::Color(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), 255);
}

sf::Color liftColor(sf::Color c, float keep, float lift) {
    const auto scale = [keep, lift](sf::Uint8 value) { return clampChannel(value * keep + lift); };
    return sf::Color(scale(c.r), scale(c.g), scale(c.b), 255);
}

float randomHue() {
    return static_cast<float>(rand() % 1000) * 0.001f;
}
