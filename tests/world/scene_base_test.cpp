#include "world/scene_base.hpp"

#include "agents/messages.hpp"
#include "effects/splashes.hpp"
#include "effects/star.hpp"
#include "items/altar.hpp"
#include "items/npc.hpp"
#include "items/orb.hpp"
#include "support/test_world.hpp"
#include "walkers/planet.hpp"
#include "walkers/player.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <cmath>
#include <cstdlib>

namespace {
float distance(sf::Vector2f a, sf::Vector2f b) {
    const sf::Vector2f d = a - b;
    return std::sqrt(d.x * d.x + d.y * d.y);
}

template <typename T>
int countOf(const AgentList& list) {
    int n = 0;
    for (Agent* agent : list)
        if (dynamic_cast<T*>(agent) != nullptr) ++n;
    return n;
}

template <typename T>
T* firstOf(const AgentList& list) {
    for (Agent* agent : list)
        if (auto* found = dynamic_cast<T*>(agent)) return found;
    return nullptr;
}

class SceneBaseTest : public ::testing::Test {
protected:
    SceneBaseTest() {
        scene.init(&world.resources, &world.input, &world.soundBank);
        scene.enter();
        srand(1234);
        scene.player->input.devices = &world.devices;
        world.pollInput(3);
        while (scene.fade > 0.f) step();
    }
    void step(sf::Time elapsed = frame()) { world.step(scene, elapsed); }
    void tapKey(sf::Keyboard::Key key) { world.tapKey(scene, key); }
    Planet* newestPlanet() { return static_cast<Planet*>(scene.planets.back()); }
    // Requests a planet and runs the whole transition.
    void growPlanet() {
        scene.player->planetRequested = true;
        step();
        ASSERT_GE(scene.transitionTime, 0.f);
        while (scene.transitionTime >= 0.f) step();
    }

    TestWorld world;
    SceneBase scene;
};
}  // namespace

TEST_F(SceneBaseTest, EnterBuildsThePlayerAndTheFirstPlanetWithItsErrand) {
    ASSERT_EQ(scene.players.size(), 1u);
    EXPECT_EQ(scene.players[0], scene.player);
    ASSERT_EQ(scene.planets.size(), 1u);
    auto* first = static_cast<Planet*>(scene.planets[0]);
    EXPECT_FLOAT_EQ(first->radius, 128.f);
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 64.f), first->position);
    EXPECT_EQ(countOf<Altar>(scene.items), 1);
    EXPECT_EQ(countOf<Orb>(scene.items), 1);
    EXPECT_GT(countOf<Itembase>(scene.effects), 5);
    EXPECT_EQ(firstOf<Altar>(scene.items)->recipient, scene.player);
}

TEST_F(SceneBaseTest, PlanetRequestRunsTheTransitionFrameByFrame) {
    scene.player->planetRequested = true;
    const int discsBefore = countOf<BallSplash>(scene.effects);
    step();
    EXPECT_FALSE(scene.player->planetRequested);
    EXPECT_TRUE(world.resources.cinematic);
    int updates = 1;
    while (scene.transitionTime + 0.016f <= 2.f) {
        step();
        ++updates;
    }
    EXPECT_EQ(scene.planets.size(), 1u);
    EXPECT_GE(countOf<BallSplash>(scene.effects), 28);
    EXPECT_GT(countOf<BallSplash>(scene.effects) - discsBefore, 0);
    step();  // first update past 2 s builds the planet
    EXPECT_GT(scene.transitionTime, 2.f);
    ASSERT_EQ(scene.planets.size(), 2u);
    EXPECT_VEC_NEAR(scene.nextPlanetPos, scene.planets[1]->position);
    EXPECT_TRUE(scene.nextPlanetBuilt);
    while (scene.transitionTime >= 0.f && scene.transitionTime <= 3.f) step();
    EXPECT_FLOAT_EQ(scene.transitionTime, -1.f);
    EXPECT_FALSE(world.resources.cinematic);
    EXPECT_EQ(scene.planets.size(), 2u);
    EXPECT_GT(updates, 120);
}

TEST_F(SceneBaseTest, OneBurstDiscPerUnpausedUpdateDuringTheBurst) {
    ASSERT_TRUE(scene.findNextPlanetSpot());
    int before = countOf<BallSplash>(scene.effects);
    scene.update(frame());
    // Discs live 29 updates, so early on each update adds exactly one.
    EXPECT_EQ(countOf<BallSplash>(scene.effects), before + 1);
    scene.paused = true;
    before = countOf<BallSplash>(scene.effects);
    const float time = scene.transitionTime;
    scene.update(frame());
    EXPECT_EQ(countOf<BallSplash>(scene.effects), before);
    EXPECT_FLOAT_EQ(scene.transitionTime, time);
}

TEST_F(SceneBaseTest, RequestWithNoFreeSpotIsDroppedInTheSameUpdate) {
    scene.clearWorld();  // everyone lets go of the planets
    step();
    AgentList kept;
    kept.swap(scene.planets);
    scene.player->planetRequested = true;
    step();
    EXPECT_FALSE(scene.player->planetRequested);
    EXPECT_FLOAT_EQ(scene.transitionTime, -1.f);
    for (Agent* planet : kept) delete planet;
}

TEST_F(SceneBaseTest, SpotGapDependsOnThePlanetCount) {
    const auto gapWith = [this](int count) {
        while (static_cast<int>(scene.planets.size()) < count) {
            const float x = 3000.f * static_cast<float>(scene.planets.size());
            scene.planets.push_back(new Planet(&world.resources, &scene.effects, &scene.players,
                                               &scene.planets, &scene.items, &world.soundBank, 64.f,
                                               0.5f, x, 0.f));
        }
        scene.findNextPlanetSpot();
        return scene.planetGap;
    };
    EXPECT_FLOAT_EQ(gapWith(1), 64.f);
    EXPECT_FLOAT_EQ(gapWith(4), 128.f);
    EXPECT_FLOAT_EQ(gapWith(5), 64.f);
    EXPECT_FLOAT_EQ(gapWith(7), 200.f);
    EXPECT_FLOAT_EQ(gapWith(8), 128.f);
    EXPECT_FLOAT_EQ(gapWith(28), 200.f);
}

TEST_F(SceneBaseTest, FoundSpotClearsEveryPlanetIncludingDyingOnes) {
    scene.planets[0]->message(nullptr, msg::die);
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(scene.findNextPlanetSpot());
        scene.planets.push_back(new Planet(&world.resources, &scene.effects, &scene.players,
                                           &scene.planets, &scene.items, &world.soundBank,
                                           scene.nextPlanetRadius, 0.3f, scene.nextPlanetPos.x,
                                           scene.nextPlanetPos.y));
        scene.planets.back()->update(frame());  // its hitbox takes its size
    }
    ASSERT_TRUE(scene.findNextPlanetSpot());
    for (Agent* planet : scene.planets)
        EXPECT_GE(distance(planet->position, scene.nextPlanetPos),
                  planet->hitboxSize.x * 0.5f + scene.nextPlanetRadius + scene.planetGap);
}

TEST_F(SceneBaseTest, OrbLiesOnAnOlderPlanetAndCharactersComeFromTheThird) {
    EXPECT_EQ(countOf<NPC>(scene.items), 0);
    for (int planet = 2; planet <= 6; ++planet) {
        for (Agent* item : scene.items) item->dead = true;  // earlier errands are done
        step();
        growPlanet();
        const Planet* newest = newestPlanet();
        const Orb* orb = firstOf<Orb>(scene.items);
        ASSERT_NE(orb, nullptr);
        const Altar* altar = firstOf<Altar>(scene.items);
        ASSERT_NE(altar, nullptr);
        EXPECT_LT(distance(altar->position, newest->position), newest->radius + 20.f);
        EXPECT_GT(distance(orb->position, newest->position), newest->radius);
        if (planet == 2) {
            EXPECT_EQ(countOf<NPC>(scene.items), 0);
        }
    }
}

TEST_F(SceneBaseTest, ResetWhilePausedBuildsAFreshPlanetAndStaysPaused) {
    tapKey(sf::Keyboard::Escape);
    ASSERT_TRUE(scene.paused);
    tapKey(sf::Keyboard::R);
    EXPECT_TRUE(scene.paused);
    ASSERT_EQ(scene.planets.size(), 2u);
    EXPECT_TRUE(static_cast<Planet*>(scene.planets[0])->dying);
    EXPECT_FLOAT_EQ(newestPlanet()->radius, 160.f);
    EXPECT_VEC_NEAR(sf::Vector2f(0.f, 0.f), newestPlanet()->position);
}

TEST_F(SceneBaseTest, ResetDuringTheCeremonyHandsTheCameraBackToThePlayer) {
    Altar* altar = firstOf<Altar>(scene.items);
    Orb* orb = firstOf<Orb>(scene.items);
    // The altar on the far side of the planet from the player, the orb dropped onto it.
    const sf::Vector2f centre = scene.planets[0]->position;
    altar->position = centre + (centre - scene.player->position);
    for (int i = 0; i < 30; ++i) step();
    orb->position = altar->position;
    for (int i = 0; i < 60 && !altar->activated; ++i) step();
    ASSERT_TRUE(altar->activated);
    for (int i = 0; i < 30; ++i) step();
    ASSERT_TRUE(world.resources.cinematic);

    tapKey(sf::Keyboard::R);
    for (int i = 0; i < 240; ++i) step();
    EXPECT_FALSE(world.resources.cinematic);
    EXPECT_LT(distance(scene.camera.position, scene.player->position), 120.f);
}

TEST_F(SceneBaseTest, PausedWorldStandsStillButTheMenuShows) {
    tapKey(sf::Keyboard::Escape);
    ASSERT_TRUE(scene.paused);
    const int stars = countOf<Star>(scene.effects);
    const sf::Vector2f centre = world.resources.view.getCenter();
    const sf::Color sky = scene.background.getFillColor();
    for (int i = 0; i < 60; ++i) step();
    EXPECT_EQ(countOf<Star>(scene.effects), stars);
    EXPECT_VEC_NEAR(centre, world.resources.view.getCenter());
    EXPECT_EQ(sky, scene.background.getFillColor());
    EXPECT_TRUE(scene.menuVisible);
    EXPECT_TRUE(scene.showCursor);
    tapKey(sf::Keyboard::Escape);
    EXPECT_FALSE(scene.paused);
    step();
    EXPECT_FALSE(scene.menuVisible);
}

TEST_F(SceneBaseTest, BackgroundMovesATenthOfTheWayToItsGoal) {
    scene.background.setFillColor(sf::Color(100, 100, 100));
    scene.backgroundGoal = sf::Color(0, 50, 200);
    step();
    const sf::Color sky = scene.background.getFillColor();
    EXPECT_EQ(sky, sf::Color(90, 95, 110, 255));
}

TEST_F(SceneBaseTest, StarsAppearAboutEveryHalfSecond) {
    scene.starTimer = 0.f;
    const int before = countOf<Star>(scene.effects);
    for (int i = 0; i < 31; ++i) step();  // 0.496 s: not yet past half a second
    EXPECT_EQ(countOf<Star>(scene.effects) - before, 0);
    step();
    EXPECT_EQ(countOf<Star>(scene.effects) - before, 1);
    EXPECT_FLOAT_EQ(scene.starTimer, 0.f);
    for (int i = 0; i < 32; ++i) step();
    EXPECT_EQ(countOf<Star>(scene.effects) - before, 2);
}

TEST_F(SceneBaseTest, PauseMenuMusicEntryTogglesAndKeepsThePause) {
    world.resources.musicVolume = 50;
    tapKey(sf::Keyboard::Escape);
    scene.selected = 2;
    tapKey(sf::Keyboard::Return);
    EXPECT_EQ(world.resources.musicVolume, 100);
    EXPECT_EQ(scene.entries[2].label, sf::String("Music: On"));
    tapKey(sf::Keyboard::Return);
    EXPECT_EQ(world.resources.musicVolume, 0);
    EXPECT_EQ(scene.entries[2].label, sf::String("Music: Off"));
    EXPECT_FLOAT_EQ(world.resources.music->getVolume(), 0.f);
    EXPECT_TRUE(scene.paused);
}

TEST_F(SceneBaseTest, PauseMenuFullscreenAndResumeUnpause) {
    tapKey(sf::Keyboard::Escape);
    scene.selected = 3;
    tapKey(sf::Keyboard::Return);
    EXPECT_TRUE(world.resources.fullscreen);
    EXPECT_FALSE(scene.paused);
    tapKey(sf::Keyboard::Escape);
    scene.selected = 0;
    tapKey(sf::Keyboard::Return);
    EXPECT_FALSE(scene.paused);
}

TEST_F(SceneBaseTest, EscapeClosesTheMenuWithoutActing) {
    tapKey(sf::Keyboard::Escape);
    scene.selected = 4;
    tapKey(sf::Keyboard::Escape);
    EXPECT_FALSE(scene.paused);
    EXPECT_FALSE(scene.quitRequested);
}

TEST_F(SceneBaseTest, QuitGameAsksToQuit) {
    tapKey(sf::Keyboard::Escape);
    tapKey(sf::Keyboard::Up);  // wraps to "Quit game"
    tapKey(sf::Keyboard::Return);
    EXPECT_TRUE(scene.quitRequested);
}

TEST_F(SceneBaseTest, PauseMenuResetBuildsAPlanetUnderThePlayer) {
    scene.player->position = {500.f, -300.f};
    tapKey(sf::Keyboard::Escape);
    scene.selected = 1;
    world.devices.keys.insert(sf::Keyboard::Return);
    step();
    world.devices.keys.clear();
    EXPECT_FALSE(scene.paused);
    const Planet* fresh = newestPlanet();
    EXPECT_VEC_NEAR(sf::Vector2f(500.f, -290.f), fresh->position);
    EXPECT_GE(fresh->radius, 64.f);
    EXPECT_LT(fresh->radius, 128.f);
    for (int i = 0; i < 30; ++i) step();
    EXPECT_EQ(scene.planets.size(), 1u);  // the old world has shrunk away
    EXPECT_EQ(scene.planets[0], fresh);
}
