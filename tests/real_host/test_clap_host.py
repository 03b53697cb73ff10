"""A real CLAP plug-in (the fixture, packed by the maker-bundle path) installed by the installer's
command line, then loaded by a real CLAP host, Qtractor's plug-in scanner, from the folder it was
installed into: for all users as root, and for one ordinary account."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

import qvharness as qv
from damage import cut_in_half, zeroed

MODULE_NAME = "Varnoly.clap"


def scan(path, account=None):
    """Asks the host's scanner to load the CLAP file, as Qtractor does before it lists a plug-in.
    Returns what it printed and its exit code."""
    env = {"PATH": "/usr/bin:/bin", "HOME": account.HOME if account else "/root"}
    done = subprocess.run([os.environ["QV_QTRACTOR_PLUGIN_SCAN"]], input=f"CLAP:{path}\n", env=env,
                          capture_output=True, text=True, timeout=60, **qv.run_as(account))
    return done.stdout + done.stderr, done.returncode


def listed(path, output):
    """True when the host listed the fixture's one plug-in from `path`: its name, stereo in and
    out, no MIDI, no parameters."""
    line = rf"^CLAP\|Varnoly\|2:2\|0:0\|0:0\|[A-Z,]*\|{re.escape(path)}\|0\|0x[0-9a-f]+$"
    return re.search(line, output, re.MULTILINE) is not None


def vst3_module(path):
    """A real shared object that is no CLAP: the fixture's VST3 module under the CLAP file's name."""
    shutil.copyfile(os.path.join(os.environ["QV_VST3_FIXTURE"], "Contents", "x86_64-linux", "Varnoly.so"), path)


# Each case: what is done to a copy of the installed file (None: the installed file itself), and
# whether the host must list the plug-in.
CASES = [
    ("as installed", None, True),
    ("cut in half", cut_in_half, False),
    ("zeroed", zeroed, False),
    ("a shared object without clap_entry", vst3_module, False),
]

# Who installs, and where the installer must put the file for them.
INSTALLERS = [
    ("root", None, lambda account: "/usr/lib/clap"),
    ("account", qv.Account, lambda account: account.path(".clap")),
]


class ClapHostTest(unittest.TestCase):
    def test_install_then_the_host_loads_it(self):
        qv.require_sandbox()
        for who, make_account, folder in INSTALLERS:
            with self.subTest(who):
                qv.remove_bundles()
                account = make_account() if make_account else None
                try:
                    self.install_and_load(who, account, os.path.join(folder(account), MODULE_NAME))
                finally:
                    if account is not None:
                        account.close()

    def install_and_load(self, who, account, installed):
        env = {"PATH": "/usr/bin:/bin", "HOME": account.HOME if account else "/root"}
        done = subprocess.run([qv.program_path(), "--install", "clap"], env=env, capture_output=True,
                              text=True, timeout=60, **qv.run_as(account))
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        with open(installed, "rb") as got, open(os.environ["QV_CLAP_FIXTURE"], "rb") as fixture:
            self.assertEqual(got.read(), fixture.read(), "the installed file is the fixture, every byte")

        for name, damage, loads in CASES:
            with self.subTest(f"{who}: {name}"):
                target = installed
                if damage is not None:
                    scratch = tempfile.mkdtemp(prefix="qv-clap-", dir=account.HOME if account else None)
                    self.addCleanup(shutil.rmtree, scratch, True)
                    target = os.path.join(scratch, MODULE_NAME)
                    shutil.copyfile(installed, target)
                    damage(target)
                    if account is not None:
                        os.chown(scratch, account.uid, account.uid)
                        os.chown(target, account.uid, account.uid)

                output, code = scan(target, account)
                if loads:
                    self.assertTrue(listed(target, output), f"scanner output (exit {code}):\n{output}")
                    with open(os.path.join(qv.artifacts_dir(), f"real-host-clap-scan-{who}.txt"), "w") as f:
                        f.write(output)
                else:
                    self.assertFalse(listed(target, output), f"the host listed a damaged file:\n{output}")


if __name__ == "__main__":
    unittest.main()
