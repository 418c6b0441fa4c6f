#include <string>
#include <vector>

#include "GdiFixture.h"
#include "support/TestPaths.h"
#include "twlwin/testing_gdi.h"

namespace {

// A 4 x 4 icon made the way programs make them: a 32-bit colour bitmap
// with alpha and a mask. Top row transparent, second row half-transparent
// blue, the rest opaque red.
HICON MakeIcon() {
  void* bits = nullptr;
  HBITMAP colour = MemoryDcTest::MakeDib(4, 4, &bits);
  HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
  HDC work = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(work, mask);
  RECT top{0, 0, 4, 1};
  FillRect(work, &top, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectObject(work, old);
  DeleteDC(work);
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int i = 4; i < 8; ++i) pixels[i] = 0x800000FFu;   // A R G B
  for (int i = 8; i < 16; ++i) pixels[i] = 0xFFFF0000u;
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

using Icons = MemoryDcTest;

TEST_F(Icons, DrawIconKeepsTransparentPixelsAndBlendsAlpha) {
  HICON icon = MakeIcon();
  ASSERT_NE(icon, nullptr);
  ASSERT_TRUE(DrawIcon(dc, 10, 10, icon));
  EXPECT_EQ(At(10, 10), RGB(255, 255, 255));
  COLORREF half = At(11, 11);
  EXPECT_NEAR(GetRValue(half), 127, 2);
  EXPECT_EQ(GetBValue(half), 255);
  EXPECT_EQ(At(13, 13), RGB(255, 0, 0));
  EXPECT_EQ(At(14, 13), RGB(255, 255, 255));
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DrawIcon(dc, 0, 0, icon));
}

TEST_F(Icons, GetIconInfoGivesBitmapsThatRebuildTheIcon) {
  HICON icon = MakeIcon();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  EXPECT_TRUE(info.fIcon);
  // The hotspot of an icon is its centre: callers take the size from it.
  EXPECT_EQ(info.xHotspot, 2u);
  EXPECT_EQ(info.yHotspot, 2u);
  BITMAP mask{};
  ASSERT_EQ(GetObjectA(info.hbmMask, sizeof mask, &mask), static_cast<int>(sizeof mask));
  EXPECT_EQ(mask.bmBitsPixel, 1);
  EXPECT_EQ(mask.bmWidth, 4);
  HICON copy = CreateIconIndirect(&info);
  ASSERT_NE(copy, nullptr);
  ASSERT_TRUE(DrawIcon(dc, 0, 0, copy));
  EXPECT_EQ(At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(At(2, 2), RGB(255, 0, 0));
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  DestroyIcon(copy);
  DestroyIcon(icon);
}

TEST_F(Icons, IconFromMaskAndColourWithoutAlpha) {
  HBITMAP mask = CreateBitmap(2, 1, 1, 1, nullptr);
  HBITMAP colour = CreateCompatibleBitmap(dc, 2, 1);
  HDC work = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(work, mask);
  SetPixel(work, 0, 0, RGB(255, 255, 255));  // left pixel transparent
  SetPixel(work, 1, 0, RGB(0, 0, 0));
  SelectObject(work, colour);
  SetPixel(work, 0, 0, RGB(0, 0, 0));
  SetPixel(work, 1, 0, RGB(0, 128, 0));
  SelectObject(work, old);
  DeleteDC(work);
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  ASSERT_NE(icon, nullptr);
  ASSERT_TRUE(DrawIcon(dc, 0, 0, icon));
  EXPECT_EQ(At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(At(1, 0), RGB(0, 128, 0));
  DestroyIcon(icon);
  DeleteObject(mask);
  DeleteObject(colour);
}

TEST(IconObjects, BadBitmapsAndHandlesAreRefused) {
  ICONINFO info{};
  EXPECT_FALSE(GetIconInfo(reinterpret_cast<HICON>(static_cast<uintptr_t>(0x7FF0)), &info));
  EXPECT_EQ(CreateIconIndirect(&info), nullptr);
  // Mask and colour of different sizes.
  HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
  HBITMAP colour = MemoryDcTest::MakeDib(5, 4, nullptr);
  ICONINFO mismatched{TRUE, 0, 0, mask, colour};
  EXPECT_EQ(CreateIconIndirect(&mismatched), nullptr);
  HICON icon = MakeIcon();
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  DeleteObject(mask);
  DeleteObject(colour);
}

TEST(Png, DumpHasPngSignatureAndSize) {
  void* bits = nullptr;
  HBITMAP bitmap = MemoryDcTest::MakeDib(7, 3, &bits);
  std::string path = twltest::MakeTempDir("png") + "/out.png";
  ASSERT_TRUE(TwlTestSaveBitmapPng(bitmap, path.c_str()));
  std::string bytes = twltest::ReadFile(path);
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  auto be32 = [&](size_t at) {
    return (static_cast<uint8_t>(bytes[at]) << 24) | (static_cast<uint8_t>(bytes[at + 1]) << 16) |
           (static_cast<uint8_t>(bytes[at + 2]) << 8) | static_cast<uint8_t>(bytes[at + 3]);
  };
  EXPECT_EQ(be32(16), 7);
  EXPECT_EQ(be32(20), 3);
  EXPECT_FALSE(TwlTestSaveBitmapPng(bitmap, "/nonexistent-folder/x.png"));
  DeleteObject(bitmap);
}

}  // namespace
