#include "app/kov_game.hpp"

int main() {
    auto* game = new KOV_Game();
    const int status = game->run();
    delete game;
    return status;
}
