// CSkinBase: the common base of every skin description. It holds no data;
// it offers the operations all descriptions share: finding pictures in a
// skin folder, cutting elements out of colour-coded map pictures, the
// chunk operations of the compiled skin file, the bitmap, mask and font
// records inside compiled chunks, and zlib packing.
//
// Every object returned belongs to the caller. Readers of records check
// every size and count against the bytes they were given before they
// allocate, and throw "Corrupted file" for what does not fit; a short read
// throws "end of stream". Streams written to must be seekable, because
// lengths are filled in afterwards. One thread at a time.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CBitmapFont;
class CDIBitmap;
class CMask;
class CStream;

class CSkinBase : public CTypedObject {
  TWL_DECLARE_CLASS(CSkinBase)
 public:
  // Folder operations. The folder ends with a separator; the file name is
  // prefix + name + suffix + ".bmp", matched without regard to case. Null
  // when there is no such file; a file that cannot be read throws the
  // picture reader's error (of the last candidate when several match).
  static CDIBitmap* LoadBitmap(const char* folder, const char* prefix, const char* name, const char* suffix);
  // The picture as a marked bitmap font (its top row marks the glyphs).
  static CBitmapFont* LoadFont(const char* folder, const char* prefix, const char* name, const char* suffix);

  // Map pictures: 32-bit pixels, one colour value per element. The
  // bounding rectangle of the cells equal to `value` (right and bottom one
  // past the last); (width, height, 1, 1) when none is. Returns the bottom.
  static INT FindColorBounds(RECT* bounds, const DWORD* map, INT width, INT height, INT strideBytes, DWORD value);
  // A mask of the rectangle's size, 1 where the cell equals `value`; null
  // when every cell does or the rectangle is empty.
  static CMask* CreateMaskFromMap(const DWORD* map, INT strideBytes, const RECT& rect, DWORD value);
  // A copy of the rectangle in the source's pixel format, top-down rows
  // without padding.
  static CDIBitmap* CopyBitmapRect(const CDIBitmap& source, const RECT& rect);
  // Converts a picture in place to the map layout: 32-bit pixels with red
  // in the low byte, top row first.
  static void ConvertToMapFormat(CDIBitmap& picture);
  // The value of a map picture's pixel (inside the picture).
  static DWORD MapValueAt(const CDIBitmap& map, POINT point);
  // The visible pixels of the rectangle: 1 where the map is not the
  // transparent value; null when the whole rectangle is transparent (the
  // part is then drawn whole).
  static CMask* CreateVisibilityMask(const CDIBitmap& map, const RECT& rect, DWORD transparent);

  // Chunks and blocks: the returned position is that after the head; the
  // length is written by EndChunk. They nest freely.
  static LONGLONG BeginChunk(CStream& stream, DWORD tag);
  static LONGLONG BeginBlock(CStream& stream);
  static void EndChunk(CStream& stream, LONGLONG position);
  // A chunk around what `write` writes.
  template <class Write>
  static void WriteChunk(CStream& stream, DWORD tag, Write&& write) {
    const LONGLONG position = BeginChunk(stream, tag);
    write();
    EndChunk(stream, position);
  }

  // The bitmap record: its length, kind, width, height and bits per pixel,
  // then the palette or the channel masks, then top-down rows without
  // padding. `used` receives the bytes the record took (4 + its length).
  static void WriteBitmap(CStream& stream, const CDIBitmap& picture);
  static CDIBitmap* ReadBitmap(CStream& stream, DWORD available, DWORD* used);
  // The mask record: width, height, then the bytes. Returns 8 + w x h.
  static DWORD WriteMask(CStream& stream, const CMask& mask);
  static CMask* ReadMask(CStream& stream, DWORD available);
  // The font record: "FNTC" (height, key, glyph count, glyph table) and
  // "FNTB" (the glyph strip as a bitmap record).
  static void WriteFont(CStream& stream, const CBitmapFont& font);
  static CBitmapFont* ReadFont(CStream& stream, DWORD available);

  // Deflates the block into the stream (zlib format, default level) and
  // returns the packed size; the packed bytes are added to *crc when given.
  static DWORD Compress(CStream& stream, const BYTE* data, DWORD size, DWORD* crc);
  // Inflates exactly `sourceSize` bytes into exactly `destinationSize`;
  // anything else is a corrupted file; zlib's own failures throw its error.
  static void Uncompress(BYTE* destination, DWORD destinationSize, const BYTE* source, DWORD sourceSize);

 protected:
  CSkinBase() noexcept = default;
};
