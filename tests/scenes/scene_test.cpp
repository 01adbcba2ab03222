#include "scenes/scene.hpp"

#include "support/test_world.hpp"

#include <SFML/Graphics/RectangleShape.hpp>

#include <functional>
#include <vector>

namespace {
// An agent whose update runs a script, recording the order of updates.
class ScriptedAgent : public Agent {
public:
    ScriptedAgent(Resources* r, std::vector<int>* log, int id) : Agent(r), log(log), id(id) {
        setup();
    }
    void update(sf::Time) override {
        log->push_back(id);
        if (script) script(*this);
    }
    std::vector<int>* log;
    int id;
    std::function<void(ScriptedAgent&)> script;
};

class SceneTest : public ::testing::Test {
protected:
    SceneTest() {
        scene.init(&world.resources, &world.input, &world.soundBank);
        scene.enter();
    }
    ScriptedAgent* add(AgentList& list, int id) {
        auto* agent = new ScriptedAgent(&world.resources, &log, id);
        list.push_back(agent);
        return agent;
    }
    // Runs updates until the fade-in is over and the world moves.
    void finishFade() {
        for (int i = 0; i < 20 && scene.fade > 0.f; ++i) scene.update(frame());
    }

    TestWorld world{480, 320, false};
    Scene scene;
    std::vector<int> log;
};
}  // namespace

TEST_F(SceneTest, WalksListsInOrderEffectsPlayersPlanetsItems) {
    add(scene.items, 4);
    add(scene.planets, 3);
    add(scene.players, 2);
    add(scene.effects, 1);
    scene.update(frame());
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(SceneTest, AgentRemovedDuringWalkDoesNotMakeTheNextOneSkip) {
    add(scene.effects, 1)->script = [](ScriptedAgent& a) { a.dead = true; };
    add(scene.effects, 2);
    add(scene.effects, 3);
    scene.update(frame());
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(scene.effects.size(), 2u);
}

TEST_F(SceneTest, DeadAgentWhoseDeathKeepsItIsNotRemoved) {
    struct Stubborn : ScriptedAgent {
        using ScriptedAgent::ScriptedAgent;
        void onDeath() override {}
    };
    auto* agent = new Stubborn(&world.resources, &log, 1);
    agent->dead = true;
    scene.effects.push_back(agent);
    scene.update(frame());
    EXPECT_EQ(scene.effects.size(), 1u);
}

TEST_F(SceneTest, AgentAppendedDuringWalkWaitsAFrame) {
    add(scene.effects, 1)->script = [this](ScriptedAgent& a) {
        if (log.size() == 1) scene.effects.push_back(new ScriptedAgent(a.resources, &log, 9));
    };
    add(scene.items, 4)->script = [this](ScriptedAgent& a) {
        if (log.size() == 2) scene.effects.push_back(new ScriptedAgent(a.resources, &log, 8));
    };
    scene.update(frame());
    EXPECT_EQ(log, (std::vector<int>{1, 4}));
    finishFade();
    log.clear();
    scene.update(frame());
    EXPECT_EQ(log, (std::vector<int>{1, 9, 8, 4}));
}

TEST_F(SceneTest, FadeInHoldsTheWorldAfterTheFirstFrame) {
    add(scene.effects, 1);
    scene.update(frame());  // the first frame runs the agents even though covered
    EXPECT_EQ(log.size(), 1u);
    EXPECT_FALSE(scene.firstFrame);
    scene.update(frame());
    EXPECT_EQ(log.size(), 1u);
    EXPECT_NEAR(scene.fade, 0.2f - 0.016f, 1e-5f);
    EXPECT_EQ(scene.fadeRect.getFillColor().a, 255);
    finishFade();
    const size_t before = log.size();
    scene.update(frame());
    EXPECT_EQ(log.size(), before + 1);
}

TEST_F(SceneTest, FadeOpacityIsFullUntilNearlyHalfway) {
    scene.firstFrame = false;
    scene.fade = 0.2f;
    scene.updateFade(sf::milliseconds(98));
    EXPECT_EQ(scene.fadeRect.getFillColor().a, 255);
    scene.updateFade(sf::milliseconds(52));  // 0.05 s left
    EXPECT_EQ(scene.fadeRect.getFillColor().a, 125);
}

TEST_F(SceneTest, LeavingFadesOutAndThenAsksToGoNext) {
    scene.leaving = true;
    scene.fade = 0.f;
    for (int i = 0; i < 12; ++i) scene.update(frame());
    EXPECT_FALSE(scene.goNext);
    scene.update(frame());
    EXPECT_TRUE(scene.goNext);
}

TEST_F(SceneTest, PausedSceneRunsOnUpdateButNoAgents) {
    struct CountingScene : Scene {
        void onUpdate(sf::Time) override { ++updates; }
        int updates = 0;
    } counting;
    counting.init(&world.resources, &world.input, &world.soundBank);
    counting.enter();
    auto* agent = new ScriptedAgent(&world.resources, &log, 1);
    counting.effects.push_back(agent);
    counting.fade = 0.f;
    counting.paused = true;
    counting.update(frame());
    EXPECT_EQ(counting.updates, 1);
    EXPECT_TRUE(log.empty());
}

TEST_F(SceneTest, EnterClearsFlagsAndInputActions) {
    scene.paused = scene.goNext = scene.quitRequested = true;
    world.input.bindKey("use", sf::Keyboard::X);
    scene.enter();
    EXPECT_FALSE(scene.paused);
    EXPECT_FALSE(scene.goNext);
    EXPECT_FALSE(scene.quitRequested);
    EXPECT_EQ(world.input.keyActionCount, 0);
    EXPECT_FLOAT_EQ(scene.fade, 0.2f);
}

TEST_F(SceneTest, PresentShowsLayerContentUpright) {
    scene.fade = 0.f;
    scene.clearLayers();
    sf::RectangleShape bar({480.f, 40.f});
    bar.setFillColor(sf::Color::Red);
    world.resources.layers[3]->draw(bar);  // the top 40 rows of the world view
    world.window.clear();
    scene.present();
    const sf::Image shot = world.capture();
    EXPECT_EQ(shot.getPixel(240, 10), sf::Color::Red);
    EXPECT_EQ(shot.getPixel(240, 300), sf::Color::Black);
}

TEST_F(SceneTest, HigherLayersCoverLowerOnes) {
    scene.fade = 0.f;
    scene.clearLayers();
    sf::RectangleShape square({100.f, 100.f});
    square.setFillColor(sf::Color::Red);
    world.resources.layers[5]->draw(square);
    square.setFillColor(sf::Color::Blue);
    world.resources.layers[1]->draw(square);
    world.window.clear();
    scene.present();
    EXPECT_EQ(world.capture().getPixel(50, 50), sf::Color::Red);
}

TEST_F(SceneTest, ClearLayersKeepsTheScreenLayerInScreenCoordinates) {
    world.resources.view.setCenter(5000.f, 5000.f);
    scene.clearLayers();
    EXPECT_VEC_NEAR(sf::Vector2f(5000.f, 5000.f), world.resources.layers[0]->getView().getCenter());
    EXPECT_VEC_NEAR(sf::Vector2f(240.f, 160.f), world.resources.layers[6]->getView().getCenter());
}
