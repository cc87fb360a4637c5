#!/usr/bin/env python3
"""Draws the LED Banner icon and writes it as a Windows .ico file.

The icon is a dark-red rounded square holding a 7 x 7 grid of LED dots, some of them lit in the
shape of an arrow pointing the way the text scrolls. It holds 16 x 16, 32 x 32 and 48 x 48
images, each a 16-colour (4 bits per pixel) palettized bitmap with its transparency mask, which
is the format every version of Windows reads.

Usage: make_icon.py OUTPUT.ico
"""

import struct
import sys

# Palette indices. Unused entries stay black.
TRANSPARENT = 0
RIM = 1
BODY = 2
DOT_OFF = 3
DOT_ON = 4
DOT_SHINE = 5

PALETTE = [
    (0x00, 0x00, 0x00),  # transparent pixels: black under a set mask bit
    (0x1A, 0x05, 0x05),  # rim
    (0x3C, 0x08, 0x08),  # body
    (0x64, 0x12, 0x12),  # unlit dot
    (0xF0, 0x1C, 0x1C),  # lit dot
    (0xFF, 0x9A, 0x8A),  # highlight on a lit dot
] + [(0x00, 0x00, 0x00)] * 10

GRID = 7
LIT = [
    ".......",
    "...#...",
    "....#..",
    "######.",
    "....#..",
    "...#...",
    ".......",
]

# Per size: corner radius, dot pitch, dot diameter, whether dots get round corners.
LAYOUTS = {
    16: (3, 2, 1, False),
    32: (6, 4, 3, True),
    48: (9, 6, 4, True),
}


def inside_rounded_square(x, y, size, radius):
    """Whether the centre of pixel (x, y) lies inside the rounded square of the given size."""
    cx, cy = x + 0.5, y + 0.5
    nearest_x = min(max(cx, radius), size - radius)
    nearest_y = min(max(cy, radius), size - radius)
    return (cx - nearest_x) ** 2 + (cy - nearest_y) ** 2 <= radius * radius


def draw(size):
    """Returns the image as rows (top first) of palette indices."""
    radius, pitch, diameter, rounded = LAYOUTS[size]
    shape = [[inside_rounded_square(x, y, size, radius) for x in range(size)] for y in range(size)]
    pixels = [[TRANSPARENT] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if not shape[y][x]:
                continue
            edge = any(
                not (0 <= x + dx < size and 0 <= y + dy < size and shape[y + dy][x + dx])
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
            )
            pixels[y][x] = RIM if edge else BODY

    margin = (size - GRID * pitch) // 2
    offset = (pitch - diameter) // 2
    for row in range(GRID):
        for column in range(GRID):
            lit = LIT[row][column] == "#"
            left = margin + column * pitch + offset
            top = margin + row * pitch + offset
            for dy in range(diameter):
                for dx in range(diameter):
                    corner = dx in (0, diameter - 1) and dy in (0, diameter - 1)
                    if rounded and corner:
                        continue
                    colour = DOT_ON if lit else DOT_OFF
                    # A glint up and to the left, where there is room for one.
                    if lit and diameter >= 4 and (dx, dy) == (1, 1):
                        colour = DOT_SHINE
                    if pixels[top + dy][left + dx] == BODY:
                        pixels[top + dy][left + dx] = colour
    return pixels


def padded(row_bytes):
    """Bitmap rows are padded to whole 32-bit words."""
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def bitmap(size):
    """The image as an icon resource: a BITMAPINFOHEADER, the palette, colour bits, mask bits."""
    pixels = draw(size)
    colour_rows = []
    mask_rows = []
    for row in reversed(pixels):  # bitmaps are stored bottom row first
        colour = bytearray()
        for x in range(0, size, 2):
            colour.append((row[x] << 4) | row[x + 1])
        colour_rows.append(padded(bytes(colour)))
        mask = bytearray((size + 7) // 8)
        for x, index in enumerate(row):
            if index == TRANSPARENT:
                mask[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(padded(bytes(mask)))
    bits = b"".join(colour_rows) + b"".join(mask_rows)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        size,  # biWidth
        size * 2,  # biHeight counts the colour bits and the mask
        1,  # biPlanes
        4,  # biBitCount
        0,  # biCompression: BI_RGB
        len(bits),  # biSizeImage
        0,
        0,
        len(PALETTE),  # biClrUsed
        0,
    )
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bits


def icon(sizes):
    """An ICO file: the directory, one entry per image, then the images."""
    images = [bitmap(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main(arguments):
    if len(arguments) != 2:
        sys.stderr.write("usage: make_icon.py OUTPUT.ico\n")
        return 2
    with open(arguments[1], "wb") as output:
        output.write(icon([16, 32, 48]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
