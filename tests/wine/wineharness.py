"""Drives the Windows program under Wine, for end-to-end tests.

One throw-away Wine prefix per test run, in a temporary folder and booted once, is shared by every
case; each case resets the folders the installer reads and writes. The prefix's C: drive is a plain
folder, so the tests check the disk directly. Window handling (Xvfb, xdotool, screenshots, pixel
probes, WM_DELETE_WINDOW) is the Linux end-to-end harness's.
"""

import atexit
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import qvharness as qv  # noqa: E402

# No debug output, and no offer to download Mono or Gecko: the installer needs neither.
WINE_ENVIRONMENT = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml=",
    "WINEARCH": "win64",
}

MAKER_FOLDER = r"C:\ProgramData\Quorvane"
SETTINGS_FILE = MAKER_FOLDER + r"\PluginManagerSettings.txt"
COMMON_FILES = r"C:\Program Files\Common Files"
DEFAULT_FOLDERS = {
    "VST3": COMMON_FILES + r"\VST3",
    "CLAP": COMMON_FILES + r"\CLAP",
    "AAX": COMMON_FILES + r"\Avid\Audio\Plug-Ins",
}

# Everything a case may leave behind, removed before the next one.
TOUCHED_FOLDERS = [MAKER_FOLDER, DEFAULT_FOLDERS["VST3"], DEFAULT_FOLDERS["CLAP"],
                   COMMON_FILES + r"\Avid", r"C:\Plugins"]


def require_tools():
    qv.require_tools()
    missing = [t for t in ("wine", "wineboot", "wineserver") if shutil.which(t) is None]
    if missing:
        raise RuntimeError("missing Wine tools: " + ", ".join(missing))


def program_path():
    path = os.environ["QV_PROGRAM"]
    if not os.path.isfile(path):
        raise FileNotFoundError(path)
    return path


class WinePrefix:
    """A fresh 64-bit Wine prefix with an X display, and a wineserver kept up until close().
    display_args are passed on to the display's X server."""

    def __init__(self, display_args=()):
        require_tools()
        self.display = qv.VirtualDisplay(display_args)
        self.root = tempfile.mkdtemp(prefix="qv-wine-")
        self.path = os.path.join(self.root, "prefix")
        self.env = self.display.env()
        self.env.update(WINE_ENVIRONMENT)
        self.env["WINEPREFIX"] = self.path
        try:
            os.mkdir(self.path)
            # A persistent server first, so that the boot and every later run share it instead of
            # each paying for a server start.
            subprocess.run(["wineserver", "--persistent"], env=self.env, check=True, timeout=60)
            subprocess.run(["wineboot", "--init"], env=self.env, check=True, timeout=600,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except BaseException:
            self.close()
            raise

    def unix_path(self, windows_path):
        """The file behind a path on the prefix's C: drive."""
        drive, _, rest = windows_path.partition(":")
        if drive.upper() != "C":
            raise ValueError(f"only C: is mapped: {windows_path}")
        parts = [p for p in rest.replace("/", "\\").split("\\") if p]
        return os.path.join(self.path, "drive_c", *parts)

    def reset(self):
        for folder in TOUCHED_FOLDERS:
            shutil.rmtree(self.unix_path(folder), ignore_errors=True)

    def close(self):
        subprocess.run(["wineserver", "--kill"], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.root, ignore_errors=True)
        self.display.close()


_shared = None


def shared_prefix():
    """The run's one prefix, booted on first use and removed when the interpreter exits."""
    global _shared
    if _shared is None:
        _shared = WinePrefix()
        atexit.register(_shared.close)
    return _shared


class WineProgram(qv.InstallerWindow):
    """The program started with `wine` in a prefix, and its top-level window."""

    def __init__(self, prefix, program, title="qv_installer", timeout=60):
        self.display = prefix.display
        self.env = prefix.env
        # A file, not a pipe: Wine's helper processes inherit the descriptors and outlive the program.
        self.log_path = os.path.join(prefix.root, "program.log")
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen(["wine", program], env=self.env, cwd=prefix.root,
                                            stdout=log, stderr=subprocess.STDOUT)
        try:
            self.window = self._find_window(title, timeout)
        except BaseException:
            self.kill()
            raise

    def _find_window(self, title, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError(f"program exited early with {self.process.returncode}: {self.log()}")
            found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                                    str(self.process.pid), "--name", f"^{title}$"],
                                   env=self.env, capture_output=True, text=True)
            ids = found.stdout.split()
            if ids:
                return int(ids[0])
            time.sleep(0.2)
        raise TimeoutError(f"no window titled {title!r} within {timeout} s: {self.log()}")

    def log(self):
        with open(self.log_path, "rb") as f:
            return f.read().decode(errors="replace")

    def client_origin(self, client_width, client_height):
        """Where the client area starts inside the X window: with no window manager on the display,
        Wine draws the caption and frame itself, inside the window it maps."""
        _, _, width, height = self.geometry()
        border = (width - client_width) // 2
        return border, height - client_height - border

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def close_and_wait(self, attempts=3, seconds_per_attempt=10):
        """Closes the window as a window manager's close button does and returns the exit code.

        With no window manager on the display, Wine now and then drops a close request (about one in
        five, a bare JUCE window as much as this program), so an unanswered request is repeated, as a
        user would click again. A program that never ends still fails with TimeoutExpired."""
        for _ in range(attempts - 1):
            if self.process.poll() is None:
                self.close()
            try:
                return self.wait(seconds_per_attempt)
            except subprocess.TimeoutExpired:
                pass
        if self.process.poll() is None:
            self.close()
        return self.wait(seconds_per_attempt)


def start_program(testcase, prefix):
    """Starts the program for a test case; it is killed at the case's end if still running."""
    program = WineProgram(prefix, program_path())
    testcase.addCleanup(program.kill)
    return program
