#include <string>
#include <vector>

#include "SoundDevices.h"
#include "SoundEngine.h"
#include "twlwin/testing_sound.h"

TWLAPI BOOL TwlTestSetSoundSink(LPCSTR sink) {
  twl::sound::SoundEngine& engine = twl::sound::SoundEngine::Get();
  try {
    const std::string choice = sink ? sink : "";
    return engine.Update([&] { return engine.ChooseSink(choice); }) ? TRUE : FALSE;
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

TWLAPI void TwlTestSetSoundDevices(const TwlTestSoundDevice* devices, DWORD count) {
  if (!devices) {
    twl::sound::SetSoundDevices(nullptr);
    return;
  }
  std::vector<twl::sound::SoundDevice> list;
  for (DWORD i = 0; i < count; ++i) {
    list.push_back({devices[i].guid, devices[i].description ? devices[i].description : "", devices[i].primaryCaps});
  }
  twl::sound::SetSoundDevices(&list);
}

TWLAPI void TwlTestLoseSoundBuffers() {
  twl::sound::SoundEngine& engine = twl::sound::SoundEngine::Get();
  engine.Update([&] { engine.LoseAllVoices(); });
}
