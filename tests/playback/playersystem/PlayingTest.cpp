// Choosing players and playing the current entry: the log texts, the
// order in which willing players are tried, the one-pass limit over
// unplayable files, and stop, pause, volume and seek.
#include <gtest/gtest.h>

#include "PlayerSystemFixture.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/playlist/PlayListFileEntry.h"

namespace playertest {
namespace {

using Entry = twltest::RecordingLogFront::Entry;

TEST_F(PlayerSystemTest, NoPlayersLogsThatTheFileTypeHasNone) {
  AddFiles({"a"});
  EXPECT_FALSE(system.Play(true));
  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].text, "playing 'file:///m/a.mp3'");
  EXPECT_EQ(entries[0].category, 0u);
  EXPECT_EQ(entries[1].text, "Can't play 'file:///m/a.mp3'. No player plugins available for this file type.\n");
  EXPECT_EQ(entries[1].category, 0x500u);
  EXPECT_FALSE(sessions.Saw("url file:///m/a.mp3")) << "no session without a candidate";
}

TEST_F(PlayerSystemTest, RefusingPlayersAreListedWithTheirErrors) {
  TestPlayer* first = AddPlayer("First");
  first->playResult = false;
  first->refusal = "bad header";
  TestPlayer* second = AddPlayer("Second");
  second->playResult = false;
  second->refusal = "no codec";
  AddPlayer("Unwilling", CanPlayAnswer{});
  AddFiles({"a"});

  EXPECT_FALSE(system.Play(true));
  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].text,
            "Unable to play 'file:///m/a.mp3'.\nReported errors:\nFirst - bad header\nSecond - no codec\n\n");
  EXPECT_EQ(entries[1].category, 0x500u);
  EXPECT_FALSE(system.IsPlaying());
  EXPECT_EQ(system.GetCurrentPlayerHandle(), nullptr);
  EXPECT_TRUE(sessions.Saw("close")) << "session 0 is closed after the last refusal";
}

TEST_F(PlayerSystemTest, AWillingPlayerStartsAndThePlayStateIsSent) {
  TestPlayer* player = AddPlayer("Only");
  AddFiles({"a"});
  TakeNotices();
  EXPECT_TRUE(system.Play(true));
  EXPECT_TRUE(system.IsPlaying());
  EXPECT_EQ(system.GetCurrentPlayer(), player);
  EXPECT_EQ(system.GetCurrentPlayerHandle(), player);
  EXPECT_EQ(player->played, std::vector<std::string>{UrlOf("a")});
  const auto notices = TakeNotices();
  EXPECT_NE(std::find(notices.begin(), notices.end(), PLAYER_NOTICE_PLAY_STATE), notices.end());
  EXPECT_NE(std::find(notices.begin(), notices.end(), PLAYER_NOTICE_CURRENT_PLAYER), notices.end());
  EXPECT_TRUE(system.Play(true)) << "while playing, Play does nothing";
  EXPECT_EQ(player->played.size(), 1u);
  EXPECT_EQ(sessions.Calls().front(), "url " + UrlOf("a"));
}

TEST_F(PlayerSystemTest, PlayWithoutCurrentEntryDoesNothing) {
  AddPlayer("Only");
  EXPECT_TRUE(system.Play(true));
  EXPECT_TRUE(log.Entries().empty());
}

// Players are tried in the order of their answers; equal answers in the
// order of their keys, compared without case; equal keys in loading order.
TEST_F(PlayerSystemTest, CandidatesAreTriedByAnswerThenByKeyWithoutCase) {
  struct Row {
    const char* name;
    const char* key;
    CanPlayAnswer answer;
  };
  const Row rows[] = {
      {"zeta", "zeta<1>", Willing()},
      {"Bravo", "Bravo<1>", Willing()},
      {"alpha", "alpha<1>", Willing()},
      {"low", "aaa", Willing(20)},  // a worse priority band comes last despite its key
      {"BRAVO twin", "bravo<1>", Willing()},  // same key without case: after Bravo
      {"exclusive", "0", CanPlayAnswer{0, 1, 1, 0, 1, 0, 0, 255}},  // exclusive access comes last of all
  };
  std::vector<TestPlayer*> players;
  for (const Row& row : rows) {
    TestPlayer* player = AddPlayer(row.name, row.answer, row.key);
    player->playResult = false;
    player->refusal = "no";
    players.push_back(player);
  }
  AddFiles({"a"});
  system.Play(true);
  EXPECT_EQ(log.Entries().back().text,
            "Unable to play 'file:///m/a.mp3'.\nReported errors:\n"
            "alpha - no\nBravo - no\nBRAVO twin - no\nzeta - no\nlow - no\nexclusive - no\n\n");
}

// A playlist that no player can play, started at some file: every file is
// tried once at most, and the run ends at the end of the order without
// loop. The failure count stays until the limit resets it.
TEST_F(PlayerSystemTest, UnplayablePlaylistIsTriedAtMostOncePerFile) {
  const struct {
    const char* behaviour;
    INT start;
    bool loop;
    std::vector<std::string> attempts;
    INT failedAfter;
  } cases[] = {
      {"from the first file, no loop", 0, false, {"f0", "f1", "f2", "f3", "f4"}, 0},
      {"from the first file, loop", 0, true, {"f0", "f1", "f2", "f3", "f4"}, 0},
      {"from file 3, loop wraps once around", 3, true, {"f3", "f4", "f0", "f1", "f2"}, 0},
      {"from file 3, no loop stops at the end", 3, false, {"f3", "f4"}, 2},
  };
  AddNumberedFiles(5);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    system.SetLoop(c.loop);
    system.SetCurrentPosition(c.start);
    log.Clear();
    EXPECT_FALSE(system.Play(true));
    std::vector<std::string> expected;
    for (const auto& name : c.attempts) expected.push_back(UrlOf(name));
    EXPECT_EQ(PlayedLog(), expected);
    EXPECT_EQ(system.GetFailedFiles(), c.failedAfter);
    system.Stop(true);
    EXPECT_EQ(system.GetFailedFiles(), 0) << "Stop resets the count";
  }
}

TEST_F(PlayerSystemTest, PlaybackMovesOnToTheFirstPlayableFile) {
  TestPlayer* player = AddPlayer("Picky");
  player->refusedUrls = {UrlOf("f0"), UrlOf("f1")};
  AddNumberedFiles(4);
  EXPECT_TRUE(system.Play(true));
  EXPECT_EQ(player->played, (std::vector<std::string>{UrlOf("f0"), UrlOf("f1"), UrlOf("f2")}));
  EXPECT_EQ(system.GetCurrentEntryNumber(), 2);
  EXPECT_EQ(system.GetFailedFiles(), 2) << "kept until a file finishes";
  system.NotifyPlaybackFinished(PLAYBACK_FINISHED, player);
  ASSERT_TRUE(PumpUntil([&] { return player->played.size() == 4; }));
  EXPECT_EQ(system.GetFailedFiles(), 0);
  EXPECT_EQ(system.GetCurrentEntryNumber(), 3);
}

TEST_F(PlayerSystemTest, StopEndsPlaybackAndAFailedStopIsLogged) {
  TestPlayer* player = AddPlayer("Only");
  AddFiles({"a"});
  ASSERT_TRUE(system.Play(true));
  TakeNotices();

  player->stopResult = false;
  EXPECT_FALSE(system.Stop(true));
  EXPECT_TRUE(system.IsPlaying()) << "a failing Stop leaves playing set";
  EXPECT_EQ(log.Entries().back().text, "ERROR: cannot stop");
  EXPECT_EQ(log.Entries().back().category, 0x100u);

  player->stopResult = true;
  EXPECT_TRUE(system.Stop(true));
  EXPECT_FALSE(system.IsPlaying());
  EXPECT_EQ(player->stops, 2);
  EXPECT_TRUE(sessions.Saw("abort"));
  const auto notices = TakeNotices();
  EXPECT_EQ(std::count(notices.begin(), notices.end(), PLAYER_NOTICE_PLAY_STATE), 2);
  EXPECT_TRUE(system.Stop(true)) << "nothing playing";
}

TEST_F(PlayerSystemTest, PauseAndResumeFollowThePlayer) {
  TestPlayer* player = AddPlayer("Only");
  AddFiles({"a"});
  system.Pause();
  EXPECT_FALSE(system.IsPaused()) << "nothing plays";
  ASSERT_TRUE(system.Play(true));
  TakeNotices();
  system.TogglePause();
  EXPECT_TRUE(system.IsPaused());
  system.TogglePause();
  EXPECT_FALSE(system.IsPaused());
  EXPECT_EQ(player->pauses, 1);
  EXPECT_EQ(player->resumes, 1);
  const auto notices = TakeNotices();
  EXPECT_EQ(std::count(notices.begin(), notices.end(), PLAYER_NOTICE_PAUSE_STATE), 2);
}

TEST_F(PlayerSystemTest, EffectiveVolumeScalesByTheEntryAndReachesThePlayer) {
  TestPlayer* player = AddPlayer("Only");
  AddFiles({"a"});
  static_cast<CPlayListFileEntry*>(system.GetPlayList().GetEntry(0))->SetVolume(50);
  system.SetCurrentEntry(0);
  ASSERT_TRUE(system.Play(true));
  TakeNotices();
  const struct {
    int set;
    int master;
    int effective;
  } cases[] = {{200, 200, 100}, {300, 256, 128}, {-5, 0, 0}, {255, 255, 127}};
  for (const auto& c : cases) {
    system.SetVolume(c.set);
    EXPECT_EQ(system.GetVolume(), c.master) << c.set;
    EXPECT_EQ(system.GetEffectiveVolume(), c.effective) << c.set;
    EXPECT_EQ(player->volumes.back(), c.effective) << c.set;
  }
  system.ChangeVolume(-300);
  EXPECT_EQ(system.GetVolume(), 0);
  EXPECT_EQ(TakeNotices(), std::vector<UINT>(5, PLAYER_NOTICE_VOLUME));
}

}  // namespace
}  // namespace playertest
