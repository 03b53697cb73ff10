"""Drives the real installer window under Xvfb, for end-to-end tests.

The tests run the unmodified program; run them through tests/sandbox/run_sandboxed.sh so that the
machine's plug-in and settings folders are never touched. Everything here shells out to the same
tools a person would use at a real X display: Xvfb, xdotool, ImageMagick's import, and python3-xlib
for the one message xdotool cannot send (WM_DELETE_WINDOW).
"""

import os
import shutil
import subprocess
import tempfile
import time

from Xlib import X, display as xdisplay, protocol

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 1024


class VirtualDisplay:
    """An Xvfb server on a free display number, stopped on exit."""

    def __init__(self):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"
        self._intern_window_manager_atoms()

    def _intern_window_manager_atoms(self):
        # JUCE only announces the close protocol when these atoms already exist on the server, as
        # they do wherever a window manager runs. A bare Xvfb has none until someone interns them.
        conn = xdisplay.Display(self.name)
        try:
            for atom in ("WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "_NET_WM_PING"):
                conn.intern_atom(atom)
            conn.sync()
        finally:
            conn.close()

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        return env

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class InstallerWindow:
    """The running program and its top-level window."""

    def __init__(self, display, program, title="qv_installer", extra_env=None, timeout=30):
        self.display = display
        env = display.env()
        env.update(extra_env or {})
        self.env = env
        self.process = subprocess.Popen([program], env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT)
        self.window = self._find_window(title, timeout)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    def _find_window(self, title, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError(f"program exited early with {self.process.returncode}: "
                                   f"{self.process.stdout.read().decode(errors='replace')}")
            found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                                    "--name", f"^{title}$"],
                                   env=self.env, capture_output=True, text=True)
            ids = found.stdout.split()
            if ids:
                return int(ids[0])
            time.sleep(0.1)
        raise TimeoutError(f"no window titled {title!r} within {timeout} s")

    def title(self):
        return self.xdotool("getwindowname", self.window).strip()

    def geometry(self):
        """(x, y, width, height) of the window on the screen."""
        values = {}
        for line in self.xdotool("getwindowgeometry", "--shell", self.window).split():
            key, _, value = line.partition("=")
            values[key] = int(value)
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    def settle(self, seconds=0.4):
        """Lets the program repaint after an input event."""
        time.sleep(seconds)

    def move_to(self, x, y):
        self.xdotool("mousemove", "--window", self.window, x, y)
        self.settle(0.2)

    def click(self, x, y):
        self.xdotool("mousemove", "--window", self.window, x, y)
        self.settle(0.15)
        self.xdotool("click", "1")
        self.settle()

    def key_down(self, key):
        self.xdotool("keydown", key)
        self.settle()

    def key_up(self, key):
        self.xdotool("keyup", key)
        self.settle()

    def resize(self, width, height):
        self.xdotool("windowsize", self.window, width, height)
        self.settle(0.8)

    def screenshot(self, path):
        """Saves the whole screen, as a person would see it, and returns the path."""
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        return path

    def window_pixels(self):
        """The window's current pixels as a Pixels object (window coordinates)."""
        with tempfile.TemporaryDirectory() as tmp:
            shot = os.path.join(tmp, "w.ppm")
            subprocess.run(["import", "-window", str(self.window), "-depth", "8", shot], env=self.env, check=True)
            return Pixels.from_ppm(shot)

    def close(self):
        """Asks the window to close the way a window manager's close button does."""
        conn = xdisplay.Display(self.display.name)
        try:
            protocols = conn.intern_atom("WM_PROTOCOLS")
            delete = conn.intern_atom("WM_DELETE_WINDOW")
            window = conn.create_resource_object("window", self.window)
            event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                                 data=(32, [delete, X.CurrentTime, 0, 0, 0]))
            window.send_event(event, event_mask=X.NoEventMask)
            conn.flush()
        finally:
            conn.close()

    def wait(self, timeout=20):
        return self.process.wait(timeout=timeout)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Pixels:
    """An RGB image read from a binary PPM."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, path):
        with open(path, "rb") as f:
            raw = f.read()
        fields, pos = [], 0
        while len(fields) < 4:
            while raw[pos:pos + 1].isspace():
                pos += 1
            if raw[pos:pos + 1] == b"#":
                pos = raw.index(b"\n", pos)
                continue
            end = pos
            while not raw[end:end + 1].isspace():
                end += 1
            fields.append(raw[pos:end])
            pos = end
        assert fields[0] == b"P6" and fields[3] == b"255", fields
        return cls(int(fields[1]), int(fields[2]), raw[pos + 1:])

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])


def close_to(actual, expected, tolerance=6):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def artifacts_dir():
    path = os.environ.get("QV_ARTIFACTS", os.path.join(tempfile.gettempdir(), "qv-artifacts"))
    os.makedirs(path, exist_ok=True)
    return path


def program_path():
    path = os.environ["QV_PROGRAM"]
    if not os.access(path, os.X_OK):
        raise FileNotFoundError(path)
    return path


def require_tools():
    missing = [t for t in ("Xvfb", "xdotool", "import") if shutil.which(t) is None]
    if missing:
        raise RuntimeError("missing tools: " + ", ".join(missing))
