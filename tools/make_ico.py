#!/usr/bin/env python3
"""Draws the two Windows icons of the project and writes them as .ico files.

  plugin  Plugin.ico, the icon that desktop.ini gives the VST3 and AAX bundle folders in Explorer:
          a light grey hook-shaped stroke on a near-black rounded square.
  app     the installer executable's own icon (icon groups IDI_ICON1 and IDI_ICON2 of the .rc file):
          a light arrow pointing down into a blue tray on a dark rounded square.

Both are drawn procedurally with anti-aliasing (coverage from the signed distance to each shape), so
the art lives in this file and every size is drawn for its own pixel grid rather than scaled. Each
.ico holds 16, 32 and 48 pixel images as uncompressed 32-bit BGRA bitmaps (with the AND mask that
old readers expect) and a 256 pixel image as PNG. The output is byte-for-byte reproducible.

Usage: make_ico.py {plugin|app} OUT.ico
       make_ico.py {plugin|app} --png SIZE OUT.png     (one size, to look at)
"""

import argparse
import math
import struct
import sys
import zlib

SIZES = (16, 32, 48, 256)
PNG_SIZES = (256,)


# --------------------------------------------------------------------------- shapes
# Signed distances in unit coordinates (the icon is the square 0..1, y pointing down);
# negative inside.

def rounded_square(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return sdf


def _segment_distance(x, y, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    t = ((x - a[0]) * dx + (y - a[1]) * dy) / (dx * dx + dy * dy)
    t = min(1.0, max(0.0, t))
    return math.hypot(x - a[0] - dx * t, y - a[1] - dy * t)


def _arc_distance(x, y, centre, radius, start, end):
    """Distance to a circular arc swept from angle start to end (degrees, y down, end > start)."""
    angle = math.degrees(math.atan2(y - centre[1], x - centre[0]))
    if (angle - start) % 360.0 <= end - start:
        return abs(math.hypot(x - centre[0], y - centre[1]) - radius)
    ends = [(centre[0] + radius * math.cos(math.radians(a)), centre[1] + radius * math.sin(math.radians(a)))
            for a in (start, end)]
    return min(math.hypot(x - p[0], y - p[1]) for p in ends)


def stroke(width, segments=(), arcs=()):
    """A round-capped, round-joined stroke along line segments and arcs."""
    half = width / 2

    def sdf(x, y):
        d = min([_segment_distance(x, y, a, b) for a, b in segments]
                + [_arc_distance(x, y, *arc) for arc in arcs])
        return d - half
    return sdf


def polyline(points):
    return [(points[i], points[i + 1]) for i in range(len(points) - 1)]


# --------------------------------------------------------------------------- art

NEAR_BLACK = (0x1A, 0x1A, 0x1A)
DARK = (0x1E, 0x1F, 0x22)
LIGHT_GREY = (0xCF, 0xCF, 0xCF)
LIGHT = (0xF5, 0xF5, 0xF5)
ACCENT_BLUE = (0x00, 0x94, 0xD8)


def plugin_layers():
    # A J-like hook: a stem coming down, curling back up to the left.
    stem_x, top, bend_y, radius = 0.665, 0.24, 0.6, 0.165
    hook = stroke(0.125,
                  segments=[((stem_x, top), (stem_x, bend_y))],
                  arcs=[((stem_x - radius, bend_y), radius, 0.0, 180.0)])
    return [(rounded_square(0.03, 0.03, 0.97, 0.97, 0.2), NEAR_BLACK),
            (hook, LIGHT_GREY)]


def app_layers():
    arrow = stroke(0.115, segments=[((0.5, 0.19), (0.5, 0.58))]
                   + polyline([(0.325, 0.41), (0.5, 0.585), (0.675, 0.41)]))
    tray = stroke(0.095, segments=polyline([(0.22, 0.6), (0.22, 0.79), (0.78, 0.79), (0.78, 0.6)]))
    return [(rounded_square(0.03, 0.03, 0.97, 0.97, 0.2), DARK),
            (tray, ACCENT_BLUE),
            (arrow, LIGHT)]


ART = {"plugin": plugin_layers, "app": app_layers}


def render(layers, size):
    """Straight-alpha RGBA rows, top row first."""
    rows = []
    for j in range(size):
        row = bytearray()
        y = (j + 0.5) / size
        for i in range(size):
            x = (i + 0.5) / size
            r = g = b = a = 0.0
            for sdf, colour in layers:
                # one pixel wide ramp centred on the edge
                cover = min(1.0, max(0.0, 0.5 - sdf(x, y) * size))
                if cover <= 0.0:
                    continue
                out_a = cover + a * (1.0 - cover)
                keep = a * (1.0 - cover)
                r = (colour[0] * cover + r * keep) / out_a
                g = (colour[1] * cover + g * keep) / out_a
                b = (colour[2] * cover + b * keep) / out_a
                a = out_a
            row += bytes((int(r + 0.5), int(g + 0.5), int(b + 0.5), int(a * 255.0 + 0.5)))
        rows.append(bytes(row))
    return rows


# --------------------------------------------------------------------------- encoders

def _png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _filtered(row, previous):
    """The row under whichever PNG filter gives the smallest sum of magnitudes, as encoders usually pick."""
    bpp = 4
    candidates = []
    for kind in range(5):
        out = bytearray([kind])
        for i, value in enumerate(row):
            left = row[i - bpp] if i >= bpp else 0
            up = previous[i]
            corner = previous[i - bpp] if i >= bpp else 0
            predictor = (0, left, up, (left + up) // 2, _paeth(left, up, corner))[kind]
            out.append((value - predictor) & 0xFF)
        candidates.append((sum(v if v < 128 else 256 - v for v in out[1:]), kind, bytes(out)))
    return min(candidates)[2]


def encode_png(rows):
    size = len(rows)
    previous = bytes(len(rows[0]))
    raw = bytearray()
    for row in rows:
        raw += _filtered(row, previous)
        previous = row
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", header)
            + _png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _png_chunk(b"IEND", b""))


def encode_dib(rows):
    """BITMAPINFOHEADER + bottom-up BGRA pixels + 1-bit AND mask; the header's height counts both."""
    size = len(rows)
    pixels = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for i in range(size):
            r, g, b, a = row[i * 4:i * 4 + 4]
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def encode_ico(images):
    """images: (size, encoded bytes) in directory order."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = bytearray()
    for size, data in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + bytes(entries) + b"".join(data for _, data in images)


def make_ico(kind):
    layers = ART[kind]()
    images = []
    for size in SIZES:
        rows = render(layers, size)
        images.append((size, encode_png(rows) if size in PNG_SIZES else encode_dib(rows)))
    return encode_ico(images)


def main(argv):
    parser = argparse.ArgumentParser(description="Writes the bundle folder icon or the installer's icon.")
    parser.add_argument("kind", choices=sorted(ART))
    parser.add_argument("--png", type=int, metavar="SIZE", help="write one SIZE x SIZE PNG instead of the .ico")
    parser.add_argument("output")
    args = parser.parse_args(argv)

    if args.png is not None:
        if not 1 <= args.png <= 1024:
            parser.error("--png SIZE must be between 1 and 1024")
        data = encode_png(render(ART[args.kind](), args.png))
    else:
        data = make_ico(args.kind)

    with open(args.output, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
