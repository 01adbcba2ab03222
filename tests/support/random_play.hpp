#pragma once

#include "support/test_world.hpp"
#include "world/scene_base.hpp"

// The scene seeds rand() from the clock as it is entered and then draws its hue and builds its
// first planet: this draws both again from `seed`, so that a run can be repeated. Call it right
// after enter, before any update, while nothing holds a pointer to the first world.
void rebuildFirstPlanet(SceneBase& scene, unsigned seed);

// A seeded random player for the gameplay scene: presses every action now and then (walking,
// jumping, pushing off, swimming, carrying, throwing, pausing, menu entries, resets,
// fullscreen toggles), and every `errandInterval` updates a script carries the orb to the
// altar so that the world grows. All its choices come from rand().
class RandomPlay {
public:
    RandomPlay(TestWorld& world, SceneBase& scene, int errandInterval);

    // Sets the fake devices for update number `update`.
    void chooseInput(int update);

    int errandsStarted = 0;
    const int errandInterval;

private:
    void scriptErrand(int update);

    TestWorld& world;
    SceneBase& scene;
};
