#include "platform/desktop.hpp"

#include <SFML/System/Clock.hpp>
#include <SFML/System/Sleep.hpp>

#include <unistd.h>
#include <algorithm>
#include <initializer_list>
#include <string>

// Last: Xlib's macros would clash with SFML's names.
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

namespace {
constexpr char instanceName[] = "skywaltz";  // WM_CLASS instance; the class is the title
// _MOTIF_WM_HINTS: which fields count, then the functions and decorations asked for.
constexpr long motifFunctionsAndDecorations = (1L << 0) | (1L << 1);
constexpr long motifAll = 1L << 0;
constexpr long netWmStateRemove = 0, netWmStateAdd = 1;
constexpr long sourceApplication = 1;  // _NET_WM_STATE request from a normal application
// How long a window manager may take to say how large its frame around the window will be.
const sf::Time frameAnswerWait = sf::seconds(1);
// How long after showing the window the game waits for the window manager to place it before
// it asks for fullscreen all the same.
const sf::Time placementWait = sf::seconds(1);
// The most a manager's frame puts between a window's asked-for corner and its picture.
constexpr int widestFrame = 64;  // px

bool insideFrame(int offset) {
    return offset >= 0 && offset <= widestFrame;
}

Atom atom(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

// A window that has gone away between asking and reading is not worth ending the game for.
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

// The window the game last let go of, and the handler for every other X error.
unsigned long goneWindow = 0;
XErrorHandler otherErrors = nullptr;

int ignoreGoneWindow(Display* display, XErrorEvent* error) {
    if (error->resourceid == goneWindow) return 0;
    return otherErrors != nullptr ? otherErrors(display, error) : 0;
}

// The 32-bit items of `window`'s property `name` of `type`; empty when it has none.
std::vector<unsigned long> property(Display* display, ::Window window, const char* name,
                                    Atom type) {
    std::vector<unsigned long> items;
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, atom(display, name), 0, 1024, False,
                                          type, &actualType, &format, &count, &after, &data);
    if (status == Success && data != nullptr && format == 32 && actualType == type) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data != nullptr) XFree(data);
    return items;
}

void setCardinal(Display* display, ::Window window, const char* name, unsigned long value) {
    XChangeProperty(display, window, atom(display, name), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
}

void setAtom(Display* display, ::Window window, const char* name, const char* value) {
    const Atom item = atom(display, value);
    XChangeProperty(display, window, atom(display, name), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&item), 1);
}

// Sends the window manager a request about `window`, as EWMH asks: to the root window.
void askManager(Display* display, ::Window window, const char* request,
                std::initializer_list<long> data = {}) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = atom(display, request);
    message.xclient.format = 32;
    std::copy(data.begin(), data.end(), message.xclient.data.l);
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &message);
}

// Where `window`'s top-left corner stands on the screen.
sf::Vector2i cornerOnScreen(Display* display, ::Window window) {
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {x, y};
}

// Title, class, client machine and what the window manager may do with it.
void describeWindow(Display* display, ::Window window, const std::string& title) {
    XClassHint* names = XAllocClassHint();
    std::string instance = instanceName, className = title;
    names->res_name = &instance[0];
    names->res_class = &className[0];
    Xutf8SetWMProperties(display, window, title.c_str(), title.c_str(), nullptr, 0, nullptr,
                         nullptr, names);
    XFree(names);
    setCardinal(display, window, "_NET_WM_PID", static_cast<unsigned long>(getpid()));
    setAtom(display, window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL");
    Atom closeRequest = atom(display, "WM_DELETE_WINDOW");
    XSetWMProtocols(display, window, &closeRequest, 1);
}

// Says in the hints that the unmapped window's frame, as the window manager will draw it,
// belongs with its top-left corner at `corner`: managers place a new window themselves unless
// it asks for its own place.
void askForPlace(Display* display, ::Window window, sf::Vector2i corner, sf::Vector2u size) {
    XSizeHints* place = XAllocSizeHints();
    place->flags = USPosition | PPosition | USSize | PSize | PWinGravity;
    place->x = corner.x;
    place->y = corner.y;
    place->width = static_cast<int>(size.x);
    place->height = static_cast<int>(size.y);
    place->win_gravity = NorthWestGravity;
    XSetWMNormalHints(display, window, place);
    XFree(place);
}

// An unmapped window with a visual OpenGL can draw into (the screen's own if GLX offers none
// better), black until the first frame.
::Window createWindow(Display* display, sf::Vector2i at, sf::Vector2u size) {
    const int screen = DefaultScreen(display);
    const ::Window root = RootWindow(display, screen);
    int wanted[] = {
        GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, 0};
    XVisualInfo* visual = glXChooseVisual(display, screen, wanted);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.border_pixel = 0;
    unsigned long fields = CWBackPixel | CWBorderPixel;
    if (visual != nullptr) {
        attributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
        fields |= CWColormap;
    }
    const ::Window window =
        XCreateWindow(display, root, at.x, at.y, size.x, size.y, 0,
                      visual != nullptr ? visual->depth : CopyFromParent, InputOutput,
                      visual != nullptr ? visual->visual : static_cast<Visual*>(CopyFromParent),
                      fields, &attributes);
    if (visual != nullptr) XFree(visual);
    return window;
}
}  // namespace

struct DesktopWindow::Native {
    ~Native();
    bool connect();
    bool open(sf::RenderWindow& target, sf::Vector2u size, bool framed, const sf::String& title,
              const sf::ContextSettings& context);
    void show();
    bool closeRequested();
    void close();
    void setFullscreen(sf::RenderWindow& target, bool on, sf::Vector2u size);
    bool askForSize(const sf::RenderWindow& target, sf::Vector2u size);
    std::vector<ScreenArea> monitors();
    ScreenArea monitorOf(const sf::RenderWindow& target);

    // The sides of the frame a window manager puts around a window, in pixels.
    struct Frame {
        unsigned left = 0, right = 0, top = 0, bottom = 0;
    };
    Frame frameOf(::Window window);
    // Where the frame's corner goes for the framed window of `size` to stand centred.
    sf::Vector2i framedCorner(ScreenArea monitor, sf::Vector2u size) const;
    void destroyWindow();
    void setDecorated(::Window window, bool framed);
    bool managerSupports(const char* feature);
    void askForFullscreen(::Window window, bool on);
    // Returns once the window manager has shown `window`, the one shown last, in its place,
    // or a second after it was shown.
    void awaitPlacement(::Window window);

    Display* display_ = nullptr;
    ::Window window_ = 0;
    sf::RenderWindow* target_ = nullptr;
    Frame frame_;
    sf::Vector2i askedCorner_;  // where the window shown last asked its frame to stand
    sf::Vector2u openedSize_;   // the size the window opened last was made at
    sf::Clock shown_;           // since the window was shown last
};

DesktopWindow::DesktopWindow() : native_(new Native) {}

DesktopWindow::~DesktopWindow() = default;

bool DesktopWindow::open(sf::RenderWindow& target, sf::Vector2u size, bool framed,
                         const sf::String& title, const sf::ContextSettings& context) {
    return native_->open(target, size, framed, title, context);
}

void DesktopWindow::show() {
    native_->show();
}

bool DesktopWindow::closeRequested() {
    return native_->closeRequested();
}

void DesktopWindow::close() {
    native_->close();
}

void DesktopWindow::setFullscreen(sf::RenderWindow& target, bool on, sf::Vector2u size) {
    native_->setFullscreen(target, on, size);
}

bool DesktopWindow::askForSize(const sf::RenderWindow& target, sf::Vector2u size) {
    return native_->askForSize(target, size);
}

sf::Vector2u DesktopWindow::openedSize(const sf::RenderWindow& target) const {
    // SFML shows an adopted window as it takes it, and reads its size only afterwards.
    if (native_->window_ != 0 && target.isOpen() && target.getSystemHandle() == native_->window_)
        return native_->openedSize_;
    return target.getSize();
}

std::vector<ScreenArea> DesktopWindow::monitors() {
    return native_->monitors();
}

ScreenArea DesktopWindow::monitorOf(const sf::RenderWindow& target) {
    return native_->monitorOf(target);
}

DesktopWindow::Native::~Native() {
    close();  // the X window must outlive SFML's use of it
    if (display_ != nullptr) XCloseDisplay(display_);
}

bool DesktopWindow::Native::connect() {
    if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
    return display_ != nullptr;
}

void DesktopWindow::Native::destroyWindow() {
    if (window_ == 0 || display_ == nullptr) return;
    XDestroyWindow(display_, window_);
    XFlush(display_);
    window_ = 0;
}

bool DesktopWindow::Native::open(sf::RenderWindow& target, sf::Vector2u size, bool framed,
                                 const sf::String& title, const sf::ContextSettings& context) {
    if (!connect()) return false;
    Display* display = display_;
    if (target.isOpen()) target.close();
    destroyWindow();
    // SFML 2.5.1 places a window it makes itself off the screen's centre (it centres the
    // height with the screen's width) and only then lets the game move it: window managers
    // that place a window once when it is mapped keep the wrong place, and on a screen wider
    // than twice its height plus the window the window starts wholly below the screen, where
    // SFML waits for ever for it to become visible. A window made here starts in its place,
    // and SFML does not wait for one it adopts.
    const ScreenArea monitor = monitors().front();
    const sf::Vector2i centred = centredOn(monitor, size);
    window_ = createWindow(display, centred, size);
    openedSize_ = size;
    const auto utf8 = title.toUtf8();
    describeWindow(display, window_, std::string(utf8.begin(), utf8.end()));
    setDecorated(window_, framed);
    // Centred with its frame: the title bar counts.
    frame_ = framed ? frameOf(window_) : Frame{};
    const sf::Vector2i corner = framedCorner(monitor, size);
    askForPlace(display, window_, corner, size);
    askedCorner_ = corner;
    // Weston's Xwayland can take a move asked before the window is shown for a place inside
    // its frame, and then shows the window in the screen's corner: move only for a frame.
    if (corner != centred) XMoveWindow(display, window_, corner.x, corner.y);
    XSync(display, False);  // SFML's own connection must find the window
    target_ = &target;
    target.create(window_, context);
    target.setTitle(title);
    return true;
}

sf::Vector2i DesktopWindow::Native::framedCorner(ScreenArea monitor, sf::Vector2u size) const {
    return centredOn(monitor,
                     {size.x + frame_.left + frame_.right, size.y + frame_.top + frame_.bottom});
}

bool DesktopWindow::Native::closeRequested() {
    // The window manager's close request goes to the client that made the window: this one,
    // not SFML's.
    if (display_ == nullptr) return false;
    Display* display = display_;
    bool requested = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        requested = requested || (event.type == ClientMessage &&
                                  event.xclient.message_type == atom(display, "WM_PROTOCOLS") &&
                                  static_cast<Atom>(event.xclient.data.l[0]) ==
                                      atom(display, "WM_DELETE_WINDOW"));
    }
    return requested;
}

void DesktopWindow::Native::show() {
    if (window_ == 0) return;
    XMapRaised(display_, window_);
    XFlush(display_);
    shown_.restart();
}

void DesktopWindow::Native::awaitPlacement(::Window window) {
    if (window != window_) return;
    // Weston's Xwayland takes a fullscreen request that comes before it has placed the window
    // as the window's first state, and has no place to put it back to when it leaves
    // fullscreen: it lands in the screen's corner. So the request waits until the window
    // stands in the place it asked for, inside the manager's frame.
    Display* display = display_;
    while (shown_.getElapsedTime() < placementWait) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) &&
            attributes.map_state == IsViewable) {
            const sf::Vector2i corner = cornerOnScreen(display, window);
            if (insideFrame(corner.x - askedCorner_.x) && insideFrame(corner.y - askedCorner_.y))
                return;
        }
        sf::sleep(sf::milliseconds(5));
    }
}

void DesktopWindow::Native::close() {
    if (target_ != nullptr && target_->isOpen() && target_->getSystemHandle() == window_) {
        target_->close();
    }
    // SFML 2.5.1 lets go of an adopted window with requests about it still unsent on its own
    // connection; one that reaches the server after the window has gone must not end the game.
    if (window_ != 0) {
        goneWindow = window_;
        if (otherErrors == nullptr) otherErrors = XSetErrorHandler(ignoreGoneWindow);
    }
    destroyWindow();
}

void DesktopWindow::Native::setDecorated(::Window window, bool framed) {
    Display* display = display_;
    const long hints[5] = {motifFunctionsAndDecorations, motifAll, framed ? motifAll : 0, 0, 0};
    const Atom motif = atom(display, "_MOTIF_WM_HINTS");
    XChangeProperty(display, window, motif, motif, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(hints), 5);
}

DesktopWindow::Native::Frame DesktopWindow::Native::frameOf(::Window window) {
    Display* display = display_;
    if (!managerSupports("_NET_REQUEST_FRAME_EXTENTS")) return {};
    askManager(display, window, "_NET_REQUEST_FRAME_EXTENTS");
    XFlush(display);
    sf::Clock waited;
    while (waited.getElapsedTime() < frameAnswerWait) {
        const auto sides = property(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
        if (sides.size() == 4)
            return {static_cast<unsigned>(sides[0]), static_cast<unsigned>(sides[1]),
                    static_cast<unsigned>(sides[2]), static_cast<unsigned>(sides[3])};
        sf::sleep(sf::milliseconds(5));
    }
    return {};
}

bool DesktopWindow::Native::managerSupports(const char* feature) {
    Display* display = display_;
    const ::Window root = DefaultRootWindow(display);
    XSync(display, False);
    const auto previous = XSetErrorHandler(ignoreErrors);
    // A manager that has gone leaves its check window's id behind on the root.
    const auto check = property(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    bool running = !check.empty() &&
                   property(display, check[0], "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) == check;
    XSync(display, False);
    XSetErrorHandler(previous);
    if (!running) return false;
    const auto supported = property(display, root, "_NET_SUPPORTED", XA_ATOM);
    return std::find(supported.begin(), supported.end(), atom(display, feature)) != supported.end();
}

void DesktopWindow::Native::askForFullscreen(::Window window, bool on) {
    Display* display = display_;
    askManager(
        display, window, "_NET_WM_STATE",
        {on ? netWmStateAdd : netWmStateRemove,
         static_cast<long>(atom(display, "_NET_WM_STATE_FULLSCREEN")), 0, sourceApplication});
}

void DesktopWindow::Native::setFullscreen(sf::RenderWindow& target, bool on, sf::Vector2u size) {
    if (!target.isOpen() || !connect()) return;
    Display* display = display_;
    const ::Window window = target.getSystemHandle();
    const ScreenArea monitor = monitorOf(target);
    if (managerSupports("_NET_WM_STATE_FULLSCREEN")) {
        if (on) awaitPlacement(window);
        // The manager covers the monitor the window is on and lifts it over panels; the
        // window stays the same one, so switching away from it never gives it the focus back.
        askForFullscreen(window, on);
        // The manager puts the window back where it stood before; its size is asked over the
        // same connection as the request, so the manager sees them in this order.
        if (!on) XResizeWindow(display, window, size.x, size.y);
    } else if (on) {
        setDecorated(window, false);
        target.setPosition({monitor.x, monitor.y});
        target.setSize(
            {static_cast<unsigned>(monitor.width), static_cast<unsigned>(monitor.height)});
        XRaiseWindow(display, window);
    } else {
        setDecorated(window, true);
        target.setSize(size);
        target.setPosition(centredOn(monitor, size));
    }
    XFlush(display);
}

bool DesktopWindow::Native::askForSize(const sf::RenderWindow& target, sf::Vector2u size) {
    if (!target.isOpen() || !connect()) return false;
    XResizeWindow(display_, target.getSystemHandle(), size.x, size.y);
    XFlush(display_);
    return true;
}

std::vector<ScreenArea> DesktopWindow::Native::monitors() {
    std::vector<ScreenArea> found;
    if (!connect()) return found;
    Display* display = display_;
    const int screen = DefaultScreen(display);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase) &&
        XRRQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 5))) {
        int count = 0;
        XRRMonitorInfo* info = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
        for (int i = 0; i < count; ++i) {
            const ScreenArea area{info[i].x, info[i].y, info[i].width, info[i].height};
            if (area.width <= 0 || area.height <= 0) continue;
            if (info[i].primary)
                found.insert(found.begin(), area);
            else
                found.push_back(area);
        }
        if (info != nullptr) XRRFreeMonitors(info);
    }
    if (found.empty())
        found.push_back({0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
    return found;
}

ScreenArea DesktopWindow::Native::monitorOf(const sf::RenderWindow& target) {
    const std::vector<ScreenArea> all = monitors();
    if (all.empty()) return {};
    if (!target.isOpen()) return all.front();
    const sf::Vector2i corner = cornerOnScreen(display_, target.getSystemHandle());
    const sf::Vector2u size = target.getSize();
    return all[monitorUnder(
        all, {corner.x, corner.y, static_cast<int>(size.x), static_cast<int>(size.y)}, 0)];
}
