// The framework's player views on a host that answers viewer requests: a
// test player supporting both views, the host's answers (late, stale or
// failed), the viewer commands and the drawing calls they lead to.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pluginhost/hostapi/HostApi.h"
#include "plugins/pluginsdk/OstrellMain.h"
#include "plugins/pluginsdk/ViewPlayerObject.h"

namespace {

using pluginsdk::ViewPlayerObject;

struct ViewerHost {
  std::vector<std::string> calls;
  DWORD nextRequest = 1;
  DWORD playerMode = 0;
  BOOL createAnswer = TRUE;
  DWORD createError = HOST_MISC_NONE;  // set when creating fails
  BOOL beginDrawAnswer = TRUE;
};
ViewerHost g_Viewer;

const HostApiTable& RealHost() { return *GetHostApiTable(); }

BOOL FakeCreate(DWORD height, DWORD flags, DWORD* id, PLUGIN_HANDLE) {
  g_Viewer.calls.push_back("create " + std::to_string(height) + " " + std::to_string(flags));
  if (!g_Viewer.createAnswer) {
    RealHost().HOST_SetMiscError(g_Viewer.createError);
    return FALSE;
  }
  *id = g_Viewer.nextRequest++;
  return TRUE;
}
BOOL FakeClose(PLUGIN_HANDLE) {
  g_Viewer.calls.push_back("close");
  return TRUE;
}
BOOL FakeBeginDraw(void** target, PLUGIN_HANDLE) {
  g_Viewer.calls.push_back("begin draw");
  *target = &g_Viewer;
  return g_Viewer.beginDrawAnswer;
}
void FakeEndDraw(const RECT*, PLUGIN_HANDLE) {
  g_Viewer.calls.push_back("end draw");
  RealHost().HOST_SetMiscError(HOST_MISC_BUSY);  // must not replace the drawing's error
}
BOOL FakePaintBackground(void*, int32_t x, int32_t y, const RECT*) {
  g_Viewer.calls.push_back("background " + std::to_string(x) + "," + std::to_string(y));
  return TRUE;
}
DWORD FakePlayerMode() { return g_Viewer.playerMode; }
BOOL FakeEnterFullScreen(DWORD, DWORD, DWORD, DWORD, DWORD* id, PLUGIN_HANDLE) {
  g_Viewer.calls.push_back("enter full screen");
  *id = g_Viewer.nextRequest++;
  return TRUE;
}
BOOL FakeLeaveFullScreen(DWORD* id, PLUGIN_HANDLE, DWORD deferred) {
  g_Viewer.calls.push_back("leave full screen " + std::to_string(deferred));
  *id = 0;  // the tests answer the last show request
  return TRUE;
}
BOOL FakePrimarySurface(IDirectDrawSurface2** surface) {
  g_Viewer.calls.push_back("primary surface");
  *surface = nullptr;
  return TRUE;
}
void FakeReleasePrimary() { g_Viewer.calls.push_back("release primary"); }
void FakeLogError(const char* text, DWORD category) {
  g_Viewer.calls.push_back(std::string("log ") + text + " " + std::to_string(category));
}

template <typename Fn, size_t N>
void PutSlot(HOST_ReservedSlot (&slots)[N], size_t first, size_t slot, Fn fn) {
  slots[slot - first] = reinterpret_cast<HOST_ReservedSlot>(reinterpret_cast<void (*)()>(fn));
}

class ViewTestMain : public pluginsdk::OstrellMain {
 public:
  ViewTestMain() : OstrellMain(0x10046, 0x10046) {}
};

class TwoViewPlayer : public ViewPlayerObject {
 public:
  explicit TwoViewPlayer(bool& constructed) : ViewPlayerObject(constructed, "views", "", "two views") {}
  bool SupportsWindowView() override { return window; }
  bool SupportsFullScreenView() override { return fullScreen; }
  bool DrawWindowContent(pluginsdk::HOST_DRAWTARGET, const RECT*) override {
    g_Viewer.calls.push_back("window content");
    if (failContent) Host().HOST_SetErrorText("content failed");
    return !failContent;
  }
  bool DrawFullScreenContent(IDirectDrawSurface2*, const RECT*) override {
    g_Viewer.calls.push_back("full-screen content");
    return true;
  }
  bool window = true;
  bool fullScreen = true;
  bool failContent = false;
};

PLUGIN_HANDLE const kViewCaller = reinterpret_cast<PLUGIN_HANDLE>(0x3130);

class PlayerViews : public testing::Test {
 protected:
  void SetUp() override {
    g_Viewer = {};
    table_ = RealHost();
    PutSlot(table_.reserved111_134, 111, 111, &FakeCreate);
    PutSlot(table_.reserved111_134, 111, 113, &FakeClose);
    PutSlot(table_.reserved111_134, 111, 115, &FakeBeginDraw);
    PutSlot(table_.reserved111_134, 111, 116, &FakeEndDraw);
    PutSlot(table_.reserved111_134, 111, 119, &FakePaintBackground);
    PutSlot(table_.reserved111_134, 111, 120, &FakePlayerMode);
    PutSlot(table_.reserved111_134, 111, 122, &FakeEnterFullScreen);
    PutSlot(table_.reserved111_134, 111, 123, &FakeLeaveFullScreen);
    table_.HOST_GetPrimarySurface = &FakePrimarySurface;
    table_.HOST_ReleasePrimarySurface = &FakeReleasePrimary;
    table_.HOST_LogError = &FakeLogError;
    ASSERT_TRUE(main_.Init(&table_, nullptr));
    bool constructed = false;
    player_ = std::make_unique<TwoViewPlayer>(constructed);
    ASSERT_TRUE(constructed);
    ASSERT_TRUE(player_->Init(kViewCaller));
  }
  void TearDown() override {
    player_->Exit();
    player_.reset();
    main_.Exit();
  }
  std::vector<std::string> TakeCalls() { return std::exchange(g_Viewer.calls, {}); }
  // Shows the window view and answers its request.
  void ShowWindow() {
    EXPECT_EQ(player_->Command(200, 0, 0), true);
    player_->Command(1, 1, g_Viewer.nextRequest - 1);
    ASSERT_EQ(player_->GetWindowView().GetState(), pluginsdk::VIEW_SHOWN);
    TakeCalls();
  }

  HostApiTable table_{};
  ViewTestMain main_;
  std::unique_ptr<TwoViewPlayer> player_;
};

TEST_F(PlayerViews, OnlyTheAnswerToTheLastRequestWhileRequestedShowsTheView) {
  player_->Command(200, 0, 0);
  EXPECT_EQ(player_->GetViewMode(), pluginsdk::VIEWMODE_WINDOW);
  const DWORD request = g_Viewer.nextRequest - 1;
  player_->Command(1, 1, request + 5);  // an older or other request
  EXPECT_EQ(player_->GetWindowView().GetState(), pluginsdk::VIEW_REQUESTED);
  player_->Command(1, 1, request);
  EXPECT_EQ(player_->GetWindowView().GetState(), pluginsdk::VIEW_SHOWN);
  const std::vector<std::string> calls = TakeCalls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "window content"), calls.end()) << "a first full paint";
  player_->Command(1, 0, request);  // outside state 1
  EXPECT_EQ(player_->GetWindowView().GetState(), pluginsdk::VIEW_SHOWN);
  EXPECT_EQ(player_->GetViewMode(), pluginsdk::VIEWMODE_WINDOW);
}

TEST_F(PlayerViews, TheHostTakingTheViewAwayClosesBothAndDeselects) {
  ShowWindow();
  player_->Command(0, 0, 0);
  EXPECT_EQ(player_->GetWindowView().GetState(), pluginsdk::VIEW_CLOSED);
  EXPECT_EQ(player_->GetFullScreenView().GetState(), pluginsdk::VIEW_CLOSED);
  EXPECT_EQ(player_->GetViewMode(), pluginsdk::VIEWMODE_NONE);
}

TEST_F(PlayerViews, DrawCommandsDrawOnlyTheSelectedShownView) {
  g_Viewer.playerMode = 1;
  player_->Command(200, 0, 0);
  player_->Command(3, 1, g_Viewer.nextRequest - 1);
  ASSERT_EQ(player_->GetViewMode(), pluginsdk::VIEWMODE_FULLSCREEN);
  TakeCalls();
  EXPECT_TRUE(player_->Command(100, 0, 0));
  EXPECT_EQ(TakeCalls(), std::vector<std::string>{}) << "the window view is not the one shown";
  EXPECT_TRUE(player_->Command(50, 0, 0));
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"primary surface", "full-screen content", "release primary"}));
}

TEST_F(PlayerViews, FullScreenModeWithoutFullScreenSupportUsesTheWindow) {
  g_Viewer.playerMode = 1;
  player_->fullScreen = false;
  player_->Command(200, 0, 0);
  EXPECT_EQ(player_->GetViewMode(), pluginsdk::VIEWMODE_WINDOW);
  EXPECT_EQ(TakeCalls().front(), "create 0 0");
}

TEST_F(PlayerViews, BeingAskedTwiceToBeVisibleShowsOnce) {
  player_->Command(0, 1, 0);
  player_->Command(0, 1, 0);
  int creates = 0;
  for (const std::string& call : TakeCalls()) creates += call.rfind("create", 0) == 0;
  EXPECT_EQ(creates, 1);
}

TEST_F(PlayerViews, AViewThatCannotBeShownIsLoggedUnlessAccessWasDenied) {
  struct Case {
    DWORD error;
    bool logged;
  };
  for (const Case c : {Case{HOST_MISC_BUSY, true}, Case{HOST_MISC_ACCESS_DENIED, false}}) {
    g_Viewer.createAnswer = FALSE;
    g_Viewer.createError = c.error;
    player_->Command(200, 0, 0);
    EXPECT_EQ(player_->GetViewMode(), pluginsdk::VIEWMODE_NONE);
    bool logged = false;
    for (const std::string& call : TakeCalls()) logged |= call == "log Error showing view. 256";
    EXPECT_EQ(logged, c.logged) << c.error;
  }
}

TEST_F(PlayerViews, ADrawingFailureKeepsItsErrorAcrossTheEndOfDrawing) {
  ShowWindow();
  player_->failContent = true;
  const RECT update{4, 6, 20, 30};
  EXPECT_FALSE(player_->Command(100, reinterpret_cast<uintptr_t>(&update), 0));
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"begin draw", "background 4,6", "window content", "end draw"}));
  EXPECT_STREQ(RealHost().HOST_GetErrorText(), "content failed");
}

}  // namespace
