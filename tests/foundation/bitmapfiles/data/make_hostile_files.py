#!/usr/bin/env python3
"""Writes the hostile picture files of this folder, one per fault.

Run it from anywhere; the files land beside it. Each file is as small as
its fault allows; HostileFilesTest.cpp names the fault of each and the
outcome the readers must give.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# --- GIF -------------------------------------------------------------------

def pack_codes(codes):
    """(code, width) pairs, least significant bit first."""
    value, bits, out = 0, 0, bytearray()
    for code, width in codes:
        value |= code << bits
        bits += width
        while bits >= 8:
            out.append(value & 0xFF)
            value >>= 8
            bits -= 8
    if bits:
        out.append(value & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return bytes(out + b"\0")


def gif(width, height, image_data, code_size=2, table=((0, 0, 0), (255, 255, 255)), local=None,
        image_width=None, image_height=None, before_image=b"", tail=b";"):
    out = bytearray(b"GIF89a")
    flags = 0
    if table:
        flags = 0x80 | (len(table).bit_length() - 2)
    out += struct.pack("<HHBBB", width, height, flags, 0, 0)
    for rgb in table or ():
        out += bytes(rgb)
    out += before_image
    image_flags = 0
    if local:
        image_flags = 0x80 | (len(local).bit_length() - 2)
    out += b"," + struct.pack("<HHHHB", 0, 0, image_width or width, image_height or height, image_flags)
    for rgb in local or ():
        out += bytes(rgb)
    out += bytes([code_size]) + sub_blocks(image_data)
    return bytes(out + tail)


# Code size 2: clear 4, end 5, first free entry 6, codes of 3 bits.
CLEAR, END = (4, 3), (5, 3)
write("gif-minimum-code-size-12.gif", gif(2, 2, b"\x00" * 8, code_size=12))
write("gif-minimum-code-size-0.gif", gif(2, 2, pack_codes([(2, 2), (3, 2)]), code_size=0))
write("gif-huge-dimensions.gif", gif(0xFFFF, 0xFFFF, pack_codes([(256, 9), (257, 9)]), code_size=8,
                                     table=[(i, i, i) for i in range(256)]))
write("gif-code-beyond-next-entry.gif", gif(2, 2, pack_codes([CLEAR, (1, 3), (7, 3), END])))
write("gif-first-code-names-next-entry.gif", gif(2, 2, pack_codes([CLEAR, (6, 3), END])))
# 2 x 2 pixels, 6 indices: 1 0 1 0 | 1 1 dropped.
write("gif-more-indices-than-pixels.gif",
      gif(2, 2, pack_codes([CLEAR, (1, 3), (0, 3), (1, 3), (0, 4), (1, 4), (1, 4), (5, 4)])))
# After the end code the data goes on with codes no decoder could take.
write("gif-data-after-end-code.gif",
      gif(2, 1, pack_codes([CLEAR, (1, 3), (0, 3), END]) + b"\xff" * 300))
write("gif-no-colour-table.gif", gif(2, 1, pack_codes([CLEAR, (1, 3), (0, 3), END]), table=None))
write("gif-image-data-cut-short.gif", gif(2, 1, pack_codes([CLEAR, (1, 3), (0, 3), END]))[:-4])
write("gif-unknown-block-before-image.gif",
      gif(2, 1, pack_codes([CLEAR, (1, 3), (0, 3), END]), before_image=b"\x99"))
write("gif-zero-width.gif", gif(0, 5, pack_codes([CLEAR, END]), image_width=0, image_height=5))
# 40000 x 40000 pixels of 8 bits (a 32-colour table) claimed by a few bytes:
# the code size byte is followed at once by the empty sub-block.
write("gif-huge-image-without-data.gif",
      gif(40000, 40000, b"", code_size=5, table=[(i, i, i) for i in range(32)]))
# The local colour table lies between the descriptor and the code size.
write("gif-local-colour-table.gif",
      gif(2, 1, pack_codes([CLEAR, (1, 3), (2, 3), END]),
          local=[(255, 0, 0), (0, 255, 0), (0, 0, 255), (9, 9, 9)]))

# --- GIF animations ---------------------------------------------------------

def graphic_control(delay, transparent=None, disposal=0, size=4):
    body = struct.pack("<BHB", disposal << 2 | (1 if transparent is not None else 0), delay, transparent or 0)
    return b"!\xf9" + bytes([size]) + body + b"\0" * (size - 4) + b"\0"


def animation(width, height, frames, table=((0, 0, 0), (255, 255, 255))):
    """frames: (control bytes, left, top, width, height, indices of 1 bit)."""
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80 | (len(table).bit_length() - 2), 0, 0))
    for rgb in table:
        out += bytes(rgb)
    for control, left, top, w, h in frames:
        # Literal codes of index 1, cleared often enough to stay at 3 bits.
        codes = []
        for i in range(w * h):
            if i % 2 == 0:
                codes.append(CLEAR)
            codes.append((1, 3))
        out += control + b"," + struct.pack("<HHHHB", left, top, w, h, 0) + b"\x02"
        out += sub_blocks(pack_codes(codes + [END]))
    return bytes(out + b";")


write("anim-frame-past-canvas.gif", animation(4, 3, [(graphic_control(10), 2, 1, 3, 3)]))
write("anim-frame-left-beyond-screen.gif", animation(4, 3, [(graphic_control(10), 9, 0, 1, 1)]))
write("anim-huge-screen.gif", animation(0xFFFF, 0xFFFF, [(graphic_control(10), 0, 0, 1, 1)]))
write("anim-many-frames-large-screen.gif", animation(2048, 2048, [(graphic_control(1), 0, 0, 1, 1)] * 129))
# A 65534 x 65534 image on a 4 x 3 screen, with the data of one pixel: a
# separate frame is refused by its size, a composed one is clipped.
write("anim-huge-frame-on-small-screen.gif", animation(4, 3, [(graphic_control(10), 0, 0, 1, 1)])
      .replace(struct.pack("<HHHHB", 0, 0, 1, 1, 0), struct.pack("<HHHHB", 0, 0, 65534, 65534, 0)))
write("anim-graphic-control-size-5.gif", animation(2, 2, [(graphic_control(10, size=5), 0, 0, 2, 2)]))
write("anim-transparent-index-beyond-palette.gif", animation(2, 2, [(graphic_control(10, transparent=7), 0, 0, 2, 2)]))

# --- BMP -------------------------------------------------------------------

def bmp(width, height, bits, compression=0, size_image=0, colors_used=0, table=b"", pixels=b"",
        off_bits=None, planes=1):
    if off_bits is None:
        off_bits = 54 + len(table)
    body = struct.pack("<IiiHHIIiiII", 40, width, height, planes, bits, compression, size_image, 2835, 2835,
                       colors_used, 0)
    data = bytearray(body + table)
    data += b"\0" * max(0, off_bits - 14 - len(data))
    data += pixels
    return b"BM" + struct.pack("<IHHI", 14 + len(data), 0, 0, off_bits) + bytes(data)


def quads(colors):
    return b"".join(bytes([b, g, r, 0]) for r, g, b in colors)


GREY = quads([(i, i, i) for i in range(256)])
write("bmp-colour-count-ffffffff.bmp", bmp(2, 2, 8, colors_used=0xFFFFFFFF, table=GREY, pixels=b"\0" * 8))
write("bmp-huge-dimensions.bmp", bmp(0x7FFFFFFF, 0x7FFFFFFF, 24, pixels=b"\0" * 16))
# 0x40000000 pixels of 4 bytes: a row of 2^32 bytes, 0 in 32 bits.
write("bmp-row-size-wraps-32-bits.bmp",
      bmp(0x40000000, 1, 32, compression=3, table=struct.pack("<III", 0xFF0000, 0xFF00, 0xFF), pixels=b"\0" * 16))
write("bmp-negative-width.bmp", bmp(-4, 2, 24, pixels=b"\0" * 24))
RLE_4X2 = dict(width=4, height=2, bits=8, compression=1, table=GREY)
write("bmp-rle-delta-below-last-row.bmp", bmp(**RLE_4X2, size_image=8, pixels=b"\0\x02\x00\x03\x01\x07\0\x01"))
write("bmp-rle-delta-past-right-edge.bmp", bmp(**RLE_4X2, size_image=8, pixels=b"\x02\x07\0\x02\x03\x00\0\x01"))
write("bmp-rle-run-past-row-end.bmp", bmp(**RLE_4X2, size_image=4, pixels=b"\x05\x07\0\x01"))
write("bmp-rle-literal-past-data-end.bmp", bmp(**RLE_4X2, size_image=6, pixels=b"\0\x04\x01\x02\x03\x04"))
# A move to the row after the last one; the run after it has no row left.
write("bmp-rle-delta-to-row-after-last.bmp",
      bmp(**RLE_4X2, size_image=10, pixels=b"\x01\x09\0\x02\x00\x02\x04\x07\0\x01"))
# 46000 x 46000 pixels of 8 bits claimed by 64 bytes: two short rows, then
# the data runs out.
write("bmp-rle-huge-picture-little-data.bmp",
      bmp(46000, 46000, 8, compression=1, size_image=6, colors_used=1, table=quads([(0, 0, 0)]),
          pixels=b"\x04\x07\0\0\x04\x07"))
write("bmp-rle-size-beyond-file.bmp", bmp(**RLE_4X2, size_image=0xFFFFFF00, pixels=b"\x04\x07\0\x01"))
# Two colours listed, pixel values 1 and 200.
write("bmp-index-beyond-palette.bmp",
      bmp(2, 1, 8, colors_used=2, table=quads([(0, 0, 0), (255, 0, 0)]), pixels=b"\x01\xc8\0\0"))
write("bmp-pixel-offset-inside-palette.bmp", bmp(2, 1, 8, table=GREY, pixels=b"\0" * 4, off_bits=54 + 16))

# --- XTRMPIC ---------------------------------------------------------------

def xtrmpic(width, height, bits, padding, data_size, palette=(0,), masks=(), data=b"", flags=0):
    out = b"XTRMPIC" + struct.pack("<BIhhBBIB", flags, 0, width, height, bits, padding, data_size, 0)
    if bits < 16:
        out += struct.pack("<H", len(palette)) + b"".join(struct.pack("<I", e) for e in palette)
    out += b"".join(struct.pack("<I", m) for m in masks)
    return out + data


write("xtrmpic-negative-width.xtrmpic", xtrmpic(-2, 1, 8, 2, 4, data=b"\0" * 4))
write("xtrmpic-12-bits-per-pixel.xtrmpic", xtrmpic(2, 1, 12, 0, 4, data=b"\0" * 4))
write("xtrmpic-data-size-mismatch.xtrmpic", xtrmpic(2, 1, 8, 2, 5, data=b"\0" * 5))
write("xtrmpic-0x0.xtrmpic", xtrmpic(0, 0, 8, 0, 0))
write("xtrmpic-huge-dimensions.xtrmpic",
      xtrmpic(0x7FFF, 0x7FFF, 32, 0, 0xFFFC0004, masks=(0xFF0000, 0xFF00, 0xFF), data=b"\0" * 16))

# --- IMG_IMAGE -------------------------------------------------------------

def img_image(width, height, padding, bits, flags, masks, palette, data_size, data):
    out = b"IMG_IMAGE\0" + struct.pack("<IIIII", 1, width, height, padding, 0)
    out += struct.pack("<IIIIII", bits, flags, *masks)
    if palette is not None:
        out += struct.pack("<I", palette[0]) + b"".join(struct.pack("<I", e) for e in palette[1])
    return out + struct.pack("<I", data_size) + data


write("img-data-size-mismatch.img", img_image(2, 2, 2, 8, 0x60, (0, 0, 0, 0), (1, [0]), 6, b"\0" * 6))
write("img-palette-count-ffffffff.img", img_image(2, 2, 2, 8, 0x60, (0, 0, 0, 0), (0xFFFFFFFF, [0]), 8, b"\0" * 8))
# Two index flags (8 and 4 bits) on an 8-bit format.
write("img-two-index-flags.img", img_image(2, 2, 2, 8, 0x68, (0, 0, 0, 0), (1, [0]), 8, b"\0" * 8))
