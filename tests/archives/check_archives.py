#!/usr/bin/env python3
"""Checks the built plug-in archives: the zip records byte by byte, the entry tables, the shell files,
moduleinfo.json, and the modules' entry points and version resources.

Usage: check_archives.py --platform linux|windows --aax A.zip --clap C.zip --vst3 V.zip
                         [--maker-bundle FORMAT]... [--realistic] [--product NAME] [--version X.Y.Z]
"""

import argparse
import io
import json
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile
import zlib
from pathlib import Path

# One PE reader for the archive and the Windows program's tests.
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "wine"))
import pe_image  # noqa: E402

DESKTOP_INI = b"[.ShellClassInfo]\r\nIconResource=Plugin.ico,0\r\nIconFile=Plugin.ico\r\nIconIndex=0\r\n"

REALISTIC_SIZES = {"vst3": 33325024, "clap": 32989152, "aax": 33112152}

ENTRY_POINTS = {
    ("windows", "vst3"): {"GetPluginFactory", "InitDll", "ExitDll"},
    ("linux", "vst3"): {"GetPluginFactory", "ModuleEntry", "ModuleExit"},
    ("windows", "clap"): {"clap_entry"},
    ("linux", "clap"): {"clap_entry"},
    ("windows", "aax"): {"ACFRegisterPlugin", "ACFRegisterComponent", "ACFGetClassFactory", "ACFCanUnloadNow",
                         "ACFStartup", "ACFShutdown", "ACFGetSDKVersion"},
}
ENTRY_POINTS[("linux", "aax")] = ENTRY_POINTS[("windows", "aax")]

# A module that needs the MinGW runtime DLLs would not load on a machine without them.
WINDOWS_SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "ucrtbase.dll"}

options = None


def bundle_name(format_id):
    return options.product + {"vst3": ".vst3", "clap": ".clap", "aax": ".aaxplugin"}[format_id]


def expected_table(platform, format_id):
    """(name, method) of every entry in archive order; None as method marks the folder entry."""
    bundle = bundle_name(format_id)
    if format_id == "clap":
        return [(bundle, 8)]

    table = [(bundle + "\\Contents\\", 0)]
    if platform == "windows":
        table += [(bundle + "\\desktop.ini", 8), (bundle + "\\Plugin.ico", 8)]
    if format_id == "vst3":
        table.append((bundle + "\\Contents\\Resources\\moduleinfo.json", 8))
        module_folder = "x86_64-win" if platform == "windows" else "x86_64-linux"
        module_name = bundle if platform == "windows" else options.product + ".so"
        table.append((bundle + "\\Contents\\" + module_folder + "\\" + module_name, 8))
    else:
        table.append((bundle + "\\Contents\\x64\\" + bundle, 8))
    return table


def module_entry_name(platform, format_id):
    return expected_table(platform, format_id)[-1][0]


# --- Raw zip records ---------------------------------------------------------------------------

def read_raw_records(data):
    """Parses the end record, central directory and local headers without trusting zipfile."""
    end = len(data) - 22
    if end < 0 or struct.unpack_from("<I", data, end)[0] != 0x06054B50:
        raise AssertionError("the end-of-central-directory record is not the last 22 bytes (archive comment?)")

    (_, disk, cd_disk, disk_count, total_count, cd_size, cd_offset, comment_length) = \
        struct.unpack_from("<IHHHHIIH", data, end)
    end_record = dict(disk=disk, cd_disk=cd_disk, disk_count=disk_count, total_count=total_count,
                      cd_size=cd_size, cd_offset=cd_offset, comment_length=comment_length, offset=end)

    records = []
    position = cd_offset
    for _ in range(total_count):
        fields = struct.unpack_from("<IHHHHHHIIIHHHHHII", data, position)
        (signature, made_by, needed, flags, method, time, date, crc, compressed, size, name_length,
         extra_length, comment_length_entry, disk_start, internal, external, local_offset) = fields
        name = data[position + 46:position + 46 + name_length]
        records.append(dict(signature=signature, made_by=made_by, needed=needed, flags=flags, method=method,
                            time=time, date=date, crc=crc, compressed=compressed, size=size, name=name,
                            extra_length=extra_length, comment_length=comment_length_entry,
                            disk_start=disk_start, internal=internal, external=external, offset=local_offset))
        position += 46 + name_length + extra_length + comment_length_entry

    end_record["cd_end"] = position

    for record in records:
        fields = struct.unpack_from("<IHHHHHIIIHH", data, record["offset"])
        (signature, needed, flags, method, time, date, crc, compressed, size, name_length, extra_length) = fields
        name_start = record["offset"] + 30
        record["local"] = dict(signature=signature, needed=needed, flags=flags, method=method, time=time, date=date,
                               crc=crc, compressed=compressed, size=size,
                               name=data[name_start:name_start + name_length], extra_length=extra_length,
                               data_start=name_start + name_length + extra_length)

    return end_record, records


# --- Executable formats ------------------------------------------------------------------------

def run_tool(arguments):
    if not arguments[0]:
        raise AssertionError("objdump (MinGW-w64) or nm is needed to list the modules' entry points")
    result = subprocess.run(arguments, capture_output=True, text=True)
    if result.returncode != 0:
        raise AssertionError(f"{' '.join(arguments)} failed: {result.stderr}")
    return result.stdout


def pe_exports_and_imports(path):
    output = run_tool([options.objdump, "-p", str(path)])
    exports, imports = set(), set()
    in_names = False
    for line in output.splitlines():
        if "[Ordinal/Name Pointer] Table" in line:
            in_names = True
            continue
        if in_names:
            match = re.match(r"^\s*\[\s*\d+\]\s+(\S+)\s*$", line)
            if match:
                exports.add(match.group(1))
                continue
            in_names = False
        match = re.match(r"^\s*DLL Name:\s*(\S+)", line)
        if match:
            imports.add(match.group(1).lower())
    return exports, imports


def elf_exports(path):
    output = run_tool([options.nm, "-D", "--defined-only", str(path)])
    return {line.split()[-1] for line in output.splitlines() if len(line.split()) == 3}


# --- moduleinfo.json ---------------------------------------------------------------------------

def parse_moduleinfo(text):
    """Checks the SDK's layout (CR LF, two-space indent, trailing commas) and returns the parsed object."""
    if text.replace("\r\n", "").count("\n") or text.replace("\r\n", "").count("\r"):
        raise AssertionError("moduleinfo.json has line ends other than CR LF")

    lines = text.split("\r\n")
    if lines[-1] == "":
        lines.pop()

    depth = 0
    for number, line in enumerate(lines):
        stripped = line.lstrip(" ")
        if stripped.startswith(("}", "]")):
            depth -= 1
        if len(line) - len(stripped) != 2 * depth:
            raise AssertionError(f"line {number + 1} is not indented by {2 * depth} spaces: {line!r}")
        closes_next = number + 1 < len(lines) and lines[number + 1].lstrip().startswith(("}", "]"))
        if closes_next and depth > 0 and not stripped.endswith(("{", "[")) and not stripped.endswith(","):
            raise AssertionError(f"line {number + 1} lacks the trailing comma: {line!r}")
        if stripped.endswith(("{", "[")):
            depth += 1

    if depth != 0:
        raise AssertionError("moduleinfo.json has unbalanced brackets")

    return json.loads(re.sub(r",(\s*[}\]])", r"\1", text))


# --- Tests -------------------------------------------------------------------------------------

class ArchiveTests(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.archives = {format_id: Path(getattr(options, format_id)) for format_id in ("aax", "clap", "vst3")}
        cls.data = {format_id: path.read_bytes() for format_id, path in cls.archives.items()}
        cls.raw = {format_id: read_raw_records(data) for format_id, data in cls.data.items()}

    def stand_in_formats(self):
        return [format_id for format_id in ("aax", "clap", "vst3") if format_id not in options.maker_bundle]

    def read_entry(self, format_id, name):
        with zipfile.ZipFile(io.BytesIO(self.data[format_id])) as archive:
            return archive.read(name)

    def test_zip_records_are_plain(self):
        for format_id, (end, records) in self.raw.items():
            with self.subTest(format=format_id):
                self.assertEqual((end["disk"], end["cd_disk"], end["comment_length"]), (0, 0, 0))
                self.assertEqual(end["disk_count"], end["total_count"])
                self.assertEqual(end["cd_offset"] + end["cd_size"], end["offset"],
                                 "central directory must end at the end record")
                self.assertEqual(end["cd_end"], end["offset"])
                self.assertEqual(len({(record["time"], record["date"]) for record in records}), 1,
                                 "every entry carries the same fixed time stamp")

                expected_offset = 0
                for record in records:
                    local = record["local"]
                    name = record["name"].decode("ascii")
                    with self.subTest(entry=name):
                        self.assertEqual(record["signature"], 0x02014B50)
                        self.assertEqual(record["made_by"], 0x0014, "made by host 0, version 2.0")
                        self.assertEqual(record["needed"], 20)
                        self.assertEqual(record["flags"], 0)
                        self.assertEqual((record["extra_length"], record["comment_length"]), (0, 0))
                        self.assertEqual((record["disk_start"], record["internal"], record["external"]), (0, 0, 0))
                        self.assertEqual(record["offset"], expected_offset, "entries follow each other without gaps")

                        self.assertEqual(local["signature"], 0x04034B50)
                        for field in ("needed", "flags", "method", "time", "date", "crc", "compressed", "size",
                                      "name"):
                            self.assertEqual(local[field], record[field], f"local header {field}")
                        self.assertEqual(local["extra_length"], 0)

                        payload = self.data[format_id][local["data_start"]:local["data_start"] + record["compressed"]]
                        content = zlib.decompress(payload, -15) if record["method"] == 8 else payload
                        self.assertEqual(len(content), record["size"])
                        self.assertEqual(zlib.crc32(content), record["crc"])
                        expected_offset = local["data_start"] + record["compressed"]

                self.assertEqual(expected_offset, end["cd_offset"])

    def test_zipfile_reads_the_same_entries(self):
        for format_id, (_, records) in self.raw.items():
            with self.subTest(format=format_id), zipfile.ZipFile(io.BytesIO(self.data[format_id])) as archive:
                self.assertIsNone(archive.testzip())
                infos = archive.infolist()
                self.assertEqual([info.filename for info in infos], [r["name"].decode("ascii") for r in records])
                for info in infos:
                    self.assertEqual((info.create_system, info.create_version, info.extract_version),
                                     (0, 20, 20))
                    self.assertEqual((info.flag_bits, info.extra, info.comment, info.external_attr),
                                     (0, b"", b"", 0))

    def test_names_stay_inside_their_bundle(self):
        for format_id, (_, records) in self.raw.items():
            bundle = bundle_name(format_id)
            with self.subTest(format=format_id):
                for record in records:
                    name = record["name"].decode("ascii")
                    parts = name.rstrip("\\").split("\\")
                    if format_id == "clap":
                        self.assertEqual(name, bundle)
                    else:
                        self.assertTrue(name.startswith(bundle + "\\"), name)
                    self.assertNotIn("/", name)
                    self.assertNotIn("..", parts)
                    self.assertNotIn(":", name)
                    if name.endswith("\\"):
                        self.assertEqual(name, bundle + "\\Contents\\", "only Contents has a folder entry")
                        self.assertEqual((record["method"], record["size"], record["compressed"]), (0, 0, 0))
                    else:
                        self.assertEqual(record["method"], 8, f"{name} must be deflated")

    def test_entry_tables(self):
        for format_id in self.stand_in_formats():
            _, records = self.raw[format_id]
            with self.subTest(format=format_id):
                actual = [(r["name"].decode("ascii"), r["method"]) for r in records]
                self.assertEqual(actual, expected_table(options.platform, format_id))

    def test_windows_shell_files(self):
        formats = [f for f in self.stand_in_formats() if f != "clap"]
        if options.platform != "windows" or not formats:
            self.skipTest("only Windows bundles carry shell files")

        icons = []
        for format_id in formats:
            bundle = bundle_name(format_id)
            with self.subTest(format=format_id):
                records = {r["name"].decode("ascii"): r for r in self.raw[format_id][1]}
                self.assertEqual(records[bundle + "\\desktop.ini"]["size"], 80)
                self.assertEqual(self.read_entry(format_id, bundle + "\\desktop.ini"), DESKTOP_INI)
                icons.append(self.read_entry(format_id, bundle + "\\Plugin.ico"))

        self.assertEqual(len(set(icons)), 1, "both bundles carry the same icon")
        icon = icons[0]
        reserved, kind, count = struct.unpack_from("<HHH", icon, 0)
        self.assertEqual((reserved, kind, count), (0, 1, 4), "an icon file with four images")
        sizes = []
        for index in range(count):
            width, height = icon[6 + 16 * index], icon[7 + 16 * index]
            image_size, image_offset = struct.unpack_from("<II", icon, 6 + 16 * index + 8)
            self.assertLessEqual(image_offset + image_size, len(icon))
            image = icon[image_offset:image_offset + image_size]
            sizes.append((width or 256, height or 256, image[:8] == b"\x89PNG\r\n\x1a\n"))
        self.assertEqual(sorted(sizes), [(16, 16, False), (32, 32, False), (48, 48, False), (256, 256, True)])

    def test_moduleinfo(self):
        if "vst3" in options.maker_bundle:
            self.skipTest("the maker's VST3 bundle brings its own moduleinfo.json")

        text = self.read_entry("vst3", bundle_name("vst3") + "\\Contents\\Resources\\moduleinfo.json").decode("utf-8")
        info = parse_moduleinfo(text)

        self.assertEqual(list(info), ["Name", "Version", "Factory Info", "Classes"])
        self.assertEqual((info["Name"], info["Version"]), (options.product, options.version))
        factory = info["Factory Info"]
        self.assertEqual(factory["Flags"], {"Unicode": True, "Classes Discardable": False,
                                            "Component Non Discardable": False})
        self.assertEqual(factory["Vendor"], "Quorvane")
        self.assertTrue(factory["URL"].startswith("https://"))
        self.assertIn("@", factory["E-Mail"])

        classes = info["Classes"]
        self.assertEqual([c["Category"] for c in classes], ["Audio Module Class", "Component Controller Class"])
        self.assertEqual(len({c["CID"] for c in classes}), 2, "class IDs are distinct")
        for entry in classes:
            with self.subTest(category=entry["Category"]):
                self.assertRegex(entry["CID"], r"^[0-9A-F]{32}$")
                self.assertEqual(entry["Name"], options.product)
                self.assertEqual(entry["Vendor"], factory["Vendor"])
                self.assertEqual(entry["Version"], options.version)
                self.assertEqual(entry["SDKVersion"], "VST 3.8.0")
                self.assertEqual(entry["Sub Categories"], ["Fx"])
                self.assertEqual((entry["Class Flags"], entry["Cardinality"], entry["Snapshots"]),
                                 (0, 2147483647, []))

    def test_modules(self):
        expected_version = options.module_version or ".".join((options.version.split(".") + ["0", "0", "0"])[:4])

        with tempfile.TemporaryDirectory() as folder:
            for format_id in self.stand_in_formats():
                with self.subTest(format=format_id):
                    content = self.read_entry(format_id, module_entry_name(options.platform, format_id))
                    path = Path(folder) / f"{format_id}.module"
                    path.write_bytes(content)

                    if options.platform == "windows":
                        machine, characteristics = pe_image.read_file_header(path)  # raises unless PE32+
                        self.assertEqual(machine, 0x8664, "x86-64")
                        self.assertTrue(characteristics & 0x2000, "a DLL")
                        exports, imports = pe_exports_and_imports(path)
                        self.assertLessEqual(imports, WINDOWS_SYSTEM_DLLS)

                        resources = [r for r in pe_image.read_resources(path) if r.type == pe_image.RT_VERSION]
                        if format_id == "clap":
                            self.assertEqual(resources, [], "the CLAP module carries no version resource")
                        else:
                            self.assertEqual(len(resources), 1, "a version resource")
                            version = pe_image.parse_version(resources[0].data)
                            dotted = [".".join(map(str, version[key])) for key in ("file_version", "product_version")]
                            self.assertEqual(dotted, [expected_version, expected_version])
                    else:
                        self.assertEqual(content[:4], b"\x7fELF")
                        self.assertEqual(content[4], 2, "64-bit ELF")
                        self.assertEqual(struct.unpack_from("<HH", content, 16), (3, 62), "x86-64 shared object")
                        exports = elf_exports(path)

                    self.assertLessEqual(ENTRY_POINTS[(options.platform, format_id)], exports)

    def test_realistic_sizes(self):
        if not options.realistic:
            self.skipTest("archives built without realistic-size modules")

        for format_id in self.stand_in_formats():
            with self.subTest(format=format_id):
                name = module_entry_name(options.platform, format_id)
                record = next(r for r in self.raw[format_id][1] if r["name"].decode("ascii") == name)
                self.assertEqual(record["size"], REALISTIC_SIZES[format_id])
                self.assertTrue(0.60 <= record["compressed"] / record["size"] <= 0.68,
                                f"deflates to {record['compressed'] / record['size']:.3f}")


def main():
    global options
    parser = argparse.ArgumentParser()
    parser.add_argument("--platform", choices=["linux", "windows"], required=True)
    parser.add_argument("--aax", required=True)
    parser.add_argument("--clap", required=True)
    parser.add_argument("--vst3", required=True)
    parser.add_argument("--maker-bundle", action="append", default=[], choices=["aax", "clap", "vst3"],
                        help="a format packed from the maker's own bundle: only the generic rules apply")
    parser.add_argument("--realistic", action="store_true")
    parser.add_argument("--product", default="Varnoly")
    parser.add_argument("--version", default="1.0.4")
    parser.add_argument("--module-version", help="the modules' file version; the version padded with 0 when not given")
    parser.add_argument("--objdump", default=shutil.which("x86_64-w64-mingw32-objdump"))
    parser.add_argument("--nm", default=shutil.which("nm"))
    options, rest = parser.parse_known_args()

    program = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
