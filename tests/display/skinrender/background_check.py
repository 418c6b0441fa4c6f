#!/usr/bin/env python3
"""Compares a dumped 32-bit background (PNG) with the skin's picture: inside
the window shape every pixel must be the picture's, outside it the display
key (green 1). The shape is the mask picture's pixels that differ from the
one at the transparent point (0, 0). Prints "inside N outside M differ D"."""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, 'rb').read()
    offset, = struct.unpack_from('<I', data, 10)
    width, height, _, bits, compression = struct.unpack_from('<iiHHI', data, 18)
    if compression != 0 or bits not in (8, 24):
        raise SystemExit('unsupported BMP ' + path)
    header, = struct.unpack_from('<I', data, 14)
    palette = data[14 + header:offset]
    stride = (width * bits // 8 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        stored = abs(height) - 1 - y if height > 0 else y
        row = data[offset + stored * stride: offset + stored * stride + width * bits // 8]
        if bits == 24:
            rows.append([(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]) for x in range(width)])
        else:
            rows.append([tuple(palette[i * 4:i * 4 + 3][::-1]) for i in row])
    return width, abs(height), rows


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def read_png(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
    position, idat = 8, b''
    while position < len(data):
        length, kind = struct.unpack_from('>I4s', data, position)
        body = data[position + 8:position + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack_from('>IIBB', body)
            assert depth == 8 and colour in (2, 6), 'only 8-bit RGB or RGBA'
            channels = 3 if colour == 2 else 4
        elif kind == b'IDAT':
            idat += body
        position += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, current = line[0], bytearray(line[1:])
        for i in range(stride):
            left = current[i - channels] if i >= channels else 0
            up, corner = previous[i], previous[i - channels] if i >= channels else 0
            add = (0, left, up, (left + up) // 2, paeth(left, up, corner))[kind]
            current[i] = (current[i] + add) & 0xFF
        rows.append([tuple(current[x * channels:x * channels + 3]) for x in range(width)])
        previous = current
    return width, height, rows


def main():
    dumped, picture_path, mask_path = sys.argv[1:4]
    width, height, surface = read_png(dumped)
    picture_size = read_bmp(picture_path)
    mask_size = read_bmp(mask_path)
    if (width, height) != picture_size[:2] or (width, height) != mask_size[:2]:
        raise SystemExit('sizes differ')
    picture, mask = picture_size[2], mask_size[2]
    transparent = mask[0][0]
    inside = outside = differ = 0
    for y in range(height):
        for x in range(width):
            if mask[y][x] != transparent:
                inside += 1
                differ += surface[y][x] != picture[y][x]
            else:
                outside += 1
                differ += surface[y][x] != (0, 1, 0)
    print('inside %d outside %d differ %d' % (inside, outside, differ))


main()
