#include "services/pads.hpp"

#include "platform/files.hpp"

#include <SDL.h>

#include <algorithm>
#include <iostream>
#include <ostream>

namespace {
// The community's mapping file, read from the working directory beside config.txt.
constexpr const char* playerMappingsFile = "gamecontrollerdb.txt";
constexpr const char* unreadableMappings =
    ": cannot be read; pads it would add keep their own button numbers";
constexpr float axisRange = 100.f;                // SFML's axis units at full travel
constexpr float sdlAxisRange = 32767.f;           // SDL's axis units at full travel
constexpr int rawAxesRead = sf::Joystick::V + 1;  // X, Y, Z, R, U, V; the game reads X, Y, Z

// The game's button numbers, the Xbox pad's as Linux numbers them, in SDL's names.
constexpr SDL_GameControllerButton layoutButtons[] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_GUIDE,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,
};
constexpr int layoutButtonCount = sizeof(layoutButtons) / sizeof(layoutButtons[0]);

float scaled(Sint16 value) {
    return std::max(-axisRange, value * axisRange / sdlAxisRange);
}

float layoutAxis(SDL_GameController* pad, sf::Joystick::Axis axis) {
    switch (axis) {
        case sf::Joystick::X:
            return scaled(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
        case sf::Joystick::Y:
            return scaled(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
        case sf::Joystick::Z:
            return scaled(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT)) -
                   scaled(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
        default:
            return 0.f;
    }
}
}  // namespace

Pads& Pads::instance() {
    static Pads pads;
    return pads;
}

Pads::Pads() {
    // SDL would otherwise take SIGINT and SIGTERM for an event the game never reads, and the
    // game would no longer end on them.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    // The game's buttons are places on the pad (jump is the lowest face button), not labels:
    // Nintendo's pads print A where the Xbox pad has B.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    running = SDL_Init(SDL_INIT_GAMECONTROLLER) == 0;
    // SDL has read SDL_GAMECONTROLLERCONFIG as it started; the file adds to that.
    if (running) addMappings(playerMappingsFile, std::cerr);
}

Pads::~Pads() {
    if (!running) return;
    while (!pads.empty()) remove(pads.back().id);
    SDL_Quit();
}

// SDL reads the whole file into memory at the size it is told, and a directory's size asks it
// for eight exabytes, so only a plain file is handed to it.
void Pads::addMappings(const char* path, std::ostream& warnings) {
    const PathKind kind = pathKind(path);
    if (!running || kind == PathKind::missing || kind == PathKind::brokenLink) return;
    if (kind != PathKind::readableFile || SDL_GameControllerAddMappingsFromFile(path) < 0)
        warnings << "skywaltz: " << path << unreadableMappings << '\n';
}

void Pads::poll() {
    if (!running) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_JOYDEVICEADDED) add(event.jdevice.which);
        if (event.type == SDL_JOYDEVICEREMOVED) remove(event.jdevice.which);
    }
}

void Pads::add(int deviceIndex) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (const Pad& pad : pads)
        if (pad.id == id) return;
    if (SDL_IsGameController(deviceIndex)) {
        if (SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex)) {
            pads.push_back({id, controller, SDL_GameControllerGetJoystick(controller)});
            return;
        }
    }
    if (SDL_Joystick* joystick = SDL_JoystickOpen(deviceIndex))
        pads.push_back({id, nullptr, joystick});
}

void Pads::remove(int id) {
    const auto gone =
        std::find_if(pads.begin(), pads.end(), [id](const Pad& pad) { return pad.id == id; });
    if (gone == pads.end()) return;
    if (gone->controller != nullptr)
        SDL_GameControllerClose(gone->controller);
    else
        SDL_JoystickClose(gone->joystick);
    pads.erase(gone);
}

const Pads::Pad* Pads::find(int pad) const {
    if (pad < 0 || pad >= count()) return nullptr;
    return &pads[static_cast<size_t>(pad)];
}

bool Pads::isMapped(int pad) const {
    const Pad* found = find(pad);
    return found != nullptr && found->controller != nullptr;
}

bool Pads::isButtonPressed(int pad, int button) const {
    const Pad* found = find(pad);
    if (found == nullptr || button < 0) return false;
    if (found->controller == nullptr)
        return button < SDL_JoystickNumButtons(found->joystick) &&
               SDL_JoystickGetButton(found->joystick, button) != 0;
    if (button >= layoutButtonCount) return false;
    return SDL_GameControllerGetButton(found->controller, layoutButtons[button]) != 0;
}

// A pad SDL does not know numbers its axes in the order of their Linux codes, as SFML does
// when they are X, Y and Z, the ones the game reads.
float Pads::axis(int pad, sf::Joystick::Axis axis) const {
    const Pad* found = find(pad);
    if (found == nullptr) return 0.f;
    if (found->controller != nullptr) return layoutAxis(found->controller, axis);
    if (axis >= rawAxesRead || axis >= SDL_JoystickNumAxes(found->joystick)) return 0.f;
    return scaled(SDL_JoystickGetAxis(found->joystick, static_cast<int>(axis)));
}
