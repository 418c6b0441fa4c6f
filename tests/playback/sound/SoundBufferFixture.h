// Sound buffers on the layer's DirectSound, on the manual clock, with
// sleeps passing as test time: a recording device over the layer's (so a
// test sees each DirectSound call), a player system that writes down the
// reports it gets, and helpers for sox tones and WAV-sink captures.
#pragma once

#include <twlwin/testing_user.h>

#include <string>
#include <vector>

#include "RecordingDirectSound.h"
#include "SoundFixture.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/players/PlayerServices.h"
#include "playback/sound/SoundBuffer.h"
#include "playback/sound/SoundOptions.h"
#include "support/RecordingLogFront.h"
#include "support/TestPaths.h"

namespace soundtest {

inline const PLUGIN_HANDLE kPlayer = reinterpret_cast<PLUGIN_HANDLE>(0x5150);

// The player system as a sound buffer sees it: every report, one line each.
class RecordingServices : public CPlayerServices {
 public:
  void GetSoundOptions(SoundOptions& options) override { options.Assign(optionsToGive); }
  void PauseVisualization(PLUGIN_HANDLE player) override { Add("pause", player); }
  void ResumeVisualization(PLUGIN_HANDLE player) override { Add("resume", player); }
  void StopVisualization(PLUGIN_HANDLE player) override { Add("stop", player); }
  void FeedVisualization(const void*, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bits, DWORD channels,
                         PLUGIN_HANDLE player) override {
    Add("feed " + std::to_string(bytes) + " at +" + std::to_string(playTime - timeGetTime()) + " " +
            std::to_string(frequency) + "/" + std::to_string(bits) + "/" + std::to_string(channels),
        player);
  }
  void SetPosition(DWORD milliseconds, PLUGIN_HANDLE player) override {
    Add("position " + std::to_string(milliseconds), player);
  }
  bool IsCurrentPlayer(PLUGIN_HANDLE player) override { return player == kPlayer; }
  void NotifyStickToFile(PLUGIN_HANDLE player) override { Add("stick to file", player); }
  void NotifyPlaybackFinished(DWORD result, PLUGIN_HANDLE player) override {
    Add("finished " + std::to_string(result), player);
  }
  void SetLength(DWORD milliseconds, PLUGIN_HANDLE player) override {
    Add("length " + std::to_string(milliseconds), player);
  }
  void SetSampleFeed(bool feedsItself, DWORD flags, PLUGIN_HANDLE player) override {
    Add("sample feed " + std::to_string(feedsItself) + " " + std::to_string(flags), player);
  }
  int GetEffectiveVolume() override { return effectiveVolume; }
  CurrentEntryInfo GetCurrentEntryInfo() override { return entry; }

  std::vector<std::string> reports;
  SoundOptions optionsToGive;
  int effectiveVolume = 256;
  CurrentEntryInfo entry;

 private:
  void Add(const std::string& report, PLUGIN_HANDLE player) {
    reports.push_back(player == kPlayer ? report : report + " (another player)");
  }
};

inline std::string Quote(const std::string& text) { return "'" + text + "'"; }

inline std::string Twltool() { return Quote(twltest::ProgramPath("twltool")); }

// A sox tone as a WAV file; its PCM alone as `raw`.
inline std::string SoxTone(const std::string& folder, const std::string& name, const std::string& seconds,
                           const std::string& frequency, std::string* raw = nullptr) {
  const std::string path = folder + "/" + name;
  EXPECT_EQ(twltest::RunCommand("sox -n -r 44100 -c 2 -b 16 " + Quote(path) + " synth " + seconds + " sine " +
                                frequency),
            0);
  if (raw) {
    EXPECT_EQ(twltest::RunCommand("sox " + Quote(path) + " -t raw " + Quote(path + ".raw")), 0);
    *raw = twltest::ReadFile(path + ".raw");
  }
  return path;
}

// What the capture checker says of the sources in a capture: their
// offsets, or why not.
inline std::string CheckCapture(const std::vector<std::string>& sources, const std::string& capture) {
  std::string command = "python3 " + Quote(twltest::SourceDir() + "/tests/platform/dsound/captured_pcm.py");
  for (const std::string& source : sources) command += " " + Quote(source);
  std::string output;
  twltest::RunCommand(command + " " + Quote(capture) + " 2>&1", &output);
  return output;
}

class SoundBufferTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    TwlTestSleepAdvancesClock(TRUE);
    CSoundBuffer::InitVolumeTable();
    SetPlayerServices(&services_);
  }

  void TearDown() override {
    buffer_.Release();
    if (recorder_) recorder_->Release();
    recorder_ = nullptr;
    SetPlayerServices(nullptr);
    TwlTestSleepAdvancesClock(FALSE);
    SoundTest::TearDown();
  }

  // The layer's device on `sink`, behind a recorder.
  IDirectSound* OpenRecorded(const std::string& sink) {
    Open(sink);
    device_->AddRef();
    recorder_ = new RecordingDirectSound(device_, log_);
    return recorder_;
  }

  // A 44100 Hz 16-bit stereo buffer of `bytes` on a recorded null sink.
  void CreateBuffer(DWORD bytes, DWORD flags = SOUNDBUFFER_VOLUME | SOUNDBUFFER_PAN, const std::string& sink = "null") {
    IDirectSound* device = OpenRecorded(sink);
    ASSERT_TRUE(buffer_.Create(device, bytes, 44100, 16, 2, flags, kPlayer)) << GetThreadErrorText().c_str();
    log_.Clear();
  }

  static std::string Pattern(size_t bytes, char value = 0x35) { return std::string(bytes, value); }

  CSoundBuffer buffer_;
  CallLog log_;
  RecordingServices services_;
  twltest::RecordingLogFront logFront_;
  IDirectSound* recorder_ = nullptr;
};

}  // namespace soundtest
