// What a presenter hears: every change it must mirror, named by the
// top-level window it shows, and input it gives reaching the windows.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <vector>

#include "twlwin/presenter.h"

namespace {

struct Heard {
  UINT kind;
  HWND window;
  RECT rect;
};

std::mutex heardLock;
std::vector<Heard> heard;

void CALLBACK Listen(const TWLSCREENEVENT* event, void*) {
  std::lock_guard guard(heardLock);
  heard.push_back(Heard{event->kind, event->window, event->rect});
}

std::vector<Heard> TakeHeard() {
  std::lock_guard guard(heardLock);
  return std::move(heard);
}

bool RegisterPlainClass() {
  WNDCLASSA cls{};
  cls.lpfnWndProc = DefWindowProcA;
  cls.lpszClassName = "PresenterTestWindow";
  return RegisterClassA(&cls) != 0;
}

HWND Make(RECT r, HWND parent = nullptr, DWORD style = 0) {
  return CreateWindowExA(0, "PresenterTestWindow", "", (parent ? WS_CHILD : WS_POPUP) | style, r.left, r.top,
                         r.right - r.left, r.bottom - r.top, parent, nullptr, nullptr, nullptr);
}

struct World {
  HWND top = nullptr;
  HWND other = nullptr;
  HWND child = nullptr;
};

struct EventCase {
  const char* name;
  std::function<void(World&)> change;
  UINT kind;
  bool aboutTop;  // else about `other`
  RECT rect;
};

void PrintTo(const EventCase& c, std::ostream* out) { *out << c.name; }

const EventCase kEventCases[] = {
    {"Shown", [](World& w) { ShowWindow(w.top, SW_SHOWNA); }, TWL_SCREEN_SHOWN, true, {10, 20, 110, 70}},
    {"Hidden", [](World& w) { ShowWindow(w.other, SW_HIDE); }, TWL_SCREEN_HIDDEN, false, {}},
    {"Moved", [](World& w) { MoveWindow(w.top, 30, 40, 100, 50, FALSE); }, TWL_SCREEN_MOVED, true, {30, 40, 130, 90}},
    {"Resized", [](World& w) { MoveWindow(w.top, 10, 20, 60, 50, FALSE); }, TWL_SCREEN_RESIZED, true, {10, 20, 70, 70}},
    {"Reshaped", [](World& w) { SetWindowRgn(w.top, CreateRectRgn(0, 0, 5, 5), FALSE); }, TWL_SCREEN_RESHAPED, true,
     {}},
    {"Raised", [](World& w) { SetWindowPos(w.top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); },
     TWL_SCREEN_ZORDER, true, {}},
    {"Destroyed", [](World& w) { DestroyWindow(w.other); }, TWL_SCREEN_DESTROYED, false, {}},
    {"DrawnInto",
     [](World& w) {
       HDC dc = GetDC(w.top);
       SetPixel(dc, 7, 8, RGB(1, 2, 3));
       ReleaseDC(w.top, dc);
     },
     TWL_SCREEN_PIXELS, true, {7, 8, 8, 9}},
    // A child changes only what its top-level window looks like.
    {"AChildMoved", [](World& w) { MoveWindow(w.child, 20, 5, 10, 10, FALSE); }, TWL_SCREEN_PIXELS, true,
     {10, 5, 30, 15}},
    {"AChildDrawnInto",
     [](World& w) {
       HDC dc = GetDC(w.child);
       SetPixel(dc, 1, 1, RGB(1, 2, 3));
       ReleaseDC(w.child, dc);
     },
     TWL_SCREEN_PIXELS, true, {11, 6, 12, 7}},
};

class PresenterEvents : public ::testing::TestWithParam<EventCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterPlainClass());
    world.top = Make({10, 20, 110, 70});
    world.other = Make({0, 0, 10, 10}, nullptr, WS_VISIBLE);
    world.child = Make({10, 5, 20, 15}, world.top, WS_VISIBLE);
    cookie = TwlAddScreenListener(Listen, nullptr);
    ASSERT_NE(cookie, 0u);
  }
  void TearDown() override { TwlRemoveScreenListener(cookie); }

  World world;
  DWORD cookie = 0;
};

TEST_P(PresenterEvents, NameTheTopLevelWindowAndWhatChanged) {
  const EventCase& c = GetParam();
  c.change(world);
  std::vector<Heard> events = TakeHeard();
  HWND about = c.aboutTop ? world.top : world.other;
  bool found = false;
  for (const Heard& e : events) {
    EXPECT_TRUE(e.window == world.top || e.window == world.other) << "only top-level windows are named";
    if (e.kind != c.kind || e.window != about) continue;
    found = true;
    EXPECT_TRUE(EqualRect(&e.rect, &c.rect))
        << e.rect.left << "," << e.rect.top << "," << e.rect.right << "," << e.rect.bottom;
  }
  EXPECT_TRUE(found) << events.size() << " events, none of the kind";
}

INSTANTIATE_TEST_SUITE_P(Cases, PresenterEvents, ::testing::ValuesIn(kEventCases),
                         [](const ::testing::TestParamInfo<EventCase>& info) { return info.param.name; });

TEST(Presenter, ARemovedListenerHearsNothingMoreAndMayRemoveItselfWhileCalled) {
  ASSERT_TRUE(RegisterPlainClass());
  struct Self {
    DWORD cookie = 0;
    int calls = 0;
  } self;
  auto once = [](const TWLSCREENEVENT*, void* context) {
    auto* s = static_cast<Self*>(context);
    ++s->calls;
    EXPECT_TRUE(TwlRemoveScreenListener(s->cookie));
  };
  self.cookie = TwlAddScreenListener(once, &self);
  HWND window = Make({0, 0, 10, 10});
  ShowWindow(window, SW_SHOWNA);
  EXPECT_EQ(self.calls, 1);
  EXPECT_FALSE(TwlRemoveScreenListener(self.cookie));
  EXPECT_EQ(TwlAddScreenListener(nullptr, nullptr), 0u);
}

TEST(Presenter, InputAtAScreenPointReachesTheWindowThere) {
  WNDCLASSA cls{};
  static int clicks = 0;
  cls.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_LBUTTONUP && LOWORD(lp) == 5 && HIWORD(lp) == 6) ++clicks;
    return DefWindowProcA(w, m, wp, lp);
  };
  cls.lpszClassName = "PresenterInputWindow";
  ASSERT_NE(RegisterClassA(&cls), 0);
  HWND window = CreateWindowExA(0, "PresenterInputWindow", "", WS_POPUP | WS_VISIBLE, 100, 100, 50, 50, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  EXPECT_TRUE(TwlInputMouseButton(VK_LBUTTON, TRUE, 105, 106));
  EXPECT_TRUE(TwlInputMouseButton(VK_LBUTTON, FALSE, 105, 106));
  EXPECT_FALSE(TwlInputMouseButton(VK_LBUTTON, TRUE, 5, 5)) << "no window there";
  EXPECT_FALSE(TwlInputMouseButton(7, TRUE, 105, 106)) << "not a button";
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
