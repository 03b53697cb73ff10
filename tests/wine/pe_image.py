"""Reads a PE32+ executable's resource tree and the DLLs it imports: just enough of the format to
check what the resource compiler and the linker put into qv_installer.exe, and what it needs at
run time.

Standard library only, so that it runs on the build machine without extra packages.
"""

import struct

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24


class PeError(Exception):
    pass


class Resource:
    """One leaf of the resource tree: type, name and language, with the data it points at."""

    def __init__(self, rtype, name, language, data):
        self.type = rtype
        self.name = name          # an int for numbered resources, a str for named ones
        self.language = language
        self.data = data

    def __repr__(self):
        return f"Resource(type={self.type!r}, name={self.name!r}, language={self.language:#x}, {len(self.data)} bytes)"


def _unpack(fmt, data, offset):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise PeError(f"truncated: {size} bytes wanted at offset {offset:#x}")
    return struct.unpack_from(fmt, data, offset)


class _Image:
    """The file's bytes with its data directories and a map from RVAs to file offsets."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.directories, self.sections = _parse_headers(self.data)

    def file_offset(self, rva, length):
        for virtual_address, span, raw_pointer, raw_size in self.sections:
            if virtual_address <= rva and rva + length <= virtual_address + span:
                inside = rva - virtual_address
                if inside + length > raw_size:
                    raise PeError(f"RVA {rva:#x}+{length} lies past the section's raw data")
                return raw_pointer + inside
        raise PeError(f"RVA {rva:#x} is in no section")

    def c_string(self, rva):
        start = self.file_offset(rva, 1)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("ascii")


def _parse_headers(image):
    if image[:2] != b"MZ":
        raise PeError("no MZ header")
    (pe_offset,) = _unpack("<I", image, 0x3C)
    if image[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise PeError("no PE signature")
    _machine, section_count, _, _, _, optional_size, _ = _unpack("<HHIIIHH", image, pe_offset + 4)
    optional = pe_offset + 24
    (magic,) = _unpack("<H", image, optional)
    if magic != 0x20B:
        raise PeError(f"not a PE32+ image (optional header magic {magic:#x})")
    # The data directories (RVA, size) start 112 bytes into a PE32+ optional header.
    (directory_count,) = _unpack("<I", image, optional + 108)
    directories = [_unpack("<II", image, optional + 112 + 8 * i) for i in range(min(directory_count, 16))]

    sections = []
    table = optional + optional_size
    for i in range(section_count):
        _name, virtual_size, virtual_address, raw_size, raw_pointer = _unpack(
            "<8sIIII", image, table + 40 * i)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer, raw_size))
    return directories, sections


def read_file_header(path):
    """(machine, characteristics) of the image's COFF header; the image must be PE32+."""
    pe = _Image(path)
    (pe_offset,) = _unpack("<I", pe.data, 0x3C)
    machine, _, _, _, _, _, characteristics = _unpack("<HHIIIHH", pe.data, pe_offset + 4)
    return machine, characteristics


IMPORT_DIRECTORY = 1
RESOURCE_DIRECTORY = 2
DELAY_IMPORT_DIRECTORY = 13


def _descriptor_dll_names(pe, directory, descriptor_format, name_field):
    """The DLL names of a null-terminated table of import descriptors in one data directory."""
    names = []
    if len(pe.directories) > directory and pe.directories[directory][0]:
        size = struct.calcsize(descriptor_format)
        at = pe.file_offset(pe.directories[directory][0], size)
        while True:
            fields = _unpack(descriptor_format, pe.data, at)
            if not any(fields):
                break
            names.append(pe.c_string(fields[name_field]))
            at += size
    return names


def read_imported_dlls(path):
    """The names of the DLLs the executable imports from, directly or delay-loaded."""
    pe = _Image(path)
    return (_descriptor_dll_names(pe, IMPORT_DIRECTORY, "<IIIII", 3)
            + _descriptor_dll_names(pe, DELAY_IMPORT_DIRECTORY, "<8I", 1))


def read_resources(path):
    """All resource leaves of the executable at path, in directory order."""
    pe = _Image(path)
    if len(pe.directories) <= RESOURCE_DIRECTORY:
        return []
    resource_rva, resource_size = pe.directories[RESOURCE_DIRECTORY]
    if resource_rva == 0 or resource_size == 0:
        return []
    image = pe.data
    file_offset = pe.file_offset
    base = file_offset(resource_rva, resource_size)

    def directory_entries(offset):
        named, numbered = _unpack("<HH", image, base + offset + 12)
        for i in range(named + numbered):
            name_field, target = _unpack("<II", image, base + offset + 16 + 8 * i)
            if name_field & 0x80000000:
                string_at = base + (name_field & 0x7FFFFFFF)
                (length,) = _unpack("<H", image, string_at)
                key = image[string_at + 2:string_at + 2 + 2 * length].decode("utf-16-le")
            else:
                key = name_field
            yield key, bool(target & 0x80000000), target & 0x7FFFFFFF

    resources = []
    for rtype, is_dir, type_dir in directory_entries(0):
        if not is_dir:
            raise PeError(f"type {rtype!r} is a leaf, not a directory")
        for name, is_dir, name_dir in directory_entries(type_dir):
            if not is_dir:
                raise PeError(f"resource {rtype!r}/{name!r} is a leaf, not a directory")
            for language, is_dir, leaf in directory_entries(name_dir):
                if is_dir:
                    raise PeError(f"resource {rtype!r}/{name!r}/{language!r} nests too deep")
                data_rva, data_size, _codepage, _ = _unpack("<IIII", image, base + leaf)
                start = file_offset(data_rva, data_size)
                resources.append(Resource(rtype, name, language, image[start:start + data_size]))
    return resources


def parse_group_icon(data):
    """The entries of an RT_GROUP_ICON: dicts with width, height, bit_count, size and icon_id."""
    reserved, kind, count = _unpack("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise PeError(f"not an icon group (reserved {reserved}, type {kind})")
    entries = []
    for i in range(count):
        width, height, colours, _, planes, bit_count, size, icon_id = _unpack(
            "<BBBBHHIH", data, 6 + 14 * i)
        entries.append({
            "width": width or 256, "height": height or 256, "colours": colours,
            "planes": planes, "bit_count": bit_count, "size": size, "icon_id": icon_id})
    return entries


def parse_ico_file(data):
    """The images of a .ico file, as (width, height, bit_count, image bytes), in file order."""
    reserved, kind, count = _unpack("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise PeError("not an .ico file")
    images = []
    for i in range(count):
        width, height, _, _, _, bit_count, size, offset = _unpack("<BBBBHHII", data, 6 + 16 * i)
        images.append((width or 256, height or 256, bit_count, data[offset:offset + size]))
    return images


def _align4(n):
    return (n + 3) & ~3


def _version_node(data, offset):
    """One VS_VERSIONINFO-style node: (key, value bytes, value_type, children, end offset)."""
    length, value_length, value_type = _unpack("<HHH", data, offset)
    if length < 6 or offset + length > len(data):
        raise PeError(f"bad version node length {length} at {offset:#x}")
    end = offset + length
    key_start = offset + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end >= end:
            raise PeError("unterminated key in version node")
    key = data[key_start:key_end].decode("utf-16-le")
    value_start = _align4(key_end + 2)
    # Text values count UTF-16 characters, binary ones bytes.
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[value_start:min(value_start + value_bytes, end)]
    children = []
    child = _align4(value_start + value_bytes)
    while child < end:
        node = _version_node(data, child)
        children.append(node)
        child = _align4(node[4])
    return key, value, value_type, children, end


def parse_version(data):
    """The RT_VERSION block as a dict: file_version and product_version tuples from the fixed part,
    string_tables {block name: {key: value}} and translations [(language, codepage)]."""
    key, fixed, _, children, _ = _version_node(data, 0)
    if key != "VS_VERSION_INFO":
        raise PeError(f"version root key is {key!r}")
    if len(fixed) != 52:
        raise PeError(f"VS_FIXEDFILEINFO is {len(fixed)} bytes, not 52")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIIIII", fixed)
    if signature != 0xFEEF04BD:
        raise PeError(f"fixed file info signature {signature:#x}")
    file_flags_mask, file_flags, file_os, file_type, file_subtype = struct.unpack_from("<IIIII", fixed, 24)

    result = {
        "file_version": (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF),
        "product_version": (product_ms >> 16, product_ms & 0xFFFF, product_ls >> 16, product_ls & 0xFFFF),
        "file_os": file_os, "file_type": file_type, "file_flags": file_flags & file_flags_mask,
        "string_tables": {}, "translations": [],
    }
    for child_key, _, _, grandchildren, _ in children:
        if child_key == "StringFileInfo":
            for table_key, _, _, strings, _ in grandchildren:
                table = result["string_tables"].setdefault(table_key, {})
                for name, value, _, _, _ in strings:
                    # Readers stop at the first NUL, as VerQueryValue's callers do.
                    table[name] = value.decode("utf-16-le").split("\0")[0]
        elif child_key == "VarFileInfo":
            for var_key, value, _, _, _ in grandchildren:
                if var_key == "Translation":
                    for i in range(0, len(value) - 3, 4):
                        result["translations"].append(struct.unpack_from("<HH", value, i))
    return result
