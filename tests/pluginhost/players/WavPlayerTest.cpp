// The first sound end to end: the test WAV player plug-in, found and
// wrapped like any player, plays sox files through the host's streams and
// sound buffers into a WAV sink, byte for byte, and reports to the player
// system; files it cannot read fail Play with their reason.
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "PlayedInOrder.h"
#include "SoundBufferFixture.h"
#include "playback/player/FileExtensionEnum.h"
#include "playback/player/Player.h"
#include "PlayerTestHost.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiModule.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/players/PlayerDiscovery.h"
#include "pluginhost/plugins/PlugInManager.h"

namespace {

using playertest::OwnedEnvironment;


// The player system around one current player: it counts the reports and
// lets the test wait for the end of playback.
class OnePlayerServices : public CPlayerServices {
 public:
  void GetSoundOptions(SoundOptions& options) override { options.Assign(SoundOptions{}); }
  void PauseVisualization(PLUGIN_HANDLE) override {}
  void ResumeVisualization(PLUGIN_HANDLE) override {}
  void StopVisualization(PLUGIN_HANDLE) override {}
  void FeedVisualization(const void*, DWORD, DWORD, DWORD, DWORD, DWORD, PLUGIN_HANDLE) override {}
  void SetPosition(DWORD, PLUGIN_HANDLE) override {
    std::lock_guard guard(m_Lock);
    ++positions;
  }
  bool IsCurrentPlayer(PLUGIN_HANDLE player) override { return player && player == current; }
  void NotifyStickToFile(PLUGIN_HANDLE) override {}
  void NotifyPlaybackFinished(DWORD result, PLUGIN_HANDLE) override {
    std::lock_guard guard(m_Lock);
    results.push_back(result);
    m_Changed.notify_all();
  }
  void SetLength(DWORD milliseconds, PLUGIN_HANDLE) override {
    std::lock_guard guard(m_Lock);
    length = milliseconds;
  }
  void SetSampleFeed(bool, DWORD, PLUGIN_HANDLE) override {}
  int GetEffectiveVolume() override { return 256; }
  CurrentEntryInfo GetCurrentEntryInfo() override { return {}; }

  // Waits (in real time: the clock moves with the player's own sleeps)
  // until `count` ends were reported.
  bool WaitForEnds(size_t count) {
    std::unique_lock guard(m_Lock);
    return m_Changed.wait_for(guard, std::chrono::seconds(60), [&] { return results.size() >= count; });
  }

  PLUGIN_HANDLE current = nullptr;
  std::vector<DWORD> results;
  int positions = 0;
  DWORD length = 0;

 private:
  std::mutex m_Lock;
  std::condition_variable m_Changed;
};

class WavPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    TwlTestUseManualClock(TRUE);
    TwlTestSleepAdvancesClock(TRUE);  // the player's waits are what moves the sound
    SetHostEnvironment(&environment_);
    SetPlayerServices(&services_);
    InitHostApi();
    folder_ = twltest::MakeTempDir("wavplayer");
    manager_.ScanFolder(TWL_WAV_PLAYER_DIR, false);
    ASSERT_EQ(manager_.GetCount(), 1);
    DiscoverPlugInPlayers(*manager_.GetPlugIn(0), players_);
    ASSERT_EQ(players_.size(), 1u);
    player_.reset(players_[0]);
    services_.current = player_->GetHandle();
  }

  void TearDown() override {
    player_.reset();
    manager_.UnloadAll();
    SetPlayerServices(nullptr);
    SetHostEnvironment(nullptr);
    TwlTestSetSoundSink(nullptr);
    TwlTestSleepAdvancesClock(FALSE);
  }

  std::string Url(const std::string& path) { return "file://" + path; }

  OwnedEnvironment environment_;
  OnePlayerServices services_;
  CPlugInManager manager_;
  std::vector<CPlayer*> players_;
  std::unique_ptr<CPlayer> player_;
  std::string folder_;
};

TEST_F(WavPlayer, IsFoundAsAPlayerThatAnswersForWavFilesAndNamesItsExtension) {
  EXPECT_STREQ(player_->GetName(), "Test WAV player");
  EXPECT_STREQ(player_->GetKey(), "TestWavPlayer<wav>");
  CFileExtensionEnum extensions;
  ASSERT_TRUE(player_->RegisterFileTypes(extensions));
  ASSERT_EQ(extensions.GetCount(), 1);
  EXPECT_STREQ(extensions.GetEntry(0).extension.c_str(), "wav");
  EXPECT_STREQ(extensions.GetEntry(0).description.c_str(), "WAV sound");

  struct Case {
    const char* url;
    DWORD verdict;
    DWORD priority;
  };
  for (const Case& c : {Case{"file:///music/a.wav", 1, 128}, Case{"file:///music/A.WAV", 1, 128},
                        Case{"file:///music/a.mp3", 0, 0}, Case{"wav", 0, 0}}) {
    CanPlayAnswer answer{};
    player_->CanPlay(c.url, answer);
    EXPECT_EQ(answer.verdict, c.verdict) << c.url;
    EXPECT_EQ(answer.priority, c.priority) << c.url;
  }
}

TEST_F(WavPlayer, TwoFilesPlayIntoTheSinkEachOnceContiguousAndByteEqual) {
  std::string rawA, rawB;
  const std::string a = soundtest::SoxTone(folder_, "a.wav", "0.7", "440", &rawA);
  const std::string b = soundtest::SoxTone(folder_, "b.wav", "0.4", "660", &rawB);
  const std::string capturePath = folder_ + "/capture.wav";
  ASSERT_TRUE(TwlTestSetSoundSink(("wav:" + capturePath).c_str()));

  ASSERT_TRUE(player_->Play(Url(a).c_str())) << GetThreadErrorText().c_str();
  ASSERT_TRUE(services_.WaitForEnds(1));
  EXPECT_EQ(services_.length, 700u);
  EXPECT_TRUE(player_->Stop());
  ASSERT_TRUE(player_->Play(Url(b).c_str())) << GetThreadErrorText().c_str();
  ASSERT_TRUE(services_.WaitForEnds(2));
  EXPECT_TRUE(player_->Stop());
  EXPECT_EQ(services_.results, (std::vector<DWORD>{HOST_PLAYBACK_FINISHED, HOST_PLAYBACK_FINISHED}));
  EXPECT_GT(services_.positions, 0);
  ASSERT_TRUE(TwlTestSetSoundSink("null"));  // completes the capture

  soundtest::ExpectPlayedInOrder(capturePath, {rawA, rawB});
}

TEST_F(WavPlayer, FilesItCannotReadFailPlayWithTheirReasonAndPlayNothing) {
  const std::string capturePath = folder_ + "/capture.wav";
  ASSERT_TRUE(TwlTestSetSoundSink(("wav:" + capturePath).c_str()));
  const std::string pcm16 = std::string("fmt ") + std::string("\x10\0\0\0", 4) + std::string("\x01\0\x02\0", 4) +
                            std::string("\x44\xac\0\0", 4) + std::string("\x10\xb1\x02\0", 4) +
                            std::string("\x04\0\x10\0", 4);
  struct Case {
    const char* name;
    std::string bytes;
    DWORD code;
  };
  const Case cases[] = {
      {"text.wav", "this is no sound at all", 6},
      {"empty.wav", "", 6},
      {"float.wav", std::string("RIFF\0\0\0\0WAVE", 12) + "fmt " + std::string("\x10\0\0\0\x03\0\x02\0", 8) +
                        std::string(8, '\0') + std::string("\x08\0\x20\0", 4),
       6},
      {"24bit.wav", std::string("RIFF\0\0\0\0WAVE", 12) + "fmt " + std::string("\x10\0\0\0\x01\0\x02\0", 8) +
                        std::string(8, '\0') + std::string("\x06\0\x18\0", 4),
       6},
      {"cut.wav", std::string("RIFF\0\0\0\0WAVE", 12) + pcm16.substr(0, 14), 7},
      {"nodata.wav", std::string("RIFF\0\0\0\0WAVE", 12) + pcm16, 7},
      {"dataonly.wav", std::string("RIFF\0\0\0\0WAVE", 12) + "data" + std::string("\4\0\0\0\1\2\3\4", 8), 7},
      {"badalign.wav", std::string("RIFF\0\0\0\0WAVE", 12) + pcm16.substr(0, 20) + std::string("\x03\0\x10\0", 4), 7},
      {"hugechunk.wav", std::string("RIFF\0\0\0\0WAVE", 12) + "LIST" + std::string("\xff\xff\xff\xff", 4) + "ab", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder_ + "/" + c.name;
    twltest::WriteFile(path, c.bytes);
    SetThreadError(0, 0, nullptr);
    EXPECT_FALSE(player_->Play(Url(path).c_str()));
    EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_MISC));
    EXPECT_EQ(GetThreadErrorState()->code, c.code) << GetThreadErrorText().c_str();
  }
  SetThreadError(0, 0, nullptr);
  EXPECT_FALSE(player_->Play(Url(folder_ + "/missing.wav").c_str()));
  EXPECT_NE(GetThreadErrorState()->type, 0u) << "a file that does not open fails with the stream's error";
  EXPECT_TRUE(services_.results.empty());
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  const soundtest::Capture capture = soundtest::ReadCapture(capturePath);
  EXPECT_EQ(capture.data.find_first_not_of('\0'), std::string::npos);
}

TEST_F(WavPlayer, StopInTheMiddleEndsTheStreamWithoutAnEndReport) {
  const std::string a = soundtest::SoxTone(folder_, "long.wav", "5", "440");
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  ASSERT_TRUE(player_->Play(Url(a).c_str())) << GetThreadErrorText().c_str();
  EXPECT_TRUE(player_->Stop());
  EXPECT_TRUE(services_.results.empty());
  // Unloading while playing is safe too.
  ASSERT_TRUE(player_->Play(Url(a).c_str()));
  player_.reset();
  EXPECT_TRUE(services_.results.empty());
}

}  // namespace
