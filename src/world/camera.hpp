#pragma once

#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

class Resources;

// v divided by its length; the zero vector stays zero.
sf::Vector2f normalize(sf::Vector2f v);
// One step of `fraction` of the way from `from` to `to`, or no step at all once within
// `deadZone` of it.
sf::Vector2f approach(float fraction, float deadZone, sf::Vector2f from, sf::Vector2f to);
// a * (1 - t) + b * t.
float lerp(float a, float b, float t);
sf::Vector2f lerp(sf::Vector2f a, sf::Vector2f b, float t);

// Decides where the world view looks: follows `position`, adds a decaying kick, a smooth
// zoom and a timed shake, and writes the view once per update.
class Camera {
public:
    // Back to the start values of an entered scene, bound to `resources`.
    void reset(Resources* resources);
    // Called by the gameplay scene once per unpaused frame, after the agents.
    virtual void update(sf::Time elapsed, bool paused);
    virtual ~Camera() = default;

    Resources* resources = nullptr;
    sf::Vector2f position;
    sf::Vector2f shakeOffset;
    sf::Vector2f shakeGoal;
    sf::Vector2f kick;
    float shakeTime = 0.1f;
    float shakeStrength = 5.f;
    float zoom = 1.f;
    float targetZoom = 1.f;
    float shakeClock = 0.f;
};
