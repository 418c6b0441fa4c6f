#!/usr/bin/env python3
"""Checks a screen dump of a disc-shaped window half under another window.

Usage: check_disc_screen.py SCREEN.png DISC_LEFT DISC_TOP DIAMETER DISC_RGB
                            COVER_LEFT COVER_TOP COVER_RIGHT COVER_BOTTOM COVER_RGB
                            DESKTOP_RGB
Colours are six hexadecimal digits. A pixel is inside the disc when its
centre is: (2x + 1 - 2cx)^2 + (2y + 1 - 2cy)^2 <= diameter^2, with cx, cy
the disc's centre. Every pixel of the disc window's rectangle must show the
covering window where that lies, else the disc colour inside the disc and
the desktop outside it. Reads the PNG with nothing but zlib; prints the
first wrong pixels and exits 1 when any is wrong.
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("not a PNG file")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        at += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type != 2 or interlace != 0:
        raise SystemExit("expected 8-bit RGB without interlacing")
    raw = zlib.decompress(idat)
    stride = width * 3
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b = previous[i]
            c = previous[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                predictor = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + predictor) & 255
        rows.append(line)
        previous = line
    return width, height, rows


def main():
    args = sys.argv[1:]
    path = args[0]
    left, top, diameter = (int(v) for v in args[1:4])
    disc = int(args[4], 16)
    cover = [int(v) for v in args[5:9]]
    cover_colour = int(args[9], 16)
    desktop = int(args[10], 16)
    width, height, rows = read_png(path)
    wrong = []
    for y in range(top, top + diameter):
        for x in range(left, left + diameter):
            if not (0 <= x < width and 0 <= y < height):
                continue
            r, g, b = rows[y][x * 3:x * 3 + 3]
            seen = (r << 16) | (g << 8) | b
            dx = 2 * (x - left) + 1 - diameter
            dy = 2 * (y - top) + 1 - diameter
            if cover[0] <= x < cover[2] and cover[1] <= y < cover[3]:
                wanted = cover_colour
            elif dx * dx + dy * dy <= diameter * diameter:
                wanted = disc
            else:
                wanted = desktop
            if seen != wanted:
                wrong.append((x, y, seen, wanted))
    for x, y, seen, wanted in wrong[:10]:
        print("pixel %d,%d is %06x, wanted %06x" % (x, y, seen, wanted))
    print("%d wrong pixels" % len(wrong))
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
