#include "app/game.hpp"

#include "app/kov_game.hpp"
#include "platform/files.hpp"
#include "platform/platform.hpp"
#include "scenes/scene.hpp"
#include "support/scratch_directory.hpp"
#include "support/test_world.hpp"
#include "walkers/player.hpp"
#include "world/scene_base.hpp"

#include <string>

namespace {
struct FlagScene : Scene {
    void enter() override {
        Scene::enter();
        ++entered;
    }
    void draw() override {
        Scene::draw();
        ++drawn;
    }
    int entered = 0;
    int drawn = 0;
};

class GameSwitchTest : public ::testing::Test {
protected:
    GameSwitchTest() {
        for (int i = 0; i < 3; ++i) game.scenes.push_back(new FlagScene());
    }
    FlagScene& scene(int i) {
        return *static_cast<FlagScene*>(game.scenes[static_cast<size_t>(i)]);
    }
    void initScenes() {
        game.resources.window = &game.window;
        game.resources.createWindow(sf::VideoMode(480, 320, 32), windowedStyle);
        game.resources.setup(game.window);
        game.input.reset(&game.resources, true);
        for (Scene* s : game.scenes) s->init(&game.resources, &game.input, &game.soundBank);
    }
    Game game;
};

// Keeps its focus whatever other windows on the test's X server do, so every frame updates.
struct FocusedGame : KOV_Game {
    void handleEvents() override {}
};
}  // namespace

TEST(FrameSleep, SleepsTheRestOfTheBudgetAndNothingForASlowFrame) {
    EXPECT_EQ(frameSleep(sf::milliseconds(16), sf::milliseconds(5)), sf::milliseconds(11));
    EXPECT_EQ(frameSleep(sf::milliseconds(16), sf::milliseconds(16)), sf::Time::Zero);
    EXPECT_EQ(frameSleep(sf::milliseconds(16), sf::milliseconds(40)), sf::Time::Zero);
    EXPECT_EQ(frameSleep(sf::milliseconds(16), sf::microseconds(15500)), sf::Time::Zero);
}

TEST_F(GameSwitchTest, GoNextMovesToTheFollowingSceneOrTheChosenOne) {
    initScenes();
    scene(0).goNext = true;
    game.switchScene();
    EXPECT_EQ(game.currentScene, 1);
    EXPECT_EQ(scene(1).entered, 1);
    scene(1).nextScene = 0;
    scene(1).goNext = true;
    game.switchScene();
    EXPECT_EQ(game.currentScene, 0);
}

TEST_F(GameSwitchTest, SwitchesOutOfRangeLandOnTheFallbackScene) {
    initScenes();
    game.currentScene = 2;
    scene(2).goNext = true;
    game.switchScene();
    EXPECT_EQ(game.currentScene, 0);
    scene(0).goBack = true;
    game.currentScene = 0;
    game.switchScene();
    EXPECT_EQ(game.currentScene, 0);
    EXPECT_EQ(scene(0).entered, 2);
}

TEST_F(GameSwitchTest, QuitRequestedByTheSceneFreesTheGraphicsAndClosesTheWindow) {
    initScenes();
    scene(0).enter();
    scene(0).quitRequested = true;
    game.frame(sf::milliseconds(16));
    EXPECT_FALSE(game.window.isOpen());
    EXPECT_EQ(game.resources.layers.size(), 0u);
    EXPECT_EQ(scene(0).drawn, 0);
}

TEST_F(GameSwitchTest, UnfocusedGameStopsTheWorld) {
    initScenes();
    scene(0).enter();
    game.handleEvents();  // the new window's own focus events
    game.hasFocus = false;
    const float fade = scene(0).fade;
    game.update(sf::milliseconds(16));
    game.update(sf::milliseconds(16));
    EXPECT_FLOAT_EQ(scene(0).fade, fade);
    EXPECT_EQ(game.input.startDelay, 3);
}

namespace {
std::string noticeShown;
void keepNotice(const std::string& line) {
    noticeShown += line + '\n';
}
}  // namespace

TEST(KovGame, MissingSpriteSheetEndsWithStatusOneAndOneClearLine) {
    ScratchDirectory scratch;
    KOV_Game game;
    noticeShown.clear();
    const FatalNotice before = replaceFatalNotice(keepNotice);
    ::testing::internal::CaptureStderr();
    const int status = game.run();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    replaceFatalNotice(before);
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(game.window.isOpen());
    // Where the game looked: the working directory, or on Windows, which has no content
    // folder there, the executable's folder.
    const std::string sep(1, pathSeparator);
    const std::string sheet = assetRoot() + sep + "content" + sep + "sprites" + sep + "sprites.png";
    EXPECT_NE(errors.find(sheet), std::string::npos) << errors;
    EXPECT_NE(errors.find("start the game from the folder that holds content" + sep),
              std::string::npos);
    EXPECT_EQ(errors.find("skywaltz:"), errors.rfind("skywaltz:")) << errors;
    EXPECT_NE(noticeShown.find(sheet), std::string::npos) << noticeShown;
    EXPECT_NE(errors.find(noticeShown), std::string::npos) << "the notice shows the same words";
}

TEST(KovGame, InitOpensTheTitledWindowWithItsServices) {
    KOV_Game game;
    game.init();
    EXPECT_EQ(game.startFailure, 0);
    EXPECT_EQ(game.resources.title, sf::String("SKYWALTZ"));
    EXPECT_EQ(game.resources.textures.size(), 1u);
    EXPECT_EQ(game.resources.fonts.size(), 1u);
    EXPECT_EQ(game.soundBank.count, 10);
    EXPECT_EQ(game.scenes.size(), 1u);
    EXPECT_EQ(game.input.startDelay, 3);
}

TEST(KovGame, AStallOfSecondsLeavesTheStandingPlayerOnItsPlanet) {
    FocusedGame game;
    game.init();
    Scene* scene = game.scenes[0];
    scene->init(&game.resources, &game.input, &game.soundBank);
    scene->enter();
    Player* player = static_cast<SceneBase*>(scene)->player;
    for (int i = 0; i < 60; ++i) game.frame(sf::milliseconds(16));
    ASSERT_TRUE(player->surfaced);
    const Agent* planet = player->planet;
    const sf::Vector2f stood = player->position;

    game.frame(sf::seconds(5));
    for (int i = 0; i < 10; ++i) game.frame(sf::milliseconds(16));
    EXPECT_TRUE(player->surfaced);
    EXPECT_EQ(player->planet, planet);
    EXPECT_VEC_NEAR(stood, player->position) << "the world resumes where it stood";
}

TEST(SimulatedTime, KeepsARunningFrameWholeAndBoundsAStall) {
    EXPECT_EQ(simulatedTime(sf::milliseconds(16)), sf::milliseconds(16));
    EXPECT_EQ(simulatedTime(sf::milliseconds(100)), sf::milliseconds(100));
    EXPECT_EQ(simulatedTime(sf::seconds(12)), sf::milliseconds(100));
}
