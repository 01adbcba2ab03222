#include "services/sound_bank.hpp"

#include "platform/files.hpp"
#include "services/resources.hpp"

#include <cstdlib>

SoundBank::~SoundBank() {
    clear();
}

void SoundBank::clear() {
    for (NamedSound* entry : entries) delete entry;
    entries.clear();
    count = 0;
}

void SoundBank::reset(Resources* r) {
    resources = r;
    clear();
}

bool SoundBank::addSound(const sf::String& name, const std::string& path) {
    if (!isReadableFile(path)) return false;
    auto* entry = new NamedSound();
    if (!entry->buffer.loadFromFile(path)) {
        delete entry;
        return false;
    }
    entry->name = name;
    entry->sound.setBuffer(entry->buffer);
    entries.push_back(entry);
    count = static_cast<int>(entries.size());
    return true;
}

void SoundBank::playSound(const sf::String& name, float volume, float pitch, float pitchVariation) {
    if (resources == nullptr || !resources->soundDevice || resources->soundVolume <= 0) return;
    for (int i = 0; i < count; ++i) {
        NamedSound* entry = entries[static_cast<size_t>(i)];
        if (entry->name != name) continue;
        entry->sound.setVolume(static_cast<float>(resources->soundVolume) * volume);
        entry->sound.setPitch(pitch + static_cast<float>(rand() % 1000) * 0.001f * pitchVariation);
        entry->sound.play();
        return;
    }
}

void SoundBank::stopAll() {
    for (NamedSound* entry : entries) entry->sound.stop();
}
