#include "scenes/menu.hpp"

#include "support/test_world.hpp"

#include <SFML/Window/Keyboard.hpp>

#include <vector>

namespace {
// A menu of three entries that records what it was asked to do.
class RecordingMenu : public Menu {
public:
    void enter() override {
        Menu::enter();
        entries.emplace_back("first", true, "Resume");
        entries.emplace_back("volume", false, "_empty_");
        entries.emplace_back("last", true, "Quit game");
        layoutEntries(true);
    }
    bool onMenuAction(int direction) override {
        actions.push_back(direction);
        return accept;
    }
    std::vector<int> actions;
    bool accept = true;
};

class MenuTest : public ::testing::Test {
protected:
    MenuTest() {
        menu.init(&world.resources, &world.input, &world.soundBank);
        menu.enter();
        menu.fade = 0.f;  // skip the fade-in: navigation runs from the first frame
        world.pollInput(3);
    }
    void step(sf::Time elapsed = frame()) { world.step(menu, elapsed); }
    void tapKey(sf::Keyboard::Key key) { world.tapKey(menu, key); }
    // The mouse over row `row`, `x` pixels from the window's left edge.
    void mouseAt(int x, int row) { world.devices.mouse = {x, 5 + 24 * row + 12}; }

    TestWorld world;
    RecordingMenu menu;
};
}  // namespace

TEST_F(MenuTest, UpAndDownWrapAround) {
    tapKey(sf::Keyboard::Up);
    EXPECT_EQ(menu.selected, 2);
    tapKey(sf::Keyboard::Down);
    EXPECT_EQ(menu.selected, 0);
    tapKey(sf::Keyboard::Down);
    EXPECT_EQ(menu.selected, 1);
}

TEST_F(MenuTest, MovingTheSelectionSoundsAtTheSoundsVolumeOnlyOnce) {
    // The sound bank applies the player's sound volume; the menu must not apply it again.
    ASSERT_TRUE(world.soundBank.addSound(
        "menu_change", (world.resources.sfxDir + "menu_change.wav").toAnsiString()));
    world.resources.soundVolume = 40;
    tapKey(sf::Keyboard::Down);
    EXPECT_NEAR(world.soundBank.entries[0]->sound.getVolume(), 40.f, 0.01f);
}

TEST_F(MenuTest, UseActivatesButtonsAndIncDecAdjustTheOthers) {
    tapKey(sf::Keyboard::Return);
    EXPECT_EQ(menu.actions, (std::vector<int>{0}));
    tapKey(sf::Keyboard::Right);  // not a slider: ignored
    tapKey(sf::Keyboard::Down);
    tapKey(sf::Keyboard::Right);
    tapKey(sf::Keyboard::Left);
    tapKey(sf::Keyboard::Space);  // a slider is not activated
    EXPECT_EQ(menu.actions, (std::vector<int>{0, 1, -1}));
}

TEST_F(MenuTest, HeldStickMovesOnceAndThenEveryRepeatDelay) {
    world.devices.axes[sf::Joystick::Y] = 90.f;
    step();
    EXPECT_EQ(menu.selected, 1);
    for (int i = 0; i < 11; ++i) step();  // 0.176 s: still waiting
    EXPECT_EQ(menu.selected, 1);
    step();
    step();
    EXPECT_EQ(menu.selected, 2);
    world.devices.axes[sf::Joystick::Y] = 0.f;
    step();  // released: the timer clears
    world.devices.axes[sf::Joystick::Y] = 90.f;
    step();
    EXPECT_EQ(menu.selected, 0);
}

TEST_F(MenuTest, DiagonalStickMovesDownWithoutAdjusting) {
    menu.selected = 0;
    world.devices.axes[sf::Joystick::X] = 80.f;
    world.devices.axes[sf::Joystick::Y] = 80.f;
    step();
    EXPECT_EQ(menu.selected, 1);
    EXPECT_TRUE(menu.actions.empty());
}

TEST_F(MenuTest, RestingMouseDoesNotStealTheSelectionBack) {
    mouseAt(20, 2);
    step();
    EXPECT_EQ(menu.selected, 2);
    tapKey(sf::Keyboard::Down);
    EXPECT_EQ(menu.selected, 0);
    step();
    EXPECT_EQ(menu.selected, 0);
    mouseAt(21, 2);
    step();
    EXPECT_EQ(menu.selected, 2);
}

TEST_F(MenuTest, ClickActivatesOnlyInsideARowsHotZone) {
    mouseAt(400, 0);  // right of the label's hot zone
    world.devices.mouseButtons.insert(sf::Mouse::Left);
    step();
    world.devices.mouseButtons.clear();
    step();
    EXPECT_TRUE(menu.actions.empty());
    world.devices.mouse = {20, 200};  // below the rows
    world.devices.mouseButtons.insert(sf::Mouse::Left);
    step();
    world.devices.mouseButtons.clear();
    step();
    EXPECT_TRUE(menu.actions.empty());
    mouseAt(20, 2);
    step();
    world.devices.mouseButtons.insert(sf::Mouse::Left);
    step();
    step();  // held: no second click
    EXPECT_EQ(menu.actions, (std::vector<int>{0}));
}

TEST_F(MenuTest, WheelOverARowActsWithItsDelta) {
    mouseAt(20, 0);
    step();
    world.input.wheelDelta = -1;  // as the game's event handling leaves it before the update
    menu.update(frame());
    EXPECT_EQ(menu.actions, (std::vector<int>{-1}));
}

TEST_F(MenuTest, HiddenMenuIgnoresInputButKeepsSliding) {
    menu.menuVisible = false;
    const float start = menu.entries[0].position.x;
    world.devices.keys.insert(sf::Keyboard::Return);
    world.devices.keys.insert(sf::Keyboard::Down);
    step();
    EXPECT_EQ(menu.selected, 0);
    EXPECT_TRUE(menu.actions.empty());
    EXPECT_NEAR(menu.entries[0].position.x, start - 420.f * 0.016f, 1e-3f);
}

TEST_F(MenuTest, EntriesRestEveryLineAndTheSelectedOneStandsOut) {
    EXPECT_VEC_NEAR(sf::Vector2f(10.f, -11.f), menu.entries[0].target);
    EXPECT_VEC_NEAR(sf::Vector2f(10.f, 37.f), menu.entries[2].target);
    EXPECT_EQ(menu.entries[1].label, sf::String("volume"));
    for (int i = 0; i < 10; ++i) step();
    EXPECT_VEC_NEAR(sf::Vector2f(30.f, -11.f), menu.entries[0].position);
    EXPECT_VEC_NEAR(sf::Vector2f(10.f, 13.f), menu.entries[1].position);
}

TEST_F(MenuTest, LayoutWithoutSnapStartsEntriesOffTheLeftEdge) {
    menu.layoutEntries(false);
    for (const MenuEntry& entry : menu.entries) {
        EXPECT_LE(entry.position.x + world.resources.measureText(0, entry.label).x, 0.f);
        EXPECT_FLOAT_EQ(entry.position.y, entry.target.y);
    }
}
