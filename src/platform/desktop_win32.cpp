#include "platform/desktop.hpp"

#include <SFML/Window/VideoMode.hpp>
#include <SFML/Window/WindowStyle.hpp>

#include <windows.h>

namespace {
// What SFML gives a window with a title bar, a resizable frame and a close button.
constexpr LONG_PTR framedStyle =
    WS_CAPTION | WS_MINIMIZEBOX | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_SYSMENU;
constexpr UINT styleChange = SWP_FRAMECHANGED | SWP_NOOWNERZORDER | SWP_NOACTIVATE;

ScreenArea areaOf(const RECT& rectangle) {
    return {rectangle.left, rectangle.top, rectangle.right - rectangle.left,
            rectangle.bottom - rectangle.top};
}

ScreenArea monitorArea(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return {};
    return areaOf(info.rcMonitor);
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM found) {
    auto& all = *reinterpret_cast<std::vector<ScreenArea>*>(found);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    const ScreenArea area = areaOf(info.rcMonitor);
    if (area.width <= 0 || area.height <= 0) return TRUE;
    if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0)
        all.insert(all.begin(), area);
    else
        all.push_back(area);
    return TRUE;
}

// The size of the whole window, frame and title bar counted, whose picture is `size`.
sf::Vector2u framedSize(HWND window, sf::Vector2u size) {
    RECT rectangle{0, 0, static_cast<LONG>(size.x), static_cast<LONG>(size.y)};
    AdjustWindowRect(&rectangle, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE);
    return {static_cast<unsigned>(rectangle.right - rectangle.left),
            static_cast<unsigned>(rectangle.bottom - rectangle.top)};
}

// Gives the window `style` in place of the frame's, keeping the rest.
void setFrame(HWND window, LONG_PTR style) {
    const LONG_PTR current = GetWindowLongPtrW(window, GWL_STYLE);
    SetWindowLongPtrW(window, GWL_STYLE, (current & ~(framedStyle | WS_POPUP)) | style);
}

// Places the framed window with a picture of `size` centred on `monitor`, frame counted.
void centreFramed(HWND window, ScreenArea monitor, sf::Vector2u size) {
    const sf::Vector2u whole = framedSize(window, size);
    const sf::Vector2i corner = centredOn(monitor, whole);
    SetWindowPos(window, nullptr, corner.x, corner.y, static_cast<int>(whole.x),
                 static_cast<int>(whole.y), styleChange | SWP_NOZORDER);
}
}  // namespace

struct DesktopWindow::Native {
    sf::RenderWindow* target = nullptr;
    sf::Vector2u openedSize;  // as Windows made it, clamped to the screen
};

DesktopWindow::DesktopWindow() : native_(new Native) {}

DesktopWindow::~DesktopWindow() = default;

bool DesktopWindow::open(sf::RenderWindow& target, sf::Vector2u size, bool framed,
                         const sf::String& title, const sf::ContextSettings& context) {
    // SFML centres the window's picture on the primary monitor, not the window with its frame.
    target.create(
        sf::VideoMode(size.x, size.y, 32), title,
        framed ? sf::Style::Titlebar | sf::Style::Resize | sf::Style::Close : sf::Style::None,
        context);
    native_->target = &target;
    native_->openedSize = target.getSize();
    const HWND window = target.getSystemHandle();
    if (framed) centreFramed(window, primaryMonitor(), size);
    return true;
}

void DesktopWindow::show() {
    const sf::RenderWindow* target = native_->target;
    if (target != nullptr && target->isOpen()) SetForegroundWindow(target->getSystemHandle());
}

bool DesktopWindow::closeRequested() {
    return false;  // SFML reports the close button itself
}

void DesktopWindow::close() {
    if (native_->target != nullptr && native_->target->isOpen()) native_->target->close();
}

void DesktopWindow::setFullscreen(sf::RenderWindow& target, bool on, sf::Vector2u size) {
    if (!target.isOpen()) return;
    const HWND window = target.getSystemHandle();
    const ScreenArea monitor = monitorOf(target);
    if (on) {
        // A borderless window that covers its monitor is what Windows treats as fullscreen:
        // the taskbar steps back, and Alt+Tab leaves the window as it is.
        setFrame(window, WS_POPUP);
        SetWindowPos(window, HWND_TOP, monitor.x, monitor.y, monitor.width, monitor.height,
                     styleChange);
    } else {
        setFrame(window, framedStyle);
        centreFramed(window, monitor, size);
    }
    // SFML learns a new size from its own setSize, or from the resize event the next frame
    // polls; the picture is fitted to the window right after this, so SFML is told now.
    RECT client{};
    if (GetClientRect(window, &client))
        target.setSize({static_cast<unsigned>(client.right), static_cast<unsigned>(client.bottom)});
}

// A maximised window stays as the player made it, as X11's window managers keep it; any other
// window the game sizes itself.
bool DesktopWindow::askForSize(const sf::RenderWindow& target, sf::Vector2u) {
    return target.isOpen() && IsZoomed(target.getSystemHandle());
}

sf::Vector2u DesktopWindow::openedSize(const sf::RenderWindow& target) const {
    return &target == native_->target ? native_->openedSize : target.getSize();
}

std::vector<ScreenArea> DesktopWindow::monitors() {
    std::vector<ScreenArea> found;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&found));
    if (found.empty())
        found.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    return found;
}

ScreenArea DesktopWindow::monitorOf(const sf::RenderWindow& target) {
    if (!target.isOpen()) return primaryMonitor();
    return monitorArea(MonitorFromWindow(target.getSystemHandle(), MONITOR_DEFAULTTONEAREST));
}
