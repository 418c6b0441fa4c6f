#!/usr/bin/env python3
"""Compares two screen dumps (8-bit RGB PNG files) against the pixels a blit
may change: those inside RECT (left,top,right,bottom), outside every rectangle
given with --not. Prints three counts: changed pixels outside the allowed
area, allowed pixels that do not hold COLOUR (RRGGBB) after, and allowed
pixels in all. Reads PNG with the standard library only."""
import struct
import sys
import zlib


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(path + ": not a PNG file")
    at, idat, width, height = 8, b"", 0, 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour != 2:
                raise SystemExit(path + ": only 8-bit RGB is read")
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 3
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - 3] if i >= 3 else 0
            up = previous[i]
            corner = previous[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + pred) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def inside(x, y, r):
    return r[0] <= x < r[2] and r[1] <= y < r[3]


def main():
    args = sys.argv[1:]
    before, after, rect, colour = args[0], args[1], [int(v) for v in args[2].split(",")], args[3]
    excluded = [[int(v) for v in args[i + 1].split(",")] for i in range(4, len(args), 2) if args[i] == "--not"]
    w, h, old = read_png(before)
    w2, h2, new = read_png(after)
    if (w, h) != (w2, h2):
        raise SystemExit("the dumps differ in size")
    want = bytes.fromhex(colour)
    stray = wrong = allowed = 0
    for y in range(h):
        for x in range(w):
            pixel_old, pixel_new = old[y][3 * x:3 * x + 3], new[y][3 * x:3 * x + 3]
            if inside(x, y, rect) and not any(inside(x, y, r) for r in excluded):
                allowed += 1
                wrong += pixel_new != want
            else:
                stray += pixel_old != pixel_new
    print(stray, wrong, allowed)


main()
