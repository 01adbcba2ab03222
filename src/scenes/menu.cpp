#include "scenes/menu.hpp"

#include "core/sprite_sheet.hpp"
#include "services/input.hpp"
#include "services/resources.hpp"
#include "services/sound_bank.hpp"

#include <SFML/Window/Keyboard.hpp>

#include <cmath>

namespace {
constexpr float slideSpeed = 420.f;       // px/s of an entry sliding in or out
constexpr float selectedStandOut = 20.f;  // px the selected entry stands out to the right
constexpr float stickRelease = 0.3f;      // stick back within this lets the next push act
constexpr float stickPush = 0.5f;         // stick past this moves the selection
constexpr float hotZoneExtra = 20.f;      // px right of a label that still counts as on it
constexpr float hiddenMargin = 10.f;      // px past the left edge of a hidden entry
constexpr float rowTextOffset = 16.f;     // px drawText adds below y
constexpr int menuFont = 0;
const sf::String changeSound = "menu_change";
const sf::String refuseSound = "menu_no";
// The bank already scales every sound by the sounds setting; passing that setting again as
// the volume would square it and leave menu sounds at full volume whatever the setting.
constexpr float menuSoundVolume = 1.f;
constexpr float menuSoundPitch = 1.f;
constexpr float menuPitchVariation = 0.1f;
}  // namespace

MenuEntry::MenuEntry(const sf::String& action_, bool isButton_, const sf::String& label_)
    : isButton(isButton_), action(action_), label(label_ == "_empty_" ? action_ : label_) {}

void Menu::init(Resources* r, Input* i, SoundBank* s) {
    Scene::init(r, i, s);
    if (!resources->textures.empty()) cursor.setTexture(resources->textures[0], false);
    cursor.setTextureRect(sheet::cursor.firstCell());
    cursor.setOrigin(sheet::cursor.centre());
}

void Menu::enter() {
    Scene::enter();
    input->bindKey("next", sf::Keyboard::Up);
    input->bindKey("prev", sf::Keyboard::Down);
    input->bindKey("use", sf::Keyboard::Return);
    input->bindKey("use", sf::Keyboard::Z);
    input->bindKey("use", sf::Keyboard::Space);
    input->bindJoystickButton("use", 0);
    input->bindKey("inc", sf::Keyboard::Right);
    input->bindKey("dec", sf::Keyboard::Left);
    entries.clear();
    selected = 0;
    repeatTimer = 0.f;
    repeatDelay = 0.2f;
    textScale = 1.f;
    lineHeight = 24;
    lastMouseX = lastMouseY = 0;
    menuLeft = 10.f;
    menuTop = 5.f;
    menuVisible = showCursor = true;
    textColor = sf::Color(255, 255, 255, 255);
    shadowColor = sf::Color(0, 0, 0, 255);
}

int Menu::labelWidth(const MenuEntry& entry) {
    return static_cast<int>(resources->measureText(menuFont, entry.label).x);
}

void Menu::layoutEntries(bool snap) {
    for (size_t i = 0; i < entries.size(); ++i) {
        MenuEntry& entry = entries[i];
        entry.target = {menuLeft, menuTop + static_cast<float>(lineHeight) * i - rowTextOffset};
        const float width = resources->measureText(menuFont, entry.label).x;
        entry.hiddenOffset = {-hiddenMargin - width * textScale, 0.f};
        entry.position = entry.target;
        if (!snap) entry.position += entry.hiddenOffset;
    }
}

void Menu::update(sf::Time elapsed) {
    Scene::update(elapsed);
    if (repeatTimer > 0.f) repeatTimer -= elapsed.asSeconds();
    const float step = elapsed.asSeconds() * slideSpeed;
    for (size_t i = 0; i < entries.size(); ++i) {
        MenuEntry& entry = entries[i];
        sf::Vector2f goal = entry.target;
        if (!menuVisible)
            goal += entry.hiddenOffset;
        else if (static_cast<int>(i) == selected)
            goal.x += selectedStandOut;
        const sf::Vector2f gap = goal - entry.position;
        const float distance = std::sqrt(gap.x * gap.x + gap.y * gap.y);
        if (distance <= step)
            entry.position = goal;
        else
            entry.position += gap / distance * step;
    }
}

Menu::StickDirection Menu::readStick() {
    const sf::Vector2f stick = input->getStick();
    if (repeatTimer > 0.f) {
        if (stick.x > -stickRelease && stick.x < stickRelease && stick.y > -stickRelease &&
            stick.y < stickRelease)
            repeatTimer = 0.f;
        return StickDirection::none;
    }
    StickDirection direction = StickDirection::none;
    if (stick.x > stickPush)
        direction = StickDirection::right;
    else if (stick.x < -stickPush)
        direction = StickDirection::left;
    if (stick.y > stickPush)
        direction = StickDirection::down;
    else if (stick.y < -stickPush)
        direction = StickDirection::up;
    if (direction != StickDirection::none) repeatTimer = repeatDelay;
    return direction;
}

void Menu::playMenuSound(const sf::String& name) {
    soundBank->playSound(name, menuSoundVolume, menuSoundPitch, menuPitchVariation);
}

void Menu::moveSelection(int step) {
    const int count = static_cast<int>(entries.size());
    selected = ((selected + step) % count + count) % count;
    playMenuSound(changeSound);
}

void Menu::act(int direction) {
    const bool accepted = onMenuAction(direction);
    playMenuSound(accepted ? changeSound : refuseSound);
}

void Menu::onUpdate(sf::Time) {
    if (!menuVisible || entries.empty()) return;
    const StickDirection stick = readStick();
    if (input->isPressed("next") || stick == StickDirection::up) moveSelection(-1);
    if (input->isPressed("prev") || stick == StickDirection::down) moveSelection(1);
    if (entries[static_cast<size_t>(selected)].isButton) {
        if (input->isPressed("use")) act(0);
    } else {
        if (input->isPressed("inc") || stick == StickDirection::right) act(1);
        if (input->isPressed("dec") || stick == StickDirection::left) act(-1);
    }
    handleMouse();
}

void Menu::handleMouse() {
    const int mx = static_cast<int>(input->mouse.x);
    const int my = static_cast<int>(input->mouse.y);
    const int top = static_cast<int>(menuTop);
    const int rows = static_cast<int>(entries.size());
    if (my > top && my < top + rows * lineHeight) {
        const int row = (my - top) / lineHeight;
        const int width = labelWidth(entries[static_cast<size_t>(row)]);
        const bool onLabel = mx > menuLeft && mx < menuLeft + width + hotZoneExtra;
        const bool mouseMoved = mx != lastMouseX || my != lastMouseY;
        if (mouseMoved && row != selected && onLabel) {
            selected = row;
            playMenuSound(changeSound);
        }
        if (onLabel) {
            if (input->leftButton && !input->previousLeftButton) act(0);
            if (input->startDelay <= 0 && input->wheelDelta != 0) act(input->wheelDelta);
        }
    }
    lastMouseY = my;
    lastMouseX = mx;
}

void Menu::draw() {
    Scene::draw();
    if (menuVisible) {
        for (size_t i = 0; i < entries.size(); ++i)
            drawLabel(entries[i], static_cast<int>(i) == selected ? textColor : idleColor);
    }
    if (showCursor) {
        cursor.setPosition(input->mouse);
        resources->layers[static_cast<size_t>(hudLayer)]->draw(cursor);
    }
}

// A label with a one-pixel shadow below and right of it.
void Menu::drawLabel(const MenuEntry& entry, sf::Color color) {
    resources->drawText(hudLayer, entry.label, textScale, 0.f, shadowColor, entry.position.x + 1.f,
                        entry.position.y + 1.f, 0.f, 0.f);
    resources->drawText(hudLayer, entry.label, textScale, 0.f, color, entry.position.x,
                        entry.position.y, 0.f, 0.f);
}

bool Menu::onMenuAction(int) {
    return false;
}
