#include <windows.h>
#include <gtest/gtest.h>
#include <twlwin/testing.h>

#include <vector>

namespace {

struct Picture {
  LONG width = 0;
  LONG height = 0;
  POINT hotspot{-1, -1};
  WORD bitCount = 0;
  std::vector<DWORD> pixels;
  DWORD At(int x, int y) const { return pixels.at(static_cast<size_t>(y) * width + x); }
};

Picture IconPicture(HICON icon) {
  Picture picture;
  EXPECT_TRUE(TwlTestGetIconImage(icon, &picture.width, &picture.height, &picture.hotspot, nullptr, 0));
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  EXPECT_TRUE(TwlTestGetIconImage(icon, nullptr, nullptr, nullptr, picture.pixels.data(),
                                  static_cast<DWORD>(picture.pixels.size())));
  return picture;
}

Picture BitmapPicture(HANDLE bitmap) {
  Picture picture;
  auto handle = static_cast<HBITMAP>(bitmap);
  EXPECT_TRUE(TwlTestGetBitmapImage(handle, &picture.width, &picture.height, &picture.bitCount, nullptr, 0));
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  EXPECT_TRUE(TwlTestGetBitmapImage(handle, nullptr, nullptr, nullptr, picture.pixels.data(),
                                    static_cast<DWORD>(picture.pixels.size())));
  return picture;
}

HINSTANCE Program() { return GetModuleHandleA(nullptr); }

TEST(ResourceImages, IconsLoadAtTheSystemSizeAndOnceOnly) {
  HICON icon = LoadIconA(Program(), MAKEINTRESOURCEA(101));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(LoadIconA(Program(), MAKEINTRESOURCEA(101)), icon) << "the same icon gives the same handle";
  Picture picture = IconPicture(icon);
  EXPECT_EQ(picture.width, 32);
  EXPECT_EQ(picture.height, 32);
  EXPECT_EQ(picture.hotspot.x, 16) << "an icon's hot spot is its centre";
  EXPECT_EQ(picture.At(0, 0) >> 24, 0u) << "transparent corner";
  EXPECT_EQ(picture.At(3, 5), 0xFF182840u) << "red 8x, green 8y, blue 0x40, opaque; top row first";

  HANDLE small = LoadImageA(Program(), MAKEINTRESOURCEA(101), IMAGE_ICON, 16, 16, 0);
  ASSERT_NE(small, nullptr);
  EXPECT_NE(small, icon);
  Picture smallPicture = IconPicture(static_cast<HICON>(small));
  EXPECT_EQ(smallPicture.width, 16);
  EXPECT_EQ(smallPicture.At(1, 2), 0xFF102080u);
  EXPECT_EQ(LoadImageA(Program(), MAKEINTRESOURCEA(101), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE), icon);
}

TEST(ResourceImages, PalettedIconsTakeTransparencyFromTheirMask) {
  Picture picture = IconPicture(LoadIconA(Program(), MAKEINTRESOURCEA(102)));
  ASSERT_EQ(picture.width, 32);
  EXPECT_EQ(picture.At(3, 9) >> 24, 0u) << "the left half is masked out";
  EXPECT_EQ(picture.At(21, 9), 0xFF50AF28u) << "palette colour 5: r 80, g 175, b 40";
}

TEST(ResourceImages, CursorsKeepTheirHotSpot) {
  HCURSOR cursor = LoadCursorA(Program(), MAKEINTRESOURCEA(130));
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(LoadCursorA(Program(), MAKEINTRESOURCEA(130)), cursor);
  Picture picture = IconPicture(cursor);
  EXPECT_EQ(picture.hotspot.x, 5);
  EXPECT_EQ(picture.hotspot.y, 7);
  SetLastError(0);
  EXPECT_EQ(LoadIconA(Program(), MAKEINTRESOURCEA(130)), nullptr) << "a cursor is not an icon";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST(ResourceImages, SystemIconsAndCursorsAreThere) {
  for (LPCSTR name : {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK}) {
    HICON icon = LoadIconA(nullptr, name);
    ASSERT_NE(icon, nullptr) << reinterpret_cast<uintptr_t>(name);
    EXPECT_EQ(LoadIconA(nullptr, name), icon);
    Picture picture = IconPicture(icon);
    EXPECT_EQ(picture.width, 32);
    EXPECT_EQ(picture.At(0, 0) >> 24, 0u) << "drawn on a transparent ground";
    EXPECT_EQ(picture.At(16, 20) >> 24, 0xFFu) << "opaque in the middle";
  }
  EXPECT_EQ(LoadIconA(nullptr, IDI_ERROR), LoadIconA(nullptr, IDI_HAND));
  const struct {
    LPCSTR name;
    LONG x;
    LONG y;
  } cursors[] = {{IDC_ARROW, 1, 1}, {IDC_SIZEWE, 16, 16}, {IDC_SIZENS, 16, 16}, {IDC_SIZENWSE, 16, 16},
                 {IDC_SIZENESW, 16, 16}};
  for (const auto& c : cursors) {
    HCURSOR cursor = LoadCursorA(nullptr, c.name);
    ASSERT_NE(cursor, nullptr) << reinterpret_cast<uintptr_t>(c.name);
    Picture picture = IconPicture(cursor);
    EXPECT_EQ(picture.hotspot.x, c.x);
    EXPECT_EQ(picture.hotspot.y, c.y);
    EXPECT_EQ(picture.At(c.x, c.y) >> 24, 0xFFu) << "the hot spot is on the drawing";
  }
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
}

TEST(ResourceImages, BitmapsKeepTheirDepthAndColours) {
  HANDLE arrow = LoadImageA(Program(), MAKEINTRESOURCEA(143), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  ASSERT_NE(arrow, nullptr);
  Picture picture = BitmapPicture(arrow);
  EXPECT_EQ(picture.width, 29);
  EXPECT_EQ(picture.height, 29);
  EXPECT_EQ(picture.bitCount, 8);
  EXPECT_EQ(picture.At(4, 10), 0x181818u) << "grey (x + 2y); rows top first";

  Picture topDown = BitmapPicture(LoadImageA(Program(), "TOPDOWN", IMAGE_BITMAP, 3, 2, 0));
  EXPECT_EQ(topDown.bitCount, 24);
  EXPECT_EQ(topDown.pixels, (std::vector<DWORD>{0xFF0000, 0x00FF00, 0x0000FF, 0x010203, 0xFAFBFC, 0x804020}));

  Picture fields = BitmapPicture(LoadImageA(Program(), MAKEINTRESOURCEA(145), IMAGE_BITMAP, 0, 0, 0));
  EXPECT_EQ(fields.pixels, (std::vector<DWORD>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
}

TEST(ResourceImages, SharedBitmapsStayAndOthersAreFreed) {
  HANDLE shared = LoadImageA(Program(), MAKEINTRESOURCEA(143), IMAGE_BITMAP, 0, 0, LR_SHARED);
  EXPECT_EQ(LoadImageA(Program(), MAKEINTRESOURCEA(143), IMAGE_BITMAP, 0, 0, LR_SHARED), shared);
  HANDLE own = LoadImageA(Program(), MAKEINTRESOURCEA(143), IMAGE_BITMAP, 0, 0, 0);
  HANDLE another = LoadImageA(Program(), MAKEINTRESOURCEA(143), IMAGE_BITMAP, 0, 0, 0);
  EXPECT_NE(own, shared);
  EXPECT_NE(own, another);

  EXPECT_TRUE(DeleteObject(own));
  EXPECT_FALSE(TwlTestGetBitmapImage(static_cast<HBITMAP>(own), nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_FALSE(DeleteObject(own));
  EXPECT_TRUE(DeleteObject(shared));
  EXPECT_TRUE(TwlTestGetBitmapImage(static_cast<HBITMAP>(shared), nullptr, nullptr, nullptr, nullptr, 0));

  // A bitmap handle is never taken for a region, nor a region for a bitmap.
  HRGN region = CreateRectRgn(0, 0, 10, 10);
  EXPECT_TRUE(TwlTestGetBitmapImage(static_cast<HBITMAP>(another), nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_TRUE(DeleteObject(region));
  EXPECT_TRUE(TwlTestGetBitmapImage(static_cast<HBITMAP>(another), nullptr, nullptr, nullptr, nullptr, 0));
}

TEST(ResourceImages, RequestsThatCannotBeMetAreRefused) {
  const struct {
    const char* behaviour;
    LPCSTR name;
    UINT type;
    int width;
    int height;
    UINT flags;
    DWORD error;
  } cases[] = {
      {"a bitmap at another size", MAKEINTRESOURCEA(143), IMAGE_BITMAP, 58, 58, 0, ERROR_NOT_SUPPORTED},
      {"loading from a file", "arrow.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE, ERROR_NOT_SUPPORTED},
      {"colours changed on loading", MAKEINTRESOURCEA(143), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS,
       ERROR_INVALID_PARAMETER},
      {"an unknown kind of image", MAKEINTRESOURCEA(143), 7, 0, 0, 0, ERROR_INVALID_PARAMETER},
      {"a negative size", MAKEINTRESOURCEA(101), IMAGE_ICON, -1, 16, 0, ERROR_INVALID_PARAMETER},
      {"a missing bitmap", MAKEINTRESOURCEA(999), IMAGE_BITMAP, 0, 0, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_EQ(LoadImageA(Program(), c.name, c.type, c.width, c.height, c.flags), nullptr) << c.behaviour;
    EXPECT_EQ(GetLastError(), c.error) << c.behaviour;
  }
}

}  // namespace
