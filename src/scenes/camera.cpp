#include "scenes/camera.hpp"

#include "services/resources.hpp"

namespace {
constexpr float kickFraction = 0.075f;     // of the kick removed per update
constexpr float kickDeadZone = 2.f;        // px
constexpr float zoomStep = 0.015f;         // zoom change per update
constexpr float shakeInterval = 0.075f;    // s between new shake directions
constexpr float shakeKeep = 0.8f;          // of the shake offset kept per update
constexpr float shakeEasing = 0.2f;        // of the way to the shake goal per update
constexpr float startShakeTime = 0.1f;     // s
constexpr float startShakeStrength = 5.f;  // px per second of shake left
}  // namespace

void Camera::reset(Resources* r) {
    resources = r;
    position = shakeOffset = shakeGoal = kick = {0.f, 0.f};
    shakeTime = startShakeTime;
    shakeStrength = startShakeStrength;
    zoom = targetZoom = 1.f;
    shakeClock = 0.f;
}

void Camera::update(sf::Time elapsed, bool paused) {
    const float s = elapsed.asSeconds();
    if (!paused) {
        kick = approach(kickFraction, kickDeadZone, kick, {0.f, 0.f});
        if (zoom < targetZoom - zoomStep)
            zoom += zoomStep;
        else if (zoom > targetZoom + zoomStep)
            zoom -= zoomStep;
        else
            zoom = targetZoom;
        if (shakeTime > 0.f) {
            shakeClock += s;
            shakeTime -= s;
            const float amplitude = shakeTime * shakeStrength;
            if (shakeClock > shakeInterval) {
                const float k = randomRadians();
                shakeGoal = polar(k, amplitude);
                shakeClock -= shakeInterval;
            }
            if (amplitude > 0.f) shakeOffset = shakeOffset * shakeKeep + shakeGoal * shakeEasing;
        } else {
            shakeOffset = {0.f, 0.f};
        }
        resources->view.setSize(resources->width * zoom, resources->height * zoom);
    }
    resources->view.setCenter(position + kick + shakeOffset);
}
