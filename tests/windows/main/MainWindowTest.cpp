// The main window on the built-in skin: its controls and shape per mode,
// its places across mode changes, hit tests through the shape, the tick
// that never piles up, a failing info field draw logged once, and the
// current entry's information followed and let go.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "display/controls/DDButtons.h"
#include "display/controls/DDImageControls.h"
#include "display/controls/DDSurfaceText.h"
#include "display/controls/DDTextControls.h"
#include "skins/masks/Mask.h"
#include "display/skinrender/DDSkin.h"
#include "MainWindowFixture.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "skins/mainwindow/MainWindowSkin.h"

namespace maintest {
namespace {

int Count(const std::string& text, const std::string& part) {
  int found = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
  return found;
}

// The stored value names that end in "_WindowRect", as sqlite3 lists them.
std::string StoredPlaces() {
  const char* database = std::getenv("TWL_REGISTRY");
  EXPECT_NE(database, nullptr);
  std::string output;
  twltest::RunCommand(std::string("sqlite3 '") + database +
                          "' \"select name from registry where name like '%_WindowRect' order by name;\"",
                      &output);
  return output;
}

TEST_F(MainWindowTest, EachModeTakesItsSkinsSizeShapeAndControls) {
  const struct {
    int mode;
    std::vector<int> buttons;
    bool infoField;
    bool timeField;
  } modes[] = {
      {0,
       {CMainWindow::kPlay, CMainWindow::kStop, CMainWindow::kPause, CMainWindow::kNext, CMainWindow::kPrevious,
        CMainWindow::kLoop, CMainWindow::kShuffle, CMainWindow::kPlayList, CMainWindow::kOptions,
        CMainWindow::kMinimize, CMainWindow::kSmall, CMainWindow::kExit, CMainWindow::kMenu, CMainWindow::kMini},
       true, true},
      {1,
       {CMainWindow::kPlay, CMainWindow::kStop, CMainWindow::kNext, CMainWindow::kPrevious, CMainWindow::kMinimize,
        CMainWindow::kSmall, CMainWindow::kExit},
       true, false},
      {2, {CMainWindow::kPlay, CMainWindow::kStop, CMainWindow::kNext, CMainWindow::kMini, CMainWindow::kExit}, false, true},
  };
  Make();
  for (const auto& row : modes) {
    ChangeMode(row.mode);
    SCOPED_TRACE("mode " + std::to_string(row.mode));
    EXPECT_EQ(window.GetMode(), row.mode);
    const SIZE size = SkinSize(row.mode);
    EXPECT_EQ(window.GetWidth(), size.cx);
    EXPECT_EQ(window.GetHeight(), size.cy);
    EXPECT_NE(window.GetWindowRegion(), nullptr) << "the skin has a mask";
    for (int index = 0; index < CMainWindow::kButtonCount; ++index) {
      const bool wanted = std::find(row.buttons.begin(), row.buttons.end(), index) != row.buttons.end();
      EXPECT_EQ(window.GetButton(index) != nullptr, wanted) << "button " << index;
      if (CDDControl* button = window.GetButton(index)) {
        EXPECT_EQ(button->GetId(), index);
      }
    }
    EXPECT_EQ(window.GetInfoField() != nullptr, row.infoField);
    EXPECT_EQ(window.HasSingleTimeField(), row.timeField) << "the built-in skin has Time1 alone or nothing";
    EXPECT_EQ(window.GetTimeField(0) != nullptr, row.timeField);
    if (row.mode == 0) {
      EXPECT_EQ(window.GetTimeField(0)->GetText(), "00:00");
    }
    EXPECT_EQ(window.GetTimeField(1), nullptr);
    // Not playing: Play enabled, Stop and Pause disabled.
    auto* play = dynamic_cast<CDDButtonBase*>(window.GetButton(CMainWindow::kPlay));
    auto* stop = dynamic_cast<CDDButtonBase*>(window.GetButton(CMainWindow::kStop));
    ASSERT_TRUE(play && stop);
    EXPECT_FALSE(play->IsDisabled());
    EXPECT_TRUE(stop->IsDisabled());
  }
  EXPECT_EQ(window.GetVolumeTooltip(), CStr()) << "mini mode has no volume bar";
  ChangeMode(0);
  ASSERT_NE(window.GetVolumeBar(), nullptr);
  EXPECT_LE(window.GetVolumeBar()->GetMaximum(), 256);
  EXPECT_STREQ(window.GetVolumeTooltip().c_str(), "Volume: 100 %");
}

TEST_F(MainWindowTest, MiniModeHasItsOwnPlaceAndSmallSharesTheNormalOne) {
  Make();
  window.SetPosition(100, 120);
  ChangeMode(1);
  EXPECT_EQ(window.GetRect().left, 100) << "normal to small keeps the position";
  EXPECT_EQ(window.GetRect().top, 120);
  window.SetPosition(110, 130);
  ChangeMode(2);
  window.SetPosition(400, 300);
  ChangeMode(0);
  EXPECT_EQ(window.GetRect().left, 110) << "out of mini: the normal kind's stored place";
  EXPECT_EQ(window.GetRect().top, 130);
  EXPECT_EQ(window.GetWidth(), SkinSize(0).cx) << "with the new mode's size, not the stored one";
  ChangeMode(2);
  EXPECT_EQ(window.GetRect().left, 400) << "into mini: the mini kind's stored place";
  EXPECT_EQ(window.GetRect().top, 300);
  EXPECT_EQ(StoredPlaces(), "MainWindow_WindowRect\nMiniMainWindow_WindowRect\n");
}

TEST_F(MainWindowTest, AClickInAHoleOfTheSkinMaskMissesTheWindow) {
  Make();
  window.SetPosition(50, 60);
  CMask* mask = ui().GetDDSkin().GetMainWindowSkin(0).GetMask(CMainWindowSkin::kWindowMask);
  ASSERT_NE(mask, nullptr);
  POINT hole{-1, -1}, solid{-1, -1};
  for (int y = 0; y < mask->GetHeight(); ++y)
    for (int x = 0; x < mask->GetWidth(); ++x) {
      const bool in = mask->GetBytes()[y * mask->GetWidth() + x] != 0;
      if (!in && hole.x < 0) hole = POINT{x, y};
      if (in && solid.x < 0) solid = POINT{x, y};
    }
  ASSERT_GE(hole.x, 0) << "the built-in skin's mask has transparent corners";
  ASSERT_GE(solid.x, 0);
  EXPECT_NE(WindowFromPoint(POINT{50 + hole.x, 60 + hole.y}), window.GetWindowHandle());
  EXPECT_EQ(WindowFromPoint(POINT{50 + solid.x, 60 + solid.y}), window.GetWindowHandle());
}

TEST_F(MainWindowTest, AThreadBlockedForASecondFindsOneTickWaiting) {
  TwlTestUseManualClock(TRUE);
  TwlTestSleepAdvancesClock(TRUE);
  Make();
  const DWORD start = timeGetTime();
  // The window's thread handles nothing for a second: twenty intervals.
  while (timeGetTime() - start < 1000) Sleep(0);
  int ticks = 0;
  MSG message;
  while (PeekMessageA(&message, window.GetWindowHandle(), CWindow::kWindowTickMessage, CWindow::kWindowTickMessage,
                      PM_REMOVE))
    ++ticks;
  EXPECT_EQ(ticks, 1);
  window.StopTicks();
  TwlTestSleepAdvancesClock(FALSE);
  TwlTestUseManualClock(FALSE);
}

TEST_F(MainWindowTest, AFailingInfoFieldDrawIsLoggedOnceAndTheWindowGoesOn) {
  Make();
  window.StopTicks();
  CDDSurfaceText* field = window.GetInfoField();
  ASSERT_NE(field, nullptr);
  field->SetText("A title far too long for the info field, so that it is shown a page at a time and scrolls");
  ASSERT_TRUE(field->IsPaged());
  ui().DestroyPrimarySurface();
  for (int tick = 0; tick < 100; ++tick) window.OnTick();
  EXPECT_EQ(Count(log.Text(), "Error during paint of window 'MainWindow' (info pager):"), 1) << log.Text();
  EXPECT_EQ(Count(log.Text(), "No primary surface."), 1);
  EXPECT_EQ(Count(log.Text(), "Error during timer"), 0) << "a draw failure does not end the tick";
}

TEST_F(MainWindowTest, TheCurrentEntrysInformationIsFollowedAndLetGoBeforeTheRecordsGo) {
  Make();
  CPlayerSystem& players = GetPlayerSystem();
  const std::string folder = twltest::MakeTempDir("entries");
  const std::string files[3] = {folder + "/a.wav", folder + "/b.wav", folder + "/name.wav"};
  for (const std::string& file : files) twltest::WriteFile(file, "RIFF");
  const char* urls[3] = {files[0].c_str(), files[1].c_str(), files[2].c_str()};
  ASSERT_EQ(players.AddUrls(nullptr, -1, urls, 3), 0);
  players.SetCurrentEntry(2);
  window.OnCurrentEntryChanged();
  FileInfoRecord* record = window.GetCurrentFileInfo();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->listeners.size(), 1u);
  EXPECT_STREQ(window.GetTitleText().c_str(), "(3) name.wav");
  ASSERT_NE(window.GetInfoField(), nullptr);
  EXPECT_EQ(window.GetInfoField()->GetText(), "(3) name.wav");

  // The identifier finds the duration on another thread: the listener
  // posts, the window's thread rebuilds the title.
  std::thread([&] { GetFileInfoDataBase().UpdateFileInfo(record->key, nullptr, 0, 0, 0, 65000, 10); }).join();
  TwlTestPumpMessages();
  EXPECT_STREQ(window.GetTitleText().c_str(), "(3) name.wav [01:05]");

  // An entry before the current one goes: the number in the title follows.
  CPlayListEntry* first = players.GetPlayList().GetEntry(0);
  players.RemoveEntries(&first, 1);
  window.OnEntriesRemoved();
  EXPECT_STREQ(window.GetTitleText().c_str(), "(2) name.wav [01:05]");

  window.PrepareExit();
  EXPECT_EQ(window.GetCurrentFileInfo(), nullptr);
  EXPECT_TRUE(record->listeners.empty()) << "nothing left attached when the records are freed";
  window.Destroy();
  EXPECT_TRUE(record->listeners.empty());
  players.RemoveAllEntries();
}

}  // namespace
}  // namespace maintest

namespace maintest {
namespace {

TEST_F(MainWindowTest, ThePlayerSystemsNoticesReachTheButtonsThroughTheMessageWindow) {
  Make();
  ui().SetMainWindow(0, &window);
  CPlayerSystem& players = GetPlayerSystem();
  auto* loop = dynamic_cast<CDDToggleButton*>(window.GetButton(CMainWindow::kLoop));
  auto* shuffle = dynamic_cast<CDDToggleButton*>(window.GetButton(CMainWindow::kShuffle));
  ASSERT_TRUE(loop && shuffle);
  players.SetLoop(true);
  players.SetShuffle(true);
  SendMessageA(ui().GetMessageWindowHandle(), PLAYER_NOTICE_LOOP, 0, 0);
  EXPECT_TRUE(loop->IsChecked());
  EXPECT_FALSE(shuffle->IsChecked()) << "each notice updates its own button";
  SendMessageA(ui().GetMessageWindowHandle(), PLAYER_NOTICE_SHUFFLE, 0, 0);
  EXPECT_TRUE(shuffle->IsChecked());
  players.SetLoop(false);
  players.SetShuffle(false);
  ui().SetMainWindow(0, nullptr);
}

TEST_F(MainWindowTest, DroppedFilesAreAppendedAndTheFirstFileBecomesCurrent) {
  Make();
  CPlayerSystem& players = GetPlayerSystem();
  const std::string folder = twltest::MakeTempDir("dropped");
  twltest::WriteFile(folder + "/song.wav", "RIFF");
  const std::string inner = folder + "/inner/";
  std::filesystem::create_directories(inner);
  const std::string song = folder + "/song.wav";
  const char* dropped[2] = {inner.c_str(), song.c_str()};
  window.OnFilesDropped(dropped, 2);
  ASSERT_EQ(players.GetPlayList().GetCount(), 2);
  ASSERT_NE(players.GetCurrentEntry(), nullptr);
  EXPECT_STREQ(players.GetCurrentEntry()->GetURL(), ("file://" + song).c_str());
  players.RemoveAllEntries();
  const char* onlyFolder[1] = {inner.c_str()};
  window.OnFilesDropped(onlyFolder, 1);
  EXPECT_EQ(players.GetCurrentEntry(), nullptr) << "a folder alone leaves the current entry";
  players.RemoveAllEntries();
}

}  // namespace
}  // namespace maintest
