#include "agents/agent.hpp"

#include "agents/layer_probe.hpp"
#include "support/test_world.hpp"

#include <functional>
#include <memory>

namespace {
// A set-up light agent that records whom it touched.
class Probe : public Agent {
public:
    explicit Probe(Resources* r, sf::Vector2f at = {0.f, 0.f}) : Agent(r) {
        setup();
        position = at;
    }
    void onCollision(Agent* other) override {
        touched.push_back(other);
        if (react) react(other);
    }
    void damage(float x, float y, float f, int a, int b, int amount, float k) override {
        hitFrom = {x, y};
        hitK = k;
        Agent::damage(x, y, f, a, b, amount, k);
    }
    std::vector<Agent*> touched;
    std::function<void(Agent*)> react;
    sf::Vector2f hitFrom;
    float hitK = 0.f;
};

class AgentTest : public ::testing::Test {
protected:
    TestWorld world;
    Probe self{&world.resources};
};
}  // namespace

TEST_F(AgentTest, StartsAsANonSolidGhostUntilSetUp) {
    AgentList planets;
    Agent full(&world.resources, nullptr, nullptr, &planets, nullptr, nullptr);
    Agent light(&world.resources);
    for (const Agent* agent : {&full, &light}) {
        EXPECT_FALSE(agent->solid);
        EXPECT_TRUE(agent->ghost);
        EXPECT_EQ(sf::Vector2f(0.f, 800.f), agent->acceleration);
        EXPECT_EQ(2, agent->layer);
    }
    EXPECT_EQ(&planets, full.planets);
    EXPECT_EQ(nullptr, light.planets);

    useWhiteSheet(world.resources);
    light.setup();
    EXPECT_TRUE(light.solid);
    EXPECT_FALSE(light.ghost);
    EXPECT_EQ(1, light.layer);
    EXPECT_EQ(sf::Vector2f(16.f, 16.f), light.hitboxSize);
    EXPECT_EQ(sf::IntRect(0, 0, 512, 512), light.sprite.getTextureRect());
    EXPECT_EQ(sf::Vector2f(256.f, 256.f), light.sprite.getOrigin());
}

TEST_F(AgentTest, MovesByWholeMillisecondsWithTheVelocityBeforeAccelerating) {
    self.velocity = {100.f, 0.f};
    self.update(sf::microseconds(16900));
    EXPECT_VEC_NEAR(sf::Vector2f(1.6f, 0.f), self.position);
    EXPECT_VEC_NEAR(sf::Vector2f(100.f, 800.f * 0.0169f), self.velocity);
    self.accelerationScale = 0.5f;
    self.update(sf::milliseconds(10));
    EXPECT_VEC_NEAR(sf::Vector2f(100.f, 800.f * 0.0169f + 4.f), self.velocity);
}

TEST_F(AgentTest, HalfMillisecondUpdateAcceleratesWithoutMoving) {
    self.position = {5.f, 5.f};
    self.velocity = {300.f, 300.f};
    self.update(sf::microseconds(500));
    EXPECT_EQ(sf::Vector2f(5.f, 5.f), self.position);
    EXPECT_VEC_NEAR(sf::Vector2f(300.f, 300.4f), self.velocity);
}

TEST_F(AgentTest, DamageKillsAtZeroHealthAndHurtAimsFromTheSource) {
    Probe source(&world.resources, {7.f, -3.f});
    self.health = 3;
    self.hurt(&source, 1.f, 0, 0, 2);
    EXPECT_EQ(1, self.health);
    EXPECT_FALSE(self.dead);
    EXPECT_EQ(sf::Vector2f(7.f, -3.f), self.hitFrom);
    EXPECT_FLOAT_EQ(0.4f, self.hitK);
    self.damage(0.f, 0.f, 0.f, 0, 0, 5, 0.f);
    EXPECT_EQ(0, self.health);
    EXPECT_TRUE(self.dead);
    self.onDeath();
    EXPECT_TRUE(self.removeMe);
}

TEST_F(AgentTest, HitboxIsCentredWhileSolidAndEmptyOtherwise) {
    self.hitboxSize = {20.f, 10.f};
    EXPECT_EQ(sf::FloatRect(-10.f, 95.f, 20.f, 10.f), self.hitboxRect({0.f, 100.f}));
    self.solid = false;
    EXPECT_EQ(sf::FloatRect(0.f, 0.f, 0.f, 0.f), self.hitboxRect({0.f, 100.f}));
}

TEST_F(AgentTest, IsOnScreenTruncatesTheViewAndKeepsTheMarginStrict) {
    // Half sizes 240 and 160 and centre (240, 160) after truncation.
    world.resources.view.setSize(481.f, 321.f);
    world.resources.view.setCenter(240.9f, 160.9f);
    const auto onScreen = [this](float x, float y) {
        self.position = {x, y};
        return self.isOnScreen(32.f);
    };
    EXPECT_FALSE(onScreen(-32.f, 100.f));
    EXPECT_TRUE(onScreen(-31.f, 100.f));
    EXPECT_FALSE(onScreen(512.f, 100.f));
    EXPECT_TRUE(onScreen(511.f, 100.f));
    EXPECT_FALSE(onScreen(100.f, -32.f));
    EXPECT_TRUE(onScreen(100.f, -31.f));
    EXPECT_FALSE(onScreen(100.f, 352.f));
    EXPECT_TRUE(onScreen(100.f, 351.f));
}

TEST_F(AgentTest, DrawsOnWholePixelsIntoItsLayerOnlyWhenOnScreen) {
    useWhiteSheet(world.resources);
    Agent agent(&world.resources);
    agent.setup();
    agent.sprite.setTextureRect({0, 0, 4, 4});
    agent.sprite.setOrigin(0.f, 0.f);
    clearLayer(world.resources, 1);
    // The layer looks at x from -240 to 240, so the left margin of the world view is inside it.
    world.resources.layers[1]->setView(sf::View({0.f, 160.f}, {480.f, 320.f}));
    agent.position = {-32.f, 100.f};
    agent.draw();
    EXPECT_EQ(0, paintedPixels(world.resources, 1));
    agent.position = {-31.5f, 100.7f};
    agent.draw();
    EXPECT_EQ(sf::Vector2f(-31.f, 100.f), agent.sprite.getPosition());
    EXPECT_EQ(16, paintedPixels(world.resources, 1));
    EXPECT_EQ(0, paintedPixels(world.resources, 2));
}

TEST_F(AgentTest, CollidesWithOverlappingLiveSolidAgentsInListOrder) {
    Probe below(&world.resources, {0.f, 10.f});
    Probe edgeToEdge(&world.resources, {16.f, 0.f});
    Probe right(&world.resources, {10.f, 0.f});
    Probe dead(&world.resources, {1.f, 1.f});
    Probe ghost(&world.resources, {1.f, 1.f});
    Probe hollow(&world.resources, {1.f, 1.f});
    dead.dead = true;
    ghost.ghost = true;
    hollow.solid = false;
    AgentList list{&below, &self, &edgeToEdge, &dead, &ghost, &hollow, &right};
    Agent::collideWithList(&self, &list);
    EXPECT_EQ((std::vector<Agent*>{&below, &right}), self.touched);
}

TEST_F(AgentTest, NonSolidOrGhostAgentTestsNothing) {
    Probe other(&world.resources, {1.f, 1.f});
    AgentList list{&other};
    self.solid = false;
    Agent::collideWithList(&self, &list);
    self.solid = true;
    self.ghost = true;
    Agent::collideWithList(&self, &list);
    EXPECT_TRUE(self.touched.empty());
}

TEST_F(AgentTest, CollisionWalkStopsOnceSelfDiesAndSkipsAgentsAddedDuringIt) {
    Probe first(&world.resources, {1.f, 0.f});
    Probe second(&world.resources, {2.f, 0.f});
    Probe late(&world.resources, {3.f, 0.f});
    AgentList list{&first, &second};
    self.react = [&](Agent*) { list.push_back(&late); };
    Agent::collideWithList(&self, &list);
    EXPECT_EQ((std::vector<Agent*>{&first, &second}), self.touched);

    self.touched.clear();
    self.react = [&](Agent*) { self.dead = true; };
    Agent::collideWithList(&self, &list);
    EXPECT_EQ((std::vector<Agent*>{&first}), self.touched);
}

namespace {
// Counts how often the renderer was asked to draw it.
class CountedDrawable : public sf::Drawable {
public:
    mutable int draws = 0;

private:
    void draw(sf::RenderTarget&, sf::RenderStates) const override { ++draws; }
};

// Exposes the protected culling draw for the test.
class Painter : public Agent {
public:
    using Agent::Agent;
    using Agent::drawVisible;
};
}  // namespace

TEST_F(AgentTest, DrawVisibleSkipsOnlyWhatLiesWhollyOutsideTheLayersView) {
    Painter painter(&world.resources);
    painter.setup();
    painter.layer = 1;
    // The layer looks at x from 760 to 1240 and y from -160 to 160.
    world.resources.layers[1]->setView(sf::View({1000.f, 0.f}, {480.f, 320.f}));
    CountedDrawable shape;
    painter.drawVisible(shape, {0.f, 0.f, 480.f, 320.f});    // the window's own corner: far away
    painter.drawVisible(shape, {700.f, -10.f, 59.f, 20.f});  // ends one pixel short
    painter.drawVisible(shape, {1000.f, 161.f, 5.f, 5.f});   // below the bottom edge
    EXPECT_EQ(shape.draws, 0);
    painter.drawVisible(shape, {700.f, -10.f, 61.f, 20.f});       // reaches one pixel in
    painter.drawVisible(shape, {500.f, -500.f, 1000.f, 1000.f});  // covers the whole view
    EXPECT_EQ(shape.draws, 2);
    painter.layer = 2;  // another layer keeps the window's own view
    painter.drawVisible(shape, {0.f, 0.f, 10.f, 10.f});
    EXPECT_EQ(shape.draws, 3);
}
