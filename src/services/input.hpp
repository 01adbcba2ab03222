#pragma once

#include "services/input_devices.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/String.hpp>
#include <SFML/System/Vector2.hpp>

#include <vector>

class Resources;

// One named action and the keys or joystick codes bound to it.
struct InputAction {
    std::vector<int> codes;
    sf::String name;
    int codeCount = 0;
    bool pressed = false;
};

// Turns the keyboard, one joystick and the mouse into named actions.
class Input {
public:
    // Joystick codes beyond the buttons: the Z axis (the triggers) past 0.3 of its +-100
    // either way, so a trigger barely touched already counts.
    static constexpr int axisZNegative = 666;
    static constexpr int axisZPositive = 667;

    Input() = default;
    ~Input();
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // Forgets every action and starts over with the start-up delay; resources may be null.
    void reset(Resources* resources, bool scaleToResolution);

    bool bindKey(const sf::String& name, int key);
    bool bindJoystickButton(const sf::String& name, int code);
    void clearActions();

    // Polls every device once; all queries until the next poll see this state.
    void update(const sf::RenderWindow& window);

    bool isDown(const sf::String& name) const;
    bool isPressed(const sf::String& name) const;
    sf::Vector2f getStick() const;
    sf::Vector2f getMouseWorld() const;

    Resources* resources = nullptr;
    bool scaleToResolution = true;
    int keyActionCount = 0;
    int joystickActionCount = 0;
    int joystick = 0;
    int startDelay = 3;
    sf::Vector2f mouse;
    sf::Vector2f previousMouse;
    bool leftButton = false;
    bool rightButton = false;
    bool previousLeftButton = false;
    bool previousRightButton = false;
    bool mouseOff = false;
    std::vector<InputAction*> joystickActions, previousJoystickActions;
    std::vector<InputAction*> keyActions, previousKeyActions;
    int wheelDelta = 0;

    // Where the device states come from; the real devices unless a test swaps them.
    const InputDevices* devices = &DesktopInputDevices::instance();

private:
    // Where a window pixel lies in the view the mouse is reported in.
    sf::Vector2f pointInView(sf::Vector2i pixel, sf::Vector2u windowSize) const;
    bool codeActive(int code, bool joystickCode) const;
    void pollActions(std::vector<InputAction*>& current, std::vector<InputAction*>& previous,
                     bool joystickCodes);
};
