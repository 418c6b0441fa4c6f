// List boxes and drop-down lists: their lines and selection, and the
// colours the parent gives through WM_CTLCOLORLISTBOX.
#include "ControlsFixture.h"

#include <algorithm>

namespace {

using ListBoxes = ControlsTest;

TEST_F(ListBoxes, LinesAreAddedInsertedReadAndDeleted) {
  HWND list = Make(WC_LISTBOXA, "", 0, 10, 10, 100, 80, 21);
  EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("beta")), 0);
  EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("alpha")), 0);
  EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, 5, reinterpret_cast<LPARAM>("nowhere")), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
  char text[16] = {};
  EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 1, 0), 4);
  EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 4);
  EXPECT_STREQ(text, "beta");
  EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text)), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 7, 0), LB_ERR);
  SendMessageA(list, LB_SETCURSEL, 1, 0);
  EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 0, 0), 1);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0) << "the selection follows its line";
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(ListBoxes, BothKindsAskTheParentForTheirColours) {
  static HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
  static std::vector<HWND> asked;
  asked.clear();
  HWND list = Make(WC_LISTBOXA, "", 0, 10, 10, 100, 60, 22);
  HWND drop = Make(WC_COMBOLBOXA, "", 0, 10, 80, 100, 60, 23);
  static WNDPROC previous = nullptr;
  previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(host, GWLP_WNDPROC));
  SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_CTLCOLORLISTBOX) {
      asked.push_back(reinterpret_cast<HWND>(lp));
      return reinterpret_cast<LRESULT>(green);
    }
    return CallWindowProcA(previous, w, m, wp, lp);
  }));
  InvalidateRect(list, nullptr, TRUE);
  InvalidateRect(drop, nullptr, TRUE);
  Pump();
  EXPECT_NE(std::find(asked.begin(), asked.end(), list), asked.end());
  EXPECT_NE(std::find(asked.begin(), asked.end(), drop), asked.end());
  EXPECT_EQ(TwlTestGetWindowPixel(host, 100, 60), RGB(0, 160, 0));
  EXPECT_EQ(TwlTestGetWindowPixel(host, 100, 130), RGB(0, 160, 0));
  char name[16] = {};
  GetClassNameA(drop, name, sizeof name);
  EXPECT_STREQ(name, "ComboLBox");
}

}  // namespace
