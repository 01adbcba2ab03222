#include "services/resources.hpp"

#include "platform/desktop.hpp"
#include "platform/files.hpp"
#include "services/compositor.hpp"
#include "services/letterbox.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Window/ContextSettings.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <cmath>
#include <iostream>
#include <new>

namespace {
constexpr int textSize = 16;                // px, the size every text is measured and drawn at
constexpr unsigned int fontLoadSize = 128;  // px, the size loadFont leaves on the shared text
// Text units around a glyph's bounds that its quad and the font's smoothing may tint.
constexpr float glyphPadding = 2.f;

sf::ContextSettings gameContext() {
    return sf::ContextSettings(0, 0, 0, 2, 0);
}

}  // namespace

Resources::Resources()
    : desktop(new DesktopWindow),
      compositor(new Compositor),
      text(new sf::Text),
      music(new sf::Music) {}

Resources::~Resources() {
    music->stop();
    releaseGraphics();
    delete music;
    delete text;
    delete compositor;
    delete desktop;
}

void Resources::createWindow(sf::VideoMode mode, sf::Uint32 style) {
    const bool framed = style != sf::Style::None;
    if (!desktop->open(*window, {mode.width, mode.height}, framed, title, gameContext()))
        window->create(mode, title, style, gameContext());
    applyIcon();
    desktop->show();
}

void Resources::closeWindow() {
    releaseGraphics();
    if (window != nullptr && window->isOpen()) window->close();
    desktop->close();
}

void Resources::releaseGraphics() {
    // Freed in the window's context while it is there: once it has gone, SFML makes a context
    // of its own for each layer it touches, which is slow with a software driver.
    if (window != nullptr && window->isOpen()) window->setActive(true);
    releaseLayers();
    compositor->release();
    for (sf::Font* font : fonts) delete font;
    fonts.clear();
    textures.clear();
}

void Resources::applyIcon() {
    if (window == nullptr || !window->isOpen() || icon.getSize().x == 0) return;
    window->setIcon(icon.getSize().x, icon.getSize().y, icon.getPixelsPtr());
}

void Resources::setup(sf::RenderWindow& w) {
    window = &w;
    const sf::Vector2u size = desktop->openedSize(w);
    width = static_cast<int>(size.x);
    height = static_cast<int>(size.y);
    createLayers();
    states = sf::RenderStates(sf::BlendAlpha);
    fullscreen = false;
    locateContent();
    view.setSize(static_cast<float>(width), static_cast<float>(height));
    view.setCenter(width * 0.5f, height * 0.5f);
    musicVolume = 0;
    soundVolume = 0;
    screenShake = true;
    colorDelay = 32;
    cinematic = false;
}

void Resources::locateContent() {
    rootDir = sf::String(assetRoot()) + pathSeparator;
    contentDir = rootDir + "content" + pathSeparator;
    spritesDir = contentDir + "sprites" + pathSeparator;
    musicDir = contentDir + "music" + pathSeparator;
    sfxDir = contentDir + "sfx" + pathSeparator;
}

void Resources::createLayers() {
    releaseLayers();
    sf::ContextSettings withDepth;
    withDepth.depthBits = 24;
    for (int i = 0; i < layerCount; ++i) {
        auto* layer = new sf::RenderTexture();
        layers.add(layer);
        // With a window of this size there is no reason but memory for a layer to fail, and
        // a game that cannot draw cannot go on.
        if (!layer->create(static_cast<unsigned>(width), static_cast<unsigned>(height),
                           withDepth) &&
            width > 0 && height > 0)
            throw std::bad_alloc();
    }
}

void Resources::releaseLayers() {
    layers.release();
}

int Resources::loadTexture(const sf::String& name) {
    const std::string path = (spritesDir + name).toAnsiString();
    sf::Texture texture;
    // Waiting sprites point into the texture list, which may move.
    layers.flushAll();
    // The caller says what a missing texture means; SFML has said why it failed.
    if (!isReadableFile(path) || !texture.loadFromFile(path)) return -1;
    textures.push_back(texture);
    return static_cast<int>(textures.size()) - 1;
}

int Resources::loadFont(const sf::String& name) {
    const std::string path = (contentDir + name).toAnsiString();
    auto* font = new sf::Font();
    if (!isReadableFile(path) || !font->loadFromFile(path)) {
        std::cerr << "skywaltz: cannot load the font " << path
                  << "; the game goes on without text\n";
        delete font;
        return -1;
    }
    fonts.push_back(font);
    text->setFont(*fonts[0]);
    text->setCharacterSize(fontLoadSize);
    return static_cast<int>(fonts.size()) - 1;
}

bool Resources::openMusic(const sf::String& name, bool loop) {
    const std::string path = (musicDir + name).toAnsiString();
    if (!isReadableFile(path) || !music->openFromFile(path)) {
        std::cerr << "skywaltz: cannot open the music " << path << "; the game goes on silently\n";
        return false;
    }
    music->setLoop(loop);
    music->setVolume(static_cast<float>(musicVolume));
    music->play();
    return true;
}

bool Resources::loadIcon(const sf::String& name) {
    const std::string path = (contentDir + name).toAnsiString();
    sf::Image image;
    if (!isReadableFile(path) || !image.loadFromFile(path)) {
        std::cerr << "skywaltz: cannot load the icon " << path << "; the window goes without one\n";
        return false;
    }
    icon = image;
    applyIcon();
    return true;
}

void Resources::setFullscreen(bool on) {
    if (on == fullscreen) return;
    desktop->setFullscreen(*window, on,
                           {static_cast<unsigned>(width), static_cast<unsigned>(height)});
    fullscreen = on;
    // The window's own view is the picture's (fitPicture); the world view stays the camera's,
    // so a game that leaves fullscreen as it loses the focus still shows where it stood.
    fitPicture();
}

void Resources::fitPicture() {
    if (window == nullptr || !window->isOpen()) return;
    const sf::Vector2u configured(static_cast<unsigned>(width), static_cast<unsigned>(height));
    sf::View picture(
        sf::FloatRect(0.f, 0.f, static_cast<float>(width), static_cast<float>(height)));
    picture.setViewport(Letterbox(window->getSize(), configured).viewport());
    window->setView(picture);
}

void Resources::drawText(int layer, const sf::String& string, float scale, float rotation,
                         sf::Color color, float x, float y, float originX, float originY) {
    if (fonts.empty()) return;
    text->setString(string);
    text->setScale(scale, scale);
    text->setFillColor(color);
    text->setOrigin(originX * scale, originY * scale);
    text->setRotation(rotation);
    text->setPosition(std::trunc(x), std::trunc(y) + textSize);
    sf::FloatRect area = text->getGlobalBounds();
    const float pad = glyphPadding * std::fabs(scale);
    area.left -= pad;
    area.top -= pad;
    area.width += 2.f * pad;
    area.height += 2.f * pad;
    layers.draw(static_cast<size_t>(layer), *text, area);
}

sf::Vector2f Resources::measureText(int font, const sf::String& string) {
    if (font < 0 || font >= static_cast<int>(fonts.size())) return {0.f, 0.f};
    text->setFont(*fonts[static_cast<size_t>(font)]);
    text->setString(string);
    text->setCharacterSize(textSize);
    const sf::FloatRect bounds = text->getLocalBounds();
    return {bounds.width, bounds.height};
}

sf::Vector2f Resources::measureTextHalf(int font, const sf::String& string) {
    const sf::Vector2f size = measureText(font, string);
    return {std::trunc(size.x * 0.5f), std::trunc(size.y * 0.5f)};
}
