"""The installer started from an ordinary account, as every desktop starts it: it installs into
the account's own plug-in folders, says on screen why a run failed, and names a host that still
runs the old version after an update."""

import os
import shutil
import subprocess

import qvharness as qv
import screen
from screen import ScreenTestCase

DISC = (300, 332)


def tree(path):
    """Every entry below `path` with its size, for telling a whole bundle from a damaged one."""
    found = {}
    for folder, dirs, files in os.walk(path):
        for name in dirs + files:
            full = os.path.join(folder, name)
            found[os.path.relpath(full, path)] = os.lstat(full).st_size if name in files else None
    return found


class UserAccountTest(ScreenTestCase):
    def setUp(self):
        self.account = qv.Account()
        self.addCleanup(self.account.close)
        self.system_bundles = qv.bundle_paths()
        self.bundles = [self.account.path(folder, bundle)
                        for folder, bundle in zip((".vst3", ".clap", ".aax"), qv.BUNDLES)]
        self.permission = (f"VST3: no permission to write {self.account.path('.vst3')}. "
                           "Run it as root to install for all users.")
        self.held = "Installed. qv_host still runs the old VST3; restart it to load the new version."
        self.hints = qv.HintReader([*screen.HINTS.candidates, self.permission, self.held])
        super().setUp()

    def run_install(self, *formats):
        for fmt in formats:
            self.click(fmt)
        self.click("INSTALL")

    def test_installs_for_the_account_and_says_why_a_run_failed(self):
        self.click("SELECT_ALL")
        self.click("INSTALL")
        self.assertIsNotNone(self.wait_for_pixel(*DISC, screen.is_green), "the success panel did not appear")
        self.shot("user-install-success.png")

        self.assertTrue(os.path.isdir(self.bundles[0]), self.bundles[0])
        self.assertTrue(os.path.isfile(self.bundles[1]), self.bundles[1])
        self.assertTrue(os.path.isdir(self.bundles[2]), self.bundles[2])
        for path in self.bundles:
            self.assertEqual(os.lstat(path).st_uid, self.account.uid, f"{path} belongs to the account")
        for path in self.system_bundles:
            self.assertFalse(os.path.lexists(path), f"nothing is installed for all users: {path}")

        # The account's VST3 folder made unwritable: the update fails, says why, and the bundle stays whole.
        before = tree(self.bundles[0])
        os.chmod(self.account.path(".vst3"), 0o555)
        self.addCleanup(os.chmod, self.account.path(".vst3"), 0o755)
        self.run_install("VST3")
        self.assertIsNotNone(self.wait_for_pixel(*DISC, screen.is_orange), "the failure panel did not appear")
        self.assertEqual(self.hint(reader=self.hints), self.permission)
        self.shot("user-permission-600.png")

        self.app.move_to(300, 120)
        self.assertEqual(self.hint(reader=self.hints), self.permission, "leaving INSTALL keeps the sentence")
        self.assertEqual(tree(self.bundles[0]), before)

        # The pointer off the window, so that the moved window brings no button under it.
        self.app.xdotool("mousemove", qv.SCREEN_WIDTH - 5, qv.SCREEN_HEIGHT - 5)
        self.app.move_window(0, 0)
        self.app.resize(900, 900)
        self.shot("user-permission-900.png")
        self.assertEqual(self.hint(900, reader=self.hints), self.permission, "the sentence is fitted again at 900")

    def test_an_update_names_the_host_that_still_runs_the_old_version(self):
        self.run_install("VST3")
        self.assertIsNotNone(self.wait_for_pixel(*DISC, screen.is_green), "the first install did not succeed")
        module = os.path.join(self.bundles[0], "Contents", "x86_64-linux", "Varnoly.so")

        host_program = os.path.join(self.account.HOME, "qv_host")
        shutil.copy(os.environ["QV_STANDIN_HOST"], host_program)
        host = subprocess.Popen([host_program, module], stdout=subprocess.PIPE, text=True, **self.account.ids())
        self.addCleanup(host.wait)
        self.addCleanup(host.kill)
        self.assertEqual(host.stdout.readline().strip(), "loaded")
        before = tree(self.bundles[0])

        qv.wait_until(lambda: qv.close_to(self.pixels().at(*DISC), screen.BACKGROUND, 3), 6.0)
        self.run_install("VST3")
        self.assertIsNotNone(self.wait_for_pixel(*DISC, screen.is_green), "the update did not succeed")
        self.assertEqual(self.hint(reader=self.hints), self.held)
        self.shot("user-held-600.png")

        self.assertIsNone(host.poll(), "the host is never stopped")
        self.assertEqual(tree(self.bundles[0]), before, "the new bundle is whole")
        self.app.move_to(300, 120)
        self.assertEqual(self.hint(reader=self.hints), self.held)


if __name__ == "__main__":
    import unittest
    unittest.main()
