// Helpers of the picture-file reader tests: files built in memory field by
// field, a GIF LZW encoder, loading through a memory stream with the error
// that came out, and pixels read back by position.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

class CDIBitmap;
class CGIFAnimation;

namespace readertest {

// Little-endian fields appended to a byte string.
void Put8(std::string& out, DWORD value);
void Put16(std::string& out, DWORD value);
void Put32(std::string& out, DWORD value);

// A BMP file: file header, information header (40 bytes, or longer with
// `headerTail` after the 40 bytes' fields), then `table` (the palette or
// masks) and `pixels`. bfSize is the file's length and bfOffBits points
// behind the table unless given.
struct BMPLayout {
  std::string headerTail;
  int32_t width = 1;
  int32_t height = 1;
  WORD planes = 1;
  WORD bits = 8;
  DWORD compression = 0;
  DWORD sizeImage = 0;
  DWORD colorsUsed = 0;
  std::string table;
  std::string pixels;
  int64_t offBits = -1;
};
std::string MakeBMP(const BMPLayout& layout);
// RGBQUADs of palette entries 0x00BBGGRR.
std::string Quads(const std::vector<DWORD>& entries);

// An XTRMPIC file: magic, header fields, palette count and entries when
// `withPaletteCount`, masks, then the data.
struct XTRMPICLayout {
  BYTE flags = 0;
  int16_t width = 1;
  int16_t height = 1;
  BYTE bits = 8;
  BYTE padding = 3;
  DWORD dataSize = 4;
  BYTE hasPalette = 0;
  bool withPaletteCount = true;
  WORD paletteCount = 1;
  std::vector<DWORD> palette{0x00123456};
  std::vector<DWORD> masks;
  std::string data = std::string(4, '\0');
};
std::string MakeXTRMPIC(const XTRMPICLayout& layout);

// GIF LZW data (without sub-block framing): a real encoder for indices,
// and codes packed at the widths given.
std::string EncodeLZW(const std::vector<BYTE>& indices, DWORD minimumCodeSize);
std::string PackCodes(const std::vector<std::pair<DWORD, DWORD>>& codesAndWidths);
// Data cut into sub-blocks of at most `blockSize` bytes, then the empty one.
std::string SubBlocks(const std::string& data, size_t blockSize = 255);

// A GIF file assembled block by block.
class GIFWriter {
 public:
  explicit GIFWriter(WORD width, WORD height, const std::vector<DWORD>& globalTable = {},
                     const std::string& signature = "GIF89a");
  struct Image {
    WORD left = 0;
    WORD top = 0;
    WORD width = 0;
    WORD height = 0;
    bool interlaced = false;
    std::vector<DWORD> localTable;  // 2, 4, ... 256 entries, or none
    BYTE minimumCodeSize = 0;       // 0: as the indices need, at least 2
    std::string data;               // LZW bytes; empty: encoded from `indices`
    std::vector<BYTE> indices;      // in stream order

    Image(WORD w, WORD h, std::vector<BYTE> values = {}) : width(w), height(h), indices(std::move(values)) {}
    Image& At(WORD x, WORD y) {
      left = x;
      top = y;
      return *this;
    }
    Image& Interlaced() {
      interlaced = true;
      return *this;
    }
    Image& Local(std::vector<DWORD> table) {
      localTable = std::move(table);
      return *this;
    }
    Image& CodeSize(BYTE size) {
      minimumCodeSize = size;
      return *this;
    }
    Image& Data(std::string bytes) {
      data = std::move(bytes);
      return *this;
    }
  };
  GIFWriter& Extension(BYTE label, const std::string& data);
  // Graphic control: GIF disposal method (0-7), delay in 1/100 s, and the
  // transparent index or -1.
  GIFWriter& GraphicControl(DWORD disposal, DWORD delay, int transparent = -1);
  GIFWriter& Add(const Image& image);
  GIFWriter& Raw(const std::string& bytes);
  GIFWriter& Trailer();
  const std::string& Bytes() const { return m_Bytes; }

 private:
  std::string m_Bytes;
};
// The colour-table size field for a table of `count` entries.
DWORD TableBits(size_t count);
// The rows of an image in the order an interlaced GIF stores them.
std::vector<DWORD> InterlacedRowOrder(DWORD height);

// What a load did: loaded, or the error's class, code, caption and text.
struct Outcome {
  bool loaded = false;
  std::string errorClass;
  DWORD code = 0;
  std::string caption;
  std::string text;
};
std::string Describe(const Outcome& outcome);

enum class Reader { kDetect, kImage, kBMP, kXTRMPIC, kGIF };
// Loads the bytes through a memory stream with the reader.
Outcome LoadBytes(const std::string& bytes, CDIBitmap& bitmap, Reader reader = Reader::kDetect);
// Loads a file through a disk stream, detecting the format.
Outcome LoadFile(const std::string& path, CDIBitmap& bitmap);
// Loads an animation from bytes (a memory stream) or from a file.
Outcome LoadAnimationBytes(const std::string& bytes, CGIFAnimation& animation, bool compose);
Outcome LoadAnimationFile(const std::string& path, CGIFAnimation& animation, bool compose);

// The pixel value at column x of image row y (row 0 is the top row,
// whatever the orientation in memory).
DWORD PixelAt(const CDIBitmap& bitmap, DWORD x, DWORD y);
// The palette entry of that pixel, for palettized bitmaps; 0xFFFFFFFF for
// an index beyond the palette.
DWORD ColorAt(const CDIBitmap& bitmap, DWORD x, DWORD y);
// The colour (0x00BBGGRR) that converting the bitmap to RGB shows there.
DWORD ShownColorAt(const CDIBitmap& bitmap, DWORD x, DWORD y);

}  // namespace readertest
