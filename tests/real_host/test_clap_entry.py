"""The CLAP file the installer's command line installs, loaded as a CLAP host starts to (dlopen,
clap_entry): Debian 12 carries no CLAP host. For all users as root, and for one ordinary account."""

import os
import shutil
import subprocess
import tempfile
import unittest

import qvharness as qv

MODULE_NAME = "Varnoly.clap"


def as_account(account):
    """subprocess arguments that run a program as the account, or as this process when None."""
    return {} if account is None else dict(user=account.uid, group=account.uid, extra_groups=[])


def cut_in_half(path):
    os.truncate(path, os.path.getsize(path) // 2)


def zeroed(path):
    size = os.path.getsize(path)
    with open(path, "r+b") as f:
        f.write(bytes(size))


def vst3_module(path):
    """A real shared object that is no CLAP: the fixture's VST3 module under the CLAP file's name."""
    shutil.copyfile(os.path.join(os.environ["QV_VST3_FIXTURE"], "Contents", "x86_64-linux", "Varnoly.so"), path)


# Each case: what is done to a copy of the installed file (None: the installed file itself), and
# the words the check must print (on success) or say (on failure).
CASES = [
    ("as installed", None, True, "clap_entry: CLAP 1."),
    ("cut in half", cut_in_half, False, "cannot load"),
    ("zeroed", zeroed, False, "cannot load"),
    ("a shared object without clap_entry", vst3_module, False, "exports no clap_entry"),
]

# Who installs, and where the installer must put the file for them.
INSTALLERS = [
    ("root", None, lambda account: "/usr/lib/clap"),
    ("ordinary account", qv.Account, lambda account: account.path(".clap")),
]


class ClapEntryTest(unittest.TestCase):
    def test_the_installed_clap_file_exports_a_clap_entry(self):
        qv.require_sandbox()
        for who, make_account, folder in INSTALLERS:
            with self.subTest(who):
                qv.remove_bundles()
                account = make_account() if make_account else None
                try:
                    self.install_and_check(who, account, os.path.join(folder(account), MODULE_NAME))
                finally:
                    if account is not None:
                        account.close()

    def install_and_check(self, who, account, installed):
        env = {"PATH": "/usr/bin:/bin", "HOME": account.HOME if account else "/root"}
        done = subprocess.run([qv.program_path(), "--install", "clap"], env=env, capture_output=True,
                              text=True, timeout=60, **as_account(account))
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertTrue(os.path.isfile(installed), installed)

        for name, damage, loads, words in CASES:
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

                checked = subprocess.run([os.environ["QV_CLAP_ENTRY_CHECK"], target], capture_output=True,
                                         text=True, timeout=30, **as_account(account))
                if loads:
                    self.assertEqual(checked.returncode, 0, checked.stderr)
                    self.assertTrue(checked.stdout.startswith(words), checked.stdout)
                    print(f"{who}: {installed}: {checked.stdout.strip()}")
                else:
                    self.assertNotEqual(checked.returncode, 0, checked.stdout)
                    self.assertIn(words, checked.stderr)

if __name__ == "__main__":
    unittest.main()
