#!/usr/bin/env python3
"""Compares two screen dumps (8-bit RGB PNG files) against the pixels a blit
may change: those inside RECT (left,top,right,bottom), outside every rectangle
given with --not. Prints three counts: changed pixels outside the allowed
area, allowed pixels that do not hold COLOUR (RRGGBB) after, and allowed
pixels in all. Reads PNG with the standard library only."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "support"))
from screen_png import read_png  # noqa: E402


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
