#pragma once

#include "scenes/scene.hpp"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/String.hpp>

#include <vector>

// One row of a menu.
struct MenuEntry {
    // label "_empty_" shows the action's name.
    MenuEntry(const sf::String& action, bool isButton, const sf::String& label);

    bool isButton;
    sf::String action;
    sf::String label;
    sf::Vector2f position;
    sf::Vector2f target;
    sf::Vector2f hiddenOffset;
};

// A scene with a vertical list of text entries, navigated by keyboard, stick or mouse. The
// entries slide in from the left while the menu is visible and out while it is hidden.
class Menu : public Scene {
public:
    void init(Resources* resources, Input* input, SoundBank* soundBank) override;
    // Binds the menu's actions and empties the list; subclasses then add their entries.
    void enter() override;
    void update(sf::Time elapsed) override;
    // Navigation; runs only from Scene::update.
    void onUpdate(sf::Time elapsed) override;
    void draw() override;
    // Carries out the selected entry: direction 0 activates, 1 / -1 adjust, anything else
    // is a mouse-wheel delta. Returns whether the entry accepted it.
    virtual bool onMenuAction(int direction);
    // Computes every entry's resting place; without `snap` the entries start hidden.
    virtual void layoutEntries(bool snap);

    sf::Sprite cursor;
    float repeatTimer = 0.f;
    float repeatDelay = 0.2f;
    float textScale = 1.f;
    bool menuVisible = true;
    bool showCursor = true;
    int selected = 0;
    int lineHeight = 24;
    int lastMouseY = 0;
    int lastMouseX = 0;
    std::vector<MenuEntry> entries;
    float menuLeft = 10.f;
    float menuTop = 5.f;
    sf::Color textColor = sf::Color(255, 255, 255, 255);
    sf::Color shadowColor = sf::Color(0, 0, 0, 255);
    // The other labels: a light grey over the same shadow, readable on the dark sky and on a
    // bright planet alike, and still plainly not the white of the selected one.
    sf::Color idleColor = sf::Color(176, 176, 192, 255);

private:
    enum class StickDirection { none, left, right, up, down };
    StickDirection readStick();
    void moveSelection(int step);
    void act(int direction);
    void playMenuSound(const sf::String& name);
    void handleMouse();
    void drawLabel(const MenuEntry& entry, sf::Color color);
    int labelWidth(const MenuEntry& entry);
};
