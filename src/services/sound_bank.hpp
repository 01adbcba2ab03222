#pragma once

#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/System/String.hpp>

#include <vector>

class Resources;

struct NamedSound {
    sf::String name;
    sf::SoundBuffer buffer;
    sf::Sound sound;
};

// Short sound effects, played by name.
class SoundBank {
public:
    SoundBank() = default;
    ~SoundBank();
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    // Binds the bank to the game's resources and forgets every sound.
    void reset(Resources* resources);

    // Loads a sound file under a name; false (and nothing added) when it cannot be read.
    bool addSound(const sf::String& name, const std::string& path);

    // volume scales the sounds setting; pitch varies upward by up to pitchVariation. Nothing
    // plays without a sound device.
    void playSound(const sf::String& name, float volume, float pitch, float pitchVariation);
    // Silences every sound now playing.
    void stopAll();

    Resources* resources = nullptr;
    std::vector<NamedSound*> entries;
    int count = 0;

private:
    void clear();
};
