#!/usr/bin/env python3
"""Black-box tests of the skywaltz binary on a machine that lives around it: a sound server
that dies or hangs, an X server that goes away, files that are not files, a launcher on a
read-only or full disk, and little memory.

    living_test.py --game BUILD/skywaltz --content BUILD/content --launcher LAUNCHER.in CASE

Exit status 0 passes, 1 fails, 77 skips (ctest's SKIP_RETURN_CODE).
"""

import glob
import os
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import blackbox_test as bb  # noqa: E402
import harness as h  # noqa: E402

SANITIZED = "ASAN_OPTIONS" in os.environ
DISPLAY_KILLS = 20
# Seconds the game may take to notice a lost X server, and to open its window past a sound
# server that does not answer (the probe gives up after 2 s; the rest is an ordinary start).
LOST_DISPLAY_WITHIN = 5.0
HUNG_SOUND_WITHIN = 10.0 if SANITIZED else 6.0
FAKE_GAME = '#!/bin/sh\necho "started in $(pwd)"\n'
DEFAULT_SETTINGS = ("resolution: auto\nmusic: 100\nsounds: 100\nfullscreen: on\n"
                    "screenshake: on\ncolordelay: 1")


def lines_with(run, text):
    return [line for line in run.game_lines() if text in line]


def scratch_of(run):
    return os.path.dirname(run.cwd)


# ---------------------------------------------------------------------------------------
# Sound


def case_sound_server_dies(game, content, launcher):
    """The sound server killed mid-game: one line, the music stopped, and from then on no
    more processor time than a game playing into OpenAL's silent device beside it, each
    measured while it has the focus."""
    with h.session(game) as run:
        server = h.SoundServer(scratch_of(run))
        try:
            with bb.silent_game_beside(run, game, content) as silent:
                bb.start(run, content, extra=server.game_env)
                bb.wait_for_world(run, bb.WINDOW)
                h.check(not run.game_lines(), f"the game did not play through the server:\n"
                        f"{run.stderr()}")
                server.kill()
                h.wait_for("the game to notice", lambda: run.require_running()
                           or lines_with(run, "lost the sound device"), timeout=10)
                used = h.focused_cpu_seconds((run, silent))
        finally:
            server.stop()
        bb.expect_as_quiet_as_silent(run, used, "after the server died")
        bb.close_normally(run)


def case_sound_server_hangs(game, content, launcher):
    """A sound server that does not answer (stopped): the window opens within seconds, with
    one line that says so; and a game killed while it waits leaves no probe behind."""
    with h.session(game) as run:
        server = h.SoundServer(scratch_of(run))
        try:
            server.freeze()
            began = time.monotonic()
            bb.start(run, content, extra=server.game_env)
            took = time.monotonic() - began
            print(f"the window opened {took:.1f} s after the start")
            h.check_time(took, HUNG_SOUND_WITHIN, "the opening of the window")
            h.check(len(lines_with(run, "does not answer")) == 1,
                    f"not one line about the sound device:\n{run.stderr()}")
            bb.close_normally(run)

            run.start(extra=server.game_env)
            probes = h.wait_for("the sound probe to start",
                                lambda: h.children_of(run.proc.pid), interval=0.01)
            run.proc.kill()
            run.proc.wait()
            h.wait_for("the probe to end with the game",
                       lambda: not any(h.alive(pid) for pid in probes), timeout=2)
        finally:
            server.stop()


# ---------------------------------------------------------------------------------------
# The display


def with_core_dumps():
    """A wrapper that lets the game write a core file into its folder, if it should crash."""
    return ("sh", "-c", 'ulimit -c unlimited 2>/dev/null; exec "$0"')


def case_display_lost(game, content, launcher):
    """The X server killed under the game, twenty times in a row: every time the game ends
    at once with one line of its own and status 1, and leaves no core."""
    for attempt in range(DISPLAY_KILLS):
        with h.session(game) as run:
            bb.start(run, content, wrapper=with_core_dumps())
            time.sleep(0.3)  # the music is streaming
            run.xserver.crash(signal.SIGKILL if attempt % 2 == 0 else signal.SIGTERM)
            killed = time.monotonic()
            status = run.wait_exit(timeout=h.PATIENCE)
            took = time.monotonic() - killed
            h.check(status == 1, f"attempt {attempt + 1}: status {status}:\n{run.stderr()}")
            h.check_time(took, LOST_DISPLAY_WITHIN,
                         f"attempt {attempt + 1}: from the kill to the end")
            # A machine too busy to let the sound probe answer in time adds its own line.
            lines = [line for line in run.game_lines() if "does not answer" not in line]
            h.check(len(lines) == 1 and "lost the connection to the display" in lines[0],
                    f"attempt {attempt + 1}: not one line about the display:\n{run.stderr()}")
            cores = glob.glob(os.path.join(run.cwd, "core*"))
            h.check(not cores, f"attempt {attempt + 1}: a core was left: {cores}")
        left = h.left_behind(run.xserver.display)
        h.check(not left, f"attempt {attempt + 1}: the killed server left {left}")
    print(f"{DISPLAY_KILLS} X servers killed: status 1 and one line each time")


# ---------------------------------------------------------------------------------------
# Files that are not files


def case_config_not_a_file(game, content, launcher):
    """config.txt as a FIFO, a link to /dev/urandom or to /dev/zero: one line, the defaults."""
    for kind in ("fifo", "/dev/urandom", "/dev/zero"):
        with h.session(game, bb.SCREEN) as run:
            path = os.path.join(run.cwd, "config.txt")
            if kind == "fifo":
                os.mkfifo(path)
            else:
                os.symlink(kind, path)
            bb.start(run, content, config=None, size=bb.SCREEN)
            bb.expect_desktop_window(run)
            h.check(len(lines_with(run, "config.txt is not a regular file")) == 1,
                    f"{kind}: not one line about config.txt:\n{run.stderr()}")
            bb.close_normally(run)
            print(f"config.txt as {kind}: the defaults and one line")


def case_content_not_a_folder(game, content, launcher):
    """content as a link to nothing, or as a plain file: one line that says what is wrong
    with it, status 1."""
    for kind, says in (("dangling link", "is a link to nothing"), ("file", "is not a folder")):
        with h.session(game) as run:
            path = os.path.join(run.cwd, "content")
            if kind == "file":
                with open(path, "w") as f:
                    f.write("not a folder\n")
            else:
                os.symlink(os.path.join(scratch_of(run), "gone"), path)
            run.write_config(bb.WINDOWED)
            run.start()
            status = run.wait_exit()
            h.check(status == 1, f"{kind}: status {status}:\n{run.stderr()}")
            lines = run.game_lines()
            h.check(len(lines) == 1 and path in lines[0] and says in lines[0],
                    f"{kind}: not one line saying {path} {says}:\n{run.stderr()}")
            print(f"content as a {kind}: {lines[0]}")


# ---------------------------------------------------------------------------------------
# The launcher


class Installation:
    """The launcher beside a stand-in game that reports where it was started, and an
    installed content/ folder; the player's folder is below `data_home`."""

    def __init__(self, launcher, root, data_home):
        self.bin = os.path.join(root, "bin")
        self.content = os.path.join(root, "share", "skywaltz", "content")
        os.makedirs(self.bin)
        os.makedirs(self.content)
        with open(launcher) as f:
            text = f.read().replace("@SKYWALTZ_CONTENT_DIR@", "share/skywaltz/content")
        self.launcher = os.path.join(self.bin, "skywaltz-launcher")
        for path, body in ((self.launcher, text), (os.path.join(self.bin, "skywaltz"), FAKE_GAME)):
            with open(path, "w") as f:
                f.write(body)
            os.chmod(path, 0o755)
        self.data_home = data_home
        self.folder = os.path.join(data_home, "skywaltz")

    def start(self, wrapper=()):
        env = dict(os.environ, XDG_DATA_HOME=self.data_home)
        return subprocess.run(list(wrapper) + [self.launcher], env=env, capture_output=True,
                              text=True, timeout=h.PATIENCE)

    def folder_state(self):
        state = {}
        for name in sorted(os.listdir(self.folder)):
            path = os.path.join(self.folder, name)
            state[name] = os.readlink(path) if os.path.islink(path) else open(path).read()
        return state


def expect_started(result, installation, what):
    h.check(result.returncode == 0 and f"started in {installation.folder}" in result.stdout,
            f"{what}: the game was not started ({result.returncode}):\n{result.stderr}")


def case_launcher_read_only(game, content, launcher):
    """A complete player's folder that cannot be written: the game starts, nothing is
    written and nothing is said."""
    with tempfile.TemporaryDirectory() as scratch:
        installation = Installation(launcher, os.path.join(scratch, "usr"),
                                    os.path.join(scratch, "data"))
        expect_started(installation.start(), installation, "the first start")
        before = installation.folder_state()
        h.check(before == {"config.txt": DEFAULT_SETTINGS, "content": installation.content},
                f"the first start wrote {before}")
        wrapper = bb.without_file_access()
        for path in (installation.folder, installation.data_home):
            os.chmod(path, 0o555)
        try:
            probe = subprocess.run(list(wrapper) + ["touch", os.path.join(installation.folder, "x")],
                                   capture_output=True)
            if probe.returncode == 0:
                raise h.Skipped("this user writes into read-only folders")
            result = installation.start(wrapper)
        finally:
            for path in (installation.folder, installation.data_home):
                os.chmod(path, 0o755)
        expect_started(result, installation, "a read-only folder")
        h.check(result.stderr == "", f"the launcher complained:\n{result.stderr}")
        h.check(installation.folder_state() == before, "the read-only folder changed")


class SmallDisk:
    """A 256 kB file system of its own (tmpfs), which the test fills."""

    def __init__(self, path):
        self.path = path
        os.makedirs(path)
        result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs", path],
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise h.Skipped(f"cannot mount a small file system: {result.stderr.strip()}")

    def fill(self):
        self.fillers = getattr(self, "fillers", 0) + 1
        with open(os.path.join(self.path, f"filler{self.fillers}"), "wb", buffering=0) as f:
            try:
                while True:
                    f.write(b"\0" * 4096)
            except OSError:
                pass

    def unmount(self):
        subprocess.run(["umount", self.path], check=True)


def case_launcher_disk_full(game, content, launcher):
    """On a full disk a complete folder starts the game quietly; a folder without settings
    gets one line that says the disk is full, the game with its defaults, and no stray file."""
    with tempfile.TemporaryDirectory() as scratch:
        disk = SmallDisk(os.path.join(scratch, "disk"))
        try:
            installation = Installation(launcher, os.path.join(scratch, "usr"),
                                        os.path.join(disk.path, "data"))
            expect_started(installation.start(), installation, "the first start")
            disk.fill()
            result = installation.start()
            expect_started(result, installation, "a complete folder on a full disk")
            h.check(result.stderr == "", f"the launcher complained:\n{result.stderr}")

            os.unlink(os.path.join(installation.folder, "config.txt"))
            disk.fill()  # the settings' room is taken too
            result = installation.start()
            expect_started(result, installation, "no settings on a full disk")
            lines = result.stderr.splitlines()
            h.check(len(lines) == 1 and "disk is full" in lines[0],
                    f"not one line about the full disk:\n{result.stderr}")
            left = sorted(os.listdir(installation.folder))
            h.check(left == ["content"], f"the launcher left {left}")
            print(f"no settings on a full disk: {lines[0]}")
        finally:
            disk.unmount()


# ---------------------------------------------------------------------------------------
# Memory


def case_little_memory(game, content, launcher):
    """Under a memory limit too small for the graphics driver the game says it ran out of
    memory, in one line, and ends with status 1, instead of blaming its sprite sheet."""
    if SANITIZED:
        raise h.Skipped("the sanitizers reserve more address space than any limit allows")
    for megabytes in (100, 200):
        with h.session(game) as run:
            limit = megabytes << 20
            h.mirror(content, os.path.join(run.cwd, "content"))
            run.write_config(bb.WINDOWED)
            run.start(wrapper=("prlimit", f"--as={limit}", "--"))
            status = run.wait_exit()
            lines = run.game_lines()
            h.check(status == 1 and len(lines) == 1 and "out of memory" in lines[0],
                    f"{megabytes} MB: status {status}, not one line about memory:\n"
                    f"{run.stderr()}")
            print(f"{megabytes} MB: {lines[0]}")


if __name__ == "__main__":
    sys.exit(h.run_cases(__doc__, globals(), ("launcher",)))
