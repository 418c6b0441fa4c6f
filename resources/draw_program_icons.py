#!/usr/bin/env python3
"""Draws the player's own icons (icons/ beside this script), each at 32 and
16 pixels: the program, the generic item and folder that open the host
image list, the desktop, the document of an unknown type, the playlist and
the three pictures of the tray icon (at rest, under the mouse, menu open),
and the image file of the image plug-in.
Run it again after changing a drawing; the build uses the files it writes.
twl.rlist and pictolan.rlist say which resource number each file is."""

import math
import os

from icontool import Canvas, capsule, disc, grown, icon_file, polygon, union

HERE = os.path.dirname(os.path.abspath(__file__))

WHITE = (255, 255, 255)
ORANGE = (236, 124, 36)
ORANGE_RIM = (166, 78, 18)
PAPER_RIM = (112, 118, 128)
PAPER_FOLD = (214, 220, 228)
INK = (70, 96, 140)


def rounded_rect(x1, y1, x2, y2, radius):
    def inside(x, y):
        cx = min(max(x, x1 + radius), x2 - radius)
        cy = min(max(y, y1 + radius), y2 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def ellipse(cx, cy, rx, ry, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))

    def inside(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * c + dy * s, -dx * s + dy * c
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1
    return inside


def both_sizes(draw):
    """The picture at 32 and 16 pixels; `draw` gets the canvas and whether
    it is the small one, which wants thicker lines and fewer details."""
    pictures = []
    for size in (32, 16):
        canvas = Canvas(size)
        draw(canvas, size == 16)
        pictures.append(canvas)
    return pictures


def note(head_x, head_y, stem_height, scale=1.0):
    """A single note with a flag: a tilted head and a stem on its right."""
    stem_x = head_x + 2.9 * scale
    top = head_y - stem_height
    return union(ellipse(head_x, head_y, 3.4 * scale, 2.5 * scale, -22),
                 capsule(stem_x, head_y - 0.5, stem_x, top, 1.1 * scale),
                 polygon([(stem_x - 0.9 * scale, top - 0.6), (stem_x + 5.0 * scale, top + 4.2 * scale),
                           (stem_x + 4.4 * scale, top + 6.6 * scale), (stem_x - 0.9 * scale, top + 3.4 * scale)]))


def player(canvas, small, tile=ORANGE, rim=ORANGE_RIM):
    """The program: two beamed notes on an orange tile."""
    canvas.fill(rounded_rect(1.5, 1.5, 30.5, 30.5, 6), rim)
    canvas.fill(rounded_rect(3, 3, 29, 29, 5), tile)
    width = 1.8 if small else 1.3
    notes = union(ellipse(10.5, 23, 3.9, 2.8, -22), ellipse(21.5, 20, 3.9, 2.8, -22),
                  capsule(13.8, 22.2, 13.8, 9.2, width), capsule(24.8, 19.2, 24.8, 6.2, width),
                  polygon([(12.5, 7.2), (26.1, 4.0), (26.1, 8.6), (12.5, 11.8)]))
    canvas.fill(notes, WHITE)


def page(canvas, small):
    """A sheet of paper with a folded corner. The rim is two units wide on
    even coordinates, so that it survives when the 32-pixel picture is
    shrunk to 16 by taking every other pixel."""
    canvas.fill(polygon([(6, 2), (20, 2), (26, 8), (26, 30), (6, 30)]), PAPER_RIM)
    canvas.fill(polygon([(8, 4), (18, 4), (18, 10), (24, 10), (24, 28), (8, 28)]), WHITE)
    canvas.fill(polygon([(20, 4), (20, 8), (24, 8)]), PAPER_FOLD)


def item(canvas, small):
    """Any object the player lists before it knows more about it."""
    page(canvas, small)


def document(canvas, small):
    """A file whose type has no icon of its own: a written page."""
    page(canvas, small)
    # Lines on whole pixels of either size, as the rim.
    lines = (11, 17, 23) if small else (10, 14, 18, 22)
    for row, y in enumerate(lines):
        right = 16.5 if row == 0 else (18 if row == len(lines) - 1 else 21)
        canvas.fill(capsule(11, y, right, y, 1.0), INK)


def picture(canvas, small):
    """An image file: a framed landscape, sky, sun and a green hill."""
    frame = rounded_rect(2, 5, 30, 27, 2)
    canvas.fill(frame, PAPER_RIM)
    view = rounded_rect(4, 7, 28, 25, 1)
    canvas.fill(view, (120, 180, 232))
    canvas.fill(disc(10, 12, 3 if small else 2.5), (250, 214, 84))
    canvas.fill(lambda x, y: view(x, y) and (x - 21) ** 2 + (y - 36) ** 2 <= 15 ** 2, (80, 160, 76))
    if not small:
        canvas.fill(lambda x, y: view(x, y) and (x - 7) ** 2 + (y - 38) ** 2 <= 15 ** 2, (60, 132, 60))


def folder(canvas, small):
    """A closed folder."""
    back = union(polygon([(2.5, 6), (12, 6), (14.5, 9), (29.5, 9), (29.5, 27), (2.5, 27)]))
    front = polygon([(2.5, 12.5), (29.5, 12.5), (29.5, 27), (2.5, 27)])
    rim = (150, 108, 22)
    canvas.fill(grown(back, 1.6 if small else 1.0), rim)
    canvas.fill(back, (226, 178, 60))
    canvas.fill(grown(front, 0.9 if small else 0.6), rim)
    canvas.fill(front, (250, 210, 96))


def desktop(canvas, small):
    """The desktop: a screen on a stand."""
    frame = (58, 64, 74)
    canvas.fill(rounded_rect(2, 4, 30, 23.5, 2.5), frame)
    canvas.fill(polygon([(13, 23), (19, 23), (20.5, 27.5), (11.5, 27.5)]), frame)
    canvas.fill(capsule(8.5, 28, 23.5, 28, 1.8), frame)
    screen = rounded_rect(4.5, 6.5, 27.5, 21, 1)
    canvas.fill(screen, (84, 150, 214))
    if not small:
        canvas.fill(lambda x, y: screen(x, y) and (x - 22) ** 2 + (y - 34) ** 2 <= 15.5 ** 2, (96, 176, 92))
        canvas.fill(disc(9.5, 10.5, 2), (250, 226, 120))
    else:
        canvas.fill(lambda x, y: screen(x, y) and y >= 16, (96, 176, 92))


def playlist(canvas, small):
    """A playlist: lines of a list with a note beside them."""
    width = 1.0
    rows = (7, 13, 19) if small else (6, 12, 18, 24)
    # The top line runs above the note; the others stop short of it.
    for row, y in enumerate(rows):
        canvas.fill(capsule(3.5, y, 27 if row == 0 else 16.5, y, width), INK)
    shape = note(21.5, 25.5, 12, 1.0)
    canvas.fill(grown(shape, 1.4 if small else 1.0), ORANGE_RIM)
    canvas.fill(shape, ORANGE)


def tray_normal(canvas, small):
    """The tray icon at rest: the program's tile."""
    player(canvas, small)


def tray_hover(canvas, small):
    """The tray icon under the mouse: the tile lit up, with a white rim."""
    player(canvas, small, tile=(252, 176, 64), rim=WHITE)


def tray_menu(canvas, small):
    """The tray icon while its menu is open: the tile pressed dark, the
    notes still white."""
    player(canvas, small, tile=ORANGE_RIM, rim=(92, 42, 8))


def tick_box(canvas, small, ticked):
    """A check box of the extension list: white with a dark rim, and a
    green tick when the extension belongs to the player."""
    canvas.fill(rounded_rect(4, 4, 28, 28, 3), PAPER_RIM)
    canvas.fill(rounded_rect(6.5, 6.5, 25.5, 25.5, 2), WHITE)
    if ticked:
        width = 2.6 if small else 2.0
        canvas.fill(union(capsule(9.5, 16.5, 14, 21.5, width), capsule(14, 21.5, 23, 10, width)), (40, 150, 60))


def ticked(canvas, small):
    tick_box(canvas, small, True)


def unticked(canvas, small):
    tick_box(canvas, small, False)


# File names as twl.rlist lists them.
ICONS = (('player', player), ('folder', folder), ('item', item), ('desktop', desktop),
         ('document', document), ('playlist', playlist), ('tray-normal', tray_normal),
         ('tray-hover', tray_hover), ('tray-menu', tray_menu), ('picture', picture),
         ('ticked', ticked), ('unticked', unticked))


def main():
    icons = os.path.join(HERE, 'icons')
    os.makedirs(icons, exist_ok=True)
    for name, draw in ICONS:
        with open(os.path.join(icons, name + '.ico'), 'wb') as out:
            out.write(icon_file(both_sizes(draw)))


if __name__ == '__main__':
    main()
