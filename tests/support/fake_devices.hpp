#pragma once

#include "services/input_devices.hpp"

#include <map>
#include <set>

// Input devices whose state a test sets by hand.
class FakeDevices : public InputDevices {
public:
    bool isKeyPressed(int key) const override { return keys.count(key) > 0; }
    bool isJoystickButtonPressed(int, int button) const override {
        return buttons.count(button) > 0;
    }
    float joystickAxis(int, sf::Joystick::Axis axis) const override {
        const auto found = axes.find(axis);
        return found == axes.end() ? 0.f : found->second;
    }
    sf::Vector2i mousePosition(const sf::RenderWindow&) const override { return mouse; }
    sf::Vector2u windowSize(const sf::RenderWindow&) const override { return window; }
    bool isMouseButtonPressed(sf::Mouse::Button button) const override {
        return mouseButtons.count(button) > 0;
    }

    std::set<int> keys;
    std::set<int> buttons;
    std::map<sf::Joystick::Axis, float> axes;
    std::set<sf::Mouse::Button> mouseButtons;
    sf::Vector2i mouse;
    sf::Vector2u window{480, 320};
};
