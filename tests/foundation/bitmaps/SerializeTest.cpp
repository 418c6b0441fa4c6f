#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BitmapTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/storage/Storage.h"
#include "foundation/storage/StorageError.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamFlags.h"

using namespace bitmaptest;

namespace {

const char kImageMagic[10] = {'I', 'M', 'G', '_', 'I', 'M', 'A', 'G', 'E', '\0'};

std::string Stored(const std::function<void(CStorage&)>& store) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 256, false);
  CStorage storage;
  storage.Open(&stream, CStorage::kStore, 1, 4096);
  store(storage);
  storage.Close();
  std::string bytes(reinterpret_cast<const char*>(stream.GetBuffer()),
                    static_cast<size_t>(stream.GetLength(true, nullptr)));
  stream.Close();
  return bytes;
}

void Load(const std::string& bytes, const std::function<void(CStorage&)>& load) {
  CMemoryStream stream;
  BYTE* block = bytes.empty() ? nullptr : new BYTE[bytes.size()];
  if (block) std::memcpy(block, bytes.data(), bytes.size());
  stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
  CStorage storage;
  storage.Open(&stream, CStorage::kLoad, 1, 4096);
  load(storage);
}

std::string U32(std::initializer_list<DWORD> values) {
  std::string bytes;
  for (DWORD value : values)
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

// What failing to load a body threw: the error's text, or "end of stream"
// for the archive's own error.
std::string LoadFailure(CDIBitmap& bitmap, const std::string& body) {
  try {
    Load(body, [&](CStorage& storage) { bitmap.Serialize(storage); });
  } catch (CError* error) {
    std::string text = error->GetText().c_str();
    if (IsKindOf<CStorageError>(error) && static_cast<CStorageError*>(error)->GetCode() == CStorageError::kEndOfStream)
      text = "end of stream";
    DisposeError(error);
    return text;
  }
  return "";
}

void ExpectSameBitmap(const CDIBitmap& a, const CDIBitmap& b, const char* name) {
  EXPECT_EQ(a.GetWidth(), b.GetWidth()) << name;
  EXPECT_EQ(a.GetHeight(), b.GetHeight()) << name;
  EXPECT_EQ(a.GetRowPadding(), b.GetRowPadding()) << name;
  EXPECT_EQ(a.GetBytesPerRow(), b.GetBytesPerRow()) << name;
  EXPECT_EQ(a.IsTopDown(), b.IsTopDown()) << name;
  EXPECT_TRUE(a.GetFormat().HasSameLayout(b.GetFormat())) << name;
  ASSERT_EQ(a.GetDataSize(), b.GetDataSize()) << name;
  if (a.GetDataSize()) {
    EXPECT_EQ(0, std::memcmp(a.GetPixels(), b.GetPixels(), a.GetDataSize())) << name;
  }
  const CColorPalette* pa = a.GetFormat().GetPalette();
  const CColorPalette* pb = b.GetFormat().GetPalette();
  ASSERT_EQ(pa == nullptr, pb == nullptr) << name;
  if (pa) {
    ASSERT_EQ(pa->GetCount(), pb->GetCount()) << name;
    EXPECT_EQ(0, std::memcmp(pa->GetEntries(), pb->GetEntries(), 4 * pa->GetCount())) << name;
  }
}

TEST(BitmapBody, AnImageFileBodyLoadsBackIntoTheSameBitmap) {
  struct {
    const char* name;
    DWORD width, height;
    INT padding;
    CPixelFormat format;
    bool topDown;
  } cases[] = {
      {"24 bits, bottom-up, rows padded to 4 bytes", 5, 3, -1, Rgb24(), false},
      {"RGB565 without padding", 3, 2, 0, Rgb565(), true},
      {"4-bit palette of 16 entries, odd width", 5, 2, 3,
       Indexed(4, std::vector<DWORD>{0, 0xFF, 0xFF00, 0xFF0000, 0xFFFFFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), true},
      {"32 bits with alpha", 2, 2, -1, Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), false},
  };
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    bitmap.Create(c.width, c.height, c.padding, c.format, c.topDown);
    for (DWORD i = 0; i < bitmap.GetDataSize(); ++i) bitmap.GetPixels()[i] = static_cast<BYTE>(i * 7 + 1);
    const std::string file = Stored([&](CStorage& storage) {
      storage.Write(kImageMagic, sizeof kImageMagic);
      bitmap.Serialize(storage);
    });
    CDIBitmap loaded;
    loaded.Create(1, 1, -1, Indexed(8, {1, 2, 3}), true);  // replaced by the load
    Load(file, [&](CStorage& storage) {
      char magic[10];
      ASSERT_EQ(storage.Read(magic, sizeof magic), sizeof magic);
      ASSERT_EQ(0, std::memcmp(magic, kImageMagic, sizeof magic));
      loaded.Serialize(storage);
    });
    ExpectSameBitmap(bitmap, loaded, c.name);
  }

  CDIBitmap empty, loaded;
  loaded.Create(2, 2, -1, Rgb24(), true);
  Load(Stored([&](CStorage& storage) { empty.Serialize(storage); }),
       [&](CStorage& storage) { loaded.Serialize(storage); });
  EXPECT_FALSE(loaded.HasPixels()) << "an empty bitmap loads as an empty bitmap";
}

TEST(BitmapBody, FieldsAreStoredInOrderAndThePaletteOnlyForPalettizedFormats) {
  CDIBitmap palettized;
  palettized.Create(2, 1, -1, Indexed(8, {0x0000FF, 0x00FF00}), true);
  palettized.GetPixels()[0] = 1;
  palettized.GetPixels()[1] = 0;
  palettized.GetPixels()[2] = palettized.GetPixels()[3] = 0;
  EXPECT_EQ(Stored([&](CStorage& storage) { palettized.Serialize(storage); }),
            U32({1, 2, 1, 2, 1, 8, 0x60, 0, 0, 0, 0, 2, 0x0000FF, 0x00FF00, 4}) + std::string("\x01\0\0\0", 4));

  CDIBitmap rgb;
  rgb.Create(1, 1, 0, Rgb565(), false);
  rgb.GetPixels()[0] = 0x1F;
  rgb.GetPixels()[1] = 0xF8;
  rgb.SetColorKey(0xF81F);
  rgb.SetColorKeyFlag(true);
  EXPECT_EQ(Stored([&](CStorage& storage) { rgb.Serialize(storage); }),
            U32({1, 1, 1, 0, 0, 16, 0x40, 0xF800, 0x7E0, 0x1F, 0, 2}) + "\x1F\xF8")
      << "no palette block and no colour key";
}

TEST(BitmapBody, StoredPaletteCountsLoadAsStoredOrAsNoPalette) {
  CDIBitmap bitmap;
  Load(U32({1, 1, 1, 3, 0, 8, 0x60, 0, 0, 0, 0, 0, 4, 0}), [&](CStorage& storage) { bitmap.Serialize(storage); });
  EXPECT_TRUE(bitmap.GetFormat().IsPalettized());
  EXPECT_EQ(bitmap.GetFormat().GetPalette(), nullptr) << "count 0: a palettized format without a palette";

  Load(U32({1, 1, 1, 3, 0, 8, 0x60, 0, 0, 0, 0, 2, 0xFF, 0xFF00, 4, 0}),
       [&](CStorage& storage) { bitmap.Serialize(storage); });
  const CColorPalette* palette = bitmap.GetFormat().GetPalette();
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->GetCount(), 2u) << "not padded: stored back, the palette must be as it was";
  EXPECT_EQ(palette->GetEntries()[1], 0xFF00u);
}

// Every byte of a stored body is read into a field that stores it back
// unchanged: a short palette above all, which later code shows to plug-ins
// (colours used) and counts into colour histograms.
TEST(BitmapBody, AnImageFileWithAShortPaletteIsStoredBackByteForByte) {
  const std::string file = std::string(kImageMagic, sizeof kImageMagic) +
                           U32({1, 3, 2, 1, 1, 8, 0x60, 0, 0, 0, 0, 2, 0x0000FF, 0xFF0000, 8}) +
                           std::string("\x01\x00\x01\x00\x00\x01\x01\x00", 8);
  CMemoryStream stream;
  BYTE* block = new BYTE[file.size()];
  std::memcpy(block, file.data(), file.size());
  stream.Open(block, static_cast<DWORD>(file.size()), kStreamRead | kStreamSeek, 0, false);
  CDIBitmap bitmap;
  bitmap.Load(stream);
  stream.Close();
  EXPECT_EQ(
      std::string(kImageMagic, sizeof kImageMagic) + Stored([&](CStorage& storage) { bitmap.Serialize(storage); }),
      file);
}

TEST(BitmapBody, DamagedBodiesAreRefusedAndTheBitmapIsKept) {
  const std::string rgbHeader = U32({0, 0, 0, 0, 0, 32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0});
  auto body = [](std::initializer_list<DWORD> head, std::initializer_list<DWORD> tail, size_t pixels) {
    return U32(head) + U32(tail) + std::string(pixels, '\x5A');
  };
  struct {
    const char* name;
    std::string body;
    std::string error;
  } cases[] = {
      {"version 2", body({2, 1, 1, 0, 0, 32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0}, {4}, 4), "Unsupported file version."},
      {"data size not the rows'", body({1, 2, 2, 0, 0, 32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0}, {15}, 15),
       "Invalid bitmap data."},
      {"data size larger than the rows'", body({1, 1, 1, 0, 0, 8, 0x40, 0xE0, 0x1C, 0x3, 0}, {100}, 100),
       "Invalid bitmap data."},
      {"sizes wrapping 32 bits", body({1, 0x10000, 0x10000, 0, 0, 32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0}, {0}, 0),
       "The bitmap is too large."},
      {"padding of 2^32 - 1", body({1, 1, 1, 0xFFFFFFFF, 0, 32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0}, {4}, 4),
       "The bitmap is too large."},
      {"more palette entries than 2^bits", body({1, 1, 1, 3, 0, 4, 0x48, 0, 0, 0, 0, 17}, {}, 0),
       "Invalid bitmap data."},
      {"a palettized format of 3 bits", body({1, 1, 1, 3, 0, 3, 0x60, 0, 0, 0, 0, 2, 0, 0}, {4}, 4),
       "Unsupported pixel format."},
      // Two ways of reading the same pixels: refused, whichever is meant.
      {"8 bits with the 4-bit index flag", body({1, 1, 1, 3, 0, 8, 0x48, 0, 0, 0, 0, 2, 0, 0}, {4}, 4),
       "Invalid bitmap data."},
      {"8 bits with the 8-bit and the 4-bit index flags", body({1, 1, 1, 3, 0, 8, 0x68, 0, 0, 0, 0, 2, 0, 0}, {4}, 4),
       "Invalid bitmap data."},
      {"4 bits with the 1-bit index flag", body({1, 1, 1, 3, 0, 4, 0x840, 0, 0, 0, 0, 2, 0, 0}, {4}, 4),
       "Invalid bitmap data."},
      {"64 bits per pixel", body({1, 1, 1, 0, 0, 64, 0x40, 0xFF0000, 0xFF00, 0xFF, 0}, {8}, 8),
       "Unsupported pixel format."},
      {"pixels cut short", body({1, 2, 2, 0, 0, 32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0}, {16}, 15), "end of stream"},
      {"a 256 MiB block with only a few bytes behind it",
       body({1, 8192, 8192, 0, 0, 32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0}, {0x10000000}, 64), "end of stream"},
      {"palette cut short", body({1, 1, 1, 3, 0, 8, 0x60, 0, 0, 0, 0, 2, 0xFF}, {}, 0), "end of stream"},
      {"empty bitmap with data", body({1, 0, 5, 0, 0, 32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0}, {4}, 4),
       "Invalid bitmap data."},
  };
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    bitmap.Create(3, 1, -1, Rgb565(), true);
    bitmap.GetPixels()[0] = 0x42;
    EXPECT_EQ(LoadFailure(bitmap, c.body), c.error) << c.name;
    EXPECT_EQ(bitmap.GetWidth(), 3u) << c.name;
    EXPECT_EQ(bitmap.GetPixels()[0], 0x42) << c.name;
  }
}

TEST(ColorPaletteArchive, CountThenEntriesAndAnEmptyPaletteIsOnlyItsCount) {
  CColorPalette* palette = new CColorPalette;
  EXPECT_EQ(Stored([&](CStorage& storage) { palette->Serialize(storage); }), U32({0}));
  const DWORD entries[] = {0x0000FF, 0xABCDEF};
  palette->SetEntries(2, entries);
  const std::string stored = Stored([&](CStorage& storage) { palette->Serialize(storage); });
  EXPECT_EQ(stored, U32({2, 0x0000FF, 0xABCDEF}));

  CColorPalette* loaded = new CColorPalette;
  Load(stored, [&](CStorage& storage) { loaded->Serialize(storage); });
  ASSERT_EQ(loaded->GetCount(), 2u);
  EXPECT_EQ(loaded->GetEntries()[1], 0xABCDEFu);

  // A count far beyond the data fails at the end of the data and keeps the entries.
  try {
    Load(U32({0x7FFFFFFF, 1, 2, 3}), [&](CStorage& storage) { loaded->Serialize(storage); });
    ADD_FAILURE() << "loaded";
  } catch (CError* error) {
    EXPECT_TRUE(IsKindOf<CStorageError>(error));
    DisposeError(error);
  }
  EXPECT_EQ(loaded->GetCount(), 2u);
  Load(U32({0}), [&](CStorage& storage) { loaded->Serialize(storage); });
  EXPECT_EQ(loaded->GetCount(), 0u);
  EXPECT_EQ(loaded->GetEntries(), nullptr);
  loaded->Release();
  palette->Release();
}

}  // namespace
