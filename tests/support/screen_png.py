"""Reads the screen dumps the tests write: 8-bit RGB PNG files without
interlacing, with nothing but the standard library. Test scripts import it
after putting this folder on sys.path."""
import struct
import zlib


def read_png(path):
    """Returns (width, height, rows), each row width * 3 bytes of RGB."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(path + ": not a PNG file")
    at, idat, header = 8, b"", None
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        at += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    if header is None:
        raise SystemExit(path + ": no IHDR chunk")
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type != 2 or interlace != 0:
        raise SystemExit(path + ": only 8-bit RGB without interlacing is read")
    raw = zlib.decompress(idat)
    stride = width * 3
    if len(raw) < height * (stride + 1):
        raise SystemExit(path + ": image data is short")
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - 3] if i >= 3 else 0
            up = previous[i]
            corner = previous[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + predictor) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, rows
