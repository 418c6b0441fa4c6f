// The IMG_IMAGE reader: a magic followed by a bitmap's stored body.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ReaderTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/storage/Storage.h"
#include "foundation/streams/MemoryStream.h"

using namespace readertest;

namespace {

// The magic, then the bitmap stored through an archive.
std::string ImageFileOf(CDIBitmap& bitmap) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 4096, false);
  stream.Write("IMG_IMAGE\0", 10);
  CStorage storage;
  storage.Open(&stream, CStorage::kStore, 1, 4096);
  bitmap.Serialize(storage);
  storage.Close();
  return std::string(reinterpret_cast<const char*>(stream.GetBuffer()), static_cast<size_t>(stream.GetLength(true, nullptr)));
}

CDIBitmap& SampleBitmap(CDIBitmap& bitmap) {
  CColorPalette* palette = new CColorPalette;
  const DWORD entries[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};
  palette->SetEntries(4, entries);
  CPixelFormat format;
  format.SetIndexed(4, palette);
  palette->Release();
  bitmap.Create(5, 3, CDIBitmap::kPadToFourBytes, format, false);
  for (DWORD i = 0; i < bitmap.GetDataSize(); ++i) bitmap.GetPixels()[i] = static_cast<BYTE>(i * 37);
  return bitmap;
}

TEST(ImageFileReader, AStoredBitmapBehindTheMagicLoadsBackAsItWas) {
  CDIBitmap original;
  const std::string file = ImageFileOf(SampleBitmap(original));
  CDIBitmap loaded;
  const Outcome outcome = LoadBytes(file, loaded);
  ASSERT_TRUE(outcome.loaded) << Describe(outcome);
  EXPECT_EQ(loaded.GetWidth(), 5u);
  EXPECT_EQ(loaded.GetHeight(), 3u);
  EXPECT_FALSE(loaded.IsTopDown());
  EXPECT_TRUE(loaded.GetFormat().HasSameLayout(original.GetFormat()));
  ASSERT_EQ(loaded.GetDataSize(), original.GetDataSize());
  EXPECT_EQ(std::memcmp(loaded.GetPixels(), original.GetPixels(), original.GetDataSize()), 0);
  EXPECT_EQ(ColorAt(loaded, 0, 0), ColorAt(original, 0, 0));
}

TEST(ImageFileReader, AWrongMagicIsCorruptAndAShortOneEndsTheStream) {
  CDIBitmap original;
  std::string file = ImageFileOf(SampleBitmap(original));
  file[9] = 'X';
  CDIBitmap bitmap;
  Outcome outcome = LoadBytes(file, bitmap, Reader::kImage);
  EXPECT_EQ(outcome.errorClass, "CStreamError");
  EXPECT_EQ(outcome.code, 14u);
  outcome = LoadBytes("IMG_IM", bitmap, Reader::kImage);
  EXPECT_EQ(outcome.errorClass, "CStreamError");
  EXPECT_EQ(outcome.code, 8u);
}

TEST(ImageFileReader, ABodyCutShortFailsAndLeavesTheBitmapAsItWas) {
  CDIBitmap original;
  std::string file = ImageFileOf(SampleBitmap(original));
  file.resize(file.size() - 1);
  CDIBitmap bitmap;
  SampleBitmap(bitmap);
  const Outcome outcome = LoadBytes(file, bitmap, Reader::kImage);
  EXPECT_EQ(outcome.errorClass, "CStorageError");
  EXPECT_EQ(outcome.code, 2u);
  EXPECT_EQ(bitmap.GetWidth(), 5u);
}

}  // namespace
