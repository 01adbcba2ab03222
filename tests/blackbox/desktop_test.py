#!/usr/bin/env python3
"""The game on a player's desktop: real window managers from Debian, a panel, two monitors
and wide screens, each case under its own X server.

    desktop_test.py --game BUILD/skywaltz --content BUILD/content CASE

Exit status 0 passes, 1 fails.
"""

import os
import shlex
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import blackbox_test as bb  # noqa: E402
import harness as h  # noqa: E402
import picture_test as pt  # noqa: E402

DESKTOP = (1920, 1080)
DEFAULT_WINDOW = (480, 320)  # the configured window of the first start
WINDOWED = "fullscreen: off\n"
# Seconds a start may take before it counts as hanging; the sanitized build is slower.
START_WITHIN = 20.0 if "ASAN_OPTIONS" in os.environ else 8.0
TAP_EFFECT = 2.0  # s a tapped key is given to act before it is tapped again
STAYS_AWAY = 1.5  # s the game must leave another window in front after the player switched
# px a window may stand off the centre under weston, which keeps no frame sizes on the window
# and puts a window that leaves fullscreen back 32 px up and left of where it stood.
NEAR_CENTRE = 64
PANEL_COLOUR = (255, 0, 255)
PANEL_HEIGHT = 30
# A dock panel, as Xfce's own is. One kept "always on top" (tint2's panel_layer = top) stays
# over every fullscreen window under xfwm4, which ranks that layer above fullscreen.
TINT2_CONFIG = f"""rounded = 0
border_width = 0
background_color = #ff00ff 100
border_color = #ff00ff 100
panel_items = C
panel_size = 100% {PANEL_HEIGHT}
panel_position = bottom center horizontal
panel_layer = normal
panel_background_id = 1
time1_format = %H:%M
"""
# How each window manager is started, whether the test switches away with Alt+Tab, and the
# option that has it run a command once it has finished starting, where it has one.
MANAGERS = {
    "openbox": ("openbox", ["openbox"], True, "--startup"),
    "xfwm4": ("xfwm4", ["dbus-run-session", "--", "xfwm4", "--compositor=off"], True, None),
    "mutter": ("mutter", ["dbus-run-session", "--", "mutter", "--x11", "--replace"], False, None),
}


def centred(area, size):
    return (area[0] + (area[2] - size[0]) // 2, area[1] + (area[3] - size[1]) // 2)


def require_program(name):
    h.check(shutil.which(name), f"{name} is not installed (packages.txt lists it)")


def start_manager(xserver, name):
    """Starts the window manager. One that claims the screen may still be starting (building
    its font cache) and miss the windows mapped meanwhile: where it can say when it has
    finished, that is waited for too."""
    program, command, _, startup_option = MANAGERS[name]
    require_program(program)
    started = os.path.join(xserver.workdir, name + ".started")
    if startup_option:
        command = command + [startup_option, "touch " + shlex.quote(started)]
    xserver.start_helper(name, *command)
    xserver.manager_ready(name, startup_option and (lambda: os.path.exists(started)))


def other_window(xserver):
    """A second window the player can switch to, taken up by the window manager."""
    return xserver.start_window("xmessage", "xmessage", "xmessage", "-geometry",
                                "300x100+100+100", "another window")


def fullscreen_on(run, area, what):
    """Waits for the game to cover `area` (x, y, width, height), asked for as fullscreen."""
    bb.expect_placed(run, area[2:], area[:2], what)
    h.wait_for(f"{what}: the fullscreen state", lambda: "_NET_WM_STATE_FULLSCREEN"
               in run.xserver.window_state(run.window))


def focus(run):
    """Without a window manager the keyboard follows the pointer."""
    geometry = run.xserver.geometry(run.window)
    run.xserver.mouse_to(geometry["X"] + geometry["WIDTH"] // 2, geometry["Y"] + 8)
    run.xserver.xdotool("windowfocus", str(run.window), check_status=False)
    run.let_frames_pass()


def hold(run, *keys):
    for key in keys:
        run.xserver.key_down(key)
    time.sleep(0.12)
    for key in reversed(keys):
        run.xserver.key_up(key)


def press_until(run, key, outcome):
    """Holds `key` until `outcome()` returns (a busy game may not read its keys for a while),
    then lets the game see the key released."""
    run.xserver.key_down(key)
    try:
        outcome()
    finally:
        run.xserver.key_up(key)
    run.let_frames_pass()


def tap_until(run, key, done, what):
    """Taps `key` until `done()` holds, where frames cannot be waited for by nudging the
    pointer: a key held through the game's first frames counts for nothing. Each tap is given
    time to act, so that the next does not undo it."""
    deadline = time.monotonic() + h.PATIENCE
    while True:
        hold(run, key)
        settled = time.monotonic() + TAP_EFFECT
        while time.monotonic() < settled:
            run.require_running()
            if done():
                return
            time.sleep(0.05)
        h.check(time.monotonic() < deadline, f"gave up tapping {key} for {what}")


def expect_stays_away(run, other):
    """The other window keeps the focus and the game stands windowed behind it."""
    h.wait_for("the other window to get the focus", lambda: run.xserver.active_window() == other,
               seen=lambda: f"window {run.xserver.active_window()} active (the game is "
               f"{run.window}, the other window {other}), the game's state "
               f"{run.xserver.window_state(run.window)}")
    h.wait_for("the game to leave fullscreen", lambda: "_NET_WM_STATE_FULLSCREEN"
               not in run.xserver.window_state(run.window))
    until = time.monotonic() + STAYS_AWAY
    while time.monotonic() < until:
        run.require_running()
        active = run.xserver.active_window()
        h.check(active == other, f"the game took the focus back ({active} instead of {other})")
        h.check("_NET_WM_STATE_FULLSCREEN" not in run.xserver.window_state(run.window),
                "the unfocused game is fullscreen again")
        time.sleep(0.1)


def expect_framed_centre(run, size):
    """The window's frame, title bar included, comes to stand centred on the screen."""
    seen = {}

    def centred_frame():
        geometry = run.xserver.geometry(run.window)
        frame = run.xserver.frame_extents(run.window)
        if geometry is None or frame is None or frame[2] == 0:
            return False
        left, right, top, bottom = frame
        outer = (geometry["X"] - left, geometry["Y"] - top, size[0] + left + right,
                 size[1] + top + bottom)
        want = centred((0, 0) + DESKTOP, outer[2:])
        seen.update(outer=outer, want=want)
        return abs(outer[0] - want[0]) <= 1 and abs(outer[1] - want[1]) <= 1

    try:
        h.wait_for("the framed window to stand centred", centred_frame, timeout=5)
    except h.Failure:
        raise h.Failure(f"the framed window {seen.get('outer')} is not centred (it would "
                        f"stand at {seen.get('want')})") from None
    print(f"framed window {seen['outer']}: centred")


def expect_panel_covered(run):
    """No pixel of the panel shows at the bottom of the fullscreen game."""
    def covered():
        strip = run.xserver.screenshot().crop(0, DESKTOP[1] - PANEL_HEIGHT, DESKTOP[0],
                                              PANEL_HEIGHT)
        return not any(bb.near((r, g, b), PANEL_COLOUR) for _, _, r, g, b in strip.pixels(4))

    h.wait_for("the fullscreen game to cover the panel", covered, interval=0.2)


def play_under(game, content, manager, panel=False, start_windowed=False):
    """Fullscreen (at the first start, or after M from a framed window standing centred);
    switching away stays away and coming back is fullscreen again; minimised and restored;
    M gives the framed window back."""
    alt_tab = MANAGERS[manager][2]
    with h.session(game, DESKTOP) as run:
        xserver = run.xserver
        start_manager(xserver, manager)
        if panel:
            require_program("tint2")
            config = os.path.join(xserver.workdir, "tint2rc")
            with open(config, "w") as f:
                f.write(TINT2_CONFIG)
            xserver.start_window("tint2", "tint2", "tint2", "-c", config)
        other = other_window(xserver)
        h.mirror(content, os.path.join(run.cwd, "content"))
        if start_windowed:
            run.write_config(WINDOWED)
        run.start()
        if start_windowed:
            bb.expect_placed(run, DEFAULT_WINDOW, None, "at start-up")
            expect_framed_centre(run, DEFAULT_WINDOW)
            h.wait_for("the game to have the focus", lambda: xserver.active_window() == run.window)
            run.let_frames_pass()
            press_until(run, "m", lambda: fullscreen_on(run, (0, 0) + DESKTOP, "M"))
        fullscreen_on(run, (0, 0) + DESKTOP, "fullscreen")
        game_window = run.window
        h.wait_for("the game to have the focus", lambda: xserver.active_window() == game_window)
        if panel:
            expect_panel_covered(run)

        if alt_tab:
            hold(run, "alt", "Tab")
        else:
            xserver.xdotool("windowactivate", str(other))
        expect_stays_away(run, other)
        xserver.xdotool("windowactivate", str(game_window), check_status=False)
        fullscreen_on(run, (0, 0) + DESKTOP, "back to the game")
        print(f"{manager}: switched away and back, fullscreen again")

        xserver.xdotool("windowminimize", str(game_window))
        h.wait_for("the game to be minimised", lambda: xserver.minimised(game_window))
        time.sleep(STAYS_AWAY)
        h.check(xserver.minimised(game_window), "the minimised game came back by itself")
        xserver.xdotool("windowactivate", str(game_window), check_status=False)
        fullscreen_on(run, (0, 0) + DESKTOP, "restored")
        print(f"{manager}: minimised and restored, fullscreen again")

        h.wait_for("the game to have the focus", lambda: xserver.active_window() == game_window)
        press_until(run, "m", lambda: bb.expect_placed(run, DEFAULT_WINDOW, None,
                                                       "M leaves fullscreen"))
        h.wait_for("the frame", lambda: (xserver.frame_extents(game_window) or (0, 0, 0))[2] > 0)
        h.check(run.window == game_window, "the game made a new window")
        bb.close_normally(run)


def case_openbox(game, content):
    play_under(game, content, "openbox", start_windowed=True)


def case_xfwm4_panel(game, content):
    play_under(game, content, "xfwm4", panel=True)


def case_mutter(game, content):
    play_under(game, content, "mutter")


def case_maximised(game, content):
    """A 960 x 640 window maximised under openbox, then clicked: the click asks for the
    configured size back, openbox keeps the window maximised, and the picture stays centred
    over the whole window at 3 : 2 with the planet round."""
    configured = (960, 640)
    require_program("wmctrl")
    with h.session(game, DESKTOP) as run:
        xserver = run.xserver
        start_manager(xserver, "openbox")
        h.mirror(content, os.path.join(run.cwd, "content"))
        run.write_config(f"resolution: {configured[0]} {configured[1]}\n" + WINDOWED)
        run.start()
        bb.expect_placed(run, configured, None, "at start-up")
        xserver.run("wmctrl", "-i", "-r", str(run.window), "-b",
                    "add,maximized_vert,maximized_horz")

        def maximised_size():
            geometry = xserver.geometry(run.window)
            return geometry and geometry["WIDTH"] == DESKTOP[0] and (geometry["WIDTH"],
                                                                      geometry["HEIGHT"])

        size = h.wait_for("openbox to maximise the window", maximised_size)
        geometry = xserver.geometry(run.window)
        xserver.mouse_to(geometry["X"] + size[0] // 2 + 40, geometry["Y"] + size[1] // 2)
        xserver.xdotool("click", "1")
        run.let_frames_pass()
        run.let_frames_pass()
        h.check(maximised_size() == size, "the click took the window out of its maximised size")
        area = pt.picture_area(size, configured)
        image = pt.wait_for_picture(run, area, configured)
        aspect = pt.planet_aspect(image)
        window = run.screenshot()
        margins = [(x, y) for x, y, r, g, b in window.pixels(7) if max(r, g, b) > 0
                   and not (area[0] <= x < area[0] + area[2] and area[1] <= y < area[1] + area[3])]
        print(f"maximised {size}, clicked: the picture at {area}, the planet {aspect:.3f} : 1")
        if abs(aspect - 1) > pt.ROUND_WITHIN or margins:
            bb.keep_evidence(run, window, "maximised")
        h.check(abs(aspect - 1) <= pt.ROUND_WITHIN, f"the planet measures {aspect:.3f} : 1")
        h.check(not margins, f"{len(margins)} sampled pixels drawn outside the picture")
        bb.close_normally(run)


def expect_near_centre(run, size, what):
    """Weston keeps no frame sizes on the window, so a window counts as centred when it comes
    to stand within a frame's width of the centre: not in a corner."""
    bb.expect_placed(run, size, None, what)
    want = centred((0, 0) + DESKTOP, size)
    seen = {}

    def near():
        geometry = run.xserver.geometry(run.window)
        seen["off"] = geometry and (geometry["X"] - want[0], geometry["Y"] - want[1])
        return seen["off"] and max(abs(seen["off"][0]), abs(seen["off"][1])) <= NEAR_CENTRE

    try:
        h.wait_for(f"{what}: the window near the centre", near, timeout=5)
    except h.Failure:
        raise h.Failure(f"{what}: the window stands {seen['off']} px off the centre") from None
    print(f"{what}: {size} {seen['off']} px off the centre")


def under_xwayland(game, content, server):
    """A windowed start stands centred; the first start's fullscreen covers the screen, and M
    gives a window near the centre, not in the corner where weston puts a window that asked
    for fullscreen before it was placed."""
    for config in (WINDOWED, None):
        with h.session(game, DESKTOP, server=server) as run:
            h.mirror(content, os.path.join(run.cwd, "content"))
            if config is not None:
                run.write_config(config)
                run.start()
                expect_near_centre(run, DEFAULT_WINDOW, "a windowed start")
            else:
                run.start()
                fullscreen_on(run, (0, 0) + DESKTOP, "the first start")
                # Moving the pointer crashes Xwayland on weston's headless seat, which has
                # none, so M is tapped rather than held while frames pass.
                tap_until(run, "m", lambda: (run.xserver.geometry(run.window) or {}).get(
                    "WIDTH") == DEFAULT_WINDOW[0], "M to leave fullscreen")
                expect_near_centre(run, DEFAULT_WINDOW, "M leaves fullscreen")
            bb.close_normally(run)


def case_weston(game, content):
    under_xwayland(game, content, h.WestonServer)


def case_gnome_wayland(game, content):
    under_xwayland(game, content, h.GnomeWaylandServer)


def two_monitors(xserver):
    """Splits the screen into two monitors, as desktops with two screens report them."""
    require_program("xrandr")
    xserver.run("xrandr", "--setmonitor", "LEFT", "1920/508x1080/286+0+0", "screen")
    xserver.run("xrandr", "--setmonitor", "RIGHT", "1920/508x1080/286+1920+0", "none")


def case_two_monitors(game, content):
    """Two 1920 x 1080 monitors side by side: fullscreen covers the one the window is on,
    a window opens centred on the first, and "auto" is one monitor's size."""
    left, right = (0, 0) + DESKTOP, (DESKTOP[0], 0) + DESKTOP
    screen = (2 * DESKTOP[0], DESKTOP[1])
    with h.session(game, screen) as run:
        two_monitors(run.xserver)
        h.mirror(content, os.path.join(run.cwd, "content"))
        run.start()
        fullscreen_at = left[:2]
        bb.expect_placed(run, DESKTOP, fullscreen_at, "fullscreen on the first monitor")
        focus(run)
        press_until(run, "m", lambda: bb.expect_placed(run, DEFAULT_WINDOW,
                                                       centred(left, DEFAULT_WINDOW),
                                                       "M leaves fullscreen"))
        run.xserver.xdotool("windowmove", str(run.window), "2500", "300")
        bb.expect_placed(run, DEFAULT_WINDOW, (2500, 300), "moved to the second monitor")
        focus(run)
        press_until(run, "m", lambda: bb.expect_placed(run, DESKTOP, right[:2],
                                                       "fullscreen on the second monitor"))
        focus(run)
        press_until(run, "m", lambda: bb.expect_placed(run, DEFAULT_WINDOW,
                                                       centred(right, DEFAULT_WINDOW),
                                                       "M leaves fullscreen on the second monitor"))
        bb.close_normally(run)
        print("fullscreen and windows kept to one monitor at a time")

    with h.session(game, screen) as run:
        two_monitors(run.xserver)
        h.mirror(content, os.path.join(run.cwd, "content"))
        run.write_config("resolution: auto\n" + WINDOWED)
        run.start()
        bb.expect_placed(run, DESKTOP, left[:2], '"resolution: auto"')
        bb.close_normally(run)
        print('"resolution: auto" opened a window of one monitor\'s size')


def case_wide_screen(game, content):
    """A 2560 x 1080 screen without a window manager: the window is on screen, in its place,
    from the moment it is shown, and the game starts."""
    screen = (2560, 1080)
    for config, size, at in ((WINDOWED, DEFAULT_WINDOW, centred((0, 0) + screen, DEFAULT_WINDOW)),
                             (None, screen, (0, 0))):
        with h.session(game, screen) as run:
            h.mirror(content, os.path.join(run.cwd, "content"))
            if config is not None:
                run.write_config(config)
            started = time.monotonic()
            run.start()
            run.find_window(size, at)
            first = run.places_seen[0]
            h.check(first[2:] in (centred((0, 0) + screen, DEFAULT_WINDOW), at),
                    f"first shown at {first}, off its place")
            if config is not None:
                bb.wait_for_world(run, DEFAULT_WINDOW)
            took = time.monotonic() - started
            print(f"{size} at {at} after {took:.1f} s")
            h.check_time(took, START_WITHIN, "the start")
            bb.close_normally(run)


if __name__ == "__main__":
    sys.exit(h.run_cases(__doc__, globals()))
