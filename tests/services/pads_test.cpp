#include "services/pads.hpp"

#include "services/input_devices.hpp"
#include "support/test_world.hpp"
#include "walkers/planet.hpp"
#include "walkers/player.hpp"
#include "world/scene_base.hpp"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {
// SDL's own database entries for two real pads, by the GUIDs the system gives them: on Linux
// their USB ones; on Windows the PS4 pad's through DirectInput, and the Xbox pad's through
// XInput (its GUID marked 'x'), whose one layout serves every Xbox pad.
#ifdef _WIN32
constexpr const char* ps4Guid = "030000004c050000cc09000000000000";
constexpr const char* xbox360Guid = "030000005e0400008e02000000007800";
#else
constexpr const char* ps4Guid = "030000004c050000cc09000011010000";
constexpr const char* xbox360Guid = "030000005e0400008e02000014010000";
#endif
constexpr float resetPlanetRadius = 160.f;
constexpr Sint16 released = -32768;  // a trigger at rest, as the pads' raw axes report it

// A virtual joystick standing in for a real pad: SDL's mapping of the real pad is re-keyed to
// the virtual one's GUID, so its raw buttons and axes mean what the real pad's do. Without a
// real GUID it is a pad SDL does not know.
class VirtualPad {
public:
    VirtualPad(Uint16 vendor, Uint16 product, const char* realGuid = nullptr) {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = 6;
        desc.nbuttons = 14;
        desc.nhats = 1;
        desc.vendor_id = vendor;
        desc.product_id = product;
        desc.name = "virtual pad";
        const int device = SDL_JoystickAttachVirtualEx(&desc);
        if (realGuid != nullptr) map(device, realGuid);
        joystick = SDL_JoystickOpen(device);
        id = SDL_JoystickInstanceID(joystick);
    }
    ~VirtualPad() {
        unplug();
        SDL_JoystickClose(joystick);
    }
    void set(int button, bool down) { SDL_JoystickSetVirtualButton(joystick, button, down); }
    void tilt(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick, axis, value); }
    std::string guid() const {
        char text[33];
        SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick), text, sizeof text);
        return text;
    }
    void unplug() {
        for (int device = 0; device < SDL_NumJoysticks(); ++device)
            if (SDL_JoystickGetDeviceInstanceID(device) == id) SDL_JoystickDetachVirtual(device);
    }

    SDL_Joystick* joystick = nullptr;
    SDL_JoystickID id = -1;

private:
    static void map(int device, const char* realGuid) {
        char* real = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(realGuid));
        ASSERT_NE(real, nullptr) << realGuid;
        char guid[33];
        SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(device), guid, sizeof guid);
        const std::string mapping = guid + std::string(real).substr(std::string(real).find(','));
        SDL_free(real);
        ASSERT_GE(SDL_GameControllerAddMapping(mapping.c_str()), 0) << SDL_GetError();
    }
};

// The gameplay scene with its input read from the real devices, so the pads come through the
// game's own pad layer, polled once a frame as the game polls it.
class PadTest : public ::testing::Test {
protected:
    PadTest() {
        EXPECT_TRUE(pads.started());
        world.input.devices = &DesktopInputDevices::instance();
        scene.init(&world.resources, &world.input, &world.soundBank);
        scene.enter();
        srand(1234);
        while (scene.fade > 0.f || world.input.startDelay > 0) step();
    }
    void step() {
        pads.poll();
        world.step(scene);
    }
    // Holds a raw button for one frame and lets it go for the next.
    void tap(VirtualPad& pad, int button) {
        pad.set(button, true);
        step();
        pad.set(button, false);
        step();
    }
    bool rebuilt() const {
        return static_cast<Planet*>(scene.planets.back())->radius == resetPlanetRadius;
    }
    bool jumped() const { return !scene.player->surfaced; }
    float axis(sf::Joystick::Axis axis) const {
        return DesktopInputDevices::instance().joystickAxis(0, axis);
    }

    Pads& pads = Pads::instance();
    TestWorld world;
    SceneBase scene;
};
}  // namespace

TEST_F(PadTest, Ps4PadOptionsPausesTriggersDoNothingCrossJumps) {
    VirtualPad ps4(0x054c, 0x09cc, ps4Guid);
    ps4.tilt(3, released);
    ps4.tilt(4, released);
    step();
    ASSERT_EQ(pads.count(), 1);
    EXPECT_TRUE(pads.isMapped(0));

    tap(ps4, 6);  // L2 as a button
    tap(ps4, 7);  // R2 as a button
    ps4.tilt(3, 32767);
    step();
    EXPECT_FLOAT_EQ(axis(sf::Joystick::Z), -100.f) << "L2 is the left trigger";
    ps4.tilt(3, released);
    ps4.tilt(4, 32767);
    step();
    EXPECT_FLOAT_EQ(axis(sf::Joystick::Z), 100.f) << "R2 is the right trigger";
    ps4.tilt(4, released);
    step();
    EXPECT_FALSE(scene.paused) << "a trigger opened the pause menu";
    EXPECT_FALSE(rebuilt()) << "a trigger rebuilt the world";

    tap(ps4, 0);  // Square: use, not jump
    EXPECT_FALSE(jumped());
    tap(ps4, 1);  // Cross
    EXPECT_TRUE(jumped()) << "Cross is the lowest face button";
    tap(ps4, 9);  // Options
    EXPECT_TRUE(scene.paused);
    tap(ps4, 8);  // Share
    EXPECT_TRUE(rebuilt());
}

TEST_F(PadTest, XboxPadKeepsItsNumbersAndItsLeftStickAndTriggers) {
    VirtualPad xbox(0x045e, 0x028e, xbox360Guid);
    xbox.tilt(2, released);
    xbox.tilt(5, released);
    xbox.tilt(0, 32767);
    xbox.tilt(1, -32768);
    step();
    ASSERT_TRUE(pads.isMapped(0));
    EXPECT_FLOAT_EQ(axis(sf::Joystick::X), 100.f);
    EXPECT_FLOAT_EQ(axis(sf::Joystick::Y), -100.f);
    EXPECT_FLOAT_EQ(axis(sf::Joystick::Z), 0.f) << "both triggers at rest";
    xbox.tilt(2, 32767);
    step();
    EXPECT_FLOAT_EQ(axis(sf::Joystick::Z), -100.f) << "left trigger";
    xbox.tilt(0, 0);
    xbox.tilt(1, 0);
    xbox.tilt(2, released);
    step();

    tap(xbox, 0);
    EXPECT_TRUE(jumped()) << "A jumps";
    tap(xbox, 7);
    EXPECT_TRUE(scene.paused) << "Start pauses";
    tap(xbox, 6);
    EXPECT_TRUE(rebuilt()) << "Back rebuilds";
}

TEST_F(PadTest, PadsComeAndGoWhileTheGameRunsAndTheFirstStillThereIsRead) {
    EXPECT_EQ(pads.count(), 0);
    {
        VirtualPad ps4(0x054c, 0x09cc, ps4Guid);
        ps4.set(1, true);  // Cross held
        step();
        step();
        EXPECT_TRUE(scene.player->input.isDown("jump"));
        ps4.unplug();
        step();
        EXPECT_EQ(pads.count(), 0);
        EXPECT_FALSE(scene.player->input.isDown("jump")) << "a pad pulled out mid-jump lets go";
    }

    auto xbox = std::make_unique<VirtualPad>(0x045e, 0x028e, xbox360Guid);
    VirtualPad ps4(0x054c, 0x09cc, ps4Guid);
    step();
    ASSERT_EQ(pads.count(), 2);
    tap(ps4, 9);
    EXPECT_FALSE(scene.paused) << "the second pad is read";
    xbox.reset();
    step();
    tap(ps4, 9);
    EXPECT_TRUE(scene.paused) << "the pad still there is not read as the first";
}

TEST_F(PadTest, PadSdlDoesNotKnowAnswersItsRawNumbers) {
    VirtualPad unknown(0x1209, 0x0001);
    unknown.tilt(0, -32768);
    step();
    ASSERT_EQ(pads.count(), 1);
    EXPECT_FALSE(pads.isMapped(0));
    EXPECT_FLOAT_EQ(axis(sf::Joystick::X), -100.f);
    EXPECT_FLOAT_EQ(axis(sf::Joystick::PovX), 0.f);
    EXPECT_FALSE(DesktopInputDevices::instance().isJoystickButtonPressed(0, 40));
    unknown.tilt(0, 0);

    tap(unknown, 7);
    EXPECT_TRUE(scene.paused) << "raw button 7 pauses";
    tap(unknown, 6);
    EXPECT_TRUE(rebuilt()) << "raw button 6 rebuilds";
}

TEST_F(PadTest, MappingFileTeachesAPadItsLayoutAndAnUnreadableOneIsNamed) {
    const std::string path = testing::TempDir() + "gamecontrollerdb.txt";
    std::ostringstream warnings;
    pads.addMappings(path.c_str(), warnings);
    EXPECT_EQ(warnings.str(), "") << "no file, nothing to say";

    VirtualPad pad(0x1209, 0x0002);
    std::ofstream(path) << "# a comment line\n"
                        << pad.guid() << ",Test pad,a:b3,start:b5,platform:" << SDL_GetPlatform()
                        << ",\n";
    pads.addMappings(path.c_str(), warnings);
    step();
    EXPECT_TRUE(pads.isMapped(0));
    tap(pad, 3);
    EXPECT_TRUE(jumped()) << "the file's south button jumps";
    tap(pad, 5);
    EXPECT_TRUE(scene.paused) << "the file's Start pauses";
    std::remove(path.c_str());

    pads.addMappings(testing::TempDir().c_str(), warnings);
    EXPECT_EQ(warnings.str(),
              "skywaltz: " + testing::TempDir() +
                  ": cannot be read; pads it would add keep their own button numbers\n");
}
