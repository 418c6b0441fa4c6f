// Moving through the play order with loop and shuffle.
#include <gtest/gtest.h>

#include "PlayerSystemFixture.h"

namespace playertest {
namespace {

TEST_F(PlayerSystemTest, NextAndPreviousAtTheEnds) {
  const struct {
    const char* behaviour;
    int files;
    bool loop;
    INT from;
    bool next;
    bool moved;
    INT to;
  } cases[] = {
      {"empty playlist", 0, true, -1, true, false, -1},
      {"one file with loop: the same file again", 1, true, 0, true, true, 0},
      {"one file without loop", 1, false, 0, true, false, 0},
      {"one file backwards with loop", 1, true, 0, false, true, 0},
      {"middle forwards", 3, false, 1, true, true, 2},
      {"past the end without loop", 3, false, 2, true, false, 2},
      {"past the end with loop", 3, true, 2, true, true, 0},
      {"before the start without loop", 3, false, 0, false, false, 0},
      {"before the start with loop", 3, true, 0, false, true, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    CPlayerSystem fresh(files, folders);
    fresh.SetSessions(&sessions);
    std::vector<std::string> paths;
    for (int i = 0; i < c.files; ++i) paths.push_back("/m/f" + std::to_string(i) + ".mp3");
    std::vector<const char*> texts;
    for (const auto& path : paths) texts.push_back(path.c_str());
    fresh.AddUrls(nullptr, -1, texts.data(), static_cast<INT>(texts.size()));
    fresh.SetLoop(c.loop);
    fresh.SetCurrentPosition(c.from);
    const DWORD counter = fresh.GetPlayCounter();
    EXPECT_EQ(c.next ? fresh.SelectNextFile() : fresh.SelectPreviousFile(), c.moved);
    EXPECT_EQ(fresh.GetPlayPosition(), c.to);
    EXPECT_EQ(fresh.GetCurrentEntryNumber(), c.to);
    if (c.moved) {
      EXPECT_NE(fresh.GetPlayCounter(), counter) << "a new current entry makes older reports stale";
    }
  }
}

TEST_F(PlayerSystemTest, ShuffleSwitchedOnWhilePlayingKeepsThePlayingEntryFirst) {
  AddPlayer("Only");
  AddNumberedFiles(20);
  system.SetCurrentEntry(7);
  ASSERT_TRUE(system.Play(true));
  TakeNotices();
  system.SetShuffle(true);
  EXPECT_EQ(system.GetPlayOrder().GetFile(0), 7);
  EXPECT_EQ(system.GetPlayPosition(), 0);
  EXPECT_EQ(system.GetCurrentEntryNumber(), 7);
  EXPECT_TRUE(system.IsPlaying());
  EXPECT_EQ(TakeNotices(), std::vector<UINT>{PLAYER_NOTICE_SHUFFLE});

  system.SetShuffle(false);
  EXPECT_EQ(system.GetPlayPosition(), 7) << "the identity again";
  EXPECT_EQ(system.GetPlayOrder().GetFile(13), 13);
}

TEST_F(PlayerSystemTest, ShuffleSwitchedOnWhileStoppedSelectsTheFirstOfTheNewOrder) {
  AddNumberedFiles(20);
  system.SetShuffle(true);
  EXPECT_EQ(system.GetPlayPosition(), 0);
  EXPECT_EQ(system.GetCurrentEntryNumber(), system.GetPlayOrder().GetFile(0));
}

TEST_F(PlayerSystemTest, LoopingPastTheEndReshufflesTheOrder) {
  AddNumberedFiles(30);
  system.SetShuffle(true);
  system.SetLoop(true);
  system.SelectLastFile();
  const std::vector<DWORD> before = system.GetPlayOrder().GetFiles();
  ASSERT_TRUE(system.SelectNextFile());
  EXPECT_EQ(system.GetPlayPosition(), 0);
  EXPECT_NE(system.GetPlayOrder().GetFiles(), before);
}

TEST_F(PlayerSystemTest, ChangingTheEntryWhilePlayingPlaysTheNewOneAndKeepsThePause) {
  TestPlayer* player = AddPlayer("Only");
  AddNumberedFiles(3);
  ASSERT_TRUE(system.Play(true));
  system.Pause();
  system.SetCurrentEntry(2);
  EXPECT_TRUE(system.IsPlaying());
  EXPECT_TRUE(system.IsPaused());
  EXPECT_EQ(player->played.back(), UrlOf("f2"));
  EXPECT_EQ(player->stops, 1);
  EXPECT_EQ(system.GetPlayingInfo().url, CStr(UrlOf("f2").c_str()));
  system.SetCurrentEntry(-1);
  EXPECT_FALSE(system.IsPlaying());
  EXPECT_TRUE(system.GetPlayingInfo().url.IsEmpty());
}

}  // namespace
}  // namespace playertest
