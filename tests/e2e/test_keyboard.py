"""The real window from the keyboard alone: Tab moves a ring through the buttons, Space and Return
press them, Shift+Return uninstalls, Escape closes the licence. The mouse is never touched."""

import os
import unittest

import qvharness as qv
import screen
from screen import ScreenTestCase

DISC = (300, 332)                     # on the result icon's disc, below its mark
OUTLINE_PROBES = {"VST3": (293, 195), "CLAP": (575, 195), "AAX": (24, 270)}
ROW = (282, 210)                      # the VST3 row, clear of its texts
ORDER = ("VST3", "CLAP", "AAX", "SELECT_ALL", "INSTALL", "EULA", "MANUAL", "WEBSITE", "SUPPORT")


def ring_probe(layout, name):
    """A pixel on the focus ring: half way down the button's left side, 2 to 3 pixels outside it."""
    x, y, w, h = layout.bounds(name)
    return x - 3, y + h // 2


class KeyboardTest(ScreenTestCase):
    def setUp(self):
        super().setUp()
        self.app.focus()

    def assertRing(self, pixels, focused, what):
        for name in ORDER:
            expected = screen.ACTIVE if name == focused else screen.BACKGROUND
            self.assertPixel(pixels, *ring_probe(self.layout, name), expected, f"{what}: ring of {name}", tolerance=12)

    def assertSelected(self, pixels, selected, what):
        for fmt in screen.FORMATS:
            edge = pixels.at(*OUTLINE_PROBES[fmt])
            self.assertEqual(qv.close_to(edge, screen.SELECTED, 8), fmt in selected, f"{what}: {fmt} outline {edge}")

    def test_tab_space_and_return_install_vst3_and_escape_closes_the_licence(self):
        bundles = qv.bundle_paths()
        self.assertRing(self.pixels(), None, "at start")
        self.assertEqual(self.hint(), "1.0.5")

        self.app.key("Tab")
        pixels = self.pixels()
        self.shot("keyboard-focus-vst3.png")
        self.assertRing(pixels, "VST3", "after the first Tab")
        self.assertEqual(self.hint(), screen.install_hint("VST3"))

        self.app.key("space")
        self.assertSelected(self.pixels(), {"VST3"}, "after Space")

        self.app.key("Tab", repeat=4)
        pixels = self.pixels()
        self.assertRing(pixels, "INSTALL", "four Tabs on")
        self.assertEqual(self.hint(), screen.EXTRA_HINTS["INSTALL"])

        self.app.key("Return")
        shown = self.wait_for_pixel(*DISC, screen.is_green)
        self.assertIsNotNone(shown, "the success panel did not appear")
        self.shot("keyboard-install-success.png")
        self.assertTrue(os.path.isdir(bundles[0]), bundles[0])
        self.assertFalse(os.path.lexists(bundles[1]), bundles[1])
        self.assertFalse(os.path.lexists(bundles[2]), bundles[2])
        qv.wait_until(lambda: qv.close_to(self.pixels().at(*DISC), screen.BACKGROUND, 3), 6.0)

        # On to the licence, open it, close it; the focus is back on its button.
        self.app.key("Tab")
        self.assertRing(self.pixels(), "EULA", "on EULA")
        self.assertEqual(self.hint(), screen.EXTRA_HINTS["EULA"])

        self.app.key("Return")
        opened = self.pixels()
        self.shot("keyboard-eula-open.png")
        self.assertPixel(opened, *ROW, screen.BACKGROUND, "the licence covers the rows")

        self.app.key("Tab", "space")  # the buttons under the licence are out of reach
        self.assertPixel(self.pixels(), *ROW, screen.BACKGROUND, "still open after Tab and Space")

        self.app.key("Escape")
        closed = self.pixels()
        self.shot("keyboard-eula-closed.png")
        self.assertPixel(closed, *ROW, screen.ROW_INSTALLED, "the rows again after Escape")
        self.assertRing(closed, "EULA", "the focus back on EULA")

    def test_shift_tab_goes_back_and_shift_return_uninstalls(self):
        bundles = qv.bundle_paths()

        # Shift+Tab enters at the end and wraps back round to the start.
        self.app.key("shift+Tab")
        self.assertRing(self.pixels(), "SUPPORT", "after the first Shift+Tab")
        self.app.key("shift+Tab", repeat=8)
        self.assertRing(self.pixels(), "VST3", "eight more back")
        self.app.key("shift+Tab")
        self.assertRing(self.pixels(), "SUPPORT", "wrapped")
        self.app.key("Tab")
        self.assertRing(self.pixels(), "VST3", "and forward again")

        # Install CLAP and AAX, then uninstall AAX with Shift+Return.
        self.app.key("Tab", "space", "Tab", "space", "Tab", "Tab", "Return")
        self.assertIsNotNone(self.wait_for_pixel(*DISC, screen.is_green), "no success panel after the install")
        self.assertEqual([os.path.lexists(p) for p in bundles], [False, True, True])
        qv.wait_until(lambda: qv.close_to(self.pixels().at(*DISC), screen.BACKGROUND, 3), 6.0)

        self.app.key("shift+Tab", "shift+Tab", "space")
        self.assertSelected(self.pixels(), {"AAX"}, "AAX selected again")
        self.app.key("Tab", "Tab", "shift+Return")
        self.assertIsNotNone(self.wait_for_pixel(*DISC, screen.is_green), "no success panel after the uninstall")
        self.shot("keyboard-uninstall-success.png")
        self.assertEqual([os.path.lexists(p) for p in bundles], [False, True, False])


if __name__ == "__main__":
    unittest.main()
