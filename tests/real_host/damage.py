"""Ways to damage a copy of an installed plug-in module, for the checks that a host must refuse it."""

import os


def cut_in_half(path):
    os.truncate(path, os.path.getsize(path) // 2)


def empty(path):
    os.truncate(path, 0)


def zeroed(path):
    size = os.path.getsize(path)
    with open(path, "r+b") as f:
        f.write(bytes(size))
