// The mixer manager behind the player system: made ready at Init, asked
// for volume controls for the current player only, and giving every line
// its value back when playback stops and at Exit.
#include <gtest/gtest.h>
#include <twlwin/testing_sound.h>

#include "../support/MasterLine.h"
#include "PlayerSystemFixture.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/mixer/MixerManager.h"
#include "playback/mixer/MixerVolumeControl.h"
#include "pluginhost/hostapi/HostApi.h"

namespace playertest {
namespace {

using playbacktest::MasterLineValue;

constexpr DWORD kSpeakers = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;

class PlayerSystemMixer : public PlayerSystemTest {
 protected:
  void SetUp() override {
    PlayerSystemTest::SetUp();
    system.Exit();
    system.SetMixer(&mixer);
    system.Init(nullptr);
    TwlTestMoveMixerSlider(40000);
    Pump();
  }
  void TearDown() override {
    PlayerSystemTest::TearDown();
    system.SetMixer(nullptr);
  }
  HOST_MIXERCONTROL ControlFor(TestPlayer* player) {
    CMixerVolumeControl* control = nullptr;
    EXPECT_TRUE(system.GetMixerVolumeControl(kSpeakers, &control, player)) << GetThreadErrorText().c_str();
    return control ? reinterpret_cast<HOST_MIXERCONTROL>(control->GetHandle()) : nullptr;
  }

  CMixerManager mixer;
  const HostApiTable& host = *GetHostApiTable();
};

TEST_F(PlayerSystemMixer, OnlyTheCurrentPlayerGetsAControl) {
  EXPECT_EQ(mixer.GetDeviceCount(), 1) << "Init made the manager ready";
  TestPlayer* current = AddPlayer("Current");
  TestPlayer* other = AddPlayer("Other", Willing(100));
  AddFiles({"a"});
  CMixerVolumeControl* control = reinterpret_cast<CMixerVolumeControl*>(1);
  EXPECT_FALSE(system.GetMixerVolumeControl(kSpeakers, &control, current)) << "nothing plays yet";
  EXPECT_EQ(control, nullptr);
  EXPECT_EQ(GetThreadErrorState()->code, 5u);
  ASSERT_TRUE(system.Play(true));
  EXPECT_FALSE(system.GetMixerVolumeControl(kSpeakers, &control, other));
  EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_MISC));
  EXPECT_EQ(GetThreadErrorState()->code, 5u);
  EXPECT_FALSE(system.GetMixerVolumeControl(MIXERLINE_COMPONENTTYPE_DST_HEADPHONES, &control, current));
  EXPECT_EQ(GetThreadErrorState()->code, 8u);
  EXPECT_NE(ControlFor(current), nullptr);
}

TEST_F(PlayerSystemMixer, StoppingGivesTheLineBackAndRetiresTheControl) {
  TestPlayer* player = AddPlayer("Mixing");
  AddFiles({"a"});
  ASSERT_TRUE(system.Play(true));
  const HOST_MIXERCONTROL control = ControlFor(player);
  ASSERT_TRUE(host.HOST_MixerSetVolume(control, 128));
  EXPECT_EQ(MasterLineValue(), 20000u);
  Pump();
  ASSERT_TRUE(system.Stop(true));
  EXPECT_EQ(MasterLineValue(), 40000u);
  EXPECT_FALSE(host.HOST_MixerSetVolume(control, 64)) << "the player kept the control past the stop";
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), 1u);
  EXPECT_EQ(MasterLineValue(), 40000u);
}

TEST_F(PlayerSystemMixer, TheEndOfPlaybackGivesTheLineBack) {
  TestPlayer* player = AddPlayer("Mixing");
  AddFiles({"a"});
  ASSERT_TRUE(system.Play(true));
  const HOST_MIXERCONTROL control = ControlFor(player);
  ASSERT_TRUE(host.HOST_MixerSetVolume(control, 64));
  EXPECT_EQ(MasterLineValue(), 10000u);
  system.NotifyPlaybackFinished(PLAYBACK_FINISHED, player);
  ASSERT_TRUE(PumpUntil([&] { return MasterLineValue() == 40000u; }));
  int32_t level = 0;
  EXPECT_FALSE(host.HOST_MixerGetVolume(control, &level));
}

TEST_F(PlayerSystemMixer, ExitGivesTheLineBack) {
  TestPlayer* player = AddPlayer("Mixing");
  AddFiles({"a"});
  ASSERT_TRUE(system.Play(true));
  ASSERT_TRUE(host.HOST_MixerSetVolume(ControlFor(player), 128));
  EXPECT_EQ(MasterLineValue(), 20000u);
  system.Exit();
  EXPECT_EQ(MasterLineValue(), 40000u);
  EXPECT_EQ(mixer.GetDeviceCount(), 0) << "cleared";
}

// Slot 161 asks the program's player system, where nothing plays.
TEST(MixerSlots, TheControlSlotAsksThePlayerSystem) {
  const HostApiTable& host = *GetHostApiTable();
  int caller = 0;
  auto control = reinterpret_cast<HOST_MIXERCONTROL>(1);
  EXPECT_FALSE(host.HOST_GetMixerVolumeControl(kSpeakers, &caller, &control));
  EXPECT_EQ(control, nullptr);
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), 5u);
  EXPECT_FALSE(host.HOST_GetMixerVolumeControl(kSpeakers, &caller, nullptr));
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), 1u);
}

}  // namespace
}  // namespace playertest
