#!/usr/bin/env python3
"""Draws the pictures of the player's built-in skin (skins/builtin/ beside
this script): the main window in its three modes (each as four state
pictures and a map whose colours mark the elements), the control window
for the normal and small modes, the frame of the auxiliary windows, and the
bitmap fonts. Skin.ini, Colors.ini and the other ini files are written by
hand; the points they give lie on the map colours drawn here.

The look follows the program icons: an orange accent and white symbols on
dark slate panels with blue ink. Plain shapes, no smoothing, so every pixel
is exactly one of a few colours. Run it again after changing a drawing; the
build compiles the folder as it stands. Only the standard library is
needed, and the output is the same on every run."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, 'skins', 'builtin')

# Colours of the program icons.
ORANGE = (236, 124, 36)
ORANGE_RIM = (166, 78, 18)
WHITE = (255, 255, 255)
INK = (70, 96, 140)

PANEL = (38, 44, 58)
PANEL_LIGHT = (58, 66, 84)
PANEL_DARK = (24, 28, 38)
INSET = (16, 19, 26)
FACE = (52, 60, 78)
FACE_HOVER = (72, 84, 108)
FACE_DOWN = (30, 35, 46)
SYMBOL = (236, 240, 246)
SYMBOL_DISABLED = (110, 116, 128)
TRACK = (30, 36, 48)

# Map colours: the transparent colour and the window body; elements get
# colours of their own from MapColors.
TRANSPARENT = (255, 0, 255)
BODY = (0, 0, 0)


class MapColors:
    """Distinct map colours, one per element, in the order asked for."""

    def __init__(self):
        self.next = 1

    def take(self):
        n = self.next
        self.next += 1
        return (40 + (n * 37) % 200, 20 + (n * 53) % 220, 10 + (n * 71) % 230)


class Picture:
    def __init__(self, width, height, color):
        self.width = width
        self.height = height
        self.rows = [[color] * width for _ in range(height)]

    def fill(self, inside, color, box=None):
        """Paints the pixels whose centre satisfies inside(x, y), within the
        box (left, top, right, bottom) when given."""
        left, top, right, bottom = box or (0, 0, self.width, self.height)
        for y in range(max(top, 0), min(bottom, self.height)):
            row = self.rows[y]
            for x in range(max(left, 0), min(right, self.width)):
                if inside(x + 0.5, y + 0.5):
                    row[x] = color

    def rect(self, box, color):
        self.fill(lambda x, y: True, color, box)

    def get(self, x, y):
        return self.rows[y][x]


# Shapes in pixel coordinates (pixel centres at .5).

def rounded(box, radius):
    left, top, right, bottom = box

    def inside(x, y):
        if not (left <= x < right and top <= y < bottom):
            return False
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                hit = not hit
        return hit
    return inside


def disc(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def bars(boxes):
    return union(*[lambda x, y, b=b: b[0] <= x < b[2] and b[1] <= y < b[3] for b in boxes])


# Button symbols, drawn into a box (left, top, right, bottom) around its
# centre.

def centred(box, w, h):
    left, top, right, bottom = box
    x = (left + right - w) / 2
    y = (top + bottom - h) / 2
    return x, y


def symbol_play(box):
    x, y = centred(box, 8, 10)
    return polygon([(x, y), (x + 8, y + 5), (x, y + 10)])


def symbol_pause(box):
    x, y = centred(box, 8, 10)
    return bars([(x, y, x + 3, y + 10), (x + 5, y, x + 8, y + 10)])


def symbol_stop(box):
    x, y = centred(box, 8, 8)
    return bars([(x, y, x + 8, y + 8)])


def symbol_next(box):
    x, y = centred(box, 10, 8)
    return union(polygon([(x, y), (x + 5, y + 4), (x, y + 8)]), polygon([(x + 4, y), (x + 9, y + 4), (x + 4, y + 8)]),
                 bars([(x + 9, y, x + 10, y + 8)]))


def symbol_previous(box):
    x, y = centred(box, 10, 8)
    return union(bars([(x, y, x + 1, y + 8)]), polygon([(x + 6, y), (x + 1, y + 4), (x + 6, y + 8)]),
                 polygon([(x + 10, y), (x + 5, y + 4), (x + 10, y + 8)]))


def symbol_loop(box):
    x, y = centred(box, 10, 8)
    ring = lambda px, py: rounded((x, y, x + 10, y + 8), 3)(px, py) and not rounded((x + 2, y + 2, x + 8, y + 6), 1)(px, py)
    return union(ring, polygon([(x + 5, y - 1), (x + 8, y + 1), (x + 5, y + 3)]))


def symbol_shuffle(box):
    x, y = centred(box, 10, 8)
    return union(polygon([(x, y), (x + 2, y), (x + 10, y + 7), (x + 10, y + 8), (x + 8, y + 8), (x, y + 1)]),
                 polygon([(x, y + 7), (x + 8, y), (x + 10, y), (x + 10, y + 1), (x + 2, y + 8), (x, y + 8)]))


def symbol_list(box):
    x, y = centred(box, 10, 8)
    return bars([(x, y, x + 10, y + 2), (x, y + 3, x + 10, y + 5), (x, y + 6, x + 7, y + 8)])


def symbol_options(box):
    x, y = centred(box, 9, 9)
    return lambda px, py: disc(x + 4.5, y + 4.5, 4.5)(px, py) and not disc(x + 4.5, y + 4.5, 2)(px, py)


def symbol_menu(box):
    x, y = centred(box, 6, 6)
    return bars([(x, y, x + 6, y + 1), (x, y + 2.5, x + 6, y + 3.5), (x, y + 5, x + 6, y + 6)])


def symbol_minimize(box):
    x, y = centred(box, 6, 6)
    return bars([(x, y + 4, x + 6, y + 6)])


def symbol_exit(box):
    x, y = centred(box, 6, 6)
    return union(polygon([(x, y), (x + 1.5, y), (x + 6, y + 4.5), (x + 6, y + 6), (x + 4.5, y + 6), (x, y + 1.5)]),
                 polygon([(x + 4.5, y), (x + 6, y), (x + 6, y + 1.5), (x + 1.5, y + 6), (x, y + 6), (x, y + 4.5)]))


def symbol_small(box):
    x, y = centred(box, 6, 6)
    return lambda px, py: bars([(x, y, x + 6, y + 6)])(px, py) and not bars([(x + 1, y + 2, x + 5, y + 5)])(px, py)


def symbol_mini(box):
    x, y = centred(box, 6, 6)
    return bars([(x, y + 2, x + 6, y + 4)])


SYMBOLS = {
    'ButtonPlay': symbol_play, 'ButtonPause': symbol_pause, 'ButtonStop': symbol_stop, 'ButtonNext': symbol_next,
    'ButtonPrevious': symbol_previous, 'ButtonLoop': symbol_loop, 'ButtonShuffle': symbol_shuffle,
    'ButtonPlayList': symbol_list, 'ButtonOptions': symbol_options, 'ButtonMenu': symbol_menu,
    'ButtonMinimize': symbol_minimize, 'ButtonExit': symbol_exit, 'ButtonSmall': symbol_small,
    'ButtonMini': symbol_mini,
}

STATES = ['Normal', 'Hover', 'Down', 'Disabled']
FACES = {'Normal': FACE, 'Hover': FACE_HOVER, 'Down': FACE_DOWN, 'Disabled': FACE}
SYMBOL_COLORS = {'Normal': SYMBOL, 'Hover': ORANGE, 'Down': ORANGE, 'Disabled': SYMBOL_DISABLED}


class MainWindow:
    """One mode of the main window: the layout, drawn as the four state
    pictures and the map, and the ini entries that point into the map."""

    def __init__(self, prefix, width, height, radius):
        self.prefix = prefix
        self.width = width
        self.height = height
        self.radius = radius
        self.buttons = []     # (key, box)
        self.areas = []       # (key, box) of the drag area, info and times
        self.bars = []        # (key, box, inside or None, shapes per state)
        self.insets = []      # boxes drawn sunken

    def draw(self, state):
        picture = Picture(self.width, self.height, TRANSPARENT)
        body = rounded((0, 0, self.width, self.height), self.radius)
        picture.fill(body, ORANGE_RIM)
        picture.fill(rounded((1, 1, self.width - 1, self.height - 1), self.radius - 1), PANEL)
        picture.rect((self.radius, 1, self.width - self.radius, 2), PANEL_LIGHT)
        for key, box in self.areas:
            if key == 'DragArea':
                self.draw_grip(picture, box)
        for box in self.insets:
            picture.fill(rounded(box, 2), INSET)
        for key, box, inside in self.bars:
            shape = inside or (lambda x, y: True)
            if state == 'Down':
                picture.fill(shape, ORANGE, box)
                picture.fill(lambda x, y, s=shape: s(x, y) and y < box[1] + 2, (250, 170, 96), box)
            else:
                picture.fill(shape, TRACK, box)
        for key, box in self.buttons:
            self.draw_button(picture, key, box, state)
        return picture

    def draw_grip(self, picture, box):
        left, top, right, bottom = box
        for x in range(left + 2, right - 2, 3):
            picture.rect((x, top + 3, x + 1, bottom - 3), PANEL_LIGHT)

    def draw_button(self, picture, key, box, state):
        picture.fill(rounded(box, 3), FACES[state])
        if state != 'Down':
            picture.fill(lambda x, y: rounded(box, 3)(x, y) and y < box[1] + 1.5, PANEL_LIGHT)
        shift = 1 if state == 'Down' else 0
        symbol = SYMBOLS[key]((box[0] + shift, box[1] + shift, box[2] + shift, box[3] + shift))
        picture.fill(symbol, SYMBOL_COLORS[state], box)

    def draw_map(self):
        colors = MapColors()
        picture = Picture(self.width, self.height, TRANSPARENT)
        picture.fill(rounded((0, 0, self.width, self.height), self.radius), BODY)
        entries = {'Transparent': (0, 0)}
        for key, box in self.areas + self.buttons:
            color = colors.take()
            picture.rect(box, color)
            entries[key] = (box[0], box[1])
        for key, box, inside in self.bars:
            color = colors.take()
            picture.fill(inside or (lambda x, y: True), color, box)
            entries[key] = self.first_pixel(picture, box, color)
        return picture, entries

    @staticmethod
    def first_pixel(picture, box, color):
        for y in range(box[1], box[3]):
            for x in range(box[0], box[2]):
                if picture.get(x, y) == color:
                    return (x, y)
        raise ValueError('element without pixels')


def normal_mode():
    mode = MainWindow('', 280, 100, 8)
    mode.areas = [('DragArea', (8, 4, 200, 18)), ('Info', (10, 22, 270, 38)), ('Time1', (10, 42, 74, 58))]
    mode.insets = [(10, 22, 270, 38), (10, 42, 74, 58)]
    top = [('ButtonMenu', 206), ('ButtonMini', 220), ('ButtonSmall', 234), ('ButtonMinimize', 248), ('ButtonExit', 262)]
    mode.buttons = [(key, (x, 5, x + 12, 17)) for key, x in top]
    row = ['ButtonPrevious', 'ButtonPlay', 'ButtonPause', 'ButtonStop', 'ButtonNext']
    mode.buttons += [(key, (10 + 28 * i, 64, 34 + 28 * i, 84)) for i, key in enumerate(row)]
    extra = ['ButtonLoop', 'ButtonShuffle', 'ButtonPlayList', 'ButtonOptions']
    mode.buttons += [(key, (154 + 22 * i, 66, 172 + 22 * i, 82)) for i, key in enumerate(extra)]
    # The volume bar is a wedge that grows to the right; its bar script
    # (VolumeBar.ini) runs along its bottom row.
    volume = (242, 64, 270, 84)
    wedge = lambda x, y: int(y) - 64 >= 19 - ((int(x) - 242) * 19) // 27
    mode.bars = [('ProgressBar', (80, 46, 270, 54), None), ('VolumeBar', volume, wedge)]
    return mode


def small_mode():
    mode = MainWindow('Sm', 280, 30, 6)
    mode.areas = [('DragArea', (4, 4, 40, 26)), ('Info', (44, 7, 170, 23))]
    mode.insets = [(44, 7, 170, 23)]
    row = ['ButtonPrevious', 'ButtonPlay', 'ButtonStop', 'ButtonNext']
    mode.buttons = [(key, (174 + 18 * i, 7, 190 + 18 * i, 23)) for i, key in enumerate(row)]
    mode.buttons += [('ButtonSmall', (248, 4, 260, 16)), ('ButtonExit', (262, 4, 274, 16)),
                     ('ButtonMinimize', (248, 17, 260, 27))]
    return mode


def mini_mode():
    mode = MainWindow('Mini', 160, 20, 4)
    mode.areas = [('DragArea', (3, 3, 40, 17)), ('Time1', (92, 3, 128, 17))]
    mode.insets = [(92, 3, 128, 17)]
    row = ['ButtonPlay', 'ButtonStop', 'ButtonNext']
    mode.buttons = [(key, (44 + 16 * i, 3, 58 + 16 * i, 17)) for i, key in enumerate(row)]
    mode.buttons += [('ButtonMini', (132, 4, 144, 16)), ('ButtonExit', (146, 4, 158, 16))]
    return mode


# The control window: three bands of the full width; the middle one is
# tiled when the window grows.

def control_window(prefix, height, top, bottom):
    width = 340
    picture = Picture(width, height, TRANSPARENT)
    picture.fill(rounded((0, 0, width, height), 6), ORANGE_RIM)
    picture.fill(rounded((1, 1, width - 1, height - 1), 5), PANEL)
    picture.rect((6, 1, width - 6, 2), PANEL_LIGHT)
    for x in range(14, 60, 3):
        picture.rect((x, 4, x + 1, top - 4), PANEL_LIGHT)
    picture.rect((9, top - 1, width - 9, bottom + 1), INSET)
    for y in range(top + 1, bottom, 4):
        picture.rect((10, y, width - 10, y + 1), PANEL_DARK)
    mask = Picture(width, height, TRANSPARENT)
    mask.fill(rounded((0, 0, width, height), 6), BODY)
    mask.fill(lambda x, y: y < top and rounded((0, 0, width, height), 6)(x, y), (200, 40, 40))
    mask.fill(lambda x, y: top <= y < bottom, (40, 200, 40))
    mask.fill(lambda x, y: y >= bottom and rounded((0, 0, width, height), 6)(x, y), (40, 40, 200))
    return picture, mask


# The frame of the auxiliary windows: borders of ten pixels, a caption
# area in the top border.

def aux_window():
    size = 64
    picture = Picture(size, size, TRANSPARENT)
    frame = rounded((0, 0, size, size), 6)
    picture.fill(frame, ORANGE_RIM)
    picture.fill(rounded((1, 1, size - 1, size - 1), 5), PANEL)
    picture.rect((6, 1, size - 6, 2), PANEL_LIGHT)
    picture.rect((10, 10, size - 10, size - 10), PANEL_DARK)
    picture.rect((9, 9, size - 9, 10), INSET)
    mask = Picture(size, size, TRANSPARENT)
    mask.fill(frame, BODY)
    mask.fill(lambda x, y: frame(x, y) and y < 10, (200, 40, 40))
    mask.fill(lambda x, y: 10 <= y < size - 10 and x < 10, (40, 200, 40))
    mask.fill(lambda x, y: 10 <= y < size - 10 and x >= size - 10, (40, 40, 200))
    mask.fill(lambda x, y: frame(x, y) and y >= size - 10, (200, 200, 40))
    mask.rect((12, 2, size - 12, 9), (40, 200, 200))
    return picture, mask


# Fonts: a plain 3 x 5 pixel face, each glyph drawn in five rows of three
# columns; lower-case letters share the capitals' shapes.

GLYPHS = {
    ' ': '... ... ... ... ...', '!': '.x. .x. .x. ... .x.', '"': 'x.x x.x ... ... ...', '#': 'x.x xxx x.x xxx x.x',
    '$': '.xx xx. .x. .xx xx.', '%': 'x.. ..x .x. x.. ..x', '&': '.x. x.x .x. x.x .xx', "'": '.x. .x. ... ... ...',
    '(': '..x .x. .x. .x. ..x', ')': 'x.. .x. .x. .x. x..', '*': '... x.x .x. x.x ...', '+': '... .x. xxx .x. ...',
    ',': '... ... ... .x. x..', '-': '... ... xxx ... ...', '.': '... ... ... ... .x.', '/': '..x ..x .x. x.. x..',
    '0': 'xxx x.x x.x x.x xxx', '1': '.x. xx. .x. .x. xxx', '2': 'xxx ..x xxx x.. xxx', '3': 'xxx ..x .xx ..x xxx',
    '4': 'x.x x.x xxx ..x ..x', '5': 'xxx x.. xxx ..x xxx', '6': 'xxx x.. xxx x.x xxx', '7': 'xxx ..x .x. .x. .x.',
    '8': 'xxx x.x xxx x.x xxx', '9': 'xxx x.x xxx ..x xxx', ':': '... .x. ... .x. ...', ';': '... .x. ... .x. x..',
    '<': '..x .x. x.. .x. ..x', '=': '... xxx ... xxx ...', '>': 'x.. .x. ..x .x. x..', '?': 'xxx ..x .x. ... .x.',
    '@': '.x. x.x x.x x.. .xx', 'A': '.x. x.x xxx x.x x.x', 'B': 'xx. x.x xx. x.x xx.', 'C': '.xx x.. x.. x.. .xx',
    'D': 'xx. x.x x.x x.x xx.', 'E': 'xxx x.. xx. x.. xxx', 'F': 'xxx x.. xx. x.. x..', 'G': '.xx x.. x.x x.x .xx',
    'H': 'x.x x.x xxx x.x x.x', 'I': 'xxx .x. .x. .x. xxx', 'J': '..x ..x ..x x.x .x.', 'K': 'x.x x.x xx. x.x x.x',
    'L': 'x.. x.. x.. x.. xxx', 'M': 'x.x xxx xxx x.x x.x', 'N': 'xx. x.x x.x x.x x.x', 'O': '.x. x.x x.x x.x .x.',
    'P': 'xx. x.x xx. x.. x..', 'Q': '.x. x.x x.x xx. .xx', 'R': 'xx. x.x xx. x.x x.x', 'S': '.xx x.. .x. ..x xx.',
    'T': 'xxx .x. .x. .x. .x.', 'U': 'x.x x.x x.x x.x xxx', 'V': 'x.x x.x x.x x.x .x.', 'W': 'x.x x.x xxx xxx x.x',
    'X': 'x.x x.x .x. x.x x.x', 'Y': 'x.x x.x .x. .x. .x.', 'Z': 'xxx ..x .x. x.. xxx', '[': 'xx. x.. x.. x.. xx.',
    '\\': 'x.. x.. .x. ..x ..x', ']': '.xx ..x ..x ..x .xx', '^': '.x. x.x ... ... ...', '_': '... ... ... ... xxx',
    '`': 'x.. .x. ... ... ...', '{': '.xx .x. xx. .x. .xx', '|': '.x. .x. .x. .x. .x.', '}': 'xx. .x. .xx .x. xx.',
    '~': '... .xx xx. ... ...',
}


def glyph_rows(char):
    if 'a' <= char <= 'z':
        char = char.upper()
    return GLYPHS[char].split()


def font(color, scale=1):
    """A marked font picture: the top row's first pixel is the transparent
    colour, the marker colour starts each glyph; glyphs 0 to 31 are one
    pixel wide and empty, 32 to 126 the face with a column of spacing."""
    key, marker = (255, 0, 255), (255, 0, 0)
    widths = [1] * 32 + [4 * scale] * 95
    height = 1 + 1 + 5 * scale + 1
    picture = Picture(1 + sum(widths) + 1, height, key)
    x = 1
    for code, width in enumerate(widths):
        picture.rows[0][x] = marker
        if code >= 32:
            for row, bits in enumerate(glyph_rows(chr(code))):
                for column, bit in enumerate(bits):
                    if bit == 'x':
                        picture.rect((x + column * scale, 2 + row * scale, x + (column + 1) * scale,
                                      2 + (row + 1) * scale), color)
        x += width
    return picture


# BMP files: 24-bit pictures, 8-bit maps (their few colours in a palette).

def write_bmp(picture, name, palettized=False):
    width, height = picture.width, picture.height
    if palettized:
        colors = sorted({c for row in picture.rows for c in row})
        index = {c: i for i, c in enumerate(colors)}
        table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in colors)
        stride = (width + 3) & ~3
        rows = [bytes(index[c] for c in row) + b'\0' * (stride - width) for row in reversed(picture.rows)]
        bits, count = 8, len(colors)
    else:
        table = b''
        stride = (width * 3 + 3) & ~3
        rows = [b''.join(struct.pack('<BBB', b, g, r) for r, g, b in row) + b'\0' * (stride - width * 3)
                for row in reversed(picture.rows)]
        bits, count = 24, 0
    offset = 14 + 40 + len(table)
    data = b''.join(rows)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(data), 2835, 2835, count, 0)
    with open(os.path.join(OUT, name), 'wb') as out:
        out.write(header + info + table + data)


def write_main_window(mode):
    for state in STATES:
        write_bmp(mode.draw(state), '%sMainWindow%s.bmp' % (mode.prefix, state))
    picture, entries = mode.draw_map()
    write_bmp(picture, '%sMainWindowMask.bmp' % mode.prefix, palettized=True)
    return entries


def main():
    os.makedirs(OUT, exist_ok=True)
    for mode in (normal_mode(), small_mode(), mini_mode()):
        entries = write_main_window(mode)
        # The points the hand-written ini files give must match the map.
        print('%sMainWindow.ini points:' % mode.prefix,
              ', '.join('%s=%d,%d' % (key, x, y) for key, (x, y) in sorted(entries.items())))
    for prefix, height, top, bottom in (('', 60, 20, 44), ('Sm', 40, 12, 28)):
        picture, mask = control_window(prefix, height, top, bottom)
        write_bmp(picture, prefix + 'ViewerWindow.bmp')
        write_bmp(mask, prefix + 'ViewerWindowMask.bmp', palettized=True)
    picture, mask = aux_window()
    write_bmp(picture, 'AuxWindow.bmp')
    write_bmp(mask, 'AuxWindowMask.bmp', palettized=True)
    fonts = {'fontNormal.bmp': (SYMBOL, 1), 'fontHighlighted.bmp': (ORANGE, 1), 'fontButtonDisabled.bmp': (SYMBOL_DISABLED, 1),
             'fontAuxWindowCaption.bmp': (SYMBOL, 1), 'fontMainWindowInfo.bmp': ((150, 190, 240), 1),
             'fontSmMainWindowInfo.bmp': ((150, 190, 240), 1), 'fontMainWindowTime1.bmp': (ORANGE, 2),
             'fontMiniMainWindowTime1.bmp': (ORANGE, 2)}
    for name, (color, scale) in fonts.items():
        write_bmp(font(color, scale), name)


if __name__ == '__main__':
    main()
