// Screevo loaded into a test process with a host table that records what
// the plug-in reports: the real host's table, with the slots Screevo
// reports through replaced by recorders (and the slots not built yet by
// recorders that answer as the placeholder does, MiscError 1).
#pragma once

#include <gtest/gtest.h>
#include <twlwin/testing_sound.h>

#include <string>
#include <vector>

#include "pluginhost/abi/PlugInAbi.h"
#include "support/SoundFiles.h"
#include "support/TestPaths.h"

namespace screevotest {

struct Recorded {
  std::vector<std::string> calls;  // "finished 0", "duration 2000", "extension .wav|WAV sound|1", ...
  std::vector<DWORD> positions;
  DWORD volume = 256;
  HWND mainWindow = nullptr;
};
Recorded& Record();

// Loads Screevo.dll and runs PLUGIN_Init with the recording table.
class ScreevoHost {
 public:
  ScreevoHost();
  ~ScreevoHost();

  const PlugInMainInterface& Main() const { return *main_; }
  const PlayerInterface* Player() const;
  const void* Object(DWORD kind) const { return main_->PLUGIN_GetObject(kind); }
  const HostApiTable& Table() const { return table_; }

  // Dispatches messages until the player reports its end or `limit`
  // messages have gone by (a guard, not a measure of time).
  bool PumpUntilFinished(int limit = 100000);
  // Dispatches what is waiting, for about `milliseconds`.
  void Pump(DWORD milliseconds);
  bool Finished() const;

 private:
  HMODULE module_ = nullptr;
  const PlugInMainInterface* main_ = nullptr;
  HostApiTable table_{};
};

// The thread error's text as the host holds it.
std::string ErrorText();

using twltest::SoxTone;
// An Ogg Vorbis file made by gst-launch-1.0, and what gst-launch-1.0
// decodes it to (16-bit little-endian).
std::string OggTone(const std::string& folder, const std::string& name, int buffers, std::string* decoded);

inline std::string Quote(const std::string& text) { return "'" + text + "'"; }

}  // namespace screevotest
