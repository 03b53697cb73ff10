"""A second product description, as another maker would write it: the build takes every fact from
it, packs archives named after its bundles, and the program installs them."""

import os
import subprocess
import unittest
import zipfile

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DESCRIPTION = os.path.join(os.path.dirname(os.path.abspath(__file__)), "second", "product.json")
BUNDLES = ("Orvel Drive.vst3", "Orvel Drive.clap", "Orvel Drive.aaxplugin")
FOLDERS = ("/usr/lib/vst3", "/usr/lib/clap", "/usr/lib/aax")


class SecondProductTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if os.environ.get("QV_IN_SANDBOX") != "1":
            raise RuntimeError("run this test through tests/sandbox/run_sandboxed.sh")
        cls.build = os.environ["QV_SECOND_PRODUCT_BUILD"]
        subprocess.run(["cmake", "-S", SOURCE, "-B", cls.build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                        f"-DQV_PRODUCT={DESCRIPTION}", "-DQV_BUILD_TESTS=OFF", "-DQV_WINDOWS_CHECK_ARCHIVES=OFF"],
                       check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", cls.build, "--target", "qv_installer", "-j2"], check=True,
                       stdout=subprocess.DEVNULL)
        cls.program = os.path.join(cls.build, "qv_installer")

    def run_program(self, *arguments):
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        done = subprocess.run([self.program, *arguments], env=env, capture_output=True, text=True, timeout=60)
        return done.returncode, done.stdout, done.stderr

    def test_archives_name_the_new_bundles(self):
        for name, bundle in zip(("vst3", "clap", "aax"), BUNDLES):
            with zipfile.ZipFile(os.path.join(self.build, "archives", f"{name}.zip")) as archive:
                names = archive.namelist()
            self.assertTrue(names)
            for entry in names:
                self.assertTrue(entry == bundle or entry.startswith(bundle + "\\"), entry)

    def test_the_program_installs_the_new_product_with_its_facts(self):
        os.makedirs("/opt/Tessarine Audio", exist_ok=True)
        self.assertEqual(self.run_program("--version")[1].strip(), "qv_installer 1.0.5 (Orvel Drive 2.3.1)")

        code, out, err = self.run_program("--install", "all")
        self.assertEqual((code, err), (0, ""))
        for folder, bundle in zip(FOLDERS, BUNDLES):
            self.assertTrue(os.path.lexists(os.path.join(folder, bundle)), bundle)
            self.assertFalse(os.path.lexists(os.path.join(folder, "Varnoly" + os.path.splitext(bundle)[1])))

        code, out, _ = self.run_program("--list")
        self.assertEqual(out.splitlines()[0], f"VST3\tinstalled\t2.3.1\t{FOLDERS[0]}/{BUNDLES[0]}")

        # The maker's own settings file, with the note from the description.
        with open("/opt/Tessarine Audio/PluginManagerSettings.txt", encoding="utf-8") as f:
            self.assertIn("Folders that every Tessarine installer uses; edit with care, and &quot;quote&quot; nothing.", f.read())

        # The licence is compiled in as it stands in its file, whatever characters it holds.
        with open(os.path.join(os.path.dirname(DESCRIPTION), "licence.txt"), "rb") as f:
            licence = f.read()
        with open(self.program, "rb") as f:
            self.assertIn(licence, f.read())

        self.assertEqual(self.run_program("--uninstall", "all")[0], 0)


if __name__ == "__main__":
    unittest.main()
