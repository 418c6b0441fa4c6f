// Reports that players send from their own threads: the end of a file, a
// refusal after all, the promise to play, the length, and exclusive access
// to the file.
#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <thread>

#include "PlayerSystemFixture.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/hostapi/HostApi.h"

namespace playertest {
namespace {

const char kWarning[] =
    "WARNING: Plugin 'First' notified the player that it WILL be able to play the file but then said that it "
    "cannot. This might result in degraded performance if the file can only be accessed slowly.\n";

bool Logged(const twltest::RecordingLogFront& log, const std::string& text, DWORD category) {
  for (const auto& entry : log.Entries())
    if (entry.text == text && entry.category == category) return true;
  return false;
}

// The first candidate starts, then (on its own thread) refuses after all;
// with `stick` it first announced that it would play.
struct RefusingAfterStart {
  TestPlayer* first;
  TestPlayer* second;
};

class RefusalTest : public PlayerSystemTest {
 protected:
  RefusingAfterStart Prepare(bool stick) {
    RefusingAfterStart players{AddPlayer("First", Willing(200)), AddPlayer("Second", Willing(150))};
    players.first->onPlay = [this, stick](TestPlayer& self) {
      self.RunThread([this, stick, &self] {
        if (stick) system.NotifyStickToFile(&self);
        SetThreadError(THREAD_ERROR_GENERAL, 0, "format changed midway");
        system.NotifyPlaybackFinished(PLAYBACK_CANNOT_PLAY, &self);
      });
    };
    AddFiles({"a", "b"});
    return players;
  }
};

TEST_F(RefusalTest, AfterStickToFileARefusalWarnsAndTriesTheNextCandidate) {
  RefusingAfterStart players = Prepare(true);
  ASSERT_TRUE(system.Play(true));
  ASSERT_TRUE(PumpUntil([&] { return !players.second->played.empty(); }));
  EXPECT_TRUE(Logged(log, kWarning, 0x10000));
  EXPECT_EQ(players.second->played.front(), UrlOf("a"));
  EXPECT_TRUE(system.IsPlaying());
  EXPECT_EQ(system.GetCurrentPlayer(), players.second);
  EXPECT_TRUE(sessions.Saw("detach")) << "the promise left the shared stream to the player";
}

TEST_F(RefusalTest, ARefusalWithoutPromiseTriesTheNextCandidateQuietly) {
  RefusingAfterStart players = Prepare(false);
  ASSERT_TRUE(system.Play(true));
  ASSERT_TRUE(PumpUntil([&] { return !players.second->played.empty(); }));
  EXPECT_FALSE(Logged(log, kWarning, 0x10000));
}

TEST_F(RefusalTest, RefusedByEveryCandidateListsTheReportedError) {
  RefusingAfterStart players = Prepare(true);
  players.second->playResult = false;
  players.second->refusal = "unsupported";
  ASSERT_TRUE(system.Play(true));
  ASSERT_TRUE(PumpUntil([&] { return players.first->played.size() == 2; })) << "the next file is tried";
  EXPECT_TRUE(Logged(log,
                     "Unable to play 'file:///m/a.mp3'.\nReported errors:\nFirst - format changed midway\n"
                     "Second - unsupported\n\n",
                     0x500));
  EXPECT_EQ(players.first->played.back(), UrlOf("b"));
}

// The user chose another file before the refusal was handled: the old
// file's other candidates are never tried.
TEST_F(RefusalTest, AStaleRefusalIsIgnored) {
  RefusingAfterStart players = Prepare(true);
  players.first->onPlay = [this](TestPlayer& self) {
    if (self.played.size() > 1) return;  // the second file plays on
    self.RunThread([this, &self] {
      system.NotifyStickToFile(&self);
      system.NotifyPlaybackFinished(PLAYBACK_CANNOT_PLAY, &self);
    });
  };
  ASSERT_TRUE(system.Play(true));
  players.first->JoinThread();
  system.SetCurrentEntry(1);
  ASSERT_TRUE(system.Play(true));
  Pump();
  EXPECT_TRUE(players.second->played.empty());
  EXPECT_FALSE(Logged(log, kWarning, 0x10000));
  EXPECT_EQ(system.GetCurrentEntryNumber(), 1);
  EXPECT_TRUE(system.IsPlaying());
  EXPECT_EQ(players.first->played.back(), UrlOf("b"));
}

TEST_F(PlayerSystemTest, ReportsOfOtherPlayersChangeNothing) {
  TestPlayer* current = AddPlayer("Current");
  TestPlayer* other = AddPlayer("Other", Willing(10));
  AddFiles({"a"});
  ASSERT_TRUE(system.Play(true));
  TakeNotices();
  std::thread([&] {
    system.SetPosition(1234, other);
    system.SetLength(99999, other);
    system.NotifyStickToFile(other);
    system.NotifyPlaybackFinished(PLAYBACK_FINISHED, other);
    system.NotifyPlaybackFinished(PLAYBACK_FINISHED, nullptr);
  }).join();
  Pump();
  EXPECT_TRUE(system.IsPlaying());
  EXPECT_EQ(system.GetCurrentPlayer(), current);
  DWORD position = 1;
  DWORD length = 1;
  system.GetPositionAndLength(position, length);
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(length, 0u);
  EXPECT_TRUE(TakeNotices().empty());
  EXPECT_FALSE(sessions.Saw("detach"));
}

TEST_F(PlayerSystemTest, AnUnchangedLengthPostsNothing) {
  TestPlayer* player = AddPlayer("Only");
  AddFiles({"a"});
  ASSERT_TRUE(system.Play(true));
  const HWND window = system.GetMessageWindow();
  auto queuedLengthReports = [&] {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, window, CPlayerSystem::kLengthChangedMessage, CPlayerSystem::kLengthChangedMessage,
                        PM_REMOVE))
      ++count;
    return count;
  };
  system.SetLength(5000, player);
  system.SetLength(5000, player);
  EXPECT_EQ(queuedLengthReports(), 1);
  system.SetLength(5000, player);
  EXPECT_EQ(queuedLengthReports(), 0);
  system.SetLength(7000, player);
  Pump();
  EXPECT_EQ(files.Get(UrlOf("a").c_str())->thirdValue, 7000);
  EXPECT_EQ(files.Get(UrlOf("a").c_str())->thirdValuePriority, 193);
}

// A file whose length stayed unknown records the last position reported;
// a known length wins unless the position ran past it.
TEST_F(PlayerSystemTest, AFinishedFileRecordsItsLength) {
  const struct {
    const char* behaviour;
    DWORD length;
    DWORD position;
    int recorded;
  } cases[] = {
      {"unknown length: the last position", 0, 4321, 4321},
      {"known length", 9000, 8990, 9000},
      {"position beyond the length", 9000, 9500, 9500},
      {"length -1: the last position", 0xFFFFFFFF, 700, 700},
  };
  TestPlayer* player = AddPlayer("Only");
  AddNumberedFiles(static_cast<int>(std::size(cases)));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].behaviour);
    system.SetCurrentPosition(static_cast<INT>(i));
    ASSERT_TRUE(system.Play(true));
    system.SetLength(cases[i].length, player);
    system.SetPosition(cases[i].position, player);
    system.NotifyPlaybackFinished(PLAYBACK_FINISHED, player);
    const std::string url = UrlOf("f" + std::to_string(i));
    ASSERT_TRUE(PumpUntil([&] { return files.Get(url.c_str())->thirdValue == cases[i].recorded; }));
    EXPECT_EQ(files.Get(url.c_str())->thirdValuePriority, 193);
    system.Stop(true);
  }
  EXPECT_TRUE(Logged(log, "FINISHED\n", 0));
}

TEST_F(PlayerSystemTest, AnErrorReportIsLoggedAndPlaybackMovesOn) {
  TestPlayer* player = AddPlayer("Only");
  AddFiles({"a", "b"});
  ASSERT_TRUE(system.Play(true));
  std::thread([&] {
    SetThreadError(THREAD_ERROR_GENERAL, 0, "decoder crashed");
    system.NotifyPlaybackFinished(PLAYBACK_ERROR, player);
  }).join();
  ASSERT_TRUE(PumpUntil([&] { return player->played.size() == 2; }));
  EXPECT_EQ(player->played.back(), UrlOf("b"));
  bool found = false;
  for (const auto& entry : log.Entries())
    found |= entry.category == 0x500 && entry.text.find("Error while playing") != std::string::npos &&
             entry.text.find("decoder crashed") != std::string::npos;
  EXPECT_TRUE(found);
  EXPECT_EQ(system.GetFailedFiles(), 1);
}

TEST_F(PlayerSystemTest, ExclusiveAccessOnlyForTheCurrentPlayerThatAskedForIt) {
  CanPlayAnswer exclusive = Willing();
  exclusive.exclusiveAccess = 1;
  TestPlayer* current = AddPlayer("Current", exclusive);
  TestPlayer* other = AddPlayer("Other", Willing(10));
  other->playResult = false;  // tried first (no exclusive access), it leaves the file to Current
  AddFiles({"a"});
  const std::string url = UrlOf("a");
  const struct {
    const char* behaviour;
    PLUGIN_HANDLE caller;
    bool allowed;
    const char* named;
  } cases[] = {
      {"before playing", current, false, "Current"},
      {"not the current player", other, false, "Other"},
      {"no player has that handle", &exclusive, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    SetThreadError(0, 0, nullptr);
    EXPECT_FALSE(system.GetExclusiveFileAccess(url.c_str(), c.caller));
    EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_MISC));
    EXPECT_EQ(GetThreadErrorState()->code, 5u);
    EXPECT_EQ(std::string(GetThreadErrorState()->text),
              "The plugin '" + std::string(c.named) + "' called 'GetExclusiveFileAccess' but is not allowed to do so.");
    if (c.caller == current) {
      ASSERT_TRUE(system.Play(true));
    }
  }
  EXPECT_TRUE(identifier.pending.empty());

  // The file identifier is reading the file: the call waits for it.
  FileInfoRecord* file = files.Get(url.c_str());
  identifier.busy = file;
  identifier.busyAnswers = 3;
  bool granted = false;
  std::thread([&] { granted = system.GetExclusiveFileAccess(url.c_str(), current); }).join();
  EXPECT_TRUE(granted);
  EXPECT_EQ(identifier.busyAnswers, 0) << "waited until the identifier let go";
  EXPECT_EQ(identifier.pending, std::vector<FileInfoRecord*>{file});
  EXPECT_TRUE(sessions.Saw("release " + url));
}

TEST_F(PlayerSystemTest, ExclusiveAccessWithoutPermissionIsRefused) {
  TestPlayer* current = AddPlayer("Current");  // its answer did not ask for it
  AddFiles({"a"});
  ASSERT_TRUE(system.Play(true));
  EXPECT_FALSE(system.GetExclusiveFileAccess(UrlOf("a").c_str(), current));
  EXPECT_EQ(GetThreadErrorState()->code, 5u);
}

// Slot 154 asks the program's player system.
TEST(PlayerSlots, ExclusiveAccessSlotAsksThePlayerSystem) {
  const HostApiTable& host = *GetHostApiTable();
  int caller = 0;
  EXPECT_FALSE(host.GetExclusiveFileAccess("file:///m/a.mp3", &caller));
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), 5u);
  EXPECT_STREQ(host.HOST_GetErrorText(),
               "The plugin '' called 'GetExclusiveFileAccess' but is not allowed to do so.");
  EXPECT_FALSE(host.GetExclusiveFileAccess(nullptr, &caller));
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), 1u);
}

// Reports keep arriving on the player's thread while the user-interface
// thread plays, pauses, seeks and moves on.
TEST_F(PlayerSystemTest, ReportsFromAPlayerThreadWhileTheUserActs) {
  TestPlayer* player = AddPlayer("Busy");
  std::atomic<bool> running{false};
  player->onPlay = [&](TestPlayer& self) {
    running = true;
    self.RunThread([&] {
      for (DWORD ms = 0; running; ms += 10) {
        system.SetPosition(ms, &self);
        system.SetLength(ms / 500 * 500, &self);
        if (ms == 200) system.NotifyStickToFile(&self);
        (void)system.GetPlayingInfo();
        (void)system.GetEffectiveVolume();
        std::this_thread::yield();
      }
    });
  };
  auto previousStop = [&] { running = false; };
  AddNumberedFiles(3);
  for (int round = 0; round < 20; ++round) {
    ASSERT_TRUE(system.Play(true));
    Pump();
    system.TogglePause();
    system.SeekRelative(-100);
    system.SetVolume(round * 10);
    Pump();
    previousStop();
    system.SelectNextFile();
    Pump();
  }
  running = false;
  system.Stop(true);
  EXPECT_FALSE(system.IsPlaying());
}

}  // namespace
}  // namespace playertest
