#!/usr/bin/env python3
"""Extracts the Windows archives and has module_probe.exe load each module under Wine and read its
version resource through the Windows API.

Usage: check_modules_wine.py --wine WINE --probe module_probe.exe --prefix WINEPREFIX
                             --aax A.zip --clap C.zip --vst3 V.zip [--version X.Y.Z] [--product NAME]
"""

import argparse
import os
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path


def extract(archive, target):
    """Extracts with the backslashes turned into folders, as the installer's zip reader does."""
    with zipfile.ZipFile(archive) as source:
        for info in source.infolist():
            path = target.joinpath(*info.filename.rstrip("\\").split("\\"))
            if info.filename.endswith("\\"):
                path.mkdir(parents=True, exist_ok=True)
            else:
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_bytes(source.read(info))


def main():
    parser = argparse.ArgumentParser()
    for name in ("wine", "probe", "prefix", "aax", "clap", "vst3"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--product", default="Varnoly")
    parser.add_argument("--version", default="1.0.4")
    parser.add_argument("--module-version", help="the modules' file version; the version padded with 0 when not given")
    options = parser.parse_args()

    version = options.module_version or ".".join((options.version.split(".") + ["0", "0", "0"])[:4])
    product = options.product
    modules = [
        ("vst3", options.vst3, f"{product}.vst3/Contents/x86_64-win/{product}.vst3", version),
        ("clap", options.clap, f"{product}.clap", "-"),
        ("aax", options.aax, f"{product}.aaxplugin/Contents/x64/{product}.aaxplugin", version),
    ]

    environment = dict(os.environ, WINEPREFIX=os.path.abspath(options.prefix), WINEDEBUG="-all")

    with tempfile.TemporaryDirectory() as folder:
        root = Path(folder)
        arguments = [options.wine, os.path.abspath(options.probe)]
        for format_id, archive, module, expected in modules:
            extract(archive, root)
            if not (root / module).is_file():
                print(f"FAIL {format_id}: {module} is not in {archive}")
                return 1
            arguments += [format_id, module.replace("/", "\\"), expected]

        result = subprocess.run(arguments, cwd=root, env=environment, capture_output=True, text=True, timeout=600)

    print(result.stdout, end="")
    if result.returncode != 0:
        print(result.stderr, end="", file=sys.stderr)
        print(f"module_probe.exe exited with {result.returncode}")
        return 1

    loaded = [line for line in result.stdout.splitlines() if line.startswith("ok ")]
    if len(loaded) != len(modules):
        print(f"expected {len(modules)} modules to load, saw {len(loaded)}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
