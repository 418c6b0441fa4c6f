#include "playback/sound/SoundOptions.h"

#include "display/directx/DirectSoundLoader.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "playback/sound/DirectSoundCalls.h"

SoundOptions::SoundOptions() = default;

void SoundOptions::SetDefaults() {
  m_Device.reset();
  frequency = 44100;
  bitsPerSample = 16;
  channels = 2;
  cooperativeLevel = DSSCL_PRIORITY;
}

void SoundOptions::SetDevice(const GUID* device) {
  m_Device = device ? std::make_unique<GUID>(*device) : nullptr;
}

void SoundOptions::Assign(const SoundOptions& other) {
  SetDevice(other.GetDevice());
  frequency = other.frequency;
  bitsPerSample = other.bitsPerSample;
  channels = other.channels;
  cooperativeLevel = other.cooperativeLevel;
}

bool SoundDeviceCaps::Query(const GUID* device) {
  IDirectSound* directSound = nullptr;
  if (!CreateDirectSoundObject(device, &directSound)) return false;
  const bool read = QueryFromDirectSound(directSound);
  directSound->Release();
  return read;
}

bool SoundDeviceCaps::QueryFromDirectSound(IDirectSound* directSound) {
  DSCAPS caps{};
  static_assert(sizeof(DSCAPS) == 96);
  caps.dwSize = sizeof(DSCAPS);
  if (HRESULT result = directSound->GetCaps(&caps); FAILED(result)) return FailWithDirectSoundError(result);
  SetFromFlags(caps.dwFlags);
  return true;
}

void SoundDeviceCaps::SetFromFlags(DWORD capsFlags) {
  primary8Bit = (capsFlags & DSCAPS_PRIMARY8BIT) != 0;
  primary16Bit = (capsFlags & DSCAPS_PRIMARY16BIT) != 0;
  stereo = (capsFlags & DSCAPS_PRIMARYSTEREO) != 0;
  mono = (capsFlags & DSCAPS_PRIMARYMONO) != 0;
}

void FitDefaultSoundOptions(SoundOptions& options) {
  options.SetDefaults();
  SoundDeviceCaps caps;
  if (!caps.Query(options.GetDevice())) return;
  if (!caps.primary16Bit) options.frequency = 22050;
  if (options.channels == 1 && !caps.mono) options.channels = 2;
  if (options.channels == 2 && !caps.stereo) options.channels = 1;
  if (options.bitsPerSample == 8 && !caps.primary8Bit) options.bitsPerSample = 16;
  if (options.bitsPerSample == 16 && !caps.primary16Bit) options.bitsPerSample = 8;
}
