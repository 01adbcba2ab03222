#!/usr/bin/env python3
"""Black-box tests of the skywaltz binary: what a player sees through the window, and what
the game does when a person has damaged the files around it.

    blackbox_test.py --game BUILD/skywaltz --content BUILD/content CASE

Exit status 0 passes, 1 fails, 77 skips (ctest's SKIP_RETURN_CODE).
"""

import contextlib
import os
import signal
import subprocess
import sys
import tempfile
import time
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness as h  # noqa: E402

WINDOWED = "fullscreen: off\nresolution: 640 480\n"
WINDOW = (640, 480)
DEFAULT_VIEW = (480, 320)  # the view the default settings give, stretched over the desktop
PLANET_SHARE = 0.04  # of a WINDOW-sized picture that the first planet covers at the least
SCREEN = (1280, 720)
DESKTOP = (1920, 1080)  # a player's usual screen
TEN_MB = 10 * 1024 * 1024
MENU_ENTRIES = 5
# Seconds "Quit game" may take to end the process on a machine with a core to spare; a
# sanitized game also checks for leaks on its way out. The game's own share is about 0.1 s of
# processor time; the rest is waiting for its threads and the graphics driver's to be run and
# end, which a loaded machine stretches (see harness.check_time).
QUIT_WITHIN = 3.0 if "ASAN_OPTIONS" in os.environ else 1.0
MENU_TOP, MENU_ROW = 5, 24  # view px: where the pause menu's rows rest
LOOK_AHEAD = 60  # view px the camera looks past the player, away from the planet


# ---------------------------------------------------------------------------------------
# What the screen shows


def near(a, b, tolerance=24):
    return abs(a[0] - b[0]) + abs(a[1] - b[1]) + abs(a[2] - b[2]) <= tolerance


def planet_of(image, step=4):
    """The largest bright disc: the planet fill is the most common bright colour. Returns
    (colour, share of the picture, centroid) or None."""
    bright = Counter()
    total = 0
    for _, _, r, g, b in image.pixels(step):
        total += 1
        if max(r, g, b) > 100:
            bright[(r >> 2, g >> 2, b >> 2)] += 1
    if not bright:
        return None
    key, _ = bright.most_common(1)[0]
    colour = (key[0] << 2, key[1] << 2, key[2] << 2)
    xs, ys = [], []
    for x, y, r, g, b in image.pixels(step):
        if near((r, g, b), colour):
            xs.append(x)
            ys.append(y)
    return colour, len(xs) / total, (sum(xs) / len(xs), sum(ys) / len(ys))


def background_of(image, step=4):
    """The most common colour of the picture's top band, where the sky is."""
    band = image.crop(0, image.height // 3, image.width, image.height // 6)
    counts = Counter((r >> 2, g >> 2, b >> 2) for _, _, r, g, b in band.pixels(step))
    key, _ = counts.most_common(1)[0]
    return (key[0] << 2, key[1] << 2, key[2] << 2)


def describe(image):
    found = planet_of(image)
    return (f"planet {found[0]} covering {found[1]:.1%} around {found[2]}" if found
            else "no planet") + f", stats {h.colour_stats(image)}"


def world_problem(image, view):
    """Why the picture does not show the world (None when it does): a sky that is not black,
    the first planet as a large disc, and the player where the camera keeps it, just below
    the view's centre, drawn in colours that are neither sky nor planet."""
    stats = h.colour_stats(image)
    if stats["mean"] < 8:
        return f"a black frame ({stats})"
    # The smallest first planet covers 4 % of a 640 x 480 view; a larger view shows more sky
    # around the same planet.
    least_share = PLANET_SHARE * min(1.0, WINDOW[0] * WINDOW[1] / (view[0] * view[1]))
    found = planet_of(image)
    if found is None or found[1] < least_share:
        return f"no planet disc: {describe(image)}"
    planet, sky = found[0], background_of(image)
    if near(planet, sky, 60):
        return f"the planet {planet} cannot be told from the sky {sky}"
    sx, sy = image.width / view[0], image.height / view[1]
    cx, cy = image.width / 2, image.height / 2 + LOOK_AHEAD * sy
    box = image.crop(int(cx - 90 * sx), int(cy - 70 * sy), int(180 * sx), int(140 * sy))
    figure = sum(1 for _, _, r, g, b in box.pixels(2)
                 if not near((r, g, b), sky, 40) and not near((r, g, b), planet, 40))
    if figure < 25:
        return f"nothing but sky and planet where the player stands ({figure} figure pixels)"
    return None


def wait_for_world(run, view):
    last = {}

    def drawn():
        run.require_running()
        image = run.screenshot()
        last["problem"] = world_problem(image, view)
        last["image"] = image
        return last["problem"] is None

    try:
        h.wait_for("the world to be drawn", drawn, interval=0.2)
    except h.Failure as failure:
        keep_evidence(run, last.get("image"), "world")
        raise h.Failure(f"{failure}: {last.get('problem')}") from None
    # A run on another system (scripts/play-in-chroot) keeps the world it saw, to be looked at.
    pictures = os.environ.get("SKYWALTZ_BLACKBOX_PICTURES")
    if pictures:
        last["image"].save_ppm(os.path.join(pictures, "world.ppm"))
    return last["image"]


def keep_evidence(run, image, name):
    if image is not None:
        path = os.path.join(os.path.dirname(run.cwd), f"{name}.ppm")
        image.save_ppm(path)
        print(f"screenshot kept: {path}")


def menu_rows(image, view):
    """For each pause-menu row, how many pixels look like its text: the selected row is
    white, the others light grey, each over a black shadow, on a sky that is neither."""
    sx, sy = image.width / view[0], image.height / view[1]
    rows = []
    for i in range(MENU_ENTRIES):
        band = image.crop(0, int((MENU_TOP + MENU_ROW * i) * sy), int(200 * sx),
                          int(MENU_ROW * sy))
        white = dark = 0
        for _, _, r, g, b in band.pixels(1):
            if min(r, g, b) >= 220:
                white += 1
            elif max(r, g, b) <= 10:
                dark += 1
        rows.append((white, dark))
    return rows


def menu_shown(rows, selected):
    """All five rows carry text, and only the selected one is white."""
    for i, (white, dark) in enumerate(rows):
        if dark < 20:
            return False
        if (white >= 20) != (i == selected):
            return False
    return True


def menu_hidden(rows):
    return all(white < 5 and dark < 10 for white, dark in rows)


def wait_menu(run, view, what, condition):
    last = {}

    def probe():
        run.require_running()
        last["image"] = run.screenshot()
        last["rows"] = menu_rows(last["image"], view)
        return condition(last["rows"])

    try:
        h.wait_for(what, probe, interval=0.1)
    except h.Failure as failure:
        keep_evidence(run, last.get("image"), "menu")
        raise h.Failure(f"{failure}; rows (white, black pixels): {last.get('rows')}") from None


def press(run, key, until, view, what):
    """Holds a key until its effect shows, then lets go: the game samples the keyboard once
    a frame, so a tap shorter than a frame could be missed on a slow machine."""
    run.xserver.key_down(key)
    try:
        wait_menu(run, view, what, until)
    finally:
        run.xserver.key_up(key)
    run.let_frames_pass()


# ---------------------------------------------------------------------------------------
# Runs


def start(run, content, config=WINDOWED, size=WINDOW, wrapper=(), unset=(), extra=None):
    if content is not None:
        h.mirror(content, os.path.join(run.cwd, "content"))
    if config is not None:
        run.write_config(config)
    run.start(wrapper, unset, extra)
    run.find_window(size)
    run.bring_to_origin()
    # The pointer rests in the bottom-right corner, away from the menu's labels.
    run.xserver.mouse_to(size[0] - 8, size[1] - 8)


def quit_from_menu(run, view):
    """Escape, Up (the selection wraps from Resume to Quit game), Return. Returns the
    seconds from pressing Return to the end of the process."""
    press(run, "Escape", lambda rows: menu_shown(rows, 0), view, "the pause menu")
    press(run, "Up", lambda rows: menu_shown(rows, MENU_ENTRIES - 1), view,
          "Quit game to be selected")
    pressed = time.monotonic()
    run.xserver.key_down("Return")
    try:
        status = run.wait_exit()
    finally:
        run.xserver.key_up("Return")
    took = time.monotonic() - pressed
    print(f"Quit game ended the process with status {status} {took:.2f} s after Return")
    h.check(status == 0, f"Quit game ended with status {status}:\n{run.stderr()}")
    h.check_time(took, QUIT_WITHIN, "Quit game to the end of the process")
    run.check_clean_stderr()
    return took


def close_normally(run):
    """The window's close button: the game must end with status 0."""
    run.close_window()
    status = run.wait_exit()
    h.check(status == 0, f"closing the window ended with status {status}:\n{run.stderr()}")
    run.check_clean_stderr()


def expect_desktop_window(run):
    """The default settings: a borderless window of the desktop's size that stays."""
    window = run.window
    h.check(not run.xserver.decorated(window), "the desktop-sized window has a border")
    wait_for_world(run, DEFAULT_VIEW)
    ids = run.xserver.windows_named(h.TITLE)
    h.check(ids == [window], f"the window was re-created: {window} became {ids}")


def expect_sprite_sheet_refusal(run, path):
    status = run.wait_exit()
    h.check(status == 1, f"status {status} instead of 1:\n{run.stderr()}")
    run.check_clean_stderr()
    naming = [line for line in run.game_lines() if path in line]
    h.check(len(naming) == 1, f"not one line naming {path}:\n{run.stderr()}")
    h.check("content/" in naming[0], f"the line does not say where to start: {naming[0]}")
    lines = run.game_lines()
    h.check(len(lines) == 1, f"more than the one clear line:\n{run.stderr()}")
    h.check(not run.xserver.windows_named(h.TITLE), "a window is left open")


def cut(path, size):
    """Replaces a (symlinked) file by its first `size` bytes."""
    with open(os.path.realpath(path), "rb") as f:
        data = f.read(size)
    os.unlink(path)
    with open(path, "wb") as f:
        f.write(data)
    return len(data)


# ---------------------------------------------------------------------------------------
# Cases: the player's view


def case_window(game, content):
    """The configured window: its title, size and title bar; the world on screen."""
    with h.session(game) as run:
        start(run, content)
        geometry = run.xserver.geometry(run.window)
        h.check((geometry["WIDTH"], geometry["HEIGHT"]) == WINDOW, f"window {geometry}")
        h.check(run.xserver.decorated(run.window), "the configured window has no title bar")
        wait_for_world(run, WINDOW)
        close_normally(run)


def case_pause_menu(game, content):
    """Escape shows the five entries and hides them again; Quit game ends the game."""
    with h.session(game) as run:
        start(run, content)
        wait_for_world(run, WINDOW)
        wait_menu(run, WINDOW, "no menu while playing", menu_hidden)
        press(run, "Escape", lambda rows: menu_shown(rows, 0), WINDOW, "the pause menu")
        press(run, "Escape", menu_hidden, WINDOW, "the pause menu to slide away")
        quit_from_menu(run, WINDOW)


def case_walking(game, content):
    """Holding a walking key (Right, A) moves the view further than the camera's idle sway
    can."""
    for key in ("Right", "a"):
        with h.session(game) as run:
            start(run, content)
            wait_for_world(run, WINDOW)

            def planet_at():
                run.require_running()
                found = planet_of(run.screenshot())
                h.check(found is not None, "the planet is gone")
                return found[2]

            def distance(a, b):
                return ((a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2) ** 0.5

            # The camera first settles on the player; its sway alone then moves the planet
            # by at most 54 px, at most 14 px a second.
            previous = [planet_at(), time.monotonic()]

            def settled():
                here, now = planet_at(), time.monotonic()
                rate = distance(here, previous[0]) / max(now - previous[1], 1e-3)
                previous[:] = [here, now]
                return rate < 20

            h.wait_for("the camera to settle", settled, interval=0.3)
            before = previous[0]
            run.xserver.key_down(key)
            try:
                moved = h.wait_for(f"{key} to move the view",
                                   lambda: (d := distance(planet_at(), before)) > 120 and d,
                                   interval=0.1)
            finally:
                run.xserver.key_up(key)
            print(f"holding {key} moved the planet {moved:.0f} px across the window")
            close_normally(run)


def case_desktop_window(game, content):
    """No config.txt: the borderless desktop-sized window, and the game plays in it."""
    with h.session(game, SCREEN) as run:
        start(run, content, config=None, size=SCREEN)
        expect_desktop_window(run)
        quit_from_menu(run, DEFAULT_VIEW)


def case_missing_sprite_sheet(game, content):
    """Without its sprite sheet the game says so in one line and ends with status 1."""
    with h.session(game) as run:
        h.mirror(content, os.path.join(run.cwd, "content"))
        os.unlink(os.path.join(run.cwd, "content", "sprites", "sprites.png"))
        run.write_config(WINDOWED)
        run.start()
        expect_sprite_sheet_refusal(run, os.path.join(run.cwd, "content/sprites/sprites.png"))


def expect_placed(run, size, at, what):
    """Waits for the game's window of `size` to stand at `at` on the screen."""
    try:
        run.find_window(size, at)
    except h.Failure as failure:
        raise h.Failure(f"{what}: {failure}") from None


def toggle_fullscreen(run, size, at, what):
    run.xserver.key_down("m")
    try:
        expect_placed(run, size, at, what)
    finally:
        run.xserver.key_up("m")
    run.let_frames_pass()  # the release is seen before M is pressed again


def case_window_placement(game, content):
    """On a 1920 x 1080 screen fullscreen covers it exactly and a window stands centred, at
    start-up and after M each way."""
    desktop_at, default_window = (0, 0), (480, 320)
    centred = lambda size: ((DESKTOP[0] - size[0]) // 2, (DESKTOP[1] - size[1]) // 2)
    for config, size in ((None, DESKTOP), ("resolution: 800 600\nfullscreen: off\n", (800, 600))):
        windowed = default_window if config is None else size
        with h.session(game, DESKTOP) as run:
            if config is not None:
                run.write_config(config)
            h.mirror(content, os.path.join(run.cwd, "content"))
            run.start()
            expect_placed(run, size, centred(size), "at start-up")
            wait_for_world(run, DEFAULT_VIEW if config is None else size)
            if config is None:
                toggle_fullscreen(run, windowed, centred(windowed), "M leaves fullscreen")
                toggle_fullscreen(run, DESKTOP, desktop_at, "M returns to fullscreen")
            else:
                toggle_fullscreen(run, DESKTOP, desktop_at, "M enters fullscreen")
                toggle_fullscreen(run, windowed, centred(windowed), "M leaves fullscreen")
            print(f"{size} at start-up, then {windowed} and {DESKTOP}: placed as asked")
            close_normally(run)


def case_stall(game, content):
    """Stopped for 12 s and continued, the game picks up where it stood: the planet and the
    player stay on screen in every picture of the seconds after, not lost in empty sky."""
    with h.session(game) as run:
        start(run, content)
        wait_for_world(run, WINDOW)
        run.proc.send_signal(signal.SIGSTOP)
        time.sleep(12)
        run.proc.send_signal(signal.SIGCONT)
        run.let_frames_pass()
        began = time.monotonic()
        while time.monotonic() - began < 3:
            image = run.screenshot()
            problem = world_problem(image, WINDOW)
            if problem:
                keep_evidence(run, image, "stall")
                raise h.Failure(f"{time.monotonic() - began:.1f} s after the stall: {problem}")
            time.sleep(0.3)
        close_normally(run)


# ---------------------------------------------------------------------------------------
# Cases: faults at the edges


def case_no_display(game, content):
    """Without a display: one line that says so, and status 1, not an abort."""
    with tempfile.TemporaryDirectory() as cwd:
        h.mirror(content, os.path.join(cwd, "content"))
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        result = subprocess.run([game], cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                capture_output=True, text=True, timeout=h.PATIENCE)
    h.check(result.returncode == 1, f"status {result.returncode}:\n{result.stderr}")
    lines = result.stderr.splitlines()
    h.check(len(lines) == 1 and "display" in lines[0] and lines[0].startswith("skywaltz:"),
            f"not one line about the display:\n{result.stderr}")


@contextlib.contextmanager
def silent_game_beside(run, game, content):
    """A second game playing into OpenAL's silent device on the same screen, to compare the
    processor time with; a window size of its own tells it from the other game."""
    silent = h.GameRun(game, os.path.join(os.path.dirname(run.cwd), "silent"), run.xserver)
    try:
        h.mirror(content, os.path.join(silent.cwd, "content"))
        silent.write_config("resolution: 800 600\nfullscreen: off\n")
        silent.start()
        silent.find_window((800, 600))
        yield silent
    finally:
        silent.stop()


def expect_as_quiet_as_silent(run, used, what):
    """A few lines on standard error, and the processor time `used` (this game's, the silent
    game's) within a fifth of the silent game's."""
    lines = run.stderr().splitlines()
    print(f"{what}: {len(lines)} lines, {used[0]:.2f} s of processor time in 5 s; "
          f"with the silent device: {used[1]:.2f} s")
    h.check(len(lines) <= 5, f"{len(lines)} lines on standard error:\n{lines[:20]}")
    h.check(used[0] <= used[1] * 1.2 + 0.2,
            f"{used[0]:.2f} s of processor time against {used[1]:.2f} s")


def case_no_sound_device(game, content):
    """Without a sound device the game says so once and plays on silently: a few lines on
    standard error, the window kept, and no more processor time than a game playing into
    OpenAL's silent device beside it. A game in the background draws less, so each is
    measured while it has the focus."""
    with h.session(game, DESKTOP) as run:
        with silent_game_beside(run, game, content) as silent:
            start(run, content, unset=("ALSOFT_DRIVERS",))
            wait_for_world(run, WINDOW)
            if not any("no sound device" in line for line in run.game_lines()):
                raise h.Skipped("this machine has a sound device")
            used = h.focused_cpu_seconds((run, silent))
        expect_as_quiet_as_silent(run, used, "without a device")
        close_normally(run)


def without_file_access():
    """A wrapper under which the game obeys file permissions. Root reads any file, so as
    root the game runs with the two capabilities that override them dropped."""
    if os.geteuid() != 0:
        return ()
    wrapper = ("setpriv", "--inh-caps=-dac_override,-dac_read_search",
               "--bounding-set=-dac_override,-dac_read_search", "--")
    return wrapper


def case_config_unreadable(game, content):
    """A config.txt the game may not read: the defaults, as with no file."""
    with h.session(game, SCREEN) as run:
        path = os.path.join(run.cwd, "config.txt")
        run.write_config(WINDOWED)
        os.chmod(path, 0)
        wrapper = without_file_access()
        probe = subprocess.run(list(wrapper) + ["cat", path], capture_output=True)
        if probe.returncode == 0:
            raise h.Skipped("this user reads files whatever their permissions")
        try:
            start(run, content, config=None, size=SCREEN, wrapper=wrapper)
            expect_desktop_window(run)
            quit_from_menu(run, DEFAULT_VIEW)
        finally:
            os.chmod(path, 0o644)


def case_config_directory(game, content):
    """A directory named config.txt: the defaults."""
    with h.session(game, SCREEN) as run:
        os.makedirs(os.path.join(run.cwd, "config.txt"))
        start(run, content, config=None, size=SCREEN)
        expect_desktop_window(run)
        quit_from_menu(run, DEFAULT_VIEW)


def case_config_huge(game, content):
    """10 MB of words the game does not know, the real settings at the very end: read to
    the end, quietly, and the configured window opens."""
    with h.session(game) as run:
        filler = "colour: blue\n"
        run.write_config(filler * (TEN_MB // len(filler)) + WINDOWED)
        start(run, content, config=None)
        wait_for_world(run, WINDOW)
        h.check(not run.game_lines(), f"complaints about unknown words:\n{run.stderr()}")
        quit_from_menu(run, WINDOW)


def case_config_huge_word(game, content):
    """One 10 MB word with no white space in it: the defaults."""
    with h.session(game, SCREEN) as run:
        run.write_config("resolution:" * (TEN_MB // len("resolution:")))
        start(run, content, config=None, size=SCREEN)
        expect_desktop_window(run)
        quit_from_menu(run, DEFAULT_VIEW)


def case_config_huge_complaints(game, content):
    """10 MB of bad values: a few complaints and a count, not a flood, and the settings at
    the end still apply."""
    with h.session(game) as run:
        bad = "music: loud\n"
        run.write_config(bad * (TEN_MB // len(bad)) + WINDOWED)
        start(run, content, config=None)
        wait_for_world(run, WINDOW)
        lines = run.game_lines()
        h.check(2 <= len(lines) <= 20, f"{len(lines)} lines of complaints")
        h.check(any("more" in line for line in lines), f"no count of the rest: {lines[-1:]}")
        quit_from_menu(run, WINDOW)


def case_content_missing(game, content):
    """No content/ at all: one clear line about the sprite sheet, status 1."""
    with h.session(game) as run:
        run.write_config(WINDOWED)
        run.start()
        expect_sprite_sheet_refusal(run, os.path.join(run.cwd, "content/sprites/sprites.png"))


def case_sprite_sheet_truncated(game, content):
    """A cut sprite sheet (empty, header only, half) is no sprite sheet: status 1."""
    full = os.path.getsize(os.path.join(content, "sprites", "sprites.png"))
    for size in (0, 33, full // 2):
        with h.session(game) as run:
            h.mirror(content, os.path.join(run.cwd, "content"))
            path = os.path.join(run.cwd, "content", "sprites", "sprites.png")
            cut(path, size)
            run.write_config(WINDOWED)
            run.start()
            expect_sprite_sheet_refusal(run, path)
            print(f"a sprite sheet of {size} bytes: refused")


def case_music_truncated(game, content):
    """A cut music file (empty, inside its headers, a second of sound): the game plays on,
    silently or looping the part it has, and still answers its menu."""
    for size in (0, 2000, 24000):
        with h.session(game) as run:
            h.mirror(content, os.path.join(run.cwd, "content"))
            cut(os.path.join(run.cwd, "content", "music", "Skywaltz.ogg"), size)
            start(run, content=None)
            wait_for_world(run, WINDOW)
            # Let the stream run past the end of what is left of it before asking for the
            # menu; the menu then shows that the game did not stop with it.
            began = time.monotonic()
            h.wait_for("three seconds of play", lambda: run.require_running()
                       or time.monotonic() - began > 3, interval=0.2)
            quit_from_menu(run, WINDOW)
            print(f"music cut to {size} bytes: played on")


def case_font_missing(game, content):
    """No font: the game goes on without text and says so once."""
    with h.session(game) as run:
        h.mirror(content, os.path.join(run.cwd, "content"))
        os.unlink(os.path.join(run.cwd, "content", "font.ttf"))
        start(run, content=None)
        first = wait_for_world(run, WINDOW)
        h.wait_for("the world to go on moving",
                   lambda: h.difference(first, run.screenshot()) > 0.002, interval=0.2)
        font_lines = [line for line in run.game_lines() if "font" in line]
        h.check(len(font_lines) == 1, f"not one line about the font:\n{run.stderr()}")
        close_normally(run)


def case_font_truncated(game, content):
    """A cut font (a header's worth, half): no text, no crash."""
    full = os.path.getsize(os.path.join(content, "font.ttf"))
    for size in (1000, full // 2):
        with h.session(game) as run:
            h.mirror(content, os.path.join(run.cwd, "content"))
            cut(os.path.join(run.cwd, "content", "font.ttf"), size)
            start(run, content=None)
            wait_for_world(run, WINDOW)
            close_normally(run)
            print(f"a font of {size} bytes: played on")


def case_sounds_truncated(game, content):
    """Cut sound effects: the menu, which plays them, still works."""
    with h.session(game) as run:
        h.mirror(content, os.path.join(run.cwd, "content"))
        sfx = os.path.join(run.cwd, "content", "sfx")
        for i, name in enumerate(sorted(os.listdir(sfx))):
            cut(os.path.join(sfx, name), (30, 200, 5000, 12000)[i % 4])
        start(run, content=None)
        wait_for_world(run, WINDOW)
        quit_from_menu(run, WINDOW)


if __name__ == "__main__":
    sys.exit(h.run_cases(__doc__, globals()))
