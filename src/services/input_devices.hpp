#pragma once

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Mouse.hpp>

// The one place where input devices are read. The game reads the real devices; tests and
// scripted players hand an Input their own implementation.
class InputDevices {
public:
    virtual ~InputDevices() = default;
    virtual bool isKeyPressed(int key) const = 0;
    virtual bool isJoystickButtonPressed(int joystick, int button) const = 0;
    // Raw axis position, -100 to 100.
    virtual float joystickAxis(int joystick, sf::Joystick::Axis axis) const = 0;
    // Mouse position relative to the window, and the window's size, in window pixels.
    virtual sf::Vector2i mousePosition(const sf::RenderWindow& window) const = 0;
    virtual sf::Vector2u windowSize(const sf::RenderWindow& window) const = 0;
    virtual bool isMouseButtonPressed(sf::Mouse::Button button) const = 0;
};

// Reads the keyboard and the mouse through SFML and the pads through SDL (Pads), or through
// SFML's raw numbers when SDL's pad layer could not start.
class DesktopInputDevices : public InputDevices {
public:
    static DesktopInputDevices& instance();

    bool isKeyPressed(int key) const override;
    bool isJoystickButtonPressed(int joystick, int button) const override;
    float joystickAxis(int joystick, sf::Joystick::Axis axis) const override;
    sf::Vector2i mousePosition(const sf::RenderWindow& window) const override;
    sf::Vector2u windowSize(const sf::RenderWindow& window) const override;
    bool isMouseButtonPressed(sf::Mouse::Button button) const override;
};
