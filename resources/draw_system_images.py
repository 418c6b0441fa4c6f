#!/usr/bin/env python3
"""Draws the system icons and cursors that the platform layer carries
(icons/ and cursors/ beside this script). Run it again after changing a
drawing; the build uses the files it writes."""

import os

from icontool import (Canvas, capsule, disc, grown, icon_file, polygon, ring_arc, rotated, union)

HERE = os.path.dirname(os.path.abspath(__file__))

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def badge(color, rim, sign):
    """A round badge with a sign on it, at 32 and 16 pixels."""
    pictures = []
    for size in (32, 16):
        canvas = Canvas(size)
        canvas.fill(disc(16, 16, 15), rim)
        canvas.fill(disc(16, 16, 13.5), color)
        canvas.fill(sign, WHITE)
        pictures.append(canvas)
    return pictures


def error_icon():
    cross = union(capsule(10.5, 10.5, 21.5, 21.5, 2.2), capsule(21.5, 10.5, 10.5, 21.5, 2.2))
    return badge((214, 48, 44), (150, 24, 22), cross)


def question_icon():
    mark = union(ring_arc(16, 12.5, 3.2, 7.6, 160, 80),
                 polygon([(17.4, 16.6), (20.3, 17.2), (18.0, 20.5), (14.2, 20.5), (14.2, 18.0)]),
                 disc(16.2, 24.6, 2.4))
    return badge((46, 111, 208), (24, 66, 140), mark)


def information_icon():
    letter = union(disc(16, 9, 2.5), capsule(16, 14.5, 16, 24, 2.2), capsule(13, 14.5, 16, 14.5, 1.4),
                   capsule(12.8, 24.5, 19.2, 24.5, 1.2))
    return badge((46, 111, 208), (24, 66, 140), letter)


def warning_icon():
    pictures = []
    outline = polygon([(16, 1.5), (31, 29.5), (1, 29.5)])
    inner = polygon([(16, 4.8), (28.2, 27.6), (3.8, 27.6)])
    for size in (32, 16):
        canvas = Canvas(size)
        canvas.fill(outline, (120, 90, 10))
        canvas.fill(inner, (242, 194, 48))
        canvas.fill(union(capsule(16, 11.5, 16, 19.5, 2.0), disc(16, 24, 2.1)), BLACK)
        pictures.append(canvas)
    return pictures


def cursor(shape, hotspot):
    canvas = Canvas(32)
    canvas.fill(grown(shape, 1.1), BLACK)
    canvas.fill(shape, WHITE)
    return icon_file([canvas], [hotspot])


ARROW = polygon([(1, 1), (1, 22.5), (6.2, 17.6), (9.8, 26.2), (13.2, 24.8), (9.6, 16.4), (16.6, 16.4)])
# A double arrow across the middle, turned for the other directions.
DOUBLE_ARROW = polygon([(3, 16), (9.5, 9.5), (9.5, 14.2), (22.5, 14.2), (22.5, 9.5), (29, 16), (22.5, 22.5),
                        (22.5, 17.8), (9.5, 17.8), (9.5, 22.5)])


def main():
    icons = os.path.join(HERE, 'icons')
    cursors = os.path.join(HERE, 'cursors')
    os.makedirs(icons, exist_ok=True)
    os.makedirs(cursors, exist_ok=True)
    for name, pictures in (('error', error_icon()), ('question', question_icon()),
                           ('warning', warning_icon()), ('information', information_icon())):
        with open(os.path.join(icons, name + '.ico'), 'wb') as out:
            out.write(icon_file(pictures))
    for name, shape, hotspot in (('arrow', ARROW, (1, 1)),
                                 ('size-we', DOUBLE_ARROW, (16, 16)),
                                 ('size-ns', rotated(DOUBLE_ARROW, 90), (16, 16)),
                                 ('size-nwse', rotated(DOUBLE_ARROW, 45), (16, 16)),
                                 ('size-nesw', rotated(DOUBLE_ARROW, -45), (16, 16))):
        with open(os.path.join(cursors, name + '.cur'), 'wb') as out:
            out.write(cursor(shape, hotspot))


if __name__ == '__main__':
    main()
