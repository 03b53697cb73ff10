"""The Windows program where DXGI cannot be had, as in some virtual machines and remote sessions.

Wine's DXGI runs on wined3d, which needs OpenGL; on an X server without the GLX extension Wine has
none, and CreateDXGIFactory fails. JUCE then gets no DXGI factory and so never a vertical blank:
the window must still open, paint, follow clicks and install, with its repaints passed on by the
program itself. The case has a prefix and display of its own, booted for it."""

import os
import subprocess
import unittest

import wineharness as wh
from test_wine_install import (BUNDLE_CONTENTS, BUNDLES, INSTALL, INSTALLED_FILL, NOT_INSTALLED_FILL,
                               row_centre, row_probe, tree)
from wineharness import qv

BACKGROUND = (0x11, 0x11, 0x11)


class WithoutDxgiTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = wh.WinePrefix(display_args=("-extension", "GLX"))
        cls.addClassCleanup(cls.prefix.close)

    def assert_dxgi_unavailable(self):
        """The probe asks for a factory as JUCE does; if it gets one, this case tests nothing."""
        probe = subprocess.run(["wine", os.environ["QV_DXGI_PROBE"]], env=self.prefix.env, cwd=self.prefix.root,
                               capture_output=True, text=True, timeout=120)
        self.assertEqual(probe.returncode, 1, f"DXGI is available on this display: {probe.stdout}{probe.stderr}")

    def assert_pixel(self, app, point, colour, what):
        actual = app.window_pixels().at(*point)
        self.assertTrue(qv.close_to(actual, colour), f"{what} at {point}: {actual}, wanted {colour}")

    def test_window_paints_follows_clicks_and_installs_vst3(self):
        self.assert_dxgi_unavailable()

        app = wh.start_program(self, self.prefix)
        app.settle(1.0)
        self.assertEqual(app.geometry()[2:], (600, 600))
        app.screenshot(os.path.join(qv.artifacts_dir(), "wine-without-dxgi-start.png"))
        self.assert_pixel(app, (300, 590), BACKGROUND, "background")
        self.assert_pixel(app, row_probe("VST3"), NOT_INSTALLED_FILL, "VST3 row")

        app.click(*row_centre("VST3"))
        app.click(*INSTALL)

        bundle = os.path.join(self.prefix.unix_path(wh.DEFAULT_FOLDERS["VST3"]), BUNDLES["VST3"])
        self.assertTrue(qv.wait_until(lambda: os.path.isdir(bundle) and tree(bundle) == BUNDLE_CONTENTS["VST3"],
                                      60, 0.2),
                        f"{bundle} not installed: {tree(bundle) if os.path.isdir(bundle) else 'missing'}")

        # Once the result panel has faded, the row shows what is on disk: the repaint reached the
        # screen with no vertical blank to carry it.
        app.settle(4.0)
        app.screenshot(os.path.join(qv.artifacts_dir(), "wine-without-dxgi-installed.png"))
        self.assert_pixel(app, row_probe("VST3"), INSTALLED_FILL, "VST3 row after the install")

        self.assertEqual(app.close_and_wait(), 0, app.log())


if __name__ == "__main__":
    unittest.main()
