"""The Windows program's command line under Wine, as a deployment script runs it: no window, an
exit code, and a --list a script can read."""

import os
import subprocess
import unittest

import wineharness as wh


class WineCommandLineTest(unittest.TestCase):
    def setUp(self):
        self.prefix = wh.shared_prefix()
        self.prefix.reset()

    def run_program(self, *arguments):
        # Files, not pipes: Wine's helper processes inherit the descriptors and outlive the program.
        out_path, err_path = (os.path.join(self.prefix.root, name) for name in ("cli.out", "cli.err"))
        env = {k: v for k, v in self.prefix.env.items() if k != "DISPLAY"}
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            code = subprocess.run(["wine", wh.program_path(), *arguments], env=env, cwd=self.prefix.root,
                                  stdout=out, stderr=err, timeout=120).returncode
        with open(out_path, "rb") as out, open(err_path, "rb") as err:
            return code, out.read().decode().replace("\r\n", "\n"), err.read().decode().replace("\r\n", "\n")

    def test_install_list_and_a_bad_argument_without_a_window(self):
        bundle = os.path.join(self.prefix.unix_path(wh.DEFAULT_FOLDERS["VST3"]), "Varnoly.vst3")
        windows_bundles = [wh.DEFAULT_FOLDERS[f] + "\\" + b for f, b in
                           zip(("VST3", "CLAP", "AAX"), ("Varnoly.vst3", "Varnoly.clap", "Varnoly.aaxplugin"))]

        code, out, err = self.run_program("--install", "vst3")
        self.assertEqual(code, 0, err)
        self.assertEqual(out.strip(), f"VST3 installed at {windows_bundles[0]}")
        self.assertTrue(os.path.isfile(os.path.join(bundle, "Contents", "x86_64-win", "Varnoly.vst3")))

        code, out, err = self.run_program("--list")
        self.assertEqual(code, 0, err)
        self.assertEqual(out.splitlines(), [f"VST3\tinstalled\t1.0.4.0\t{windows_bundles[0]}",
                                            f"CLAP\tabsent\t-\t{windows_bundles[1]}",
                                            f"AAX\tabsent\t-\t{windows_bundles[2]}"])

        code, out, err = self.run_program("--uninstall", "vst5")
        self.assertEqual(code, 2)
        self.assertIn("Usage:", err)
        self.assertTrue(os.path.isdir(bundle), "a bad command line touches nothing")


if __name__ == "__main__":
    unittest.main()
