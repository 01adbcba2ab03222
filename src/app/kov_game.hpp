#pragma once

#include "app/game.hpp"

#include <SFML/System/Time.hpp>

// SKYWALTZ itself: names the window, loads the sprite sheet, sounds and music, and
// creates the gameplay scene.
class KOV_Game : public Game {
public:
    void init() override;
    // A frame of the game, then a look, now and then, at whether the sound device is still there.
    void update(sf::Time elapsed) override;

private:
    // Stops the music and sounds for good once the sound device has gone (its server died):
    // a stream with nowhere to play decodes without pause and burns a whole core.
    void watchSoundDevice(sf::Time elapsed);

    sf::Time sinceSoundCheck;
};
