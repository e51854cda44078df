#!/usr/bin/env python3
"""Reads the check and radio marks of an open menu from its picture.

Usage: menu_marks.py MENU.ppm

Prints one character per item, top to bottom: "x" for an item with a mark
in the column left of its label, "." for one without. An item is a band of
rows with text in the label's column; its mark is any pixel left of the
label that differs from the band's own background (a highlighted item has
a background of its own, and its mark another colour).
"""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at) + 1
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        sys.exit("menu_marks: not a binary 8-bit PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:at + 1 + width * height * 3]
    return width, height, pixels


def main():
    width, height, pixels = read_ppm(sys.argv[1])

    def pixel(x, y):
        i = (y * width + x) * 3
        return pixels[i:i + 3]

    # Text of a row: pixels in the label's column unlike the row's left edge.
    label_from, label_to = 24, width - 12

    def row_has_text(y):
        background = pixel(3, y)
        return any(pixel(x, y) != background for x in range(label_from, label_to))

    bands, y = [], 2
    while y < height - 2:
        if not row_has_text(y):
            y += 1
            continue
        top = y
        # Rows of one label may have a gap of a row or two (dots over a letter).
        while y < height - 2 and (row_has_text(y) or row_has_text(min(y + 1, height - 3)) or
                                  row_has_text(min(y + 2, height - 3))):
            y += 1
        bands.append((top, y))
    marks = []
    for top, bottom in bands:
        marked = False
        for yy in range(max(1, top - 2), min(height - 1, bottom + 2)):
            background = pixel(3, yy)
            if any(pixel(x, yy) != background for x in range(5, label_from - 4)):
                marked = True
                break
        marks.append("x" if marked else ".")
    print("".join(marks))


main()
