// What reaches the WAV sink: bit-exact sound in the primary format, volume,
// pan, the master volume, conversions, clipping, and a file that is valid
// at every moment.
#include <cmath>

#include "SoundFixture.h"

using namespace soundtest;

namespace {

class Mix : public SoundTest {
 protected:
  // Plays each buffer's bytes once from the start for `milliseconds` and
  // returns the capture.
  Capture PlayFor(const std::vector<IDirectSoundBuffer*>& buffers, DWORD milliseconds) {
    for (IDirectSoundBuffer* buffer : buffers) EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Advance(milliseconds);
    for (IDirectSoundBuffer* buffer : buffers) EXPECT_EQ(buffer->Stop(), DS_OK);
    return ReadCapture(path_);
  }

  void OpenCapture(const WAVEFORMATEX& primary = Pcm(44100, 16, 2)) {
    path_ = CapturePath();
    Open("wav:" + path_, primary);
  }

  // A 16-bit stereo buffer of 100 ms holding the same frame throughout.
  IDirectSoundBuffer* ConstantBuffer(int16_t left, int16_t right, DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN) {
    IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 17640, flags);
    std::vector<int16_t> samples;
    for (int i = 0; i < 4410; ++i) samples.insert(samples.end(), {left, right});
    Write(buffer, 0, Bytes16(samples));
    return buffer;
  }

  std::string path_;
};

TEST_F(Mix, OneBufferInThePrimaryFormatReachesTheSinkUnchanged) {
  OpenCapture();
  std::vector<int16_t> noise(4410 * 2);
  uint32_t state = 1;
  for (int16_t& sample : noise) sample = static_cast<int16_t>((state = state * 1103515245u + 12345u) >> 16);
  const std::string bytes = Bytes16(noise);
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), static_cast<DWORD>(bytes.size()));
  Write(buffer, 0, bytes);
  const Capture capture = PlayFor({buffer}, 100);
  EXPECT_EQ(capture.format.nSamplesPerSec, 44100u);
  EXPECT_EQ(capture.format.nChannels, 2);
  EXPECT_EQ(capture.format.wBitsPerSample, 16);
  EXPECT_EQ(capture.format.nBlockAlign, 4);
  EXPECT_EQ(capture.format.nAvgBytesPerSec, 176400u);
  EXPECT_TRUE(capture.data == bytes);
}

TEST_F(Mix, VolumeAndPanAttenuateInHundredthsOfADecibel) {
  struct Row {
    const char* why;
    LONG volume;
    LONG pan;
    double left;  // gain
    double right;
  };
  const Row rows[] = {
      {"0 dB, centred", 0, 0, 1.0, 1.0},
      {"-10 dB", -1000, 0, 0.316228, 0.316228},
      {"-6 dB", -600, 0, 0.501187, 0.501187},
      {"silence", -10000, 0, 0.0, 0.0},
      {"pan right: the left side drops", 0, 2000, 0.1, 1.0},
      {"pan left: the right side drops", 0, -2000, 1.0, 0.1},
      {"full right", 0, 10000, 0.0, 1.0},
      {"volume and pan add up", -1000, -1000, 0.316228, 0.1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    OpenCapture();
    IDirectSoundBuffer* buffer = ConstantBuffer(20000, -20000);
    ASSERT_EQ(buffer->SetVolume(row.volume), DS_OK);
    ASSERT_EQ(buffer->SetPan(row.pan), DS_OK);
    const std::vector<int16_t> out = Samples16(PlayFor({buffer}, 50).data);
    ASSERT_EQ(out.size(), 2205u * 2);
    EXPECT_NEAR(out[0], 20000 * row.left, 1.0);
    EXPECT_NEAR(out[1], -20000 * row.right, 1.0);
    EXPECT_EQ(out[0], out[out.size() - 2]);
    TearDown();
  }
}

TEST_F(Mix, TheMasterVolumeScalesTheMixByItsShareOf65535) {
  OpenCapture();
  std::vector<int16_t> ramp;
  for (int i = 0; i < 4410; ++i) ramp.insert(ramp.end(), {static_cast<int16_t>(i * 15 - 32768), static_cast<int16_t>(32767 - i * 15)});
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 17640);
  Write(buffer, 0, Bytes16(ramp));
  ASSERT_TRUE(TwlTestMoveMixerSlider(32768));
  const std::vector<int16_t> out = Samples16(PlayFor({buffer}, 100).data);
  ASSERT_TRUE(TwlTestMoveMixerSlider(65535));
  ASSERT_EQ(out.size(), ramp.size());
  for (size_t i = 0; i < out.size(); ++i) {
    ASSERT_NEAR(out[i], std::lround(ramp[i] * 32768.0 / 65535.0), 1) << i;
  }
}

TEST_F(Mix, AMixAboveFullScaleClips) {
  OpenCapture();
  IDirectSoundBuffer* first = ConstantBuffer(30000, -30000);
  IDirectSoundBuffer* second = ConstantBuffer(20000, -20000);
  const std::vector<int16_t> out = Samples16(PlayFor({first, second}, 10).data);
  ASSERT_EQ(out.size(), 441u * 2);
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[1], -32768);
}

// Buffers of another format are converted into the primary format.
TEST_F(Mix, BuffersAreConvertedToThePrimaryFormat) {
  OpenCapture(Pcm(22050, 16, 2));
  IDirectSoundBuffer* mono8 = MakeBuffer(Pcm(22050, 8, 1), 2205);
  Write(mono8, 0, std::string(2205, static_cast<char>(0xC0)));
  const std::vector<int16_t> out = Samples16(PlayFor({mono8}, 100).data);
  ASSERT_EQ(out.size(), 2205u * 2);
  EXPECT_EQ(out[0], 0x40 * 256) << "8-bit unsigned to 16-bit";
  EXPECT_EQ(out[1], 0x40 * 256) << "mono to both sides";
  TearDown();

  OpenCapture(Pcm(22050, 8, 1));
  IDirectSoundBuffer* stereo16 = ConstantBuffer(10000, 2000);  // 44100 Hz into 22050 Hz
  const Capture capture = PlayFor({stereo16}, 100);
  EXPECT_EQ(capture.format.wBitsPerSample, 8);
  EXPECT_EQ(capture.format.nChannels, 1);
  ASSERT_EQ(capture.data.size(), 2205u);
  EXPECT_EQ(static_cast<uint8_t>(capture.data[100]), 6000 / 256 + 128) << "both sides averaged, then 8-bit";
}

TEST_F(Mix, TheFileIsValidWhileItGrowsAndKeepsTheFormatOfItsFirstSound) {
  OpenCapture();
  IDirectSoundBuffer* buffer = ConstantBuffer(1000, 1000);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(20);
  EXPECT_EQ(PlayCursor(buffer), 3528u);
  EXPECT_EQ(ReadCapture(path_).data.size(), 3528u) << "the header counts what was played so far";
  Advance(20);
  EXPECT_EQ(PlayCursor(buffer), 7056u);
  EXPECT_EQ(ReadCapture(path_).data.size(), 7056u);

  // The primary format changes while the file holds sound: the file keeps
  // its format and the output goes on at its rate.
  DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(device_->CreateSoundBuffer(&description, &primary, nullptr), DS_OK);
  const WAVEFORMATEX other = Pcm(22050, 8, 1);
  EXPECT_EQ(primary->SetFormat(&other), DS_OK);
  primary->Release();
  Advance(10);
  EXPECT_EQ(buffer->Stop(), DS_OK);
  const Capture capture = ReadCapture(path_);
  EXPECT_EQ(capture.format.nSamplesPerSec, 44100u);
  EXPECT_EQ(capture.format.wBitsPerSample, 16);
  EXPECT_EQ(capture.data.size(), 7056u + 1764u);
}

TEST_F(Mix, NothingIsCapturedWhileNothingPlays) {
  OpenCapture();
  IDirectSoundBuffer* buffer = ConstantBuffer(1000, 1000);
  Advance(100);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(10);
  ASSERT_EQ(buffer->Stop(), DS_OK);
  Advance(100);
  EXPECT_EQ(PlayCursor(buffer), 1764u);
  EXPECT_EQ(ReadCapture(path_).data.size(), 1764u);
}

TEST_F(Mix, APlayedPrimaryBufferKeepsTheOutputRunningWithSilence) {
  OpenCapture();
  DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(device_->CreateSoundBuffer(&description, &primary, nullptr), DS_OK);
  buffers_.push_back(primary);
  EXPECT_EQ(primary->Play(0, 0, 0), DSERR_INVALIDPARAM) << "the primary buffer only loops";
  ASSERT_EQ(primary->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(10);
  ASSERT_EQ(primary->Stop(), DS_OK);
  const Capture capture = ReadCapture(path_);
  EXPECT_EQ(capture.data, std::string(1764, '\0'));
}

TEST_F(Mix, AFileThatCannotBeCreatedIsRefused) {
  EXPECT_FALSE(TwlTestSetSoundSink("wav:/nonexistent-folder/capture.wav"));
  EXPECT_FALSE(TwlTestSetSoundSink("wav:"));
  EXPECT_FALSE(TwlTestSetSoundSink("speakers"));
  EXPECT_TRUE(TwlTestSetSoundSink("null"));
}

}  // namespace
