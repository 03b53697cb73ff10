"""The shared settings file on a first run and with a hand-edited file, under Wine, where the
maker folder is the real C:\\ProgramData\\Quorvane of the (throw-away) prefix."""

import os
import unittest

import wineharness as wh

SETTINGS_NOTE = (
    "These are the paths that all Quorvane installers will use for their respective formats. "
    "Edit them to personal taste, but keep in mind that some formats have specific homes. "
    "Use this feature at your own risk; follow the naming and separator conventions exactly as you "
    "see them, or you could end up with unintended consequences. If you delete this file, the next "
    "time you run the Plugin Manager for any QV product, a new one with the default locations will "
    "be written.")

# What a first run writes: JUCE's default XML text format, attributes wrapped after 60 characters
# under a 24-space indent, CR LF line ends, no byte-order mark.
DEFAULT_SETTINGS = (
    '<?xml version="1.0" encoding="UTF-8"?>\r\n'
    '\r\n'
    '<Plugin_Manager_Settings Important_Note:="' + SETTINGS_NOTE + '"\r\n'
    + ' ' * 24 + ' CLAP_Path="' + wh.DEFAULT_FOLDERS["CLAP"] + '" VST3_Path="' + wh.DEFAULT_FOLDERS["VST3"] + '"\r\n'
    + ' ' * 24 + ' AAX_Path="' + wh.DEFAULT_FOLDERS["AAX"] + '"/>\r\n').encode("ascii")

FORWARD_SLASH_CLAP_FOLDER = "C:/Plugins/CLAP"


def settings_with(clap_path):
    """A hand-edited file: the defaults, but CLAP installed into clap_path."""
    return DEFAULT_SETTINGS.replace(
        ('CLAP_Path="' + wh.DEFAULT_FOLDERS["CLAP"] + '"').encode(),
        ('CLAP_Path="' + clap_path + '"').encode())


class SettingsFileTest(unittest.TestCase):
    def setUp(self):
        self.prefix = wh.shared_prefix()
        self.prefix.reset()
        self.maker_folder = self.prefix.unix_path(wh.MAKER_FOLDER)
        self.settings_file = self.prefix.unix_path(wh.SETTINGS_FILE)

    def run_once(self):
        app = wh.start_program(self, self.prefix)
        app.settle(1.0)
        self.assertEqual(app.close_and_wait(), 0, app.log())

    def default_folders_created(self):
        return [name for name, folder in sorted(wh.DEFAULT_FOLDERS.items())
                if os.path.exists(self.prefix.unix_path(folder))]

    def test_worked_example_written_when_the_maker_folder_exists(self):
        self.assertEqual(len(DEFAULT_SETTINGS), 762)
        os.makedirs(self.maker_folder)

        self.run_once()

        with open(self.settings_file, "rb") as f:
            self.assertEqual(f.read(), DEFAULT_SETTINGS)
        # The file replaced its temporary twin, which must not be left behind.
        self.assertEqual(os.listdir(self.maker_folder), ["PluginManagerSettings.txt"])
        # Writing the file creates none of the folders it names.
        self.assertEqual(self.default_folders_created(), [])

    def test_nothing_created_without_the_maker_folder(self):
        self.run_once()

        self.assertFalse(os.path.exists(self.maker_folder))
        self.assertEqual(self.default_folders_created(), [])

    def test_forward_slash_folder_is_created_at_start_and_the_file_kept(self):
        os.makedirs(self.maker_folder)
        content = settings_with(FORWARD_SLASH_CLAP_FOLDER)
        with open(self.settings_file, "wb") as f:
            f.write(content)

        self.run_once()

        self.assertTrue(os.path.isdir(self.prefix.unix_path(FORWARD_SLASH_CLAP_FOLDER)))
        # The folders the file names are made with their parents; the default CLAP folder is not.
        self.assertEqual(self.default_folders_created(), ["AAX", "VST3"])
        with open(self.settings_file, "rb") as f:
            self.assertEqual(f.read(), content, "a file that was read must never be rewritten")


if __name__ == "__main__":
    unittest.main()
