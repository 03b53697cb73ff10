"""The Windows program's window under Wine: title, size, centring, and a clean exit on close."""

import os
import unittest

import wineharness as wh
from wineharness import qv


class WineWindowTest(unittest.TestCase):
    def setUp(self):
        self.prefix = wh.shared_prefix()
        self.prefix.reset()

    def test_opens_square_centred_titled_and_closes_with_exit_code_zero(self):
        app = wh.start_program(self, self.prefix)
        app.settle(1.0)
        self.assertEqual(app.title(), "qv_installer")

        x, y, width, height = app.geometry()
        self.assertEqual((width, height), (600, 600))
        self.assertEqual((x, y), ((qv.SCREEN_WIDTH - 600) // 2, (qv.SCREEN_HEIGHT - 600) // 2))

        app.screenshot(os.path.join(qv.artifacts_dir(), "wine-window-600.png"))
        pixels = app.window_pixels()
        # The screen's background colour, drawn by the program and not left to Wine.
        self.assertTrue(qv.close_to(pixels.at(300, 590), (0x11, 0x11, 0x11)), pixels.at(300, 590))

        self.assertEqual(app.close_and_wait(), 0, app.log())


if __name__ == "__main__":
    unittest.main()
