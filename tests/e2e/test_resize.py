"""The real window resized to 900 x 900: the screen lays itself out on the larger grid."""

import unittest

import qvharness as qv
import screen
from screen import ScreenTestCase


class ResizeTest(ScreenTestCase):
    def test_900_by_900_scales_the_grid_and_keeps_working(self):
        self.app.move_window(0, 0)  # room for the larger window on the screen
        self.app.resize(900, 900)
        self.assertEqual(self.app.geometry()[2:], (900, 900))

        pixels = self.pixels()
        self.shot("window-900.png")
        self.assertEqual((pixels.width, pixels.height), (900, 900))

        # Extras round half to even: 139.5 -> 140, 346.5 -> 346, 661.5 -> 662.
        probes = [
            ("top bar", (450, 8), screen.INSTALLED),
            ("below the top bar", (450, 9), screen.BACKGROUND),
            ("EULA tile", (40, 707), screen.GREY_IDLE),
            ("MANUAL tile's first column", (140, 707), screen.GREY_IDLE),
            ("left of MANUAL", (139, 707), screen.BACKGROUND),
            ("SUPPORT tile's first column", (346, 707), screen.GREY_IDLE),
            ("left of SUPPORT", (345, 707), screen.BACKGROUND),
            ("EULA tile's top row", (80, 662), screen.GREY_IDLE),
            ("above EULA", (80, 661), screen.BACKGROUND),
            ("SELECT ALL", (724, 220), screen.SELECT_ALL_IDLE),
            ("VST3 row", (423, 315), screen.ROW_ABSENT),
            ("INSTALL tile", (778, 707), screen.GREY_IDLE),
            ("grip dot", (886, 886), screen.GREY_IDLE),
        ]
        for what, (x, y), colour in probes:
            self.assertPixel(pixels, x, y, colour, what)

        layout = qv.Layout(900)
        self.hover("CLAP", layout)
        self.assertEqual(self.hint(900), screen.install_hint("CLAP"))
        self.hover("EULA", layout)
        self.assertPixel(self.pixels(), 40, 707, screen.GREY_HOVER, "hovered EULA tile")

        self.click("EULA", layout)
        self.assertPixel(self.pixels(), 450, 5, screen.BACKGROUND, "the licence panel covers the larger screen")
        self.shot("eula-900.png")
        self.click("X", layout)
        closed = self.pixels()
        self.assertPixel(closed, 450, 5, screen.INSTALLED, "closed at its new place")
        self.assertPixel(closed, 423, 315, screen.ROW_ABSENT, "the rows are back")


if __name__ == "__main__":
    unittest.main()
