#!/usr/bin/env python3
"""Compares a slider drawn whole (FULL) with the same slider drawn through a
clip rectangle (CLIPPED), both over a background of colour RRGGBB. Prints
"outside-written N inside-differ M inside-filled K": pixels outside the clip
that are not the background in CLIPPED, pixels inside it where the two
differ, and pixels inside it that the fill painted (not the background)."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from screen_png import read_png  # noqa: E402


def main():
    full_path, clipped_path, clip, colour = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
    left, top, right, bottom = [int(v) for v in clip.split(",")]
    background = bytes.fromhex(colour)
    w, h, full = read_png(full_path)
    w2, h2, clipped = read_png(clipped_path)
    if (w, h) != (w2, h2):
        raise SystemExit("the dumps differ in size")
    outside = differ = filled = 0
    for y in range(h):
        for x in range(w):
            a, b = full[y][3 * x:3 * x + 3], clipped[y][3 * x:3 * x + 3]
            if left <= x < right and top <= y < bottom:
                differ += a != b
                filled += b != background
            else:
                outside += b != background
    print("outside-written %d inside-differ %d inside-filled %d" % (outside, differ, filled))


main()
