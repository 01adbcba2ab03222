#include "app/kov_game.hpp"

#include "platform/files.hpp"
#include "platform/platform.hpp"
#include "world/scene_base.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <iostream>
#include <string>

namespace {
const char* const soundNames[] = {"jump",  "walking_s", "menu_change", "menu_no", "pickup",
                                  "throw", "push_off",  "altar",       "birth",   "menu_open"};
const sf::Time soundCheckInterval = sf::seconds(1.f);  // between looks at the sound device
constexpr char soundLostLine[] = "skywaltz: lost the sound device; playing on without sound\n";

void loadSounds(SoundBank& bank, const Resources& resources) {
    for (const char* name : soundNames) {
        const std::string path = (resources.sfxDir + name + ".wav").toAnsiString();
        if (!bank.addSound(name, path))
            std::cerr << "skywaltz: cannot load the sound " << path << "; it stays silent\n";
    }
}

// What is wrong with content/ when the sprite sheet cannot be loaded from it.
std::string contentProblem(const Resources& resources) {
    std::string path = resources.contentDir.toAnsiString();
    path.pop_back();  // the separator
    switch (pathKind(path)) {
        case PathKind::missing:
        case PathKind::folder:
            return "";
        case PathKind::brokenLink:
            return path + " is a link to nothing; it should lead to the game's content folder";
        default:
            return path + " is not a folder; it should be the game's content folder";
    }
}

void refuseWithoutSpriteSheet(const Resources& resources) {
    // Without OpenGL no texture can be made, whatever the file holds. Short of memory, Mesa's
    // driver is what fails to load.
    if (sf::Texture::getMaximumSize() == 0) {
        if (memoryLimited())
            reportOutOfMemory();
        else
            reportFatal(
                "skywaltz: cannot start: OpenGL is not available (its driver did not load)");
        return;
    }
    const std::string problem = contentProblem(resources);
    if (!problem.empty()) {
        reportFatal("skywaltz: cannot start: " + problem);
        return;
    }
    reportFatal("skywaltz: cannot start without its sprite sheet " +
                (resources.spritesDir + "sprites.png").toAnsiString() +
                "; start the game from the folder that holds content" + pathSeparator);
}
}  // namespace

void KOV_Game::init() {
    resources.title = "SKYWALTZ";
    // The sprite sheet is looked for before the window opens, so a game started from the
    // wrong folder says one thing and leaves nothing on screen.
    resources.locateContent();
    if (resources.loadTexture("sprites.png") < 0) {
        refuseWithoutSpriteSheet(resources);
        startFailure = 1;
        return;
    }
    Game::init();
    resources.loadIcon("icon.png");
    if (resources.soundDevice) {
        loadSounds(soundBank, resources);
        resources.openMusic("Skywaltz.ogg", true);
    }
    scenes.push_back(new SceneBase());
}

void KOV_Game::update(sf::Time elapsed) {
    Game::update(elapsed);
    watchSoundDevice(elapsed);
}

void KOV_Game::watchSoundDevice(sf::Time elapsed) {
    if (!resources.soundDevice) return;
    sinceSoundCheck += elapsed;
    if (sinceSoundCheck < soundCheckInterval) return;
    sinceSoundCheck = sf::Time::Zero;
    if (soundDeviceConnected()) return;
    std::cerr << soundLostLine;
    resources.soundDevice = false;
    resources.music->stop();
    soundBank.stopAll();
}
