// CDIBitmap: a picture in memory. One block of pixel rows, each row
// followed by its padding, described by a pixel format, the orientation
// (top-down: the first row in memory is the top row) and an optional
// colour key (the pixel value that counts as transparent, in the bitmap's
// own format). A bitmap made from a Windows bitmap-information block keeps
// that block; its pixels may lie inside it (a packed DIB).
//
// Sizes are computed in 64 bits; a bitmap whose pixel block would exceed
// 2 GiB - 1 bytes (or whose rows exceed 1 GiB) is refused with the
// bitmap error. Reference counted (a new bitmap has count 1); used by one
// thread at a time.
#pragma once

#include <cstddef>
#include <memory>

#include <windows.h>

#include "foundation/bitmaps/ColorTable.h"
#include "foundation/bitmaps/PixelFormat.h"
#include "foundation/kernel/DynamicObject.h"

class CStream;

class CDIBitmap : public CDynamicObject {
  TWL_DECLARE_CLASS(CDIBitmap)
 public:
  // Row padding -1: each row is padded to a multiple of 4 bytes.
  static constexpr INT kPadToFourBytes = -1;
  // Orientation -1 keeps the bitmap's own.
  static constexpr INT kKeepOrientation = -1;
  // The largest pixel block a bitmap may have, in bytes.
  static constexpr DWORD kMaxDataSize = 0x7FFFFFFF;

  CDIBitmap() noexcept = default;
  ~CDIBitmap() override;

  // Frees any pixels (which clears the colour key), then makes an
  // uninitialised pixel block for width x height pixels of the format,
  // sharing its palette. Bits per pixel must be 1 to 32.
  void Create(DWORD width, DWORD height, INT rowPadding, const CPixelFormat& format, bool topDown);
  // Back to empty: no pixels, no information block, no palette, no key.
  void Free() noexcept;

  // The stored body (the content of an IMG_IMAGE file after its magic):
  // version 1, width, height, row padding, flags (bit 0 top-down), bits per
  // pixel, format flags, red, green, blue and alpha masks, for palettized
  // formats the palette (count, entries), the data size and the pixel block
  // as in memory; all u32 little-endian. The colour key and the
  // information block are not stored. A load checks every field against
  // the others before it allocates, and leaves the bitmap as it was when
  // it fails: a version other than 1, a format or size that does not fit
  // (a palettized format must carry exactly the index flag of its depth)
  // and a data size other than the rows' throw the bitmap error, short
  // data the archive's end-of-stream error.
  void Serialize(CStorage& storage) override;

  // Converts the pixels in place into another format, orientation and
  // padding; the colour key is converted too (through the colour table
  // when the target is palettized). The table is needed for palettized
  // targets.
  void ChangeFormat(const CPixelFormat& format, const CColorTable* table, INT topDown = kKeepOrientation,
                    INT rowPadding = kPadToFourBytes);
  // The conversion step of ChangeFormat, with the key already in the
  // target format. Nothing happens when format and orientation stay and
  // the key (if any) is unchanged.
  void ConvertToFormat(const CPixelFormat& format, DWORD key, const CColorTable* table, INT topDown, INT rowPadding);

  // Makes this bitmap a copy of the source: pixels, format with palette,
  // orientation and colour key. Reuses the pixel block when size and
  // format match.
  CDIBitmap& Copy(const CDIBitmap& source);

  // Makes the bitmap from a bitmap-information block of `infoSize` bytes
  // (header, then colour table or masks, then the pixels when `bits` is
  // null) and separate bits of `bitsSize` bytes. Every size is checked
  // against what the blocks hold; a bad or unsupported block throws the
  // bitmap error and leaves the bitmap as it was. This overload copies
  // the blocks; the other takes them over.
  void CreateFromBitmapInfo(const BYTE* info, size_t infoSize, const BYTE* bits, size_t bitsSize);
  void CreateFromBitmapInfo(std::unique_ptr<BYTE[]> info, size_t infoSize, std::unique_ptr<BYTE[]> bits,
                            size_t bitsSize);
  // Builds the information block for the current format (1-, 4- and 8-bit
  // palettized; RGB555, RGB565, 24- and 32-bit RGB; rows padded to 4
  // bytes). True when the bitmap has a block afterwards.
  bool BuildBitmapInfo();

  // Picture files (foundation/bitmapfiles/). Every reader checks each
  // size and count against the others before it allocates.
  enum FileFormat : INT {
    kUnknownFileFormat = -1,
    kImageFile = 0,  // "IMG_IMAGE\0", then the stored body
    kBMPFile = 1,
    kXTRMPICFile = 2,
    kGIFFile = 3,
  };
  // The format of the file at the stream's position by its first bytes;
  // the position stays where it was.
  static INT DetectFileFormat(CStream& stream);
  // Opens the URL through the global file system (read, seek, shared for
  // reading), loads it as the stream overload does and closes the stream,
  // also when loading fails.
  void Load(const char* url);
  // Detects the format and runs its reader; a file no reader recognises
  // throws the unknown-format error. The stream stays open.
  void Load(CStream& stream);
  // The readers: each reads from the stream's position and replaces the
  // bitmap's contents. A picture of width or height 0 is a corrupted file.
  // The BMP and GIF readers leave the bitmap empty when they fail; the
  // others leave it as far as they got.
  void LoadImage(CStream& stream);
  void LoadBMP(CStream& stream);
  void LoadXTRMPIC(CStream& stream);
  // The first image of a GIF file, palettized.
  void LoadGIF(CStream& stream);
  // Decodes RLE data of a BMP file (compression 1: RLE8, 2: RLE4) into the
  // pixel block, which must have been made for it; false when the data is
  // malformed or the compression is another. The block is zeroed first.
  // Runs, literals and moves may reach into the row padding (some writers
  // encode it as pixels): pixels beyond the width are dropped, and only
  // what would leave the padded row or the bitmap is malformed.
  bool DecodeRLE(const BYTE* data, DWORD size, DWORD compression);
  bool DecodeRLE8(const BYTE* data, DWORD size);
  bool DecodeRLE4(const BYTE* data, DWORD size);

  // Enters the bitmap's colours into the table: marks them (count false)
  // or counts one per pixel (count true). Palettized bitmaps mark every
  // palette entry, used or not.
  CColorTable& CollectColors(CColorTable& table, bool count) const;

  bool HasPixels() const { return m_Pixels != nullptr; }
  BYTE* GetPixels() { return m_Pixels; }
  const BYTE* GetPixels() const { return m_Pixels; }
  DWORD GetWidth() const { return m_Width; }
  DWORD GetHeight() const { return m_Height; }
  DWORD GetBytesPerRow() const { return m_BytesPerRow; }
  DWORD GetRowPadding() const { return m_RowPadding; }
  DWORD GetDataSize() const { return m_DataSize; }
  bool IsTopDown() const { return m_TopDown; }
  const CPixelFormat& GetFormat() const { return m_Format; }

  bool HasColorKey() const { return m_HasColorKey; }
  void SetColorKeyFlag(bool on) { m_HasColorKey = on; }
  DWORD GetColorKey() const { return m_ColorKey; }
  void SetColorKey(DWORD key) { m_ColorKey = key; }

  const BYTE* GetBitmapInfo() const { return m_Info.get(); }
  size_t GetBitmapInfoSize() const { return m_InfoSize; }
  bool ArePixelsInBitmapInfo() const { return m_PixelsInInfo; }

 private:
  struct ParsedInfo;
  void Store(CStorage& storage) const;
  void Load(CStorage& storage);
  static ParsedInfo ParseBitmapInfo(const BYTE* info, size_t infoSize, bool packed, size_t bitsSize);
  void TakeBitmapInfo(const ParsedInfo& parsed, std::unique_ptr<BYTE[]> info, std::unique_ptr<BYTE[]> bits);
  DWORD ConvertColorKey(const CPixelFormat& format, const CColorTable* table) const;

  bool m_PixelsInInfo = false;
  std::unique_ptr<BYTE[]> m_Info;
  size_t m_InfoSize = 0;
  std::unique_ptr<BYTE[]> m_PixelBlock;  // empty when the pixels lie in m_Info
  BYTE* m_Pixels = nullptr;
  DWORD m_DataSize = 0;
  DWORD m_BytesPerRow = 0;
  DWORD m_RowPadding = 0;
  DWORD m_Width = 0;
  DWORD m_Height = 0;
  bool m_TopDown = true;
  CPixelFormat m_Format;
  bool m_HasColorKey = false;
  DWORD m_ColorKey = 0;
};
