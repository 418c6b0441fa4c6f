#!/usr/bin/env python3
"""Builds and parses native playlist files ("Ostrell PlayList") with
nothing but struct, as a second opinion on the player's reader and writer.

  p4u_file.py fixtures DIR      writes the small files the reader tests use
                                (one per case, named after it)
  p4u_file.py empty OUT LOCATION FLAGS
                                a playlist without entries
  p4u_file.py titled OUT LOCATION URL VOLUME DURATION_PRIORITY DURATION
                     TITLE_PRIORITY TITLE
                                a playlist with one file entry
  p4u_file.py entries OUT LOCATION URL...
                                one entry per URL: a file entry without
                                title, or a folder entry for "folder:URL"
  p4u_file.py many OUT COUNT    COUNT file entries with titles
  p4u_file.py parse FILE [ROUNDS]
                                reads every entry (ROUNDS times) and prints
                                the count and the last URL
  p4u_file.py list FILE         prints "loop L shuffle S" from the header
                                flags, then "file URL" or "folder URL" for
                                each top-level entry
  p4u_file.py location FILE     prints the location stored in the header

Numbers are unsigned 32-bit little-endian; texts carry their NUL, which
their lengths count. Failures end with exit code 1."""

import os
import struct
import sys
import time

MAGIC = b'Ostrell PlayList'
WRITER = 0x1004B
MINIMUM = 0x10000


def text(value):
    return value.encode('utf-8') + b'\0'


def header(entries, location='file:///l/list.p4u', flags=0, writer=WRITER, minimum=MINIMUM, count=None,
           size=None):
    place = text(location)
    body = b''.join(entries)
    if size is None:
        size = len(place) + 12 + len(body)
    if count is None:
        count = len(entries)
    return MAGIC + struct.pack('<IIIIII', writer, minimum, size, flags, count, len(place)) + place + body


def entry(kind, rest):
    return struct.pack('<II', len(rest) + 4, kind) + rest


def folder(url, flags=0):
    raw = text(url)
    return entry(1, struct.pack('<II', flags, len(raw)) + raw)


def file(url, volume=100, titled=True, duration_priority=0, duration=0xFFFFFFFF, title_priority=0, title='',
         url_length=None, title_length=None, title_raw=None):
    raw = text(url)
    rest = struct.pack('<II', 0, len(raw) if url_length is None else url_length) + raw + struct.pack('<I', volume)
    if titled:
        name = text(title) if title_raw is None else title_raw
        rest += struct.pack('<IIII', duration_priority, duration, title_priority,
                            len(name) if title_length is None else title_length) + name
    return entry(0, rest)


def fixtures(folder_path):
    a = 'file:///m/a.mp3'
    b = 'file:///m/b.mp3'
    cases = {
        'kind7-between-files': header([file(a), entry(7, b'\x01' * 23), file(b)]),
        'url-length-1': header([file(a, url_length=1)]),
        'url-length-beyond-entry': header([file(a, url_length=200)]),
        'title-without-nul': header([file(a, title_priority=5, title_raw=b'abc', title_length=3)]),
        'title-length-0': header([file(a, title_length=0, title_raw=b'')]),
        'volume-250': header([file(a, volume=250)]),
        'old-writer-ignores-title': header([file(a, duration_priority=9, duration=1234, title_priority=9,
                                                 title='Old')], writer=0x10040),
        'priorities-0-0': header([file(a, duration=5555, title='Ignored')]),
        'titled': header([file(a, duration_priority=200, duration=183000, title_priority=300, title='Song A'),
                          file(b, volume=40, titled=False)]),
        'minimum-1.76': header([file(a)], minimum=0x1004C),
        'writer-1.76-minimum-1.00': header([file(a)], writer=0x1004C),
        'size-0xFFFFFFF0': header([file(a)], size=0xFFFFFFF0, count=1),
        'location-length-huge': MAGIC + struct.pack('<IIIIII', WRITER, MINIMUM, 13, 0, 1, 0xFFFFFF00) + b'f',
        'size-and-location-huge': MAGIC + struct.pack('<IIIIII', WRITER, MINIMUM, 0xFFFFFFF0, 0, 1, 0xFFFFFF00)
        + b'f' * 64,
        'entry-size-huge': header([struct.pack('<II', 0xFFFFFFF0, 0) + b'\0' * 16]),
        'entry-count-huge': header([file(a)], count=0xFFFFFFFF),
        'truncated-entry': header([file(a)])[:-6],
        'short-header': MAGIC + b'\0' * 10,
        'wrong-magic': b'Ostrell Playlist' + header([])[16:],
        'location-without-nul': MAGIC + struct.pack('<IIIIII', WRITER, MINIMUM, 16, 0, 0, 4) + b'abcd',
        'location-length-0': MAGIC + struct.pack('<IIIIII', WRITER, MINIMUM, 13, 0, 0, 0) + b'\0',
        'folders': header([folder('file:///m/Pending', 1), folder('file:///m/Deep', 3), folder('file:///m/Plain', 2)],
                          flags=3),
        'empty': header([], flags=1),
        # A URL is its text up to the first NUL: none at all is no URL.
        'url-text-empty': header([file(a), folder('\0m/F'), file(b)]),
        'url-inner-nul': header([file(a + '\0junk'), folder('file:///m/F\0junk')]),
    }
    os.makedirs(folder_path, exist_ok=True)
    for name, data in cases.items():
        with open(os.path.join(folder_path, name + '.p4u'), 'wb') as out:
            out.write(data)


def parse(data):
    """(count, last URL) of a file, checking what the reader checks."""
    if data[:16] != MAGIC:
        raise ValueError('no magic')
    writer, minimum, size, flags, count, place = struct.unpack_from('<IIIIII', data, 16)
    position = 40 + place
    last = ''
    found = 0
    for _ in range(count):
        length, kind = struct.unpack_from('<II', data, position)
        rest = position + 8
        position += 4 + length
        if kind not in (0, 1):
            continue
        url_length = struct.unpack_from('<I', data, rest + 4)[0]
        last = data[rest + 8:rest + 7 + url_length].decode('utf-8')
        if kind == 0:
            after = rest + 8 + url_length
            volume = struct.unpack_from('<I', data, after)[0]
            if writer >= WRITER and position - after - 4 >= 16:
                duration_priority, duration, title_priority, title_length = struct.unpack_from('<IIII', data,
                                                                                               after + 4)
                title = data[after + 20:after + 19 + title_length].decode('utf-8')
        found += 1
    return found, last


def listing(data):
    """The header's switches and every top-level entry's kind and URL."""
    if data[:16] != MAGIC:
        raise ValueError('no magic')
    writer, minimum, size, flags, count, place = struct.unpack_from('<IIIIII', data, 16)
    lines = ['loop %d shuffle %d' % (flags & 1, (flags >> 1) & 1)]
    position = 40 + place
    for _ in range(count):
        length, kind = struct.unpack_from('<II', data, position)
        rest = position + 8
        position += 4 + length
        if kind not in (0, 1):
            continue
        url_length = struct.unpack_from('<I', data, rest + 4)[0]
        url = data[rest + 8:rest + 7 + url_length].decode('utf-8')
        lines.append(('file ' if kind == 0 else 'folder ') + url)
    return lines


def main(args):
    if len(args) == 2 and args[0] == 'fixtures':
        fixtures(args[1])
    elif len(args) == 4 and args[0] == 'empty':
        with open(args[1], 'wb') as out:
            out.write(header([], location=args[2], flags=int(args[3])))
    elif len(args) == 9 and args[0] == 'titled':
        _, out_path, location, url, volume, duration_priority, duration, title_priority, title = args
        with open(out_path, 'wb') as out:
            out.write(header([file(url, int(volume), True, int(duration_priority), int(duration),
                                   int(title_priority), title)], location=location))
    elif len(args) >= 3 and args[0] == 'entries':
        entries = [folder(url[7:]) if url.startswith('folder:') else file(url) for url in args[3:]]
        with open(args[1], 'wb') as out:
            out.write(header(entries, location=args[2]))
    elif len(args) == 3 and args[0] == 'many':
        entries = [file('file:///music/album %d/track %05d.mp3' % (i // 12, i), title='Track %d' % i,
                        title_priority=192, duration_priority=193, duration=180000 + i) for i in range(int(args[2]))]
        with open(args[1], 'wb') as out:
            out.write(header(entries))
    elif len(args) in (2, 3) and args[0] == 'parse':
        data = open(args[1], 'rb').read()
        rounds = int(args[2]) if len(args) == 3 else 1
        start = time.perf_counter()
        for _ in range(rounds):
            count, last = parse(data)
        seconds = (time.perf_counter() - start) / rounds
        print('%d %s %.6f' % (count, last, seconds))
    elif len(args) == 2 and args[0] == 'location':
        data = open(args[1], 'rb').read()
        place = struct.unpack_from('<I', data, 36)[0]
        print(data[40:40 + place - 1].decode('utf-8'))
    elif len(args) == 2 and args[0] == 'list':
        print('\n'.join(listing(open(args[1], 'rb').read())))
    else:
        sys.stderr.write(__doc__)
        sys.exit(1)


if __name__ == '__main__':
    main(sys.argv[1:])
