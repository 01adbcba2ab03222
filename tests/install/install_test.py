#!/usr/bin/env python3
"""Installs the game into a scratch prefix, checks what was installed, and starts the
installed launcher the way a player's desktop does: on a private X server, with a scratch
home folder. Every wait is a bounded poll.

usage: install_test.py <cmake> <build tree> <scratch parent>
"""

import ctypes
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

APP_ID = "org.skywaltz.Skywaltz"
TITLE = "SKYWALTZ"
ICON_SIZES = (32, 64, 128, 256)
WINDOW_ICON_SIZE = 128
DEFAULT_CONFIG = ("resolution: auto\nmusic: 100\nsounds: 100\nfullscreen: on\n"
                  "screenshake: on\ncolordelay: 1")
SCREEN = (1280, 720)
# Seconds one condition may take: the sanitizer build on a busy machine starts slowly.
PATIENCE = 45.0
GAME_ONLY_VARIABLES = ("LD_PRELOAD", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS")
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                   "SUMMARY: UndefinedBehaviorSanitizer")


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, predicate, timeout=PATIENCE, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"gave up after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def tool_environment(display=None):
    env = {k: v for k, v in os.environ.items() if k not in GAME_ONLY_VARIABLES}
    env.pop("DESTDIR", None)
    if display is not None:
        env["DISPLAY"] = display
    return env


def run(args, env=None):
    result = subprocess.run(args, env=env or tool_environment(), stdin=subprocess.DEVNULL,
                            capture_output=True, text=True, timeout=PATIENCE)
    return result


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    check(header[:8] == b"\x89PNG\r\n\x1a\n" and header[12:16] == b"IHDR", f"{path} is no PNG")
    return int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")


def desktop_entry(path):
    keys = {}
    with open(path) as f:
        for line in f:
            line = line.rstrip("\n")
            if "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                keys[key] = value
    return keys


def files_below(root):
    found = set()
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            found.add(os.path.relpath(os.path.join(folder, name), root))
    return found


# ---------------------------------------------------------------------------------------
# The installed tree


def check_tree(prefix, build):
    for program in ("bin/skywaltz", "bin/skywaltz-launcher"):
        path = os.path.join(prefix, program)
        check(os.path.isfile(path) and os.access(path, os.X_OK), f"{program} is not installed")

    content = os.path.join(prefix, "share/skywaltz/content")
    for asset in ("font.ttf", "sprites/sprites.png", "music/Skywaltz.ogg", "icon.png"):
        check(os.path.isfile(os.path.join(content, asset)), f"content/{asset} is not installed")
    check(os.path.isdir(os.path.join(content, "maps")), "content/maps/ is not installed")
    built = files_below(os.path.join(build, "content"))
    installed = files_below(content)
    check(built == installed,
          f"the installed content differs from the built one: missing {sorted(built - installed)}"
          f", extra {sorted(installed - built)}")

    for size in ICON_SIZES:
        icon = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/skywaltz.png")
        check(os.path.isfile(icon), f"the {size} px icon is not installed")
        check(png_size(icon) == (size, size), f"the {size} px icon is {png_size(icon)}")

    desktop = os.path.join(prefix, f"share/applications/{APP_ID}.desktop")
    check(os.path.isfile(desktop), "the desktop entry is not installed")
    entry = desktop_entry(desktop)
    expected = {
        "Type": "Application",
        "Name": "SKYWALTZ",
        "Icon": "skywaltz",
        "Categories": "Game;ArcadeGame;",
        "Exec": os.path.join(prefix, "bin/skywaltz-launcher"),
    }
    for key, value in expected.items():
        check(entry.get(key) == value, f"desktop entry {key}={entry.get(key)!r}, not {value!r}")
    check(entry.get("Comment"), "the desktop entry has no comment")
    result = run(["desktop-file-validate", desktop])
    check(result.returncode == 0 and not (result.stdout + result.stderr).strip(),
          f"desktop-file-validate ({result.returncode}): {result.stdout}{result.stderr}")

    metainfo = os.path.join(prefix, f"share/metainfo/{APP_ID}.metainfo.xml")
    check(os.path.isfile(metainfo), "the AppStream metainfo is not installed")
    with open(metainfo) as f:
        check(f"<launchable type=\"desktop-id\">{APP_ID}.desktop</launchable>" in f.read(),
              "the metainfo does not name the desktop entry")
    result = run(["appstreamcli", "validate", "--no-net", metainfo])
    check(result.returncode == 0,
          f"appstreamcli validate ({result.returncode}): {result.stdout}{result.stderr}")


# ---------------------------------------------------------------------------------------
# X server


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


class _WMHints(ctypes.Structure):
    _fields_ = [("flags", ctypes.c_long), ("input", ctypes.c_int),
                ("initial_state", ctypes.c_int), ("icon_pixmap", ctypes.c_ulong),
                ("icon_window", ctypes.c_ulong), ("icon_x", ctypes.c_int), ("icon_y", ctypes.c_int),
                ("icon_mask", ctypes.c_ulong), ("window_group", ctypes.c_ulong)]


class XLib:
    """Closing a window as its close button does, and reading its icon."""

    CLIENT_MESSAGE = 33
    ICON_PIXMAP_HINT = 1 << 2

    def __init__(self, display):
        lib = ctypes.CDLL("libX11.so.6")
        self.lib = lib
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                   ctypes.c_void_p]
        lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.XGetWMHints.restype = ctypes.POINTER(_WMHints)
        lib.XGetWMHints.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        lib.XFree.argtypes = [ctypes.c_void_p]
        lib.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
        # The game re-creates its window when it enters fullscreen: a window that has just
        # gone is not an error here, so Xlib must not end the test for it.
        handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
        self._ignore_errors = handler_type(lambda display, event: 0)
        lib.XSetErrorHandler.argtypes = [handler_type]
        lib.XSetErrorHandler(self._ignore_errors)
        self.display = lib.XOpenDisplay(display.encode())
        check(self.display, f"cannot open the X display {display}")

    def close(self):
        if self.display:
            self.lib.XCloseDisplay(self.display)
            self.display = None

    def request_close(self, window):
        event = _Event()
        event.xclient.type = XLib.CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self.lib.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = self.lib.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        self.lib.XSendEvent(self.display, window, 0, 0, ctypes.byref(event))
        self.lib.XSync(self.display, 0)

    def icon_size(self, window):
        """The size of the icon pixmap in the window's WM hints, or None."""
        hints = self.lib.XGetWMHints(self.display, window)
        if not hints:
            return None
        pixmap = hints.contents.icon_pixmap if hints.contents.flags & XLib.ICON_PIXMAP_HINT else 0
        self.lib.XFree(hints)
        if not pixmap:
            return None
        root = ctypes.c_ulong()
        x, y = ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = (ctypes.c_uint() for _ in range(4))
        if not self.lib.XGetGeometry(self.display, pixmap, ctypes.byref(root), ctypes.byref(x),
                                     ctypes.byref(y), ctypes.byref(width), ctypes.byref(height),
                                     ctypes.byref(border), ctypes.byref(depth)):
            return None
        return width.value, height.value


class XServer:
    """A private Xvfb on a free display number of its own choosing: tests run in parallel
    and other tests open windows with the same title."""

    def __init__(self, scratch):
        self.log_path = os.path.join(scratch, "xvfb.log")
        read_end, write_end = os.pipe()
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                env=tool_environment())
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + PATIENCE
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(deadline - time.monotonic(), 0))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip().isdigit():
            self.stop()
            with open(self.log_path, errors="replace") as f:
                raise Failure("Xvfb did not start: " + f.read())
        self.display = ":" + number.strip().decode()
        self.xlib = XLib(self.display)

    def windows_named(self, title):
        result = run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                     env=tool_environment(self.display))
        return [int(w) for w in result.stdout.split()]

    def size_of(self, window):
        result = run(["xdotool", "getwindowgeometry", "--shell", str(window)],
                     env=tool_environment(self.display))
        values = dict(line.split("=", 1) for line in result.stdout.split() if "=" in line)
        try:
            return int(values["WIDTH"]), int(values["HEIGHT"])
        except (KeyError, ValueError):
            return None

    def stop(self):
        if getattr(self, "xlib", None):
            self.xlib.close()
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=PATIENCE)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


# ---------------------------------------------------------------------------------------
# Starting the installed game


def play(xserver, launcher, scratch, name, env_changes, window_size):
    """Starts the launcher from a folder without content/ and waits for the game's window
    of `window_size`; checks its icon, closes it and waits for a normal exit."""
    env = dict(os.environ)
    env.pop("XDG_DATA_HOME", None)
    env.update(env_changes)
    env["DISPLAY"] = xserver.display
    env.setdefault("ALSOFT_DRIVERS", "null")
    elsewhere = os.path.join(scratch, name + "-cwd")
    os.makedirs(elsewhere)
    err_path = os.path.join(scratch, name + ".err")
    with open(err_path, "wb") as err:
        proc = subprocess.Popen([launcher], cwd=elsewhere, env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=err)

    def stderr():
        with open(err_path, errors="replace") as f:
            return f.read()

    def the_window():
        if proc.poll() is not None:
            raise Failure(f"{name}: the game ended with status {proc.returncode}:\n{stderr()}")
        for window in xserver.windows_named(TITLE):
            if xserver.size_of(window) == window_size:
                return window
        return None

    try:
        window = wait_for(f"{name}: a window titled {TITLE} of {window_size}", the_window)
        icon = wait_for(f"{name}: the window's icon",
                        lambda: xserver.xlib.icon_size(the_window() or window), timeout=10)
        check(icon == (WINDOW_ICON_SIZE, WINDOW_ICON_SIZE), f"{name}: the window icon is {icon}")

        # A window that is being re-created may miss the request: ask again until it ends.
        deadline = time.monotonic() + PATIENCE
        while proc.poll() is None and time.monotonic() < deadline:
            for window in xserver.windows_named(TITLE):
                xserver.xlib.request_close(window)
            try:
                proc.wait(timeout=3)
            except subprocess.TimeoutExpired:
                pass
        check(proc.poll() is not None, f"{name}: the game did not close:\n{stderr()}")
        check(proc.returncode == 0,
              f"{name}: the game ended with status {proc.returncode}:\n{stderr()}")
        for mark in SANITIZER_MARKS:
            check(mark not in stderr(), f"{name}: the sanitizers reported:\n{stderr()}")
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


def check_player_folder(folder, content, config):
    check(os.path.islink(os.path.join(folder, "content")), f"{folder}/content is not a link")
    check(os.path.realpath(os.path.join(folder, "content")) == os.path.realpath(content),
          f"{folder}/content leads to {os.path.realpath(os.path.join(folder, 'content'))}")
    path = os.path.join(folder, "config.txt")
    check(os.path.isfile(path), f"{path} was not written")
    with open(path, newline="") as f:
        text = f.read()
    check(text == config, f"{path} holds {text!r}, not {config!r}")
    leftovers = [n for n in os.listdir(folder) if n not in ("content", "config.txt")]
    check(not leftovers, f"{folder} holds more than the link and the settings: {leftovers}")


def main():
    cmake, build, scratch_parent = sys.argv[1:4]
    os.makedirs(scratch_parent, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix="run-", dir=scratch_parent)
    prefix = os.path.join(scratch, "prefix")
    result = run([cmake, "--install", build, "--prefix", prefix])
    check(result.returncode == 0, f"cmake --install failed:\n{result.stdout}{result.stderr}")
    check_tree(prefix, build)
    print("installed tree, desktop entry and metainfo: fine")

    launcher = os.path.join(prefix, "bin/skywaltz-launcher")
    content = os.path.join(prefix, "share/skywaltz/content")
    xserver = XServer(scratch)
    try:
        # First start with only HOME set: the settings go to ~/.local/share/skywaltz.
        home = os.path.join(scratch, "home")
        os.makedirs(home)
        play(xserver, launcher, scratch, "first start", {"HOME": home}, SCREEN)
        check_player_folder(os.path.join(home, ".local/share/skywaltz"), content, DEFAULT_CONFIG)
        print("first start: window, icon, default settings and close: fine")

        # XDG_DATA_HOME chooses the folder, and the player's own settings are kept as they are.
        data = os.path.join(scratch, "data")
        own = "resolution: 640 480\nfullscreen: off\nmusic: 0\n"
        os.makedirs(os.path.join(data, "skywaltz"))
        with open(os.path.join(data, "skywaltz/config.txt"), "w") as f:
            f.write(own)
        play(xserver, launcher, scratch, "own settings",
             {"HOME": os.path.join(scratch, "elsewhere"), "XDG_DATA_HOME": data}, (640, 480))
        check_player_folder(os.path.join(data, "skywaltz"), content, own)
        check(not os.path.exists(os.path.join(scratch, "elsewhere")),
              "with XDG_DATA_HOME set the launcher still wrote below HOME")
        print("own settings under XDG_DATA_HOME: kept and used: fine")
    finally:
        xserver.stop()
    shutil.rmtree(scratch)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
