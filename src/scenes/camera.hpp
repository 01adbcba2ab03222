#pragma once

#include "core/vector_math.hpp"

#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

class Resources;

// Decides where the world view looks: follows `position`, adds a decaying kick, a smooth
// zoom and a timed shake, and writes the view once per update.
class Camera {
public:
    // Back to the start values of an entered scene, bound to `resources`.
    void reset(Resources* resources);
    // Called by the gameplay scene once per frame it is not paused, after the agents; the
    // scene passes paused = false. With paused = true only the view's centre is written.
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
