// Classes, creation and destruction, window data, placement and z-order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "Recorder.h"

using namespace usertest;

TEST(Classes, RegisterOnceAndFindByNameWithoutCase) {
  ASSERT_TRUE(RegisterRecordingClass("Velbrook Test Class", CS_DBLCLKS | CS_NOCLOSE, 24));
  EXPECT_FALSE(RegisterRecordingClass("VELBROOK TEST CLASS"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  HWND window = MakeWindow("velbrook test class", WS_POPUP, {0, 0, 1, 1});
  ASSERT_TRUE(window);
  char name[64];
  EXPECT_EQ(GetClassNameA(window, name, sizeof name), 19);
  EXPECT_STREQ(name, "Velbrook Test Class");
  EXPECT_EQ(GetClassNameA(window, name, 5), 4);  // truncated, terminated
  EXPECT_STREQ(name, "Velb");
  EXPECT_EQ(GetClassLongA(window, GCL_CBWNDEXTRA), 24);
  EXPECT_EQ(GetClassLongA(window, GCL_STYLE), CS_DBLCLKS | CS_NOCLOSE);
  EXPECT_FALSE(MakeWindow("No Such Class", WS_POPUP, {0, 0, 1, 1}));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST(Windows, CreationSendsNcCreateCreateSizeAndMoveWithTheCreationData) {
  RegisterRecordingClass("Recorder");
  int parameter = 0;
  void* seenParameter = nullptr;
  int seenWidth = 0;
  Recorder::Get().On(WM_CREATE, [&](HWND, WPARAM, LPARAM l) {
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(l);
    seenParameter = create->lpCreateParams;
    seenWidth = create->cx;
    return LRESULT{0};
  });
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "Recorder", "Log", WS_POPUP, 10, 20, 300, 200, nullptr, nullptr,
                                nullptr, &parameter);
  ASSERT_TRUE(window);
  auto sequence = Recorder::Get().Sequence({WM_NCCREATE, WM_CREATE, WM_MOVE, WM_SIZE});
  ASSERT_EQ(sequence.size(), 4u);
  EXPECT_EQ(sequence[0].second, static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(sequence[1].second, static_cast<UINT>(WM_CREATE));
  EXPECT_EQ(seenParameter, &parameter);
  EXPECT_EQ(seenWidth, 300);
  auto size = Recorder::Get().Of(WM_SIZE)[0];
  EXPECT_EQ(LOWORD(size.lParam), 300);
  EXPECT_EQ(HIWORD(size.lParam), 200);
  char title[16];
  EXPECT_EQ(GetWindowTextA(window, title, sizeof title), 3);
  EXPECT_STREQ(title, "Log");
}

TEST(Windows, CreateReturningMinusOneFailsTheCreation) {
  RegisterRecordingClass("Recorder");
  Recorder::Get().On(WM_CREATE, [](HWND, WPARAM, LPARAM) { return LRESULT{-1}; });
  EXPECT_EQ(MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1}), nullptr);
  EXPECT_EQ(Recorder::Get().Of(WM_NCDESTROY).size(), 1u);
}

TEST(Windows, DestroyReachesChildrenParentFirstAndOnlyOnce) {
  RegisterRecordingClass("Recorder");
  HWND parent = MakeWindow("Recorder", WS_POPUP, {0, 0, 100, 100});
  HWND child = MakeWindow("Recorder", WS_CHILD, {0, 0, 10, 10}, parent, 1);
  HWND grandchild = MakeWindow("Recorder", WS_CHILD, {0, 0, 5, 5}, child, 2);
  // The parent's handler destroys its child itself, as window objects do.
  Recorder::Get().On(WM_DESTROY, [parent, child](HWND w, WPARAM, LPARAM) {
    if (w == parent) DestroyWindow(child);
    return LRESULT{0};
  });
  Recorder::Get().Clear();
  ASSERT_TRUE(DestroyWindow(parent));
  auto destroys = Recorder::Get().Sequence({WM_DESTROY});
  ASSERT_EQ(destroys.size(), 3u);
  EXPECT_EQ(destroys[0].first, parent);
  EXPECT_EQ(destroys[1].first, child);
  EXPECT_EQ(destroys[2].first, grandchild);
  auto finals = Recorder::Get().Sequence({WM_NCDESTROY});
  ASSERT_EQ(finals.size(), 3u);
  EXPECT_EQ(finals[2].first, parent);  // the parent goes last
  for (HWND w : {parent, child, grandchild}) EXPECT_FALSE(IsWindow(w));
}

TEST(Windows, OnlyTheOwningThreadDestroysAWindow) {
  RegisterRecordingClass("Recorder");
  HWND window = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1});
  BOOL destroyedElsewhere = TRUE;
  std::thread([&] { destroyedElsewhere = DestroyWindow(window); }).join();
  EXPECT_FALSE(destroyedElsewhere);
  EXPECT_TRUE(IsWindow(window));
}

TEST(WindowData, UserDataHoldsAPointerAndExtraBytesAreBoundsChecked) {
  RegisterRecordingClass("Extra", 0, 24);
  HWND window = MakeWindow("Extra", WS_POPUP, {0, 0, 1, 1});
  static int object;
  SetWindowLongA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&object));
  EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongA(window, GWL_USERDATA)), &object);
  for (int offset = 0; offset <= 20; offset += 4) SetWindowLongA(window, offset, 1000 + offset);
  EXPECT_EQ(GetWindowLongA(window, 20), 1020);
  EXPECT_EQ(SetWindowLongA(window, 0, -1), 1000);
  EXPECT_EQ(GetWindowLongA(window, 0), -1);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongA(window, 21), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE), static_cast<LONG_PTR>(static_cast<LONG>(WS_POPUP)));
}

namespace {
WNDPROC previousProc = nullptr;
LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 1) return 77;
  return CallWindowProcA(previousProc, window, message, wParam, lParam);
}
}  // namespace

TEST(WindowData, SubclassingReplacesTheProcedureAndForwardsTheRest) {
  RegisterRecordingClass("Recorder");
  HWND window = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1});
  previousProc = reinterpret_cast<WNDPROC>(SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
  EXPECT_EQ(previousProc, &Recorder::Proc);
  Recorder::Get().Clear();
  EXPECT_EQ(SendMessageA(window, WM_USER + 1, 0, 0), 77);
  SendMessageA(window, WM_USER + 2, 0, 0);
  EXPECT_TRUE(Recorder::Get().Of(WM_USER + 1).empty());
  EXPECT_EQ(Recorder::Get().Of(WM_USER + 2).size(), 1u);
}

TEST(Geometry, ClientAreaLeavesOutTheFrameAndCoordinatesConvert) {
  RegisterRecordingClass("Recorder");
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "Recorder", "", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 100, 50, 350,
                                220, nullptr, nullptr, nullptr, nullptr);
  RECT client;
  GetClientRect(window, &client);
  const int border = GetSystemMetrics(SM_CXFRAME);
  EXPECT_EQ(client.right, 350 - 2 * border);
  EXPECT_EQ(client.bottom, 220 - 2 * border - GetSystemMetrics(SM_CYSMCAPTION));
  HWND child = MakeWindow("Recorder", WS_CHILD, {5, 6, 25, 26}, window, 3);
  POINT p{1, 2};
  ClientToScreen(child, &p);
  EXPECT_EQ(p.x, 100 + border + 5 + 1);
  EXPECT_EQ(p.y, 50 + border + GetSystemMetrics(SM_CYSMCAPTION) + 6 + 2);
  ScreenToClient(child, &p);
  EXPECT_EQ(p.x, 1);
  RECT r;
  GetWindowRect(child, &r);
  EXPECT_EQ(r.right - r.left, 20);
  RECT adjusted{0, 0, client.right, client.bottom};
  AdjustWindowRectEx(&adjusted, WS_POPUP | WS_CAPTION | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
  EXPECT_EQ(adjusted.right - adjusted.left, 350);
  EXPECT_EQ(adjusted.bottom - adjusted.top, 220);
}

TEST(Placement, SetWindowPosHonoursItsFlagsAndTheChangingHandler) {
  RegisterRecordingClass("Recorder");
  HWND window = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND other = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  ASSERT_EQ(GetActiveWindow(), other);
  // Like the skin's strips, the window refuses activation while it moves.
  Recorder::Get().On(WM_WINDOWPOSCHANGING, [window](HWND w, WPARAM, LPARAM l) {
    if (w == window) reinterpret_cast<WINDOWPOS*>(l)->flags |= SWP_NOACTIVATE;
    return LRESULT{0};
  });
  Recorder::Get().Clear();
  SetWindowPos(window, HWND_TOP, 30, 40, 500, 500, SWP_NOSIZE);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.right, 130);
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(GetTopWindow(nullptr), window);
  auto moves = Recorder::Get().Of(WM_MOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 30);
  EXPECT_TRUE(Recorder::Get().Of(WM_SIZE).empty());
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST(Placement, TopmostWindowsStayAboveAndInsertAfterPlacesBehind) {
  RegisterRecordingClass("Recorder");
  HWND a = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1});
  HWND b = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1});
  HWND c = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1}, nullptr, 0, WS_EX_TOPMOST);
  HWND d = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1});
  auto order = [] {
    std::vector<HWND> out;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) out.push_back(w);
    return out;
  };
  EXPECT_EQ(order(), (std::vector<HWND>{c, d, b, a}));
  SetWindowPos(d, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // behind a
  EXPECT_EQ(order(), (std::vector<HWND>{c, b, a, d}));
  SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(c, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order(), (std::vector<HWND>{a, c, b, d}));
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), a);
}

TEST(Placement, OwnedWindowsRiseWithTheirOwner) {
  RegisterRecordingClass("Recorder");
  HWND owner = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1});
  HWND owned = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1}, owner);
  HWND other = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1});
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owned), owner);  // a pop-up's parent is its owner
  BringWindowToTop(owner);
  EXPECT_EQ(GetTopWindow(nullptr), owned);
  EXPECT_EQ(GetWindow(owned, GW_HWNDNEXT), owner);
  EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other);
  // Destroying the owner takes the owned window with it.
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
}

std::vector<HWND> TopLevelOrder() {
  std::vector<HWND> out;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) out.push_back(w);
  return out;
}

bool IsTopmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Whatever brings an owner up, or moves it, or changes its band, the windows
// it owns stay directly above it: a question box owned by the player's main
// window is never hidden behind it.
TEST(Placement, OwnedWindowsStayAboveTheirOwnerWhateverMovesIt) {
  RegisterRecordingClass("Recorder");
  struct Case {
    const char* why;
    std::function<void(HWND owner, HWND other)> change;
  };
  const Case cases[] = {
      {"the owner is activated", [](HWND owner, HWND) { SetActiveWindow(owner); }},
      {"the owner is brought to the foreground", [](HWND owner, HWND) { SetForegroundWindow(owner); }},
      {"the owner is put behind another window",
       [](HWND owner, HWND other) {
         SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
         SetWindowPos(owner, other, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
       }},
      {"the owner goes to the bottom",
       [](HWND owner, HWND) { SetWindowPos(owner, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }},
      {"the owner becomes topmost",
       [](HWND owner, HWND) { SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    HWND other = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
    HWND owner = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
    HWND owned = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50}, owner);
    HWND ownedByOwned = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50}, owned);
    c.change(owner, other);
    auto order = TopLevelOrder();
    auto at = std::find(order.begin(), order.end(), owner);
    ASSERT_GE(at - order.begin(), 2);
    EXPECT_EQ(*(at - 1), owned);
    EXPECT_EQ(*(at - 2), ownedByOwned);
    EXPECT_EQ(IsTopmost(owned), IsTopmost(owner));
    EXPECT_EQ(IsTopmost(ownedByOwned), IsTopmost(owner));
    for (HWND w : {ownedByOwned, owned, owner, other}) DestroyWindow(w);
  }
}

TEST(Placement, WindowsOwnedByATopmostWindowAreTopmostAndLeaveTheBandWithIt) {
  RegisterRecordingClass("Recorder");
  HWND owner = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50}, nullptr, 0, WS_EX_TOPMOST);
  HWND laterTopmost = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50}, nullptr, 0, WS_EX_TOPMOST);
  HWND box = MakeWindow("Recorder", WS_POPUP, {0, 0, 50, 50}, owner);
  EXPECT_TRUE(IsTopmost(box));
  SetActiveWindow(owner);
  EXPECT_EQ(TopLevelOrder()[0], box);
  EXPECT_EQ(TopLevelOrder()[1], owner);
  SetWindowPos(owner, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_FALSE(IsTopmost(box));
  EXPECT_EQ(TopLevelOrder(), (std::vector<HWND>{laterTopmost, box, owner}));
}

TEST(Placement, AnOwnerAmongTheWindowsItOwnsIsRefused) {
  RegisterRecordingClass("Recorder");
  HWND top = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1});
  HWND owned = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1}, top);
  HWND ownedByOwned = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1}, owned);
  SetWindowLongPtrA(top, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownedByOwned));
  EXPECT_EQ(GetWindow(top, GW_OWNER), nullptr);
  // The z-order walks of ownership still end.
  SetWindowPos(top, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_TRUE(IsTopmost(ownedByOwned));
}

TEST(Placement, MinimiseAndRestoreKeepTheNormalRectangle) {
  RegisterRecordingClass("Recorder");
  HWND window = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {10, 10, 110, 60});
  Recorder::Get().Clear();
  ShowWindow(window, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(window));
  auto sizes = Recorder::Get().Of(WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
  EXPECT_EQ(sizes[0].lParam, 0);
  EXPECT_NE(GetActiveWindow(), window);
  ShowWindow(window, SW_RESTORE);
  EXPECT_FALSE(IsIconic(window));
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.right, 110);
  ShowWindow(window, SW_SHOWMAXIMIZED);
  EXPECT_TRUE(IsZoomed(window));
  GetClientRect(window, &r);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
}

TEST(Placement, HidingTheActiveWindowHandsActivationToTheNext) {
  RegisterRecordingClass("Recorder");
  HWND first = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  HWND second = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  ASSERT_EQ(GetActiveWindow(), second);
  ShowWindow(second, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(GetFocus(), first);
  ShowWindow(second, SW_SHOWNOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_TRUE(IsWindowVisible(second));
}

TEST(Screen, MetricsFollowTheVirtualScreen) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  TwlTestSetScreen(1280, 1024, 16);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  RECT work{0, 0, 1280, 994};
  TwlTestSetWorkArea(&work);
  RECT got{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &got, 0));
  EXPECT_EQ(got.bottom, 994);
  EXPECT_FALSE(SystemParametersInfoA(0xFFFF, 0, &got, 0));
}

TEST(Testing, ListsWindowsTopFirstWithChildrenAfterTheirParent) {
  RegisterRecordingClass("Recorder");
  HWND a = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1});
  HWND b = MakeWindow("Recorder", WS_POPUP, {0, 0, 1, 1});
  HWND child = MakeWindow("Recorder", WS_CHILD, {0, 0, 1, 1}, a, 1);
  HWND listed[8] = {};
  ASSERT_EQ(TwlTestListWindows(listed, 8), 3);
  EXPECT_EQ(listed[0], b);
  EXPECT_EQ(listed[1], a);
  EXPECT_EQ(listed[2], child);
}
