#!/usr/bin/env python3
"""Packs a plug-in bundle (a folder, or a single file for CLAP) into the zip archive the installer embeds.

The archive is extracted on Windows by juce::ZipFile, so it is written in the plainest zip form:
backslash separators, one folder entry (the bundle's Contents folder), deflated files, no extra
fields, comments, data descriptors or Zip64 records, and a fixed timestamp so that the same bundle
always gives the same bytes.

Usage: pack_plugin_archive.py [--bundle-name NAME] [--timestamp YYYY-MM-DDTHH:MM:SS] SOURCE OUTPUT.zip
"""

import argparse
import datetime
import os
import stat
import struct
import sys
import tempfile
import zlib

DEFAULT_TIMESTAMP = "2025-01-01T00:00:00"
CONTENTS_FOLDER = "Contents"

VERSION_NEEDED = 20
VERSION_MADE_BY = 20  # host 0 (MS-DOS) in the high byte, zip 2.0 in the low byte
METHOD_STORED = 0
METHOD_DEFLATED = 8
MAX_ENTRIES = 0xFFFF - 1
MAX_OFFSET = 0xFFFFFFFF - 1
CHUNK_SIZE = 1 << 20

# zlib's default level: level 9 gains about 1% on plug-in binaries but takes eight times as long.
COMPRESSION_LEVEL = 6

# Characters Windows refuses in file names; extraction of such an entry would fail there.
WINDOWS_FORBIDDEN = set('<>:"|?*\\')


class PackError(Exception):
    pass


class Entry:
    def __init__(self, name, source_path=None):
        self.name = name
        self.source_path = source_path

    @property
    def is_folder(self):
        return self.source_path is None


def dos_timestamp(text):
    try:
        moment = datetime.datetime.strptime(text, "%Y-%m-%dT%H:%M:%S")
    except ValueError:
        raise PackError(f"invalid timestamp '{text}', expected YYYY-MM-DDTHH:MM:SS")

    if not 1980 <= moment.year <= 2107:
        raise PackError(f"timestamp '{text}' cannot be stored as a DOS date")

    dos_date = ((moment.year - 1980) << 9) | (moment.month << 5) | moment.day
    dos_time = (moment.hour << 11) | (moment.minute << 5) | (moment.second // 2)
    return dos_time, dos_date


def check_name_part(part, where):
    if part in (".", "..") or part.endswith((" ", ".")):
        raise PackError(f"'{where}' has a name Windows cannot create")

    for character in part:
        if ord(character) < 0x20 or ord(character) > 0x7E or character in WINDOWS_FORBIDDEN:
            # Non-ASCII would need the UTF-8 name flag, which the archives never set.
            raise PackError(f"'{where}' contains the character {character!r}, which the archive cannot carry")


def collect_files(folder, relative_parts, files, empty_folders):
    with os.scandir(folder) as scan:
        children = sorted(scan, key=lambda child: child.name)

    if not children and relative_parts:
        empty_folders.append("\\".join(relative_parts))

    for child in children:
        parts = relative_parts + [child.name]
        shown = os.path.join(folder, child.name)
        check_name_part(child.name, shown)
        mode = os.lstat(child.path).st_mode

        if stat.S_ISLNK(mode):
            raise PackError(f"'{shown}' is a symbolic link; bundles must hold real files only")
        if stat.S_ISDIR(mode):
            collect_files(child.path, parts, files, empty_folders)
        elif stat.S_ISREG(mode):
            files.append((parts, child.path))
        else:
            raise PackError(f"'{shown}' is neither a file nor a folder")


def plan_entries(source, bundle_name):
    """Returns the archive entries in archive order."""
    source = os.path.normpath(source)
    source_name = os.path.basename(source)

    if source_name != bundle_name:
        raise PackError(f"entry names would start with '{source_name}', not with the bundle name '{bundle_name}'")

    check_name_part(bundle_name, source)

    if not os.path.lexists(source):
        raise PackError(f"'{source}' does not exist")

    mode = os.lstat(source).st_mode

    if stat.S_ISLNK(mode):
        raise PackError(f"'{source}' is a symbolic link; pass the bundle itself")
    if stat.S_ISREG(mode):
        return [Entry(bundle_name, source)]
    if not stat.S_ISDIR(mode):
        raise PackError(f"'{source}' is neither a file nor a folder")

    files = []
    empty_folders = []
    collect_files(source, [], files, empty_folders)

    if not files:
        raise PackError(f"'{source}' holds no files")

    for folder in empty_folders:
        if folder == CONTENTS_FOLDER:
            continue
        # Only Contents has a folder entry, so any other empty folder would not survive extraction.
        print(f"warning: empty folder '{bundle_name}\\{folder}' is left out of the archive", file=sys.stderr)

    seen = {}
    for parts, _ in files:
        key = "\\".join(parts).lower()
        if key in seen:
            raise PackError(f"'{seen[key]}' and '{'/'.join(parts)}' differ only in case and would collide on Windows")
        seen[key] = "/".join(parts)

    def order(item):
        parts = item[0]
        return [(part.lower(), part) for part in parts]

    root_files = sorted((item for item in files if len(item[0]) == 1), key=order)
    nested_files = sorted((item for item in files if len(item[0]) > 1), key=order)

    entries = []
    if os.path.isdir(os.path.join(source, CONTENTS_FOLDER)) and CONTENTS_FOLDER in os.listdir(source):
        entries.append(Entry(f"{bundle_name}\\{CONTENTS_FOLDER}\\"))

    for parts, path in root_files + nested_files:
        entries.append(Entry("\\".join([bundle_name] + parts), path))

    if len(entries) > MAX_ENTRIES:
        raise PackError(f"{len(entries)} entries would need Zip64 records")

    return entries


def local_header(method, dos_time, dos_date, crc, compressed_size, size, name_bytes):
    return struct.pack("<IHHHHHIIIHH", 0x04034B50, VERSION_NEEDED, 0, method, dos_time, dos_date,
                       crc, compressed_size, size, len(name_bytes), 0) + name_bytes


def central_header(method, dos_time, dos_date, crc, compressed_size, size, name_bytes, offset):
    return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, VERSION_MADE_BY, VERSION_NEEDED, 0, method,
                       dos_time, dos_date, crc, compressed_size, size, len(name_bytes), 0, 0, 0, 0, 0,
                       offset) + name_bytes


def write_entry(out, entry, dos_time, dos_date):
    """Writes one local header and its data; returns the central directory record."""
    offset = out.tell()
    name_bytes = entry.name.encode("ascii")

    if entry.is_folder:
        out.write(local_header(METHOD_STORED, dos_time, dos_date, 0, 0, 0, name_bytes))
        return central_header(METHOD_STORED, dos_time, dos_date, 0, 0, 0, name_bytes, offset)

    # Sizes and CRC are patched in afterwards: flags 0 rules out a trailing data descriptor.
    out.write(local_header(METHOD_DEFLATED, dos_time, dos_date, 0, 0, 0, name_bytes))
    data_start = out.tell()
    compressor = zlib.compressobj(COMPRESSION_LEVEL, zlib.DEFLATED, -15)
    crc = 0
    size = 0

    with open(entry.source_path, "rb") as source:
        while True:
            chunk = source.read(CHUNK_SIZE)
            if not chunk:
                break
            crc = zlib.crc32(chunk, crc)
            size += len(chunk)
            out.write(compressor.compress(chunk))

    out.write(compressor.flush())
    end = out.tell()
    compressed_size = end - data_start

    if size > MAX_OFFSET or end > MAX_OFFSET:
        raise PackError(f"'{entry.source_path}' would need Zip64 records")

    out.seek(offset)
    out.write(local_header(METHOD_DEFLATED, dos_time, dos_date, crc, compressed_size, size, name_bytes))
    out.seek(end)
    return central_header(METHOD_DEFLATED, dos_time, dos_date, crc, compressed_size, size, name_bytes, offset)


def write_archive(entries, output, dos_time, dos_date):
    output = os.path.abspath(output)
    folder = os.path.dirname(output)
    os.makedirs(folder, exist_ok=True)
    handle, temporary = tempfile.mkstemp(prefix=".pack-", suffix=".zip", dir=folder)

    try:
        with os.fdopen(handle, "wb") as out:
            central = [write_entry(out, entry, dos_time, dos_date) for entry in entries]
            directory_offset = out.tell()
            for record in central:
                out.write(record)
            directory_size = out.tell() - directory_offset

            if directory_offset + directory_size > MAX_OFFSET:
                raise PackError("the archive would need Zip64 records")

            out.write(struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries),
                                  directory_size, directory_offset, 0))

        os.chmod(temporary, 0o644)
        os.replace(temporary, output)
    except BaseException:
        os.unlink(temporary)
        raise


def main(arguments):
    parser = argparse.ArgumentParser(description="Packs a plug-in bundle into an installer archive.")
    parser.add_argument("source", help="the bundle folder, or the single plug-in file")
    parser.add_argument("output", help="the zip archive to write")
    parser.add_argument("--bundle-name", help="the name every entry must start with (default: the source's name)")
    parser.add_argument("--timestamp", default=DEFAULT_TIMESTAMP, help="DOS time stamp of every entry")
    options = parser.parse_args(arguments)

    bundle_name = options.bundle_name or os.path.basename(os.path.normpath(options.source))

    try:
        source = os.path.abspath(options.source)
        output = os.path.abspath(options.output)
        if output == source or output.startswith(os.path.join(source, "")):
            raise PackError(f"the archive '{options.output}' must not be written inside the bundle")

        dos_time, dos_date = dos_timestamp(options.timestamp)
        entries = plan_entries(options.source, bundle_name)
        write_archive(entries, options.output, dos_time, dos_date)
    except (PackError, OSError) as error:
        print(f"pack_plugin_archive: error: {error}", file=sys.stderr)
        return 1

    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
