#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "GuidText.h"
#include "StdoutLogFront.h"
#include "driver/Command.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/sound/SoundOptions.h"

namespace {

bool ParseNumber(const std::string& text, DWORD& value) {
  char* end = nullptr;
  errno = 0;
  const unsigned long parsed = std::strtoul(text.c_str(), &end, 10);
  if (errno != 0 || text.empty() || text[0] == '-' || *end != '\0' || parsed > 0xFFFFFFFFul) return false;
  value = static_cast<DWORD>(parsed);
  return true;
}

}  // namespace

TOOL_COMMAND(RunSoundOptions, "soundoptions",
             "[--save FREQ BITS CHANNELS LEVEL]  load the preferred sound options from the settings key's "
             "\\SoundOptions as the player does at start (its warnings are printed), with --save keep the device "
             "and store the four numbers as the sound options page applies them, then print \"device "
             "DEFAULT|{GUID} frequency F bits B channels C level L\"") {
  DWORD values[4] = {};
  const bool save = !args.empty() && args[0] == "--save";
  if (save) {
    if (args.size() != 5) return tool::Fail("--save takes FREQ BITS CHANNELS LEVEL");
    for (size_t i = 0; i < 4; ++i)
      if (!ParseNumber(args[i + 1], values[i])) return tool::Fail("not a number: " + args[i + 1]);
  } else if (!args.empty()) {
    return tool::Fail("unknown argument " + args[0]);
  }

  twltool::StdoutLogFront front;
  CPlayerSystem& system = GetPlayerSystem();
  system.LoadOptions();
  SoundOptions options;
  system.GetSoundOptions(options);
  if (save) {
    options.frequency = values[0];
    options.bitsPerSample = values[1];
    options.channels = values[2];
    options.cooperativeLevel = values[3];
    system.SetSoundOptions(options);
    system.GetSoundOptions(options);
  }
  std::printf("device %s frequency %u bits %u channels %u level %u\n",
              options.GetDevice() ? twltool::GuidText(*options.GetDevice()).c_str() : "DEFAULT",
              static_cast<unsigned>(options.frequency), static_cast<unsigned>(options.bitsPerSample),
              static_cast<unsigned>(options.channels), static_cast<unsigned>(options.cooperativeLevel));
  return 0;
}
