"""A real VST3 plug-in (the fixture, packed by the maker-bundle path) installed through the real
window, then loaded by a real host, Ardour's VST3 scanner, from the folder it was installed into:
for all users as root, and for one ordinary account."""

import glob
import hashlib
import os
import re
import shutil
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

import qvharness as qv
import screen
from damage import cut_in_half, empty, zeroed
from screen import ScreenTestCase

DISC = (300, 332)         # on the result icon's disc
VST3_ROW = (282, 190)     # inside the VST3 row, clear of its text and icon
MODULE = os.path.join("Contents", "x86_64-linux", "Varnoly.so")

# What the fixture declares (tests/real_host/fixture/CMakeLists.txt), as the host should list it.
CLASS = {"name": "Varnoly", "vendor": "Quorvane", "category": "Fx"}


def files_below(folder):
    """Relative path -> size and SHA-256 of every file below folder."""
    found = {}
    for parent, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(parent, name)
            with open(path, "rb") as f:
                data = f.read()
            found[os.path.relpath(path, folder)] = (len(data), hashlib.sha256(data).hexdigest())
    return found


def scan(bundle, account=None):
    """Runs the host's scanner on the bundle with an empty cache. Returns its output and the text of
    every cache file it wrote."""
    scanner = os.environ["QV_ARDOUR_VST3_SCANNER"]
    cache = tempfile.mkdtemp(prefix="qv-ardour-cache-")
    try:
        home = account.HOME if account else os.environ.get("HOME", "/root")
        if account is not None:
            os.chown(cache, account.uid, account.uid)
        env = {"PATH": "/usr/bin:/bin", "HOME": home, "XDG_CACHE_HOME": cache,
               # The scanner finds its own libraries (libpbd, ...) only beside itself.
               "LD_LIBRARY_PATH": os.path.dirname(scanner)}
        # -f: without it the scanner may answer from a cache and load nothing.
        done = subprocess.run([scanner, "-f", bundle], env=env, capture_output=True, text=True,
                              timeout=60, **qv.run_as(account))
        caches = []
        for path in sorted(glob.glob(os.path.join(cache, "**", "*.v3i"), recursive=True)):
            with open(path, encoding="utf-8") as f:
                caches.append(f.read())
        return done.stdout + done.stderr, caches
    finally:
        shutil.rmtree(cache, ignore_errors=True)


def host_problems(bundle, output, caches):
    """What keeps the scan from showing the host loaded the bundle and lists its class; empty when
    nothing does. The scanner's exit code is no evidence: it exits 0 for a zero-byte module."""
    problems = []
    if not re.search(rf"^\[Info\]: Found Plugin: {re.escape(CLASS['name'])}$", output, re.MULTILINE):
        problems.append(f"no 'Found Plugin: {CLASS['name']}' line")
    if len(caches) != 1:
        return problems + [f"{len(caches)} cache files instead of one"]

    root = ElementTree.fromstring(caches[0])
    if root.tag != "VST3Cache":
        return problems + [f"cache root is <{root.tag}>"]
    if root.get("bundle") != bundle or root.get("module") != os.path.join(bundle, MODULE):
        problems.append(f"cache names bundle {root.get('bundle')!r}, module {root.get('module')!r}")
    classes = root.findall("VST3Info")
    if len(classes) != 1:
        return problems + [f"{len(classes)} classes listed"]
    listed = {key: classes[0].get(key) for key in CLASS}
    if listed != CLASS:
        problems.append(f"class listed as {listed}")
    if not re.fullmatch(r"[0-9A-F]{32}", classes[0].get("uid") or ""):
        problems.append(f"class uid {classes[0].get('uid')!r}")
    return problems


# Each case: what is done to a copy of the installed module (None: the installed bundle itself), and
# whether the host check must pass.
CASES = [
    ("as installed", None, True),
    ("module cut in half", cut_in_half, False),
    ("module of zero bytes", empty, False),
    ("module zeroed", zeroed, False),
]


class InstallAndLoad:
    """The test both install modes share; a subclass names its `mode`, defines folder() and, for an
    account, sets `account`."""

    def test_install_through_the_window_then_the_host_loads_it(self):
        bundle = os.path.join(self.folder(), "Varnoly.vst3")
        self.assertFalse(os.path.lexists(bundle), "nothing is installed before the run")

        self.click("VST3")
        self.click("INSTALL")
        shown = self.wait_for_pixel(*DISC, screen.is_green)
        self.shot(f"real-host-install-{self.mode}.png")
        self.assertIsNotNone(shown, "the success panel did not appear")
        self.assertPixel(shown, *VST3_ROW, screen.ROW_INSTALLED, "the VST3 row after the install")

        # The fixture's files, every byte, and nothing else.
        self.assertEqual(files_below(bundle), files_below(os.environ["QV_VST3_FIXTURE"]))
        if self.account is not None:
            self.assertEqual(os.stat(os.path.join(bundle, MODULE)).st_uid, self.account.uid)
            system_bundle = os.path.join(qv.format_folders()[0], "Varnoly.vst3")
            self.assertFalse(os.path.lexists(system_bundle), f"nothing is installed for all users: {system_bundle}")

        for name, damage, loads in CASES:
            with self.subTest(name):
                target = bundle
                if damage is not None:
                    scratch = tempfile.mkdtemp(prefix="qv-damaged-", dir=self.account.HOME if self.account else None)
                    self.addCleanup(shutil.rmtree, scratch, True)
                    target = os.path.join(scratch, "Varnoly.vst3")
                    shutil.copytree(bundle, target)
                    damage(os.path.join(target, MODULE))
                    if self.account is not None:
                        for parent, dirs, files in os.walk(scratch):
                            for entry in [parent] + [os.path.join(parent, n) for n in dirs + files]:
                                os.chown(entry, self.account.uid, self.account.uid)

                output, caches = scan(target, self.account)
                problems = host_problems(target, output, caches)
                if loads:
                    self.assertEqual(problems, [], f"scanner output:\n{output}\ncache: {caches}")
                    report = os.path.join(qv.artifacts_dir(), f"real-host-scan-{self.mode}.txt")
                    with open(report, "w", encoding="utf-8") as f:
                        f.write(output + "".join(caches))
                else:
                    self.assertNotEqual(problems, [], f"the check passed a damaged module:\n{output}")

        # The window's bundle is untouched by the damaged copies.
        self.assertEqual(files_below(bundle), files_below(os.environ["QV_VST3_FIXTURE"]))


class ForAllUsers(InstallAndLoad, ScreenTestCase):
    mode = "root"

    def folder(self):
        return qv.format_folders()[0]

    def setUp(self):
        super().setUp()
        self.assertEqual(self.folder(), "/usr/lib/vst3")


class ForOneAccount(InstallAndLoad, ScreenTestCase):
    mode = "account"

    def folder(self):
        return self.account.path(".vst3")

    def setUp(self):
        self.account = qv.Account()
        self.addCleanup(self.account.close)
        super().setUp()


if __name__ == "__main__":
    unittest.main()
