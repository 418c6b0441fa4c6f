#!/usr/bin/env python3
"""Reads and writes compiled skin files with nothing but struct and zlib,
as a second opinion on the player's own reader and writer.

  skin_file.py check FILE       verifies the container of a file the player
                                wrote (packed data) and prints what it holds
  skin_file.py build OUT FLAGS  writes a small skin whose DATA chunk has the
                                flags 0 (stored) or 1 (packed)

Failures end with exit code 1 and a message on stderr."""

import struct
import sys
import zlib

MAGIC = b'Ostrell skin'


def fail(message):
    sys.stderr.write('skin_file.py: ' + message + '\n')
    sys.exit(1)


def chunks(data, start, end):
    """(tag, data offset, length) of the chunks in data[start:end]."""
    position = start
    while position < end:
        if end - position < 8:
            fail('%d bytes after the last chunk at %d' % (end - position, position))
        tag, length = struct.unpack_from('<4sI', data, position)
        if length > end - position - 8:
            fail('chunk %r at %d overruns its parent' % (tag, position))
        yield tag.decode('latin-1'), position + 8, length
        position += 8 + length


def check(path):
    data = open(path, 'rb').read()
    if data[:12] != MAGIC:
        fail('no magic')
    rest, = struct.unpack_from('<I', data, 12)
    if rest != len(data) - 16:
        fail('rest length %d, file size %d' % (rest, len(data)))
    top = list(chunks(data, 16, len(data)))
    if [tag for tag, _, _ in top] != ['INFO', 'DATA']:
        fail('top-level chunks %r' % [tag for tag, _, _ in top])
    _, info, info_length = top[0]
    subs = list(chunks(data, info, info + info_length))
    if not subs or subs[0][0] != 'IPVR' or subs[0][2] != 8:
        fail('INFO does not start with an 8-byte IPVR')
    minimum, developed_for = struct.unpack_from('<II', data, subs[0][1])
    print('IPVR 0x%08X 0x%08X' % (minimum, developed_for))
    for tag, at, length in subs[1:]:
        print(tag, data[at:at + length].decode('utf-8'))
    _, at, length = top[1]
    flags, unpacked_size, check_value, packed_size = struct.unpack_from('<IIII', data, at)
    if flags != 1:
        fail('DATA flags %d' % flags)
    if packed_size > length - 16:
        fail('packed size %d beyond the chunk' % packed_size)
    packed = data[at + 16:at + 16 + packed_size]
    if zlib.crc32(packed) != check_value:
        fail('check value 0x%08X, CRC-32 of the packed bytes 0x%08X' % (check_value, zlib.crc32(packed)))
    inner = zlib.decompress(packed)
    if len(inner) != unpacked_size:
        fail('inflated %d bytes, announced %d' % (len(inner), unpacked_size))
    print('DATA packed %d %d' % (unpacked_size, packed_size))
    for tag, at, size in chunks(inner, 0, len(inner)):
        print('inner', tag, size)
        if tag == 'FONT':
            for font, _, font_size in chunks(inner, at, at + size):
                print('font', font, font_size)


def chunk(tag, payload):
    return tag.encode('latin-1') + struct.pack('<I', len(payload)) + payload


def build(path, flags):
    info = chunk('IPVR', struct.pack('<II', 0x0001003C, 0x0001004B)) + chunk('INAM', b'Python')
    colours = struct.pack('<I', 33) + b''.join(struct.pack('<I', 0x00010203 * i) for i in range(33))
    inner = chunk('COLR', colours) + chunk('FONT', b'')
    if flags == 1:
        packed = zlib.compress(inner)
        data = struct.pack('<IIII', 1, len(inner), zlib.crc32(packed), len(packed)) + packed
    else:
        data = struct.pack('<I', 0) + inner
    body = chunk('INFO', info) + chunk('DATA', data)
    with open(path, 'wb') as out:
        out.write(MAGIC + struct.pack('<I', len(body)) + body)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == 'check':
        check(sys.argv[2])
    elif len(sys.argv) == 4 and sys.argv[1] == 'build':
        build(sys.argv[2], int(sys.argv[3]))
    else:
        fail('usage: check FILE | build OUT FLAGS')


if __name__ == '__main__':
    main()
