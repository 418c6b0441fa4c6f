// The host's sound slots as a player plug-in calls them: the DirectSound
// object shared by all buffers, refused formats, the primary format by
// cooperative level, the volume table, and handles that were never handed
// out.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "SoundBufferFixture.h"
#include "PlayerTestHost.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiModule.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/hostapi/HostSoundTesting.h"

namespace {

using playertest::Host;
using playertest::OwnedEnvironment;

using soundtest::kPlayer;



class HostSoundSlots : public ::testing::Test {
 protected:
  void SetUp() override {
    TwlTestUseManualClock(TRUE);
    SetHostEnvironment(&environment_);
    SetPlayerServices(&services_);
    InitHostApi();
    ASSERT_TRUE(TwlTestSetSoundSink("null"));
  }
  void TearDown() override {
    SetPlayerServices(nullptr);
    SetHostEnvironment(nullptr);
    TwlTestSetSoundSink(nullptr);
  }

  // 16-bit stereo, a tenth of a second.
  HOST_SOUNDBUFFER Create(DWORD frequency = 44100, DWORD bits = 16, DWORD channels = 2) {
    HOST_SOUNDBUFFER buffer = nullptr;
    EXPECT_TRUE(Host().HOST_CreateSoundBuffer(frequency / 10 * bits / 8 * channels, frequency, bits, channels, 0,
                                              kPlayer, &buffer))
        << Host().HOST_GetErrorText();
    return buffer;
  }

  OwnedEnvironment environment_;
  soundtest::RecordingServices services_;
};

TEST_F(HostSoundSlots, BuffersShareOneDirectSoundObjectMadeWithTheFirstAndReleasedWithTheLast) {
  const SharedSoundState before = GetSharedSoundState();
  ASSERT_FALSE(before.exists);
  HOST_SOUNDBUFFER first = Create();
  HOST_SOUNDBUFFER second = Create(22050, 8, 1);
  ASSERT_TRUE(first && second);
  SharedSoundState state = GetSharedSoundState();
  EXPECT_EQ(state.users, 2u);
  EXPECT_EQ(state.creations, before.creations + 1);

  Host().HOST_DestroySoundBuffer(first);
  state = GetSharedSoundState();
  EXPECT_TRUE(state.exists);
  EXPECT_EQ(state.releases, before.releases);
  Host().HOST_DestroySoundBuffer(second);
  state = GetSharedSoundState();
  EXPECT_FALSE(state.exists);
  EXPECT_EQ(state.users, 0u);
  EXPECT_EQ(state.creations, before.creations + 1);
  EXPECT_EQ(state.releases, before.releases + 1);

  // A destroyed buffer is a stale handle now: refused, not followed.
  Host().HOST_SetError(0, 0, nullptr);
  DWORD bytes = 0;
  EXPECT_FALSE(Host().HOST_SoundBufferGetQueued(first, &bytes));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u);
  Host().HOST_SetError(0, 0, nullptr);
  Host().HOST_DestroySoundBuffer(first);
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u);
  Host().HOST_SetError(0, 0, nullptr);
  Host().HOST_DestroySoundBuffer(nullptr);
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u);
  EXPECT_EQ(GetSharedSoundState().releases, before.releases + 1);
}

TEST_F(HostSoundSlots, FormatsOutsidePcmOf8Or16BitsOnOneOrTwoChannelsAreRefusedAndLeaveTheUsersAlone) {
  HOST_SOUNDBUFFER keeper = Create();
  const SharedSoundState before = GetSharedSoundState();
  struct Case {
    DWORD frequency, bits, channels;
  };
  const Case cases[] = {{44100, 24, 2}, {44100, 16, 3}, {0, 16, 2}, {44100, 0, 1}, {44100, 16, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.frequency) + "/" + std::to_string(c.bits) + "/" + std::to_string(c.channels));
    HOST_SOUNDBUFFER buffer = reinterpret_cast<HOST_SOUNDBUFFER>(0x1);
    Host().HOST_SetError(0, 0, nullptr);
    EXPECT_FALSE(Host().HOST_CreateSoundBuffer(4096, c.frequency, c.bits, c.channels, 0, kPlayer, &buffer));
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(Host().HOST_GetErrorType(), 7u);
    EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u);
    EXPECT_EQ(GetSharedSoundState().users, before.users);
  }
  // A size that is no whole number of sample frames is refused by the
  // buffer, and the user it had taken is given back.
  HOST_SOUNDBUFFER odd = nullptr;
  EXPECT_FALSE(Host().HOST_CreateSoundBuffer(1001, 44100, 16, 2, 0, kPlayer, &odd));
  EXPECT_EQ(GetSharedSoundState().users, before.users);
  Host().HOST_DestroySoundBuffer(keeper);
}

TEST_F(HostSoundSlots, MinusOneTakesThePreferredFormat) {
  services_.optionsToGive.frequency = 22050;
  services_.optionsToGive.bitsPerSample = 8;
  services_.optionsToGive.channels = 1;
  HOST_SOUNDBUFFER buffer = nullptr;
  ASSERT_TRUE(Host().HOST_CreateSoundBuffer(2205, HOST_SOUND_PREFERRED, HOST_SOUND_PREFERRED, HOST_SOUND_PREFERRED, 0,
                                            kPlayer, &buffer))
      << Host().HOST_GetErrorText();
  // 2205 one-byte frames make a tenth of a second at 22050 Hz.
  ASSERT_TRUE(Host().HOST_SoundBufferWriteSilence(buffer, 2205, TRUE));
  DWORD written = 0;
  ASSERT_TRUE(Host().HOST_SoundBufferGetTotalWritten(buffer, &written));
  EXPECT_EQ(written, 2205u);
  Host().HOST_DestroySoundBuffer(buffer);
}

// The account runs on past 4 GiB; the 32-bit slot hands out its low word,
// neither stuck at the top nor wrapped differently from the account.
TEST_F(HostSoundSlots, TotalWrittenIsTheLowWordOfAnAccountPastFourGib) {
  HOST_SOUNDBUFFER buffer = Create();
  ASSERT_TRUE(buffer);
  ASSERT_TRUE(Host().HOST_SoundBufferReset(buffer, 25000000.0f));  // 4 410 000 000 bytes at 176 400 a second
  DWORD before = 0;
  ASSERT_TRUE(Host().HOST_SoundBufferGetTotalWritten(buffer, &before));
  // The start's millisecond factor is a float, so the account is a few
  // hundred bytes above the exact figure.
  EXPECT_NEAR(static_cast<double>(before), 4410000000.0 - 4294967296.0, 1000.0);
  ASSERT_TRUE(Host().HOST_SoundBufferWriteSilence(buffer, 8820, TRUE));
  DWORD after = 0;
  ASSERT_TRUE(Host().HOST_SoundBufferGetTotalWritten(buffer, &after));
  EXPECT_EQ(after, before + 8820u);
  Host().HOST_DestroySoundBuffer(buffer);
}

// The primary format is what the sink plays: a WAV sink's header shows it.
TEST_F(HostSoundSlots, ThePrimaryFormatFollowsTheBufferUnlessTheLevelIsNormal) {
  struct Case {
    DWORD level;
    bool follows;
  };
  for (const Case c : {Case{DSSCL_NORMAL, false}, Case{DSSCL_PRIORITY, true}}) {
    SCOPED_TRACE(c.level);
    const std::string capture = twltest::MakeTempDir("primary") + "/capture.wav";
    ASSERT_TRUE(TwlTestSetSoundSink(("wav:" + capture).c_str()));
    services_.optionsToGive.cooperativeLevel = c.level;
    HOST_SOUNDBUFFER buffer = Create(11025, 8, 1);
    ASSERT_TRUE(buffer);
    ASSERT_TRUE(Host().HOST_SoundBufferWriteSilence(buffer, 1102, TRUE));
    ASSERT_TRUE(Host().HOST_SoundBufferPlay(buffer));
    TwlTestAdvanceClock(50);
    Host().HOST_DestroySoundBuffer(buffer);
    ASSERT_TRUE(TwlTestSetSoundSink("null"));  // completes the capture
    const soundtest::Capture played = soundtest::ReadCapture(capture);
    const bool follows = played.format.nSamplesPerSec == 11025 && played.format.wBitsPerSample == 8 &&
                         played.format.nChannels == 1;
    EXPECT_EQ(follows, c.follows) << played.format.nSamplesPerSec << "/" << played.format.wBitsPerSample << "/"
                                  << played.format.nChannels;
  }
}

TEST_F(HostSoundSlots, VolumeToAttenuationClampsOutsideTheTable) {
  const std::pair<LONG, LONG> cases[] = {{-5, -10000}, {0, -10000}, {1, -8000},   {128, -1000},
                                         {255, -5},    {256, 0},     {300, 0},      {-2147483647 - 1, -10000}};
  for (const auto& [volume, attenuation] : cases) EXPECT_EQ(Host().HOST_VolumeToAttenuation(volume), attenuation) << volume;
}

TEST_F(HostSoundSlots, BufferSlotsCheckTheirPointers) {
  HOST_SOUNDBUFFER buffer = Create();
  Host().HOST_SetError(0, 0, nullptr);
  EXPECT_FALSE(Host().HOST_SoundBufferGetFreeSpace(buffer, nullptr));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u);
  EXPECT_FALSE(Host().HOST_CreateSoundBuffer(4096, 44100, 16, 2, 0, kPlayer, nullptr));
  void* first = nullptr;
  DWORD firstBytes = 0;
  EXPECT_FALSE(Host().HOST_SoundBufferLock(buffer, 0, 16, &first, &firstBytes, nullptr, nullptr));
  EXPECT_FALSE(Host().HOST_SoundBufferSetVolume(buffer, 257));
  int32_t volume = -1;
  ASSERT_TRUE(Host().HOST_SoundBufferGetVolume(buffer, &volume));
  EXPECT_EQ(volume, 256);
  Host().HOST_DestroySoundBuffer(buffer);
}

// A player's thread waits for space in a full buffer that does not play
// while another thread destroys it: the wait ends as aborted, and the
// buffer (with the shared object) goes only after it.
TEST_F(HostSoundSlots, ABufferDestroyedWhileAnotherThreadWaitsForSpaceEndsTheWaitAndGoesAfterIt) {
  const SharedSoundState before = GetSharedSoundState();
  HOST_SOUNDBUFFER buffer = Create();
  ASSERT_NE(buffer, nullptr);
  DWORD free = 0;
  ASSERT_TRUE(Host().HOST_SoundBufferGetFreeSpace(buffer, &free));
  ASSERT_TRUE(Host().HOST_SoundBufferWriteSilence(buffer, free, TRUE));

  std::atomic<bool> waited{false};
  BOOL answer = TRUE;
  DWORD error = 0;
  std::thread player([&] {
    answer = Host().HOST_SoundBufferWait(buffer, 4, nullptr);
    error = Host().HOST_GetMiscErrorCode();
    waited = true;
  });
  while (CountSlotsInSoundBuffer(buffer) == 0) std::this_thread::yield();
  Host().HOST_DestroySoundBuffer(buffer);
  // The wait polls on the manual clock.
  while (!waited) {
    TwlTestAdvanceClock(10);
    std::this_thread::yield();
  }
  player.join();

  EXPECT_FALSE(answer);
  EXPECT_EQ(error, 3u) << "aborted";
  EXPECT_EQ(CountSlotsInSoundBuffer(buffer), 0u);
  const SharedSoundState after = GetSharedSoundState();
  EXPECT_EQ(after.users, before.users);
  EXPECT_EQ(after.releases, before.releases + 1);
  Host().HOST_SetError(0, 0, nullptr);
  EXPECT_FALSE(Host().HOST_SoundBufferGetFreeSpace(buffer, &free));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u) << "a stale handle";
}

}  // namespace
