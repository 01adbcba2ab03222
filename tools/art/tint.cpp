#include "art/tint.hpp"

namespace art {

sf::Color multiply(sf::Color texel, sf::Color tint, float opacity) {
    auto mul = [](sf::Uint8 a, sf::Uint8 b) { return static_cast<sf::Uint8>(a * b / 255); };
    return {mul(texel.r, tint.r), mul(texel.g, tint.g), mul(texel.b, tint.b),
            static_cast<sf::Uint8>(texel.a * opacity)};
}

sf::Color over(sf::Color top, sf::Color below) {
    const float ta = top.a / 255.f;
    const float ba = below.a / 255.f;
    const float a = ta + ba * (1.f - ta);
    if (a <= 0.f) return sf::Color::Transparent;
    auto mix = [&](sf::Uint8 t, sf::Uint8 b) {
        return static_cast<sf::Uint8>((t * ta + b * ba * (1.f - ta)) / a + 0.5f);
    };
    return {mix(top.r, below.r), mix(top.g, below.g), mix(top.b, below.b),
            static_cast<sf::Uint8>(a * 255.f + 0.5f)};
}

}  // namespace art
