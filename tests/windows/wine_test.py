#!/usr/bin/env python3
"""Black-box tests of the Windows packages under wine: the skywaltz.exe of the zip, played on a
private X server under openbox, and the installer in a scratch wine prefix.

    wine_test.py --game ZIP --content BUILD/content --setup SETUP.EXE --prefix WINEPREFIX CASE

Each case works in a copy of the ready wine prefix, so cases run side by side and leave
nothing behind.
Exit status 0 passes, 1 fails, 77 skips (ctest's SKIP_RETURN_CODE).
"""

import contextlib
import os
import shutil
import struct
import subprocess
import sys
import zipfile

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "blackbox"))

import blackbox_test as bb  # noqa: E402
import desktop_test as dt  # noqa: E402
import harness as h  # noqa: E402
import picture_test as pt  # noqa: E402

WINE = "/usr/lib/wine/wine64"
# The game is started as tests/windows/wine-run starts the unit tests, and for the same reasons:
# `start /wait` gives the status it ended with for Windows, and its Windows path keeps the
# working directory it is given.
WINE_START = [WINE, "start", "/wait", "/b"]
WINESERVER = "/usr/lib/wine/wineserver64"
# Wine ends a process through its server, which takes a second more on a busy machine.
bb.QUIT_WITHIN = 5.0
HIGH_DPI = 144  # 150 % scaling, as wine's LogPixels
SILENCE = 0.002  # peak sample, of full scale, below which the wave file counts as silent
MANIFEST_DPI = (b"<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
                b"true/pm</dpiAware>",
                b"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                b"PerMonitorV2, PerMonitor</dpiAwareness>")


def windows_path(path):
    """What a Unix path is called inside wine: drive Z: is the root."""
    return "Z:" + path.replace("/", "\\")


class Prefix:
    """A private copy of the ready wine prefix."""

    def __init__(self, template, path):
        # Hard links, as the prefix is large and wine leaves its files alone; the registry,
        # which wine writes, is copied.
        subprocess.run(["cp", "-al", template, path], check=True)
        for name in os.listdir(path):
            if name.endswith(".reg"):
                os.unlink(os.path.join(path, name))
                shutil.copy2(os.path.join(template, name), os.path.join(path, name))
        self.path = path
        self.env = {"WINEPREFIX": path, "WINEDEBUG": "-all",
                    "WINEDLLOVERRIDES": "mscoree,mshtml="}

    def run(self, display, *args, timeout=h.PATIENCE):
        env = dict(os.environ, DISPLAY=display, **self.env)
        return subprocess.run([WINE, *args], env=env, stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, timeout=timeout)

    def settle(self):
        """Waits until every program in the prefix has ended."""
        subprocess.run([WINESERVER, "-w"], env=dict(os.environ, **self.env), timeout=h.PATIENCE)

    def stop(self):
        subprocess.run([WINESERVER, "-k"], env=dict(os.environ, **self.env),
                       capture_output=True, timeout=h.PATIENCE)

    def drive_c(self, *parts):
        return os.path.join(self.path, "drive_c", *parts)

    def appdata(self, *parts):
        return self.drive_c("users", os.environ.get("USER") or "root", "AppData", "Roaming",
                            *parts)


@contextlib.contextmanager
def wine_session(template, screen=bb.SCREEN):
    """A private X server under openbox, a scratch folder and a wine prefix of its own."""
    with h.session(None, screen) as run:
        prefix = Prefix(template, os.path.join(os.path.dirname(run.cwd), "prefix"))
        try:
            dt.start_manager(run.xserver, "openbox")
            run.prefix = prefix
            yield run
        finally:
            run.stop()
            prefix.stop()


def unpack(package, folder):
    """The zip's one top folder, unpacked into `folder`."""
    with zipfile.ZipFile(package) as archive:
        for member in archive.infolist():
            name = member.filename.split("/", 1)[1] if "/" in member.filename else ""
            if not name:
                continue
            target = os.path.join(folder, name)
            if member.is_dir():
                os.makedirs(target, exist_ok=True)
                continue
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with archive.open(member) as source, open(target, "wb") as out:
                shutil.copyfileobj(source, out)


def start_game(run, package, config=None, extra=None):
    unpack(package, run.cwd)
    launch(run, config, extra)


def launch(run, config=None, extra=None):
    """Starts the unpacked skywaltz.exe in its own folder."""
    if config is not None:
        run.write_config(config)
    run.binary = windows_path(os.path.join(run.cwd, "skywaltz.exe"))
    run.start(wrapper=WINE_START, extra=dict(run.prefix.env, **(extra or {})))


def start_windowed(run, package, extra=None):
    start_game(run, package, bb.WINDOWED, extra)
    run.find_window(bb.WINDOW)
    run.bring_to_origin()
    run.xserver.mouse_to(bb.WINDOW[0] - 8, bb.WINDOW[1] - 8)


def expect_letterboxed_world(run, screen):
    """The window covers the screen; the picture is the world, its planet round, between
    black bars."""
    run.find_window(screen, (0, 0))
    area = pt.picture_area(screen, pt.WHOLE_PLANET_VIEW)
    image = pt.wait_for_picture(run, area, pt.WHOLE_PLANET_VIEW)
    aspect = pt.planet_aspect(image)
    print(f"fullscreen {screen[0]}x{screen[1]}: picture at {area}, planet {aspect:.3f} : 1")
    h.check(abs(aspect - 1) <= pt.ROUND_WITHIN, f"the planet measures {aspect:.3f} : 1")
    h.check(pt.bars_black(run, screen, area), "the screen outside the picture is not black")


# ---------------------------------------------------------------------------------------
# Cases: the zip's game


def case_world_pause_quit(package, content, setup, template):
    """The world is drawn; Escape opens the pause menu; Quit game ends with status 0."""
    with wine_session(template) as run:
        start_windowed(run, package)
        image = bb.wait_for_world(run, bb.WINDOW)
        bb.keep_evidence(run, image, "world")
        bb.quit_from_menu(run, bb.WINDOW)


def case_fullscreen_first_start(package, content, setup, template):
    """The zip's own settings on a 1920 x 1080 screen: the world over the whole screen."""
    with wine_session(template, bb.DESKTOP) as run:
        start_game(run, package)
        run.find_window(bb.DESKTOP, (0, 0))
        h.wait_for("the world on the whole screen",
                   lambda: run.require_running() or bb.planet_of(run.screenshot()))
        bb.keep_evidence(run, run.screenshot(), "first-start")
        bb.quit_from_menu(run, bb.DESKTOP)


def case_fullscreen_high_dpi(package, content, setup, template):
    """At 150 % scaling a fullscreen window of another shape still covers the real screen
    with the round planet between black bars, and the program says it is aware of each
    monitor's scaling."""
    with zipfile.ZipFile(package) as archive:
        program = archive.read(next(n for n in archive.namelist() if n.endswith("/skywaltz.exe")))
    for entry in MANIFEST_DPI:
        h.check(entry in program, f"the manifest lacks {entry.decode()}")
    with wine_session(template, bb.DESKTOP) as run:
        result = run.prefix.run(run.xserver.display, "reg", "add",
                                r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                                "REG_DWORD", "/d", str(HIGH_DPI), "/f")
        h.check(result.returncode == 0, f"reg add failed: {result.stderr}")
        run.prefix.settle()
        start_game(run, package, "fullscreen: on\n" + pt.WHOLE_PLANET)
        expect_letterboxed_world(run, bb.DESKTOP)


def message_box(run):
    """A window titled as the game's that is not the game's window."""
    for window in run.xserver.windows_named(h.TITLE):
        geometry = run.xserver.geometry(window)
        if geometry and (geometry["WIDTH"], geometry["HEIGHT"]) != bb.WINDOW:
            return window
    return None


def case_missing_sprite_sheet(package, content, setup, template):
    """Without its sprite sheet the game says so on the console and in a message box, and
    ends with status 1 once the box is closed."""
    with wine_session(template) as run:
        unpack(package, run.cwd)
        os.unlink(os.path.join(run.cwd, "content", "sprites", "sprites.png"))
        launch(run, bb.WINDOWED)
        box = h.wait_for("the message box", lambda: run.require_running() or message_box(run))
        bb.keep_evidence(run, run.xserver.screenshot(), "message-box")
        run.xserver.xdotool("windowfocus", "--sync", str(box), check_status=False)
        run.xserver.xdotool("key", "--window", str(box), "Return")
        status = run.wait_exit()
        h.check(status == 1, f"status {status} instead of 1:\n{run.stderr()}")
        lines = [line for line in run.game_lines() if "sprites.png" in line]
        h.check(len(lines) == 1, f"not one line naming the sprite sheet:\n{run.stderr()}")


def recorded_peak(path):
    """The loudest sample, from 0 to 1, recorded so far in a wave file. OpenAL Soft writes
    the sizes in the header only when it closes the file, so they are not read: 32-bit float
    or 16-bit samples follow the "data" mark."""
    with open(path, "rb") as f:
        data = f.read()
    if b"fmt " not in data or b"data" not in data:
        return 0.0
    fmt = data.index(b"fmt ") + 8
    tag, bits = struct.unpack_from("<H", data, fmt)[0], struct.unpack_from("<H", data, fmt + 14)[0]
    if tag == 0xFFFE:  # extensible: the real format opens its sub-format's GUID
        tag = struct.unpack_from("<H", data, fmt + 24)[0]
    samples = data[data.index(b"data") + 8:]
    if tag == 3 and bits == 32:
        values = struct.unpack(f"<{len(samples) // 4}f", samples[:len(samples) // 4 * 4])
        return max((abs(v) for v in values), default=0.0)
    h.check(tag == 1 and bits == 16, f"unexpected sample format {tag}, {bits} bits in {path}")
    values = struct.unpack(f"<{len(samples) // 2}h", samples[:len(samples) // 2 * 2])
    return max((abs(v) for v in values), default=0) / 32768


def case_music_plays(package, content, setup, template):
    """OpenAL Soft's wave-file device records what the game plays: the waltz, not silence."""
    with wine_session(template) as run:
        scratch = os.path.dirname(run.cwd)
        recording = os.path.join(scratch, "music.wav")
        conf = os.path.join(scratch, "alsoft.conf")
        with open(conf, "w") as f:
            f.write(f"[general]\ndrivers=wave\n[wave]\nfile={windows_path(recording)}\n")
        start_windowed(run, package, {"ALSOFT_DRIVERS": "wave", "ALSOFT_CONF": windows_path(conf)})
        bb.wait_for_world(run, bb.WINDOW)
        h.wait_for("the recording to hold sound",
                   lambda: os.path.exists(recording) and recorded_peak(recording) > SILENCE,
                   interval=1.0)
        print(f"loudest sample recorded: {recorded_peak(recording):.3f} of full scale")


# ---------------------------------------------------------------------------------------
# Cases: the installer


def shortcut_target(path):
    """The local path a Windows shortcut (.lnk) points at."""
    with open(path, "rb") as f:
        data = f.read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    offset = 0x4C
    if flags & 0x1:  # a target ID list comes first
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    h.check(flags & 0x2, f"{path} has no link information")
    base = offset + struct.unpack_from("<I", data, offset + 16)[0]
    return data[base:data.index(b"\0", base)].decode("latin-1")


def unix_path(prefix, windows):
    h.check(windows[1:3] == ":\\", f"not a local path: {windows}")
    drive = os.path.realpath(os.path.join(prefix.path, "dosdevices", windows[0].lower() + ":"))
    return os.path.join(drive, *windows[3:].split("\\"))


def case_installer(package, content, setup, template):
    """Silent install; the Start-menu shortcut starts the game, which writes the player's
    settings; silent uninstall removes the program and keeps the settings."""
    with wine_session(template, bb.DESKTOP) as run:
        prefix = run.prefix
        result = prefix.run(run.xserver.display, setup, "/S")
        h.check(result.returncode == 0, f"the installer ended with {result.returncode}")
        prefix.settle()
        link = prefix.drive_c("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                              "SKYWALTZ.lnk")
        h.check(os.path.isfile(link), "no Start-menu shortcut")
        target = shortcut_target(link)
        program = unix_path(prefix, target)
        folder = os.path.dirname(program)
        h.check(os.path.isfile(program), f"the shortcut points at nothing: {target}")
        h.check(not os.path.exists(os.path.join(folder, "config.txt")),
                "the installer put a config.txt beside the game")

        run.binary = windows_path(program)  # started from elsewhere, as a shortcut may be
        run.start(wrapper=WINE_START, extra=prefix.env)
        run.find_window(bb.DESKTOP, (0, 0))
        h.wait_for("the world", lambda: run.require_running() or bb.planet_of(run.screenshot()))
        settings = prefix.appdata("SKYWALTZ", "config.txt")
        h.wait_for("the settings in %APPDATA%", lambda: os.path.isfile(settings))
        run.stop()
        prefix.settle()

        query = prefix.run(run.xserver.display, "reg", "query",
                           r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\SKYWALTZ")
        for value in ("DisplayName", "DisplayVersion", "Publisher", "DisplayIcon",
                      "UninstallString", "QuietUninstallString"):
            h.check(value in query.stdout, f"the uninstall entry lacks {value}:\n{query.stdout}")
        result = prefix.run(run.xserver.display, os.path.join(folder, "uninstall.exe"), "/S")
        h.check(result.returncode == 0, f"the uninstaller ended with {result.returncode}")
        h.wait_for("the uninstaller to finish", lambda: not os.path.exists(folder))
        prefix.settle()
        h.check(not os.path.exists(link), "the Start-menu shortcut is left behind")
        h.check(os.path.isfile(settings), "uninstalling removed the player's settings")


if __name__ == "__main__":
    sys.exit(h.run_cases(__doc__, globals(), ("setup", "prefix")))
