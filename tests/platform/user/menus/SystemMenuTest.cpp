// Window system menus: the standard items, a program trimming them the way
// the owner window does, and a choice arriving as WM_SYSCOMMAND.
#include <gtest/gtest.h>

#include <string>

#include "MenuTestHelpers.h"
#include "platform/user/windows/Recorder.h"

using namespace menutest;
using namespace usertest;

namespace {

struct SystemMenuScene {
  explicit SystemMenuScene(DWORD style = WS_POPUP | WS_VISIBLE | WS_SYSMENU) {
    RegisterRecordingClass("SysMenuOwner");
    window = MakeWindow("SysMenuOwner", style, {10, 10, 210, 110});
    Pump();
    Recorder::Get().Clear();
    TwlTestResetMenus();
  }
  HWND window;
};

}  // namespace

TEST(SystemMenu, HoldsTheStandardItemsTheWindowAllows) {
  SystemMenuScene popup;
  HMENU menu = GetSystemMenu(popup.window, FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetSystemMenu(popup.window, FALSE), menu) << "one copy per window";
  EXPECT_EQ(Describe(menu),
            "61728 &Restore (disabled)\n"
            "61456 &Move\n"
            "61440 &Size (disabled)\n"
            "61472 Mi&nimize (disabled)\n"
            "61488 Ma&ximize (disabled)\n"
            "-\n"
            "61536 &Close\tAlt+F4 (default)\n");

  SystemMenuScene overlapped(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ShowWindow(overlapped.window, SW_MAXIMIZE);
  std::string shown = Describe(GetSystemMenu(overlapped.window, FALSE));
  EXPECT_NE(shown.find("61728 &Restore\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("61488 Ma&ximize (disabled)\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("61472 Mi&nimize\n"), std::string::npos) << shown;
}

TEST(SystemMenu, AWindowWithoutTheStyleHasNone) {
  SystemMenuScene plain(WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(GetSystemMenu(plain.window, FALSE), nullptr);
  EXPECT_FALSE(TwlTestOpenSystemMenu(plain.window));
  EXPECT_EQ(GetSystemMenu(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFFFF00)), FALSE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST(SystemMenu, TrimmedToMinimizeAndCloseItDeliversTheNewCommand) {
  SystemMenuScene owner;
  HMENU menu = GetSystemMenu(owner.window, FALSE);
  // Walk from the last item to the first, dropping what a taskbar button of
  // a window that only hides to the tray should not offer.
  std::string minimizeText;
  for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info));
    if (info.wID == SC_MINIMIZE) {
      char text[2000];
      GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      minimizeText = text;
    }
    const bool dropped = info.wID == SC_SIZE || info.wID == SC_MOVE || info.wID == SC_MAXIMIZE ||
                         info.wID == SC_RESTORE || info.wID == SC_MINIMIZE;
    if (dropped) {
      ASSERT_TRUE(DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION));
    }
  }
  MENUITEMINFOA item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP;
  item.wID = 1000;
  item.dwTypeData = minimizeText.data();
  item.hbmpItem = HBMMENU_POPUP_MINIMIZE;
  ASSERT_TRUE(InsertMenuItemA(menu, 0, TRUE, &item));
  EXPECT_EQ(Describe(menu), "1000 Mi&nimize\n-\n61536 &Close\tAlt+F4 (default)\n");

  SetCursorPos(40, 30);
  TwlTestPushMenuChoice(1000);
  ASSERT_TRUE(TwlTestOpenSystemMenu(owner.window));
  Pump();
  auto commands = Recorder::Get().Of(WM_SYSCOMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, 1000u);
  EXPECT_EQ(GET_X_LPARAM(commands[0].lParam), 40);
  EXPECT_TRUE(Recorder::Get().Of(WM_COMMAND).empty());
  TWL_MENU_TRACK record{};
  ASSERT_TRUE(TwlTestGetMenuTrack(0, &record, nullptr, 0));
  EXPECT_TRUE(record.systemMenu);

  TwlTestPushMenuChoice(SC_CLOSE);
  TwlTestOpenSystemMenu(owner.window);
  Pump();
  EXPECT_FALSE(IsWindow(owner.window)) << "Close reaches the default handling and closes";
}

TEST(SystemMenu, RevertingBringsBackTheStandardMenu) {
  SystemMenuScene owner;
  HMENU changed = GetSystemMenu(owner.window, FALSE);
  DeleteMenu(changed, SC_MOVE, MF_BYCOMMAND);
  EXPECT_EQ(GetSystemMenu(owner.window, TRUE), nullptr);
  EXPECT_FALSE(IsMenu(changed));
  HMENU fresh = GetSystemMenu(owner.window, FALSE);
  EXPECT_EQ(GetMenuItemCount(fresh), 7);
}

TEST(SystemMenu, GoesWithItsWindow) {
  HMENU menu = nullptr;
  {
    SystemMenuScene owner;
    menu = GetSystemMenu(owner.window, FALSE);
    DestroyWindow(owner.window);
  }
  SystemMenuScene other;
  GetSystemMenu(other.window, FALSE);
  EXPECT_FALSE(IsMenu(menu));
}
