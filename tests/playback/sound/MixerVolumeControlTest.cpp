// The mixer volume control on the layer's mixer line (the master volume,
// 0..65535): levels relative to the line's value at the first set, the
// user moving the line meanwhile, the notices of the control's own sets,
// shared controls, lines no device has, notices of controls asked for on
// a player's thread, and controls used through the host after the host
// released them.
#include <gtest/gtest.h>
#include <twlwin/testing_sound.h>

#include <atomic>
#include <thread>

#include "../support/MasterLine.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/ClassManager.h"
#include "playback/mixer/MixerManager.h"
#include "playback/mixer/MixerVolumeControl.h"
#include "pluginhost/hostapi/HostApi.h"

namespace {

using playbacktest::MasterLineValue;

constexpr DWORD kSpeakers = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;

// The user-interface thread's loop, until nothing is queued.
void DeliverNotices() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// The user moves the slider, and the notice is delivered.
void UserMovesLine(DWORD value) {
  ASSERT_TRUE(TwlTestMoveMixerSlider(value));
  DeliverNotices();
}

HOST_MIXERCONTROL ToHost(CMixerVolumeControl* control) {
  return reinterpret_cast<HOST_MIXERCONTROL>(control->GetHandle());
}

class MixerVolumeControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UserMovesLine(40000);
    manager.Init();
  }
  CMixerVolumeControl* Control(DWORD type = kSpeakers) {
    CMixerVolumeControl* control = nullptr;
    EXPECT_TRUE(manager.GetVolumeControl(type, &control)) << GetThreadErrorText().c_str();
    return control;
  }

  CMixerManager manager;
};

TEST_F(MixerVolumeControlTest, LevelsScaleTheLineFromItsValueAtTheFirstSet) {
  ASSERT_EQ(manager.GetDeviceCount(), 1);
  CMixerVolumeControl* control = Control();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->GetVolume(), 256) << "not active yet";
  ASSERT_TRUE(control->SetVolume(128));
  EXPECT_EQ(MasterLineValue(), 20000u);
  EXPECT_EQ(control->GetVolume(), 128);
  DeliverNotices();  // the set's own notice changes nothing
  EXPECT_EQ(control->GetBaseValue(), 40000u);
  ASSERT_TRUE(control->SetVolume(256));
  EXPECT_EQ(MasterLineValue(), 40000u);
  ASSERT_TRUE(control->SetVolume(128));
  ASSERT_TRUE(control->RestoreVolume());
  EXPECT_EQ(control->GetVolume(), 256);
  EXPECT_EQ(MasterLineValue(), 40000u);
  DeliverNotices();
  EXPECT_EQ(control->Release(), 0);
  EXPECT_EQ(MasterLineValue(), 40000u);
}

TEST_F(MixerVolumeControlTest, TheUserMovingTheLineMovesTheBase) {
  const struct {
    int level;
    DWORD user;
    DWORD base;
    const char* why;
  } rows[] = {
      {128, 30000, 60000, "at half the level, the user's 30000 stands for 60000"},
      {64, 40000, 65535, "160000 does not fit the line: held at its maximum"},
      {0, 12345, 12345, "at level 0 the user's value is the base itself"},
      {256, 65535, 65535, "at full level the line is the base"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    UserMovesLine(40000);
    CMixerVolumeControl* control = Control();
    ASSERT_TRUE(control->SetVolume(row.level));
    DeliverNotices();
    UserMovesLine(row.user);
    EXPECT_EQ(control->GetBaseValue(), row.base);
    ASSERT_TRUE(control->SetVolume(256));
    EXPECT_EQ(MasterLineValue(), row.base);
    control->Release();  // the last: the line gets its base back
    EXPECT_EQ(MasterLineValue(), row.base);
    DeliverNotices();
  }
}

TEST_F(MixerVolumeControlTest, AnInactiveControlIgnoresTheUser) {
  CMixerVolumeControl* control = Control();
  UserMovesLine(10000);
  ASSERT_TRUE(control->SetVolume(128));
  EXPECT_EQ(MasterLineValue(), 5000u) << "the base is read at the first set";
  DeliverNotices();
  control->Release();
  EXPECT_EQ(MasterLineValue(), 10000u);
}

TEST_F(MixerVolumeControlTest, TwoRequestsShareOneControlUntilBothLetGo) {
  CMixerVolumeControl* first = Control();
  CMixerVolumeControl* second = Control();
  ASSERT_EQ(first, second);
  EXPECT_EQ(first->GetReferenceCount(), 2);
  ASSERT_TRUE(first->SetVolume(64));
  EXPECT_EQ(first->Release(), 1);
  EXPECT_EQ(MasterLineValue(), 10000u) << "still held";
  EXPECT_EQ(second->Release(), 0);
  EXPECT_EQ(MasterLineValue(), 40000u);
  // The device was closed with its last control; a new request opens it.
  CMixerVolumeControl* again = Control();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->GetReferenceCount(), 1);
  again->Release();
}

TEST_F(MixerVolumeControlTest, ALineNoDeviceHasIsUnavailable) {
  CMixerVolumeControl* control = reinterpret_cast<CMixerVolumeControl*>(1);
  EXPECT_FALSE(manager.GetVolumeControl(MIXERLINE_COMPONENTTYPE_DST_HEADPHONES, &control));
  EXPECT_EQ(control, nullptr);
  EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_MISC));
  EXPECT_EQ(GetThreadErrorState()->code, 8u);
  EXPECT_STREQ(GetThreadErrorState()->text, "the specified mixer control is unavailable");

  // Without a sound device there is no mixer device at all.
  const TwlTestSoundDevice noDevice{};
  TwlTestSetSoundDevices(&noDevice, 0);
  CMixerManager none;
  none.Init();
  EXPECT_EQ(none.GetDeviceCount(), 0);
  EXPECT_FALSE(none.GetVolumeControl(kSpeakers, &control));
  EXPECT_EQ(GetThreadErrorState()->code, 8u);
  TwlTestSetSoundDevices(nullptr, 0);
}

// A player asks on its own thread; the notices still reach the manager's
// window on the user-interface thread, so the user's move is followed.
TEST_F(MixerVolumeControlTest, NoticesOfAControlAskedForOnAPlayerThreadReachIt) {
  CMixerVolumeControl* control = nullptr;
  std::thread([&] {
    ASSERT_TRUE(manager.GetVolumeControl(kSpeakers, &control));
    ASSERT_TRUE(control->SetVolume(128));
  }).join();
  DeliverNotices();
  UserMovesLine(30000);
  EXPECT_EQ(control->GetBaseValue(), 60000u);
  control->Release();
  EXPECT_EQ(MasterLineValue(), 60000u);
}

// RestoreAllVolumes, as a stop runs it, releases the controls under the
// player's feet: the host's slots refuse them from then on.
TEST_F(MixerVolumeControlTest, AControlUsedThroughTheHostAfterAStopIsRefused) {
  const HostApiTable& host = *GetHostApiTable();
  CMixerVolumeControl* control = Control();
  Control();  // a second reference
  const HOST_MIXERCONTROL handle = ToHost(control);
  ASSERT_TRUE(host.HOST_MixerSetVolume(handle, 128));
  int32_t level = 0;
  ASSERT_TRUE(host.HOST_MixerGetVolume(handle, &level));
  EXPECT_EQ(level, 128);
  EXPECT_EQ(MasterLineValue(), 20000u);

  manager.RestoreAllVolumes();
  EXPECT_EQ(MasterLineValue(), 40000u);
  host.HOST_SetError(0, 0, nullptr);
  EXPECT_EQ(host.HOST_ReleaseMixerVolumeControl(handle), 0);
  EXPECT_EQ(host.HOST_GetErrorType(), 0u) << "releasing a released control does nothing";
  EXPECT_FALSE(host.HOST_MixerSetVolume(handle, 64));
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), 1u);
  level = 77;
  EXPECT_FALSE(host.HOST_MixerGetVolume(handle, &level));
  EXPECT_EQ(level, 0);
  EXPECT_FALSE(host.HOST_MixerRestoreVolume(handle));
  EXPECT_EQ(host.HOST_GetMiscErrorCode(), 1u);
  EXPECT_EQ(MasterLineValue(), 40000u);

  // A new control of the same line has a new handle.
  CMixerVolumeControl* fresh = Control();
  EXPECT_NE(ToHost(fresh), handle);
  EXPECT_EQ(host.HOST_ReleaseMixerVolumeControl(ToHost(fresh)), 0);
}

// A player keeps setting its level while the user-interface thread stops
// playback: every call either works on the live control or is refused.
TEST_F(MixerVolumeControlTest, AStopWhileAPlayerSetsItsLevelLeavesTheLineRestored) {
  const HostApiTable& host = *GetHostApiTable();
  for (int round = 0; round < 20; ++round) {
    const HOST_MIXERCONTROL handle = ToHost(Control());
    std::atomic<bool> refused{false};
    std::thread player([&] {
      for (int32_t level = 0; !refused; level = (level + 7) % 257) {
        if (!host.HOST_MixerSetVolume(handle, level)) refused = host.HOST_GetMiscErrorCode() == 1;
      }
    });
    manager.RestoreAllVolumes();
    player.join();
    EXPECT_EQ(MasterLineValue(), 40000u);
    DeliverNotices();
  }
}

TEST_F(MixerVolumeControlTest, ClearGivesEveryLineItsValueBack) {
  CMixerVolumeControl* control = Control();
  ASSERT_TRUE(control->SetVolume(32));
  EXPECT_EQ(MasterLineValue(), 5000u);
  manager.Clear();
  EXPECT_EQ(MasterLineValue(), 40000u);
  EXPECT_EQ(manager.GetDeviceCount(), 0);
  EXPECT_EQ(manager.GetNoticeWindow(), nullptr);

  const struct {
    const char* name;
    const char* base;
    bool creatable;
  } classes[] = {{"CMixerManager", "CTypedObject", true},
                 {"CMixer", "CDynamicObject", false},
                 {"CMixerVolumeControl", "CDynamicObject", false}};
  for (const auto& c : classes) {
    const CClassRecord* record = GetClassManager().FindClass(c.name);
    ASSERT_NE(record, nullptr) << c.name;
    EXPECT_TRUE(record->IsDerivedFrom(GetClassManager().FindClass(c.base))) << c.name;
    EXPECT_EQ(record->create != nullptr, c.creatable) << c.name;
  }
}

}  // namespace
