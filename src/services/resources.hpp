#pragma once

#include "core/draw_layers.hpp"
#include "services/layers.hpp"

#include <SFML/Config.hpp>
#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/View.hpp>
#include <SFML/System/String.hpp>
#include <SFML/System/Vector2.hpp>
#include <SFML/Window/WindowStyle.hpp>

#include <vector>

class Compositor;
class DesktopWindow;
namespace sf {
class Font;
class Music;
class RenderWindow;
class Text;
class VideoMode;
}  // namespace sf

// Everything the scenes and agents share: the window, the seven render layers, the world
// view, the sprite sheet and font, the one text object, the music and the settings values.
class Resources {
public:
    static constexpr int layerCount = layer::count;

    Resources();
    ~Resources();
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;

    // Called once, right after the window is created: takes the size it was made at (a
    // window manager may already have changed it), creates the layers, roots the asset
    // directories in the working directory and fits the view.
    void setup(sf::RenderWindow& window);
    // Roots the asset directories in the working directory; setup does it too.
    void locateContent();

    // Each returns the index of the new texture/font, or -1 when the file cannot be read.
    int loadTexture(const sf::String& name);
    int loadFont(const sf::String& name);
    bool openMusic(const sf::String& name, bool loop);
    // Loads the window's icon from the content directory and shows it; the window keeps it
    // when it is re-created. Without the file the window simply has no icon.
    bool loadIcon(const sf::String& name);

    // Switches the window between covering its monitor without a frame and the configured
    // window, centred on the same monitor. The window stays the same one.
    void setFullscreen(bool on);
    // Shows the picture of the configured resolution in the window at its own shape, as
    // large as fits and centred (letterbox.hpp); again whenever the window changes size.
    void fitPicture();

    void drawText(int layer, const sf::String& text, float scale, float rotation, sf::Color color,
                  float x, float y, float originX, float originY);
    sf::Vector2f measureText(int font, const sf::String& text);
    sf::Vector2f measureTextHalf(int font, const sf::String& text);

    // Opens the window with the game's title, icon, style and context for the given mode,
    // centred on the primary monitor, where it is first shown.
    void createWindow(sf::VideoMode mode, sf::Uint32 style);
    // Frees the layers, textures and fonts, then closes the window and takes it off the screen.
    void closeWindow();

    sf::RenderWindow* window = nullptr;
    // The desktop window, the compositor, the text and the music live as long as Resources
    // but are held by pointer, so that this header, which most of the game includes, need
    // not bring in the window, text and audio headers.
    DesktopWindow* const desktop;
    Layers layers;
    Compositor* const compositor;
    sf::RenderStates states;
    sf::View view;
    std::vector<sf::Texture> textures;
    std::vector<sf::Font*> fonts;
    sf::Text* const text;
    sf::String rootDir, contentDir, spritesDir, musicDir, sfxDir;
    int width = 0;
    int height = 0;
    bool fullscreen = false;
    bool screenShake = true;
    bool cinematic = false;
    // The settings file's "hints:": whether the pointer toward the errand's target shows.
    bool hints = true;
    // False when the machine has no sound device: the music is not opened nor sounds loaded.
    // It turns false, too, when the device is lost while the game plays.
    bool soundDevice = true;
    int soundVolume = 0;
    int musicVolume = 0;
    int colorDelay = 32;
    sf::Music* const music;
    sf::String title = "untitled";
    sf::Image icon;

private:
    void applyIcon();
    void releaseGraphics();
    void createLayers();
    void releaseLayers();
};

// The window style of the configured (non-fullscreen) window.
constexpr sf::Uint32 windowedStyle = sf::Style::Titlebar | sf::Style::Resize | sf::Style::Close;
