#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "HiddenWindow.h"
#include "MixerControl.h"
#include "driver/Command.h"
#include "playback/mixer/MixerLine.h"

namespace {

struct VolumeControl {
  HMIXER mixer = nullptr;
  DWORD id = 0;
  DWORD maximum = 0;
};

int FailCall(const char* call, MMRESULT result) {
  return tool::Fail(std::string("mixer: ") + call + " failed: " + std::to_string(result));
}

// The speakers line's volume control, found as a program finds it: by the
// line's component type, then among all of the line's controls.
MMRESULT FindVolume(HMIXER mixer, VolumeControl& control) {
  MIXERCONTROLA found{};
  const MMRESULT result = QueryVolumeControl(reinterpret_cast<HMIXEROBJ>(mixer), MIXER_OBJECTF_HMIXER,
                                             MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, found);
  if (result == MMSYSERR_NOERROR) control = {mixer, found.dwControlID, found.Bounds.dwMaximum};
  return result;
}

bool ParseValue(const std::string& text, DWORD& value) {
  char* end = nullptr;
  errno = 0;
  const unsigned long parsed = std::strtoul(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != '\0' || text[0] == '-' || parsed > 0xFFFFFFFFul) return false;
  value = static_cast<DWORD>(parsed);
  return true;
}

// The change notices that reached the window.
int CountNotices(HWND window) {
  int notices = 0;
  MSG message;
  while (PeekMessageA(&message, window, MM_MIXM_CONTROL_CHANGE, MM_MIXM_CONTROL_CHANGE, PM_REMOVE)) ++notices;
  return notices;
}

}  // namespace

TOOL_COMMAND(RunMixer, "mixer",
             "get | set VALUE | control [--line VALUE] [--user VALUE] TYPE LEVEL\n"
             "      the master volume of mixer device 0 (its speakers line's volume control):\n"
             "      get prints it; set changes it (0..65535) and prints 'VALUE (N change notice(s))',\n"
             "      the value read back and the notices that reached the opening window.\n"
             "      control drives the volume control of the line of component TYPE (4: speakers)\n"
             "      as the current player does through the host: the line is first set to --line;\n"
             "      prints 'line V', then sets LEVEL (0..256 of the line's value) and prints\n"
             "      'level L: line V, GetVolume L'; with --user the user then moves the line\n"
             "      ('user: line V'); restores ('restored: line V, GetVolume L') and releases the\n"
             "      control ('released: N references left')") {
  if (!args.empty() && args[0] == "control") return twltool::RunMixerControl(tool::Args(args.begin() + 1, args.end()));
  const bool set = args.size() == 2 && args[0] == "set";
  if (!set && !(args.size() == 1 && args[0] == "get")) return tool::Fail("mixer: get, set VALUE or control TYPE LEVEL");
  DWORD wanted = 0;
  if (set && !ParseValue(args[1], wanted)) return tool::Fail("mixer: not a value: '" + args[1] + "'");
  HWND window = twltool::MakeHiddenWindow();
  HMIXER mixer = nullptr;
  if (MMRESULT result = mixerOpen(&mixer, 0, reinterpret_cast<DWORD_PTR>(window), 0, CALLBACK_WINDOW)) {
    return FailCall("mixerOpen", result);
  }
  VolumeControl control;
  MMRESULT result = FindVolume(mixer, control);
  MIXERCONTROLDETAILS_UNSIGNED value{wanted};
  MIXERCONTROLDETAILS details = ValueDetails(control.id, value);
  auto object = reinterpret_cast<HMIXEROBJ>(mixer);
  if (result == MMSYSERR_NOERROR && set) {
    if (wanted > control.maximum) {
      mixerClose(mixer);
      return tool::Fail("mixer: " + args[1] + " is above " + std::to_string(control.maximum));
    }
    result = mixerSetControlDetails(object, &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
  }
  if (result == MMSYSERR_NOERROR) {
    result = mixerGetControlDetailsA(object, &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
  }
  const int notices = CountNotices(window);
  mixerClose(mixer);
  if (result != MMSYSERR_NOERROR) return FailCall(set ? "setting the volume" : "reading the volume", result);
  if (!set) {
    std::printf("%u\n", static_cast<unsigned>(value.dwValue));
    return 0;
  }
  std::printf("%u (%d change notice%s)\n", static_cast<unsigned>(value.dwValue), notices, notices == 1 ? "" : "s");
  return 0;
}
