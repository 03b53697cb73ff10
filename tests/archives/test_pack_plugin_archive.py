#!/usr/bin/env python3
"""Tests of tools/archives/pack_plugin_archive.py on small bundles.

Usage: test_pack_plugin_archive.py PATH/TO/pack_plugin_archive.py
"""

import os
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

PACKER = None


def pack(source, output, *extra):
    return subprocess.run([sys.executable, PACKER, *extra, str(source), str(output)], capture_output=True, text=True)


def make_files(root, files):
    for relative, content in files.items():
        path = Path(root) / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)


class PackerTests(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = Path(self.folder.name)
        self.output = self.root / "out" / "vst3.zip"

    def tearDown(self):
        self.folder.cleanup()

    @staticmethod
    def make_vst3_bundle(root, name="Varnoly.vst3"):
        bundle = root / name
        # Created in an order unlike the archive order, so the packer's sorting is what is tested.
        make_files(bundle, {
            "Contents/x86_64-win/Varnoly.vst3": b"MZ" + bytes(range(256)) * 40,
            "Plugin.ico": b"\0\0\1\0" + b"icon" * 100,
            "Contents/Resources/moduleinfo.json": b"{\r\n}\r\n",
            "desktop.ini": b"[.ShellClassInfo]\r\n",
        })
        return bundle

    def test_bundle_folder_gives_the_ordered_table(self):
        bundle = self.make_vst3_bundle(self.root)
        result = pack(bundle, self.output)
        self.assertEqual(result.returncode, 0, result.stderr)

        with zipfile.ZipFile(self.output) as archive:
            infos = archive.infolist()
            # Case-insensitive order puts desktop.ini before Plugin.ico.
            self.assertEqual([(info.filename, info.compress_type) for info in infos], [
                ("Varnoly.vst3\\Contents\\", zipfile.ZIP_STORED),
                ("Varnoly.vst3\\desktop.ini", zipfile.ZIP_DEFLATED),
                ("Varnoly.vst3\\Plugin.ico", zipfile.ZIP_DEFLATED),
                ("Varnoly.vst3\\Contents\\Resources\\moduleinfo.json", zipfile.ZIP_DEFLATED),
                ("Varnoly.vst3\\Contents\\x86_64-win\\Varnoly.vst3", zipfile.ZIP_DEFLATED),
            ])
            self.assertEqual(infos[0].file_size, 0)
            for info in infos[1:]:
                relative = info.filename.split("\\", 1)[1].replace("\\", "/")
                self.assertEqual(archive.read(info), (bundle / relative).read_bytes(), info.filename)

    def test_output_does_not_depend_on_file_times(self):
        bundle = self.make_vst3_bundle(self.root)
        first = self.root / "first.zip"
        second = self.root / "second.zip"
        self.assertEqual(pack(bundle, first).returncode, 0)
        for path in bundle.rglob("*"):
            os.utime(path, (1_000_000_000, 1_000_000_000))
        self.assertEqual(pack(bundle, second).returncode, 0)
        self.assertEqual(first.read_bytes(), second.read_bytes())

    def test_single_file_gives_one_entry(self):
        plugin = self.root / "Varnoly.clap"
        plugin.write_bytes(b"MZ" + b"\0" * 1000)
        result = pack(plugin, self.output, "--bundle-name", "Varnoly.clap")
        self.assertEqual(result.returncode, 0, result.stderr)
        with zipfile.ZipFile(self.output) as archive:
            self.assertEqual(archive.namelist(), ["Varnoly.clap"])
            self.assertEqual(archive.read("Varnoly.clap"), plugin.read_bytes())

    def test_refusals(self):
        def symlinked_file(root):
            bundle = self.make_vst3_bundle(root)
            os.symlink(bundle / "desktop.ini", bundle / "Contents" / "link.ini")
            return bundle, []

        def symlinked_folder(root):
            bundle = self.make_vst3_bundle(root)
            os.symlink(root, bundle / "Contents" / "Escape")
            return bundle, []

        def symlinked_bundle(root):
            bundle = self.make_vst3_bundle(root, "Real.vst3")
            os.symlink(bundle, root / "Varnoly.vst3")
            return root / "Varnoly.vst3", []

        def other_bundle_name(root):
            return self.make_vst3_bundle(root, "Other.vst3"), ["--bundle-name", "Varnoly.vst3"]

        def other_case(root):
            return self.make_vst3_bundle(root, "varnoly.vst3"), ["--bundle-name", "Varnoly.vst3"]

        def other_plugin_file(root):
            plugin = root / "Varnoly-1.clap"
            plugin.write_bytes(b"MZ")
            return plugin, ["--bundle-name", "Varnoly.clap"]

        def names_colliding_on_windows(root):
            bundle = self.make_vst3_bundle(root)
            (bundle / "DESKTOP.INI").write_bytes(b"x")
            return bundle, []

        def non_ascii_name(root):
            bundle = self.make_vst3_bundle(root)
            (bundle / "Contents" / "Résumé.txt").write_bytes(b"x")
            return bundle, []

        cases = [
            (symlinked_file, "symbolic link"),
            (symlinked_folder, "symbolic link"),
            (symlinked_bundle, "symbolic link"),
            (other_bundle_name, "bundle name"),
            (other_case, "bundle name"),
            (other_plugin_file, "bundle name"),
            (names_colliding_on_windows, "differ only in case"),
            (non_ascii_name, "cannot carry"),
        ]

        for make_case, message in cases:
            with self.subTest(case=make_case.__name__):
                case_root = self.root / make_case.__name__
                case_root.mkdir()
                source, extra = make_case(case_root)
                output = case_root / "out" / "archive.zip"
                result = pack(source, output, *extra)

                self.assertNotEqual(result.returncode, 0)
                self.assertIn(message, result.stderr)
                self.assertFalse(output.exists(), "no archive is left behind")
                leftovers = list(output.parent.iterdir()) if output.parent.exists() else []
                self.assertEqual(leftovers, [], "no temporary file is left behind")


if __name__ == "__main__":
    PACKER = sys.argv.pop(1)
    unittest.main(verbosity=2)
