#!/usr/bin/env python3
"""Writes gfx/data/builtin_data_packed.cpp: the built-in fonts and palettes as one
packed LZW stream.

The three code page 437 fonts come from a VGA BIOS image (Debian's vgabios
package), where they lie one after another in ROM bit order (bit 7 leftmost);
they are found by the glyph of 'A' and stored bit-reversed (bit 0 leftmost).
The palettes are computed. Run it again only when the data is to change:

    python3 tools/gen_builtin_data.py [--bios FILE] [--output FILE]
"""

import argparse
import os
import sys

BLOCK_SIZE = 10742
FONT_HEIGHTS = (8, 14, 16)

# 'A' (0x41) in ROM bit order, one per font height.
ROM_GLYPH_A = {
    8: bytes.fromhex("3078CCCCFCCCCC00"),
    14: bytes.fromhex("00001038 6CC6C6FE C6C6C600 0000".replace(" ", "")),
    16: bytes.fromhex("00001038 6CC6C6FE C6C6C6C6 00000000".replace(" ", "")),
}

# Stored (bit-reversed) glyphs the block must hold, whatever the ROM says.
REQUIRED_GLYPHS = {
    (8, 0x41): bytes.fromhex("0C1E33333F333300"),
    (8, 0xFC): bytes.fromhex("1E36363636000000"),
    (8, 0xDB): bytes([0xFF] * 8),
    (14, 0x41): bytes.fromhex("0000081C3663637F636363000000"),
    (16, 0x41): bytes.fromhex("0000081C3663637F6363636300000000"),
}
BLANK_GLYPHS = (0x00, 0x20, 0xFF)

GREY_RAMP = (0, 20, 32, 44, 56, 68, 80, 97, 113, 129, 145, 161, 182, 202, 226, 255)
HUE_PATTERN = (
    (0, 0, 4), (1, 0, 4), (2, 0, 4), (3, 0, 4), (4, 0, 4), (4, 0, 3), (4, 0, 2), (4, 0, 1),
    (4, 0, 0), (4, 1, 0), (4, 2, 0), (4, 3, 0), (4, 4, 0), (3, 4, 0), (2, 4, 0), (1, 4, 0),
    (0, 4, 0), (0, 4, 1), (0, 4, 2), (0, 4, 3), (0, 4, 4), (0, 3, 4), (0, 2, 4), (0, 1, 4),
)
HUE_LEVELS = (
    (0, 64, 125, 190, 255), (125, 157, 190, 222, 255), (182, 198, 218, 234, 255),
    (0, 28, 56, 85, 113), (56, 68, 85, 97, 113), (80, 89, 97, 105, 113),
    (0, 16, 32, 48, 64), (32, 40, 48, 56, 64), (44, 48, 52, 60, 64),
)

END_CODE = 4095
LAST_DICTIONARY_CODE = 4094


def reverse_bits(byte):
    return int(f"{byte:08b}"[::-1], 2)


def find_fonts(bios):
    """Returns {height: 256*height ROM-order bytes}, located by glyph 'A'."""
    fonts = {}
    for height in FONT_HEIGHTS:
        pattern = ROM_GLYPH_A[height]
        at = bios.find(pattern)
        if at < 0 or bios.find(pattern, at + 1) >= 0:
            raise SystemExit(f"8x{height} font: 'A' not found exactly once")
        start = at - 0x41 * height
        if start < 0 or start + 256 * height > len(bios):
            raise SystemExit(f"8x{height} font does not fit in the image")
        fonts[height] = bios[start:start + 256 * height]
    return fonts


def stored_fonts(rom_fonts):
    """Bit-reverses the ROM fonts and enforces the required glyphs."""
    fonts = {h: bytearray(reverse_bits(b) for b in data) for h, data in rom_fonts.items()}
    patched = []
    for (height, code), glyph in REQUIRED_GLYPHS.items():
        at = code * height
        if bytes(fonts[height][at:at + height]) != glyph:
            patched.append(f"8x{height} glyph 0x{code:02X}")
            fonts[height][at:at + height] = glyph
    for height in FONT_HEIGHTS:
        for code in BLANK_GLYPHS:
            at = code * height
            if any(fonts[height][at:at + height]):
                patched.append(f"8x{height} glyph 0x{code:02X}")
                fonts[height][at:at + height] = bytes(height)
    return fonts, patched


def palette_16():
    low, high = 170, 85
    entries = []
    for i in range(16):
        r = low * ((i >> 2) & 1) + high * (i >> 3)
        g = low * ((i >> 1) & 1) + high * (i >> 3)
        b = low * (i & 1) + high * (i >> 3)
        entries.append((r, g, b))
    entries[6] = (170, 85, 0)  # brown, not dark yellow
    return entries


def palette_64():
    entries = []
    for i in range(64):
        bit = lambda n: (i >> n) & 1
        entries.append((170 * bit(2) + 85 * bit(5),
                        170 * bit(1) + 85 * bit(4),
                        170 * bit(0) + 85 * bit(3)))
    return entries


def palette_256():
    entries = list(palette_16())
    entries += [(v, v, v) for v in GREY_RAMP]
    for levels in HUE_LEVELS:
        entries += [(levels[r], levels[g], levels[b]) for r, g, b in HUE_PATTERN]
    entries += [(0, 0, 0)] * 8
    assert len(entries) == 256
    return entries


def build_block(fonts):
    block = bytearray()
    for height in FONT_HEIGHTS:
        block += fonts[height]
    for palette in ([(0, 0, 0), (255, 255, 255)], palette_16(), palette_64(), palette_256()):
        for entry in palette:
            block += bytes(entry)
    assert len(block) == BLOCK_SIZE, len(block)
    return bytes(block)


def lzw_encode(data):
    """Greedy LZW: longest match, new entry = match + next byte, entries up
    to 4094, end code appended. Returns (codes, highest code assigned)."""
    dictionary = {}
    next_code = 256
    codes = []
    match = data[0]
    for byte in data[1:]:
        longer = dictionary.get((match, byte))
        if longer is not None:
            match = longer
            continue
        codes.append(match)
        if next_code <= LAST_DICTIONARY_CODE:
            dictionary[(match, byte)] = next_code
            next_code += 1
        match = byte
    codes.append(match)
    codes.append(END_CODE)
    return codes, next_code - 1


def pack_codes(codes):
    out = bytearray()
    for i in range(0, len(codes) - 1, 2):
        a, b = codes[i], codes[i + 1]
        out += bytes((a & 0xFF, (a >> 8) | ((b & 0x0F) << 4), b >> 4))
    if len(codes) % 2:
        last = codes[-1]
        out += bytes((last & 0xFF, last >> 8))
    return bytes(out)


def lzw_decode(packed):
    """A plain decoder for the round-trip check of the generated stream."""
    codes = []
    i = 0
    while i + 1 < len(packed):
        codes.append(packed[i] | (packed[i + 1] & 0x0F) << 8)
        if i + 2 < len(packed):
            codes.append(packed[i + 1] >> 4 | packed[i + 2] << 4)
        i += 3
    strings = {c: bytes((c,)) for c in range(256)}
    out = bytearray(strings[codes[0]])
    prev = codes[0]
    for code in codes[1:]:
        if code == END_CODE:
            return bytes(out)
        text = strings[code] if code in strings else strings[prev] + strings[prev][:1]
        out += text
        if len(strings) <= LAST_DICTIONARY_CODE:
            strings[len(strings)] = strings[prev] + text[:1]
        prev = code
    raise SystemExit("round trip: no end code")


def write_source(path, packed, code_count, highest):
    lines = [
        "// Generated by tools/gen_builtin_data.py; do not edit.",
        "// The built-in fonts (8x8, 8x14, 8x16) and palettes (2, 16, 64, 256",
        f"// entries), {BLOCK_SIZE} bytes packed with 12-bit LZW: {code_count} codes,",
        f"// dictionary up to code {highest}.",
        '#include "gfx/data/builtin_data.h"',
        "",
        "const uint8_t builtin_packed[] = {",
    ]
    for i in range(0, len(packed), 16):
        lines.append("    " + ", ".join(f"0x{b:02X}" for b in packed[i:i + 16]) + ",")
    lines += ["};", "", "const int builtin_packed_size = sizeof(builtin_packed);", ""]
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bios", default="/usr/share/vgabios/vgabios.bin")
    parser.add_argument("--output", default=os.path.join(root, "gfx", "data", "builtin_data_packed.cpp"))
    args = parser.parse_args()

    with open(args.bios, "rb") as f:
        fonts, patched = stored_fonts(find_fonts(f.read()))
    for note in patched:
        print(f"patched {note}", file=sys.stderr)
    block = build_block(fonts)
    codes, highest = lzw_encode(block)
    packed = pack_codes(codes)
    if lzw_decode(packed) != block:
        raise SystemExit("round trip failed")
    write_source(args.output, packed, len(codes), highest)
    print(f"{args.output}: {len(packed)} bytes, {len(codes)} codes, "
          f"dictionary up to {highest}")


if __name__ == "__main__":
    main()
