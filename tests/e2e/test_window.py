"""The real window: title, size, centring, a first look, and a clean exit on close."""

import os
import unittest

import qvharness as qv


class WindowTest(unittest.TestCase):
    def setUp(self):
        qv.require_tools()
        self.display = qv.VirtualDisplay()
        self.addCleanup(self.display.close)
        self.app = qv.InstallerWindow(self.display, qv.program_path())
        self.addCleanup(self.app.kill)

    def test_opens_square_centred_titled_and_closes_with_exit_code_zero(self):
        self.app.settle(1.0)
        self.assertEqual(self.app.title(), "qv_installer")

        x, y, width, height = self.app.geometry()
        self.assertEqual((width, height), (600, 600))
        self.assertEqual((x, y), ((qv.SCREEN_WIDTH - 600) // 2, (qv.SCREEN_HEIGHT - 600) // 2))

        self.app.screenshot(os.path.join(qv.artifacts_dir(), "window-600.png"))
        pixels = self.app.window_pixels()
        self.assertEqual((pixels.width, pixels.height), (600, 600))
        # The screen's background colour fills the window.
        self.assertTrue(qv.close_to(pixels.at(300, 590), (0x11, 0x11, 0x11)), pixels.at(300, 590))

        self.app.close()
        self.assertEqual(self.app.wait(), 0)

    def test_two_instances_run_side_by_side(self):
        second = qv.InstallerWindow(self.display, qv.program_path())
        self.addCleanup(second.kill)
        self.assertNotEqual(second.window, self.app.window)

        second.close()
        self.assertEqual(second.wait(), 0)
        self.assertIsNone(self.app.process.poll(), "closing one window must not end the other")

        self.app.close()
        self.assertEqual(self.app.wait(), 0)


if __name__ == "__main__":
    unittest.main()
