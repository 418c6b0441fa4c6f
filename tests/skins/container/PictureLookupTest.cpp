// Pictures of a skin folder: found whatever the case of their names, the
// first that loads of several candidates; and the map operations that cut
// elements out of colour-coded pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "../support/SkinTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinPointers.h"
#include "skins/masks/Mask.h"
#include "support/TestPaths.h"

using namespace skintest;

TEST(PictureLookup, NamesAreMatchedWithoutRegardToCase) {
  RequireImageMagick();
  const std::string folder = twltest::MakeTempDir("lookup") + "/";
  ASSERT_EQ(Shell("convert -size 7x3 xc:'#102030' BMP3:" + Quote(folder + "mainwindownormal.BMP")), 0);
  BitmapPtr picture(CSkinBase::LoadBitmap(folder.c_str(), "", "MainWindow", "Normal"));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->GetWidth(), 7u);
  EXPECT_EQ(CSkinBase::LoadBitmap(folder.c_str(), "Sm", "MainWindow", "Normal"), nullptr);
}

TEST(PictureLookup, FoldersAreSkippedAndAPictureThatLoadsWins) {
  RequireImageMagick();
  const std::string folder = twltest::MakeTempDir("candidates") + "/";
  std::filesystem::create_directories(folder + "AuxWindow.bmp");
  twltest::WriteFile(folder + "auxwindow.bmp", "not a picture at all");
  ASSERT_EQ(Shell("convert -size 4x4 xc:red BMP3:" + Quote(folder + "AUXWINDOW.bmp")), 0);
  BitmapPtr picture(CSkinBase::LoadBitmap(folder.c_str(), "", "AuxWindow", ""));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->GetWidth(), 4u);

  std::filesystem::remove(folder + "AUXWINDOW.bmp");
  ExpectError([&] { BitmapPtr(CSkinBase::LoadBitmap(folder.c_str(), "", "AuxWindow", "")); }, "");
}

// A few bytes of run-length data may claim gigabytes of pixels: a picture
// larger than any skin needs is refused before it is decoded, while one
// at the limits loads.
TEST(PictureLookup, PicturesLargerThanASkinNeedsAreRefusedUnread) {
  const std::string folder = twltest::MakeTempDir("huge") + "/";
  struct Row {
    uint32_t width, height;
    bool loads;
  };
  const Row rows[] = {
      {20000, 20000, false},
      {16385, 1, false},
      {1, 16385, false},
      {4097, 4096, false},
      {16384, 1024, true},
      {4096, 4096, true},
  };
  for (const Row& row : rows) {
    const std::string size = std::to_string(row.width) + " x " + std::to_string(row.height);
    twltest::WriteFile(folder + "AuxWindow.bmp", RunLengthBMP(row.width, row.height));
    if (row.loads) {
      BitmapPtr picture(CSkinBase::LoadBitmap(folder.c_str(), "", "AuxWindow", ""));
      ASSERT_NE(picture, nullptr) << size;
      EXPECT_EQ(picture->GetWidth(), row.width);
      continue;
    }
    ExpectError([&] { BitmapPtr(CSkinBase::LoadBitmap(folder.c_str(), "", "AuxWindow", "")); },
                "The bitmap 'AuxWindow.bmp' is too large for a skin (" + size +
                    " pixels; at most 16384 on a side and 16777216 pixels in all).");
  }
}

TEST(ColorMap, BoundsMasksAndCopies) {
  // 6 x 4 map: value 7 in an L shape, value 9 filling a rectangle.
  const DWORD map[4][6] = {
      {0, 7, 0, 0, 9, 9},
      {0, 7, 0, 0, 9, 9},
      {0, 7, 7, 0, 9, 9},
      {0, 0, 0, 0, 0, 0},
  };
  const DWORD* cells = &map[0][0];
  RECT bounds;
  EXPECT_EQ(CSkinBase::FindColorBounds(&bounds, cells, 6, 4, 24, 7), 3);
  EXPECT_EQ(bounds.left, 1);
  EXPECT_EQ(bounds.top, 0);
  EXPECT_EQ(bounds.right, 3);
  EXPECT_EQ(bounds.bottom, 3);
  CSkinBase::FindColorBounds(&bounds, cells, 6, 4, 24, 5);
  EXPECT_TRUE(bounds.left == 6 && bounds.top == 4 && bounds.right == 1 && bounds.bottom == 1) << "nowhere";

  std::unique_ptr<CMask> mask(CSkinBase::CreateMaskFromMap(cells, 24, RECT{1, 0, 3, 3}, 7));
  ASSERT_NE(mask, nullptr);
  const BYTE expected[6] = {1, 0, 1, 0, 1, 1};
  EXPECT_TRUE(std::equal(expected, expected + 6, mask->GetBytes()));
  EXPECT_EQ(CSkinBase::CreateMaskFromMap(cells, 24, RECT{4, 0, 6, 3}, 9), nullptr) << "entirely the value";
  EXPECT_EQ(CSkinBase::CreateMaskFromMap(cells, 24, RECT{6, 4, 1, 1}, 5), nullptr) << "empty rectangle";

  CPixelFormat format;
  format.SetMasks(32, 0xFF, 0xFF00, 0xFF0000);
  CDIBitmap source;
  source.Create(6, 4, 0, format, false);  // bottom-up
  for (int y = 0; y < 4; ++y)
    std::memcpy(source.GetPixels() + (3 - y) * 24, map[y], 24);
  BitmapPtr copy(CSkinBase::CopyBitmapRect(source, RECT{1, 1, 5, 3}));
  ASSERT_EQ(copy->GetWidth(), 4u);
  ASSERT_EQ(copy->GetHeight(), 2u);
  EXPECT_TRUE(copy->IsTopDown());
  const DWORD* pixels = reinterpret_cast<const DWORD*>(copy->GetPixels());
  EXPECT_EQ(pixels[0], 7u);
  EXPECT_EQ(pixels[3], 9u);
  EXPECT_EQ(pixels[4], 7u);
  EXPECT_EQ(pixels[5], 7u);
}
