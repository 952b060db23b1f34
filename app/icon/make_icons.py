#!/usr/bin/env python3
"""Draws the program icon's files from its one picture, an XPM file:

    make_icons.py --sizes 16,32,48 mirunea.xpm <output folder>

writes <output folder>/mirunea.ico (32 x 32, 16 colours, with a transparency
mask: what the Windows program carries) and
<output folder>/hicolor/<n>x<n>/apps/mirunea.png for each size (the desktop's
icon theme). Standard library only."""
import argparse
import os
import re
import struct
import sys
import zlib

ICO_SIZE = 32
ICO_COLOURS = 16
BLACK = (0, 0, 0)


class PictureError(ValueError):
    pass


def read_xpm(text):
    """The picture as rows of RGB triples, None where transparent."""
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', text)
    if not strings:
        raise PictureError("no XPM strings")
    fields = strings[0].split()
    width, height, count, per_pixel = (int(f) for f in fields[:4])
    if per_pixel != 1:
        raise PictureError("one character a pixel expected")
    colours = {}
    for line in strings[1:1 + count]:
        key, rest = line[0], line[1:].split()
        if len(rest) != 2 or rest[0] != "c":
            raise PictureError("only 'c' colours are read: %r" % line)
        value = rest[1]
        if value.lower() == "none":
            colours[key] = None
        elif re.fullmatch(r"#[0-9A-Fa-f]{6}", value):
            colours[key] = tuple(int(value[i:i + 2], 16) for i in (1, 3, 5))
        else:
            raise PictureError("colours as #RRGGBB or None: %r" % line)
    rows = strings[1 + count:1 + count + height]
    if len(rows) != height or any(len(row) != width for row in rows):
        raise PictureError("the pixel rows do not match %d x %d" % (width, height))
    try:
        return [[colours[c] for c in row] for row in rows]
    except KeyError as e:
        raise PictureError("pixel of an undefined colour %s" % e) from None


def ico_bytes(picture):
    """A one-image .ico, 4 bits a pixel; palette entry 0 is black because a transparent pixel must be
    0 in the colour bitmap (the mask's 1 then leaves the screen unchanged)."""
    if len(picture) != ICO_SIZE or any(len(row) != ICO_SIZE for row in picture):
        raise PictureError("the icon is %d x %d" % (ICO_SIZE, ICO_SIZE))
    palette = [BLACK]
    for row in picture:
        for pixel in row:
            if pixel is not None and pixel not in palette:
                palette.append(pixel)
    if len(palette) > ICO_COLOURS:
        raise PictureError("%d colours, at most %d fit the icon" % (len(palette), ICO_COLOURS))
    palette += [BLACK] * (ICO_COLOURS - len(palette))
    index = {colour: i for i, colour in reversed(list(enumerate(palette)))}

    xor = bytearray()
    mask = bytearray()
    for row in reversed(picture):  # bottom-up
        pixels = [0 if p is None else index[p] for p in row]
        for x in range(0, ICO_SIZE, 2):
            xor.append((pixels[x] << 4) | pixels[x + 1])
        bits = 0
        for p in row:
            bits = (bits << 1) | (p is None)
        mask += struct.pack(">I", bits)  # 32 bits a row, already 4-byte aligned

    header = struct.pack("<IiiHHIIiiII", 40, ICO_SIZE, ICO_SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0,
                         ICO_COLOURS, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    image = header + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", ICO_SIZE, ICO_SIZE, ICO_COLOURS, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def _spans(source, target):
    """For each target pixel, the source pixels it covers with their shares (summing to 1)."""
    spans = []
    for t in range(target):
        start, end = t * source, (t + 1) * source  # in units of 1/target source pixels
        span = []
        for s in range(start // target, (end - 1) // target + 1):
            share = min(end, (s + 1) * target) - max(start, s * target)
            span.append((s, share / source))
        spans.append(span)
    return spans


def scaled_rgba(picture, size):
    """The picture scaled to size x size by area averaging (with premultiplied alpha): whole
    multiples stay crisp pixel for pixel, other sizes blend at the pixel edges."""
    height, width = len(picture), len(picture[0])
    columns, rows = _spans(width, size), _spans(height, size)
    out = []
    for row_span in rows:
        line = []
        for column_span in columns:
            r = g = b = a = 0.0
            for y, wy in row_span:
                for x, wx in column_span:
                    pixel = picture[y][x]
                    if pixel is not None:
                        w = wx * wy
                        r, g, b, a = r + w * pixel[0], g + w * pixel[1], b + w * pixel[2], a + w
            if a <= 0:
                line.append((0, 0, 0, 0))
            else:
                line.append((round(r / a), round(g / a), round(b / a), round(255 * a)))
        out.append(line)
    return out


def png_bytes(rgba):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    height, width = len(rgba), len(rgba[0])
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rgba)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sizes", required=True, help="comma-separated PNG sizes")
    parser.add_argument("xpm")
    parser.add_argument("output")
    args = parser.parse_args()
    with open(args.xpm, encoding="ascii") as f:
        picture = read_xpm(f.read())
    write(os.path.join(args.output, "mirunea.ico"), ico_bytes(picture))
    for size in (int(s) for s in args.sizes.split(",")):
        write(os.path.join(args.output, "hicolor", "%dx%d" % (size, size), "apps", "mirunea.png"),
              png_bytes(scaled_rgba(picture, size)))


if __name__ == "__main__":
    try:
        main()
    except PictureError as e:
        sys.exit("make_icons.py: %s" % e)
