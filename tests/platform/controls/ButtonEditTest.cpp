#include <string>

#include "ControlsFixture.h"

namespace {

using Buttons = ControlsTest;
using Edits = ControlsTest;

int Count(UINT message, UINT code) {
  int n = 0;
  for (const Heard& h : ControlsTest::heard) n += h.message == message && h.code == code;
  return n;
}

TEST_F(Buttons, AnInjectedClickSendsBnClicked) {
  HWND button = Make("BUTTON", "Close Log", BS_PUSHBUTTON | BS_CENTER, 10, 10, 90, 24, 500);
  Pump();
  ClickAt(button, 20, 10);
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(heard[0].code, static_cast<UINT>(BN_CLICKED));
  EXPECT_EQ(heard[0].id, 500);
  // Pressed inside but released outside: no click.
  POINT inside{20, 10};
  POINT outside{200, 10};
  ClientToScreen(button, &inside);
  ClientToScreen(button, &outside);
  TwlTestMouseButton(VK_LBUTTON, TRUE, inside.x, inside.y);
  TwlTestMouseButton(VK_LBUTTON, FALSE, outside.x, outside.y);
  Pump();
  EXPECT_EQ(heard.size(), 1u);
}

TEST_F(Buttons, CheckBoxesAndRadiosFollowTheirStyle) {
  HWND check = Make("BUTTON", "Check", BS_AUTOCHECKBOX, 10, 10, 90, 20, 1);
  HWND first = Make("BUTTON", "One", BS_AUTORADIOBUTTON, 10, 40, 90, 20, 2);
  HWND second = Make("BUTTON", "Two", BS_AUTORADIOBUTTON, 10, 70, 90, 20, 3);
  Pump();
  ClickAt(check, 5, 5);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  ClickAt(check, 5, 5);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ClickAt(first, 5, 5);
  ClickAt(second, 5, 5);
  EXPECT_EQ(SendMessageA(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(second, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Count(WM_COMMAND, BN_CLICKED), 4);
}

TEST_F(Edits, TypedKeysChangeTheTextAndSendEnChange) {
  HWND edit = Make("EDIT", "", ES_AUTOHSCROLL, 10, 10, 150, 22, 10, WS_EX_CLIENTEDGE);
  Pump();
  ClickAt(edit, 5, 5);
  ASSERT_EQ(GetFocus(), edit);
  for (UINT key : {UINT{'A'}, UINT{'B'}, UINT{VK_BACK}, UINT{'C'}}) ASSERT_TRUE(TwlTestKeyPress(key));
  Pump();
  char text[32] = {};
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 2);
  EXPECT_STREQ(text, "ac");
  EXPECT_EQ(Count(WM_COMMAND, EN_CHANGE), 4);
  // Enter does nothing in a single-line edit.
  TwlTestKeyPress(VK_RETURN);
  Pump();
  EXPECT_EQ(GetWindowTextLengthA(edit), 2);
  // WM_SETTEXT replaces the text and tells the parent too.
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new"));
  EXPECT_EQ(GetWindowTextLengthA(edit), 3);
  EXPECT_EQ(Count(WM_COMMAND, EN_CHANGE), 5);
}

TEST_F(Edits, ReadOnlyEditsIgnoreTyping) {
  HWND edit = Make("EDIT", "fixed", ES_MULTILINE | ES_READONLY, 10, 10, 150, 40, 11);
  Pump();
  ClickAt(edit, 5, 5);
  TwlTestKeyPress('X');
  TwlTestKeyPress(VK_DELETE);
  Pump();
  char text[32] = {};
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "fixed");
  EXPECT_EQ(Count(WM_COMMAND, EN_CHANGE), 0);
}

TEST_F(Edits, LineCountFollowsWrappingAndLineBreaks) {
  HWND edit = Make("EDIT", "", ES_MULTILINE | ES_READONLY, 5, 5, 120, 10, 12);
  HFONT font = CreateFontA(14, 0, 0, 0, 400, 0, 0, 0, 0, 3, 2, 1, 0x21, "MS Sans Serif");
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  struct Case {
    const char* text;
    int lines;
  };
  const Case cases[] = {
      {"", 1},
      {"short", 1},
      {"one\r\ntwo", 2},
      // Two lines, the second wrapped at the 116-pixel text width into four.
      {"For your information:\r\nThe player has encountered the following problem:", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    SetWindowTextA(edit, c.text);
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), c.lines);
  }
  DestroyWindow(edit);
  DeleteObject(font);
}

TEST_F(Edits, ParentColoursAreUsed) {
  static HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  HWND edit = Make("EDIT", "", 0, 10, 10, 100, 20, 13);
  // Subclass the host so it answers WM_CTLCOLOREDIT.
  static WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(host, GWLP_WNDPROC));
  previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(host, GWLP_WNDPROC));
  SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_CTLCOLOREDIT) return reinterpret_cast<LRESULT>(yellow);
    return CallWindowProcA(previous, w, m, wp, lp);
  }));
  InvalidateRect(edit, nullptr, TRUE);
  Pump();
  EXPECT_EQ(TwlTestGetWindowPixel(host, 50, 20), RGB(255, 255, 0));
}

}  // namespace
