"""Installing and removing the plug-in through the real window under Wine: the bundles land in the
Windows folders with their exact file lists and version resources, and Shift+INSTALL removes them."""

import os
import unittest

import wineharness as wh
from pe_image import RT_VERSION, parse_version, read_resources
from test_wine_settings import FORWARD_SLASH_CLAP_FOLDER, settings_with
from wineharness import qv

# Click targets at the initial 600 x 600 content size (layout unit 6 pixels).
SELECT_ALL = (528, 147)
FORMAT_ROWS = {"VST3": (24, 180), "CLAP": (306, 180), "AAX": (24, 252)}   # top-left of 270 x 60
INSTALL = (546, 471)

BUNDLES = {"VST3": "Varnoly.vst3", "CLAP": "Varnoly.clap", "AAX": "Varnoly.aaxplugin"}

# Everything extraction creates inside each bundle folder; the CLAP bundle is a single file.
BUNDLE_CONTENTS = {
    "VST3": {"Contents", "Contents/Resources", "Contents/Resources/moduleinfo.json",
             "Contents/x86_64-win", "Contents/x86_64-win/Varnoly.vst3", "desktop.ini", "Plugin.ico"},
    "AAX": {"Contents", "Contents/x64", "Contents/x64/Varnoly.aaxplugin", "desktop.ini", "Plugin.ico"},
}
# The modules whose version resources the screen shows, inside their bundles.
VERSIONED_MODULES = {"VST3": "Contents/x86_64-win/Varnoly.vst3", "AAX": "Contents/x64/Varnoly.aaxplugin"}

DESKTOP_INI = b"[.ShellClassInfo]\r\nIconResource=Plugin.ico,0\r\nIconFile=Plugin.ico\r\nIconIndex=0\r\n"

INSTALLED_FILL = (0x02, 0x87, 0xC4)       # colourInstalled at alpha 0.9 over the background
NOT_INSTALLED_FILL = (0x46, 0x45, 0x45)   # colourText at alpha 0.35 over the background


def row_probe(name):
    """A point inside a format row, clear of its icon, texts and selection outline."""
    x, y = FORMAT_ROWS[name]
    return x + 260, y + 6


def row_centre(name):
    x, y = FORMAT_ROWS[name]
    return x + 135, y + 30


def tree(path):
    """All paths below a folder, relative and with "/" separators."""
    found = set()
    for folder, dirs, files in os.walk(path):
        for entry in dirs + files:
            found.add(os.path.relpath(os.path.join(folder, entry), path).replace(os.sep, "/"))
    return found


class InstallTest(unittest.TestCase):
    def setUp(self):
        self.prefix = wh.shared_prefix()
        self.prefix.reset()

    def bundle(self, name, folder=None):
        return os.path.join(self.prefix.unix_path(folder or wh.DEFAULT_FOLDERS[name]), BUNDLES[name])

    def assert_row_fill(self, app, name, colour):
        pixels = app.window_pixels()
        actual = pixels.at(*row_probe(name))
        self.assertTrue(qv.close_to(actual, colour), f"{name} row at {row_probe(name)}: {actual}, wanted {colour}")

    def test_clap_installs_into_a_forward_slash_folder_from_the_settings_file(self):
        os.makedirs(self.prefix.unix_path(wh.MAKER_FOLDER))
        with open(self.prefix.unix_path(wh.SETTINGS_FILE), "wb") as f:
            f.write(settings_with(FORWARD_SLASH_CLAP_FOLDER))
        app = wh.start_program(self, self.prefix)
        app.settle(1.0)

        app.click(*row_centre("CLAP"))
        app.click(*INSTALL)

        clap = self.bundle("CLAP", FORWARD_SLASH_CLAP_FOLDER)
        self.assertTrue(qv.wait_until(lambda: os.path.isfile(clap), 60, 0.2), f"{clap} not installed")
        self.assertEqual(os.listdir(os.path.dirname(clap)), [BUNDLES["CLAP"]])
        self.assertFalse(os.path.exists(self.bundle("CLAP")), "installed into the default folder too")
        self.assertEqual(app.close_and_wait(), 0, app.log())

    def test_select_all_installs_every_format_and_shift_install_removes_them(self):
        app = wh.start_program(self, self.prefix)
        app.settle(1.0)

        app.click(*SELECT_ALL)
        app.click(*INSTALL)

        bundles = {name: self.bundle(name) for name in BUNDLES}
        self.assertTrue(qv.wait_until(lambda: all(os.path.exists(b) for b in bundles.values()), 60, 0.2),
                        f"not all installed: {[n for n, b in bundles.items() if not os.path.exists(b)]}")
        # The run is synchronous: once the window answers again, every bundle is complete.
        app.settle(4.0)

        for name, bundle in sorted(bundles.items()):
            with self.subTest(format=name):
                self.assertEqual(os.listdir(os.path.dirname(bundle)), [BUNDLES[name]])
                if name == "CLAP":
                    self.assertTrue(os.path.isfile(bundle))
                    self.assertEqual([r for r in read_resources(bundle) if r.type == RT_VERSION], [],
                                     "the CLAP module carries no version resource")
                    continue
                self.assertEqual(tree(bundle), BUNDLE_CONTENTS[name])
                with open(os.path.join(bundle, "desktop.ini"), "rb") as f:
                    self.assertEqual(f.read(), DESKTOP_INI)
                versions = [r for r in read_resources(os.path.join(bundle, VERSIONED_MODULES[name]))
                            if r.type == RT_VERSION]
                self.assertEqual(len(versions), 1)
                self.assertEqual(parse_version(versions[0].data)["file_version"], (1, 0, 4, 0))

        # The result panel has faded; the rows show what is on disk.
        app.screenshot(os.path.join(qv.artifacts_dir(), "wine-after-install.png"))
        for name in BUNDLES:
            with self.subTest(row=name):
                self.assert_row_fill(app, name, INSTALLED_FILL)

        # Processed formats were deselected; select them again, then uninstall with Shift held.
        app.click(*SELECT_ALL)
        app.move_to(*INSTALL)
        app.key_down("shift")
        try:
            app.click(*INSTALL)
        finally:
            app.key_up("shift")

        self.assertTrue(qv.wait_until(lambda: not any(os.path.exists(b) for b in bundles.values()), 60, 0.2),
                        f"still installed: {[n for n, b in bundles.items() if os.path.exists(b)]}")
        app.settle(4.0)
        app.screenshot(os.path.join(qv.artifacts_dir(), "wine-after-uninstall.png"))
        for name in BUNDLES:
            with self.subTest(row=name):
                self.assert_row_fill(app, name, NOT_INSTALLED_FILL)
        # Removal takes the bundles only; the format folders stay.
        for name in BUNDLES:
            self.assertTrue(os.path.isdir(self.prefix.unix_path(wh.DEFAULT_FOLDERS[name])))

        self.assertEqual(app.close_and_wait(), 0, app.log())

    def test_a_failed_install_says_why_on_the_line_under_the_buttons(self):
        # A file where the VST3 folder belongs: the folder cannot be created, and CLAP still installs.
        vst3_folder = self.prefix.unix_path(wh.DEFAULT_FOLDERS["VST3"])
        os.makedirs(os.path.dirname(vst3_folder), exist_ok=True)
        with open(vst3_folder, "w") as f:
            f.write("not a folder")
        self.addCleanup(os.remove, vst3_folder)

        app = wh.start_program(self, self.prefix)
        app.settle(1.0)
        hint_strip = qv.Layout(600).bounds("HINT")

        def hint_pixels():
            return app.window_pixels().region(*hint_strip)

        app.click(*row_centre("VST3"))
        app.click(*row_centre("CLAP"))
        app.move_to(*INSTALL)
        installing_hint = hint_pixels()
        app.click(*INSTALL)

        clap = self.bundle("CLAP")
        self.assertTrue(qv.wait_until(lambda: os.path.isfile(clap), 60, 0.2), f"{clap} not installed")
        app.settle(1.0)
        app.screenshot(os.path.join(qv.artifacts_dir(), "wine-failure-sentence.png"))
        sentence = hint_pixels()
        # The sentence names the folder: far wider than the INSTALL hint it replaces.
        self.assertGreater(sentence.ink_columns((0x11, 0x11, 0x11)), installing_hint.ink_columns((0x11, 0x11, 0x11)) + 60)

        app.move_to(300, 120)
        self.assertEqual(hint_pixels().difference(sentence), 0, "leaving INSTALL keeps the sentence")
        self.assertTrue(os.path.isfile(vst3_folder))
        self.assertEqual(app.close_and_wait(), 0, app.log())


if __name__ == "__main__":
    unittest.main()
