// Screevo's player over the real filter graph, its sound captured by the
// WAV-file sink: a file plays to its end, a seek resumes at its sample,
// pause holds the sound, the volume scales it, and failures leave the
// filter graph's text. Files are a second or two long.
#include <gtest/gtest.h>
#include <twlwin/testing_sound.h>
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "PlayedInOrder.h"
#include "ScreevoHost.h"
#include "SoundFixture.h"
#include "playback/sound/SoundBuffer.h"
#include "pluginhost/hostapi/HostApi.h"

namespace {

using screevotest::Record;
using screevotest::ScreevoHost;

constexpr size_t kFrameBytes = 4;  // 16-bit stereo

class ScreevoPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = twltest::MakeTempDir("screevo");
    capture_ = folder_ + "/capture.wav";
    ASSERT_TRUE(TwlTestSetSoundSink(("wav:" + capture_).c_str()));
    player_ = host_.Player();
    ASSERT_NE(player_, nullptr);
    ASSERT_TRUE(player_->head.OBJECT_Init());
  }
  void TearDown() override {
    if (player_) player_->head.OBJECT_Exit();
  }

  std::string Captured() { return soundtest::ReadCapture(capture_).data; }
  bool Recorded(const std::string& call) {
    const auto& calls = Record().calls;
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }

  ScreevoHost host_;
  const PlayerInterface* player_ = nullptr;
  std::string folder_;
  std::string capture_;
};

// A name with a blank and a non-ASCII letter, as a "file://" URL of the
// native path.
TEST_F(ScreevoPlayer, PlaysAFileToItsEndIntoTheSink) {
  std::string raw;
  const std::string path = screevotest::SoxTone(folder_, "a tone \xC3\xBC.wav", "1", "440", &raw);
  ASSERT_TRUE(player_->PLAYER_Play(("file://" + path).c_str())) << screevotest::ErrorText();
  ASSERT_TRUE(host_.PumpUntilFinished());
  EXPECT_TRUE(Recorded("duration 1000"));
  EXPECT_TRUE(Recorded("will play"));
  EXPECT_TRUE(Recorded("finished 0"));
  soundtest::ExpectPlayedInOrder(capture_, {raw});
  EXPECT_FALSE(Record().positions.empty()) << "the position timer reports while it plays";
}

TEST_F(ScreevoPlayer, ASeekResumesAtItsSample) {
  std::string raw;
  const std::string path = screevotest::SoxTone(folder_, "a.wav", "2", "440", &raw);
  ASSERT_TRUE(player_->PLAYER_Play(("file://" + path).c_str()));
  ASSERT_TRUE(player_->PLAYER_Seek(1000)) << screevotest::ErrorText();
  EXPECT_TRUE(Recorded("stop visualization")) << "the visualizers start over";
  ASSERT_TRUE(host_.PumpUntilFinished());
  const std::string captured = Captured();
  const std::string tail = raw.substr(44100 * kFrameBytes);
  ASSERT_GE(captured.size(), tail.size());
  const size_t before = captured.size() - tail.size();
  EXPECT_EQ(captured.substr(before), tail) << "from sample 44100 to the end";
  EXPECT_EQ(captured.substr(0, before), raw.substr(0, before)) << "what played before the seek";
  EXPECT_LT(before, tail.size());
}

// The pause is held while messages go by; the sound then goes on where it
// stopped, nothing lost or repeated.
// Known fault, off until mended: a pause that comes right after the start,
// while the sink's streaming thread is still leaving its preroll wait,
// finds the sink "prerolled"; the thread then renders on in real time
// although the pipeline reports itself paused (seen on a loaded machine,
// about one run in three with six at once).
TEST_F(ScreevoPlayer, DISABLED_PauseHoldsTheSoundAndResumeGoesOn) {
  std::string raw;
  const std::string path = screevotest::SoxTone(folder_, "a.wav", "1", "440", &raw);
  ASSERT_TRUE(player_->PLAYER_Play(("file://" + path).c_str()));
  ASSERT_TRUE(player_->PLAYER_Pause());
  host_.Pump(200);
  const size_t held = Captured().size();
  host_.Pump(400);
  EXPECT_EQ(Captured().size(), held);
  EXPECT_FALSE(host_.Finished());
  ASSERT_TRUE(player_->PLAYER_Resume());
  ASSERT_TRUE(host_.PumpUntilFinished());
  soundtest::ExpectPlayedInOrder(capture_, {raw});
}

TEST_F(ScreevoPlayer, VolumeScalesTheSoundAsTheVolumeTableSays) {
  std::string raw;
  const std::string path = screevotest::SoxTone(folder_, "a.wav", "1", "440", &raw);
  CSoundBuffer::InitVolumeTable();  // as the program does at start-up
  Record().volume = 128;            // taken when the graph opens
  ASSERT_TRUE(player_->PLAYER_Play(("file://" + path).c_str()));
  ASSERT_TRUE(host_.PumpUntilFinished());
  const LONG attenuation = GetHostApiTable()->HOST_VolumeToAttenuation(128);
  ASSERT_LT(attenuation, 0);
  const double factor = std::pow(10.0, attenuation / 2000.0);
  const std::string captured = Captured();
  ASSERT_EQ(captured.size(), raw.size());
  int wrong = 0;
  for (size_t i = 0; i + 1 < raw.size(); i += 2) {
    int16_t in = 0;
    int16_t out = 0;
    std::memcpy(&in, raw.data() + i, 2);
    std::memcpy(&out, captured.data() + i, 2);
    if (std::abs(out - in * factor) > 2 + std::abs(in) * 0.002 && ++wrong < 5)
      ADD_FAILURE() << "sample " << i / 2 << ": " << in << " became " << out;
  }
  EXPECT_EQ(wrong, 0) << "factor " << factor;
}

TEST_F(ScreevoPlayer, FailuresLeaveTheFilterGraphsTextAndPlayNothing) {
  twltest::WriteFile(folder_ + "/x.ogg", "this is text, not sound\n");
  struct Case {
    std::string url;
    std::string text;  // the start of the thread error's text
  };
  const Case cases[] = {
      {"file://" + folder_ + "/none.wav", "DirectShow error: The file cannot be found."},
      {"file://" + folder_ + "/x.ogg", "DirectShow error: "},
      {"file://" + folder_, "DirectShow error: The file cannot be found."},  // a folder
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(player_->PLAYER_Play(c.url.c_str())) << c.url;
    EXPECT_EQ(screevotest::ErrorText().rfind(c.text, 0), 0u) << c.url << ": " << screevotest::ErrorText();
  }
  EXPECT_FALSE(Recorded("will play"));
}

}  // namespace
