#include "services/sound_bank.hpp"

#include "platform/files.hpp"
#include "services/resources.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// Of the way from the view's centre to its edge: up to here a sound is heard in full (the
// player, whom the camera keeps a little off the centre, is always), then it fades to
// edgeAudibility at the edge.
constexpr float fullReach = 0.5f;
constexpr float edgeAudibility = 0.25f;  // of a sound's volume heard at the view's edge
}  // namespace

float audibility(const sf::View& view, sf::Vector2f where) {
    const sf::Vector2f half = view.getSize() * 0.5f;
    if (half.x <= 0.f || half.y <= 0.f) return 0.f;
    const sf::Vector2f off = where - view.getCenter();
    const float reach = std::max(std::fabs(off.x) / half.x, std::fabs(off.y) / half.y);
    if (reach > 1.f) return 0.f;
    const float fade = std::max(0.f, reach - fullReach) / (1.f - fullReach);
    return 1.f - (1.f - edgeAudibility) * fade;
}

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

bool SoundBank::freeVoice(const NamedSound* wanted, float level) {
    NamedSound* quietest = nullptr;
    int playing = 0;
    for (NamedSound* entry : entries) {
        if (entry->sound.getStatus() != sf::Sound::Playing) continue;
        if (entry == wanted) return true;  // it starts again in its own voice
        ++playing;
        if (quietest == nullptr || entry->sound.getVolume() < quietest->sound.getVolume())
            quietest = entry;
    }
    if (playing < voices) return true;
    if (quietest->sound.getVolume() >= level) return false;
    quietest->sound.stop();
    return true;
}

void SoundBank::playSound(const sf::String& name, float volume, float pitch, float pitchVariation) {
    if (resources == nullptr || !resources->soundDevice || resources->soundVolume <= 0) return;
    const float level = static_cast<float>(resources->soundVolume) * volume;
    if (level <= 0.f) return;
    for (int i = 0; i < count; ++i) {
        NamedSound* entry = entries[static_cast<size_t>(i)];
        if (entry->name != name) continue;
        if (!freeVoice(entry, level)) return;
        entry->sound.setVolume(level);
        entry->sound.setPitch(pitch + static_cast<float>(rand() % 1000) * 0.001f * pitchVariation);
        entry->sound.play();
        return;
    }
}

void SoundBank::playSoundAt(sf::Vector2f where, const sf::String& name, float volume, float pitch,
                            float pitchVariation) {
    if (resources == nullptr) return;
    playSound(name, volume * audibility(resources->view, where), pitch, pitchVariation);
}

void SoundBank::stopAll() {
    for (NamedSound* entry : entries) entry->sound.stop();
}
