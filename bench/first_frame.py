"""Time from process start to the first painted frame of a program's window, seen from outside.

The programs run unmodified. A client of the same X server watches it: the DAMAGE extension on
the root window reports every drawing on the screen, and the first frame is the first drawing
that covers a whole window of the expected size, after that window was mapped, and leaves it
painted. JUCE paints a new window in one piece, so that moment is when the window first shows its
content. The server also reports a window's move as drawing (it copies the still unpainted, black
content along), so a candidate counts only when most of a few sampled pixels are no longer black;
neither program paints its window black. Both programs are timed the same way, alternately, on one
private Xvfb.

Run inside the tests' sandbox (the installer reads and may write the machine's settings and
plug-in folders when it starts); prints one JSON line.

Usage: first_frame.py --program NAME=PATH [--program NAME=PATH ...] --reps N [--size 600x600]
"""

import argparse
import json
import os
import select
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from qvharness import VirtualDisplay  # noqa: E402
from Xlib import X, display as xdisplay  # noqa: E402
from Xlib.ext import damage  # noqa: E402


class FrameWatcher:
    """Watches one X display for new top-level windows and for drawing anywhere on it."""

    def __init__(self, display_name):
        self.conn = xdisplay.Display(display_name)
        if not self.conn.has_extension("DAMAGE"):
            raise RuntimeError("the X server has no DAMAGE extension")
        self.conn.damage_query_version()
        self.root = self.conn.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.damage = self.root.damage_create(damage.DamageReportRawRectangles)
        self.damage_event = self.conn.extension_event.DamageNotify
        self.conn.sync()

    def drain(self, settle_seconds=0.3):
        """Forgets everything reported so far, after letting the server finish what it was doing."""
        time.sleep(settle_seconds)
        self.conn.sync()
        while self.conn.pending_events():
            self.conn.next_event()

    def wait_for_first_frame(self, process, width, height, timeout):
        """Seconds on the monotonic clock at which the first full frame of a newly mapped window of
        at least width x height arrived."""
        mapped = set()
        sizes = {}
        deadline = time.monotonic() + timeout

        while True:
            while self.conn.pending_events():
                event = self.conn.next_event()
                now = time.monotonic()

                if event.type in (X.CreateNotify, X.ConfigureNotify):
                    sizes[event.window.id] = (event.width, event.height)
                elif event.type == X.MapNotify:
                    w, h = sizes.get(event.window.id, (0, 0))
                    if w >= width and h >= height:
                        mapped.add(event.window.id)
                elif event.type == self.damage_event and mapped:
                    if event.area.width >= width and event.area.height >= height and self._painted(event.area):
                        return now

            if process.poll() is not None:
                raise RuntimeError(f"the program exited with {process.returncode} before its first frame")

            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise TimeoutError(f"no first frame within {timeout} s")

            select.select([self.conn.fileno()], [], [], min(remaining, 0.5))

    def _painted(self, area):
        inset = 10
        points = [(area.x + area.width // 2, area.y + area.height // 2),
                  (area.x + inset, area.y + inset), (area.x + area.width - inset, area.y + inset),
                  (area.x + inset, area.y + area.height - inset),
                  (area.x + area.width - inset, area.y + area.height - inset)]
        painted = 0
        for x, y in points:
            pixel = self.root.get_image(x, y, 1, 1, X.ZPixmap, 0xFFFFFFFF).data
            painted += any(pixel[:3])
        return painted >= 3

    def close(self):
        self.conn.damage_destroy(self.damage)
        self.conn.close()


def time_one_start(watcher, display, program, width, height, timeout):
    watcher.drain()
    env = display.env()
    start = time.monotonic()
    process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        frame = watcher.wait_for_first_frame(process, width, height, timeout)
    finally:
        process.kill()
        process.wait()
    return frame - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", action="append", required=True, help="NAME=PATH")
    parser.add_argument("--reps", type=int, default=5)
    parser.add_argument("--warmup", type=int, default=1)
    parser.add_argument("--size", default="600x600")
    parser.add_argument("--timeout", type=float, default=60.0)
    options = parser.parse_args()

    programs = [p.split("=", 1) for p in options.program]
    width, height = (int(v) for v in options.size.split("x"))
    results = {name: [] for name, _ in programs}

    with VirtualDisplay() as display:
        watcher = FrameWatcher(display.name)
        try:
            for rep in range(options.warmup + options.reps):
                # Alternate which program goes first, so that neither always follows the other.
                order = programs if rep % 2 == 0 else list(reversed(programs))
                for name, path in order:
                    seconds = time_one_start(watcher, display, path, width, height, options.timeout)
                    if rep >= options.warmup:
                        results[name].append(seconds)
        finally:
            watcher.close()

    print(json.dumps(results))


if __name__ == "__main__":
    main()
