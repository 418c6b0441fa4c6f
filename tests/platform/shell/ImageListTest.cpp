#include <windows.h>
#include <gtest/gtest.h>

#include <thread>

#include "support/SolidIcons.h"
#include "support/TestPaths.h"

namespace {

using twltest::DrawnColour;
using twltest::SolidIcon;

TEST(ImageLists, ReplaceIconAppendsCopiesAndReplacesByIndex) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR16 | ILC_MASK, 0, 50);
  ASSERT_NE(list, nullptr);
  HICON red = SolidIcon(RGB(255, 0, 0));
  HICON blue = SolidIcon(RGB(0, 0, 255), 32);  // scaled to the list's size
  EXPECT_EQ(ImageList_ReplaceIcon(list, -1, red), 0);
  EXPECT_EQ(ImageList_AddIcon(list, blue), 1);
  EXPECT_EQ(ImageList_GetImageCount(list), 2);
  // The list keeps its own copy: the caller's icon may go.
  DestroyIcon(red);
  EXPECT_EQ(DrawnColour(list, 0), RGB(255, 0, 0));
  EXPECT_EQ(DrawnColour(list, 1), RGB(0, 0, 255));
  EXPECT_EQ(ImageList_ReplaceIcon(list, 0, blue), 0);
  EXPECT_EQ(DrawnColour(list, 0), RGB(0, 0, 255));
  EXPECT_EQ(ImageList_ReplaceIcon(list, 2, blue), -1);
  EXPECT_EQ(ImageList_ReplaceIcon(list, -1, nullptr), -1);
  EXPECT_EQ(ImageList_GetImageCount(list), 2);
  DestroyIcon(blue);
  EXPECT_TRUE(ImageList_Destroy(list));
  EXPECT_FALSE(ImageList_Destroy(list));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
}

TEST(ImageLists, GetIconHandsOutANewIconOfTheImage) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR16 | ILC_MASK, 0, 50);
  HICON green = SolidIcon(RGB(0, 160, 0));
  ImageList_AddIcon(list, green);
  HICON first = ImageList_GetIcon(list, 0, ILD_TRANSPARENT);
  HICON second = ImageList_GetIcon(list, 0, ILD_TRANSPARENT);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, second);
  EXPECT_NE(first, green);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(first, &info));
  EXPECT_EQ(info.xHotspot, 8u);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  EXPECT_EQ(ImageList_GetIcon(list, 5, ILD_TRANSPARENT), nullptr);
  EXPECT_EQ(ImageList_GetIcon(list, -1, ILD_TRANSPARENT), nullptr);
  DestroyIcon(first);
  DestroyIcon(second);
  DestroyIcon(green);
  ImageList_Destroy(list);
}

TEST(ImageLists, SelectedDrawingBlendsWithTheHighlight) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4);
  HICON white = SolidIcon(RGB(255, 255, 255));
  ImageList_AddIcon(list, white);
  COLORREF selected = DrawnColour(list, 0, ILD_SELECTED);
  COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_NE(selected, RGB(255, 255, 255));
  EXPECT_NEAR(GetBValue(selected), (255 + GetBValue(highlight)) / 2, 2);
  DestroyIcon(white);
  ImageList_Destroy(list);
}

TEST(ImageLists, OneThreadDrawsWhileAnotherAdds) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR16 | ILC_MASK, 0, 50);
  HICON icon = SolidIcon(RGB(10, 20, 30));
  ImageList_AddIcon(list, icon);
  std::thread adder([&] {
    for (int i = 0; i < 200; ++i) ImageList_AddIcon(list, icon);
  });
  for (int i = 0; i < 200; ++i) EXPECT_EQ(DrawnColour(list, 0), RGB(10, 20, 30));
  adder.join();
  EXPECT_EQ(ImageList_GetImageCount(list), 201);
  DestroyIcon(icon);
  ImageList_Destroy(list);
}

}  // namespace
