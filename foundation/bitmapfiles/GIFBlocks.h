// The blocks of a GIF stream as both GIF readers take them: header and
// logical screen descriptor, colour tables, extensions and the image
// descriptor. All values little-endian.
#pragma once

#include <windows.h>

class CColorPalette;
class CStream;

inline constexpr BYTE kGIFExtensionIntroducer = 0x21;  // '!'
inline constexpr BYTE kGIFImageSeparator = 0x2C;       // ','
inline constexpr BYTE kGIFTrailer = 0x3B;              // ';'
inline constexpr BYTE kGIFGraphicControlLabel = 0xF9;

struct GIFScreen {
  WORD width = 0;
  WORD height = 0;
  BYTE flags = 0;  // bit 7: a global colour table follows; bits 0-2: its size
  BYTE background = 0;
  BYTE aspect = 0;

  bool HasGlobalTable() const { return (flags & 0x80) != 0; }
  DWORD GlobalTableBits() const { return (flags & 7u) + 1; }
};

// The image descriptor and the LZW minimum code size. In the stream the
// local colour table, when there is one, lies between the two.
struct GIFImageDescriptor {
  WORD left = 0;
  WORD top = 0;
  WORD width = 0;
  WORD height = 0;
  BYTE flags = 0;  // bit 7: a local colour table follows; bit 6: interlaced
  BYTE minimumCodeSize = 0;

  bool HasLocalTable() const { return (flags & 0x80) != 0; }
  bool IsInterlaced() const { return (flags & 0x40) != 0; }
  DWORD LocalTableBits() const { return (flags & 7u) + 1; }
};

// The signature ("GIF"; with anyCase also "gif", "Gif", ...), the version
// (not examined) and the screen descriptor. A short stream ends with
// CStreamError end of stream, another signature with corrupted.
GIFScreen ReadGIFHeader(CStream& stream, bool anyCase);

// The 9 bytes of the image descriptor after its separator; the minimum
// code size is left for the caller to read after the local table.
GIFImageDescriptor ReadGIFImageDescriptor(CStream& stream);

// A colour table of 2^bits entries of red, green and blue, as a new
// palette of 0x00BBGGRR entries whose one reference goes to the caller.
CColorPalette* ReadGIFColorTable(CStream& stream, DWORD bits);

// Passes over data sub-blocks up to and including the empty one.
void SkipGIFSubBlocks(CStream& stream);

// The bits per pixel of a bitmap for a colour table of 2^colorBits
// entries: the next of 1, 2, 4 and 8.
DWORD GIFPixelDepth(DWORD colorBits);
