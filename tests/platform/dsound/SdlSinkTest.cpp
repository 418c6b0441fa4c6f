// The SDL sink: SDL's audio thread pulls the mix and moves the cursors (SDL's
// disk driver stands in for a sound card), and without a device the sound
// goes nowhere on the layer clock.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "SoundFixture.h"

using namespace soundtest;

namespace {

class SdlSink : public SoundTest {
 protected:
  void SetUp() override {}  // SDL plays in real time
};

TEST_F(SdlSink, TheDeviceThreadMovesTheCursorAndGetsTheRingsSound) {
  const std::string raw = twltest::MakeTempDir("sdl") + "/device.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  Open("sdl");
  std::vector<int16_t> pattern(4410 * 2);
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<int16_t>(i % 2 ? 1000 + i : -1000 - i);
  const std::string ring = Bytes16(pattern);
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), static_cast<DWORD>(ring.size()));
  Write(buffer, 0, ring);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  DWORD play = 0, write = 0;
  while (play == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  }
  EXPECT_NE(play, 0u) << "the device pulled sound";
  EXPECT_EQ(play % 4, 0u);
  EXPECT_NE(write, play) << "the write cursor runs a period ahead";
  ASSERT_EQ(buffer->Stop(), DS_OK);
  TearDown();  // the device closes with the last DirectSound object

  // What the device wrote: silence, then the ring round after round.
  const std::string written = twltest::ReadFile(raw);
  const size_t firstSound = written.find_first_not_of('\0');
  ASSERT_NE(firstSound, std::string::npos);
  const size_t start = firstSound / 4 * 4;
  std::string expected;
  while (expected.size() < written.size() - start) expected += ring;
  const size_t end = written.find_last_not_of('\0') + 1;
  EXPECT_TRUE(written.compare(start, end - start, expected, 0, end - start) == 0);
}

TEST_F(SdlSink, WithoutADeviceTheSoundGoesNowhereOnTheLayerClock) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  TwlTestUseManualClock(TRUE);
  Open("sdl");
  IDirectSoundBuffer* buffer = MakeBuffer(Pcm(44100, 16, 2), 17640);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(50);
  EXPECT_EQ(PlayCursor(buffer), 8820u);
}

}  // namespace
