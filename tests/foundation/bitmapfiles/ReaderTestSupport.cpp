#include "ReaderTestSupport.h"

#include <cstring>
#include <map>
#include <sstream>

#include "foundation/bitmapfiles/GIFAnimation.h"
#include "foundation/bitmapfiles/LZWError.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/storage/StorageError.h"
#include "foundation/streams/DiskFileStream.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"

namespace readertest {

void Put8(std::string& out, DWORD value) { out += static_cast<char>(value & 0xFF); }
void Put16(std::string& out, DWORD value) {
  Put8(out, value);
  Put8(out, value >> 8);
}
void Put32(std::string& out, DWORD value) {
  Put16(out, value);
  Put16(out, value >> 16);
}

std::string Quads(const std::vector<DWORD>& entries) {
  std::string out;
  for (DWORD entry : entries) {
    Put8(out, entry >> 16);
    Put8(out, entry >> 8);
    Put8(out, entry);
    Put8(out, 0);
  }
  return out;
}

std::string MakeBMP(const BMPLayout& layout) {
  const DWORD infoSize = 40 + static_cast<DWORD>(layout.headerTail.size());
  const DWORD headers = 14 + infoSize;
  const DWORD offBits = layout.offBits >= 0 ? static_cast<DWORD>(layout.offBits) : headers + static_cast<DWORD>(layout.table.size());
  std::string out = "BM";
  Put32(out, 0);  // bfSize, below
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, infoSize);
  Put32(out, static_cast<DWORD>(layout.width));
  Put32(out, static_cast<DWORD>(layout.height));
  Put16(out, layout.planes);
  Put16(out, layout.bits);
  Put32(out, layout.compression);
  Put32(out, layout.sizeImage);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, layout.colorsUsed);
  Put32(out, 0);
  out += layout.headerTail;
  out += layout.table;
  if (out.size() < offBits) out.resize(offBits, '\0');
  out += layout.pixels;
  const DWORD size = static_cast<DWORD>(out.size());
  for (int i = 0; i < 4; ++i) out[2 + i] = static_cast<char>(size >> (8 * i));
  return out;
}

std::string MakeXTRMPIC(const XTRMPICLayout& layout) {
  std::string out = "XTRMPIC";
  Put8(out, layout.flags);
  Put32(out, 0);
  Put16(out, static_cast<WORD>(layout.width));
  Put16(out, static_cast<WORD>(layout.height));
  Put8(out, layout.bits);
  Put8(out, layout.padding);
  Put32(out, layout.dataSize);
  Put8(out, layout.hasPalette);
  if (layout.withPaletteCount) Put16(out, layout.paletteCount);
  for (DWORD entry : layout.palette) Put32(out, entry);
  for (DWORD mask : layout.masks) Put32(out, mask);
  out += layout.data;
  return out;
}

namespace {

// Codes packed least significant bit first.
class CodePacker {
 public:
  void Put(DWORD code, DWORD width) {
    m_Pending |= static_cast<uint64_t>(code) << m_Bits;
    m_Bits += width;
    while (m_Bits >= 8) {
      m_Out += static_cast<char>(m_Pending & 0xFF);
      m_Pending >>= 8;
      m_Bits -= 8;
    }
  }
  std::string Finish() {
    if (m_Bits) m_Out += static_cast<char>(m_Pending & 0xFF);
    m_Pending = m_Bits = 0;
    return m_Out;
  }

 private:
  std::string m_Out;
  uint64_t m_Pending = 0;
  DWORD m_Bits = 0;
};

}  // namespace

std::string PackCodes(const std::vector<std::pair<DWORD, DWORD>>& codesAndWidths) {
  CodePacker packer;
  for (const auto& [code, width] : codesAndWidths) packer.Put(code, width);
  return packer.Finish();
}

// The usual GIF encoder. Its table leads the decoder's by one entry: the
// decoder adds an entry, and may widen its codes, from the second code
// after a clear on, so the width follows the decoder's entry count. A full
// table is cleared.
std::string EncodeLZW(const std::vector<BYTE>& indices, DWORD minimumCodeSize) {
  const DWORD clear = 1u << minimumCodeSize;
  const DWORD end = clear + 1;
  CodePacker packer;
  std::map<std::pair<DWORD, BYTE>, DWORD> table;
  DWORD width = minimumCodeSize + 1;
  DWORD next = clear + 2;
  DWORD decoderEntries = clear + 2;
  DWORD codesSinceClear = 0;
  auto emit = [&](DWORD code) {
    packer.Put(code, width);
    if (++codesSinceClear >= 2 && decoderEntries < 4096) {
      ++decoderEntries;
      if (decoderEntries > (1u << width) - 1 && width < 12) ++width;
    }
  };
  packer.Put(clear, width);
  if (indices.empty()) {
    packer.Put(end, width);
    return packer.Finish();
  }
  DWORD prefix = indices[0];
  for (size_t i = 1; i < indices.size(); ++i) {
    const BYTE symbol = indices[i];
    const auto found = table.find({prefix, symbol});
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    emit(prefix);
    table[{prefix, symbol}] = next++;
    if (next == 4096) {
      packer.Put(clear, width);
      table.clear();
      width = minimumCodeSize + 1;
      next = decoderEntries = clear + 2;
      codesSinceClear = 0;
    }
    prefix = symbol;
  }
  emit(prefix);
  packer.Put(end, width);
  return packer.Finish();
}

std::string SubBlocks(const std::string& data, size_t blockSize) {
  std::string out;
  for (size_t at = 0; at < data.size(); at += blockSize) {
    const size_t n = std::min(blockSize, data.size() - at);
    Put8(out, static_cast<DWORD>(n));
    out += data.substr(at, n);
  }
  Put8(out, 0);
  return out;
}

DWORD TableBits(size_t count) {
  DWORD bits = 1;
  while ((size_t{1} << bits) < count) ++bits;
  return bits;
}

namespace {

void PutTable(std::string& out, const std::vector<DWORD>& table) {
  const size_t size = size_t{1} << TableBits(table.size());
  for (size_t i = 0; i < size; ++i) {
    const DWORD entry = i < table.size() ? table[i] : 0;
    Put8(out, entry);
    Put8(out, entry >> 8);
    Put8(out, entry >> 16);
  }
}

}  // namespace

GIFWriter::GIFWriter(WORD width, WORD height, const std::vector<DWORD>& globalTable, const std::string& signature) {
  m_Bytes = signature;
  Put16(m_Bytes, width);
  Put16(m_Bytes, height);
  Put8(m_Bytes, globalTable.empty() ? 0 : 0x80 | (TableBits(globalTable.size()) - 1));
  Put8(m_Bytes, 0);
  Put8(m_Bytes, 0);
  if (!globalTable.empty()) PutTable(m_Bytes, globalTable);
}

GIFWriter& GIFWriter::Extension(BYTE label, const std::string& data) {
  Put8(m_Bytes, 0x21);
  Put8(m_Bytes, label);
  m_Bytes += SubBlocks(data);
  return *this;
}

GIFWriter& GIFWriter::GraphicControl(DWORD disposal, DWORD delay, int transparent) {
  std::string data;
  Put8(data, (disposal & 7) << 2 | (transparent >= 0 ? 1 : 0));
  Put16(data, delay);
  Put8(data, transparent >= 0 ? static_cast<DWORD>(transparent) : 0);
  return Extension(0xF9, data);
}

GIFWriter& GIFWriter::Add(const Image& image) {
  Put8(m_Bytes, 0x2C);
  Put16(m_Bytes, image.left);
  Put16(m_Bytes, image.top);
  Put16(m_Bytes, image.width);
  Put16(m_Bytes, image.height);
  DWORD flags = image.interlaced ? 0x40 : 0;
  if (!image.localTable.empty()) flags |= 0x80 | (TableBits(image.localTable.size()) - 1);
  Put8(m_Bytes, flags);
  if (!image.localTable.empty()) PutTable(m_Bytes, image.localTable);
  DWORD codeSize = image.minimumCodeSize;
  if (codeSize == 0) {
    BYTE largest = 0;
    for (BYTE index : image.indices) largest = std::max(largest, index);
    codeSize = std::max<DWORD>(2, TableBits(size_t{largest} + 1));
  }
  Put8(m_Bytes, codeSize);
  m_Bytes += SubBlocks(image.data.empty() ? EncodeLZW(image.indices, codeSize) : image.data);
  return *this;
}

GIFWriter& GIFWriter::Raw(const std::string& bytes) {
  m_Bytes += bytes;
  return *this;
}

GIFWriter& GIFWriter::Trailer() {
  Put8(m_Bytes, 0x3B);
  return *this;
}

std::vector<DWORD> InterlacedRowOrder(DWORD height) {
  std::vector<DWORD> rows;
  for (DWORD start : {0u, 4u, 2u, 1u}) {
    const DWORD step = start == 0 ? 8 : start * 2;
    for (DWORD row = start; row < height; row += step) rows.push_back(row);
  }
  return rows;
}

std::string Describe(const Outcome& outcome) {
  if (outcome.loaded) return "loaded";
  std::ostringstream text;
  text << outcome.errorClass << " " << outcome.code << " [" << outcome.caption << "] " << outcome.text;
  return text.str();
}

namespace {

Outcome Capture(CError* error) {
  Outcome outcome;
  outcome.errorClass = error->GetClassRecord()->className;
  if (IsKindOf<CStreamError>(error)) outcome.code = static_cast<CStreamError*>(error)->GetCode();
  if (IsKindOf<CStorageError>(error)) outcome.code = static_cast<CStorageError*>(error)->GetCode();
  if (IsKindOf<CLZWError>(error)) outcome.code = static_cast<CLZWError*>(error)->GetCode();
  outcome.caption = error->GetCaption().c_str();
  outcome.text = error->GetText().c_str();
  DisposeError(error);
  return outcome;
}

void RunReader(CStream& stream, CDIBitmap& bitmap, Reader reader) {
  switch (reader) {
    case Reader::kDetect: bitmap.Load(stream); break;
    case Reader::kImage: bitmap.LoadImage(stream); break;
    case Reader::kBMP: bitmap.LoadBMP(stream); break;
    case Reader::kXTRMPIC: bitmap.LoadXTRMPIC(stream); break;
    case Reader::kGIF: bitmap.LoadGIF(stream); break;
  }
}

}  // namespace

Outcome LoadBytes(const std::string& bytes, CDIBitmap& bitmap, Reader reader) {
  CMemoryStream stream;
  BYTE* block = new BYTE[bytes.size() ? bytes.size() : 1];
  std::memcpy(block, bytes.data(), bytes.size());
  stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
  try {
    RunReader(stream, bitmap, reader);
  } catch (CError* error) {
    return Capture(error);
  }
  return Outcome{true, {}, 0, {}, {}};
}

Outcome LoadFile(const std::string& path, CDIBitmap& bitmap) {
  CDiskFileStream stream;
  try {
    stream.Open(path.c_str(), kStreamRead | kStreamSeek | kStreamShareRead, false);
    RunReader(stream, bitmap, Reader::kDetect);
  } catch (CError* error) {
    stream.Close();
    return Capture(error);
  }
  stream.Close();
  return Outcome{true, {}, 0, {}, {}};
}

Outcome LoadAnimationBytes(const std::string& bytes, CGIFAnimation& animation, bool compose) {
  CMemoryStream stream;
  BYTE* block = new BYTE[bytes.size() ? bytes.size() : 1];
  std::memcpy(block, bytes.data(), bytes.size());
  stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
  try {
    animation.Load(stream, compose);
  } catch (CError* error) {
    return Capture(error);
  }
  return Outcome{true, {}, 0, {}, {}};
}

Outcome LoadAnimationFile(const std::string& path, CGIFAnimation& animation, bool compose) {
  CDiskFileStream stream;
  try {
    stream.Open(path.c_str(), kStreamRead | kStreamSeek | kStreamShareRead, false);
    animation.Load(stream, compose);
  } catch (CError* error) {
    stream.Close();
    return Capture(error);
  }
  stream.Close();
  return Outcome{true, {}, 0, {}, {}};
}

DWORD PixelAt(const CDIBitmap& bitmap, DWORD x, DWORD y) {
  const DWORD bits = bitmap.GetFormat().bitsPerPixel;
  const DWORD memoryRow = bitmap.IsTopDown() ? y : bitmap.GetHeight() - 1 - y;
  const BYTE* row = bitmap.GetPixels() + static_cast<size_t>(memoryRow) * (bitmap.GetBytesPerRow() + bitmap.GetRowPadding());
  if (bits < 8) {
    const DWORD bit = x * bits;
    return (row[bit / 8] >> (8 - bit % 8 - bits)) & ((1u << bits) - 1);
  }
  DWORD value = 0;
  for (DWORD i = 0; i < bits / 8; ++i) value |= static_cast<DWORD>(row[x * (bits / 8) + i]) << (8 * i);
  return value;
}

DWORD ColorAt(const CDIBitmap& bitmap, DWORD x, DWORD y) {
  const CColorPalette* palette = bitmap.GetFormat().GetPalette();
  const DWORD index = PixelAt(bitmap, x, y);
  return palette && index < palette->GetCount() ? palette->GetEntries()[index] : 0xFFFFFFFF;
}

DWORD ShownColorAt(const CDIBitmap& bitmap, DWORD x, DWORD y) {
  CDIBitmap copy;
  copy.Copy(bitmap);
  copy.SetColorKeyFlag(false);
  CPixelFormat entries;
  entries.SetChannelBits(8, 8, 8, 0, 32);
  copy.ChangeFormat(entries, nullptr);
  return PixelAt(copy, x, y);
}

}  // namespace readertest
