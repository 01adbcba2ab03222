#include "services/input.hpp"

#include "scenes/scene.hpp"
#include "support/test_world.hpp"

#include <SFML/Window/Keyboard.hpp>

namespace {
class InputTest : public ::testing::Test {
protected:
    // Polls until the start-up delay is over, with nothing held.
    void settle() {
        world.pollInput(3);
        ASSERT_EQ(input.startDelay, 0);
    }
    void poll() { world.pollInput(); }

    TestWorld world{480, 320, false};
    Input& input = world.input;
    FakeDevices& devices = world.devices;
};
}  // namespace

TEST_F(InputTest, StartUpDelayAnswersNothingForTwoPollsThenAnswersNormally) {
    input.bindKey("jump", sf::Keyboard::Space);
    input.bindJoystickButton("jump", 0);
    input.bindKey("use", sf::Keyboard::E);
    devices.keys = {sf::Keyboard::Space};
    devices.buttons = {0};
    devices.axes = {{sf::Joystick::X, 90.f}, {sf::Joystick::Y, -60.f}};

    for (int pollNumber = 1; pollNumber <= 2; ++pollNumber) {
        poll();
        EXPECT_FALSE(input.isDown("jump")) << "poll " << pollNumber;
        EXPECT_FALSE(input.isPressed("jump")) << "poll " << pollNumber;
        EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), input.getStick());
    }
    // Queries do not use up the delay: only polls do.
    EXPECT_EQ(input.startDelay, 1);

    devices.keys.insert(sf::Keyboard::E);
    poll();
    EXPECT_TRUE(input.isDown("jump"));
    EXPECT_VEC_NEAR(sf::Vector2f(0.9f, -0.6f), input.getStick());
    // Held through the delay, so not a fresh press; a key first pressed now is.
    EXPECT_FALSE(input.isPressed("jump"));
    EXPECT_TRUE(input.isPressed("use"));
}

TEST_F(InputTest, BindingRefusesADuplicateCodeAndGrowsAnActionByNewOnes) {
    EXPECT_TRUE(input.bindKey("left", sf::Keyboard::A));
    EXPECT_FALSE(input.bindKey("left", sf::Keyboard::A));
    EXPECT_TRUE(input.bindKey("left", sf::Keyboard::Left));
    EXPECT_TRUE(input.bindKey("right", sf::Keyboard::D));
    EXPECT_TRUE(input.bindJoystickButton("left", 4));
    EXPECT_FALSE(input.bindJoystickButton("left", 4));

    ASSERT_EQ(input.keyActionCount, 2);
    ASSERT_EQ(input.joystickActionCount, 1);
    ASSERT_EQ(input.keyActions.size(), input.previousKeyActions.size());
    ASSERT_EQ(input.joystickActions.size(), input.previousJoystickActions.size());
    EXPECT_EQ(input.keyActions[0]->codeCount, 2);
    EXPECT_EQ(input.keyActions[0]->codes, (std::vector<int>{sf::Keyboard::A, sf::Keyboard::Left}));

    settle();
    devices.keys = {sf::Keyboard::Left};
    poll();
    EXPECT_TRUE(input.isDown("left"));
    EXPECT_FALSE(input.isDown("right"));
    EXPECT_FALSE(input.isDown("nothing bound"));
    EXPECT_FALSE(input.isPressed("nothing bound"));
}

TEST_F(InputTest, IsPressedFiresOnlyOnThePollWhereTheKeyGoesDown) {
    input.bindKey("jump", sf::Keyboard::Space);
    settle();
    const std::vector<std::pair<bool, bool>> heldThenPressed = {
        {true, true}, {true, false}, {true, false}, {false, false}, {true, true}, {false, false}};
    for (size_t i = 0; i < heldThenPressed.size(); ++i) {
        devices.keys.clear();
        if (heldThenPressed[i].first) devices.keys.insert(sf::Keyboard::Space);
        poll();
        EXPECT_EQ(input.isDown("jump"), heldThenPressed[i].first) << "poll " << i;
        EXPECT_EQ(input.isPressed("jump"), heldThenPressed[i].second) << "poll " << i;
    }
}

TEST_F(InputTest, KeyAndJoystickButtonOnOneActionEachHoldAndEachEdgeFires) {
    input.bindKey("use", sf::Keyboard::E);
    input.bindJoystickButton("use", 2);
    settle();

    devices.buttons = {2};
    poll();
    EXPECT_TRUE(input.isDown("use"));
    EXPECT_TRUE(input.isPressed("use"));

    // The button is still held; the key going down is an edge of its own.
    devices.keys = {sf::Keyboard::E};
    poll();
    EXPECT_TRUE(input.isPressed("use"));
    poll();
    EXPECT_TRUE(input.isDown("use"));
    EXPECT_FALSE(input.isPressed("use"));

    // And the other way round: key held, the button going down again fires.
    devices.buttons.clear();
    poll();
    EXPECT_TRUE(input.isDown("use"));
    EXPECT_FALSE(input.isPressed("use"));
    devices.buttons = {2};
    poll();
    EXPECT_TRUE(input.isPressed("use"));

    devices.keys.clear();
    devices.buttons.clear();
    poll();
    EXPECT_FALSE(input.isDown("use"));
}

TEST_F(InputTest, NegativeJoystickIndexTurnsJoystickInputOff) {
    input.bindKey("use", sf::Keyboard::E);
    input.bindJoystickButton("use", 2);
    input.bindJoystickButton("fire", 3);
    input.joystick = -1;
    settle();
    devices.buttons = {2, 3};
    devices.axes = {{sf::Joystick::X, 100.f}};
    poll();
    EXPECT_FALSE(input.isDown("use"));
    EXPECT_FALSE(input.isDown("fire"));
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), input.getStick());
    devices.keys = {sf::Keyboard::E};
    poll();
    EXPECT_TRUE(input.isPressed("use"));
}

TEST_F(InputTest, ZAxisCodesReadTheRawAxisPastASmallThreshold) {
    input.bindJoystickButton("left trigger", Input::axisZNegative);
    input.bindJoystickButton("right trigger", Input::axisZPositive);
    settle();
    // Buttons with the same numbers must not count: these codes name the axis.
    devices.buttons = {Input::axisZNegative, Input::axisZPositive};

    struct Case {
        float z;
        bool negative, positive;
    };
    const Case cases[] = {{0.f, false, false},   {-0.3f, false, false}, {0.3f, false, false},
                          {-0.31f, true, false}, {0.31f, false, true},  {-100.f, true, false},
                          {100.f, false, true},  {-12.f, true, false}};
    for (const Case& c : cases) {
        devices.axes = {{sf::Joystick::Z, c.z}};
        poll();
        EXPECT_EQ(input.isDown("left trigger"), c.negative) << "z = " << c.z;
        EXPECT_EQ(input.isDown("right trigger"), c.positive) << "z = " << c.z;
    }
}

TEST_F(InputTest, HeldKeyFiresOnceMoreAfterTheSceneRebindsOnEnter) {
    Scene scene;
    scene.init(&world.resources, &input, &world.soundBank);
    input.bindKey("next", sf::Keyboard::Enter);
    settle();
    devices.keys = {sf::Keyboard::Enter};
    poll();
    poll();
    ASSERT_TRUE(input.isDown("next"));
    ASSERT_FALSE(input.isPressed("next"));

    scene.enter();
    EXPECT_EQ(input.keyActionCount, 0);
    EXPECT_TRUE(input.keyActions.empty());
    EXPECT_TRUE(input.previousKeyActions.empty());
    EXPECT_FALSE(input.isDown("next"));

    input.bindKey("next", sf::Keyboard::Enter);
    poll();
    EXPECT_TRUE(input.isPressed("next"));
    poll();
    EXPECT_TRUE(input.isDown("next"));
    EXPECT_FALSE(input.isPressed("next"));
}

TEST_F(InputTest, StickHasAPerAxisDeadZoneAndIsNotRescaled) {
    settle();
    struct Case {
        float x, y;
        sf::Vector2f expected;
    };
    const Case cases[] = {
        {25.f, 90.f, {0.f, 0.9f}},   {-31.f, 0.f, {-0.31f, 0.f}},  {30.f, -30.f, {0.3f, -0.3f}},
        {29.9f, -29.9f, {0.f, 0.f}}, {-100.f, 100.f, {-1.f, 1.f}}, {0.f, -45.f, {0.f, -0.45f}},
    };
    for (const Case& c : cases) {
        devices.axes = {{sf::Joystick::X, c.x}, {sf::Joystick::Y, c.y}};
        EXPECT_VEC_NEAR(c.expected, input.getStick()) << "axes " << c.x << ", " << c.y;
    }
}

TEST_F(InputTest, MouseIsScaledToTheConfiguredResolutionOrTheFixedBase) {
    devices.window = {960, 640};  // the 480 x 320 game stretched over a larger window
    devices.mouse = {480, 160};
    poll();
    EXPECT_VEC_NEAR(sf::Vector2f(240.f, 80.f), input.mouse);

    devices.mouse = {960, 640};
    poll();
    EXPECT_VEC_NEAR(sf::Vector2f(240.f, 80.f), input.previousMouse);
    EXPECT_VEC_NEAR(sf::Vector2f(480.f, 320.f), input.mouse);

    // Over a window of another shape the picture is letterboxed, and the pointer with it.
    devices.window = {1080, 1920};
    devices.mouse = {540, 600 + 360};
    poll();
    EXPECT_VEC_NEAR(sf::Vector2f(240.f, 160.f), input.mouse);
    devices.window = {960, 640};
    devices.mouse = {960, 640};
    poll();

    // The player's own instance has no resources and scales to 1024 x 640.
    Input own;
    own.reset(nullptr, false);
    own.devices = &devices;
    devices.mouse = {480, 160};
    own.update(world.window);
    EXPECT_VEC_NEAR(sf::Vector2f(512.f, 160.f), own.mouse);
    EXPECT_VEC_NEAR(own.mouse, own.getMouseWorld());

    // A window without area leaves the last position rather than dividing by zero.
    devices.window = {0, 0};
    poll();
    EXPECT_VEC_NEAR(sf::Vector2f(480.f, 320.f), input.mouse);

    input.mouseOff = true;
    devices.window = {960, 640};
    poll();
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), input.mouse);
}

TEST_F(InputTest, MouseButtonsKeepTheirLastState) {
    devices.mouseButtons = {sf::Mouse::Left};
    poll();
    EXPECT_TRUE(input.leftButton);
    EXPECT_FALSE(input.previousLeftButton);
    EXPECT_FALSE(input.rightButton);
    devices.mouseButtons = {sf::Mouse::Right};
    poll();
    EXPECT_FALSE(input.leftButton);
    EXPECT_TRUE(input.previousLeftButton);
    EXPECT_TRUE(input.rightButton);
    EXPECT_FALSE(input.previousRightButton);
}

TEST_F(InputTest, MouseWorldFollowsTheViewsCentreAndZoom) {
    devices.mouse = {100, 40};
    poll();
    EXPECT_VEC_NEAR(sf::Vector2f(100.f, 40.f), input.getMouseWorld());

    // Zoomed out twice over a view centred far away.
    world.resources.view.setSize(960.f, 640.f);
    world.resources.view.setCenter(1000.f, 500.f);
    EXPECT_VEC_NEAR(sf::Vector2f(520.f + 200.f, 180.f + 80.f), input.getMouseWorld());

    world.resources.view.setSize(240.f, 160.f);
    world.resources.view.setCenter(0.f, 0.f);
    EXPECT_VEC_NEAR(sf::Vector2f(-120.f + 50.f, -80.f + 20.f), input.getMouseWorld());
}

TEST_F(InputTest, WheelDeltaLastsUntilTheNextPoll) {
    poll();
    input.wheelDelta = -2;  // as the game stores it from the frame's events
    EXPECT_EQ(input.wheelDelta, -2);
    poll();
    EXPECT_EQ(input.wheelDelta, 0);
}
