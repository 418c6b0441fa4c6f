#include "foundation/bitmaps/PixelConverter.h"

#include <bit>
#include <cstddef>

#include "foundation/bitmaps/BitmapError.h"

// ---------------------------------------------------------------------------
// Channel shifts

ChannelShifts ChannelShifts::Compute(const ChannelMasks& source, const ChannelMasks& destination) {
  ChannelShifts shifts;
  for (size_t i = 0; i < 4; ++i) {
    const DWORD s = source[i];
    const DWORD d = destination[i];
    shifts.sourceMasks[i] = s;
    if (s == 0) continue;  // the channel contributes nothing
    if (d == 0) {
      // Dropped: shift the channel out of the 32-bit value.
      if (s & 1)
        shifts.right[i] = 31;
      else
        shifts.left[i] = 31;
      continue;
    }
    const int sourceLow = std::countr_zero(s);
    const int sourceTop = sourceLow + std::countr_one(s >> sourceLow);
    const int destinationLow = std::countr_zero(d);
    const int destinationRun = std::countr_one(d >> destinationLow);
    int right = sourceTop - destinationRun;
    int left = destinationLow;
    if (right < 0) {
      left -= right;
      right = 0;
    }
    shifts.right[i] = static_cast<DWORD>(right);
    shifts.left[i] = static_cast<DWORD>(left);
  }
  return shifts;
}

// ---------------------------------------------------------------------------
// Row routines: a reader of source pixels, a transform into destination
// values and a writer, put together once per kind and pixel size.

namespace {

template <DWORD kBytes>
struct BytesReader {
  const BYTE* p;
  BytesReader(const CPixelConverter&, const BYTE* row) : p(row) {}
  static ptrdiff_t RowBytes(DWORD bits, DWORD width) { return static_cast<ptrdiff_t>(width) * kBytes; }
  DWORD Next() {
    DWORD value = p[0];
    if constexpr (kBytes > 1) value |= static_cast<DWORD>(p[1]) << 8;
    if constexpr (kBytes > 2) value |= static_cast<DWORD>(p[2]) << 16;
    if constexpr (kBytes > 3) value |= static_cast<DWORD>(p[3]) << 24;
    p += kBytes;
    return value;
  }
};

template <DWORD kBytes>
struct BytesWriter {
  BYTE* p;
  BytesWriter(const CPixelConverter&, BYTE* row) : p(row) {}
  static ptrdiff_t RowBytes(DWORD bits, DWORD width) { return static_cast<ptrdiff_t>(width) * kBytes; }
  void Put(DWORD value) {
    p[0] = static_cast<BYTE>(value);
    if constexpr (kBytes > 1) p[1] = static_cast<BYTE>(value >> 8);
    if constexpr (kBytes > 2) p[2] = static_cast<BYTE>(value >> 16);
    if constexpr (kBytes > 3) p[3] = static_cast<BYTE>(value >> 24);
    p += kBytes;
  }
};

ptrdiff_t PackedRowBytes(DWORD bits, DWORD width) {
  return static_cast<ptrdiff_t>((static_cast<uint64_t>(width) * bits + 7) / 8);
}

// Indices of 1, 2 or 4 bits, the first pixel in the most significant bits.
struct BitsReader {
  const BYTE* p;
  DWORD bits;
  DWORD mask;
  int shift;
  BitsReader(const CPixelConverter& converter, const BYTE* row);
  static ptrdiff_t RowBytes(DWORD bits, DWORD width) { return PackedRowBytes(bits, width); }
  DWORD Next() {
    const DWORD value = (*p >> shift) & mask;
    shift -= static_cast<int>(bits);
    if (shift < 0) {
      shift = 8 - static_cast<int>(bits);
      ++p;
    }
    return value;
  }
};

struct BitsWriter {
  BYTE* p;
  DWORD bits;
  DWORD mask;
  int shift;
  BitsWriter(const CPixelConverter& converter, BYTE* row);
  static ptrdiff_t RowBytes(DWORD bits, DWORD width) { return PackedRowBytes(bits, width); }
  void Put(DWORD value) {
    *p = static_cast<BYTE>((*p & ~(mask << shift)) | ((value & mask) << shift));
    shift -= static_cast<int>(bits);
    if (shift < 0) {
      shift = 8 - static_cast<int>(bits);
      ++p;
    }
  }
};

}  // namespace

struct PixelRoutines {
  static DWORD SourceBits(const CPixelConverter& c) { return c.m_SourceBits; }
  static DWORD DestinationBits(const CPixelConverter& c) { return c.m_DestinationBits; }

  // RGB to RGB: the channel formula over all four channels.
  struct Channels {
    static constexpr bool kReplacesKey = true;
    ChannelShifts shifts;
    explicit Channels(const CPixelConverter& c) : shifts(c.m_Shifts) {}
    DWORD operator()(DWORD pixel) const { return shifts.Apply(pixel); }
  };

  // RGB to index: the channels form a cell index of the colour table, whose
  // cell's first byte holds the palette index.
  struct TableCells {
    static constexpr bool kReplacesKey = false;
    ChannelShifts shifts;
    const BYTE* cells;
    DWORD indexMask;  // keeps stray bits of irregular masks inside the table
    DWORD cellShift;
    DWORD valueMask;
    explicit TableCells(const CPixelConverter& c)
        : shifts(c.m_Shifts),
          cells(c.m_TableCells),
          indexMask(c.m_TableIndexMask),
          cellShift(c.m_TableShift),
          valueMask(c.m_TableValueMask) {}
    DWORD operator()(DWORD pixel) const { return cells[(shifts.Apply(pixel) & indexMask) << cellShift] & valueMask; }
  };

  // Index sources: the value prepared for every index (key replacement
  // included where it applies).
  struct Lookup {
    static constexpr bool kReplacesKey = false;
    const DWORD* values;
    explicit Lookup(const CPixelConverter& c) : values(c.m_Lookup.data()) {}
    DWORD operator()(DWORD index) const { return values[index & 0xFF]; }
  };

  template <class Reader, class Writer, class Transform, bool kKeyed>
  static void Convert(const CPixelConverter& c, BYTE* destination, INT destinationSkip, const BYTE* source,
                      INT sourceSkip, DWORD width, DWORD rows) {
    const Transform transform(c);
    const DWORD sourceKey = c.m_SourceKey;
    const DWORD destinationKey = c.m_DestinationKey;
    const DWORD replacement = c.m_Replacement;
    const ptrdiff_t sourceStep = Reader::RowBytes(c.m_SourceBits, width) + sourceSkip;
    const ptrdiff_t destinationStep = Writer::RowBytes(c.m_DestinationBits, width) + destinationSkip;
    for (DWORD row = 0;;) {
      Reader reader(c, source);
      Writer writer(c, destination);
      for (DWORD x = 0; x < width; ++x) {
        const DWORD value = reader.Next();
        if constexpr (kKeyed) {
          if (value == sourceKey) {
            writer.Put(destinationKey);
            continue;
          }
        }
        DWORD converted = transform(value);
        if constexpr (kKeyed && Transform::kReplacesKey) {
          if (converted == destinationKey) converted = replacement;
        }
        writer.Put(converted);
      }
      if (++row == rows) break;
      source += sourceStep;
      destination += destinationStep;
    }
  }

  template <bool K, DWORD S, DWORD D>
  static constexpr CPixelConverter::RowRoutine kRGBToRGB = &Convert<BytesReader<S>, BytesWriter<D>, Channels, K>;
  template <bool K, DWORD S>
  static constexpr CPixelConverter::RowRoutine kRGBToIndex8 = &Convert<BytesReader<S>, BytesWriter<1>, TableCells, K>;
  template <bool K, DWORD D>
  static constexpr CPixelConverter::RowRoutine kIndex8ToRGB = &Convert<BytesReader<1>, BytesWriter<D>, Lookup, K>;
  template <bool K, DWORD S>
  static constexpr CPixelConverter::RowRoutine kRGBToBits = &Convert<BytesReader<S>, BitsWriter, TableCells, K>;
  template <bool K, DWORD D>
  static constexpr CPixelConverter::RowRoutine kBitsToRGB = &Convert<BitsReader, BytesWriter<D>, Lookup, K>;

  // One group per keying, in the order of the kinds: RGB to RGB by source
  // and destination size, RGB to 8-bit index, 8-bit index to RGB, 8 to 8,
  // RGB to sub-byte index, sub-byte index to RGB, sub-byte to sub-byte,
  // sub-byte to 8, 8 to sub-byte.
  template <bool K>
  static constexpr std::array<CPixelConverter::RowRoutine, 36> kGroup = {
      kRGBToRGB<K, 1, 1>, kRGBToRGB<K, 1, 2>, kRGBToRGB<K, 1, 3>, kRGBToRGB<K, 1, 4>,
      kRGBToRGB<K, 2, 1>, kRGBToRGB<K, 2, 2>, kRGBToRGB<K, 2, 3>, kRGBToRGB<K, 2, 4>,
      kRGBToRGB<K, 3, 1>, kRGBToRGB<K, 3, 2>, kRGBToRGB<K, 3, 3>, kRGBToRGB<K, 3, 4>,
      kRGBToRGB<K, 4, 1>, kRGBToRGB<K, 4, 2>, kRGBToRGB<K, 4, 3>, kRGBToRGB<K, 4, 4>,
      kRGBToIndex8<K, 1>, kRGBToIndex8<K, 2>, kRGBToIndex8<K, 3>, kRGBToIndex8<K, 4>,
      kIndex8ToRGB<K, 1>, kIndex8ToRGB<K, 2>, kIndex8ToRGB<K, 3>, kIndex8ToRGB<K, 4>,
      &Convert<BytesReader<1>, BytesWriter<1>, Lookup, K>,
      kRGBToBits<K, 1>, kRGBToBits<K, 2>, kRGBToBits<K, 3>, kRGBToBits<K, 4>,
      kBitsToRGB<K, 1>, kBitsToRGB<K, 2>, kBitsToRGB<K, 3>, kBitsToRGB<K, 4>,
      &Convert<BitsReader, BitsWriter, Lookup, K>,
      &Convert<BitsReader, BytesWriter<1>, Lookup, K>,
      &Convert<BytesReader<1>, BitsWriter, Lookup, K>,
  };

  static CPixelConverter::RowRoutine Pick(bool keyed, size_t entry) {
    return keyed ? kGroup<true>[entry] : kGroup<false>[entry];
  }
};

namespace {

BitsReader::BitsReader(const CPixelConverter& converter, const BYTE* row)
    : p(row), bits(PixelRoutines::SourceBits(converter)), mask((1u << bits) - 1), shift(8 - static_cast<int>(bits)) {}

BitsWriter::BitsWriter(const CPixelConverter& converter, BYTE* row)
    : p(row),
      bits(PixelRoutines::DestinationBits(converter)),
      mask((1u << bits) - 1),
      shift(8 - static_cast<int>(bits)) {}

// Group entries of the kinds.
constexpr size_t kRGBToIndex8Entry = 16;
constexpr size_t kIndex8ToRGBEntry = 20;
constexpr size_t kIndex8ToIndex8Entry = 24;
constexpr size_t kRGBToBitsEntry = 25;
constexpr size_t kBitsToRGBEntry = 29;
constexpr size_t kBitsToBitsEntry = 33;
constexpr size_t kBitsToIndex8Entry = 34;
constexpr size_t kIndex8ToBitsEntry = 35;

// Bytes per pixel of an RGB format, 0 when there is no routine for it.
DWORD RGBPixelBytes(const CPixelFormat& format) {
  const DWORD bits = format.bitsPerPixel;
  return (bits == 8 || bits == 16 || bits == 24 || bits == 32) ? bits / 8 : 0;
}

DWORD RequireRGBPixelBytes(const CPixelFormat& format) {
  const DWORD bytes = RGBPixelBytes(format);
  if (!bytes) ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
  return bytes;
}

DWORD RequireIndexBits(const CPixelFormat& format) {
  if (!CPixelFormat::IndexedFlagForDepth(format.bitsPerPixel))
    ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
  return format.bitsPerPixel;
}

const CColorTable& RequireTable(const CColorTable* table) {
  if (!table || !table->IsSetUp())
    ThrowBitmapError("CPixelConverter.noColorTable", "A colour table is needed for a palettized format.");
  return *table;
}

// The value written instead of a converted pixel equal to the key K: the
// first channel that K touches loses its lowest bit; when K touches no
// channel, the first channel that K does not fill gains its lowest bit.
DWORD ReplacementForKey(DWORD key, const ChannelMasks& masks) {
  for (DWORD mask : masks)
    if (mask & key) return key - (mask & (~mask + 1));
  for (DWORD mask : masks)
    if (mask && (mask & key) != mask) return key + (mask & (~mask + 1));
  return key;
}

}  // namespace

// ---------------------------------------------------------------------------
// Preparation

void CPixelConverter::Prepare(const CPixelFormat& destination, const CPixelFormat& source, const CColorTable* table) {
  PrepareKind(destination, source, table, false);
}

void CPixelConverter::PrepareColorKeyed(const CPixelFormat& destination, DWORD destinationKey,
                                        const CPixelFormat& source, DWORD sourceKey, const CColorTable* table) {
  m_SourceKey = sourceKey;
  m_DestinationKey = destinationKey;
  PrepareKind(destination, source, table, true);
}

void CPixelConverter::PrepareKind(const CPixelFormat& destination, const CPixelFormat& source,
                                  const CColorTable* table, bool keyed) {
  m_Routine = nullptr;
  if (!keyed) m_SourceKey = m_DestinationKey = 0;
  if (!source.IsPalettized() && !destination.IsPalettized())
    PrepareRGB(destination, source, keyed);
  else if (!source.IsPalettized())
    PrepareRGBToIndex(destination, source, RequireTable(table), keyed);
  else if (!destination.IsPalettized())
    PrepareIndexToRGB(destination, source, keyed);
  else
    PrepareIndexToIndex(destination, source, RequireTable(table), keyed);
}

void CPixelConverter::PrepareRGB(const CPixelFormat& destination, const CPixelFormat& source, bool keyed) {
  const DWORD sourceBytes = RequireRGBPixelBytes(source);
  const DWORD destinationBytes = RequireRGBPixelBytes(destination);
  m_SourceBits = source.bitsPerPixel;
  m_DestinationBits = destination.bitsPerPixel;
  m_Shifts = ChannelShifts::Compute(source.GetMasks(), destination.GetMasks());
  m_Replacement = keyed ? ReplacementForKey(m_DestinationKey, destination.GetMasks()) : 0;
  m_Routine = PixelRoutines::Pick(keyed, (sourceBytes - 1) * 4 + (destinationBytes - 1));
}

void CPixelConverter::PrepareRGBToIndex(const CPixelFormat& destination, const CPixelFormat& source,
                                        const CColorTable& table, bool keyed) {
  const DWORD sourceBytes = RequireRGBPixelBytes(source);
  const DWORD indexBits = RequireIndexBits(destination);
  m_SourceBits = source.bitsPerPixel;
  m_DestinationBits = indexBits;
  ChannelMasks masks = source.GetMasks();
  masks[3] = 0;  // only red, green and blue choose the cell
  m_Shifts = ChannelShifts::Compute(masks, table.GetIndexMasks());
  m_TableCells = table.GetCells();
  m_TableIndexMask = table.GetCellCount() - 1;
  m_TableShift = table.GetCellShift();
  m_TableValueMask = table.GetValueMask();
  m_Replacement = 0xFFFFFFFF;
  const size_t group = indexBits == 8 ? kRGBToIndex8Entry : kRGBToBitsEntry;
  m_Routine = PixelRoutines::Pick(keyed, group + sourceBytes - 1);
}

// Palette entries beyond the palette's count (or all of them, without a
// palette) are black, so an index above the count never reads outside it.
void CPixelConverter::FillLookupFromPalette(const CPixelFormat& source) {
  const CColorPalette* palette = source.GetPalette();
  const DWORD count = palette ? palette->GetCount() : 0;
  for (DWORD i = 0; i < m_Lookup.size(); ++i) m_Lookup[i] = i < count ? palette->GetEntries()[i] : 0;
}

void CPixelConverter::PrepareIndexToRGB(const CPixelFormat& destination, const CPixelFormat& source, bool keyed) {
  const DWORD indexBits = RequireIndexBits(source);
  const DWORD destinationBytes = RequireRGBPixelBytes(destination);
  m_SourceBits = indexBits;
  m_DestinationBits = destination.bitsPerPixel;
  m_Shifts = ChannelShifts::Compute(kPaletteEntryMasks, destination.GetMasks());
  m_Replacement = keyed ? ReplacementForKey(m_DestinationKey, destination.GetMasks()) : 0;
  FillLookupFromPalette(source);
  for (DWORD& value : m_Lookup) {
    value = m_Shifts.Apply(value);
    if (keyed && value == m_DestinationKey) value = m_Replacement;
  }
  const size_t group = indexBits == 8 ? kIndex8ToRGBEntry : kBitsToRGBEntry;
  m_Routine = PixelRoutines::Pick(keyed, group + destinationBytes - 1);
}

void CPixelConverter::PrepareIndexToIndex(const CPixelFormat& destination, const CPixelFormat& source,
                                          const CColorTable& table, bool keyed) {
  const DWORD sourceBits = RequireIndexBits(source);
  const DWORD destinationBits = RequireIndexBits(destination);
  m_SourceBits = sourceBits;
  m_DestinationBits = destinationBits;
  m_Replacement = 0xFFFFFFFF;
  FillLookupFromPalette(source);
  // Only the 8-bit to 8-bit keyed conversion keeps opaque pixels off the key.
  const bool replaces = keyed && sourceBits == 8 && destinationBits == 8;
  for (DWORD& value : m_Lookup) {
    value = table.GetCell(table.GetCellOffset(value));
    if (replaces && value == m_DestinationKey) value = m_Replacement;
  }
  size_t entry = kBitsToBitsEntry;
  if (sourceBits == 8 && destinationBits == 8)
    entry = kIndex8ToIndex8Entry;
  else if (sourceBits == 8)
    entry = kIndex8ToBitsEntry;
  else if (destinationBits == 8)
    entry = kBitsToIndex8Entry;
  m_Routine = PixelRoutines::Pick(keyed, entry);
}

void CPixelConverter::ConvertRows(void* destination, INT destinationSkip, const void* source, INT sourceSkip,
                                  DWORD width, DWORD rows) const {
  if (!m_Routine || width == 0 || rows == 0) return;
  m_Routine(*this, static_cast<BYTE*>(destination), destinationSkip, static_cast<const BYTE*>(source), sourceSkip,
            width, rows);
}

// ---------------------------------------------------------------------------
// Nearest colour

namespace {

constexpr std::array<DWORD, 511> MakeSquares() {
  std::array<DWORD, 511> squares{};
  for (int d = -255; d <= 255; ++d) squares[static_cast<size_t>(d + 255)] = static_cast<DWORD>(d * d);
  return squares;
}

// Entry d + 255 holds d squared.
constexpr std::array<DWORD, 511> kSquares = MakeSquares();

DWORD SquaredDifference(DWORD a, DWORD b, int shift) {
  const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
  return kSquares[static_cast<size_t>(d + 255)];
}

}  // namespace

INT FindNearestColor(const DWORD* entries, INT count, DWORD color) {
  INT best = -1;
  DWORD bestDistance = 0;
  for (INT i = 0; i < count; ++i) {
    const DWORD entry = entries[i];
    if (entry == 0xFFFFFFFF) continue;
    const DWORD distance = SquaredDifference(entry, color, 0) + SquaredDifference(entry, color, 8) +
                           SquaredDifference(entry, color, 16);
    if (distance == 0) return i;
    if (best < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}
