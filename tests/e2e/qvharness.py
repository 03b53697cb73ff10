"""Drives the real installer window under Xvfb, for end-to-end tests.

The tests run the unmodified program; run them through tests/sandbox/run_sandboxed.sh so that the
machine's plug-in and settings folders are never touched. Everything here shells out to the same
tools a person would use at a real X display: Xvfb, xdotool, ImageMagick's import, and python3-xlib
for the one message xdotool cannot send (WM_DELETE_WINDOW).
"""

import html
import os
import re
import shutil
import subprocess
import tempfile
import time

from Xlib import X, display as xdisplay, protocol

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 1024


class VirtualDisplay:
    """An Xvfb server on a free display number, stopped on exit. server_args are added to Xvfb's
    command line, e.g. ("-extension", "GLX") for a server without OpenGL."""

    def __init__(self, server_args=()):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24", "-nolisten", "tcp", "-noreset", *server_args],
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

    def __init__(self, display, program, title="qv_installer", extra_env=None, timeout=30, account=None):
        """`account`: an Account to run the program as, as a desktop would start it; else this
        process's own (root, in the sandbox)."""
        self.display = display
        env = display.env()
        env.update(extra_env or {})
        ids = {}
        if account is not None:
            env.pop("XDG_CONFIG_HOME", None)
            env.update(account.env())
            ids = account.ids()
        self.env = env
        self.process = subprocess.Popen([program], env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT, **ids)
        self.close_requested = False
        self.window = self._find_window(title, timeout)

    def xdotool(self, *args):
        done = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True)
        if done.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))} failed ({done.returncode}): {done.stderr.strip()}")
        return done.stdout

    def _find_window(self, title, timeout, stable_for=0.5, size=(600, 600)):
        # JUCE maps a short-lived small window while it builds the real one, so an id only counts
        # once it has the main window's size and has stayed so for a while.
        deadline = time.monotonic() + timeout
        candidate, since = None, None
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError(f"program exited early with {self.process.returncode}: "
                                   f"{self.process.stdout.read().decode(errors='replace')}")
            found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                                    "--name", f"^{title}$"],
                                   env=self.env, capture_output=True, text=True)
            sized = [int(w) for w in found.stdout.split() if self._size_of(int(w)) == size]
            current = sized[-1] if sized else None
            if current != candidate:
                candidate, since = current, time.monotonic()
            elif candidate is not None and time.monotonic() - since >= stable_for:
                return candidate
            time.sleep(0.05)
        raise TimeoutError(f"no {size[0]}x{size[1]} window titled {title!r} within {timeout} s")

    def _size_of(self, window):
        done = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(window)],
                              env=self.env, capture_output=True, text=True)
        values = dict(line.partition("=")[::2] for line in done.stdout.split())
        try:
            return int(values["WIDTH"]), int(values["HEIGHT"])
        except (KeyError, ValueError):
            return None

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

    def focus(self, timeout=5.0):
        """Gives the window the keyboard focus, as a click on it would, without touching the mouse.

        With no window manager the server's focus follows the pointer (PointerRoot), and JUCE
        counts a window as focused only once the server names it as the focus window; so the focus
        is set on the window itself and asked back until the server has it, then JUCE is given a
        moment to handle its focus-in event."""
        deadline = time.monotonic() + timeout
        while True:
            self.xdotool("windowfocus", "--sync", self.window)
            if self.xdotool("getwindowfocus").strip() == str(self.window):
                break
            if time.monotonic() > deadline:
                raise TimeoutError("the window did not take the keyboard focus")
            time.sleep(0.1)
        self.settle()

    def key(self, *keys, repeat=1):
        """Presses and releases keys (xdotool names, e.g. "Tab", "shift+Return") at the focused
        window, as typed at a real keyboard."""
        for _ in range(repeat):
            for key in keys:
                self.xdotool("key", "--clearmodifiers", key)
                self.settle(0.15)
        self.settle(0.25)

    def key_down(self, key):
        self.xdotool("keydown", key)
        self.settle()

    def key_up(self, key):
        self.xdotool("keyup", key)
        self.settle()

    def resize(self, width, height):
        self.xdotool("windowsize", self.window, width, height)
        self.settle(0.8)

    def move_window(self, x, y):
        self.xdotool("windowmove", self.window, x, y)
        self.settle(0.5)

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
        """Asks the window to close the way a window manager's close button does.

        The program's visible windows are looked up afresh: the id found at start can belong to
        the short-lived window JUCE maps while it builds the real one, when the machine is slow."""
        self.close_requested = True
        self._send_close()

    def _send_close(self):
        found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                                "--name", "."], env=self.env, capture_output=True, text=True)
        windows = [int(w) for w in found.stdout.split()] or [self.window]
        conn = xdisplay.Display(self.display.name)
        try:
            protocols = conn.intern_atom("WM_PROTOCOLS")
            delete = conn.intern_atom("WM_DELETE_WINDOW")
            for wid in windows:
                window = conn.create_resource_object("window", wid)
                event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                                     data=(32, [delete, X.CurrentTime, 0, 0, 0]))
                window.send_event(event, event_mask=X.NoEventMask)
            conn.flush()
        finally:
            conn.close()

    def wait(self, timeout=20, close_retry_after=5.0):
        """Waits for the program to end. After a close request it asks again now and then, as a
        person would click again: with no window manager, and two instances on one display, an
        X client message is now and then not acted on."""
        deadline = time.monotonic() + timeout
        while True:
            remaining = deadline - time.monotonic()
            try:
                return self.process.wait(timeout=max(0.1, min(close_retry_after, remaining)))
            except subprocess.TimeoutExpired:
                if time.monotonic() >= deadline or not getattr(self, "close_requested", False):
                    raise
                self._send_close()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()


class Account:
    """A throw-away ordinary account: a user id no one else uses, with its home on a tmpfs mounted
    over /mnt inside the sandbox, so that its paths are short enough to read in full on screen."""

    HOME = "/mnt/qv"

    def __init__(self, uid=47113):
        require_sandbox()
        self.uid = uid
        subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=0755", "qv-home", "/mnt"], check=True)
        os.makedirs(self.HOME)
        os.chown(self.HOME, uid, uid)

    def env(self):
        env = {"HOME": self.HOME, "USER": "qv", "LOGNAME": "qv"}
        return env

    def path(self, *parts):
        return os.path.join(self.HOME, *parts)

    def ids(self):
        """subprocess arguments that run a program as this account."""
        return dict(user=self.uid, group=self.uid, extra_groups=[])

    def close(self):
        subprocess.run(["umount", "-l", "/mnt"], check=False)


def run_as(account):
    """subprocess arguments that run a program as the account, or as this process when None."""
    return {} if account is None else account.ids()


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

    def region(self, x, y, width, height):
        """The pixels of a rectangle, as a Pixels object of their own."""
        rows = [self.data[((y + row) * self.width + x) * 3:((y + row) * self.width + x + width) * 3]
                for row in range(height)]
        return Pixels(width, height, b"".join(rows))

    def difference(self, other):
        """Mean absolute difference per channel against an image of the same size."""
        assert (self.width, self.height) == (other.width, other.height)
        return sum(abs(a - b) for a, b in zip(self.data, other.data)) / len(self.data)

    def ink_columns(self, background, threshold=60):
        """The number of columns holding a pixel clearly unlike the background."""
        columns = 0
        for x in range(self.width):
            if any(sum(abs(c - b) for c, b in zip(self.at(x, y), background)) > threshold
                   for y in range(self.height)):
                columns += 1
        return columns


class Layout:
    """Where the screen's parts lie at a window width: every position is a multiple of the layout
    unit u (a hundredth of the width), and child bounds round halves to even, as Python's round does."""

    BUTTONS = {
        "EULA": (4, 73.5, 10, 10), "MANUAL": (15.5, 73.5, 10, 10), "WEBSITE": (27, 73.5, 10, 10),
        "SUPPORT": (38.5, 73.5, 10, 10), "INSTALL": (86, 73.5, 10, 10), "SELECT_ALL": (80, 22.5, 16, 4),
        "VST3": (4, 30, 45, 10), "CLAP": (51, 30, 45, 10), "AAX": (4, 42, 45, 10),
        "HINT": (4, 90, 92, 3),
        # on the licence and support panels
        "X": (88, 1.5, 8, 8), "DISCORD": (10, 15, 10, 10), "MAIL": (10, 35, 10, 10),
    }

    def __init__(self, width):
        self.u = width * 0.01

    def bounds(self, name):
        x, y, w, h = self.BUTTONS[name]
        u = self.u
        return round(x * u), round(y * u), round(w * u), round(h * u)

    def centre(self, name):
        x, y, w, h = self.bounds(name)
        return x + w // 2, y + h // 2


class LinkRecorder:
    """A recording xdg-open, put first on the program's PATH: JUCE opens links on Linux by running
    xdg-open, so the links the program opens are written down here and no browser starts."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="qv-links-")
        self.log = os.path.join(self.folder, "links.txt")
        script = os.path.join(self.folder, "xdg-open")
        with open(script, "w") as f:
            f.write(f"#!/bin/sh\nprintf '%s\\n' \"$1\" >> '{self.log}'\n")
        os.chmod(script, 0o755)

    def env(self):
        return {"PATH": self.folder + os.pathsep + os.environ.get("PATH", "")}

    def links(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log) as f:
            return [line.rstrip("\n") for line in f if line.strip()]

    def wait_for(self, count, timeout=5.0):
        wait_until(lambda: len(self.links()) >= count, timeout)
        return self.links()

    def close(self):
        shutil.rmtree(self.folder, ignore_errors=True)


class HintReader:
    """Reads the hint line off the window: its strip is compared with renderings of every text it
    can show, made by qv_render_hint with the hint label's font, colour and centring."""

    def __init__(self, candidates):
        self.candidates = list(candidates)
        self.renderings = {}

    def _render(self, width):
        if width not in self.renderings:
            folder = tempfile.mkdtemp(prefix="qv-hints-")
            try:
                subprocess.run([os.environ["QV_RENDER_HINT"], str(width), folder, *self.candidates],
                               check=True, capture_output=True)
                self.renderings[width] = [Pixels.from_ppm(os.path.join(folder, f"{i}.ppm"))
                                          for i in range(len(self.candidates))]
            finally:
                shutil.rmtree(folder, ignore_errors=True)
        return self.renderings[width]

    def read(self, pixels, width):
        """The candidate the window's hint strip shows; raises if none matches closely."""
        x, y, w, h = Layout(width).bounds("HINT")
        strip = pixels.region(x, y, w, h)
        scores = sorted((strip.difference(rendering), text)
                        for text, rendering in zip(self.candidates, self._render(width)))
        best_score, best = scores[0]
        if best_score > 1.0:
            raise AssertionError(f"the hint strip matches no candidate; nearest {best!r} at {best_score:.2f}")
        return best


def wait_until(predicate, timeout, interval=0.05):
    """Polls until predicate() is true or the time is up; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(interval)


def require_sandbox():
    """Tests that install write to the default plug-in folders; only ever inside the sandbox."""
    if os.environ.get("QV_IN_SANDBOX") != "1":
        raise RuntimeError("run this test through tests/sandbox/run_sandboxed.sh")


def format_folders():
    """The program's format folders: the absolute ones its settings file names, else the defaults.

    Read by pattern, not as XML: the file's note attribute name ends in a colon, which the program's
    parser accepts and Python's does not."""
    folders = ["/usr/lib/vst3", "/usr/lib/clap", "/usr/lib/aax"]
    settings = "/opt/Quorvane/PluginManagerSettings.txt"
    if os.path.isfile(settings):
        with open(settings, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for i, key in enumerate(("VST3_Path", "CLAP_Path", "AAX_Path")):
            found = re.search(rf'\b{key}="([^"]*)"', text)
            if found and os.path.isabs(html.unescape(found.group(1))):
                folders[i] = html.unescape(found.group(1))
    return folders


BUNDLES = ("Varnoly.vst3", "Varnoly.clap", "Varnoly.aaxplugin")


def bundle_paths():
    return [os.path.join(folder, bundle) for folder, bundle in zip(format_folders(), BUNDLES)]


def remove_bundles():
    require_sandbox()
    for path in bundle_paths():
        if os.path.isdir(path) and not os.path.islink(path):
            shutil.rmtree(path)
        elif os.path.lexists(path):
            os.remove(path)


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
