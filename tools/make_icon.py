#!/usr/bin/env python3
"""Draws the program's icon, a keyboard seen from above, at 16, 32 and 48
pixels and writes them as one .ico file: 16-colour images with the 1-bit
transparency mask, which every Windows version reads and which keep the
program small (the icon has six colours and no soft edges). Each size is
drawn for its own grid, not scaled, so the keys stay crisp.

    tools/make_icon.py app/klimperdetektor.ico
"""
import struct
import sys

BODY = (58, 62, 70, 255)
EDGE = (28, 30, 34, 255)
KEY = (236, 238, 242, 255)
KEY_SHADE = (170, 176, 186, 255)
ACCENT = (232, 124, 36, 255)  # the key being pressed
CLEAR = (0, 0, 0, 0)

# Per size: body rectangle (left, top, right, bottom, exclusive), key size,
# gap, and the rows of keys as widths in key units.
LAYOUTS = {
    16: dict(body=(0, 3, 16, 13), key=2, gap=1, margin=1,
             rows=[[1] * 5, [1] * 5, [1, 3, 1]]),
    32: dict(body=(0, 6, 32, 26), key=4, gap=1, margin=2,
             rows=[[1] * 6, [1] * 6, [1, 4, 1]]),
    48: dict(body=(1, 9, 47, 39), key=5, gap=2, margin=3,
             rows=[[1] * 6, [1] * 6, [1, 4, 1]]),
}


def draw(size):
    layout = LAYOUTS[size]
    pixels = [[CLEAR] * size for _ in range(size)]

    def fill(left, top, right, bottom, colour):
        for y in range(max(top, 0), min(bottom, size)):
            for x in range(max(left, 0), min(right, size)):
                pixels[y][x] = colour

    left, top, right, bottom = layout["body"]
    fill(left, top, right, bottom, EDGE)
    fill(left + 1, top + 1, right - 1, bottom - 1, BODY)
    # Round the body's corners.
    for x, y in ((left, top), (right - 1, top), (left, bottom - 1), (right - 1, bottom - 1)):
        pixels[y][x] = CLEAR

    key, gap, margin = layout["key"], layout["gap"], layout["margin"]
    y = top + margin
    for row_index, row in enumerate(layout["rows"]):
        units = sum(row)
        row_width = units * key + (units - 1) * gap
        x = left + ((right - left) - row_width) // 2
        for column_index, width in enumerate(row):
            pixel_width = width * key + (width - 1) * gap
            pressed = row_index == 1 and column_index == 1
            face = ACCENT if pressed else KEY
            fill(x, y, x + pixel_width, y + key, face)
            if key > 2:  # a shaded lower edge where there is room for one
                fill(x, y + key - 1, x + pixel_width, y + key, KEY_SHADE if not pressed else EDGE)
            x += pixel_width + gap
        y += key + gap
    return pixels


PALETTE = [CLEAR, BODY, EDGE, KEY, KEY_SHADE, ACCENT]


def bitmap_entry(size, pixels):
    """A DIB as an icon holds it: header of twice the height, the 16-entry
    colour table, bottom-up 4-bit rows, then the 1-bit mask (rows padded to
    32 bits; a set bit is transparent)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    table = bytearray()
    for r, g, b, _ in PALETTE + [CLEAR] * (16 - len(PALETTE)):
        table += bytes((b, g, r, 0))
    colour_stride = ((size * 4 + 31) // 32) * 4
    colour = bytearray()
    for row in reversed(pixels):
        line = bytearray(colour_stride)
        for x, pixel in enumerate(row):
            line[x // 2] |= PALETTE.index(pixel) << (0 if x % 2 else 4)
        colour += line
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(table) + bytes(colour) + bytes(mask)


def icon_file(sizes):
    images = [bitmap_entry(size, draw(size)) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    with open(sys.argv[1], "wb") as out:
        out.write(icon_file([16, 32, 48]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
