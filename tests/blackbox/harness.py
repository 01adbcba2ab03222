"""Drives the real skywaltz binary from outside: a private X server, a scratch working
directory, xdotool for the keyboard, ImageMagick's import for screenshots.

Every wait is a bounded poll on a condition; nothing relies on the machine being fast.
"""

import argparse
import contextlib
import ctypes
import glob
import os
import pwd
import re
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import time

# Seconds any one condition may take before the test gives up: generous, because the
# sanitizer build on a busy machine starts and draws many times slower than a release build.
PATIENCE = float(os.environ.get("SKYWALTZ_BLACKBOX_PATIENCE", "90"))
DIFFERENCE_RUN = 32  # sampled pixels that difference() compares as one run of bytes
# Seconds a window manager is given to take a helper's window up before the window is mapped
# again; a manager still busy starting (building its font cache) can miss a map request.
TAKE_UP = 10.0
REMAPS = 2  # times a helper's window is mapped again before the helper is started again
LOG_TAIL = 1500  # characters of a helper's log a failure message quotes
TITLE = "SKYWALTZ"

# Variables that belong to the game under test, not to the tools around it.
GAME_ONLY_VARIABLES = ("LD_PRELOAD", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS")

SANITIZER_MARKS = (
    "ERROR: AddressSanitizer",
    "ERROR: LeakSanitizer",
    "runtime error:",
    "SUMMARY: UndefinedBehaviorSanitizer",
    "AddressSanitizer:DEADLYSIGNAL",
)


class Failure(AssertionError):
    pass


class Skipped(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def busy():
    """How many times over its cores the machine is busy, beyond the two processes (the game
    and its X server) each case keeps running per core; 1 on a machine running only the suite."""
    return max(1.0, os.getloadavg()[0] / (2 * (os.cpu_count() or 1)))


def check_time(took, limit, what):
    """Fails when `what` took more than `limit` seconds. The limit catches a slow or hung game
    on a machine running only the suite; it is stretched by how busy the machine is, so a
    game that merely shares its cores with a dozen compilers does not fail."""
    allowed = limit * busy()
    check(took <= allowed, f"{what} took {took:.2f} s; {allowed:.1f} s allowed here")


def wait_for(what, predicate, timeout=PATIENCE, interval=0.05, seen=None):
    """Polls predicate until it returns something truthy and returns that. A wait that gives
    up says what `seen()` describes: the state it found instead."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            saw = f"; saw {seen()}" if seen else ""
            raise Failure(f"gave up after {timeout:.0f} s waiting for {what}{saw}")
        time.sleep(interval)


def log_tail(path):
    """The end of a helper's log, for a failure message."""
    try:
        with open(path, errors="replace") as f:
            text = f.read()
    except OSError as error:
        return f"{os.path.basename(path)}: {error.strerror}"
    return f"{os.path.basename(path)}:\n{text[-LOG_TAIL:]}"


def helper_environment(display):
    env = {k: v for k, v in os.environ.items() if k not in GAME_ONLY_VARIABLES}
    env["DISPLAY"] = display
    return env


def lock_owner(lock):
    """The process id an X server wrote into its lock file, or None."""
    try:
        with open(lock) as f:
            return int(f.read().strip())
    except (OSError, ValueError):
        return None


def answers(path):
    """Whether a server listens on the socket at `path`."""
    with socket.socket(socket.AF_UNIX) as probe:
        try:
            probe.connect(path)
            return True
        except OSError:
            return False


def left_behind(display):
    """What a killed X server left of `display`: a lock file whose process is gone, a socket
    nothing listens on."""
    number = display.lstrip(":")
    lock, path = f"/tmp/.X{number}-lock", f"/tmp/.X11-unix/X{number}"
    pid = lock_owner(lock)
    return ([lock] if pid is not None and not alive(pid) else []) + (
        [path] if os.path.exists(path) and not answers(path) else [])


def remove_display_leftovers(servers, display):
    """Removes the lock files and sockets that X servers of ours (`servers`, their process
    ids, one of them serving `display`) left when they were killed: they would make those
    displays look taken. A lock goes only when its process is gone, a socket only when
    nothing listens on it, so a server that has since taken the number keeps its own."""
    numbers = {display.lstrip(":")}
    for lock in glob.glob("/tmp/.X*-lock"):
        pid = lock_owner(lock)
        if pid in servers and not alive(pid):
            numbers.add(lock[len("/tmp/.X"):-len("-lock")])
            with contextlib.suppress(FileNotFoundError):
                os.unlink(lock)
    for number in numbers:
        path = f"/tmp/.X11-unix/X{number}"
        if os.path.exists(path) and not answers(path):
            with contextlib.suppress(FileNotFoundError):
                os.unlink(path)


# ---------------------------------------------------------------------------------------
# X server


class XLib:
    """The few Xlib calls the tools lack: closing a window as its close button does,
    switching key auto-repeat off so a held key stays held, and reading a window's icon."""

    ClientMessage = 33
    IconPixmapHint = 1 << 2

    class _ClientMessage(ctypes.Structure):
        _fields_ = [
            ("type", ctypes.c_int),
            ("serial", ctypes.c_ulong),
            ("send_event", ctypes.c_int),
            ("display", ctypes.c_void_p),
            ("window", ctypes.c_ulong),
            ("message_type", ctypes.c_ulong),
            ("format", ctypes.c_int),
            ("data", ctypes.c_long * 5),
        ]

    class _Event(ctypes.Union):
        pass

    _Event._fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]

    class _WMHints(ctypes.Structure):
        _fields_ = [
            ("flags", ctypes.c_long),
            ("input", ctypes.c_int),
            ("initial_state", ctypes.c_int),
            ("icon_pixmap", ctypes.c_ulong),
            ("icon_window", ctypes.c_ulong),
            ("icon_x", ctypes.c_int),
            ("icon_y", ctypes.c_int),
            ("icon_mask", ctypes.c_ulong),
            ("window_group", ctypes.c_ulong),
        ]

    def __init__(self, display):
        self.lib = ctypes.CDLL("libX11.so.6")
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.lib.XInternAtom.restype = ctypes.c_ulong
        self.lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.lib.XSendEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        self.lib.XFlush.argtypes = [ctypes.c_void_p]
        self.lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.lib.XAutoRepeatOff.argtypes = [ctypes.c_void_p]
        self.lib.XGetWMHints.restype = ctypes.POINTER(XLib._WMHints)
        self.lib.XGetWMHints.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.lib.XFree.argtypes = [ctypes.c_void_p]
        self.lib.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
        # The game re-creates its window for fullscreen: asking about a window that has just
        # gone is not an error that should end the test.
        handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
        self._ignore_errors = handler_type(lambda display, event: 0)
        self.lib.XSetErrorHandler.argtypes = [handler_type]
        self.lib.XSetErrorHandler(self._ignore_errors)
        self.display = self.lib.XOpenDisplay(display.encode())
        check(self.display, f"cannot open the X display {display}")

    def close(self):
        if self.display:
            self.lib.XCloseDisplay(self.display)
            self.display = None

    def auto_repeat_off(self):
        self.lib.XAutoRepeatOff(self.display)
        self.lib.XSync(self.display, 0)

    def request_close(self, window):
        protocols = self.lib.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        delete = self.lib.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        event = XLib._Event()
        event.xclient.type = XLib.ClientMessage
        event.xclient.window = window
        event.xclient.message_type = protocols
        event.xclient.format = 32
        event.xclient.data[0] = delete
        event.xclient.data[1] = 0  # CurrentTime
        self.lib.XSendEvent(self.display, window, 0, 0, ctypes.byref(event))
        self.lib.XSync(self.display, 0)

    def icon_size(self, window):
        """The size of the icon pixmap in the window's WM hints, or None."""
        hints = self.lib.XGetWMHints(self.display, window)
        if not hints:
            return None
        flags, pixmap = hints.contents.flags, hints.contents.icon_pixmap
        self.lib.XFree(hints)
        if not flags & XLib.IconPixmapHint or not pixmap:
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
    """A private Xvfb; it picks its own free display number, so tests can run in parallel."""

    def __init__(self, workdir, width=1280, height=720):
        self.width, self.height = width, height
        self.workdir, self.helpers = workdir, []
        self.display = self._launch()
        self.env = helper_environment(self.display)
        self.xlib = XLib(self.display)
        self.xlib.auto_repeat_off()
        self._await_window_manager()

    def _await_window_manager(self):
        """A bare X server has none."""

    def _launch(self):
        """Starts the server; returns its display name."""
        self.log_path = os.path.join(self.workdir, "xvfb.log")
        read_end, write_end = os.pipe()
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                env=helper_environment(os.environ.get("DISPLAY", "")))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + PATIENCE
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            ready, _, _ = select.select([read_end], [], [], max(left, 0))
            if not ready:
                break
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip().isdigit():
            self.stop()
            raise Failure("Xvfb did not start: " + self.log())
        return ":" + number.strip().decode()

    def log(self):
        with open(self.log_path, errors="replace") as f:
            return f.read()

    def run(self, *args, check_status=True):
        result = subprocess.run(list(args), env=self.env, stdin=subprocess.DEVNULL,
                                capture_output=True, text=True, timeout=PATIENCE)
        if check_status and result.returncode != 0:
            raise Failure(f"{' '.join(args)} failed ({result.returncode}): {result.stderr}")
        return result

    def xdotool(self, *args, check_status=True):
        return self.run("xdotool", *args, check_status=check_status)

    def helper_log(self, name):
        return os.path.join(self.workdir, name + ".log")

    def start_helper(self, name, *args):
        """Starts a program on this server (a window manager, a panel, another window) that is
        stopped with it; its output goes to NAME.log in the scratch directory."""
        with open(self.helper_log(name), "ab") as log:
            helper = subprocess.Popen(list(args), env=self.env, cwd=self.workdir,
                                      stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                      start_new_session=True)
        self.helpers.append(helper)
        return helper

    @staticmethod
    def end_helper(helper):
        if helper.poll() is None:
            os.killpg(helper.pid, signal.SIGTERM)
            try:
                helper.wait(timeout=PATIENCE)
            except subprocess.TimeoutExpired:
                os.killpg(helper.pid, signal.SIGKILL)
                helper.wait()

    def stop(self):
        for helper in reversed(getattr(self, "helpers", [])):
            self.end_helper(helper)
        if getattr(self, "xlib", None):
            self.xlib.close()
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=PATIENCE)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        if getattr(self, "display", None):
            remove_display_leftovers({self.proc.pid}, self.display)

    def crash(self, sig=signal.SIGKILL):
        """The X server goes away under its clients. Our own connection is abandoned, not
        closed: closing it would run into Xlib's lost-connection handler, which exits."""
        if getattr(self, "xlib", None):
            self.xlib.display = None
        self.proc.send_signal(sig)
        self.proc.wait(timeout=PATIENCE)
        remove_display_leftovers({self.proc.pid}, self.display)

    # -- helpers' windows -----------------------------------------------------------------

    def client_list(self):
        """The windows the window manager manages (_NET_CLIENT_LIST)."""
        result = self.run("xprop", "-root", "_NET_CLIENT_LIST", check_status=False)
        return [int(window, 16) for window in re.findall(r"0x[0-9a-f]+", result.stdout)]

    def map_state(self, window):
        result = self.run("xwininfo", "-id", str(window), check_status=False)
        match = re.search(r"Map State:\s*(\w+)", result.stdout)
        return match.group(1) if match else "gone"

    def manager_ready(self, name, says_started=None):
        """Waits until the window manager `name` (a helper) has claimed the screen and, where
        it can say so, has finished starting: `says_started()` holds."""
        def ready():
            for helper in self.helpers:
                check(helper.poll() is None, f"{name} ended:\n{log_tail(self.helper_log(name))}")
            claimed = "window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                              check_status=False).stdout
            return claimed and (says_started is None or says_started())

        wait_for(f"{name} to manage the screen", ready, interval=0.1,
                 seen=lambda: log_tail(self.helper_log(name)))

    def start_window(self, name, title, *command):
        """Starts a helper (`command`, logged as NAME.log) whose window is titled `title`, and
        returns the window once the window manager has taken it up: listed in
        _NET_CLIENT_LIST and viewable. A window not taken up is mapped again, and after
        REMAPS of those the helper is started again."""
        state = {"helper": self.start_helper(name, *command), "nudged": time.monotonic(),
                 "remaps": 0, "windows": {}}

        def taken_up():
            windows = self.windows_titled(title)
            listed = self.client_list()
            state["windows"] = {w: self.map_state(w) for w in windows}
            state["listed"] = listed
            for window, mapped in state["windows"].items():
                if window in listed and mapped == "IsViewable":
                    return window
            if state["helper"].poll() is not None or time.monotonic() > state["nudged"] + TAKE_UP:
                self._nudge(name, command, state)
            return None

        def seen():
            return (f"{name}'s windows (map state) {state['windows']}, _NET_CLIENT_LIST "
                    f"{state.get('listed')}, {state['remaps']} maps again;\n"
                    + "\n".join(log_tail(path) for path in self._logs()))

        return wait_for(f"the window manager to take up {name}'s window", taken_up,
                        interval=0.1, seen=seen)

    def _nudge(self, name, command, state):
        """Maps a helper's windows again (unmapped first, where the manager missed a window
        that is up), or once that has not helped, starts the helper again."""
        state["nudged"] = time.monotonic()
        running = state["helper"].poll() is None
        if running and not state["windows"]:
            return  # the helper is slow to open its window, not the manager to take it up
        if running and state["remaps"] < REMAPS:
            state["remaps"] += 1
            print(f"{name}'s window was not taken up; mapping it again: {state['windows']}")
            for window, mapped in state["windows"].items():
                if mapped == "IsViewable":
                    self.xdotool("windowunmap", "--sync", str(window), check_status=False)
                self.xdotool("windowmap", str(window), check_status=False)
            return
        print(f"{name}'s window was not taken up; starting {name} again")
        self.end_helper(state["helper"])
        self.helpers.remove(state["helper"])
        state.update(helper=self.start_helper(name, *command), remaps=0)

    def _logs(self):
        return sorted(os.path.join(self.workdir, name) for name in os.listdir(self.workdir)
                      if name.endswith(".log"))

    # -- windows --------------------------------------------------------------------------

    def windows_named(self, title):
        """The visible windows titled `title`."""
        return self.windows_titled(title, "--onlyvisible")

    def windows_titled(self, title, *options):
        result = self.xdotool("search", *options, "--name", f"^{title}$", check_status=False)
        return [int(w) for w in result.stdout.split()]

    def geometry(self, window):
        """The window's size and where it stands on the screen. xwininfo, not xdotool: under a
        window manager that frames windows xdotool counts the frame's offset twice."""
        result = self.run("xwininfo", "-id", str(window), check_status=False)
        if result.returncode != 0:
            return None
        fields = {"X": "Absolute upper-left X", "Y": "Absolute upper-left Y",
                  "WIDTH": "Width", "HEIGHT": "Height"}
        values = {}
        for key, label in fields.items():
            match = re.search(rf"^\s*{label}:\s*(-?\d+)", result.stdout, re.MULTILINE)
            if match is None:
                return None
            values[key] = int(match.group(1))
        return values

    def window_state(self, window):
        """The window's _NET_WM_STATE atoms, as the window manager keeps them."""
        result = self.run("xprop", "-id", str(window), "_NET_WM_STATE", check_status=False)
        return set(re.findall(r"_NET_WM_STATE_\w+", result.stdout.split("=", 1)[-1]))

    def frame_extents(self, window):
        """(left, right, top, bottom) of the window manager's frame, or None."""
        result = self.run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS", check_status=False)
        found = re.findall(r"\d+", result.stdout.split("=", 1)[-1]) if "=" in result.stdout else []
        return tuple(int(n) for n in found) if len(found) == 4 else None

    def active_window(self):
        result = self.xdotool("getactivewindow", check_status=False)
        return int(result.stdout) if result.stdout.strip().isdigit() else None

    def minimised(self, window):
        """Whether the window manager has iconified the window (a compositing manager keeps
        a minimised window mapped, so the map state does not tell)."""
        result = self.run("xprop", "-id", str(window), "WM_STATE", check_status=False)
        return "window state: Iconic" in result.stdout

    def decorated(self, window):
        """Whether the window asks for a title bar and border (Motif hints, as SFML sets
        them); a borderless window asks for none."""
        result = self.run("xprop", "-id", str(window), "_MOTIF_WM_HINTS")
        match = re.search(r"=\s*(\S+),\s*(\S+),\s*(\S+)", result.stdout)
        check(match, f"the window has no Motif hints: {result.stdout.strip()}")
        return int(match.group(3).rstrip(","), 0) != 0

    # -- keyboard and mouse (XTEST: they reach the game's keyboard state) -----------------

    def key_down(self, key):
        self.xdotool("keydown", key)

    def key_up(self, key):
        self.xdotool("keyup", key)

    def mouse_to(self, x, y):
        self.xdotool("mousemove", str(x), str(y))

    # -- screenshots ----------------------------------------------------------------------

    def screenshot(self, window="root"):
        result = subprocess.run(["import", "-window", str(window), "-depth", "8", "ppm:-"],
                                env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=PATIENCE)
        if result.returncode != 0:
            raise Failure("import failed: " + result.stderr.decode(errors="replace"))
        return Image.from_ppm(result.stdout)

    def window_image(self, window, geometry):
        """The pixels of `window`, which stands at `geometry` (xwininfo's fields)."""
        return self.screenshot().crop(geometry["X"], geometry["Y"], geometry["WIDTH"],
                                      geometry["HEIGHT"])


class XwaylandServer(XServer):
    """A headless Wayland compositor and its Xwayland: the X server and window manager a game
    meets on a Wayland desktop. Xwayland has no picture of its root window, so screenshots
    are of one window at a time."""

    programs = ()  # what must be installed, the compositor first
    displayed = ""  # the pattern of the line in the compositor's log that names the X display

    def command(self):
        """The compositor's command line."""
        raise NotImplementedError

    def _launch(self):
        for program in self.programs:
            check(shutil.which(program), f"{program} is not installed (packages.txt lists it)")
        name = self.programs[0]
        self.log_path = os.path.join(self.workdir, name + ".log")
        self.runtime = os.path.join(self.workdir, "wayland")
        os.makedirs(self.runtime, mode=0o700)
        # Xwayland's socket folder, which no X server may have made yet on a fresh machine.
        os.makedirs("/tmp/.X11-unix", exist_ok=True)
        if os.stat("/tmp/.X11-unix").st_uid == os.getuid():
            os.chmod("/tmp/.X11-unix", 0o1777)
        env = dict(helper_environment(""), XDG_RUNTIME_DIR=self.runtime)
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen(self.command(), env=env, stdin=subprocess.DEVNULL,
                                         stdout=log, stderr=log, start_new_session=True)

        def listening():
            if self.proc.poll() is not None:
                raise Failure(f"{name} ended at once:\n" + self.log())
            return re.search(self.displayed, self.log())

        return wait_for(f"{name}'s Xwayland", listening).group(1)

    def _await_window_manager(self):
        """The compositor manages X windows once its window manager has started on Xwayland,
        after Xwayland: a window mapped before that is never shown."""
        self.manager_ready(self.programs[0])

    def stop(self):
        group = processes_in_group(self.proc.pid)
        super().stop()
        with contextlib.suppress(ProcessLookupError):
            os.killpg(self.proc.pid, signal.SIGKILL)  # Xwayland and the compositor's clients
        with contextlib.suppress(Failure):  # a process that lingers keeps its lock
            wait_for("the compositor's processes to end",
                     lambda: not any(alive(pid) for pid in group), timeout=10)
        remove_display_leftovers(group, self.display)

    def window_image(self, window, geometry):
        return self.screenshot(window)


class WestonServer(XwaylandServer):
    programs = ("weston", "Xwayland")
    displayed = r"xserver listening on display (:\d+)"

    def command(self):
        return ["weston", "--backend=headless-backend.so", "--xwayland", "--idle-time=0",
                f"--width={self.width}", f"--height={self.height}", "--socket=skywaltz"]


class GnomeWaylandServer(XwaylandServer):
    """Mutter as GNOME's Wayland session runs it."""

    programs = ("mutter", "Xwayland", "dbus-run-session", "xhost")
    displayed = r"Using public X11 display (:\d+)"

    def command(self):
        return ["dbus-run-session", "--", "mutter", "--wayland", "--headless",
                "--virtual-monitor", f"{self.width}x{self.height}", "--wayland-display=skywaltz"]

    def _launch(self):
        display = super()._launch()
        # Mutter's Xwayland asks for its cookie; a GNOME session lets the user's own local
        # programs in without one, as here.
        cookies = wait_for("mutter's Xwayland cookie", lambda: [
            name for name in os.listdir(self.runtime) if name.startswith(".mutter-Xwaylandauth")])
        env = dict(helper_environment(display),
                   XAUTHORITY=os.path.join(self.runtime, cookies[0]))
        wait_for("mutter's Xwayland to let local programs in", lambda: subprocess.run(
            ["xhost", "+si:localuser:" + pwd.getpwuid(os.getuid()).pw_name], env=env,
            stdin=subprocess.DEVNULL, capture_output=True, timeout=PATIENCE).returncode == 0,
            interval=0.2)
        return display


# ---------------------------------------------------------------------------------------
# Sound server


class SoundServer:
    """A private PulseAudio server with a silent sink, listening on its own socket, for a
    game that plays through OpenAL's pulse backend."""

    def __init__(self, workdir):
        if shutil.which("pulseaudio") is None:
            raise Skipped("pulseaudio is not installed")
        home = os.path.join(workdir, "pulse")
        runtime = os.path.join(home, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.socket = os.path.join(home, "socket")
        self.log_path = os.path.join(home, "pulseaudio.log")
        self.env = env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime,
                              XDG_CONFIG_HOME=os.path.join(home, "config"))
        # -n: none of the machine's own modules; as root it only warns that it should not run.
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen(
                ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                 "--use-pid-file=no", "-L", "module-null-sink",
                 "-L", f"module-native-protocol-unix socket={self.socket} auth-anonymous=1"],
                env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        self.game_env = {"PULSE_SERVER": "unix:" + self.socket, "ALSOFT_DRIVERS": "pulse"}
        wait_for("the sound server to answer", self._answering, interval=0.1,
                 seen=lambda: log_tail(self.log_path))

    def _answering(self):
        """The socket takes connections as soon as it is made; a client's question answered
        means the server has finished starting."""
        if self.proc.poll() is not None:
            raise Failure("pulseaudio ended at once:\n" + log_tail(self.log_path))
        return answers(self.socket) and subprocess.run(
            ["pactl", "info"], env=dict(self.env, **self.game_env), stdin=subprocess.DEVNULL,
            capture_output=True, timeout=PATIENCE).returncode == 0

    def kill(self):
        self.proc.kill()
        self.proc.wait(timeout=PATIENCE)

    def freeze(self):
        self.proc.send_signal(signal.SIGSTOP)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGCONT)
            self.kill()


def process_fields(pid):
    """The fields of /proc/PID/stat after the command's name (state, parent, process group,
    ...), or None once the process is gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()
    except (OSError, IndexError):
        return None


def processes_with(field, value):
    """The processes whose stat field `field` (1 parent, 2 process group) is `value`."""
    found = []
    for entry in filter(str.isdigit, os.listdir("/proc")):
        fields = process_fields(entry)
        if fields and int(fields[field]) == value:
            found.append(int(entry))
    return found


def children_of(pid):
    return processes_with(1, pid)


def processes_in_group(group):
    return {group, *processes_with(2, group)}


def alive(pid):
    """Whether the process exists and is not a zombie."""
    fields = process_fields(pid)
    return fields is not None and fields[0] != "Z"


# ---------------------------------------------------------------------------------------
# Images


class Image:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @staticmethod
    def from_ppm(data):
        # "P6" width height maxval, separated by white space, then one byte of white space.
        fields, position = [], 0
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            if data[position:position + 1] == b"#":
                position = data.index(b"\n", position)
                continue
            start = position
            while not data[position:position + 1].isspace():
                position += 1
            fields.append(data[start:position])
        check(fields[0] == b"P6" and fields[3] == b"255", f"not an 8-bit PPM: {fields}")
        width, height = int(fields[1]), int(fields[2])
        rgb = data[position + 1:position + 1 + width * height * 3]
        check(len(rgb) == width * height * 3, "truncated screenshot")
        return Image(width, height, rgb)

    def crop(self, x, y, w, h):
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + w, self.width), min(y + h, self.height)
        rows = [self.rgb[(row * self.width + x0) * 3:(row * self.width + x1) * 3]
                for row in range(y0, y1)]
        return Image(x1 - x0, y1 - y0, b"".join(rows))

    def pixels(self, step=1):
        rgb, w = self.rgb, self.width
        for y in range(0, self.height, step):
            base = y * w * 3
            for x in range(0, w, step):
                i = base + x * 3
                yield x, y, rgb[i], rgb[i + 1], rgb[i + 2]

    def save_ppm(self, path):
        """Keeps a failing test's evidence; PPM is what the tools write without help."""
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height) + self.rgb)


def colour_stats(image, step=2):
    """Mean brightness, the share of bright pixels, the number of distinct colours."""
    total = bright = 0
    brightness = 0.0
    colours = set()
    for _, _, r, g, b in image.pixels(step):
        total += 1
        level = max(r, g, b)
        brightness += level
        if level > 100:
            bright += 1
        colours.add((r >> 3, g >> 3, b >> 3))
    return {"mean": brightness / max(total, 1), "bright": bright / max(total, 1),
            "colours": len(colours)}


def difference(a, b, step=2):
    """Share of sampled pixels that differ clearly between two same-sized images. Runs of
    bytes that are equal in both are skipped whole: a frame seldom changes more than a little
    of a full-screen picture, and a pixel-by-pixel loop over it takes a second."""
    check(a.width == b.width and a.height == b.height, "images of different sizes")
    columns = range(0, a.width, step)
    total = len(range(0, a.height, step)) * len(columns)
    if a.rgb == b.rgb:
        return 0.0
    row_bytes, run = a.width * 3, DIFFERENCE_RUN * step
    changed = 0
    for y in range(0, a.height, step):
        row_a = a.rgb[y * row_bytes:(y + 1) * row_bytes]
        row_b = b.rgb[y * row_bytes:(y + 1) * row_bytes]
        if row_a == row_b:
            continue
        for start in range(0, a.width, run):
            if row_a[start * 3:(start + run) * 3] == row_b[start * 3:(start + run) * 3]:
                continue
            for i in range(start * 3, min(start + run, a.width) * 3, step * 3):
                if (abs(row_a[i] - row_b[i]) + abs(row_a[i + 1] - row_b[i + 1])
                        + abs(row_a[i + 2] - row_b[i + 2])) > 48:
                    changed += 1
    return changed / max(total, 1)


# ---------------------------------------------------------------------------------------
# The game


def focused_cpu_seconds(runs, seconds=5.0):
    """Each game's processor time over `seconds` while it has the focus, one after the other:
    a game in the background draws less. The first gets the focus back at the end."""
    used = []
    for run in runs:
        run.xserver.xdotool("windowfocus", str(run.window), check_status=False)
        time.sleep(0.5)
        before = run.cpu_seconds()
        time.sleep(seconds)
        run.require_running()
        used.append(run.cpu_seconds() - before)
    runs[0].xserver.xdotool("windowfocus", str(runs[0].window), check_status=False)
    return used


def mirror(source, target):
    """A content/ tree of real directories and symlinked files, so a test can replace one
    file without copying the others."""
    for root, dirs, files in os.walk(source):
        rel = os.path.relpath(root, source)
        os.makedirs(os.path.join(target, rel), exist_ok=True)
        for name in files:
            os.symlink(os.path.abspath(os.path.join(root, name)), os.path.join(target, rel, name))


class GameRun:
    """One start of the binary in its own working directory."""

    def __init__(self, binary, scratch, xserver):
        self.binary, self.xserver = binary, xserver
        self.cwd = os.path.join(scratch, "game")
        os.makedirs(self.cwd, exist_ok=True)
        self.out_path = os.path.join(scratch, "game.out")
        self.err_path = os.path.join(scratch, "game.err")
        self.proc = None
        self.window = None
        self.status = None

    def write_config(self, text):
        with open(os.path.join(self.cwd, "config.txt"), "w") as f:
            f.write(text)

    def start(self, wrapper=(), unset=(), extra=None):
        """Starts the game; `unset` names variables it must not inherit, `extra` adds some."""
        env = {k: v for k, v in os.environ.items() if k not in unset}
        env.update(extra or {})
        env["DISPLAY"] = self.xserver.display
        if "ALSOFT_DRIVERS" not in unset:
            env.setdefault("ALSOFT_DRIVERS", "null")
        with open(self.out_path, "wb") as out, open(self.err_path, "wb") as err:
            self.proc = subprocess.Popen(list(wrapper) + [self.binary], cwd=self.cwd, env=env,
                                         stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        return self

    def stderr(self):
        with open(self.err_path, errors="replace") as f:
            return f.read()

    def game_lines(self):
        """The lines the game itself wrote (not SFML's, Mesa's or OpenAL's)."""
        return [line for line in self.stderr().splitlines() if line.startswith("skywaltz:")]

    def cpu_seconds(self):
        """User and system time the game has used so far."""
        fields = process_fields(self.proc.pid)
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def running(self):
        return self.proc.poll() is None

    def require_running(self):
        if not self.running():
            raise Failure(f"the game ended with status {self.proc.returncode}:\n{self.stderr()}")

    def wait_exit(self, timeout=PATIENCE):
        try:
            self.status = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the game was still running after {timeout:.0f} s:\n{self.stderr()}")
        return self.status

    def find_window(self, size=None, at=None):
        """Waits for a visible window titled SKYWALTZ (of `size` and standing at `at` on the
        screen, if given) and returns its id. A window that is re-created (fullscreen) gets
        a new id, so callers say which size they expect."""
        seen = []

        def probe():
            self.require_running()
            for window in self.xserver.windows_named(TITLE):
                geometry = self.xserver.geometry(window)
                if geometry is None:
                    continue
                found = (geometry["WIDTH"], geometry["HEIGHT"], geometry["X"], geometry["Y"])
                if found not in seen:
                    seen.append(found)
                if ((size is None or found[:2] == tuple(size))
                        and (at is None or found[2:] == tuple(at))):
                    return window
            return None

        what = (f"a window titled {TITLE}" + (f" of {size}" if size else "")
                + (f" at {at}" if at else ""))
        try:
            self.window = wait_for(what, probe)
            self.places_seen = seen
        except Failure as failure:
            raise Failure(f"{failure}; seen (width, height, x, y): {seen}") from None
        return self.window

    def bring_to_origin(self):
        """Puts the window at the screen's corner, where screenshots and pointer positions are
        simple. The game places its window itself just after creating it, so a move made in
        between is undone: move it until it stays."""
        def at_origin():
            geometry = self.xserver.geometry(self.window)
            if geometry and geometry["X"] == 0 and geometry["Y"] == 0:
                time.sleep(0.2)
                geometry = self.xserver.geometry(self.window)
                if geometry and geometry["X"] == 0 and geometry["Y"] == 0:
                    return True
            self.xserver.xdotool("windowmove", str(self.window), "0", "0")
            return False

        wait_for("the window to stay at (0, 0)", at_origin, interval=0.2)
        self.xserver.xdotool("windowfocus", str(self.window), check_status=False)

    def screenshot(self):
        """The window's pixels, wherever it stands."""
        geometry = self.xserver.geometry(self.window)
        check(geometry is not None, "the game's window vanished")
        return self.xserver.window_image(self.window, geometry)

    def let_frames_pass(self):
        """Returns once the game has run an update that began after this call: the picture
        changes twice (the pointer is nudged each time, so even a paused world, which still
        draws the cursor, changes), and the update behind the second change came after the
        first. A key released before this call has then been seen released. The pointer is
        nudged beside the window's centre, which the picture covers whatever the shape of
        the window, away from the pause menu's labels."""
        geometry = self.xserver.geometry(self.window)
        check(geometry is not None, "the game's window vanished")
        for offset in (24, 8):
            before = self.screenshot()
            self.xserver.mouse_to(geometry["WIDTH"] // 2 + offset, geometry["HEIGHT"] // 2)
            wait_for("the game to draw another frame",
                     lambda: self.require_running() or difference(before, self.screenshot()) > 0,
                     interval=0.05)

    def close_window(self):
        """What the window's close button does."""
        self.xserver.xlib.request_close(self.window)

    def stop(self):
        if self.proc is not None and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout=PATIENCE)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    def check_clean_stderr(self):
        text = self.stderr()
        for mark in SANITIZER_MARKS:
            check(mark not in text, f"the sanitizers reported a fault:\n{text}")


@contextlib.contextmanager
def session(binary, screen=(1280, 720), server=XServer):
    """A scratch directory, a private X server (of the class `server`) and a game run that are
    torn down together. A failing test keeps the scratch directory and says where."""
    scratch = tempfile.mkdtemp(prefix="skywaltz-blackbox-")
    os.chmod(scratch, 0o755)
    xserver = server(scratch, *screen)
    run = GameRun(binary, scratch, xserver)
    ok = False
    try:
        yield run
        ok = True
    finally:
        run.stop()
        xserver.stop()
        if ok:
            shutil.rmtree(scratch, ignore_errors=True)
        else:
            print(f"scratch directory kept: {scratch}")


def run_cases(doc, namespace, paths=()):
    """The command line of a black-box script: --game, --content and any other `paths`
    (option names), then one case, a function `case_<name>` of `namespace` that takes the
    game, the content and those paths. Exits 77 when the case cannot run here."""
    cases = {name[len("case_"):]: f for name, f in sorted(namespace.items())
             if name.startswith("case_")}
    parser = argparse.ArgumentParser(description=doc,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--game", required=True, help="the skywaltz executable")
    parser.add_argument("--content", required=True, help="the generated content/ tree")
    for path in paths:
        parser.add_argument(f"--{path}", required=True)
    parser.add_argument("case", choices=sorted(cases))
    args = parser.parse_args()
    given = [os.path.abspath(getattr(args, name)) for name in ("game", "content", *paths)]
    try:
        cases[args.case](*given)
    except Skipped as reason:
        print(f"skipped: {reason}")
        return 77
    except Failure as failure:
        print(f"FAILED {args.case}: {failure}")
        return 1
    print(f"passed {args.case}")
    return 0
