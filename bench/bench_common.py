"""Helpers shared by the benchmark drivers: running programs, medians, file systems, the page cache."""

import hashlib
import json
import os
import shutil
import statistics
import subprocess
import sys

BENCH_DIR = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(BENCH_DIR)
SANDBOX = os.path.join(SOURCE_DIR, "tests", "sandbox", "run_sandboxed.sh")
WITH_DISPLAY = os.path.join(SOURCE_DIR, "tests", "gui", "with_display.sh")
PYTHON = "/usr/bin/python3"


class BenchError(Exception):
    pass


def log(message):
    print(message, file=sys.stderr, flush=True)


def run(command, **kwargs):
    """Runs a command and returns its standard output; fails with its output when it fails."""
    result = subprocess.run(command, capture_output=True, text=True, **kwargs)
    if result.returncode != 0:
        detail = (result.stderr or "") + (result.stdout or "")
        raise BenchError(f"{' '.join(map(str, command))} failed with status {result.returncode}\n{detail.strip()}")
    return result.stdout


def run_json(command, **kwargs):
    """Runs a command that prints one JSON line last, and returns it parsed."""
    output = run(command, **kwargs).strip().splitlines()
    if not output:
        raise BenchError(f"{' '.join(map(str, command))} printed nothing")
    return json.loads(output[-1])


def median(values):
    return statistics.median(values) if values else float("nan")


def file_system_type(path):
    """The type of the file system holding path, from the longest matching mount point."""
    path = os.path.realpath(path)
    best, best_type = "", "unknown"
    with open("/proc/mounts") as mounts:
        for line in mounts:
            fields = line.split()
            mount_point = fields[1].replace("\\040", " ")
            inside = path == mount_point or path.startswith(mount_point.rstrip("/") + "/")
            if inside and len(mount_point) >= len(best):
                best, best_type = mount_point, fields[2]
    return best_type


def fresh_folder(path):
    """An empty folder at path (whatever was there is removed)."""
    if os.path.lexists(path):
        shutil.rmtree(path)
    os.makedirs(path)
    return path


class PageCache:
    """Flushes dirty data and, where the kernel lets us, drops the page cache, so that a run on the
    ordinary disk reads its inputs from the disk and does not compete with earlier writes."""

    def __init__(self):
        self.refusal = None

    def drop(self):
        os.sync()
        if self.refusal is not None:
            return False
        try:
            with open("/proc/sys/vm/drop_caches", "w") as control:
                control.write("3\n")
            return True
        except OSError as error:
            self.refusal = f"cannot write /proc/sys/vm/drop_caches ({error.strerror}); ran with a warm page cache"
            return False


def tree_digest(root):
    """Relative path -> ("dir",) or ("file", size, sha256) for everything below root."""
    digest = {}
    for folder, folders, files in os.walk(root):
        for name in folders:
            digest[os.path.relpath(os.path.join(folder, name), root)] = ("dir",)
        for name in files:
            path = os.path.join(folder, name)
            hasher = hashlib.sha256()
            with open(path, "rb") as f:
                for block in iter(lambda: f.read(1 << 20), b""):
                    hasher.update(block)
            digest[os.path.relpath(path, root)] = ("file", os.path.getsize(path), hasher.hexdigest())
    return digest
