#include "core/vector_math.hpp"

#include <cmath>
#include <cstdlib>

float length(sf::Vector2f v) {
    return std::sqrt(v.x * v.x + v.y * v.y);
}

sf::Vector2f normalize(sf::Vector2f v) {
    if (v.x == 0.f && v.y == 0.f) return v;
    return v / length(v);
}

sf::Vector2f approach(float fraction, float deadZone, sf::Vector2f from, sf::Vector2f to) {
    const sf::Vector2f gap = to - from;
    const float d = length(gap);
    if (d > deadZone) return from + normalize(gap) * d * fraction;
    return from;
}

float lerp(float a, float b, float t) {
    return a * (1.f - t) + b * t;
}

sf::Vector2f lerp(sf::Vector2f a, sf::Vector2f b, float t) {
    return a * (1.f - t) + b * t;
}

float degrees(float radians) {
    return radians * 180.f / pi;
}

sf::Vector2f polar(float angle, float distance) {
    return sf::Vector2f(std::cos(angle), std::sin(angle)) * distance;
}

float randomRadians() {
    return static_cast<float>(rand() % 360);
}
