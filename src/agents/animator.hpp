#pragma once

#include "core/sprite_sheet.hpp"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/String.hpp>
#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

#include <vector>

// One named frame sequence; a frame (c, r) shows the sheet rectangle (c*w, r*h, w, h).
struct Animation {
    std::vector<sf::Vector2i> frames;
    int frame = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    sf::String name;
};

// The named animations of one sprite, and the clock that steps through them.
class Animator {
public:
    // Appends an empty animation with the animator's cell size and makes it current, so
    // the frames appended next belong to it. Does nothing until the animator is enabled.
    void addAnimation(const sf::String& name);
    // Makes the first animation with this name current; false if it already was, or none has it.
    bool selectAnimation(const sf::String& name);
    // Switches to `name` and shows its first (or a random) frame; false and nothing
    // changes when it already plays or does not exist.
    bool play(sf::Sprite& sprite, const sf::String& name, bool randomStart);
    // Advances at most one frame once more than frameDuration has gathered.
    void update(sf::Sprite& sprite, sf::Time elapsedTime);
    // Appends a frame to the current animation.
    void addFrame(int column, int row);
    // Enables a fresh animator of looping cells of this size, shown `duration` each.
    void configure(int cellWidth, int cellHeight, sf::Time duration);
    // Adds an animation of `frames` cells from (firstColumn, row) rightward.
    void addStrip(const sf::String& name, int firstColumn, int row, int frames);
    // configure for the strip's cells, at the sheet's frame time.
    void configure(const sheet::Strip& strip);
    // addStrip for `run` of the strip's cells.
    void addStrip(const sf::String& name, const sheet::Strip& strip, sheet::Run run);
    // Makes the first animation current at its first frame and shows it on the sprite.
    void start(sf::Sprite& sprite);
    // Forgets every animation.
    void clear();
    // Sets the sprite's texture rectangle to the current frame's cell, if there is one.
    void showFrame(sf::Sprite& sprite) const;
    Animation* currentAnimation();

    int current = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    std::vector<Animation> animations;
    bool loop = false;
    bool enabled = false;
    int count = 0;
    sf::Time frameDuration;
    sf::Time elapsed;
};
