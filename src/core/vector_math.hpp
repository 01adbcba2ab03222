#pragma once

#include <SFML/System/Vector2.hpp>

// π as the world's single-precision arithmetic takes it.
inline constexpr float pi = 3.1415927f;

float length(sf::Vector2f v);
// v divided by its length; the zero vector stays zero.
sf::Vector2f normalize(sf::Vector2f v);
// One step of `fraction` of the way from `from` to `to`, or no step at all once within
// `deadZone` of it.
sf::Vector2f approach(float fraction, float deadZone, sf::Vector2f from, sf::Vector2f to);
// a * (1 - t) + b * t.
float lerp(float a, float b, float t);
sf::Vector2f lerp(sf::Vector2f a, sf::Vector2f b, float t);
float degrees(float radians);
// The point `distance` from the origin at `angle` radians: a centre plus this is the point at
// that angle and distance from the centre.
sf::Vector2f polar(float angle, float distance);
// A random direction: rand() % 360 taken as radians, not degrees, so one of 360 whole-radian
// directions scattered round the circle. The worlds a seed grows depend on exactly this draw.
float randomRadians();
