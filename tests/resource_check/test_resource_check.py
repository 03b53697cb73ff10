#!/usr/bin/env python3
"""Runs qv_resource_check over small bad fixtures, each of which it must reject with exactly the
expected problems, and over the real resources, which it must accept.

Usage:
  test_resource_check.py --tool PATH fixtures
  test_resource_check.py --tool PATH modules --cc MINGW_GCC --windres MINGW_WINDRES
  test_resource_check.py --tool PATH real --platform P --archive F=PATH... --font PATH... --icon PATH...
                         --recoloured NAME...
"""

import argparse
import io
import os
import struct
import subprocess
import sys
import tempfile
import warnings
import zipfile

PRODUCT = "Varnoly"
UNIX_SYMLINK_MODE = 0o120777


# --- fixture makers -----------------------------------------------------------------------------

def svg(body, style=""):
    head = '<?xml version="1.0" encoding="UTF-8"?>\n<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">\n'
    if style:
        head += f'<style type="text/css">{style}</style>\n'
    return (head + body + "\n</svg>\n").encode()


SQUARE = "M4 4L28 4L28 28L4 28Z"


def zip_bytes(entries):
    """entries: (name, data, options) with options create_system, external_attr, compress_type."""
    warnings.filterwarnings("ignore", "Duplicate name", UserWarning)
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        for name, data, options in entries:
            info = zipfile.ZipInfo(name, date_time=(2025, 1, 1, 0, 0, 0))
            info.create_system = options.get("create_system", 0)
            info.external_attr = options.get("external_attr", 0)
            default_method = zipfile.ZIP_STORED if name.endswith("\\") else zipfile.ZIP_DEFLATED
            info.compress_type = options.get("compress_type", default_method)
            archive.writestr(info, data)
    return buffer.getvalue()


def entry(name, data=b"", **options):
    return (name, data, options)


def vst3_zip(*extra, module=b"module bytes"):
    return zip_bytes([entry(f"{PRODUCT}.vst3\\Contents\\"),
                      entry(f"{PRODUCT}.vst3\\Contents\\x86_64-linux\\{PRODUCT}.so", module)] + list(extra))


def corrupt_last_entry(data):
    """Flips a byte inside the data of the last local entry, keeping the zip directory readable."""
    data = bytearray(data)
    header = data.rfind(b"PK\x03\x04")
    name_length, extra_length = struct.unpack_from("<HH", data, header + 26)
    start = header + 30 + name_length + extra_length
    data[start + 2] ^= 0xFF
    return bytes(data)


def font_bytes(characters, without=()):
    """A minimal TrueType font: glyph 0 (.notdef) is one box, and each of `characters` maps to a
    glyph of its own, a different box. `without` leaves tables out."""
    def glyph(x0, y0, x1, y1):
        points = [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]
        deltas, last = [], (0, 0)
        for p in points:
            deltas.append((p[0] - last[0], p[1] - last[1]))
            last = p
        data = struct.pack(">hhhhhHH", 1, x0, y0, x1, y1, 3, 0) + bytes([0x01] * 4)
        data += b"".join(struct.pack(">h", d[0]) for d in deltas)
        data += b"".join(struct.pack(">h", d[1]) for d in deltas)
        return data + b"\0" * (-len(data) % 4)

    glyphs = [glyph(100, 0, 500, 700)] + [glyph(50 + 10 * i, 0, 600, 650) for i in range(len(characters))]
    count = len(glyphs)
    glyf = b"".join(glyphs)
    offsets = [0]
    for g in glyphs:
        offsets.append(offsets[-1] + len(g))
    loca = b"".join(struct.pack(">H", o // 2) for o in offsets)

    head = struct.pack(">IIIIHHqqhhhhHHhhh", 0x00010000, 0x00010000, 0, 0x5F0F3CF5, 0x000B, 1000, 0, 0,
                       0, 0, 1000, 1000, 0, 8, 2, 0, 0)
    hhea = struct.pack(">IhhhHhhhhhhhhhhhH", 0x00010000, 800, -200, 0, 1000, 0, 0, 1000, 1, 0, 0, 0, 0, 0, 0, 0, count)
    maxp = struct.pack(">IHHHHHHHHHHHHHH", 0x00010000, count, 4, 1, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0)
    hmtx = b"".join(struct.pack(">Hh", 700, 50) for _ in range(count))
    post = struct.pack(">IihhIIIII", 0x00030000, 0, -100, 50, 0, 0, 0, 0, 0)

    codes = sorted(ord(c) for c in characters)
    segments = [(c, c, (i + 1 - c) % 65536) for i, c in enumerate(codes)] + [(0xFFFF, 0xFFFF, 1)]
    seg_count = len(segments)
    search = 2 * (1 << (seg_count.bit_length() - 1))
    subtable = struct.pack(">HHHHHHH", 4, 16 + 8 * seg_count, 0, 2 * seg_count, search,
                           search.bit_length() - 2, 2 * seg_count - search)
    subtable += b"".join(struct.pack(">H", s[1]) for s in segments) + b"\0\0"
    subtable += b"".join(struct.pack(">H", s[0]) for s in segments)
    subtable += b"".join(struct.pack(">H", s[2]) for s in segments)
    subtable += b"\0\0" * seg_count
    cmap = struct.pack(">HHHHI", 0, 1, 3, 1, 12) + subtable

    names = [(1, "Fixture"), (2, "Regular")]
    strings = [n[1].encode("utf-16-be") for n in names]
    name = struct.pack(">HHH", 0, len(names), 6 + 12 * len(names))
    offset = 0
    for (name_id, _), s in zip(names, strings):
        name += struct.pack(">HHHHHH", 3, 1, 0x409, name_id, len(s), offset)
        offset += len(s)
    name += b"".join(strings)

    tables = sorted({b"head": head, b"hhea": hhea, b"maxp": maxp, b"hmtx": hmtx, b"cmap": cmap,
                     b"loca": loca, b"glyf": glyf, b"name": name, b"post": post}.items())
    tables = [t for t in tables if t[0] not in without]
    directory_size = 12 + 16 * len(tables)
    header = struct.pack(">IHHHH", 0x00010000, len(tables), 128, 3, 16 * len(tables) - 128)
    records, body = b"", b""
    for tag, data in tables:
        checksum = sum(struct.unpack(f">{(len(data) + 3) // 4}I", data + b"\0" * (-len(data) % 4))) & 0xFFFFFFFF
        records += struct.pack(">4sIII", tag, checksum, directory_size + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    return header + records + body


# --- running the tool ---------------------------------------------------------------------------

class Case:
    """One run of the tool. `files` maps a file name to its bytes; `args` may name them as {name};
    `problems` lists (resource, phrase) for every line expected, and is empty when the run must pass."""

    def __init__(self, title, files, args, problems, platform="linux"):
        self.title = title
        self.files = files
        self.args = args
        self.problems = problems
        self.platform = platform


def run_case(tool, case, folder):
    for name, data in case.files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)

    stamp = os.path.join(folder, "check.stamp")
    with open(stamp, "w") as f:
        f.write("left over from an earlier run\n")

    args = [a.format(**{n.replace(".", "_"): os.path.join(folder, n) for n in case.files}) for a in case.args]
    result = subprocess.run([tool, "--platform", case.platform, *args, "--stamp", stamp],
                            capture_output=True, text=True, timeout=120)
    return check_result(case, folder, result, stamp)


def check_result(case, folder, result, stamp):
    failures = []
    lines = [line for line in result.stderr.splitlines() if line.strip()]

    if not case.problems:
        if result.returncode != 0:
            failures.append(f"exit code {result.returncode}, expected 0; output:\n  " + "\n  ".join(lines))
        elif not os.path.isfile(stamp) or open(stamp).read() == "left over from an earlier run\n":
            failures.append("passed but did not write the stamp")
        return failures

    if result.returncode != 1:
        failures.append(f"exit code {result.returncode}, expected 1")
    if os.path.exists(stamp):
        failures.append("failed but left the stamp in place")

    unmatched = list(lines)
    for resource, phrase in case.problems:
        prefix = os.path.join(folder, resource) + ": " if not resource.startswith("--") else resource + ": "
        phrases = phrase if isinstance(phrase, tuple) else (phrase,)
        match = next((line for line in unmatched if line.startswith(prefix) and any(p in line for p in phrases)), None)
        if match is None:
            failures.append(f"no line '{prefix}...{' or '.join(phrases)}...'")
        else:
            unmatched.remove(match)
    for line in unmatched:
        failures.append(f"unexpected line: {line}")
    if failures:
        failures.append("output was:\n  " + "\n  ".join(lines))
    return failures


def run_cases(tool, cases):
    failed = 0
    for case in cases:
        with tempfile.TemporaryDirectory(prefix="qv_resource_check_") as folder:
            failures = run_case(tool, case, folder)
        print(("FAIL " if failures else "ok   ") + case.title)
        for failure in failures:
            print("     " + failure)
        failed += bool(failures)
    print(f"{len(cases) - failed} of {len(cases)} cases passed")
    return 1 if failed else 0


# --- the tables ---------------------------------------------------------------------------------

def fixture_cases():
    black_square = f'<path d="{SQUARE}"/>'
    near_black = f'<path fill="rgb(29,29,27)" d="{SQUARE}"/>'
    gradient = ('<defs><linearGradient id="g"><stop offset="0" stop-color="#000000"/>'
                '<stop offset="1" stop-color="#FFFFFF"/></linearGradient></defs>'
                f'<path fill="url(#g)" d="{SQUARE}"/>')
    hidden_layer = f'<rect width="32" height="32" fill="none"/><g class="st0">{black_square}</g>{near_black}'
    vst3_prefix = f'does not begin with "{PRODUCT}.vst3\\"'

    def icon(title, data, phrases, recoloured=True):
        args = ["--icon", "{icon_help_svg}"] + (["--recoloured", "icon_help"] if recoloured else [])
        return Case(title, {"icon_help.svg": data}, args, [("icon_help.svg", p) for p in phrases])

    def font(title, data, phrases):
        return Case(title, {"font.ttf": data}, ["--font", "{font_ttf}"], [("font.ttf", p) for p in phrases])

    def archive(title, fmt, data, phrases):
        name = f"{fmt}.zip"
        return Case(title, {name: data}, ["--archive", f"{fmt}={{{fmt}_zip}}"], [(name, p) for p in phrases])

    good_font = font_bytes("AB")
    return [
        # Icons.
        icon("an SVG whose elements are not closed", svg(f'<g><path d="{SQUARE}"/>').replace(b"</svg>", b""),
             ["does not parse as SVG: unmatched tags"]),
        icon("an SVG cut off in its end tag", svg(f'<path d="{SQUARE}"/>')[:-3],
             ["does not parse as SVG: it ends before the end tag of its <svg> element"]),
        icon("an SVG followed by a comment", svg(f'<path d="{SQUARE}"/>') + b"<!-- exported -->\n", []),
        icon("XML that is no SVG", b"<html><body/></html>", ["its root element is <html>, not <svg>"]),
        icon("an SVG that draws nothing", svg(""), ["draws nothing visible"]),
        icon("a recoloured icon in near-black only", svg(near_black), ["draws no opaque black"]),
        icon("a recoloured icon whose black lies on a hidden layer", svg(hidden_layer, ".st0{display:none;}"),
             ["draws no opaque black"]),
        icon("a recoloured icon whose black is only in a gradient", svg(gradient), ["draws no opaque black"]),
        icon("a recoloured icon in translucent black", svg(f'<path fill-opacity="0.5" d="{SQUARE}"/>'),
             ["draws no opaque black"]),
        icon("a recoloured icon in the SVG default black", svg(black_square), []),
        icon("a recoloured icon with a black stroke", svg(f'<path fill="none" stroke="#000" stroke-width="2" d="M4 4L28 28"/>'), []),
        icon("a near-black icon that is not recoloured", svg(near_black), [], recoloured=False),
        Case("a recoloured name that matches no icon", {"icon_help.svg": svg(black_square)},
             ["--icon", "{icon_help_svg}", "--recoloured", "icon_hlep"],
             [("--recoloured icon_hlep", "no icon of that name")]),

        # Fonts.
        font("a text file given as a font", b"not a font at all\n" * 10, ["is not a TrueType or OpenType font"]),
        font("a truncated font", good_font[: len(good_font) // 2], ["is a truncated font"]),
        font("a font without a glyph for 'A'", font_bytes("B"), ["without a glyph for 'A'"]),
        # Its table directory is sound, but FreeType refuses a font without a header, on which JUCE's
        # Linux loader dereferences a null face.
        font("a font that FreeType rejects", font_bytes("AB", without=(b"head",)),
             [("crashes the font loader", "does not load as a typeface")]),
        font("a minimal font with a glyph for 'A'", good_font, []),

        # Archives.
        archive("a text file given as an archive", "vst3", b"not a zip archive\n" * 10, ["does not open as a zip archive"]),
        archive("a zip archive without entries", "vst3", zip_bytes([]), ["does not open as a zip archive: it has no entries"]),
        archive("a sound VST3 archive", "vst3", vst3_zip(), []),
        archive("a sound CLAP archive", "clap", zip_bytes([entry(f"{PRODUCT}.clap", b"module")]), []),
        archive("a VST3 bundle name in the wrong case", "vst3",
                zip_bytes([entry(f"{PRODUCT.lower()}.vst3\\Contents\\")]), [vst3_prefix + " (the case differs)", "lies outside the bundle"]),
        archive("a CLAP file name in the wrong case", "clap", zip_bytes([entry(f"{PRODUCT}.CLAP", b"module")]),
                [f'is not named "{PRODUCT}.clap" (the case differs)', "lies outside the bundle"]),
        archive("a CLAP file inside a folder", "clap", zip_bytes([entry(f"{PRODUCT}.clap\\{PRODUCT}.clap", b"m")]),
                [f'is not named "{PRODUCT}.clap"']),
        archive("an AAX entry outside the bundle", "aax",
                zip_bytes([entry(f"{PRODUCT}.aaxplugin\\Contents\\"), entry("Contents\\x64\\other.dll", b"m")]),
                [f'does not begin with "{PRODUCT}.aaxplugin\\"', "lies outside the bundle"]),
        archive("a name climbing out with '..'", "vst3", vst3_zip(entry(f"{PRODUCT}.vst3\\..\\..\\evil.dll", b"x")),
                ["climbs out of or around the bundle"]),
        archive("a name climbing out with '..' and forward slashes", "vst3",
                vst3_zip(entry(f"{PRODUCT}.vst3\\Contents/../../../evil.dll", b"x")), ["climbs out of or around the bundle"]),
        archive("an absolute name with a backslash", "vst3", vst3_zip(entry(f"\\{PRODUCT}.vst3\\evil.dll", b"x")),
                ["is an absolute path", vst3_prefix]),
        archive("an absolute name with a slash", "vst3", vst3_zip(entry("/tmp/evil.dll", b"x")),
                ["is an absolute path", vst3_prefix]),
        archive("a name with a drive letter", "vst3", vst3_zip(entry(f"C:\\{PRODUCT}.vst3\\evil.dll", b"x")),
                ["holds a character that no bundle file name may hold", vst3_prefix]),
        archive("a name with a colon inside", "vst3", vst3_zip(entry(f"{PRODUCT}.vst3\\Contents\\a:stream", b"x")),
                ["holds a character that no bundle file name may hold"]),
        # The installer refuses these when it extracts; the build refuses to embed them.
        *(archive(f"a name with {what}", "vst3", vst3_zip(entry(f"{PRODUCT}.vst3\\{rest}", b"x")), [problem])
          for what, rest, problem in (
              ("an empty part", "Contents\\\\evil.dll", "climbs out of or around the bundle"),
              ("a '.' part", "Contents\\.\\evil.dll", "climbs out of or around the bundle"),
              ("a device name", "Contents\\CON.txt", "climbs out of or around the bundle"),
              ("a device name with spaces", "Contents\\aux .dll", "climbs out of or around the bundle"),
              ("a control character", "Contents\\evil\x01.dll", "holds a character that no bundle file name may hold"),
              ("a delete character", "Contents\\evil\x7f.dll", "holds a character that no bundle file name may hold"),
          )),
        archive("a symbolic link made on Unix", "vst3",
                vst3_zip(entry(f"{PRODUCT}.vst3\\Contents\\link", b"/etc/passwd",
                               create_system=3, external_attr=UNIX_SYMLINK_MODE << 16)),
                ["is a symbolic link"]),
        archive("symbolic-link bits in an archive made on MS-DOS", "vst3",
                vst3_zip(entry(f"{PRODUCT}.vst3\\Contents\\link", b"/etc/passwd", create_system=0, external_attr=0xA1FF0000)),
                ["is a symbolic link"]),
        archive("a regular Unix file", "vst3",
                vst3_zip(entry(f"{PRODUCT}.vst3\\Contents\\file", b"data", create_system=3, external_attr=0o100644 << 16)), []),
        archive("a deflated entry with damaged data", "vst3",
                corrupt_last_entry(vst3_zip(entry(f"{PRODUCT}.vst3\\Contents\\big.bin", bytes(range(256)) * 64))),
                ["is damaged"]),
        archive("a stored entry whose data does not match its CRC", "vst3",
                corrupt_last_entry(vst3_zip(entry(f"{PRODUCT}.vst3\\Contents\\big.bin", bytes(range(256)),
                                                  compress_type=zipfile.ZIP_STORED))),
                ["is damaged: its data does not match its CRC-32"]),
        archive("an entry compressed with bzip2", "vst3",
                vst3_zip(entry(f"{PRODUCT}.vst3\\Contents\\file", b"data" * 100, compress_type=zipfile.ZIP_BZIP2)),
                ["uses compression method 12"]),
        archive("the same entry twice", "clap",
                zip_bytes([entry(f"{PRODUCT}.clap", b"one"), entry(f"{PRODUCT}.clap", b"two")]), ["appears more than once"]),

        # Every problem is reported, not just the first.
        Case("two bad resources in one run", {"icon_help.svg": b"<svg", "clap.zip": b"nothing"},
             ["--icon", "{icon_help_svg}", "--archive", "clap={clap_zip}"],
             [("icon_help.svg", "does not parse as SVG"), ("clap.zip", "does not open as a zip archive")]),
    ]


MODULE_SOURCE = b"__declspec(dllexport) int qv_fixture_entry(void) { return 1; }\n"


def version_rc(file_version, product_version):
    commas = lambda v: v.replace(".", ",")
    return f"""1 VERSIONINFO
FILEVERSION {commas(file_version)}
PRODUCTVERSION {commas(product_version)}
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "040904b0"
        BEGIN
            VALUE "FileVersion", "{file_version}"
            VALUE "ProductVersion", "{product_version}"
        END
    END
    BLOCK "VarFileInfo"
    BEGIN
        VALUE "Translation", 0x409, 1200
    END
END
""".encode()


def build_module(cc, windres, folder, name, rc):
    source = os.path.join(folder, name + ".c")
    output = os.path.join(folder, name + ".dll")
    with open(source, "wb") as f:
        f.write(MODULE_SOURCE)
    inputs = [source]
    if rc is not None:
        script = os.path.join(folder, name + ".rc")
        obj = os.path.join(folder, name + ".res.o")
        with open(script, "wb") as f:
            f.write(rc)
        subprocess.run([windres, f"--preprocessor={cc}", "--preprocessor-arg=-E", "--preprocessor-arg=-xc",
                        "--preprocessor-arg=-DRC_INVOKED", "-i", script, "-o", obj], check=True)
        inputs.append(obj)
    subprocess.run([cc, "-shared", "-s", "-O2", "-o", output, *inputs], check=True)
    with open(output, "rb") as f:
        return f.read()


def module_cases(cc, windres):
    with tempfile.TemporaryDirectory(prefix="qv_resource_check_modules_") as folder:
        unversioned = build_module(cc, windres, folder, "plain", None)
        other_resource = build_module(cc, windres, folder, "rcdata", b'1 RCDATA\nBEGIN\n  "not a version\\0"\nEND\n')
        old_version = build_module(cc, windres, folder, "old", version_rc("1.0.3.0", "1.0.4.0"))
        # The product version differs on purpose: the file version is the one that counts.
        right_version = build_module(cc, windres, folder, "right", version_rc("1.0.4.0", "9.9.9.9"))

    vst3_module = f"{PRODUCT}.vst3\\Contents\\x86_64-win\\{PRODUCT}.vst3"
    aax_module = f"{PRODUCT}.aaxplugin\\Contents\\x64\\{PRODUCT}.aaxplugin"

    def vst3(module):
        return zip_bytes([entry(f"{PRODUCT}.vst3\\Contents\\"), entry(vst3_module, module)])

    def aax(module):
        return zip_bytes([entry(f"{PRODUCT}.aaxplugin\\Contents\\"), entry(aax_module, module)])

    def case(title, fmt, data, phrases, platform="windows"):
        name = f"{fmt}.zip"
        return Case(title, {name: data}, ["--archive", f"{fmt}={{{fmt}_zip}}"], [(name, p) for p in phrases], platform)

    return [
        case("a VST3 module without resources", "vst3", vst3(unversioned), [f'module "{vst3_module}" has no resources']),
        case("an AAX module with resources but no version", "aax", aax(other_resource),
             [f'module "{aax_module}" carries no version resource']),
        case("a VST3 module with file version 1.0.3.0", "vst3", vst3(old_version), ["has file version 1.0.3.0, not 1.0.4.0"]),
        case("an AAX module with file version 1.0.3.0", "aax", aax(old_version), ["has file version 1.0.3.0, not 1.0.4.0"]),
        case("a Linux module in a Windows archive", "vst3", vst3(b"\x7fELF" + b"\0" * 60), ["is not a Windows PE module"]),
        case("a VST3 module that cannot be extracted", "vst3",
             zip_bytes([entry(f"{PRODUCT}.vst3\\Contents\\"), entry(vst3_module, right_version, compress_type=zipfile.ZIP_BZIP2)]),
             [f'entry "{vst3_module}" uses compression method 12']),
        case("an AAX archive without its module", "aax", zip_bytes([entry(f"{PRODUCT}.aaxplugin\\Contents\\")]),
             [f'has no module "{aax_module}"']),
        case("a VST3 module with file version 1.0.4.0", "vst3", vst3(right_version), []),
        case("an AAX module with file version 1.0.4.0", "aax", aax(right_version), []),
        case("a CLAP module without a version", "clap", zip_bytes([entry(f"{PRODUCT}.clap", unversioned)]), []),
        case("an unversioned module on the Linux target", "vst3", vst3(unversioned), [], platform="linux"),
    ]


def real_cases(args):
    """The real resources pass; and the real artwork is not passed vacuously: the icons the program
    leaves in their own colours are rejected when claimed as recoloured."""
    archive_args = [a for pair in args.archive for a in ("--archive", pair)]
    font_args = [a for path in args.font for a in ("--font", path)]
    icon_args = [a for path in args.icon for a in ("--icon", path)]
    recoloured_args = [a for name in args.recoloured for a in ("--recoloured", name)]
    cases = [Case("the real resources", {}, archive_args + font_args + icon_args + recoloured_args, [], args.platform)]

    for name in ("icon_mail", "icon_success", "icon_warning"):
        path = next((p for p in args.icon if os.path.basename(p) == name + ".svg"), None)
        if path is not None:
            cases.append(Case(f"the real {name} claimed as recoloured", {}, ["--icon", path, "--recoloured", name],
                              [(path, "draws no opaque black")], args.platform))
    return cases


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    sub = parser.add_subparsers(dest="mode", required=True)
    sub.add_parser("fixtures")
    modules = sub.add_parser("modules")
    modules.add_argument("--cc", required=True)
    modules.add_argument("--windres", required=True)
    real = sub.add_parser("real")
    real.add_argument("--platform", required=True)
    real.add_argument("--archive", action="append", default=[])
    real.add_argument("--font", action="append", default=[])
    real.add_argument("--icon", action="append", default=[])
    real.add_argument("--recoloured", action="append", default=[])
    args = parser.parse_args()

    if args.mode == "fixtures":
        cases = fixture_cases()
    elif args.mode == "modules":
        cases = module_cases(args.cc, args.windres)
    else:
        if not (args.archive and args.font and args.icon):
            print("real: archives, fonts and icons are all needed")
            return 1
        cases = real_cases(args)
    return run_cases(args.tool, cases)


if __name__ == "__main__":
    sys.exit(main())
