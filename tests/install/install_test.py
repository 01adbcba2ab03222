#!/usr/bin/env python3
"""Installs the game into a scratch prefix, checks what was installed, and starts the
installed launcher the way a player's desktop does: on a private X server, with a scratch
home folder. Every wait is a bounded poll.

usage: install_test.py <cmake> <build tree> <scratch parent>
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

# The private X server, the Xlib calls and the bounded waits of the black-box tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "blackbox"))
import harness as h  # noqa: E402
from harness import check, wait_for  # noqa: E402

APP_ID = "org.skywaltz.Skywaltz"
TITLE = "SKYWALTZ"
ICON_SIZES = (32, 64, 128, 256)
WINDOW_ICON_SIZE = 128
DEFAULT_CONFIG = ("resolution: auto\nmusic: 100\nsounds: 100\nfullscreen: on\n"
                  "screenshake: on\ncolordelay: 1")
SCREEN = (1280, 720)
def tool_environment():
    env = {k: v for k, v in os.environ.items() if k not in h.GAME_ONLY_VARIABLES}
    env.pop("DESTDIR", None)
    return env


def run(args, env=None):
    result = subprocess.run(args, env=env or tool_environment(), stdin=subprocess.DEVNULL,
                            capture_output=True, text=True, timeout=h.PATIENCE)
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
            raise h.Failure(f"{name}: the game ended with status {proc.returncode}:\n{stderr()}")
        for window in xserver.windows_named(TITLE):
            geometry = xserver.geometry(window)
            if geometry and (geometry["WIDTH"], geometry["HEIGHT"]) == window_size:
                return window
        return None

    try:
        window = wait_for(f"{name}: a window titled {TITLE} of {window_size}", the_window)
        icon = wait_for(f"{name}: the window's icon",
                        lambda: xserver.xlib.icon_size(the_window() or window), timeout=10)
        check(icon == (WINDOW_ICON_SIZE, WINDOW_ICON_SIZE), f"{name}: the window icon is {icon}")

        # A window that is being re-created may miss the request: ask again until it ends.
        deadline = time.monotonic() + h.PATIENCE
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
        for mark in h.SANITIZER_MARKS:
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
    xserver = h.XServer(scratch, *SCREEN)
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
    except h.Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
