// A window that comes out from under another gets the part that was covered
// to paint: pixels written to the screen land only where a window shows, so
// whatever it painted there while covered never reached its buffer.
#include <gtest/gtest.h>

#include <functional>

#include "Recorder.h"

using namespace usertest;

namespace {

// The update rectangle of `window` as its thread sees it when it next looks
// for messages; empty when it has nothing to paint.
RECT PendingPaint(HWND window) {
  MSG msg{};
  PeekMessageA(&msg, window, WM_PAINT, WM_PAINT, PM_NOREMOVE);
  RECT r{};
  GetUpdateRect(window, &r, FALSE);
  return r;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(Uncover, TheCoveredPartIsPaintedAgainHoweverTheWindowAboveGoes) {
  RegisterRecordingClass("Recorder");
  struct Case {
    const char* why;
    std::function<void(HWND below, HWND above)> uncover;
  };
  const Case cases[] = {
      {"the window below is activated", [](HWND below, HWND) { SetActiveWindow(below); }},
      {"the window below is brought to the top",
       [](HWND below, HWND) { SetWindowPos(below, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }},
      {"the window above is hidden", [](HWND, HWND above) { ShowWindow(above, SW_HIDE); }},
      {"the window above moves away",
       [](HWND, HWND above) { SetWindowPos(above, nullptr, 500, 500, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }},
      {"the window above is destroyed", [](HWND, HWND above) { DestroyWindow(above); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    HWND below = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {100, 100, 300, 200});
    HWND aside = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {400, 100, 450, 150});
    HWND above = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {150, 120, 250, 170});
    Pump();  // everything painted once
    ASSERT_TRUE(SameRect(PendingPaint(below), RECT{}));
    c.uncover(below, above);
    EXPECT_TRUE(SameRect(PendingPaint(below), RECT{50, 20, 150, 70}));
    // A window that nothing covered has nothing new to paint.
    EXPECT_TRUE(SameRect(PendingPaint(aside), RECT{}));
    for (HWND w : {below, aside, above})
      if (IsWindow(w)) DestroyWindow(w);
    Pump();
  }
}

TEST(Uncover, AWindowMovedWithNothingOverItHasNothingToPaint) {
  RegisterRecordingClass("Recorder");
  HWND window = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {100, 100, 300, 200});
  HWND child = MakeWindow("Recorder", WS_CHILD | WS_VISIBLE, {10, 10, 60, 40}, window, 1);
  Pump();
  Recorder::Get().Clear();
  SetWindowPos(window, nullptr, 250, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  EXPECT_TRUE(Recorder::Get().Of(WM_PAINT).empty());
  (void)child;
}
