#include <vector>

#include "Pictures.h"

namespace {

HINSTANCE Program() { return GetModuleHandleA(nullptr); }

TEST(ResourceImages, IconsLoadAtTheSystemSizeAndOnceOnly) {
  HICON icon = LoadIconA(Program(), MAKEINTRESOURCEA(101));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(LoadIconA(Program(), MAKEINTRESOURCEA(101)), icon) << "the same icon gives the same handle";
  Picture picture = IconPicture(icon);
  EXPECT_EQ(picture.width, 32);
  EXPECT_EQ(picture.height, 32);
  EXPECT_EQ(picture.hotspot.x, 16) << "an icon's hot spot is its centre";
  EXPECT_TRUE(picture.ClearAt(0, 0)) << "transparent corner";
  EXPECT_FALSE(picture.ClearAt(3, 5));
  EXPECT_EQ(picture.At(3, 5), 0x182840u) << "red 8x, green 8y, blue 0x40; top row first";

  HANDLE small = LoadImageA(Program(), MAKEINTRESOURCEA(101), IMAGE_ICON, 16, 16, 0);
  ASSERT_NE(small, nullptr);
  EXPECT_NE(small, icon);
  Picture smallPicture = IconPicture(static_cast<HICON>(small));
  EXPECT_EQ(smallPicture.width, 16);
  EXPECT_EQ(smallPicture.At(1, 2), 0x102080u);
  EXPECT_EQ(LoadImageA(Program(), MAKEINTRESOURCEA(101), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE), icon);
}

TEST(ResourceImages, PalettedIconsTakeTransparencyFromTheirMask) {
  Picture picture = IconPicture(LoadIconA(Program(), MAKEINTRESOURCEA(102)));
  ASSERT_EQ(picture.width, 32);
  EXPECT_TRUE(picture.ClearAt(3, 9)) << "the left half is masked out";
  EXPECT_FALSE(picture.ClearAt(21, 9));
  EXPECT_EQ(picture.At(21, 9), 0x50AF28u) << "palette colour 5: r 80, g 175, b 40";
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
    EXPECT_TRUE(picture.ClearAt(0, 0)) << "drawn on a transparent ground";
    EXPECT_FALSE(picture.ClearAt(16, 20)) << "opaque in the middle";
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
    EXPECT_FALSE(picture.ClearAt(c.x, c.y)) << "the hot spot is on the drawing";
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
  EXPECT_FALSE(picture.topDown) << "rows stay in the order of the resource";
  EXPECT_EQ(picture.At(4, 10), 0x181818u) << "grey (x + 2y)";

  Picture topDown = BitmapPicture(LoadImageA(Program(), "TOPDOWN", IMAGE_BITMAP, 3, 2, 0));
  EXPECT_EQ(topDown.bitCount, 24);
  EXPECT_TRUE(topDown.topDown);
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
  EXPECT_EQ(GetObjectType(own), 0u);
  EXPECT_FALSE(DeleteObject(own));
  EXPECT_TRUE(DeleteObject(shared));
  EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_BITMAP)) << "a shared bitmap stays";
  EXPECT_TRUE(DeleteObject(another));
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
