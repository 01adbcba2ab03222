#include "app/game.hpp"

#include "app/settings.hpp"
#include "core/draw_layers.hpp"
#include "platform/desktop.hpp"
#include "platform/files.hpp"
#include "scenes/scene.hpp"
#include "services/pads.hpp"

#include <SFML/System/Clock.hpp>
#include <SFML/System/Sleep.hpp>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <ostream>
#include <sstream>
#include <streambuf>

namespace {
constexpr float fullscreenRestoreDelay = 0.1f;       // s of focused time before fullscreen returns
const sf::Time longestStep = sf::milliseconds(100);  // the most one frame simulates
constexpr float focusLineHeight = 24.f;              // px between the two focus lines
constexpr float textBaseOffset = 16.f;               // px drawText adds to y
// Complaints about the settings file shown before the rest are only counted: a file full of
// bad values must not flood the terminal nor keep the game from starting.
constexpr int settingsComplaintsShown = 10;

// Passes the first lines written to it on to `target` and counts the rest.
class FirstLines : public std::streambuf {
public:
    FirstLines(std::ostream& target, int limit) : target_(target), limit_(limit) {}
    long long hidden() const { return hidden_; }

protected:
    int overflow(int c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const bool shown = shown_ < limit_;
        if (shown) target_.put(traits_type::to_char_type(c));
        if (traits_type::to_char_type(c) == '\n') {
            if (shown)
                ++shown_;
            else
                ++hidden_;
        }
        return c;
    }

private:
    std::ostream& target_;
    int limit_;
    int shown_ = 0;
    long long hidden_ = 0;
};
}  // namespace

sf::Time frameSleep(sf::Time budget, sf::Time spent) {
    const sf::Time rest = budget - spent;
    return rest.asMilliseconds() > 0 ? rest : sf::Time::Zero;
}

sf::Time simulatedTime(sf::Time measured) {
    return std::min(measured, longestStep);
}

Game::~Game() {
    for (Scene* scene : scenes) delete scene;
    scenes.clear();
}

void Game::init() {
    srand(static_cast<unsigned>(time(nullptr)));
    fullscreenRestoreTimer = 0.f;
    autoResolution = true;
    fullscreenRestorePending = false;

    int width = 0, height = 0, musicVolume = 0, soundVolume = 0, colorDelay = 0;
    bool fullscreen = false, screenShake = false;
    loadSettings(width, height, fullscreen, musicVolume, soundVolume, screenShake, colorDelay);

    resources.window = &window;
    resources.createWindow(
        sf::VideoMode(static_cast<unsigned>(width), static_cast<unsigned>(height), 32),
        windowedStyle);
    frameRate = 60;
    resources.setup(window);
    resources.screenShake = screenShake;
    resources.colorDelay = colorDelay;
    resources.soundVolume = soundVolume;
    resources.musicVolume = musicVolume;
    input.reset(&resources, true);
    soundBank.reset(&resources);
    currentScene = 0;
    fallbackScene = 0;
    hasFocus = true;
    resources.loadFont("font.ttf");
    if (fullscreen) resources.setFullscreen(true);
}

void Game::loadSettings(int& width, int& height, bool& fullscreen, int& musicVolume,
                        int& soundVolume, bool& screenShake, int& colorDelay) {
    Settings settings;
    settings.autoResolution = autoResolution;
    const std::string& path = settingsFile.path;
    if (settingsFile.writeDefaults && pathKind(path) == PathKind::missing)
        writeWholeFile(path, writeSettings(settings));
    std::string text;
    if (readSettingsFile(path, text, std::cerr)) {
        std::istringstream file(text);
        // "auto" is the size of the monitor the window will open on.
        const ScreenArea monitor = resources.desktop->primaryMonitor();
        FirstLines complaints(std::cerr, settingsComplaintsShown);
        std::ostream warnings(&complaints);
        readSettings(file, path,
                     {static_cast<unsigned>(monitor.width), static_cast<unsigned>(monitor.height)},
                     settings, warnings);
        if (complaints.hidden() > 0)
            std::cerr << "skywaltz: " << path << ": " << complaints.hidden()
                      << " more complaints like these not shown\n";
    }
    width = settings.width;
    height = settings.height;
    fullscreen = settings.fullscreen;
    musicVolume = settings.musicVolume;
    soundVolume = settings.soundVolume;
    screenShake = settings.screenShake;
    colorDelay = settings.colorDelay;
    autoResolution = settings.autoResolution;
    resources.hints = settings.hints;
}

void Game::saveSettings() {
    Settings settings;
    settings.width = resources.width;
    settings.height = resources.height;
    settings.fullscreen = resources.fullscreen;
    settings.musicVolume = resources.musicVolume;
    settings.soundVolume = resources.soundVolume;
    settings.screenShake = resources.screenShake;
    settings.colorDelay = resources.colorDelay;
    settings.autoResolution = autoResolution;
    settings.hints = resources.hints;
    writeWholeFile(settingsFile.path, writeSettings(settings));
}

int Game::run() {
    init();
    if (startFailure != 0) {
        if (window.isOpen()) window.close();
        return startFailure;
    }
    for (int i = static_cast<int>(scenes.size()) - 1; i >= 0; --i)
        scenes[static_cast<size_t>(i)]->init(&resources, &input, &soundBank);
    if (!scenes.empty()) scenes[static_cast<size_t>(currentScene)]->enter();
    mainLoop();
    quit();
    return 0;
}

void Game::mainLoop() {
    const sf::Time budget = sf::milliseconds(1000 / frameRate);
    sf::Clock clock;
    clock.restart();
    while (window.isOpen()) {
        frame(clock.restart());
        const sf::Time rest = frameSleep(budget, clock.getElapsedTime());
        if (rest > sf::Time::Zero) sf::sleep(rest);
    }
}

void Game::frame(sf::Time measured) {
    update(simulatedTime(measured));
    if (!window.isOpen()) return;
    if (drawPacer.due({hasFocus, window.getSize(), window.getSystemHandle()}, measured)) draw();
}

void Game::update(sf::Time elapsed) {
    Pads::instance().poll();
    window.setMouseCursorVisible(!hasFocus);
    if (hasFocus) {
        if (fullscreenRestorePending) {
            fullscreenRestoreTimer -= elapsed.asSeconds();
            if (fullscreenRestoreTimer < 0.f) {
                fullscreenRestorePending = false;
                resources.setFullscreen(true);
            }
        }
        input.update(window);
        onUpdate(elapsed);
    }
    handleEvents();
    // A closed window has taken the layers and textures with it.
    if (scenes.empty() || !window.isOpen()) return;
    if (hasFocus) {
        Scene* scene = scenes[static_cast<size_t>(currentScene)];
        scene->update(elapsed);
        if (scene->goNext || scene->goBack) switchScene();
    }
    if (scenes[static_cast<size_t>(currentScene)]->quitRequested) quit();
}

void Game::onUpdate(sf::Time) {}

void Game::onSceneChange() {}

void Game::switchScene() {
    if (scenes.empty()) return;
    const Scene* scene = scenes[static_cast<size_t>(currentScene)];
    int next = 0;
    if (!scene->goBack)
        next = scene->nextScene != -1 ? scene->nextScene : currentScene + 1;
    else
        next = currentScene - 1;
    if (next < 0 || next >= static_cast<int>(scenes.size())) next = fallbackScene;
    currentScene = next;
    scenes[static_cast<size_t>(currentScene)]->enter();
    onSceneChange();
}

void Game::handleEvents() {
    // A window created under the pointer while no window holds the focus reports a loss of
    // focus with the gain right behind it. Acting on the loss at once re-created the window,
    // whose own pair then did the same, for ever; so focus is judged once the queue is empty.
    bool lostFocus = false;
    while (window.pollEvent(event)) {
        if (event.type == sf::Event::Closed) quit();
        if (event.type == sf::Event::GainedFocus) {
            hasFocus = true;
            lostFocus = false;
        }
        if (event.type == sf::Event::LostFocus) {
            hasFocus = false;
            lostFocus = true;
        }
        if (event.type == sf::Event::MouseButtonPressed) {
            if (window.setActive(true) && !resources.fullscreen) {
                askForConfiguredSize();
                hasFocus = true;
            }
        }
        if (event.type == sf::Event::MouseWheelMoved) input.wheelDelta = event.mouseWheel.delta;
        if (event.type == sf::Event::Resized) resources.fitPicture();
        if (!scenes.empty()) scenes[static_cast<size_t>(currentScene)]->handleEvent(event);
    }
    if (resources.desktop->closeRequested()) quit();
    if (lostFocus && window.isOpen()) {
        // Losing focus again while the return to fullscreen is pending restarts its wait.
        if (resources.fullscreen || fullscreenRestorePending) {
            fullscreenRestorePending = true;
            fullscreenRestoreTimer = fullscreenRestoreDelay;
        }
        if (resources.fullscreen) resources.setFullscreen(false);
    }
}

void Game::askForConfiguredSize() {
    // SFML's own setSize takes the size as granted: a window the manager keeps maximised
    // would then be drawn as if it were the configured size, squeezed into its corner.
    const sf::Vector2u configured(static_cast<unsigned>(resources.width),
                                  static_cast<unsigned>(resources.height));
    if (!resources.desktop->askForSize(window, configured)) window.setSize(configured);
}

void Game::draw() {
    if (scenes.empty()) return;
    Scene* scene = scenes[static_cast<size_t>(currentScene)];
    scene->clearLayers();
    scene->draw();
    if (!hasFocus) drawFocusMessages();
    scene->present();
    window.display();
}

void Game::drawFocusMessages() {
    if (resources.fonts.empty()) return;
    const sf::String lines[] = {"Game not in focus.", "(Click inside this window)"};
    const float centreX = resources.width * 0.5f;
    const float centreY = resources.height * 0.5f;
    for (int i = 0; i < 2; ++i) {
        const sf::Vector2f half = resources.measureTextHalf(0, lines[i]);
        const float y = centreY - focusLineHeight + i * focusLineHeight - textBaseOffset;
        resources.drawText(layer::screen, lines[i], 1.f, 0.f, sf::Color::White, centreX - half.x, y,
                           0.f, 0.f);
    }
}

void Game::quit() {
    resources.closeWindow();
}
