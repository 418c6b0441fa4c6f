#!/usr/bin/env python3
"""Writes the small pictures the resource tests load, each with pixels the
tests can predict. Run it again after changing a picture."""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', '..', '..', 'resources'))

from icontool import Canvas, bmp_file, icon_file  # noqa: E402


def gradient(size, blue):
    """Pixel (x, y) is red 8x, green 8y (at 32 pixels), fully opaque, except
    the top left pixel, which is transparent."""
    canvas = Canvas(size)
    step = 256 // size
    for y in range(size):
        for x in range(size):
            canvas.pixels[y][x] = (x * step, y * step, blue, 255)
    canvas.pixels[0][0] = (0, 0, 0, 0)
    return canvas


def paletted_icon_image(size):
    """A 4-bit icon image with a mask: the left half is transparent, the
    right half shows palette colour (x % 16)."""
    palette = [(i * 16, 255 - i * 16, i * 8) for i in range(16)]
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    stride = (size * 4 + 31) // 32 * 4
    rows = bytearray()
    for _ in range(size):
        row = bytearray(stride)
        for x in range(size):
            row[x // 2] |= (x % 16) << (0 if x % 2 else 4)
        rows += row
    mask_stride = (size + 31) // 32 * 4
    mask = bytearray()
    for _ in range(size):
        row = bytearray(mask_stride)
        for x in range(size // 2):
            row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + table + bytes(rows) + bytes(mask)


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as out:
        out.write(data)


def main():
    # Two sizes in one icon: LoadIconA takes the 32-pixel one.
    write('two-sizes.ico', icon_file([gradient(32, 0x40), gradient(16, 0x80)]))
    # A cursor with its hot spot off the corner.
    cursor = gradient(32, 0xC0)
    write('hotspot.cur', icon_file([cursor], [(5, 7)]))
    # A 4-bit icon image with a mask, put into an icon file by hand.
    image = paletted_icon_image(32)
    write('paletted.ico', struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4, len(image), 22)
          + image)
    # 29 x 29, 8 bits: index (x + 2y) % 256 of a grey ramp, bottom-up rows.
    grey = [(i, i, i) for i in range(256)]
    write('arrow.bmp', bmp_file(29, 29, 8, [[(x + 2 * y) % 256 for x in range(29)] for y in range(29)], grey))
    # 3 x 2, 24 bits, top-down rows.
    colors = [[(255, 0, 0), (0, 255, 0), (0, 0, 255)], [(1, 2, 3), (250, 251, 252), (128, 64, 32)]]
    write('top-down.bmp', bmp_file(3, 2, 24, [b''.join(bytes((b, g, r)) for r, g, b in row) for row in colors],
                                   top_down=True))
    # 2 x 2, 16 bits 5-6-5 with bit field masks.
    def rgb565(r, g, b):
        return struct.pack('<H', (r >> 3) << 11 | (g >> 2) << 5 | b >> 3)
    write('fields.bmp', bmp_file(2, 2, 16, [rgb565(255, 0, 0) + rgb565(0, 255, 0),
                                            rgb565(0, 0, 255) + rgb565(255, 255, 255)],
                                 masks=(0xF800, 0x07E0, 0x001F)))
    write('blob.bin', bytes(range(256)) * 3 + b'\0end')


if __name__ == '__main__':
    main()
