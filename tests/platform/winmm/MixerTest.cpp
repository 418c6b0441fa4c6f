// The mixer line over the master volume: finding the line and its volume
// control by device index and by handle, reading and setting the value,
// and the change notices its openers get.
#include <windows.h>
#include <twlwin/testing_sound.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

HWND NoticeWindow() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "mixer test";
    return RegisterClassA(&windowClass) != 0;
  }();
  EXPECT_TRUE(registered);
  return CreateWindowExA(0, "mixer test", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

struct Notice {
  HWND window;
  WPARAM mixer;
  LPARAM control;
};

std::vector<Notice> TakeNotices() {
  std::vector<Notice> notices;
  MSG message;
  while (PeekMessageA(&message, nullptr, MM_MIXM_CONTROL_CHANGE, MM_MIXM_CONTROL_CHANGE, PM_REMOVE)) {
    notices.push_back({message.hwnd, message.wParam, message.lParam});
  }
  return notices;
}

HMIXEROBJ Device(UINT index) { return reinterpret_cast<HMIXEROBJ>(static_cast<uintptr_t>(index)); }
HMIXEROBJ Object(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

MIXERLINEA LineOfType(DWORD type) {
  MIXERLINEA line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = type;
  return line;
}

// A request for one channel's unsigned value.
MIXERCONTROLDETAILS ValueRequest(DWORD control, MIXERCONTROLDETAILS_UNSIGNED& details) {
  MIXERCONTROLDETAILS request{};
  request.cbStruct = sizeof request;
  request.dwControlID = control;
  request.cChannels = 1;
  request.cbDetails = sizeof details;
  request.paDetails = &details;
  return request;
}

MMRESULT GetValue(HMIXEROBJ object, DWORD flags, DWORD control, DWORD& value) {
  MIXERCONTROLDETAILS_UNSIGNED details{};
  MIXERCONTROLDETAILS request = ValueRequest(control, details);
  const MMRESULT result = mixerGetControlDetailsA(object, &request, flags | MIXER_GETCONTROLDETAILSF_VALUE);
  value = details.dwValue;
  return result;
}

MMRESULT SetValue(HMIXEROBJ object, DWORD flags, DWORD control, DWORD value) {
  MIXERCONTROLDETAILS_UNSIGNED details{value};
  MIXERCONTROLDETAILS request = ValueRequest(control, details);
  return mixerSetControlDetails(object, &request, flags | MIXER_SETCONTROLDETAILSF_VALUE);
}

// The speakers line's volume control, as a program looks it up.
MIXERCONTROLA VolumeControl(HMIXEROBJ object, DWORD flags) {
  MIXERLINEA line = LineOfType(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
  EXPECT_EQ(mixerGetLineInfoA(object, &line, flags | MIXER_GETLINEINFOF_COMPONENTTYPE), MMSYSERR_NOERROR);
  EXPECT_EQ(line.cControls, 1u);
  MIXERCONTROLA control{};
  MIXERLINECONTROLSA request{};
  request.cbStruct = sizeof request;
  request.dwLineID = line.dwLineID;
  request.cControls = line.cControls;
  request.cbmxctrl = sizeof control;
  request.pamxctrl = &control;
  EXPECT_EQ(mixerGetLineControlsA(object, &request, flags | MIXER_GETLINECONTROLSF_ALL), MMSYSERR_NOERROR);
  return control;
}

TEST(Mixer, DeviceZeroHasASpeakersLineWithTheMasterVolume) {
  ASSERT_EQ(mixerGetNumDevs(), 1u);
  EXPECT_EQ(sizeof(MIXERLINEA), 168u);
  EXPECT_EQ(sizeof(MIXERCONTROLA), 148u);
  MIXERLINEA line = LineOfType(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
  ASSERT_EQ(mixerGetLineInfoA(Device(0), &line, MIXER_GETLINEINFOF_COMPONENTTYPE), MMSYSERR_NOERROR);
  EXPECT_EQ(line.dwComponentType, static_cast<DWORD>(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS));
  EXPECT_EQ(line.cChannels, 1u);
  const MIXERCONTROLA control = VolumeControl(Device(0), MIXER_OBJECTF_MIXER);
  EXPECT_EQ(control.dwControlType, 0x50030001u);
  EXPECT_EQ(control.Bounds.dwMinimum, 0u);
  EXPECT_EQ(control.Bounds.dwMaximum, 65535u);
  DWORD value = 0;
  ASSERT_EQ(GetValue(Device(0), MIXER_OBJECTF_MIXER, control.dwControlID, value), MMSYSERR_NOERROR);
  EXPECT_EQ(value, 65535u) << "the volume starts at full scale";
}

TEST(Mixer, RefusesWhatItDoesNotHave) {
  const DWORD control = VolumeControl(Device(0), MIXER_OBJECTF_MIXER).dwControlID;
  MIXERLINEA line = LineOfType(MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
  EXPECT_EQ(mixerGetLineInfoA(Device(0), &line, MIXER_GETLINEINFOF_COMPONENTTYPE), MIXERR_INVALLINE);
  line = LineOfType(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
  EXPECT_EQ(mixerGetLineInfoA(Device(1), &line, MIXER_GETLINEINFOF_COMPONENTTYPE), MMSYSERR_BADDEVICEID);
  line.cbStruct = 100;
  EXPECT_EQ(mixerGetLineInfoA(Device(0), &line, MIXER_GETLINEINFOF_COMPONENTTYPE), MMSYSERR_INVALPARAM);
  DWORD value = 0;
  EXPECT_EQ(GetValue(Device(0), MIXER_OBJECTF_MIXER, control + 1, value), MIXERR_INVALCONTROL);
  EXPECT_EQ(GetValue(Object(reinterpret_cast<HMIXER>(uintptr_t{0x7F00})), MIXER_OBJECTF_HMIXER, control, value),
            MMSYSERR_INVALHANDLE);
  EXPECT_EQ(SetValue(Device(0), MIXER_OBJECTF_MIXER, control, 65536), MIXERR_INVALVALUE);
  ASSERT_EQ(GetValue(Device(0), MIXER_OBJECTF_MIXER, control, value), MMSYSERR_NOERROR);
  EXPECT_EQ(value, 65535u) << "a refused value changes nothing";
  HMIXER mixer = nullptr;
  EXPECT_EQ(mixerOpen(&mixer, 1, 0, 0, 0), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(mixerOpen(&mixer, 0, 0x7F00, 0, CALLBACK_WINDOW), MMSYSERR_INVALPARAM) << "no such window";
  EXPECT_EQ(mixerClose(reinterpret_cast<HMIXER>(uintptr_t{0x7F00})), MMSYSERR_INVALHANDLE);
}

// Every change posts one notice to every window that opened the mixer,
// whether a program set the value (the same value included) or the user
// moved the slider. A handle opened without a window gets none.
TEST(Mixer, EveryChangePostsOneNoticeToEachOpener) {
  HWND first = NoticeWindow();
  HWND second = NoticeWindow();
  HMIXER firstMixer = nullptr, secondMixer = nullptr, quietMixer = nullptr;
  ASSERT_EQ(mixerOpen(&firstMixer, 0, reinterpret_cast<DWORD_PTR>(first), 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
  ASSERT_EQ(mixerOpen(&secondMixer, 0, reinterpret_cast<DWORD_PTR>(second), 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
  ASSERT_EQ(mixerOpen(&quietMixer, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  const MIXERCONTROLA control = VolumeControl(Object(firstMixer), MIXER_OBJECTF_HMIXER);
  EXPECT_TRUE(TakeNotices().empty()) << "looking changes nothing";

  const struct {
    const char* why;
    bool bySlider;
    DWORD value;
  } changes[] = {{"own set", false, 40000}, {"the same value again", false, 40000}, {"the user's slider", true, 30000}};
  for (const auto& change : changes) {
    if (change.bySlider) {
      ASSERT_TRUE(TwlTestMoveMixerSlider(change.value)) << change.why;
    } else {
      ASSERT_EQ(SetValue(Object(secondMixer), MIXER_OBJECTF_HMIXER, control.dwControlID, change.value), MMSYSERR_NOERROR);
    }
    const std::vector<Notice> notices = TakeNotices();
    ASSERT_EQ(notices.size(), 2u) << change.why;
    for (const Notice& notice : notices) {
      const HMIXER expected = notice.window == first ? firstMixer : secondMixer;
      EXPECT_EQ(notice.mixer, reinterpret_cast<WPARAM>(expected)) << change.why;
      EXPECT_EQ(notice.control, static_cast<LPARAM>(control.dwControlID)) << change.why;
    }
    DWORD value = 0;
    ASSERT_EQ(GetValue(Object(quietMixer), MIXER_OBJECTF_HMIXER, control.dwControlID, value), MMSYSERR_NOERROR);
    EXPECT_EQ(value, change.value) << change.why;
  }
  EXPECT_FALSE(TwlTestMoveMixerSlider(65536));
  EXPECT_TRUE(TakeNotices().empty());

  ASSERT_EQ(mixerClose(secondMixer), MMSYSERR_NOERROR);
  ASSERT_TRUE(TwlTestMoveMixerSlider(20000));
  const std::vector<Notice> notices = TakeNotices();
  ASSERT_EQ(notices.size(), 1u) << "a closed handle gets no more";
  EXPECT_EQ(notices[0].window, first);
  mixerClose(firstMixer);
  mixerClose(quietMixer);
}

TEST(Mixer, NoSoundDeviceMeansNoMixer) {
  TwlTestSoundDevice none{};
  TwlTestSetSoundDevices(&none, 0);
  EXPECT_EQ(mixerGetNumDevs(), 0u);
  HMIXER mixer = nullptr;
  EXPECT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), MMSYSERR_BADDEVICEID);
  TwlTestSetSoundDevices(nullptr, 0);
  EXPECT_EQ(mixerGetNumDevs(), 1u);
}

}  // namespace
