// The drag rectangle: the bevelled frame its four strips draw, where the
// strips go when the rectangle moves, that making it again replaces the
// strips, and that the strips never take activation or focus.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/dragrect/DragRectWindow.h"
#include "display/window/WindowHost.h"
#include "foundation/kernel/Error.h"
#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

namespace {

constexpr COLORREF kLight = RGB(200, 200, 200);
constexpr COLORREF kDark = RGB(60, 60, 60);
constexpr COLORREF kMidLight = RGB(160, 160, 160);
constexpr COLORREF kMidDark = RGB(100, 100, 100);

char Shade(COLORREF colour) {
  switch (colour) {
    case kLight: return 'L';
    case kDark: return 'D';
    case kMidLight: return 'l';
    case kMidDark: return 'd';
  }
  return '?';
}

// The frame as the strips show it, one text per row from the outer
// rectangle's top-left: a shade letter where a strip lies, '.' where none.
std::vector<std::string> FramePixels(const CDragRectWindow& frame) {
  const RECT& r = frame.GetRect();
  std::vector<std::string> rows;
  for (LONG y = r.top - 2; y < r.bottom + 2; ++y) {
    std::string row;
    for (LONG x = r.left - 2; x < r.right + 2; ++x) {
      char pixel = '.';
      for (int s = 0; s < CDragRectWindow::kStripCount; ++s) {
        const HWND strip = frame.GetStripWindow(static_cast<CDragRectWindow::Strip>(s));
        RECT place;
        GetWindowRect(strip, &place);
        POINT at{x, y};
        if (PtInRect(&place, at)) pixel = Shade(TwlTestGetWindowPixel(strip, x - place.left, y - place.top));
      }
      row.push_back(pixel);
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<HWND> StripWindowsOfTheProcess() {
  std::vector<HWND> windows(256);
  windows.resize(static_cast<size_t>(TwlTestListWindows(windows.data(), static_cast<int>(windows.size()))));
  std::vector<HWND> strips;
  for (HWND window : windows) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "DragRectWindow Class") strips.push_back(window);
  }
  return strips;
}

std::string Describe(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom);
}

TEST(DragRectWindow, TheStripsDrawARaisedFrameEvenAroundNothing) {
  struct Row {
    const char* why;
    RECT rect;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"a 0 x 0 rectangle still gives a 4 x 4 frame", {100, 50, 100, 50}, {"LlLL", "LLlD", "LddD", "DDDD"}},
      {"light then mid-light at the top and left, mid-dark then dark at the bottom and right",
       {10, 20, 16, 24},
       {"LlLLLLLLLL", "LllllllllD", "Ll......dD", "Ll......dD", "Ll......dD", "LL......dD", "LddddddddD",
        "DDDDDDDDDD"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    CDragRectWindow frame;
    frame.Create(row.rect);
    frame.Show();
    TwlTestPumpMessages();
    EXPECT_EQ(FramePixels(frame), row.expected);
  }
}

TEST(DragRectWindow, StripsFollowTheRectangleAndShowOnlyWhenAsked) {
  CDragRectWindow frame;
  frame.Create({10, 20, 16, 24});
  auto strips = [&frame] {
    std::vector<std::string> places;
    for (int s = 0; s < CDragRectWindow::kStripCount; ++s)
      places.push_back(Describe(frame.GetStripWindow(static_cast<CDragRectWindow::Strip>(s))));
    return places;
  };
  EXPECT_EQ(strips(), (std::vector<std::string>{"8 18 10 24", "10 18 18 20", "16 20 18 26", "8 24 16 26"}));
  EXPECT_FALSE(IsWindowVisible(frame.GetStripWindow(CDragRectWindow::kTopStrip))) << "made hidden";

  frame.MoveTo(100, 200);
  EXPECT_EQ(frame.GetRect().right, 106);
  EXPECT_EQ(frame.GetRect().bottom, 204);
  EXPECT_EQ(strips(),
            (std::vector<std::string>{"98 198 100 204", "100 198 108 200", "106 200 108 206", "98 204 106 206"}));
  frame.SetRect({0, 0, 1, 1});
  EXPECT_EQ(strips(), (std::vector<std::string>{"-2 -2 0 1", "0 -2 3 0", "1 0 3 3", "-2 1 1 3"}));
  frame.SetRect({50, 50, 40, 40});
  EXPECT_EQ(strips(), (std::vector<std::string>{"48 48 50 48", "50 48 50 50", "40 50 42 50", "48 40 48 42"}))
      << "an inverted rectangle gives empty strips";

  frame.Show();
  EXPECT_TRUE(frame.IsShown());
  for (HWND strip : StripWindowsOfTheProcess()) EXPECT_TRUE(IsWindowVisible(strip));
  frame.Hide();
  EXPECT_FALSE(frame.IsShown());
  for (HWND strip : StripWindowsOfTheProcess()) EXPECT_FALSE(IsWindowVisible(strip));
}

TEST(DragRectWindow, CreatingAgainLeavesFourStripsAndDestroyNone) {
  CDragRectWindow frame;
  frame.Create({0, 0, 10, 10});
  const HWND first = frame.GetStripWindow(CDragRectWindow::kLeftStrip);
  frame.Create({5, 5, 20, 20});
  EXPECT_EQ(StripWindowsOfTheProcess().size(), 4u);
  EXPECT_FALSE(IsWindow(first));
  frame.Show();
  frame.Destroy();
  EXPECT_FALSE(frame.IsShown());
  EXPECT_EQ(StripWindowsOfTheProcess().size(), 0u);
  EXPECT_EQ(frame.GetStripWindow(CDragRectWindow::kBottomStrip), nullptr);
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(DragRectWindow, ClickingOrRaisingAStripLeavesActivationAndFocusAlone) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &PlainProc;
  windowClass.lpszClassName = "DragRectTestWindow";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  const HWND moved = CreateWindowExA(0, "DragRectTestWindow", "moved", WS_POPUP | WS_VISIBLE, 300, 300, 200, 100,
                                     nullptr, nullptr, nullptr, nullptr);
  const HWND edit = CreateWindowExA(0, "DragRectTestWindow", "field", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, moved,
                                    nullptr, nullptr, nullptr);
  SetActiveWindow(moved);
  SetFocus(edit);
  ASSERT_EQ(GetActiveWindow(), moved);
  ASSERT_EQ(GetFocus(), edit);

  CDragRectWindow frame;
  frame.Create({20, 20, 120, 70});
  frame.Show();
  TwlTestPumpMessages();
  EXPECT_EQ(GetActiveWindow(), moved) << "showing";

  const POINT onStrips[] = {{18, 40}, {60, 18}, {121, 40}, {60, 71}};
  for (const POINT& point : onStrips) {
    const std::vector<HWND> strips = StripWindowsOfTheProcess();
    EXPECT_NE(std::find(strips.begin(), strips.end(), WindowFromPoint(point)), strips.end()) << "a strip is hit";
    TwlTestClick(point.x, point.y);
    TwlTestPumpMessages();
    EXPECT_EQ(GetActiveWindow(), moved) << point.x << "," << point.y;
    EXPECT_EQ(GetFocus(), edit);
  }

  SetWindowPos(frame.GetStripWindow(CDragRectWindow::kTopStrip), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetActiveWindow(), moved) << "raised without SWP_NOACTIVATE";
  EXPECT_EQ(GetFocus(), edit);
  DestroyWindow(moved);
}

// What the user interface's host answers: the program's owner window.
struct OwnerHost : CWindowHost {
  HWND owner = nullptr;
  HWND GetOwnerWindow() override { return owner; }
};

TEST(DragRectWindow, StripsBelongToTheProgramsOwnerWindowAndAFailedStripUndoesAll) {
  OwnerHost environment;
  SetWindowHost(&environment);
  environment.owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(environment.owner, nullptr);
  {
    CDragRectWindow frame;
    frame.Create({0, 0, 10, 10});
    EXPECT_EQ(GetWindow(frame.GetStripWindow(CDragRectWindow::kRightStrip), GW_OWNER), environment.owner);
  }

  DestroyWindow(environment.owner);  // the handle now names no window
  CDragRectWindow frame;
  std::string text;
  try {
    frame.Create({0, 0, 10, 10});
  } catch (CError* error) {
    text = error->GetText().c_str();
    DisposeError(error);
  }
  SetWindowHost(nullptr);
  EXPECT_EQ(text, "Error creating window.");
  EXPECT_EQ(StripWindowsOfTheProcess().size(), 0u);
  EXPECT_EQ(frame.GetStripWindow(CDragRectWindow::kLeftStrip), nullptr);
}

}  // namespace
