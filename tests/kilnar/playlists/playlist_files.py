#!/usr/bin/env python3
"""Writes and reads the playlist files of the burner's tests with nothing
but struct, as a second opinion on its readers and writers.

  playlist_files.py hostile DIR      the damaged native playlists, one file
                                     per case, named after it
  playlist_files.py native OUT BASE SPEC...
                                     a native playlist of the first version;
                                     SPEC is f:VOLUME:URL (file), d:FLAGS:URL
                                     (folder) or k2 (an entry of kind 2)
  playlist_files.py parse FILE       "size S", "base TEXT", then "file
                                     VOLUME FLAGS URL" or "folder FLAGS URL"
  playlist_files.py mcd OUT PATH...  an MCD archive naming the paths
  playlist_files.py mcd-wide OUT PATH...
                                     the same with strings stored as UTF-16
  playlist_files.py mcd-unknown OUT  an archive of another class
  playlist_files.py mcd-nested OUT N an archive of N documents nested
"""

import os
import struct
import sys

MAGIC = b'Ostrell PlayList'


def text(value):
    return value.encode('utf-8') + b'\0'


def head(count, base, body, minimum=0x10000, size=None, base_length=None):
    if size is None:
        size = 12 + len(base) + len(body)
    return MAGIC + struct.pack('<IIIIII', 0x10000, minimum, size, 0, count,
                               len(base) if base_length is None else base_length) + base + body


def file_entry(url, volume=100, size=None, url_length=None):
    raw = text(url)
    rest = struct.pack('<III', 0, 0, len(raw) if url_length is None else url_length) + raw + struct.pack('<I', volume)
    return struct.pack('<I', len(rest) if size is None else size) + rest


def folder_entry(url, flags=0, size=None):
    raw = text(url)
    rest = struct.pack('<III', 1, flags, len(raw)) + raw
    return struct.pack('<I', len(rest) if size is None else size) + rest


def kind2_entry():
    rest = struct.pack('<III', 2, 0, 4) + b'abc\0' + b'\x07' * 9
    return struct.pack('<I', len(rest)) + rest


def hostile(folder):
    a = file_entry('/m/a.mp3')
    b = file_entry('/m/b.mp3')
    base = text('/m/list.p4u')
    cases = {
        'short-head': MAGIC + b'\0' * 20,
        'other-magic': b'Ostrell Playlist' + head(0, base, b'')[16:],
        'minimum-0x10001': head(0, base, b'', minimum=0x10001),
        'size-field-11': head(0, base, b'', size=11),
        'cut-in-entry': head(2, base, a + b)[:-5],
        'count-huge': head(0xFFFFFFFF, base, a),
        'url-length-huge': head(2, base, a + file_entry('/m/b.mp3', url_length=0xFFFFFFF0)),
        'file-size-below-url': head(2, base, a + file_entry('/m/b.mp3', size=12 + 9)),
        'folder-size-below-url': head(2, base, a + folder_entry('/m/folder', size=12 + 3)),
        'entry-size-huge': head(2, base, a + struct.pack('<IIII', 0xFFFFFFF0, 0, 0, 5) + b'/m/x\0'),
        'kind2-size-huge': head(2, base, a + struct.pack('<IIII', 0xFFFFFFF0, 2, 0, 5) + b'/m/x\0'),
        'url-length-0': head(1, base, struct.pack('<IIII', 16, 0, 0, 0) + struct.pack('<I', 100)),
        'url-without-zero': head(1, base, struct.pack('<IIII', 20, 0, 0, 4) + b'abcd' + struct.pack('<I', 100)),
        'base-length-huge': head(1, b'/m/', a, base_length=0xFFFFFFF0),
        'base-length-0': head(1, b'', a),
        'base-without-zero': head(1, b'/m/list', a),
    }
    os.makedirs(folder, exist_ok=True)
    for name, data in cases.items():
        with open(os.path.join(folder, name + '.p4u'), 'wb') as out:
            out.write(data)


def native(out, base, items):
    entries = []
    for item in items:
        if item == 'k2':
            entries.append(kind2_entry())
            continue
        kind, number, url = item.split(':', 2)
        entries.append(file_entry(url, int(number)) if kind == 'f' else folder_entry(url, int(number)))
    with open(out, 'wb') as target:
        target.write(head(len(entries), text(base), b''.join(entries)))


def parse(path):
    data = open(path, 'rb').read()
    if data[:16] != MAGIC:
        raise SystemExit('no magic')
    writer, minimum, size, flags, count, base_length = struct.unpack_from('<IIIIII', data, 16)
    lines = ['size %d' % size, 'base ' + data[40:40 + base_length - 1].decode('utf-8')]
    position = 40 + base_length
    for _ in range(count):
        entry_size, kind, entry_flags, url_length = struct.unpack_from('<IIII', data, position)
        url = data[position + 16:position + 15 + url_length].decode('utf-8')
        if kind == 0:
            volume = struct.unpack_from('<I', data, position + 16 + url_length)[0]
            lines.append('file %d %d %s' % (volume, entry_flags, url))
        elif kind == 1:
            lines.append('folder %d %s' % (entry_flags, url))
        position += 4 + entry_size
    if position != len(data):
        raise SystemExit('%d bytes after the entries' % (len(data) - position))
    print('\n'.join(lines))


def archive_string(value, wide=False):
    if wide:
        raw = value.encode('utf-16-le')
        return b'\xff' + struct.pack('<H', 0xFFFE) + length_prefix(len(raw) // 2) + raw
    raw = value.encode('utf-8')
    return length_prefix(len(raw)) + raw


def length_prefix(length):
    if length < 0xFF:
        return struct.pack('<B', length)
    if length < 0xFFFF:
        return b'\xff' + struct.pack('<H', length)
    return b'\xff\xff\xff' + struct.pack('<I', length)


def new_class(name, schema=1):
    return struct.pack('<HHH', 0xFFFF, schema, len(name)) + name.encode('ascii')


def pairs(paths, wide=False):
    body = struct.pack('<h', len(paths))
    for number, path in enumerate(paths):
        body += archive_string('Track %d' % (number + 1), wide) + archive_string(path, wide)
    return body


def mcd(paths, wide=False):
    # The document: its class, a null nested document, no pairs of its own.
    document = new_class('CCDAudioDoc') + struct.pack('<H', 0) + struct.pack('<h', 0)
    return document + pairs(paths, wide)


def mcd_nested(depth):
    # The first document names the class (index 1); each nested one refers
    # to it by class tag 0x8001; the innermost holds the null object.
    data = new_class('CCDAudioDoc')
    for _ in range(depth - 1):
        data += struct.pack('<H', 0x8001)
    data += struct.pack('<H', 0)
    data += struct.pack('<h', 0) * depth
    return data + pairs([])


def main(args):
    if len(args) == 2 and args[0] == 'hostile':
        hostile(args[1])
    elif len(args) >= 3 and args[0] == 'native':
        native(args[1], args[2], args[3:])
    elif len(args) == 2 and args[0] == 'parse':
        parse(args[1])
    elif len(args) >= 2 and args[0] in ('mcd', 'mcd-wide'):
        with open(args[1], 'wb') as out:
            out.write(mcd(args[2:], args[0] == 'mcd-wide'))
    elif len(args) == 2 and args[0] == 'mcd-unknown':
        with open(args[1], 'wb') as out:
            out.write(new_class('CPlayListDoc') + struct.pack('<H', 0) + struct.pack('<h', 0) + pairs(['/m/a.mp3']))
    elif len(args) == 3 and args[0] == 'mcd-nested':
        with open(args[1], 'wb') as out:
            out.write(mcd_nested(int(args[2])))
    else:
        sys.stderr.write(__doc__)
        sys.exit(1)


if __name__ == '__main__':
    main(sys.argv[1:])
