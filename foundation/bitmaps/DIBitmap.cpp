#include "foundation/bitmaps/DIBitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/bitmaps/BitmapError.h"
#include "foundation/bitmaps/BitmapInfo.h"
#include "foundation/bitmaps/LittleEndian.h"
#include "foundation/bitmaps/PixelConverter.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/storage/Storage.h"
#include "foundation/storage/StorageError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDIBitmap, CDynamicObject)

namespace {

// The pixel block's size is a 32-bit field (kMaxDataSize), and reversing
// the rows adds -(padding + 2 x bytes per row) as a 32-bit skip: both must
// fit.
constexpr uint64_t kMaxRowStride = 0x3FFFFFFF;

constexpr const char* kInvalidInfoKey = "CDIBitmap.invalidBitmapInfo";
constexpr const char* kInvalidInfoText = "Invalid bitmap information.";

struct RowLayout {
  DWORD bytesPerRow;
  DWORD padding;
  DWORD dataSize;
};

// Bytes per row = width x bits / 8, rounded up; padding -1 (any negative)
// pads each row to a multiple of 4 bytes.
RowLayout ComputeRowLayout(uint64_t width, uint64_t height, DWORD bits, INT padding) {
  const uint64_t rowBits = width * bits;
  const uint64_t bytesPerRow = rowBits / 8 + (rowBits % 8 ? 1 : 0);
  const uint64_t pad = padding < 0 ? (0 - bytesPerRow) & 3 : static_cast<uint64_t>(padding);
  const uint64_t stride = bytesPerRow + pad;
  if (stride > kMaxRowStride || stride * height > CDIBitmap::kMaxDataSize)
    ThrowBitmapError(kTooLargeKey, kTooLargeText);
  return {static_cast<DWORD>(bytesPerRow), static_cast<DWORD>(pad), static_cast<DWORD>(stride * height)};
}

DWORD FourBytePadding(DWORD bytesPerRow) { return (0 - bytesPerRow) & 3; }

std::unique_ptr<BYTE[]> AllocateBlock(size_t size, bool zeroed) {
  BYTE* block = zeroed ? new (std::nothrow) BYTE[size]() : new (std::nothrow) BYTE[size];
  if (!block) ThrowMemoryError();
  return std::unique_ptr<BYTE[]>(block);
}

std::unique_ptr<BYTE[]> CopyBlock(const BYTE* source, size_t size) {
  std::unique_ptr<BYTE[]> block = AllocateBlock(size, false);
  if (size) std::memcpy(block.get(), source, size);
  return block;
}

// One pixel value at bit width `bits`: little-endian bytes from 8 bits up,
// the most significant field of the byte below.
void WriteSinglePixel(BYTE* p, DWORD bits, DWORD value) {
  if (bits < 8) {
    p[0] = static_cast<BYTE>((value & ((1u << bits) - 1)) << (8 - bits));
    return;
  }
  WriteLE32(p, value);
}

DWORD ReadSinglePixel(const BYTE* p, DWORD bits) {
  if (bits < 8) return p[0] >> (8 - bits);
  const DWORD value = ReadLE32(p);
  return bits >= 32 ? value : value & ((1u << bits) - 1);
}

// The pixel at column x of a row.
DWORD ReadPixelAt(const BYTE* row, DWORD x, DWORD bits) {
  switch (bits) {
    case 1:
    case 2:
    case 4: {
      const uint64_t bit = static_cast<uint64_t>(x) * bits;
      const int shift = 8 - static_cast<int>(bit % 8) - static_cast<int>(bits);
      return (row[bit / 8] >> shift) & ((1u << bits) - 1);
    }
    case 8: return row[x];
    case 16: return ReadLE16(row + 2 * static_cast<size_t>(x));
    case 24: {
      const BYTE* p = row + 3 * static_cast<size_t>(x);
      return p[0] | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16;
    }
    default: return ReadLE32(row + 4 * static_cast<size_t>(x));
  }
}

}  // namespace

// What a bitmap-information block describes, checked against the sizes of
// the blocks that carry it.
struct CDIBitmap::ParsedInfo {
  BITMAPINFOHEADER header;
  CPixelFormat format;
  RowLayout layout;
  DWORD height;
  bool topDown;
  size_t keptInfoSize;  // header + full colour table (+ pixels when packed)
  size_t pixelOffset;   // of packed pixels within the block
};

CDIBitmap::ParsedInfo CDIBitmap::ParseBitmapInfo(const BYTE* info, size_t infoSize, bool packed, size_t bitsSize) {
  if (!info || infoSize < kBitmapInfoHeaderSize) ThrowBitmapError(kInvalidInfoKey, kInvalidInfoText);
  ParsedInfo parsed{ReadBitmapInfoHeader(info), {}, {}, 0, false, 0, 0};
  const BITMAPINFOHEADER& header = parsed.header;
  if (header.biSize < kBitmapInfoHeaderSize || header.biSize > infoSize)
    ThrowBitmapError(kInvalidInfoKey, kInvalidInfoText);

  const DWORD bits = header.biBitCount;
  const DWORD indexedFlag = CPixelFormat::IndexedFlagForDepth(bits);
  const bool directColor = bits == 16 || bits == 24 || bits == 32;
  const bool bitFields = header.biCompression == BI_BITFIELDS;
  if ((!indexedFlag && !directColor) || (header.biCompression != BI_RGB && !(bitFields && bits != 24 && directColor)))
    ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
  if (header.biWidth <= 0 || header.biHeight == 0) ThrowBitmapError(kInvalidInfoKey, kInvalidInfoText);

  const int64_t signedHeight = header.biHeight;
  const uint64_t height = signedHeight < 0 ? static_cast<uint64_t>(-signedHeight) : static_cast<uint64_t>(signedHeight);
  parsed.layout = ComputeRowLayout(static_cast<uint64_t>(header.biWidth), height, bits, CDIBitmap::kPadToFourBytes);
  parsed.height = static_cast<DWORD>(height);
  parsed.topDown = signedHeight < 0;

  // The full colour table by depth, and the part of it that must be there.
  size_t tableSize = 0;
  size_t tableNeeded = 0;
  if (indexedFlag) {
    const DWORD capacity = 1u << bits;
    const DWORD used = header.biClrUsed ? header.biClrUsed : capacity;
    if (used > capacity) ThrowBitmapError(kInvalidInfoKey, kInvalidInfoText);
    tableSize = capacity * kRGBQuadSize;
    tableNeeded = used * kRGBQuadSize;
  } else if (bitFields) {
    // The three masks follow a 40-byte header; longer headers hold them.
    tableSize = header.biSize < kBitmapInfoHeaderSize + 12 ? 12 : 0;
    tableNeeded = tableSize;
  }
  if (infoSize - header.biSize < tableNeeded) ThrowBitmapError(kInvalidInfoKey, kInvalidInfoText);
  parsed.pixelOffset = header.biSize + tableSize;
  parsed.keptInfoSize = parsed.pixelOffset;
  if (packed) {
    parsed.keptInfoSize += parsed.layout.dataSize;
    if (infoSize < parsed.keptInfoSize) ThrowBitmapError(kInvalidInfoKey, kInvalidInfoText);
  } else if (bitsSize < parsed.layout.dataSize) {
    ThrowBitmapError(kInvalidInfoKey, kInvalidInfoText);
  }

  if (indexedFlag) {
    // The colours the block lists; indices beyond them show black.
    const DWORD used = static_cast<DWORD>(tableNeeded / kRGBQuadSize);
    CColorPalette* palette = new (std::nothrow) CColorPalette;
    if (!palette) ThrowMemoryError();
    try {
      palette->SetEntries(used, nullptr);
      const BYTE* table = info + header.biSize;
      for (DWORD i = 0; i < used; ++i) palette->GetEntries()[i] = ReadRGBQuadAsEntry(table + i * kRGBQuadSize);
      parsed.format.SetIndexed(bits, palette);
    } catch (...) {
      palette->Release();
      throw;
    }
    palette->Release();
  } else if (bitFields) {
    const BYTE* masks = info + kBitmapInfoHeaderSize;
    parsed.format.SetMasks(bits, ReadLE32(masks), ReadLE32(masks + 4), ReadLE32(masks + 8));
  } else if (bits == 16) {
    parsed.format.SetMasks(16, 0x7C00, 0x3E0, 0x1F);
  } else {
    parsed.format.SetMasks(bits, 0xFF0000, 0xFF00, 0xFF);
  }
  return parsed;
}

CDIBitmap::~CDIBitmap() { Free(); }

void CDIBitmap::Free() noexcept {
  m_PixelBlock.reset();
  m_Info.reset();
  m_InfoSize = 0;
  m_Pixels = nullptr;
  m_PixelsInInfo = false;
  m_DataSize = m_BytesPerRow = m_RowPadding = m_Width = m_Height = 0;
  m_TopDown = true;
  m_Format = CPixelFormat();
  m_HasColorKey = false;
  m_ColorKey = 0;
}

void CDIBitmap::Create(DWORD width, DWORD height, INT rowPadding, const CPixelFormat& format, bool topDown) {
  if (format.bitsPerPixel == 0 || format.bitsPerPixel > 32)
    ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
  const RowLayout layout = ComputeRowLayout(width, height, format.bitsPerPixel, rowPadding);
  std::unique_ptr<BYTE[]> block = AllocateBlock(layout.dataSize, false);
  if (m_Pixels) Free();
  m_Info.reset();
  m_InfoSize = 0;
  m_PixelsInInfo = false;
  m_PixelBlock = std::move(block);
  m_Pixels = m_PixelBlock.get();
  m_DataSize = layout.dataSize;
  m_BytesPerRow = layout.bytesPerRow;
  m_RowPadding = layout.padding;
  m_Width = width;
  m_Height = height;
  m_TopDown = topDown;
  m_Format = format;
}

// ---------------------------------------------------------------------------
// Format change

DWORD CDIBitmap::ConvertColorKey(const CPixelFormat& format, const CColorTable* table) const {
  CPixelConverter converter;
  converter.Prepare(format, m_Format, table);
  BYTE source[4] = {};
  BYTE destination[4] = {};
  WriteSinglePixel(source, m_Format.bitsPerPixel, m_ColorKey);
  converter.ConvertRows(destination, 0, source, 0, 1, 1);
  return ReadSinglePixel(destination, format.bitsPerPixel);
}

void CDIBitmap::ChangeFormat(const CPixelFormat& format, const CColorTable* table, INT topDown, INT rowPadding) {
  const DWORD key = m_HasColorKey ? ConvertColorKey(format, table) : 0;
  ConvertToFormat(format, key, table, topDown, rowPadding);
}

void CDIBitmap::ConvertToFormat(const CPixelFormat& format, DWORD key, const CColorTable* table, INT topDown,
                                INT rowPadding) {
  if (!m_Pixels) return;
  const bool newTopDown = topDown == kKeepOrientation ? m_TopDown : topDown != 0;
  if (m_Format.HasSameLayout(format) && newTopDown == m_TopDown && (!m_HasColorKey || key == m_ColorKey)) return;

  CPixelConverter converter;
  if (m_HasColorKey)
    converter.PrepareColorKeyed(format, key, m_Format, m_ColorKey, table);
  else
    converter.Prepare(format, m_Format, table);

  const RowLayout layout = ComputeRowLayout(m_Width, m_Height, format.bitsPerPixel, rowPadding);
  // Zeroed when some bytes are not written (padding, the unused bits of a
  // last byte), so nothing of the allocator's leftovers ends up in files.
  const bool partlyWritten = layout.padding != 0 || (static_cast<uint64_t>(m_Width) * format.bitsPerPixel) % 8;
  std::unique_ptr<BYTE[]> block = AllocateBlock(layout.dataSize, partlyWritten);

  if (m_Width && m_Height) {
    BYTE* destination = block.get();
    INT destinationSkip = static_cast<INT>(layout.padding);
    if (newTopDown != m_TopDown) {
      const size_t stride = static_cast<size_t>(layout.bytesPerRow) + layout.padding;
      destination += stride * (m_Height - 1);
      destinationSkip = -static_cast<INT>(layout.padding + 2 * layout.bytesPerRow);
    }
    converter.ConvertRows(destination, destinationSkip, m_Pixels, static_cast<INT>(m_RowPadding), m_Width, m_Height);
  }

  const bool rebuildInfo = m_PixelsInInfo;
  m_Info.reset();
  m_InfoSize = 0;
  m_PixelsInInfo = false;
  m_PixelBlock = std::move(block);
  m_Pixels = m_PixelBlock.get();
  m_DataSize = layout.dataSize;
  m_BytesPerRow = layout.bytesPerRow;
  m_RowPadding = layout.padding;
  m_TopDown = newTopDown;
  m_Format = format;
  if (m_HasColorKey) m_ColorKey = key;
  if (rebuildInfo) BuildBitmapInfo();
}

// ---------------------------------------------------------------------------
// Copy

CDIBitmap& CDIBitmap::Copy(const CDIBitmap& source) {
  if (&source == this) return *this;
  if (!source.m_Pixels) {
    Free();
    return *this;
  }
  const bool reuse = m_Pixels && !m_PixelsInInfo && m_Width == source.m_Width && m_Height == source.m_Height &&
                     m_RowPadding == source.m_RowPadding && m_Format.HasSameLayout(source.m_Format);
  if (reuse) {
    // The information block would describe the old orientation or palette;
    // the pixels lie outside it, so dropping it loses nothing.
    m_Info.reset();
    m_InfoSize = 0;
  } else {
    std::unique_ptr<BYTE[]> info;
    std::unique_ptr<BYTE[]> block;
    if (source.m_Info) info = CopyBlock(source.m_Info.get(), source.m_InfoSize);
    if (!source.m_PixelsInInfo) block = AllocateBlock(source.m_DataSize, false);
    Free();
    m_Info = std::move(info);
    m_InfoSize = source.m_InfoSize;
    m_PixelsInInfo = source.m_PixelsInInfo;
    m_PixelBlock = std::move(block);
    m_Pixels = m_PixelsInInfo ? m_Info.get() + (source.m_Pixels - source.m_Info.get()) : m_PixelBlock.get();
    m_DataSize = source.m_DataSize;
    m_BytesPerRow = source.m_BytesPerRow;
    m_RowPadding = source.m_RowPadding;
    m_Width = source.m_Width;
    m_Height = source.m_Height;
  }
  m_TopDown = source.m_TopDown;
  m_Format = source.m_Format;
  m_HasColorKey = source.m_HasColorKey;
  m_ColorKey = source.m_ColorKey;
  if (source.m_DataSize) std::memcpy(m_Pixels, source.m_Pixels, source.m_DataSize);
  return *this;
}

// ---------------------------------------------------------------------------
// Bitmap-information blocks

void CDIBitmap::CreateFromBitmapInfo(const BYTE* info, size_t infoSize, const BYTE* bits, size_t bitsSize) {
  const ParsedInfo parsed = ParseBitmapInfo(info, infoSize, bits == nullptr, bitsSize);
  std::unique_ptr<BYTE[]> block = AllocateBlock(parsed.keptInfoSize, true);
  std::memcpy(block.get(), info, std::min(infoSize, parsed.keptInfoSize));
  std::unique_ptr<BYTE[]> pixels;
  if (bits) pixels = CopyBlock(bits, parsed.layout.dataSize);
  TakeBitmapInfo(parsed, std::move(block), std::move(pixels));
}

void CDIBitmap::CreateFromBitmapInfo(std::unique_ptr<BYTE[]> info, size_t infoSize, std::unique_ptr<BYTE[]> bits,
                                     size_t bitsSize) {
  const ParsedInfo parsed = ParseBitmapInfo(info.get(), infoSize, bits == nullptr, bitsSize);
  if (infoSize < parsed.keptInfoSize) {
    // A colour table shorter than the depth's: pad it, so that the block
    // always holds a full table.
    std::unique_ptr<BYTE[]> padded = AllocateBlock(parsed.keptInfoSize, true);
    std::memcpy(padded.get(), info.get(), infoSize);
    info = std::move(padded);
  }
  TakeBitmapInfo(parsed, std::move(info), std::move(bits));
}

// `info` holds at least the parsed block's kept size; `bits` are the
// separate pixels, or null when they lie in the block.
void CDIBitmap::TakeBitmapInfo(const ParsedInfo& parsed, std::unique_ptr<BYTE[]> info, std::unique_ptr<BYTE[]> bits) {
  // A zero or short image size (legal for uncompressed blocks) is
  // replaced by the computed one.
  if (parsed.header.biSizeImage < parsed.layout.dataSize) WriteLE32(info.get() + 20, parsed.layout.dataSize);

  Free();
  m_Info = std::move(info);
  m_InfoSize = parsed.keptInfoSize;
  m_PixelsInInfo = bits == nullptr;
  m_PixelBlock = std::move(bits);
  m_Pixels = m_PixelsInInfo ? m_Info.get() + parsed.pixelOffset : m_PixelBlock.get();
  m_DataSize = parsed.layout.dataSize;
  m_BytesPerRow = parsed.layout.bytesPerRow;
  m_RowPadding = parsed.layout.padding;
  m_Width = static_cast<DWORD>(parsed.header.biWidth);
  m_Height = parsed.height;
  m_TopDown = parsed.topDown;
  m_Format = parsed.format;
}

bool CDIBitmap::BuildBitmapInfo() {
  if (m_Info) return true;
  if (!m_Pixels || m_RowPadding != FourBytePadding(m_BytesPerRow)) return false;
  if (m_Width > 0x7FFFFFFF || m_Height > 0x7FFFFFFF) return false;

  const CPixelFormat& f = m_Format;
  const DWORD bits = f.bitsPerPixel;
  const bool plainRGB = !f.IsPalettized() && f.alphaMask == 0 && !(f.flags & kPixelAlphaPixels);
  DWORD compression = BI_RGB;
  size_t tableSize = 0;
  if (f.IsPalettized() && (bits == 1 || bits == 4 || bits == 8)) {
    tableSize = (size_t{1} << bits) * kRGBQuadSize;
  } else if (plainRGB && bits == 16 &&
             ((f.redMask == 0x7C00 && f.greenMask == 0x3E0 && f.blueMask == 0x1F) ||
              (f.redMask == 0xF800 && f.greenMask == 0x7E0 && f.blueMask == 0x1F))) {
    compression = BI_BITFIELDS;
    tableSize = 12;
  } else if (plainRGB && bits == 32 && f.redMask == 0xFF0000 && f.greenMask == 0xFF00 && f.blueMask == 0xFF) {
    compression = BI_BITFIELDS;
    tableSize = 12;
  } else if (!(plainRGB && bits == 24 && f.redMask == 0xFF0000 && f.greenMask == 0xFF00 && f.blueMask == 0xFF)) {
    return false;
  }

  const size_t size = kBitmapInfoHeaderSize + tableSize;
  std::unique_ptr<BYTE[]> block = AllocateBlock(size, true);
  BYTE* table = block.get() + kBitmapInfoHeaderSize;
  DWORD colorsUsed = 0;
  if (f.IsPalettized()) {
    // A palette longer than the depth allows gives its first 2^bits entries.
    const CColorPalette* palette = f.GetPalette();
    colorsUsed = palette ? std::min<DWORD>(palette->GetCount(), 1u << bits) : 0;
    for (DWORD i = 0; i < colorsUsed; ++i) WriteEntryAsRGBQuad(table + i * kRGBQuadSize, palette->GetEntries()[i]);
  } else if (compression == BI_BITFIELDS) {
    WriteLE32(table, f.redMask);
    WriteLE32(table + 4, f.greenMask);
    WriteLE32(table + 8, f.blueMask);
  }
  BITMAPINFOHEADER header{};
  header.biSize = kBitmapInfoHeaderSize;
  header.biWidth = static_cast<LONG>(m_Width);
  header.biHeight = m_TopDown ? -static_cast<LONG>(m_Height) : static_cast<LONG>(m_Height);
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bits);
  header.biCompression = compression;
  header.biSizeImage = m_DataSize;
  header.biClrUsed = colorsUsed;
  WriteBitmapInfoHeader(block.get(), header);

  m_Info = std::move(block);
  m_InfoSize = size;
  return true;
}

// ---------------------------------------------------------------------------
// Colour collection

CColorTable& CDIBitmap::CollectColors(CColorTable& table, bool count) const {
  if (!m_Pixels || !table.IsSetUp()) return table;
  auto enter = [&table, count](DWORD offset) {
    if (count)
      table.CountCell(offset);
    else
      table.MarkCell(offset);
  };
  const DWORD bits = m_Format.bitsPerPixel;
  const size_t stride = static_cast<size_t>(m_BytesPerRow) + m_RowPadding;

  if (m_Format.IsPalettized()) {
    const CColorPalette* palette = m_Format.GetPalette();
    const DWORD entries = palette ? palette->GetCount() : 0;
    if (!count) {
      for (DWORD i = 0; i < entries; ++i) enter(table.GetCellOffset(palette->GetEntries()[i]));
      return table;
    }
    if (!CPixelFormat::IndexedFlagForDepth(bits)) return table;
    for (DWORD y = 0; y < m_Height; ++y) {
      const BYTE* row = m_Pixels + stride * y;
      for (DWORD x = 0; x < m_Width; ++x) {
        const DWORD index = ReadPixelAt(row, x, bits);
        enter(table.GetCellOffset(index < entries ? palette->GetEntries()[index] : 0));
      }
    }
    return table;
  }

  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return table;
  const ChannelShifts shifts = ChannelShifts::Compute(m_Format.GetMasks(), table.GetIndexMasks());
  const DWORD indexMask = table.GetCellCount() - 1;
  for (DWORD y = 0; y < m_Height; ++y) {
    const BYTE* row = m_Pixels + stride * y;
    for (DWORD x = 0; x < m_Width; ++x)
      enter((shifts.Apply(ReadPixelAt(row, x, bits)) & indexMask) << table.GetCellShift());
  }
  return table;
}

// ---------------------------------------------------------------------------
// Stored body

namespace {

constexpr DWORD kBodyVersion = 1;
constexpr DWORD kTopDownFlag = 1;

// Reads a pixel block of `size` bytes. Large blocks are collected in steps
// as the data arrives, so a size the archive cannot back fails with
// end-of-stream before the whole block is allocated.
std::unique_ptr<BYTE[]> ReadPixelBlock(CStorage& storage, DWORD size) {
  constexpr DWORD kStep = 16 << 20;
  if (size <= kStep) {
    std::unique_ptr<BYTE[]> block = AllocateBlock(size, false);
    if (storage.Read(block.get(), size) != size) ThrowError<CStorageError>(CStorageError::kEndOfStream);
    return block;
  }
  std::vector<BYTE> collected;
  while (collected.size() < size) {
    const DWORD chunk = std::min<DWORD>(kStep, size - static_cast<DWORD>(collected.size()));
    const size_t start = collected.size();
    collected.resize(start + chunk);
    if (storage.Read(collected.data() + start, chunk) != chunk) ThrowError<CStorageError>(CStorageError::kEndOfStream);
  }
  return CopyBlock(collected.data(), collected.size());
}

}  // namespace

void CDIBitmap::Serialize(CStorage& storage) {
  if (storage.IsLoading())
    Load(storage);
  else
    Store(storage);
}

void CDIBitmap::Store(CStorage& storage) const {
  storage.WriteValue(kBodyVersion);
  storage.WriteValue(m_Width);
  storage.WriteValue(m_Height);
  storage.WriteValue(m_RowPadding);
  storage.WriteValue(m_TopDown ? kTopDownFlag : 0);
  CPixelFormat format = m_Format;
  format.Serialize(storage);
  if (format.IsPalettized()) format.SerializePalette(storage);
  storage.WriteValue(m_DataSize);
  if (m_DataSize) storage.Write(m_Pixels, m_DataSize);
}

void CDIBitmap::Load(CStorage& storage) {
  DWORD version = 0, width = 0, height = 0, padding = 0, flags = 0, dataSize = 0;
  storage.ReadValue(version);
  if (version != kBodyVersion) ThrowBitmapError("CDIBitmap.unsupportedFileVersion", "Unsupported file version.");
  storage.ReadValue(width);
  storage.ReadValue(height);
  storage.ReadValue(padding);
  storage.ReadValue(flags);
  CPixelFormat format;
  format.Serialize(storage);
  if (format.IsPalettized()) {
    const DWORD depthFlag = CPixelFormat::IndexedFlagForDepth(format.bitsPerPixel);
    if (!depthFlag) ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
    // One index flag, the one of the depth: otherwise the conversions would
    // not all read the pixels alike.
    if ((format.flags & kPixelIndexedMask) != depthFlag)
      ThrowBitmapError(kInvalidBitmapDataKey, kInvalidBitmapDataText);
    format.SerializePalette(storage);
  }
  storage.ReadValue(dataSize);

  if (width == 0 || height == 0) {
    // The form of an empty bitmap.
    if (dataSize != 0) ThrowBitmapError(kInvalidBitmapDataKey, kInvalidBitmapDataText);
    Free();
    return;
  }
  if (format.bitsPerPixel == 0 || format.bitsPerPixel > 32)
    ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
  if (padding > kMaxRowStride) ThrowBitmapError(kTooLargeKey, kTooLargeText);
  const RowLayout layout = ComputeRowLayout(width, height, format.bitsPerPixel, static_cast<INT>(padding));
  if (layout.dataSize != dataSize) ThrowBitmapError(kInvalidBitmapDataKey, kInvalidBitmapDataText);
  std::unique_ptr<BYTE[]> block = ReadPixelBlock(storage, dataSize);

  Free();
  m_PixelBlock = std::move(block);
  m_Pixels = m_PixelBlock.get();
  m_DataSize = layout.dataSize;
  m_BytesPerRow = layout.bytesPerRow;
  m_RowPadding = layout.padding;
  m_Width = width;
  m_Height = height;
  m_TopDown = (flags & kTopDownFlag) != 0;
  m_Format = format;
}
