// CPixelConverter: converts rows of pixels from one pixel format into
// another: RGB to RGB with any masks and pixel sizes, RGB to palette
// indices through a colour table, palette indices to RGB through the
// source palette, and indices to indices through both. A keyed conversion
// writes the destination key for every source pixel equal to the source
// key and never lets another pixel come out as the destination key.
//
// A conversion is prepared once for a pair of formats, which picks one row
// routine per (kind, source pixel size, destination pixel size), so the
// per-pixel loop never branches on the formats; it is then applied to any
// number of row blocks. The converter copies the source palette's colours
// when it is prepared but keeps a pointer to the colour table, which must
// outlive the conversion. One thread at a time.
#pragma once

#include <array>

#include <windows.h>

#include "foundation/bitmaps/ColorTable.h"
#include "foundation/bitmaps/PixelFormat.h"

// Masks in the order red, green, blue, alpha.
using ChannelMasks = std::array<DWORD, 4>;

// The palette-entry layout 0x00BBGGRR and 24-bit RGB, seen as channel masks.
inline constexpr ChannelMasks kPaletteEntryMasks = {0xFF, 0xFF00, 0xFF0000, 0};
inline constexpr ChannelMasks kRGB24Masks = {0xFF0000, 0xFF00, 0xFF, 0};

// Moves the channels of a pixel from one mask layout to another: each
// channel keeps its top bits; a wider destination channel gets zero low
// bits (no replication); a channel the destination lacks is dropped.
struct ChannelShifts {
  ChannelMasks sourceMasks{};
  std::array<DWORD, 4> right{};
  std::array<DWORD, 4> left{};

  static ChannelShifts Compute(const ChannelMasks& source, const ChannelMasks& destination);

  DWORD Apply(DWORD pixel) const {
    return ((pixel & sourceMasks[0]) >> right[0]) << left[0] | ((pixel & sourceMasks[1]) >> right[1]) << left[1] |
           ((pixel & sourceMasks[2]) >> right[2]) << left[2] | ((pixel & sourceMasks[3]) >> right[3]) << left[3];
  }
};

class CPixelConverter {
 public:
  CPixelConverter() noexcept = default;
  CPixelConverter(const CPixelConverter&) = delete;
  CPixelConverter& operator=(const CPixelConverter&) = delete;

  // The colour table maps colours to indices and is needed when the
  // destination is palettized. Formats without a routine (RGB pixels other
  // than 8, 16, 24 or 32 bits, indices other than 1, 2, 4 or 8 bits) and a
  // palettized destination without a set-up table throw the
  // unsupported-format error.
  void Prepare(const CPixelFormat& destination, const CPixelFormat& source, const CColorTable* table);
  // Keys are pixel values of their formats (indices for palettized ones).
  void PrepareColorKeyed(const CPixelFormat& destination, DWORD destinationKey, const CPixelFormat& source,
                         DWORD sourceKey, const CColorTable* table);
  bool IsReady() const { return m_Routine != nullptr; }

  // Converts `rows` rows of `width` pixels. After each row, a partly used
  // byte of sub-byte pixels is passed over and the skip is added; a
  // negative destination skip writes the rows in reverse order. Does
  // nothing when not prepared or when width or rows is 0.
  void ConvertRows(void* destination, INT destinationSkip, const void* source, INT sourceSkip, DWORD width,
                   DWORD rows) const;

  // The value written instead of a converted pixel equal to the
  // destination key (keyed preparations).
  DWORD GetReplacementValue() const { return m_Replacement; }

  using RowRoutine = void (*)(const CPixelConverter& converter, BYTE* destination, INT destinationSkip,
                              const BYTE* source, INT sourceSkip, DWORD width, DWORD rows);

 private:
  friend struct PixelRoutines;

  void PrepareKind(const CPixelFormat& destination, const CPixelFormat& source, const CColorTable* table,
                   bool keyed);
  void PrepareRGB(const CPixelFormat& destination, const CPixelFormat& source, bool keyed);
  void PrepareRGBToIndex(const CPixelFormat& destination, const CPixelFormat& source, const CColorTable& table,
                         bool keyed);
  void PrepareIndexToRGB(const CPixelFormat& destination, const CPixelFormat& source, bool keyed);
  void PrepareIndexToIndex(const CPixelFormat& destination, const CPixelFormat& source, const CColorTable& table,
                           bool keyed);
  void FillLookupFromPalette(const CPixelFormat& source);

  ChannelShifts m_Shifts;
  DWORD m_SourceKey = 0;
  DWORD m_DestinationKey = 0;
  DWORD m_Replacement = 0;
  DWORD m_SourceBits = 0;
  DWORD m_DestinationBits = 0;
  // Palettized sources: the converted value of every possible index.
  std::array<DWORD, 256> m_Lookup{};
  // Palettized destinations: the colour table's cells.
  const BYTE* m_TableCells = nullptr;
  DWORD m_TableIndexMask = 0;
  DWORD m_TableShift = 0;
  DWORD m_TableValueMask = 0;
  RowRoutine m_Routine = nullptr;
};

// The index of the palette entry nearest to a colour (all 0x00BBGGRR) by
// the sum of squared channel differences; entries of 0xFFFFFFFF are passed
// over, ties keep the earlier entry. -1 when there is no candidate.
INT FindNearestColor(const DWORD* entries, INT count, DWORD color);
