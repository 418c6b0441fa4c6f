// WM_HELP as a window sends it: the record arrives as sent, and the default
// handling of a child hands it on to the parent.
#include <gtest/gtest.h>

#include "platform/user/windows/Recorder.h"

using namespace usertest;

TEST(HelpMessage, GoesUpFromAChildToItsParentAsSent) {
  RegisterRecordingClass("HelpWindow");
  HWND parent = MakeWindow("HelpWindow", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  HWND child = MakeWindow("HelpWindow", WS_CHILD | WS_VISIBLE, {10, 10, 50, 50}, parent, 1002);
  HELPINFO seen{};
  Recorder::Get().On(WM_HELP, [&](HWND window, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (window == parent) seen = *reinterpret_cast<const HELPINFO*>(lParam);
    return DefWindowProcA(window, WM_HELP, wParam, lParam);
  });
  HELPINFO info{};
  info.cbSize = sizeof info;
  info.iContextType = HELPINFO_WINDOW;
  info.iCtrlId = GetDlgCtrlID(child);
  info.hItemHandle = child;
  info.MousePos = POINT{12, 34};
  SendMessageA(child, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(seen.cbSize, sizeof(HELPINFO));
  EXPECT_EQ(seen.iContextType, HELPINFO_WINDOW);
  EXPECT_EQ(seen.iCtrlId, 1002);
  EXPECT_EQ(seen.hItemHandle, child);
  EXPECT_EQ(seen.MousePos.y, 34);
  auto helps = Recorder::Get().Of(WM_HELP);
  ASSERT_EQ(helps.size(), 2u);
  EXPECT_EQ(helps[0].window, child);
  EXPECT_EQ(helps[1].window, parent);
  EXPECT_EQ(DefWindowProcA(parent, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), 0) << "a top-level window ends it";
}
