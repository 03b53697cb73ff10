"""The extras on the real window: licence and support panels open and close, links reach the
system's handler, and the hint line names the button under the pointer."""

import unittest

import screen
from screen import ScreenTestCase

ROW = (282, 210)          # the VST3 row, clear of its texts
TITLE = (24, 14, 260, 24)  # the licence title's band


def brightest(pixels, x, y, width, height):
    return max((pixels.at(x + i, y + j) for i in range(width) for j in range(height)), key=sum)


class PanelsTest(ScreenTestCase):
    def test_licence_panel_opens_over_the_screen_and_closes(self):
        self.assertPixel(self.pixels(), *ROW, screen.ROW_ABSENT, "row before")

        self.click("EULA")
        opened = self.pixels()
        self.shot("eula-open.png")
        self.assertPixel(opened, *ROW, screen.BACKGROUND, "the panel covers the rows")
        self.assertPixel(opened, 300, 2, screen.BACKGROUND, "and the top bar")
        self.assertGreaterEqual(min(brightest(opened, *TITLE)), 0xE8, "the bright title")

        self.click("X")
        closed = self.pixels()
        self.assertPixel(closed, *ROW, screen.ROW_ABSENT, "row after closing")
        self.assertPixel(closed, 300, 2, screen.INSTALLED, "top bar after closing")

        # Opened again, it is a fresh panel over the screen.
        self.click("EULA")
        self.assertPixel(self.pixels(), *ROW, screen.BACKGROUND, "reopened")
        self.click("X")
        self.assertPixel(self.pixels(), *ROW, screen.ROW_ABSENT, "closed again")

    def test_support_panel_shows_its_tiles_and_closes(self):
        self.click("SUPPORT")
        opened = self.pixels()
        self.shot("support-open.png")
        self.assertPixel(opened, *ROW, screen.BACKGROUND, "the panel covers the rows")
        self.assertPixel(opened, 63, 120, screen.GREY_IDLE, "Discord tile")
        self.assertPixel(opened, 63, 240, screen.GREY_IDLE, "e-mail tile")

        self.hover("DISCORD")
        self.assertPixel(self.pixels(), 63, 120, screen.GREY_HOVER, "hovered Discord tile")

        self.click("X")
        self.assertPixel(self.pixels(), *ROW, screen.ROW_ABSENT, "row after closing")


class LinksTest(ScreenTestCase):
    def test_manual_website_discord_and_mail_reach_the_systems_handler(self):
        self.click("MANUAL")
        self.assertEqual(self.links.wait_for(1), [screen.MANUAL_URL])

        self.click("WEBSITE")
        self.assertEqual(self.links.wait_for(2), [screen.MANUAL_URL, screen.PRODUCT_URL])

        self.click("SUPPORT")
        self.click("DISCORD")
        self.assertEqual(self.links.wait_for(3)[2:], [screen.DISCORD_URL])
        self.click("MAIL")
        self.assertEqual(self.links.wait_for(4)[3:], [screen.MAIL_URL])

        # The support panel stays open after its links.
        self.assertPixel(self.pixels(), 63, 120, screen.GREY_IDLE, "Discord tile, still there")
        self.click("X")
        self.assertPixel(self.pixels(), *ROW, screen.ROW_ABSENT, "row after closing")
        self.assertEqual(len(self.links.links()), 4)


class HintsTest(ScreenTestCase):
    def test_the_hint_line_names_the_button_under_the_pointer(self):
        self.assertEqual(self.hint(), "1.0.5", "the installer's version until the first hover")
        self.hover("SELECT_ALL")
        self.assertEqual(self.hint(), "1.0.5", "SELECT ALL leaves the hint as it is")

        for name, text in screen.EXTRA_HINTS.items():
            with self.subTest(name):
                self.hover(name)
                self.assertEqual(self.hint(), text)

        for fmt in screen.FORMATS:
            with self.subTest(fmt):
                self.hover(fmt)
                self.assertEqual(self.hint(), screen.install_hint(fmt))

        self.app.move_to(300, 360)  # between the rows and the extras: over no button
        self.assertEqual(self.hint(), "")
        self.shot("hint-cleared.png")


if __name__ == "__main__":
    unittest.main()
