#!/usr/bin/env python3
"""Installs the game in one of its two layouts, checks what was installed, and starts the
installed launcher the way a player's desktop does: on a private X server, with a scratch
home folder. Every wait is a bounded poll.

usage: install_test.py prefix <cmake> <build tree> <scratch parent>
       install_test.py package <cpack> <build tree> <scratch parent>
       install_test.py portable <scripts/portable> <build tree> <scratch parent>

prefix: `cmake --install` into a scratch prefix, the layout of `make install`.
package: builds the Debian package, requires lintian to find neither error nor warning in
it, and unpacks it into a scratch root, which stands for the player's /.
portable: packs the portable archive from the build tree with this machine's libraries and
unpacks it into a scratch folder; its ./skywaltz is the launcher.
"""

import glob
import gzip
import os
import re
import shutil
import subprocess
import sys
import tarfile
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
# The font the package links to instead of shipping it; fonts-dejavu-core provides it.
SYSTEM_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
# What SFML and the game write when they cannot load the font, the music or a sound.
LOAD_FAILURES = ("Failed to ", "cannot load")


class Layout:
    """Where one installation put the game: `root` is its prefix on this machine, and
    `prefix` the same folder as the player's machine sees it."""

    def __init__(self, root, prefix, programs, content, font_link, launcher=None):
        self.root = root
        self.prefix = prefix
        self.programs = programs
        self.content = content
        self.font_link = font_link
        self.launcher_path = launcher or os.path.join(programs, "skywaltz-launcher")

    def path(self, relative):
        return os.path.join(self.root, relative)

    def launcher(self):
        return self.path(self.launcher_path)


def tool_environment():
    env = {k: v for k, v in os.environ.items() if k not in h.GAME_ONLY_VARIABLES}
    env.pop("DESTDIR", None)
    return env


def run(args, env=None, timeout=h.PATIENCE):
    result = subprocess.run(args, env=env or tool_environment(), stdin=subprocess.DEVNULL,
                            capture_output=True, text=True, timeout=timeout)
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


def check_content(layout, build):
    content = layout.path(layout.content)
    for asset in ("font.ttf", "sprites/sprites.png", "music/Skywaltz.ogg", "icon.png"):
        check(os.path.isfile(os.path.join(content, asset)), f"content/{asset} is not installed")
    check(os.path.isdir(os.path.join(content, "maps")), "content/maps/ is not installed")
    built = files_below(os.path.join(build, "content"))
    installed = files_below(content)
    check(built == installed,
          f"the installed content differs from the built one: missing {sorted(built - installed)}"
          f", extra {sorted(installed - built)}")

    font = os.path.join(content, "font.ttf")
    check(os.path.islink(font) == layout.font_link,
          f"content/font.ttf is {'not ' if layout.font_link else ''}a link")
    if layout.font_link:
        target = os.readlink(font)
        seen_from = os.path.join(layout.prefix, layout.content)
        check(not os.path.isabs(target) and
              os.path.normpath(os.path.join(seen_from, target)) == SYSTEM_FONT,
              f"content/font.ttf leads to {target!r}, not relatively to {SYSTEM_FONT}")


def check_manual(layout):
    page = layout.path("share/man/man6/skywaltz.6.gz")
    check(os.path.isfile(page), "the manual page skywaltz(6) is not installed")
    with gzip.open(page, "rt") as f:
        check(f.readline().startswith(".TH SKYWALTZ 6 "), f"{page} is no section 6 page")
    link = layout.path("share/man/man6/skywaltz-launcher.6.gz")
    check(os.path.islink(link) and os.readlink(link) == "skywaltz.6.gz",
          "skywaltz-launcher(6) does not lead to skywaltz(6)")


def check_tree(layout, build):
    for program in ("skywaltz", "skywaltz-launcher"):
        path = layout.path(os.path.join(layout.programs, program))
        check(os.path.isfile(path) and os.access(path, os.X_OK), f"{path} is not installed")
    other_layout = "games" if layout.programs == "bin" else "bin"
    check(not os.path.exists(layout.path(other_layout)),
          f"the {layout.programs}/ layout also installed {other_layout}/")
    check_content(layout, build)
    check_manual(layout)

    for size in ICON_SIZES:
        icon = layout.path(f"share/icons/hicolor/{size}x{size}/apps/skywaltz.png")
        check(os.path.isfile(icon), f"the {size} px icon is not installed")
        check(png_size(icon) == (size, size), f"the {size} px icon is {png_size(icon)}")

    desktop = layout.path(f"share/applications/{APP_ID}.desktop")
    check(os.path.isfile(desktop), "the desktop entry is not installed")
    entry = desktop_entry(desktop)
    expected = {
        "Type": "Application",
        "Name": "SKYWALTZ",
        "Icon": "skywaltz",
        "Categories": "Game;ArcadeGame;",
        "Exec": os.path.join(layout.prefix, layout.programs, "skywaltz-launcher"),
    }
    for key, value in expected.items():
        check(entry.get(key) == value, f"desktop entry {key}={entry.get(key)!r}, not {value!r}")
    check(entry.get("Comment"), "the desktop entry has no comment")
    result = run(["desktop-file-validate", desktop])
    check(result.returncode == 0 and not (result.stdout + result.stderr).strip(),
          f"desktop-file-validate ({result.returncode}): {result.stdout}{result.stderr}")

    metainfo = layout.path(f"share/metainfo/{APP_ID}.metainfo.xml")
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
        for mark in LOAD_FAILURES:
            check(mark not in stderr(), f"{name}: the game missed a file:\n{stderr()}")
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


# ---------------------------------------------------------------------------------------
# The Debian package


def build_package(cpack, build, folder):
    result = run([cpack, "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
                  "-B", folder])
    check(result.returncode == 0, f"cpack failed:\n{result.stdout}{result.stderr}")
    debs = glob.glob(os.path.join(folder, "*.deb"))
    check(len(debs) == 1, f"cpack made {debs}, not one package")
    return debs[0]


def check_lintian(deb):
    result = run(["lintian", "--pedantic", "--info", deb])
    print(f"lintian --pedantic --info:\n{result.stdout}{result.stderr}", end="")
    complaints = [line for line in result.stdout.splitlines() if line[:2] in ("E:", "W:")]
    check(result.returncode == 0 and not complaints,
          f"lintian ({result.returncode}) reports errors or warnings:\n" + "\n".join(complaints))


def package_fields(deb):
    result = run(["dpkg-deb", "--field", deb])
    check(result.returncode == 0, f"dpkg-deb --field: {result.stderr}")
    return dict(re.findall(r"^(\S+): (.*)$", result.stdout, re.MULTILINE))


def check_versions(fields, root):
    """The package, its Debian changelog and the newest AppStream release agree; the
    release is the game's own version, without the Debian revision."""
    with gzip.open(os.path.join(root, "usr/share/doc/skywaltz/changelog.Debian.gz"), "rt") as f:
        newest = re.match(r"skywaltz \((\S+)\) ", f.readline())
    check(newest and newest.group(1) == fields["Version"],
          f"the changelog's newest entry is not version {fields['Version']}")
    upstream = fields["Version"].rsplit("-", 1)[0]
    with open(os.path.join(root, f"usr/share/metainfo/{APP_ID}.metainfo.xml")) as f:
        release = re.search(r'<release version="([^"]+)"', f.read())
    check(release and release.group(1) == upstream,
          f"the metainfo's newest release is not version {upstream}")


def unpack_package(cpack, build, scratch):
    deb = build_package(cpack, build, os.path.join(scratch, "package"))
    check_lintian(deb)
    fields = package_fields(deb)
    check(fields.get("Section") == "games", f"the package is in section {fields.get('Section')}")
    check("fonts-dejavu-core" in fields.get("Depends", ""),
          f"the package does not depend on the font: {fields.get('Depends')}")

    root = os.path.join(scratch, "root")
    result = run(["dpkg-deb", "--extract", deb, root])
    check(result.returncode == 0, f"dpkg-deb --extract: {result.stderr}")
    check(os.path.isfile(os.path.join(root, "usr/share/doc/skywaltz/copyright")),
          "the package has no copyright file")
    check_versions(fields, root)
    # The font as fonts-dejavu-core puts it on the player's machine.
    font = os.path.join(root, SYSTEM_FONT.lstrip("/"))
    os.makedirs(os.path.dirname(font))
    os.symlink(SYSTEM_FONT, font)
    return Layout(os.path.join(root, "usr"), "/usr", "games", "share/games/skywaltz/content",
                  font_link=True)


def install_prefix(cmake, build, scratch):
    prefix = os.path.join(scratch, "prefix")
    result = run([cmake, "--install", build, "--prefix", prefix])
    check(result.returncode == 0, f"cmake --install failed:\n{result.stdout}{result.stderr}")
    return Layout(prefix, prefix, "bin", "share/skywaltz/content", font_link=False)


# ---------------------------------------------------------------------------------------
# The portable folder

# What lib/ must bring along, and what it must leave to the player's system.
BUNDLED = ("libsfml-graphics.so", "libsfml-window.so", "libsfml-system.so", "libsfml-audio.so",
           "libSDL2-2.0.so", "libopenal.so", "libfreetype.so", "libogg.so", "libvorbis.so",
           "libFLAC.so")
LEFT_TO_SYSTEM = ("libc.so", "libm.so", "libGL.so", "libGLX.so", "libX11.so", "libxcb.so",
                  "libpulse.so", "libasound.so", "libudev.so", "libz.so")


def unpack_portable(script, build, scratch):
    # Packing reads the whole build's content and, on a busy machine, takes a while.
    result = run(["sh", script, build, os.path.join(scratch, "packed")], timeout=3 * h.PATIENCE)
    check(result.returncode == 0, f"{script} failed:\n{result.stdout}{result.stderr}")
    archive = result.stdout.strip().splitlines()[-1]
    check(re.fullmatch(r".*/skywaltz-\d+\.\d+\.\d+-linux-x86_64\.tar\.gz", archive),
          f"the archive is named {archive}")
    with tarfile.open(archive) as tar:
        tops = {member.name.split("/")[0] for member in tar.getmembers()}
        check(tops == {os.path.basename(archive)[:-len(".tar.gz")]},
              f"the archive holds more than one folder: {sorted(tops)}")
        tar.extractall(os.path.join(scratch, "unpacked"))
    folder = os.path.join(scratch, "unpacked", tops.pop())
    return Layout(folder, folder, "bin", "content", font_link=False, launcher="skywaltz")


def check_portable(layout, build):
    for program in ("skywaltz", "bin/skywaltz", "bin/skywaltz-launcher"):
        check(os.access(layout.path(program), os.X_OK), f"{program} is not in the folder")
    check_content(layout, build)
    libraries = os.listdir(layout.path("lib"))
    for wanted in BUNDLED:
        check(any(name.startswith(wanted) for name in libraries), f"lib/ lacks {wanted}")
    for system in LEFT_TO_SYSTEM:
        check(not any(name.startswith(system) for name in libraries), f"lib/ holds {system}")
    check(os.path.isfile(layout.path("lib/cxx/libstdc++.so.6")), "lib/cxx has no C++ runtime")

    dynamic = run(["readelf", "-d", layout.path("bin/skywaltz")]).stdout
    check("(RUNPATH)" in dynamic and "[$ORIGIN/../lib]" in dynamic,
          f"the game's run path is not $ORIGIN/../lib:\n{dynamic}")
    found = run(["ldd", layout.path("bin/skywaltz")]).stdout
    check("not found" not in found, f"ldd misses libraries:\n{found}")
    lib = os.path.realpath(layout.path("lib"))
    for line in found.splitlines():
        parts = line.split()
        if len(parts) >= 3 and parts[1] == "=>" and parts[0] in libraries:
            check(os.path.realpath(os.path.dirname(parts[2])) == lib,
                  f"ldd finds {parts[0]} outside lib/: {line.strip()}")


# ---------------------------------------------------------------------------------------
# A player's starts


def first_start(xserver, layout, scratch):
    """Only HOME set: the settings go to ~/.local/share/skywaltz."""
    home = os.path.join(scratch, "home")
    os.makedirs(home)
    play(xserver, layout.launcher(), scratch, "first start", {"HOME": home}, SCREEN)
    check_player_folder(os.path.join(home, ".local/share/skywaltz"),
                        layout.path(layout.content), DEFAULT_CONFIG)
    print("first start: window, icon, default settings and close: fine")


def own_settings(xserver, layout, scratch):
    """XDG_DATA_HOME chooses the folder, and the player's own settings are kept as they are."""
    data = os.path.join(scratch, "data")
    own = "resolution: 640 480\nfullscreen: off\nmusic: 0\n"
    os.makedirs(os.path.join(data, "skywaltz"))
    with open(os.path.join(data, "skywaltz/config.txt"), "w") as f:
        f.write(own)
    play(xserver, layout.launcher(), scratch, "own settings",
         {"HOME": os.path.join(scratch, "elsewhere"), "XDG_DATA_HOME": data}, (640, 480))
    check_player_folder(os.path.join(data, "skywaltz"), layout.path(layout.content), own)
    check(not os.path.exists(os.path.join(scratch, "elsewhere")),
          "with XDG_DATA_HOME set the launcher still wrote below HOME")
    print("own settings under XDG_DATA_HOME: kept and used: fine")


def main():
    mode, tool, build, scratch_parent = sys.argv[1:5]
    os.makedirs(scratch_parent, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix=f"{mode}-", dir=scratch_parent)
    if mode == "package":
        layout = unpack_package(tool, build, scratch)
        starts = (first_start,)
    elif mode == "portable":
        layout = unpack_portable(tool, build, scratch)
        starts = (first_start, own_settings)
    else:
        layout = install_prefix(tool, build, scratch)
        starts = (first_start, own_settings)
    if mode == "portable":
        check_portable(layout, build)
        print("portable folder, its libraries and their run path: fine")
    else:
        check_tree(layout, build)
        print("installed tree, manual page, desktop entry and metainfo: fine")

    xserver = h.XServer(scratch, *SCREEN)
    try:
        for start in starts:
            start(xserver, layout, scratch)
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
