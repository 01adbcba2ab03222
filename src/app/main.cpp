#include "app/kov_game.hpp"
#include "platform/platform.hpp"

#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <new>

namespace {
constexpr char noSoundLine[] = "skywaltz: no sound device; playing without sound\n";
constexpr char soundHungLine[] =
    "skywaltz: the sound device does not answer; playing without sound\n";

std::terminate_handler defaultTerminate = nullptr;

// An allocation that fails anywhere, on any thread, ends the game with one line instead of
// an abort and a core. Other uncaught exceptions keep the runtime's own report.
[[noreturn]] void endOnUncaught() {
    try {
        if (std::exception_ptr current = std::current_exception()) std::rethrow_exception(current);
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
        std::_Exit(1);
    } catch (...) {
    }
    if (defaultTerminate != nullptr) defaultTerminate();
    std::abort();
}
}  // namespace

int main() {
    defaultTerminate = std::set_terminate(endOnUncaught);
    prepareProcess();
    // Without a display SFML aborts the process as it creates the window.
    if (!displayAvailable()) {
        reportNoDisplay();
        return 1;
    }
    const SoundProbe probe = probeSoundDevice();
    switch (probe) {
        case SoundProbe::available:
            break;
        case SoundProbe::outOfMemory:
            reportOutOfMemory();
            return 1;
        case SoundProbe::noAnswer:
            std::cerr << soundHungLine;
            useSilentAudio();
            break;
        case SoundProbe::missing:
            std::cerr << noSoundLine;
            useSilentAudio();
            break;
    }
    auto game = std::make_unique<KOV_Game>();
    game->resources.soundDevice = probe == SoundProbe::available;
    return game->run();
}
