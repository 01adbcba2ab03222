#pragma once

#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/System/String.hpp>
#include <SFML/System/Vector2.hpp>

#include <vector>

class Resources;
namespace sf {
class View;
}

struct NamedSound {
    sf::String name;
    sf::SoundBuffer buffer;
    sf::Sound sound;
};

// How much of a sound made at `where` the player hears through `view`: all of it around the
// view's centre, less toward its edges, nothing from off screen.
float audibility(const sf::View& view, sf::Vector2f where);

// Short sound effects, played by name.
class SoundBank {
public:
    // Effects heard at once. The sounds are mastered so that this many at their peaks over
    // the music stay under full scale.
    static constexpr int voices = 3;

    SoundBank() = default;
    ~SoundBank();
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    // Binds the bank to the game's resources and forgets every sound.
    void reset(Resources* resources);

    // Loads a sound file under a name; false (and nothing added) when it cannot be read.
    bool addSound(const sf::String& name, const std::string& path);

    // volume scales the sounds setting; pitch varies upward by up to pitchVariation. Nothing
    // plays without a sound device, or at no volume. With every voice taken, the sound takes
    // the quietest one's place if it is louder, and is dropped if not.
    void playSound(const sf::String& name, float volume, float pitch, float pitchVariation);
    // A sound made at `where` in the world, as loud as audibility through the world view has it.
    void playSoundAt(sf::Vector2f where, const sf::String& name, float volume, float pitch,
                     float pitchVariation);
    // Silences every sound now playing.
    void stopAll();

    Resources* resources = nullptr;
    std::vector<NamedSound*> entries;
    int count = 0;

private:
    void clear();
    // Whether a sound at `level` may play now, stopping the quietest playing one if need be.
    bool freeVoice(const NamedSound* wanted, float level);
};
