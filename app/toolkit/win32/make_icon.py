#!/usr/bin/env python3
"""Writes the program's icon: 32 x 32 pixels, 16 colours (4 bits a pixel),
with a transparency mask. Usage: make_icon.py <output.ico>"""
import struct
import sys

# The picture of the answer sheet; "." is transparent.
COLOURS = {
    "k": (0x00, 0x00, 0x00),
    "w": (0xFF, 0xFF, 0xFF),
    "s": (0x80, 0x80, 0x80),
    "g": (0xC0, 0xDC, 0xC0),
    "G": (0x00, 0x80, 0x00),
    "r": (0xFF, 0x00, 0x00),
}
PICTURE = [
    "................................",
    "................................",
    "......kkkkkkkkkkkkkkkkkkkkkk....",
    "......kggggggggggggggggggggk....",
    "......kggggggggggggggggggggks...",
    "......kggGGGGGGGGGGGGggggggks...",
    "......kggggggggggggggggggggks...",
    "......kggggggggggggggggggggks...",
    "......kwwwwwwwwwwwwwwwwwwwwks...",
    "......kwwwwwwwwrwwwwwwwwwwwks...",
    "......kwwkkkkkrrwwwwwwwwwwwks...",
    "......kwwkwwwrrwwwwwwwwwwwwks...",
    "......kwwkrwrrwwssssssssswwks...",
    "......kwwkrrrkwwwwwwwwwwwwwks...",
    "......kwwkkrkkwwwwwwwwwwwwwks...",
    "......kwwwwwwwwwwwwwwwwwwwwks...",
    "......kwwkkkkkwwwwwwwwwwwwwks...",
    "......kwwkwwwkwwwwwwwwwwwwwks...",
    "......kwwkwwwkwwssssssssswwks...",
    "......kwwkwwwkwwwwwwwwwwwwwks...",
    "......kwwkkkkkwwwwwwwwwwwwwks...",
    "......kwwwwwwwwrwwwwwwwwwwwks...",
    "......kwwkkkkkrrwwwwwwwwwwwks...",
    "......kwwkwwwrrwwwwwwwwwwwwks...",
    "......kwwkrwrrwwssssssssswwks...",
    "......kwwkrrrkwwwwwwwwwwwwwks...",
    "......kwwkkrkkwwwwwwwwwwwwwks...",
    "......kwwGGGGGGGGGGGGGGGGwwks...",
    "......kwwwwwwwwwwwwwwwwwwwwks...",
    "......kwwwwwwwwwwwwwwwwwwwwks...",
    "......kkkkkkkkkkkkkkkkkkkkkks...",
    "........sssssssssssssssssssss...",
]
SIZE = 32


def icon_bytes():
    assert len(PICTURE) == SIZE and all(len(row) == SIZE for row in PICTURE)
    # Black first: transparent pixels must be 0 in the colour bitmap.
    keys = ["k"] + sorted(k for k in COLOURS if k != "k")
    palette = [COLOURS[k] for k in keys] + [(0, 0, 0)] * (16 - len(keys))
    index = {k: i for i, k in enumerate(keys)}

    xor = bytearray()
    mask = bytearray()
    for row in reversed(PICTURE):  # bottom-up
        pixels = [index.get(c, 0) for c in row]
        for x in range(0, SIZE, 2):
            xor.append((pixels[x] << 4) | pixels[x + 1])
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c == "." else 0)
        mask += struct.pack(">I", bits)  # 32 bits a row, already 4-byte aligned

    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    image = header + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
