#include "app/kov_game.hpp"

#include "world/scene_base.hpp"

#include <iostream>

namespace {
const char* const soundNames[] = {"jump", "walking_s", "menu_change", "menu_no"};

void loadSounds(SoundBank& bank, const Resources& resources) {
    for (const char* name : soundNames) {
        const std::string path = (resources.sfxDir + name + ".wav").toAnsiString();
        if (!bank.addSound(name, path))
            std::cerr << "skywaltz: cannot load the sound " << path << "; it stays silent\n";
    }
}
}  // namespace

void KOV_Game::init() {
    resources.title = "SKYWALTZ";
    // The sprite sheet is looked for before the window opens, so a game started from the
    // wrong folder says one thing and leaves nothing on screen.
    resources.locateContent();
    if (resources.loadTexture("sprites.png") < 0) {
        std::cerr << "skywaltz: cannot start without its sprite sheet "
                  << (resources.spritesDir + "sprites.png").toAnsiString()
                  << "; start the game from the folder that holds content/\n";
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
