// The player system joined to the host meets the data system: the stream a
// player plug-in opens for the file it plays goes through session slot 0,
// and a stop breaks off a read that hangs there with stream error 19.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "SoundFixture.h"
#include "TestStreams.h"
#include "playback/data/DataSystem.h"
#include "playback/playersystem/PlayerSystem.h"
#include "PlayerTestHost.h"
#include "pluginhost/hostapi/HostApiModule.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/players/PlayerSystemConnection.h"
#include "pluginhost/plugins/PlugInManager.h"
#include "support/RecordingLogFront.h"

namespace {

using playertest::OwnedEnvironment;


// A stream that does not go through the slot cannot be broken off by the
// player system, and its reader would wait for ever: after a patience far
// beyond a passing run, the guard shuts every test stream down itself, so
// that the test fails instead of hanging.
class HangGuard {
 public:
  HangGuard()
      : m_Thread([this] {
          std::unique_lock guard(m_Lock);
          if (m_Changed.wait_for(guard, std::chrono::seconds(20), [this] { return m_Done; })) return;
          m_Fired = true;
          guard.unlock();
          teststreams::ShutDownAll();
        }) {}
  ~HangGuard() {
    {
      std::lock_guard guard(m_Lock);
      m_Done = true;
    }
    m_Changed.notify_all();
    m_Thread.join();
  }
  bool Fired() {
    std::lock_guard guard(m_Lock);
    return m_Fired;
  }

 private:
  std::mutex m_Lock;
  std::condition_variable m_Changed;
  bool m_Done = false;
  bool m_Fired = false;
  std::thread m_Thread;
};

TEST(PlayerSessions, APlayersOpenGoesThroughSlotZeroAndStopEndsAReadThatHangs) {
  twltest::RecordingLogFront log;
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  OwnedEnvironment environment;
  SetHostEnvironment(&environment);
  InitHostApi();
  CPlugInManager plugIns;
  plugIns.ScanFolder(TWL_WAV_PLAYER_DIR, false);
  ASSERT_EQ(plugIns.GetCount(), 1);
  CPlayerSystem system;
  ConnectPlayerSystemToHost(system);
  system.Init(&plugIns);
  ASSERT_EQ(system.GetPlayerCount(), 1);

  const std::string url = teststreams::Stalling("song.wav");
  const char* texts[] = {url.c_str()};
  ASSERT_EQ(system.AddUrls(nullptr, -1, texts, 1), 0);
  ASSERT_TRUE(system.SelectFirstFile());
  HangGuard guard;
  ASSERT_TRUE(system.Play(true)) << log.Text();
  ASSERT_TRUE(system.IsPlaying());
  // The player read the header in Play and hangs in its first read of the
  // samples, on its own thread.
  ASSERT_TRUE(teststreams::WaitUntilReadBlocks(url));

  CDataSystem& data = GetDataSystem();
  EXPECT_TRUE(data.IsSessionOn(kPlayerSession, url.c_str()));
  EXPECT_EQ(data.GetSessionProgress(kPlayerSession), teststreams::StallingContent().size())
      << "the player's stream is slot 0's session";
  EXPECT_EQ(teststreams::OpenCount(url), 1);

  EXPECT_TRUE(system.Stop(true));
  EXPECT_FALSE(system.IsPlaying());
  EXPECT_NE(log.Text().find("Test WAV player: reading the samples failed with stream error 19\n"), std::string::npos)
      << log.Text();
  EXPECT_EQ(data.GetSessionProgress(kPlayerSession), CMultiSessionStreamController::kNoSession);
  EXPECT_EQ(teststreams::CloseCount(url), 1) << "the stopped player's stream is closed";
  EXPECT_FALSE(guard.Fired()) << "the stop did not end the read";

  system.Exit();
  DisconnectPlayerSystemFromHost(system);
  plugIns.UnloadAll();
  ExitHostApi();
  SetHostEnvironment(nullptr);
}

}  // namespace
