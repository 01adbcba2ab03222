#include "app/kov_game.hpp"
#include "app/platform.hpp"

#include <cstdlib>
#include <iostream>

int main() {
    // Without a display SFML aborts the process as it creates the window.
    if (!displayAvailable()) {
        const char* name = std::getenv("DISPLAY");
        std::cerr << "skywaltz: cannot open the display "
                  << (name != nullptr && *name != '\0' ? name : "(DISPLAY is not set)")
                  << "; the game needs a desktop session\n";
        return 1;
    }
    const bool sound = soundDeviceAvailable();
    if (!sound) {
        std::cerr << "skywaltz: no sound device; playing without sound\n";
        useSilentAudio();
    }
    auto* game = new KOV_Game();
    game->resources.soundDevice = sound;
    const int status = game->run();
    delete game;
    return status;
}
