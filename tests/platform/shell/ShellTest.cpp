#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "support/TestPaths.h"
#include "twlwin/testing_gdi.h"

namespace {

int SystemIndex(const std::string& path, UINT extraFlags = 0, DWORD attributes = 0, HIMAGELIST* list = nullptr) {
  SHFILEINFOA info{};
  DWORD_PTR result =
      SHGetFileInfoA(path.c_str(), attributes, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extraFlags);
  if (list) *list = reinterpret_cast<HIMAGELIST>(result);
  return result ? info.iIcon : -1;
}

TEST(SystemImageList, IndicesAreStableAndByKind) {
  std::string folder = twltest::MakeTempDir("files");
  twltest::WriteFile(folder + "/song.MP3", "x");
  twltest::WriteFile(folder + "/other.mp3", "x");
  twltest::WriteFile(folder + "/notes.txt", "x");
  twltest::WriteFile(folder + "/data.xyz", "x");

  HIMAGELIST list = nullptr;
  int song = SystemIndex(folder + "/song.MP3", 0, 0, &list);
  ASSERT_NE(list, nullptr);
  HIMAGELIST again = nullptr;
  EXPECT_EQ(SystemIndex(folder + "/other.mp3", 0, 0, &again), song);
  EXPECT_EQ(again, list);  // one system list for the process
  int text = SystemIndex(folder + "/notes.txt");
  int unknown = SystemIndex(folder + "/data.xyz");
  int directory = SystemIndex(folder);
  int drive = SystemIndex("C:\\");
  // Windows-style paths with backslashes reach the same files.
  EXPECT_EQ(SystemIndex(folder + "\\notes.txt"), text);
  std::set<int> distinct{song, text, unknown, directory, drive};
  EXPECT_EQ(distinct.size(), 5u);
  EXPECT_NE(SystemIndex(folder, SHGFI_OPENICON), directory);
  for (int index : distinct) {
    EXPECT_GE(index, 0);
    EXPECT_LT(index, ImageList_GetImageCount(list));
  }
  // The numbers are fixed, not handed out in the order of the calls.
  EXPECT_EQ(SystemIndex("x.txt", SHGFI_USEFILEATTRIBUTES), text);
  EXPECT_EQ(SystemIndex("any", SHGFI_USEFILEATTRIBUTES, 0x10), directory);
  int width = 0;
  int height = 0;
  ASSERT_TRUE(ImageList_GetIconSize(list, &width, &height));
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 16);
}

TEST(SystemImageList, CannotBeDestroyedOrChanged) {
  HIMAGELIST list = nullptr;
  SystemIndex("C:\\", 0, 0, &list);
  int count = ImageList_GetImageCount(list);
  EXPECT_FALSE(ImageList_Destroy(list));
  HICON icon = ImageList_GetIcon(list, 0, ILD_TRANSPARENT);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(ImageList_AddIcon(list, icon), -1);
  EXPECT_EQ(ImageList_GetImageCount(list), count);
  DestroyIcon(icon);
}

TEST(SystemImageList, MissingFilesFailUnlessAttributesAreGiven) {
  std::string missing = twltest::SandboxDir() + "/no-such-file.mp3";
  SHFILEINFOA info{};
  EXPECT_EQ(SHGetFileInfoA(missing.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON), 0u);
  EXPECT_NE(SHGetFileInfoA(missing.c_str(), 0, &info, sizeof info,
                           SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES),
            0u);
  EXPECT_EQ(SHGetFileInfoA(nullptr, 0, &info, sizeof info, SHGFI_SYSICONINDEX), 0u);
  EXPECT_EQ(SHGetFileInfoA("C:\\", 0, &info, 10, SHGFI_SYSICONINDEX), 0u);  // record too small
}

TEST(NotifyIcons, AddModifyDeleteKeepTheModel) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x44));
  data.uID = 0;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = 1124;
  data.hIcon = reinterpret_cast<HICON>(static_cast<uintptr_t>(0x88));
  std::strcpy(data.szTip, "Player");
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data));
  ASSERT_EQ(TwlTestGetNotifyIconCount(), 1u);
  TWLTEST_NOTIFYICON shown{};
  ASSERT_TRUE(TwlTestGetNotifyIcon(0, &shown));
  EXPECT_EQ(shown.uCallbackMessage, 1124u);
  EXPECT_EQ(shown.hIcon, data.hIcon);
  EXPECT_STREQ(shown.szTip, "Player");

  // Only the flagged fields change; a tip without its zero is cut at 63.
  data.uFlags = NIF_TIP;
  std::memset(data.szTip, 'x', sizeof data.szTip);
  data.uCallbackMessage = 9999;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
  ASSERT_TRUE(TwlTestGetNotifyIcon(0, &shown));
  EXPECT_EQ(std::string(shown.szTip), std::string(63, 'x'));
  EXPECT_EQ(shown.uCallbackMessage, 1124u);

  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_EQ(TwlTestGetNotifyIconCount(), 0u);
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data));
  data.cbSize = 12;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data));
}

TEST(ExtractIcon, NothingWithoutAnIconSource) {
  EXPECT_EQ(ExtractIconA(nullptr, "/no/such/program", 0), nullptr);
  EXPECT_EQ(ExtractIconA(nullptr, nullptr, 0), nullptr);
}

}  // namespace
