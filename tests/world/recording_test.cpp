// The game's sound as the player hears it, recorded through OpenAL Soft's wave writer
// (ALSOFT_DRIVERS=wave, with ALSOFT_CONF naming the file): characters walking far off screen
// are not heard, the same characters in view are, and the music with every effect at once
// stays under full scale. Runs in real time, as the recording does.
#include "world/scene_base.hpp"

#include "items/npc.hpp"
#include "support/test_world.hpp"
#include "walkers/planet.hpp"

#include <gtest/gtest.h>
#include <SFML/Audio/Music.hpp>
#include <SFML/System/Sleep.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

const char* const effectNames[] = {"jump",  "walking_s", "menu_change", "menu_no", "pickup",
                                   "throw", "push_off",  "altar",       "birth",   "menu_open"};
const sf::Vector2f farAway(4000.f, 0.f);  // px: a planet this far from the first is off screen
constexpr double settle = 1.5;            // s for the player to land and stand still
constexpr double margin = 0.25;           // s either side of a phase left out of its check
constexpr float silence = 1e-4f;          // of full scale: nothing heard
constexpr float markerLevel = 0.01f;      // of full scale: the marking sound has begun

// The mixed samples of a wave file (16-bit or float), both channels, full scale = 1.
struct Recording {
    unsigned rate = 0;
    unsigned channels = 0;
    std::vector<float> samples;
    double start = 0.0;  // s on the test's clock of the first sample

    // Seconds into the recording of the first sample louder than `level`, or -1.
    double firstAbove(float level) const {
        for (std::size_t i = 0; i < samples.size(); ++i)
            if (std::fabs(samples[i]) > level) return static_cast<double>(i / channels) / rate;
        return -1.0;
    }
    // The loudest sample between two times on the test's clock.
    float peak(double from, double to) const {
        const auto at = [&](double t) {
            return static_cast<std::size_t>(std::max(0.0, t - start) * rate) * channels;
        };
        const std::size_t first = at(from);
        const std::size_t last = std::min(samples.size(), at(to));
        float loudest = 0.f;
        for (std::size_t i = first; i < last; ++i)
            loudest = std::max(loudest, std::fabs(samples[i]));
        return loudest;
    }
};

std::uint32_t little(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

bool readWave(const std::string& path, Recording& out) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0) return false;
    bool isFloat = false;
    unsigned bits = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::size_t size = little(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (id == "fmt ") {
            const std::uint32_t format = little(bytes, body, 2);
            out.channels = little(bytes, body + 2, 2);
            out.rate = little(bytes, body + 4, 4);
            bits = little(bytes, body + 14, 2);
            // WAVE_FORMAT_EXTENSIBLE names its format in the first bytes of its GUID.
            isFloat = (format == 0xFFFE ? little(bytes, body + 24, 2) : format) == 3;
        } else if (id == "data") {
            // The writer may not have filled in the size: the data runs to the end.
            const std::size_t end = size == 0 ? bytes.size() : std::min(bytes.size(), body + size);
            for (std::size_t i = body; i + bits / 8 <= end; i += bits / 8) {
                if (isFloat && bits == 32) {
                    const std::uint32_t word = little(bytes, i, 4);
                    float value = 0.f;
                    std::memcpy(&value, &word, sizeof value);
                    out.samples.push_back(value);
                } else if (bits == 16) {
                    out.samples.push_back(
                        static_cast<float>(static_cast<std::int16_t>(little(bytes, i, 2))) /
                        32768.f);
                }
            }
            return out.rate > 0 && out.channels > 0;
        }
        at = body + size + (size & 1);
    }
    return false;
}

class Recorded : public ::testing::Test {
protected:
    void SetUp() override {
        const char* drivers = std::getenv("ALSOFT_DRIVERS");
        const char* path = std::getenv("SKYWALTZ_RECORDING");
        if (drivers == nullptr || std::string(drivers) != "wave" || path == nullptr)
            GTEST_SKIP() << "needs ALSOFT_DRIVERS=wave and SKYWALTZ_RECORDING (ctest sets both)";
        recordingPath = path;
        std::remove(path);
        opened = Clock::now();
        world = std::make_unique<TestWorld>();
        for (const char* name : effectNames)
            ASSERT_TRUE(world->soundBank.addSound(
                name, (world->resources.sfxDir + name + ".wav").toAnsiString()));
        // A first sound marks the moment on the recording, which may run behind the clock.
        marked = now();
        world->soundBank.playSound("menu_change", 1.f, 1.f, 0.f);
        scene.init(&world->resources, &world->input, &world->soundBank);
        scene.enter();
        world->pollInput(3);
    }

    // Seconds since the recording began.
    double now() const { return std::chrono::duration<double>(Clock::now() - opened).count(); }

    // Runs the scene's updates at 60 a second in real time.
    void play(double seconds) {
        const double until = now() + seconds;
        while (now() < until) {
            world->step(scene);
            sf::sleep(sf::milliseconds(16));
        }
    }

    Recording finish() {
        scene.deleteAgents();
        world.reset();  // the last audio object closes the device, which completes the file
        Recording recording;
        EXPECT_TRUE(readWave(recordingPath, recording)) << recordingPath;
        const double marker = recording.firstAbove(markerLevel);
        EXPECT_GE(marker, 0.0) << "the marking sound is not on the recording";
        recording.start = marked - marker;
        return recording;
    }

    std::string recordingPath;
    Clock::time_point opened;
    double marked = 0.0;
    std::unique_ptr<TestWorld> world;
    SceneBase scene;
};

TEST_F(Recorded, StepsFarOffScreenAreNotHeardInViewTheyAreAndNothingReachesFullScale) {
    scene.generatePlanet(128.f, false, farAway.x, farAway.y);
    Agent* farPlanet = scene.planets.back();
    for (int i = 0; i < 3; ++i)
        scene.items.push_back(new NPC(&world->resources, &scene.effects, &scene.players,
                                      &scene.planets, &scene.items, &world->soundBank,
                                      &scene.camera, farAway.x + 5.f * i, farAway.y - 5.f, 0.3f));
    play(settle);
    const double farFrom = now();
    play(5.0);
    const double farTo = now();

    // The camera looks at the characters' planet instead.
    world->resources.cinematic = true;
    scene.camera.position = farPlanet->position;
    play(0.5);
    const double nearFrom = now();
    play(4.0);
    const double nearTo = now();

    // The music at full volume and every effect at once, again and again.
    world->resources.musicVolume = 100;
    ASSERT_TRUE(world->resources.openMusic("Skywaltz.ogg", true));
    for (int burst = 0; burst < 8; ++burst) {
        for (const char* name : effectNames) world->soundBank.playSound(name, 1.f, 1.f, 0.f);
        play(0.25);
    }

    const Recording recording = finish();
    ASSERT_FALSE(recording.samples.empty());
    EXPECT_LT(recording.peak(farFrom + margin, farTo - margin), silence)
        << "steps heard from characters off screen";
    EXPECT_GT(recording.peak(nearFrom + margin, nearTo - margin), 0.01f)
        << "the characters' steps in view are not heard";
    const float loudest = recording.peak(recording.start, 1e9);
    std::cout << "loudest sample " << 20.0 * std::log10(loudest) << " dBFS\n";
    EXPECT_LT(loudest, 1.f) << "the mix reaches full scale";
}
}  // namespace
