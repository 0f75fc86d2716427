#!/usr/bin/env python3
"""Draws Corvantis's pictures and writes them into res/.

    res/corvantis.ico    window and program icon: 16, 32 and 48 px at 4, 8 and 32 bits per pixel,
                         and 256 px at 32 bits stored as PNG (Explorer's large views)
    res/corvantis.png    the same 256 px picture, for the desktop entry on Linux
    res/keep_on_top.bmp  16 x 16 title-strip glyph, a push pin ("keep on top"), 24-bit
    res/exit.bmp         16 x 16 title-strip glyph, a thin grey cross ("exit"), 24-bit

Regenerate after changing a drawing:

    python3 tools/make_resources.py

Standard library only. The output is byte-for-byte deterministic, so the generated files are
checked in and a rerun that changes nothing leaves them identical. (The PNG's compressed stream
comes from zlib, whose output at a given level has not changed in decades.)
"""

import struct
import zlib
from pathlib import Path

RES_DIR = Path(__file__).resolve().parent.parent / "res"

# Samples per pixel along each axis when measuring how much of a pixel a shape covers.
SUPERSAMPLING = 8

BRAND_BLUE = (0x0E, 0x97, 0xE7)
TILE_TOP = (0x2B, 0xA9, 0xF2)
TILE_BOTTOM = (0x0A, 0x84, 0xCE)
WHITE = (0xFF, 0xFF, 0xFF)
PIN_BODY = BRAND_BLUE
PIN_SHADE = (0x0A, 0x74, 0xB8)
PIN_SHINE = (0x8F, 0xD2, 0xF7)
NEEDLE_GREY = (0x86, 0x86, 0x86)
CROSS_GREY = (0x80, 0x80, 0x80)


# --- Shapes: predicates telling whether a point (in pixel units, y down) lies inside. ---


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        dx = max(x0 + radius - x, 0.0, x - (x1 - radius))
        dy = max(y0 + radius - y, 0.0, y - (y1 - radius))
        return x0 <= x <= x1 and y0 <= y <= y1 and dx * dx + dy * dy <= radius * radius

    return inside


def rect(x0, y0, x1, y1):
    return rounded_rect(x0, y0, x1, y1, 0.0)


def stroke(points, width):
    """A polyline of the given width with round joins and caps."""
    half_sq = (width / 2) ** 2
    segments = list(zip(points, points[1:]))

    def near_segment(x, y, a, b):
        ax, ay = a
        bx, by = b
        vx, vy = bx - ax, by - ay
        t = ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)
        t = min(1.0, max(0.0, t))
        dx, dy = x - (ax + t * vx), y - (ay + t * vy)
        return dx * dx + dy * dy <= half_sq

    return lambda x, y: any(near_segment(x, y, a, b) for a, b in segments)


def polygon(points):
    """Even-odd fill of a closed polygon."""
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        crossings = 0
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                crossings += 1
        return crossings % 2 == 1

    return inside


# --- Canvas: premultiplied RGBA in 0..1, composited shape by shape. ---


class Canvas:
    def __init__(self, size, background=None):
        self.size = size
        opaque = None if background is None else [c / 255 for c in background] + [1.0]
        self.pixels = [list(opaque) if opaque else [0.0] * 4 for _ in range(size * size)]

    def fill(self, inside, colour):
        """Paints a shape over the canvas; colour is an RGB tuple or a function of (x, y)."""
        n = SUPERSAMPLING
        offsets = [(i + 0.5) / n for i in range(n)]
        for y in range(self.size):
            for x in range(self.size):
                hits = sum(inside(x + ox, y + oy) for oy in offsets for ox in offsets)
                if not hits:
                    continue
                cover = hits / (n * n)
                rgb = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                px = self.pixels[y * self.size + x]
                for c in range(3):
                    px[c] = rgb[c] / 255 * cover + px[c] * (1 - cover)
                px[3] = cover + px[3] * (1 - cover)

    def rgba(self):
        """Rows top to bottom of straight (not premultiplied) 8-bit (r, g, b, a)."""
        rows = []
        for y in range(self.size):
            row = []
            for px in self.pixels[y * self.size : (y + 1) * self.size]:
                alpha = px[3]
                if alpha <= 0:
                    row.append((0, 0, 0, 0))
                    continue
                rgb = tuple(to_byte(min(1.0, px[c] / alpha)) for c in range(3))
                row.append(rgb + (to_byte(alpha),))
            rows.append(row)
        return rows


def to_byte(value):
    return int(value * 255 + 0.5)


def vertical_gradient(top, bottom, y0, y1):
    def colour(_x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))

    return colour


# --- Drawings. ---

# Per-size geometry of the icon, tuned so the strokes land on whole pixels at 16 px.
# tile: (left, top, right, bottom, corner radius); chevron: polyline and width; bar: rectangle.
ICON_GEOMETRY = {
    16: {
        "tile": (0, 0, 16, 16, 3),
        "chevron": ([(4, 4), (8, 8), (4, 12)], 2.2),
        "bar": (9, 11, 13, 13),
    },
    32: {
        "tile": (1, 1, 31, 31, 6),
        "chevron": ([(8.5, 8.5), (16, 16), (8.5, 23.5)], 3.6),
        "bar": (17, 22, 25, 25),
    },
    48: {
        "tile": (2, 2, 46, 46, 9),
        "chevron": ([(13, 13), (24, 24), (13, 35)], 5.2),
        "bar": (26, 32, 37, 37),
    },
    # The 48 px drawing scaled by 16/3: at this size every edge is smooth anyway.
    256: {
        "tile": (11, 11, 245, 245, 48),
        "chevron": ([(69, 69), (128, 128), (69, 187)], 28),
        "bar": (139, 171, 197, 197),
    },
}

# Sizes whose image is stored as PNG rather than as a bitmap, as Windows does from 256 px on.
PNG_SIZES = {256}


def draw_icon(size):
    """A blue rounded tile with a white command prompt, ">_"."""
    g = ICON_GEOMETRY[size]
    left, top, right, bottom, radius = g["tile"]
    canvas = Canvas(size)
    canvas.fill(
        rounded_rect(left, top, right, bottom, radius),
        vertical_gradient(TILE_TOP, TILE_BOTTOM, top, bottom),
    )
    points, width = g["chevron"]
    canvas.fill(stroke(points, width), WHITE)
    canvas.fill(rect(*g["bar"]), WHITE)
    return canvas.rgba()


def draw_keep_on_top():
    """An upright push pin: blue head and collar over a grey needle."""
    canvas = Canvas(16, background=WHITE)
    canvas.fill(rect(7, 9, 9, 13), NEEDLE_GREY)
    canvas.fill(polygon([(7, 13), (9, 13), (8, 15)]), NEEDLE_GREY)
    canvas.fill(rounded_rect(5, 1, 11, 3, 0.75), PIN_BODY)
    canvas.fill(rect(6, 3, 10, 7), PIN_BODY)
    canvas.fill(rect(7, 3, 8, 7), PIN_SHINE)
    canvas.fill(rounded_rect(3, 7, 13, 9, 0.75), PIN_SHADE)
    return canvas.rgba()


def draw_exit():
    """A thin grey cross: two one-pixel diagonals, kept crisp rather than smoothed."""
    canvas = Canvas(16, background=WHITE)
    span = range(4, 12)
    canvas.fill(lambda x, y: int(y) in span and int(x) == int(y), CROSS_GREY)
    canvas.fill(lambda x, y: int(y) in span and int(x) == 15 - int(y), CROSS_GREY)
    return canvas.rgba()


# --- Palettes for the indexed icon images. ---


def median_cut(counts, limit):
    """Reduces a {colour: pixel count} map to at most `limit` colours."""
    boxes = [sorted(counts)]
    while len(boxes) < limit:
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: (max(channel_ranges(b)), len(b)))
        ranges = channel_ranges(box)
        channel = ranges.index(max(ranges))
        box.sort(key=lambda c: (c[channel], c))
        total = sum(counts[c] for c in box)
        running, cut = 0, 1
        for i, c in enumerate(box[:-1]):
            running += counts[c]
            cut = i + 1
            if running * 2 >= total:
                break
        boxes.remove(box)
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        weight = sum(counts[c] for c in box)
        palette.append(
            tuple((sum(c[i] * counts[c] for c in box) + weight // 2) // weight for i in range(3))
        )
    return sorted(set(palette))


def channel_ranges(colours):
    return [max(c[i] for c in colours) - min(c[i] for c in colours) for i in range(3)]


def nearest(palette, colour):
    return min(
        range(len(palette)),
        key=lambda i: (sum((p - c) ** 2 for p, c in zip(palette[i], colour)), i),
    )


# --- File formats. ---


def bmp_rows(rows, bytes_per_row):
    """Bottom-up rows, each padded to a multiple of four bytes."""
    padded = (bytes_per_row + 3) & ~3
    return b"".join(row + bytes(padded - len(row)) for row in reversed(rows))


def bitmap_info_header(width, height, bits, image_size, colours_used=0):
    # 3780 pixels per metre = 96 dots per inch.
    return struct.pack(
        "<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 3780, 3780, colours_used, 0
    )


def pack_bits(values, bits):
    out = bytearray()
    per_byte = 8 // bits
    for i in range(0, len(values), per_byte):
        byte = 0
        for j in range(per_byte):
            value = values[i + j] if i + j < len(values) else 0
            byte |= value << (8 - bits * (j + 1))
        out.append(byte)
    return bytes(out)


def icon_image(rows, bits):
    """One BMP-format icon image: header, palette, XOR bitmap and AND mask."""
    size = len(rows)
    opaque = [[a >= 128 for (_r, _g, _b, a) in row] for row in rows]
    if bits == 32:
        palette_bytes = b""
        xor = [b"".join(bytes((b, g, r, a)) for (r, g, b, a) in row) for row in rows]
    else:
        counts = {}
        for row, keep in zip(rows, opaque):
            for (r, g, b, _a), k in zip(row, keep):
                if k:
                    counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
        # Index 0 stays black: masked-out pixels must be black for the AND/XOR pair to show
        # the background through.
        palette = [(0, 0, 0)] + median_cut(counts, (1 << bits) - 1)
        palette += [(0, 0, 0)] * ((1 << bits) - len(palette))
        palette_bytes = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
        lookup = {c: nearest(palette[1:], c) + 1 for c in counts}
        xor = [
            pack_bits([lookup[(r, g, b)] if k else 0 for (r, g, b, _a), k in zip(row, keep)], bits)
            for row, keep in zip(rows, opaque)
        ]
    mask = [pack_bits([0 if k else 1 for k in keep], 1) for keep in opaque]
    pixels = bmp_rows(xor, size * bits // 8) + bmp_rows(mask, (size + 7) // 8)
    header = bitmap_info_header(size, size * 2, bits, len(pixels))
    return header + palette_bytes + pixels


def png_filter(kind, row, previous, bpp):
    """One PNG scanline filter (0 none, 1 sub, 2 up, 3 average, 4 Paeth) applied to a row."""
    out = bytearray(len(row))
    for i, value in enumerate(row):
        left = row[i - bpp] if i >= bpp else 0
        up = previous[i]
        upper_left = previous[i - bpp] if i >= bpp else 0
        if kind == 0:
            predicted = 0
        elif kind == 1:
            predicted = left
        elif kind == 2:
            predicted = up
        elif kind == 3:
            predicted = (left + up) // 2
        else:
            estimate = left + up - upper_left
            distances = (abs(estimate - left), abs(estimate - up), abs(estimate - upper_left))
            predicted = (left, up, upper_left)[distances.index(min(distances))]
        out[i] = (value - predicted) & 0xFF
    return bytes(out)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_image(rows):
    """A PNG of 8-bit RGBA rows. Each row takes the filter whose output has the smallest sum of
    absolute (signed) byte values, the usual heuristic for what compresses best."""
    height, width = len(rows), len(rows[0])
    previous = bytes(width * 4)
    scanlines = bytearray()
    for row in rows:
        raw = bytes(channel for pixel in row for channel in pixel)
        candidates = [bytes((kind,)) + png_filter(kind, raw, previous, 4) for kind in range(5)]
        scanlines += min(candidates, key=lambda line: sum(min(b, 256 - b) for b in line[1:]))
        previous = raw
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA, no interlace
    return (
        b"\x89PNG\r\n\x1a\n"
        + png_chunk(b"IHDR", header)
        + png_chunk(b"IDAT", zlib.compress(bytes(scanlines), 9))
        + png_chunk(b"IEND", b"")
    )


def write_ico(path, images):
    """images: (rows, bits) pairs. Writes an ICO holding them in the given order; a size in
    PNG_SIZES is stored as a 32-bit PNG."""
    blobs = [
        (len(rows), bits, png_image(rows) if len(rows) in PNG_SIZES else icon_image(rows, bits))
        for rows, bits in images
    ]
    offset = 6 + 16 * len(blobs)
    directory = struct.pack("<HHH", 0, 1, len(blobs))
    for size, bits, blob in blobs:
        colour_count = 1 << bits if bits < 8 else 0
        directory += struct.pack(
            "<BBBBHHII", size % 256, size % 256, colour_count, 0, 1, bits, len(blob), offset
        )
        offset += len(blob)
    path.write_bytes(directory + b"".join(blob for _size, _bits, blob in blobs))


def write_bmp24(path, rows):
    size = len(rows)
    data = bmp_rows([b"".join(bytes((b, g, r)) for (r, g, b, _a) in row) for row in rows], size * 3)
    header = bitmap_info_header(size, size, 24, len(data))
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 54)
    path.write_bytes(file_header + header + data)


def main():
    icons = {size: draw_icon(size) for size in sorted(ICON_GEOMETRY)}
    write_ico(
        RES_DIR / "corvantis.ico",
        [
            (icons[size], bits)
            for size in sorted(icons)
            for bits in ((32,) if size in PNG_SIZES else (4, 8, 32))
        ],
    )
    (RES_DIR / "corvantis.png").write_bytes(png_image(icons[max(PNG_SIZES)]))
    write_bmp24(RES_DIR / "keep_on_top.bmp", draw_keep_on_top())
    write_bmp24(RES_DIR / "exit.bmp", draw_exit())


if __name__ == "__main__":
    main()
