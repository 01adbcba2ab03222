#include "services/input_devices.hpp"

#include "services/pads.hpp"

#include <SFML/Window/Keyboard.hpp>

DesktopInputDevices& DesktopInputDevices::instance() {
    static DesktopInputDevices devices;
    return devices;
}

bool DesktopInputDevices::isKeyPressed(int key) const {
    if (key < 0 || key >= sf::Keyboard::KeyCount) return false;
    return sf::Keyboard::isKeyPressed(static_cast<sf::Keyboard::Key>(key));
}

// SFML indexes its joystick tables without checking, so codes a scene binds beyond them
// read as released rather than as stray memory.
bool DesktopInputDevices::isJoystickButtonPressed(int joystick, int button) const {
    const Pads& pads = Pads::instance();
    if (pads.started()) return pads.isButtonPressed(joystick, button);
    if (joystick < 0 || joystick >= sf::Joystick::Count || button < 0 ||
        button >= sf::Joystick::ButtonCount)
        return false;
    return sf::Joystick::isButtonPressed(static_cast<unsigned>(joystick),
                                         static_cast<unsigned>(button));
}

float DesktopInputDevices::joystickAxis(int joystick, sf::Joystick::Axis axis) const {
    const Pads& pads = Pads::instance();
    if (pads.started()) return pads.axis(joystick, axis);
    if (joystick < 0 || joystick >= sf::Joystick::Count) return 0.f;
    return sf::Joystick::getAxisPosition(static_cast<unsigned>(joystick), axis);
}

sf::Vector2i DesktopInputDevices::mousePosition(const sf::RenderWindow& window) const {
    return sf::Mouse::getPosition(window);
}

sf::Vector2u DesktopInputDevices::windowSize(const sf::RenderWindow& window) const {
    return window.getSize();
}

bool DesktopInputDevices::isMouseButtonPressed(sf::Mouse::Button button) const {
    return sf::Mouse::isButtonPressed(button);
}
