#include "services/input.hpp"

#include "services/letterbox.hpp"
#include "services/resources.hpp"

namespace {
constexpr float stickDeadZone = 0.3f;     // fraction of the full stick travel
constexpr float triggerThreshold = 0.3f;  // raw Z-axis units (of +-100) that count as pushed
constexpr float axisRange = 100.f;        // raw axis units at full travel
constexpr float fixedBaseWidth = 1024.f;  // px, mouse base when not scaled to the resolution
constexpr float fixedBaseHeight = 640.f;  // px
constexpr int startUpDelay = 3;           // polls

InputAction* findAction(const std::vector<InputAction*>& actions, const sf::String& name,
                        size_t* index = nullptr) {
    for (size_t i = 0; i < actions.size(); ++i) {
        if (actions[i]->name == name) {
            if (index != nullptr) *index = i;
            return actions[i];
        }
    }
    return nullptr;
}

bool bindCode(std::vector<InputAction*>& actions, std::vector<InputAction*>& previous, int& count,
              const sf::String& name, int code) {
    if (InputAction* action = findAction(actions, name)) {
        for (int existing : action->codes)
            if (existing == code) return false;
        action->codes.push_back(code);
        action->codeCount += 1;
        return true;
    }
    auto* action = new InputAction();
    action->name = name;
    action->codes.push_back(code);
    action->codeCount = 1;
    actions.push_back(action);
    previous.push_back(new InputAction(*action));
    count += 1;
    return true;
}

void deleteAll(std::vector<InputAction*>& actions) {
    for (InputAction* action : actions) delete action;
    actions.clear();
}

// Answers for one kind of action: held now, and for `edge` also not held at the last poll.
bool actionHeld(const std::vector<InputAction*>& actions, const std::vector<InputAction*>& previous,
                const sf::String& name, bool edge) {
    size_t index = 0;
    const InputAction* action = findAction(actions, name, &index);
    if (action == nullptr || !action->pressed) return false;
    return !edge || !previous[index]->pressed;
}

float deadZone(float value) {
    return (value > -stickDeadZone && value < stickDeadZone) ? 0.f : value;
}
}  // namespace

Input::~Input() {
    clearActions();
}

void Input::reset(Resources* r, bool scale) {
    clearActions();
    resources = r;
    scaleToResolution = scale;
    joystick = 0;
    startDelay = startUpDelay;
    mouse = previousMouse = {0.f, 0.f};
    leftButton = rightButton = previousLeftButton = previousRightButton = false;
    wheelDelta = 0;
}

bool Input::bindKey(const sf::String& name, int key) {
    return bindCode(keyActions, previousKeyActions, keyActionCount, name, key);
}

bool Input::bindJoystickButton(const sf::String& name, int code) {
    return bindCode(joystickActions, previousJoystickActions, joystickActionCount, name, code);
}

void Input::clearActions() {
    deleteAll(keyActions);
    deleteAll(previousKeyActions);
    deleteAll(joystickActions);
    deleteAll(previousJoystickActions);
    keyActionCount = 0;
    joystickActionCount = 0;
}

bool Input::codeActive(int code, bool joystickCode) const {
    if (!joystickCode) return devices->isKeyPressed(code);
    if (code == axisZNegative)
        return devices->joystickAxis(joystick, sf::Joystick::Z) < -triggerThreshold;
    if (code == axisZPositive)
        return devices->joystickAxis(joystick, sf::Joystick::Z) > triggerThreshold;
    return devices->isJoystickButtonPressed(joystick, code);
}

void Input::pollActions(std::vector<InputAction*>& current, std::vector<InputAction*>& previous,
                        bool joystickCodes) {
    for (size_t i = 0; i < current.size(); ++i) {
        previous[i]->pressed = current[i]->pressed;
        bool held = false;
        for (int code : current[i]->codes) held = held || codeActive(code, joystickCodes);
        current[i]->pressed = held;
    }
}

void Input::update(const sf::RenderWindow& window) {
    previousMouse = mouse;
    wheelDelta = 0;
    if (startDelay > 0) startDelay -= 1;

    if (mouseOff) {
        mouse = {0.f, 0.f};
    } else {
        const sf::Vector2i pixel = devices->mousePosition(window);
        const sf::Vector2u size = devices->windowSize(window);
        // A minimised window has no area to scale by; the mouse keeps its last position.
        if (size.x > 0 && size.y > 0) mouse = pointInView(pixel, size);
    }

    pollActions(keyActions, previousKeyActions, false);
    if (joystick >= 0) pollActions(joystickActions, previousJoystickActions, true);

    previousLeftButton = leftButton;
    leftButton = devices->isMouseButtonPressed(sf::Mouse::Left);
    previousRightButton = rightButton;
    rightButton = devices->isMouseButtonPressed(sf::Mouse::Right);
}

sf::Vector2f Input::pointInView(sf::Vector2i pixel, sf::Vector2u windowSize) const {
    // The picture is shown letterboxed, so the pointer is mapped through the same transform.
    if (scaleToResolution && resources != nullptr && resources->width > 0 &&
        resources->height > 0) {
        const sf::Vector2u picture(static_cast<unsigned>(resources->width),
                                   static_cast<unsigned>(resources->height));
        return Letterbox(windowSize, picture).toPicture(pixel);
    }
    return {pixel.x / (windowSize.x / fixedBaseWidth), pixel.y / (windowSize.y / fixedBaseHeight)};
}

bool Input::isDown(const sf::String& name) const {
    if (startDelay >= 1) return false;
    if (joystick >= 0 && actionHeld(joystickActions, previousJoystickActions, name, false))
        return true;
    return actionHeld(keyActions, previousKeyActions, name, false);
}

bool Input::isPressed(const sf::String& name) const {
    if (startDelay >= 1) return false;
    if (joystick >= 0 && actionHeld(joystickActions, previousJoystickActions, name, true))
        return true;
    return actionHeld(keyActions, previousKeyActions, name, true);
}

sf::Vector2f Input::getStick() const {
    if (startDelay >= 1 || joystick < 0) return {0.f, 0.f};
    const float x = devices->joystickAxis(joystick, sf::Joystick::X) / axisRange;
    const float y = devices->joystickAxis(joystick, sf::Joystick::Y) / axisRange;
    return {deadZone(x), deadZone(y)};
}

sf::Vector2f Input::getMouseWorld() const {
    if (resources == nullptr) return mouse;
    const sf::View& view = resources->view;
    const float zoom = static_cast<float>(resources->width) / view.getSize().x;
    const sf::FloatRect shown = visibleArea(view);
    return sf::Vector2f(shown.left, shown.top) + mouse / zoom;
}
