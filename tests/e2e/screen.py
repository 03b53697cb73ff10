"""What the end-to-end screen tests share: the palette as it reaches the screen, the hint texts,
and a test case that starts the program on a fresh virtual display with its links recorded."""

import os
import unittest

import qvharness as qv

BACKGROUND = (0x11, 0x11, 0x11)
TEXT = (0xAA, 0xA6, 0xA6)
TEXT_BRIGHT = (0xF5, 0xF5, 0xF5)
INSTALLED = (0x00, 0x94, 0xD8)
SELECTED = (0xD3, 0xC5, 0x5F)
ACTIVE = (0x86, 0xCF, 0x7A)


def over_background(colour, alpha):
    return tuple(round(b + (c - b) * alpha) for c, b in zip(colour, BACKGROUND))


GREY_IDLE = over_background(TEXT, 0.5)       # extras and tiles; also an absent, hovered row
GREY_HOVER = over_background(TEXT, 0.75)
ROW_ABSENT = over_background(TEXT, 0.35)
ROW_INSTALLED = over_background(INSTALLED, 0.9)
SELECT_ALL_IDLE = over_background(TEXT, 0.1)

FORMATS = ("VST3", "CLAP", "AAX")
EXTRA_HINTS = {
    "EULA": "Click to read End-User License Agreement",
    "MANUAL": "Click to open product manual in your web browser",
    "WEBSITE": "Click to open product page on the Quorvane website",
    "SUPPORT": "Email and Discord support",
    "INSTALL": "Click to install selected. Shift-click to uninstall selected",
}


def install_hint(fmt):
    return f"Select to install {fmt}"


def update_hint(fmt):
    return f"Select to update {fmt} to 1.0.4"


HINTS = qv.HintReader(["", "1.0.5", *EXTRA_HINTS.values(),
                       *(install_hint(f) for f in FORMATS), *(update_hint(f) for f in FORMATS)])

MANUAL_URL = "https://docs.quorvane-audio.example/manuals/Varnoly_Manual.pdf"
PRODUCT_URL = "https://shop.quorvane-audio.example/collections/software/products/varnoly"
DISCORD_URL = "https://discord.gg/quorvane-example"
MAIL_URL = "mailto:support@quorvane-audio.example"


def is_green(pixel):
    """The success icon's disc, at any point of its fade that is still clearly visible."""
    r, g, b = pixel
    return g > r + 50 and g > b + 50


def is_orange(pixel):
    r, g, b = pixel
    return r > g + 20 and g > b + 40


class ScreenTestCase(unittest.TestCase):
    """The program on its own virtual display, no bundles installed, links recorded."""

    account = None  # an Account to run the program as; set by a subclass before setUp

    def setUp(self):
        qv.require_tools()
        qv.require_sandbox()
        qv.remove_bundles()
        self.links = qv.LinkRecorder()
        self.addCleanup(self.links.close)
        self.display = qv.VirtualDisplay()
        self.addCleanup(self.display.close)
        self.app = qv.InstallerWindow(self.display, qv.program_path(), extra_env=self.links.env(),
                                      account=self.account)
        self.addCleanup(self.app.kill)
        self.app.settle(1.0)
        self.layout = qv.Layout(600)

    def pixels(self):
        return self.app.window_pixels()

    def click(self, name, layout=None):
        self.app.click(*(layout or self.layout).centre(name))

    def hover(self, name, layout=None):
        self.app.move_to(*(layout or self.layout).centre(name))

    def hint(self, width=600, reader=HINTS):
        return reader.read(self.pixels(), width)

    def shot(self, name):
        return self.app.screenshot(os.path.join(qv.artifacts_dir(), name))

    def assertPixel(self, pixels, x, y, expected, what, tolerance=3):
        actual = pixels.at(x, y)
        self.assertTrue(qv.close_to(actual, expected, tolerance), f"{what} at ({x}, {y}): {actual}, expected {expected}")

    def wait_for_pixel(self, x, y, test, timeout=20.0):
        """Polls the window until the pixel passes `test`; returns the pixels that passed, or None."""
        found = []

        def check():
            pixels = self.pixels()
            if test(pixels.at(x, y)):
                found.append(pixels)
                return True
            return False

        qv.wait_until(check, timeout, interval=0.02)
        return found[0] if found else None
