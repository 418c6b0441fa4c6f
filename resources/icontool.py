"""Writing icons, cursors and bitmaps in the Windows file formats, and a
small supersampling painter for drawing them. Used by the scripts that draw
this project's own pictures; only the standard library is needed."""

import math
import struct

SUPERSAMPLE = 4


class Canvas:
    """A square picture of `size` pixels whose shapes are given in a design
    space of `units` (32 by default), painted back to front."""

    def __init__(self, size, units=32.0):
        self.size = size
        self.scale = units / size
        self.pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def fill(self, inside, color):
        """Paints the points for which inside(x, y) holds (design units)."""
        r, g, b = color
        step = 1.0 / SUPERSAMPLE
        for py in range(self.size):
            for px in range(self.size):
                hits = 0
                for sy in range(SUPERSAMPLE):
                    for sx in range(SUPERSAMPLE):
                        x = (px + (sx + 0.5) * step) * self.scale
                        y = (py + (sy + 0.5) * step) * self.scale
                        if inside(x, y):
                            hits += 1
                if hits:
                    self._blend(px, py, (r, g, b), hits / SUPERSAMPLE ** 2)

    def _blend(self, px, py, color, coverage):
        br, bg, bb, ba = self.pixels[py][px]
        a = coverage + ba / 255.0 * (1 - coverage)
        if a <= 0:
            return
        mix = [(c * coverage + d * ba / 255.0 * (1 - coverage)) / a for c, d in zip(color, (br, bg, bb))]
        self.pixels[py][px] = (round(mix[0]), round(mix[1]), round(mix[2]), round(a * 255))


# Shapes: functions of a point in design units.

def disc(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def ring_arc(cx, cy, inner, outer, start, end):
    """Part of a ring between two angles in degrees, counted clockwise from
    the right on screen (y grows downwards)."""
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not inner ** 2 <= d2 <= outer ** 2:
            return False
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (angle - start) % 360 <= (end - start) % 360
    return inside


def capsule(x1, y1, x2, y2, radius):
    """A line from (x1, y1) to (x2, y2) with round ends."""
    dx, dy = x2 - x1, y2 - y1
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / length2))
        px, py = x1 + t * dx, y1 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= radius ** 2
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def grown(shape, by):
    """The shape widened by `by` units all round (for outlines)."""
    offsets = [(by * math.cos(a * math.pi / 8), by * math.sin(a * math.pi / 8)) for a in range(16)]
    return lambda x, y: shape(x, y) or any(shape(x + ox, y + oy) for ox, oy in offsets)


def rotated(shape, degrees, cx=16.0, cy=16.0):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return lambda x, y: shape(cx + (x - cx) * c + (y - cy) * s, cy - (x - cx) * s + (y - cy) * c)


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


# File formats, written field by field, little-endian.

def _image_bytes(canvas):
    """A 32-bit icon image: the DIB header (height doubled for the mask), the
    BGRA rows bottom-up, then the mask (set where fully transparent)."""
    size = canvas.size
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = bytearray()
    for y in reversed(range(size)):
        for r, g, b, a in canvas.pixels[y]:
            rows += bytes((b, g, r, a))
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x, (_, _, _, a) in enumerate(canvas.pixels[y]):
            if a == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + rows + mask


def icon_file(canvases, hotspots=None):
    """An .ico file, or a .cur file when hot spots are given."""
    images = [_image_bytes(c) for c in canvases]
    out = bytearray(struct.pack('<HHH', 0, 2 if hotspots else 1, len(images)))
    offset = 6 + 16 * len(images)
    for i, (canvas, image) in enumerate(zip(canvases, images)):
        side = canvas.size % 256
        if hotspots:
            first, second = hotspots[i]
        else:
            first, second = 1, 32
        out += struct.pack('<BBBBHHII', side, side, 0, 0, first, second, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def bmp_file(width, height, bit_count, rows, palette=(), top_down=False, masks=None):
    """A .bmp file from rows of already packed pixel bytes, top row first."""
    stride = (width * bit_count + 31) // 32 * 4
    body = bytearray()
    for row in (rows if top_down else reversed(rows)):
        body += bytes(row) + bytes(stride - len(row))
    compression = 3 if masks else 0
    header = struct.pack('<IiiHHIIiiII', 40, width, -height if top_down else height, 1, bit_count, compression,
                         len(body), 2835, 2835, len(palette), 0)
    extra = b''.join(struct.pack('<I', m) for m in masks) if masks else b''
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    offset = 14 + len(header) + len(extra) + len(table)
    file_header = b'BM' + struct.pack('<IHHI', offset + len(body), 0, 0, offset)
    return file_header + header + extra + table + bytes(body)
