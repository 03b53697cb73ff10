"""The road of one install on the real window: select, install, see the result, uninstall with Shift."""

import os
import unittest

import qvharness as qv
import screen
from screen import ScreenTestCase

DISC = (300, 332)       # on the result icon's disc, below its mark
# Clear of texts, icons and the result box; the outline probes lie on a row's edge, inside the stroke.
ROW_PROBES = {"VST3": (282, 190), "CLAP": (564, 190), "AAX": (200, 258)}
OUTLINE_PROBES = {"VST3": (293, 195), "CLAP": (575, 195), "AAX": (24, 270)}


class InstallFlowTest(ScreenTestCase):
    def assert_rows(self, pixels, fill, selected, what):
        for fmt in screen.FORMATS:
            self.assertPixel(pixels, *ROW_PROBES[fmt], fill, f"{what}: {fmt} row")
            edge = pixels.at(*OUTLINE_PROBES[fmt])
            self.assertEqual(qv.close_to(edge, screen.SELECTED, 8), selected, f"{what}: {fmt} outline {edge}")

    def test_select_all_install_then_shift_uninstall(self):
        bundles = qv.bundle_paths()

        self.hover("VST3")
        self.assertEqual(self.hint(), screen.install_hint("VST3"))

        self.click("SELECT_ALL")
        self.assert_rows(self.pixels(), screen.ROW_ABSENT, True, "all selected")

        self.click("INSTALL")
        shown = self.wait_for_pixel(*DISC, screen.is_green)
        self.assertIsNotNone(shown, "the success panel did not appear")
        self.shot("install-success.png")

        self.assertTrue(os.path.isdir(bundles[0]), bundles[0])
        self.assertTrue(os.path.isfile(bundles[1]), bundles[1])
        self.assertTrue(os.path.isdir(bundles[2]), bundles[2])
        self.assert_rows(shown, screen.ROW_INSTALLED, False, "after the install")

        self.hover("CLAP")
        self.assertEqual(self.hint(), screen.update_hint("CLAP"))

        # The fade is over after three seconds.
        qv.wait_until(lambda: qv.close_to(self.pixels().at(*DISC), screen.BACKGROUND, 3), 6.0)
        self.assertPixel(self.pixels(), *DISC, screen.BACKGROUND, "after the fade")

        # Shift turns INSTALL into UNINSTALL while held.
        self.click("SELECT_ALL")
        self.hover("INSTALL")
        caption = (500, 505, 92, 18)
        plain = self.pixels().region(*caption).ink_columns(screen.BACKGROUND)
        self.app.key_down("shift")
        self.addCleanup(lambda: self.app.xdotool("keyup", "shift"))
        shifted = self.pixels().region(*caption).ink_columns(screen.BACKGROUND)
        self.assertGreater(shifted, plain + 10, "the caption should read UNINSTALL")
        self.assertEqual(self.hint(), screen.EXTRA_HINTS["INSTALL"])
        self.shot("shift-held.png")

        self.app.click(*self.layout.centre("INSTALL"))
        shown = self.wait_for_pixel(*DISC, screen.is_green)
        self.app.key_up("shift")
        self.assertIsNotNone(shown, "the success panel did not appear after the uninstall")
        self.shot("uninstall-success.png")

        for path in bundles:
            self.assertFalse(os.path.lexists(path), path)
        self.assert_rows(shown, screen.ROW_ABSENT, False, "after the uninstall")
        self.assertEqual(self.pixels().region(*caption).ink_columns(screen.BACKGROUND), plain,
                         "the caption reads INSTALL again once Shift is up")

    def test_install_with_nothing_selected_reports_failure(self):
        self.click("INSTALL")
        shown = self.wait_for_pixel(*DISC, screen.is_orange)
        self.assertIsNotNone(shown, "the failure panel did not appear")
        self.shot("install-nothing-selected.png")

        for path in qv.bundle_paths():
            self.assertFalse(os.path.lexists(path), path)


if __name__ == "__main__":
    unittest.main()
