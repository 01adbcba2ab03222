// The gameplay scene's pause menu: its entries and what each does.
#include "world/scene_base.hpp"

#include "services/resources.hpp"
#include "walkers/player.hpp"

#include <SFML/Audio/Music.hpp>

#include <cstdlib>

namespace {
const sf::String musicOn = "Music: On";
const sf::String musicOff = "Music: Off";
constexpr int fullVolume = 100;
constexpr float playerDrop = 10.f;  // px below the player where the reset planet is centred
}  // namespace

void SceneBase::addPauseMenu() {
    entries.emplace_back("continue", true, "Resume");
    entries.emplace_back("reset", true, "Reset");
    entries.emplace_back("music", true, musicOn);
    entries.emplace_back("fullscreen", true, "Fullscreen");
    entries.emplace_back("exit", true, "Quit game");
    layoutEntries(true);
}

bool SceneBase::onMenuAction(int) {
    MenuEntry& entry = entries[static_cast<size_t>(selected)];
    if (entry.action == "continue") {
        paused = false;
    } else if (entry.action == "reset") {
        clearWorld();
        paused = false;
        const float radius = static_cast<float>(rand() % 64 + 64);
        generatePlanet(radius, true, player->position.x, player->position.y + playerDrop);
    } else if (entry.action == "exit") {
        quitRequested = true;
    } else if (entry.action == "fullscreen") {
        resources->setFullscreen(!resources->fullscreen);
        paused = false;
    } else if (entry.action == "music") {
        if (resources->musicVolume < fullVolume) {
            resources->musicVolume = fullVolume;
            entry.label = musicOn;
        } else {
            resources->musicVolume = 0;
            entry.label = musicOff;
        }
        resources->music->setVolume(static_cast<float>(resources->musicVolume));
    } else {
        layoutEntries(true);
    }
    return true;
}
