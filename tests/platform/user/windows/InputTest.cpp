// Where mouse and key input goes, in what form, and the focus, activation
// and capture messages around it.
#include <gtest/gtest.h>

#include "Recorder.h"

using namespace usertest;

namespace {

// A back window, a front window overlapping it with a child inside, all
// frameless so that window and client rectangles agree.
struct Scene {
  Scene() {
    RegisterRecordingClass("Recorder");
    back = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 400, 300});
    front = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {100, 100, 300, 250});
    child = MakeWindow("Recorder", WS_CHILD | WS_VISIBLE, {10, 10, 60, 60}, front, 7);
    Pump();
    Recorder::Get().Clear();
  }
  HWND back, front, child;
};

struct ClickCase {
  const char* name;
  void (*arrange)(Scene& s);
  POINT at;
  HWND Scene::*expected;  // null: the click reaches no window
  POINT client;
};

void PrintTo(const ClickCase& c, std::ostream* out) { *out << c.name; }

const ClickCase kClickCases[] = {
    {"ChildUnderThePoint", [](Scene&) {}, {115, 120}, &Scene::child, {5, 10}},
    {"FrontOutsideItsChild", [](Scene&) {}, {200, 200}, &Scene::front, {100, 100}},
    {"BackWhereFrontDoesNotReach", [](Scene&) {}, {50, 50}, &Scene::back, {50, 50}},
    {"BackThroughAHoleInFrontsShape",
     [](Scene& s) {
       HRGN left = CreateRectRgn(0, 0, 100, 150);  // front keeps its left half only
       SetWindowRgn(s.front, left, FALSE);
     },
     {250, 200}, &Scene::back, {250, 200}},
    {"FrontInsideItsShape",
     [](Scene& s) { SetWindowRgn(s.front, CreateRectRgn(0, 0, 100, 150), FALSE); },
     {150, 200}, &Scene::front, {50, 100}},
    {"BackWhenFrontIsHidden", [](Scene& s) { ShowWindow(s.front, SW_HIDE); }, {200, 200}, &Scene::back, {200, 200}},
    {"FrontWhenItsChildIsDisabled", [](Scene& s) { EnableWindow(s.child, FALSE); }, {115, 120}, &Scene::front,
     {15, 20}},
    {"NothingWhenFrontIsDisabled", [](Scene& s) { EnableWindow(s.front, FALSE); }, {200, 200}, nullptr, {0, 0}},
    {"BackWhenItIsRaised", [](Scene& s) { SetWindowPos(s.back, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); },
     {200, 200}, &Scene::back, {200, 200}},
};

class Click : public testing::TestWithParam<ClickCase> {};

}  // namespace

TEST_P(Click, ReachesTheTopmostVisibleEnabledWindowUnderThePoint) {
  Scene scene;
  const ClickCase& c = GetParam();
  c.arrange(scene);
  Pump();
  Recorder::Get().Clear();
  BOOL taken = TwlTestClick(c.at.x, c.at.y);
  Pump();
  auto downs = Recorder::Get().Of(WM_LBUTTONDOWN);
  if (!c.expected) {
    EXPECT_FALSE(taken);
    EXPECT_TRUE(downs.empty());
    return;
  }
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].window, scene.*c.expected);
  EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), c.client.x);
  EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), c.client.y);
  EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(WindowFromPoint(c.at), scene.*c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Click, testing::ValuesIn(kClickCases),
                         [](const testing::TestParamInfo<ClickCase>& info) { return info.param.name; });

TEST(Input, CaptureTakesTheMouseWhereverItIsAndReportsItsLoss) {
  Scene scene;
  EXPECT_EQ(SetCapture(scene.child), nullptr);
  EXPECT_EQ(GetCapture(), scene.child);
  TwlTestClick(20, 30);  // over the back window
  Pump();
  auto downs = Recorder::Get().Of(WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].window, scene.child);
  EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 20 - 110);  // client coordinates may be negative
  EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 30 - 110);

  SetCapture(scene.back);
  ReleaseCapture();
  auto changes = Recorder::Get().Of(WM_CAPTURECHANGED);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].window, scene.child);
  EXPECT_EQ(changes[0].lParam, reinterpret_cast<LPARAM>(scene.back));
  EXPECT_EQ(changes[1].window, scene.back);
  EXPECT_EQ(changes[1].lParam, 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Input, FocusMovesWithKillFocusBeforeSetFocus) {
  Scene scene;
  HWND second = MakeWindow("Recorder", WS_CHILD | WS_VISIBLE, {70, 10, 120, 60}, scene.front, 8);
  SetFocus(scene.child);
  Recorder::Get().Clear();
  EXPECT_EQ(SetFocus(second), scene.child);
  auto sequence = Recorder::Get().Sequence({WM_KILLFOCUS, WM_SETFOCUS});
  ASSERT_EQ(sequence.size(), 2u);
  EXPECT_EQ(sequence[0], std::make_pair(scene.child, static_cast<UINT>(WM_KILLFOCUS)));
  EXPECT_EQ(sequence[1], std::make_pair(second, static_cast<UINT>(WM_SETFOCUS)));
  EXPECT_EQ(Recorder::Get().Of(WM_KILLFOCUS)[0].wParam, reinterpret_cast<WPARAM>(second));
  EXPECT_EQ(Recorder::Get().Of(WM_SETFOCUS)[0].wParam, reinterpret_cast<WPARAM>(scene.child));
  EXPECT_EQ(GetFocus(), second);
}

TEST(Input, AClickActivatesAnInactiveWindowAndMovesTheFocus) {
  Scene scene;
  ASSERT_EQ(GetActiveWindow(), scene.front);  // shown last
  ASSERT_EQ(GetFocus(), scene.front);
  TwlTestClick(50, 50);
  Pump();
  auto sequence = Recorder::Get().Sequence({WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS, WM_LBUTTONDOWN});
  ASSERT_EQ(sequence.size(), 5u);
  EXPECT_EQ(sequence[0], std::make_pair(scene.front, static_cast<UINT>(WM_ACTIVATE)));
  EXPECT_EQ(sequence[1], std::make_pair(scene.back, static_cast<UINT>(WM_ACTIVATE)));
  EXPECT_EQ(sequence[2], std::make_pair(scene.front, static_cast<UINT>(WM_KILLFOCUS)));
  EXPECT_EQ(sequence[3], std::make_pair(scene.back, static_cast<UINT>(WM_SETFOCUS)));
  EXPECT_EQ(sequence[4], std::make_pair(scene.back, static_cast<UINT>(WM_LBUTTONDOWN)));
  auto activations = Recorder::Get().Of(WM_ACTIVATE);
  EXPECT_EQ(LOWORD(activations[0].wParam), WA_INACTIVE);
  EXPECT_EQ(LOWORD(activations[1].wParam), WA_CLICKACTIVE);
  EXPECT_EQ(GetActiveWindow(), scene.back);
  EXPECT_EQ(GetForegroundWindow(), scene.back);
  EXPECT_EQ(GetTopWindow(nullptr), scene.back);
}

TEST(Input, KeyMessagesCarryWindowsLParamLayout) {
  Scene scene;
  SetFocus(scene.child);
  SHORT stateInHandler = 0;
  Recorder::Get().On(WM_KEYDOWN, [&stateInHandler](HWND, WPARAM, LPARAM) {
    stateInHandler = GetKeyState('A');
    return LRESULT{0};
  });
  TwlTestKeyPress('A');
  Pump();
  auto down = Recorder::Get().Of(WM_KEYDOWN);
  auto up = Recorder::Get().Of(WM_KEYUP);
  ASSERT_EQ(down.size(), 1u);
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(down[0].window, scene.child);
  EXPECT_EQ(static_cast<DWORD>(down[0].lParam), 0x001E0001u);  // one repeat, scan code 0x1E
  EXPECT_EQ(static_cast<DWORD>(up[0].lParam), 0xC01E0001u);    // previous state and transition bits
  EXPECT_LT(stateInHandler, 0);
  EXPECT_GE(GetKeyState('A'), 0);

  TwlTestKey(VK_MENU, TRUE);
  TwlTestKey(VK_F4, TRUE);
  TwlTestKey(VK_F4, FALSE);
  TwlTestKey(VK_MENU, FALSE);
  EXPECT_TRUE(GetAsyncKeyState(VK_MENU) >= 0);
  Pump();
  auto system = Recorder::Get().Of(WM_SYSKEYDOWN);
  ASSERT_EQ(system.size(), 2u);
  EXPECT_EQ(system[1].wParam, static_cast<WPARAM>(VK_F4));
  EXPECT_TRUE(system[1].lParam & (1 << 29));  // Alt held
  // Alt+F4 closes the window through the default handling.
  EXPECT_FALSE(IsWindow(scene.front));
}

TEST(Input, DoubleClicksOnlyForClassesThatAskForThem) {
  TwlTestUseManualClock(TRUE);
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = Recorder::Proc;
  wc.lpszClassName = "Double";
  RegisterClassA(&wc);
  RegisterRecordingClass("Single");
  HWND twice = MakeWindow("Double", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND once = MakeWindow("Single", WS_POPUP | WS_VISIBLE, {200, 0, 300, 100});
  TwlTestClick(10, 10);
  TwlTestClick(11, 10);
  TwlTestClick(210, 10);
  TwlTestClick(210, 10);
  Pump();
  auto doubles = Recorder::Get().Of(WM_LBUTTONDBLCLK);
  ASSERT_EQ(doubles.size(), 1u);
  EXPECT_EQ(doubles[0].window, twice);
  EXPECT_EQ(Recorder::Get().Of(WM_LBUTTONDOWN).size(), 3u);
  (void)once;
}

TEST(Input, ChildButtonPressesNotifyTheParent) {
  Scene scene;
  TwlTestClick(115, 120);
  Pump();
  auto notes = Recorder::Get().Of(WM_PARENTNOTIFY);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].window, scene.front);
  EXPECT_EQ(LOWORD(notes[0].wParam), WM_LBUTTONDOWN);
  EXPECT_EQ(GET_X_LPARAM(notes[0].lParam), 15);
}
