#!/usr/bin/env python3
"""Checks what `twltool display WxHx8` printed: the 256-entry palette of an
8-bit display built for a skin, its key and black pixels, and the list of
full-screen modes.

Usage: palette_check.py DUMP
Prints "ok SKINCOLOURS" or the first fault found (exit status 1).
"""
import sys

FIXED = [
    0xC00000, 0x00C000, 0xC0C000, 0x0000C0, 0xC000C0, 0x00C0C0, 0xFF8000, 0xFF0080,
    0xFF8080, 0x80FF00, 0x00FF80, 0x80FF80, 0xFFFF80, 0x8000FF, 0x0080FF, 0x8080FF,
    0xFF80FF, 0x80FFFF, 0xFFC000, 0xFF00C0, 0xFFC0C0, 0xC0FF00, 0x00FFC0, 0xC0FFC0,
    0xFFFFC0, 0xC000FF, 0x00C0FF, 0xC0C0FF, 0xFFC0FF, 0xC0FFFF, 0xA0A0D0, 0xA0D0A0,
    0xD0A0A0, 0x606080, 0x608060, 0x806060, 0x7090B0, 0x406090, 0x0B359A, 0x399FF1,
    0x7C8FA4, 0x778699, 0x62758A, 0x565DB4,
]
KEY_GREEN = 0x000100


def fail(message):
    print(message)
    sys.exit(1)


def main():
    palette = {}
    modes = []
    key = black = None
    with open(sys.argv[1]) as dump:
        for line in dump:
            words = line.split()
            if words[0] == "palette":
                palette[int(words[1])] = None if words[2] == "free" else int(words[2], 16)
            elif words[0] == "fullscreen":
                modes.append(tuple(int(w) for w in words[1:]))
            elif words[0] == "key":
                key = int(words[1], 16)
            elif words[0] == "black":
                black = int(words[1], 16)
    if sorted(palette) != list(range(256)):
        fail("not 256 entries")
    for index, colour in enumerate(FIXED, start=11):
        if palette[index] != colour:
            fail("entry %d is %r, not 0x%06X" % (index, palette[index], colour))
    for index in (8, 9, 10, 246, 247):
        if palette[index] is not None:
            fail("entry %d is not free" % index)
    if key != 10:
        fail("key pixel %r, not 10" % key)
    skin = 0
    while 55 + skin <= 245 and palette[55 + skin] is not None:
        skin += 1
    if skin > 191:
        fail("%d skin colours" % skin)
    for index in range(55 + skin, 246):
        if palette[index] is not None:
            fail("entry %d after the skin colours is not free" % index)
    for index, colour in palette.items():
        if colour == KEY_GREEN:
            fail("entry %d holds the key green" % index)

    def distance(colour):
        return sum(((colour >> shift) & 0xFF) ** 2 for shift in (0, 8, 16))

    candidates = [(distance(c), i) for i, c in palette.items() if c is not None and i != 10]
    if black != min(candidates)[1]:
        fail("black pixel %r, not %d" % (black, min(candidates)[1]))

    if not modes or modes[0] != (0, 0, 0):
        fail("the default full-screen mode is not first")
    rest = modes[1:]
    if len(set(rest)) != len(rest):
        fail("a full-screen mode is listed twice")
    if any(w < 640 or h < 400 or d < 8 for w, h, d in rest):
        fail("a full-screen mode too small or too shallow")
    if rest != sorted(rest, key=lambda m: (m[0], m[1], -m[2])):
        fail("full-screen modes out of order")
    print("ok %d" % skin)


main()
