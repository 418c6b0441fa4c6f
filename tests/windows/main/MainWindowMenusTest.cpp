// The main window's menus, right button and tray icon on the built-in
// skin: "What's this?" over buttons, the main menu elsewhere, a menu that
// cannot be made in the log, and the tray icon minimised, hovered,
// pressed and double-clicked on the manual clock.
#include <gtest/gtest.h>

#include <string>

#include "MainWindowFixture.h"
#include "app/hooks/SnapshotTexts.h"
#include "display/controls/DDControl.h"
#include "foundation/errors/ThreadErrorState.h"
#include "twlwin/testing_desktop.h"
#include "twlwin/testing_gdi.h"

namespace maintest {
namespace {

class MainWindowMenusTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Make();
    window.SetPosition(100, 80);
  }
  void TearDown() override {
    ui().SetMainWindow(0, nullptr);
    TwlTestSetMenuScript(nullptr, nullptr);
    MainWindowTest::TearDown();
  }

  // The screen point at the centre of a control.
  POINT CentreOf(CDDControl* control) {
    const RECT& rect = control->GetRect();
    POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(window.GetWindowHandle(), &point);
    return point;
  }
  // A point of the window's shape that no control covers.
  POINT Background() {
    for (int y = 0; y < window.GetHeight(); ++y)
      for (int x = 0; x < window.GetWidth(); ++x) {
        if (!PtInRegion(window.GetWindowRegion(), x, y)) continue;
        bool covered = false;
        for (int i = 0; i < window.GetControls().GetCount() && !covered; ++i)
          covered = window.GetControls().GetAt(i)->HitTest(x, y) != 0;
        if (covered) continue;
        POINT point{x, y};
        ClientToScreen(window.GetWindowHandle(), &point);
        return point;
      }
    ADD_FAILURE() << "no free place in the window";
    return POINT{};
  }
  // The menu a right click at the point leaves on show, in the snapshot's
  // text form; "" when none.
  std::string RightClickMenu(POINT point) {
    EXPECT_TRUE(TwlTestMouseButton(VK_RBUTTON, TRUE, point.x, point.y));
    EXPECT_TRUE(TwlTestMouseButton(VK_RBUTTON, FALSE, point.x, point.y));
    TwlTestPumpMessages();
    return DescribeMenuItems(window.GetPopupMenu());
  }
  std::string Tray() {
    const WORD pictures[] = {135, 136, 137};
    return DescribeTrayIcons(GetModuleHandleA(nullptr), pictures, 3);
  }
};

TEST_F(MainWindowMenusTest, RightClicksOfferWhatsThisOverButtonsAndTheMainMenuElsewhere) {
  ASSERT_NE(window.GetButton(CMainWindow::kMenu), nullptr);
  ASSERT_NE(window.GetTimeField(0), nullptr);
  ASSERT_NE(window.GetInfoField(), nullptr);
  struct Case {
    const char* where;
    POINT point;
    const char* menuStart;
  };
  const Case cases[] = {
      {"Menu button", CentreOf(window.GetButton(CMainWindow::kMenu)), "1141 - What's this?\n"},
      {"Play button", CentreOf(window.GetButton(CMainWindow::kPlay)), "1142 - What's this?\n"},
      {"Exit button", CentreOf(window.GetButton(CMainWindow::kExit)), "1163 - What's this?\n"},
      {"time field", CentreOf(reinterpret_cast<CDDControl*>(window.GetTimeField(0))), "1000 p Playback\n"},
      {"info field", CentreOf(reinterpret_cast<CDDControl*>(window.GetInfoField())), "1000 p Playback\n"},
      {"background", Background(), "1000 p Playback\n"},
  };
  for (const Case& c : cases) {
    const std::string menu = RightClickMenu(c.point);
    EXPECT_EQ(menu.substr(0, std::string(c.menuStart).size()), c.menuStart) << c.where << "\n" << menu;
  }
  // Every track was the window's, and a command ends the menu on show.
  TWL_MENU_TRACK track{};
  ASSERT_TRUE(TwlTestGetMenuTrack(TwlTestMenuTrackCount() - 1, &track, nullptr, 0));
  EXPECT_EQ(track.owner, window.GetWindowHandle());
  EXPECT_EQ(track.flags, static_cast<UINT>(TPM_RIGHTBUTTON));
  window.OnCommand(0, 1103, nullptr);
  EXPECT_EQ(window.GetPopupMenu(), nullptr);
}

TEST_F(MainWindowMenusTest, AMenuThatCannotBeMadeIsLoggedAndOneThatCannotBeShownIsGone) {
  TwlTestFailMenuCreation(0);
  EXPECT_EQ(RightClickMenu(Background()), "");
  bool logged = false;
  for (const auto& entry : log.Entries())
    logged = logged ||
             (entry.category == 768 && entry.text.find("ERROR: unable to display popup menu") != std::string::npos);
  EXPECT_TRUE(logged) << log.Text();

  TwlTestPushMenuFailure();
  EXPECT_FALSE(window.ShowMenu(10, 10, TPM_RIGHTBUTTON, 0));
  EXPECT_EQ(window.GetPopupMenu(), nullptr);
  EXPECT_STREQ(GetThreadErrorState()->text, "ERROR: unable to display popup menu");
  TwlTestPushMenuFailure();
  EXPECT_FALSE(window.ShowInternetMenuAtCursor());
  EXPECT_STREQ(GetThreadErrorState()->text, "Unable to display popup menu.");
}

// What the tray icon showed while its menu was tracked.
struct TrayMenuSeen {
  std::string tray;
  std::string menuEnd;
};

int SeeTrayMenu(HMENU menu, UINT, int, int, void* context) {
  auto* seen = static_cast<TrayMenuSeen*>(context);
  const WORD pictures[] = {135, 136, 137};
  seen->tray = DescribeTrayIcons(GetModuleHandleA(nullptr), pictures, 3);
  const std::string items = DescribeMenuItems(menu);
  const size_t kEnd = std::string("0 s\n1102 - Open the player\n0 s\n1103 - Never mind\n").size();
  seen->menuEnd = items.size() < kEnd ? items : items.substr(items.size() - kEnd);
  return 0;
}

TEST_F(MainWindowMenusTest, TrayIconHoversOpensItsMenuAndBringsThePlayerBackOnTheManualClock) {
  TwlTestUseManualClock(TRUE);
  ui().SetMainWindow(0, &window);
  TwlTestMouseMove(1000, 760);
  ui().MinimizeAll(true);
  EXPECT_FALSE(IsWindowVisible(window.GetWindowHandle()));
  EXPECT_EQ(Tray(), "0 1124 135 Velbrook Tunewell\n");

  ASSERT_TRUE(TwlTestPostNotifyIconMessage(0, WM_MOUSEMOVE));
  TwlTestPumpMessages();
  EXPECT_EQ(Tray(), "0 1124 136 Velbrook Tunewell\n");

  TrayMenuSeen seen;
  TwlTestSetMenuScript(&SeeTrayMenu, &seen);
  const int tracks = TwlTestMenuTrackCount();
  ASSERT_TRUE(TwlTestPostNotifyIconMessage(0, WM_LBUTTONDOWN));
  TwlTestPumpMessages();
  ASSERT_EQ(TwlTestMenuTrackCount(), tracks + 1);
  EXPECT_EQ(seen.tray, "0 1124 137 Velbrook Tunewell\n");
  EXPECT_EQ(seen.menuEnd, "0 s\n1102 - Open the player\n0 s\n1103 - Never mind\n");
  TWL_MENU_TRACK track{};
  ASSERT_TRUE(TwlTestGetMenuTrack(tracks, &track, nullptr, 0));
  EXPECT_EQ(track.flags, static_cast<UINT>(TPM_RIGHTALIGN | TPM_BOTTOMALIGN));
  EXPECT_EQ(track.at.x, 1000);
  EXPECT_EQ(track.at.y, 760);
  ASSERT_TRUE(TwlTestPostNotifyIconMessage(0, WM_LBUTTONUP));
  TwlTestPumpMessages();
  EXPECT_EQ(Tray(), "0 1124 136 Velbrook Tunewell\n");

  // Ten ticks with the cursor gone and the time passed end the hovering.
  TwlTestMouseMove(10, 10);
  TwlTestAdvanceClock(500);
  for (int tick = 0; tick < 9; ++tick) window.OnTick();
  EXPECT_EQ(Tray(), "0 1124 136 Velbrook Tunewell\n") << "the tenth tick looks";
  window.OnTick();
  EXPECT_EQ(Tray(), "0 1124 135 Velbrook Tunewell\n");

  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    ASSERT_TRUE(TwlTestPostNotifyIconMessage(0, message));
  TwlTestPumpMessages();
  EXPECT_EQ(Tray(), "");
  EXPECT_TRUE(IsWindowVisible(window.GetWindowHandle()));
  TwlTestUseManualClock(FALSE);
}

}  // namespace
}  // namespace maintest
