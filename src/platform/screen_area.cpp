#include "platform/desktop.hpp"

#include <algorithm>

std::size_t monitorUnder(const std::vector<ScreenArea>& monitors, ScreenArea window,
                         std::size_t fallback) {
    const int centreX = window.x + window.width / 2, centreY = window.y + window.height / 2;
    long widest = 0;
    std::size_t best = fallback;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const ScreenArea& m = monitors[i];
        if (centreX >= m.x && centreX < m.x + m.width && centreY >= m.y && centreY < m.y + m.height)
            return i;
        const long across =
            std::min(m.x + m.width, window.x + window.width) - std::max(m.x, window.x);
        const long down =
            std::min(m.y + m.height, window.y + window.height) - std::max(m.y, window.y);
        if (across > 0 && down > 0 && across * down > widest) {
            widest = across * down;
            best = i;
        }
    }
    return best;
}

sf::Vector2i centredOn(ScreenArea monitor, sf::Vector2u size) {
    const auto centred = [](int screen, unsigned length) {
        return std::max(0, (screen - static_cast<int>(length)) / 2);
    };
    return {monitor.x + centred(monitor.width, size.x),
            monitor.y + centred(monitor.height, size.y)};
}

ScreenArea DesktopWindow::primaryMonitor() {
    const std::vector<ScreenArea> all = monitors();
    return all.empty() ? ScreenArea{} : all.front();
}
