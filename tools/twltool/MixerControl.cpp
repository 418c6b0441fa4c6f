#include "MixerControl.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "HostCalls.h"
#include "driver/Numbers.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/mixer/MixerLine.h"
#include "playback/mixer/MixerManager.h"
#include "playback/mixer/MixerVolumeControl.h"

namespace twltool {
namespace {

constexpr char kUsage[] = "mixer control [--line VALUE] [--user VALUE] TYPE LEVEL";

struct ControlOptions {
  DWORD type = 0;
  int32_t level = 0;
  int64_t line = -1;  // -1: as it is
  int64_t user = -1;  // -1: the user leaves it alone
};

bool ParseOptions(const tool::Args& args, ControlOptions& options) {
  size_t i = 0;
  uint64_t number = 0;
  for (; i + 1 < args.size() && args[i].starts_with("--"); i += 2) {
    if (!tool::ParseUnsigned(args[i + 1], number, 0xFFFFFFFF)) return false;
    if (args[i] == "--line") {
      options.line = static_cast<int64_t>(number);
    } else if (args[i] == "--user") {
      options.user = static_cast<int64_t>(number);
    } else {
      return false;
    }
  }
  int64_t level = 0;
  if (i + 2 != args.size() || !tool::ParseUnsigned(args[i], number, 0xFFFFFFFF) ||
      !tool::ParseSigned(args[i + 1], level) || level < INT32_MIN || level > INT32_MAX) {
    return false;
  }
  options.type = static_cast<DWORD>(number);
  options.level = static_cast<int32_t>(level);
  return true;
}

// The line's value as any program reads it: through a handle of its own.
// Notices of the sets that reach the manager's window are handled first.
struct Line {
  HMIXER mixer = nullptr;
  DWORD control = 0;

  bool Open(DWORD type) {
    if (mixerOpen(&mixer, 0, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return false;
    MIXERCONTROLA found{};
    if (QueryVolumeControl(reinterpret_cast<HMIXEROBJ>(mixer), MIXER_OBJECTF_HMIXER, type, found)) return false;
    control = found.dwControlID;
    return true;
  }
  ~Line() {
    if (mixer) mixerClose(mixer);
  }
  bool Value(DWORD& value, bool set) {
    MIXERCONTROLDETAILS_UNSIGNED details{value};
    MIXERCONTROLDETAILS request = ValueDetails(control, details);
    auto object = reinterpret_cast<HMIXEROBJ>(mixer);
    const MMRESULT result = set ? mixerSetControlDetails(object, &request, MIXER_OBJECTF_HMIXER)
                                : mixerGetControlDetailsA(object, &request, MIXER_OBJECTF_HMIXER);
    value = details.dwValue;
    return result == MMSYSERR_NOERROR;
  }
  std::string Read() {
    DWORD value = 0;
    return Value(value, false) ? std::to_string(value) : "unreadable";
  }
};

// Runs the user-interface thread's loop until nothing is queued.
void DeliverNotices() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

std::string GetVolumeText(HOST_MIXERCONTROL control) {
  int32_t level = 0;
  return Host().HOST_MixerGetVolume(control, &level) ? std::to_string(level) : "failed: " + HostErrorText();
}

}  // namespace

int RunMixerControl(const tool::Args& args) {
  ControlOptions options;
  if (!ParseOptions(args, options)) return tool::Fail(std::string("mixer: ") + kUsage);

  // The manager as the player system starts it on the user-interface
  // thread, and the control as the host hands it to the current player.
  CMixerManager manager;
  manager.Init();
  CMixerVolumeControl* made = nullptr;
  if (!manager.GetVolumeControl(options.type, &made)) {
    return tool::Fail(std::string("mixer: no volume control: ") + GetThreadErrorText().c_str());
  }
  const auto control = reinterpret_cast<HOST_MIXERCONTROL>(made->GetHandle());
  Line line;
  if (!line.Open(options.type)) return tool::Fail("mixer: the line cannot be read");
  if (options.line >= 0) {
    DWORD value = static_cast<DWORD>(options.line);
    if (!line.Value(value, true)) return tool::Fail("mixer: the line cannot take " + std::to_string(options.line));
    DeliverNotices();
  }
  std::printf("line %s\n", line.Read().c_str());
  if (!Host().HOST_MixerSetVolume(control, options.level))
    return tool::Fail("mixer: SetVolume failed: " + HostErrorText());
  DeliverNotices();
  std::printf("level %d: line %s, GetVolume %s\n", options.level, line.Read().c_str(), GetVolumeText(control).c_str());
  if (options.user >= 0) {
    DWORD value = static_cast<DWORD>(options.user);
    if (!line.Value(value, true)) return tool::Fail("mixer: the line cannot take " + std::to_string(options.user));
    DeliverNotices();
    std::printf("user: line %s\n", line.Read().c_str());
  }
  if (!Host().HOST_MixerRestoreVolume(control)) return tool::Fail("mixer: RestoreVolume failed: " + HostErrorText());
  DeliverNotices();
  std::printf("restored: line %s, GetVolume %s\n", line.Read().c_str(), GetVolumeText(control).c_str());
  const LONG left = Host().HOST_ReleaseMixerVolumeControl(control);
  manager.Clear();
  std::printf("released: %ld references left\n", static_cast<long>(left));
  return 0;
}

}  // namespace twltool
