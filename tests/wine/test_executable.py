#!/usr/bin/python3
"""Reads the built qv_installer.exe: one manifest asking for administrator rights and common
controls 6, the two icon groups with their four images, one version block, and imports from system
DLLs only, so that it runs without any MinGW runtime next to it.

Usage: test_executable.py QV_INSTALLER_EXE [PROGRAM_ICO]
PROGRAM_ICO, the .ico the build generated, makes the test also compare the icon images byte for byte.
"""

import os
import struct
import sys
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_image import (RT_GROUP_ICON, RT_ICON, RT_MANIFEST, RT_VERSION, parse_group_icon,
                      parse_ico_file, parse_version, read_imported_dlls, read_resources)

EXECUTABLE = None
PROGRAM_ICO = None

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"

VERSION_STRINGS = {
    "CompanyName": "Quorvane",
    "FileDescription": "qv_installer",
    "FileVersion": "1.0.5",
    "ProductName": "qv_installer",
    "ProductVersion": "1.0.5",
}

# (size, bits per pixel, stored as PNG) of every image in each icon group.
ICON_IMAGES = [(16, 32, False), (32, 32, False), (48, 32, False), (256, 32, True)]

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
VFT_APP = 1


# The DLLs a MinGW build pulls in when something is linked dynamically: the compiler's runtime
# (libstdc++-6, libgcc_s_seh-1, libwinpthread-1) and the image libraries (libpng16, libjpeg-62, zlib1).
# Windows' own DLLs never carry a "lib" prefix.
def is_mingw_runtime(dll):
    name = dll.lower()
    return name.startswith("lib") or name == "zlib1.dll"


class ExecutableImports(unittest.TestCase):
    def test_imports_only_system_dlls(self):
        dlls = read_imported_dlls(EXECUTABLE)
        self.assertIn("kernel32.dll", [d.lower() for d in dlls])
        self.assertEqual([d for d in dlls if is_mingw_runtime(d)], [])


class ExecutableResources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.resources = read_resources(EXECUTABLE)

    def of_type(self, rtype):
        return [r for r in self.resources if r.type == rtype]

    def test_one_manifest_and_one_version_block(self):
        # A second script (JUCE's generated one, a toolchain default) would leave a duplicate that the
        # linker keeps silently or drops in favour of the wrong one.
        for rtype, label in ((RT_MANIFEST, "RT_MANIFEST"), (RT_VERSION, "RT_VERSION")):
            with self.subTest(label):
                self.assertEqual(len(self.of_type(rtype)), 1, f"{label} leaves: {self.of_type(rtype)}")

    def test_manifest(self):
        manifests = self.of_type(RT_MANIFEST)
        self.assertTrue(manifests, "no RT_MANIFEST")
        manifest = manifests[0]
        # Resource 1 is the one the loader applies to an executable.
        self.assertEqual(manifest.name, 1)
        root = ElementTree.fromstring(manifest.data)
        self.assertEqual(root.tag, ASM_V1 + "assembly")

        levels = root.findall(f"{ASM_V3}trustInfo/{ASM_V3}security/{ASM_V3}requestedPrivileges/"
                              f"{ASM_V3}requestedExecutionLevel")
        self.assertEqual(len(levels), 1)
        self.assertEqual(levels[0].attrib, {"level": "requireAdministrator", "uiAccess": "false"})

        identities = root.findall(f"{ASM_V1}dependency/{ASM_V1}dependentAssembly/{ASM_V1}assemblyIdentity")
        self.assertEqual(len(identities), 1)
        identity = identities[0].attrib
        for key, value in (("type", "win32"), ("name", "Microsoft.Windows.Common-Controls"),
                           ("version", "6.0.0.0"), ("processorArchitecture", "*"),
                           ("publicKeyToken", "6595b64144ccf1df")):
            with self.subTest(key):
                self.assertEqual(identity.get(key), value)

    def test_version_block(self):
        blocks = self.of_type(RT_VERSION)
        self.assertTrue(blocks, "no RT_VERSION")
        version = parse_version(blocks[0].data)
        self.assertEqual(version["file_version"], (1, 0, 5, 0))
        self.assertEqual(version["file_type"], VFT_APP)
        # 040904B0: US English, Unicode; the one string table, with exactly these strings.
        self.assertEqual(list(version["string_tables"]), ["040904B0"])
        self.assertEqual(version["string_tables"]["040904B0"], VERSION_STRINGS)
        self.assertEqual(version["translations"], [(0x0409, 1200)])

    def test_icon_groups(self):
        groups = {r.name: r for r in self.of_type(RT_GROUP_ICON)}
        self.assertEqual(sorted(groups, key=str), ["IDI_ICON1", "IDI_ICON2"])
        icons = {r.name: r.data for r in self.of_type(RT_ICON)}
        expected_images = None
        if PROGRAM_ICO:
            with open(PROGRAM_ICO, "rb") as f:
                expected_images = parse_ico_file(f.read())

        for group_name, group in sorted(groups.items()):
            entries = parse_group_icon(group.data)
            self.assertEqual([(e["width"], e["height"], e["bit_count"]) for e in entries],
                             [(size, size, bits) for size, bits, _ in ICON_IMAGES], group_name)
            for index, (entry, (size, bits, is_png)) in enumerate(zip(entries, ICON_IMAGES)):
                with self.subTest(group=group_name, size=size):
                    image = icons.get(entry["icon_id"])
                    self.assertIsNotNone(image, f"RT_ICON {entry['icon_id']} missing")
                    self.assertEqual(entry["size"], len(image))
                    if is_png:
                        self.assertEqual(image[:8], PNG_SIGNATURE)
                        self.assertEqual(image[12:16], b"IHDR")
                        self.assertEqual(struct.unpack(">II", image[16:24]), (size, size))
                    else:
                        header_size, width, height, _planes, bit_count = struct.unpack_from("<IiiHH", image)
                        self.assertEqual(header_size, 40)
                        # The height of an icon bitmap covers the colour and the AND mask.
                        self.assertEqual((width, height, bit_count), (size, 2 * size, bits))
                    if expected_images is not None:
                        self.assertTrue(image == expected_images[index][3],
                                        f"{group_name} image {size} differs from {PROGRAM_ICO}")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    EXECUTABLE = sys.argv[1]
    PROGRAM_ICO = sys.argv[2] if len(sys.argv) > 2 else None
    unittest.main(argv=[sys.argv[0]], verbosity=2)
