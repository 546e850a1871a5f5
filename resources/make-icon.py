#!/usr/bin/env python3
"""Draws Portwright's icon pair and writes it as portwright.ico (16 colours,
4 bits a pixel, AND masks for transparency) plus PNG copies for Linux desktops.

Usage: make-icon.py [OUTPUT_DIR] [--preview SCALE]
Standard library only, so that it runs on a bare Debian with python3.
"""
import os
import struct
import sys
import zlib

# The 16-colour VGA palette that 4-bit icons use.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, OLIVE, SILVER, GREY, WHITE = 0, 3, 7, 8, 15
CLEAR = None  # transparent pixel


def inside(polygon, x, y):
    """Even-odd test of the point (x, y) against a polygon of (x, y) corners."""
    result = False
    j = len(polygon) - 1
    for i in range(len(polygon)):
        xi, yi = polygon[i]
        xj, yj = polygon[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def cube_faces(cx, cy, a):
    """Top, left and right faces of an isometric cube (2:1 pixel slope) whose
    top face is centred on (cx, cy) with half-width a."""
    top = (cx, cy - a / 2)
    right = (cx + a, cy)
    bottom = (cx, cy + a / 2)
    left = (cx - a, cy)
    return [
        ([top, right, bottom, left], WHITE),
        ([left, bottom, (bottom[0], bottom[1] + a), (left[0], left[1] + a)], SILVER),
        ([bottom, right, (right[0], right[1] + a), (bottom[0], bottom[1] + a)], GREY),
    ]


def draw_cube(pixels, cx, cy, a):
    size = len(pixels)
    faces = cube_faces(cx, cy, a)
    mine = [[None] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            for polygon, colour in faces:
                if inside(polygon, x + 0.5, y + 0.5):
                    mine[y][x] = colour
                    break
    # A black outline around the cube keeps it apart from whatever lies behind.
    for y in range(size):
        for x in range(size):
            if mine[y][x] is None:
                continue
            edge = any(
                not (0 <= x + dx < size and 0 <= y + dy < size) or mine[y + dy][x + dx] is None
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
            )
            pixels[y][x] = BLACK if edge else mine[y][x]


def draw_large():
    """32 x 32: three cubes in a triangle, two above and one below the middle."""
    pixels = [[CLEAR] * 32 for _ in range(32)]
    draw_cube(pixels, 8, 7, 7)
    draw_cube(pixels, 24, 7, 7)
    draw_cube(pixels, 16, 17, 7)  # drawn last: it stands in front
    return pixels


def line(pixels, x0, y0, x1, y1, colour):
    steps = max(abs(x1 - x0), abs(y1 - y0))
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        pixels[y][x] = colour


def box(pixels, left, top, size):
    for y in range(top, top + size):
        for x in range(left, left + size):
            border = y in (top, top + size - 1) or x in (left, left + size - 1)
            pixels[y][x] = BLACK if border else WHITE


def draw_small():
    """16 x 16: three small white shapes joined by short olive lines."""
    pixels = [[CLEAR] * 16 for _ in range(16)]
    line(pixels, 5, 3, 10, 3, OLIVE)
    line(pixels, 4, 5, 6, 10, OLIVE)
    line(pixels, 11, 5, 9, 10, OLIVE)
    box(pixels, 0, 0, 6)
    box(pixels, 10, 0, 6)
    box(pixels, 5, 10, 6)
    return pixels


def ico_image(pixels):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows and the
    1-bit AND mask, both bottom-up with rows padded to 32 bits."""
    size = len(pixels)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         (xor_row + and_row) * size, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        nibbles = [BLACK if p is CLEAR else p for p in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += packed + bytes(xor_row - len(packed))
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p is CLEAR else 0)
        maskbytes = bits.to_bytes(size // 8, "big")
        mask += maskbytes + bytes(and_row - len(maskbytes))
    return header + palette + bytes(xor) + bytes(mask)


def write_ico(path, images):
    blobs = [ico_image(p) for p in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for pixels, blob in zip(images, blobs):
        size = len(pixels)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def write_png(path, pixels, scale=1):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    size = len(pixels) * scale
    raw = bytearray()
    for row in pixels:
        line_bytes = bytearray(b"\x00")
        for p in row:
            rgba = (0, 0, 0, 0) if p is CLEAR else PALETTE[p] + (255,)
            line_bytes += bytes(rgba) * scale
        raw += bytes(line_bytes) * scale
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main(argv):
    args = [a for a in argv[1:]]
    scale = 0
    if "--preview" in args:
        i = args.index("--preview")
        scale = int(args[i + 1])
        del args[i:i + 2]
    outdir = args[0] if args else os.path.dirname(os.path.abspath(__file__))
    large, small = draw_large(), draw_small()
    write_ico(os.path.join(outdir, "portwright.ico"), [large, small])
    write_png(os.path.join(outdir, "portwright-32.png"), large)
    write_png(os.path.join(outdir, "portwright-16.png"), small)
    if scale:
        write_png(os.path.join(outdir, "preview-32.png"), large, scale)
        write_png(os.path.join(outdir, "preview-16.png"), small, scale)


if __name__ == "__main__":
    main(sys.argv)
