// The preferred sound options kept in the settings key's "\SoundOptions":
// read and checked at start, written when the user applies new ones.
#include <array>

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/StepTiming.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/sound/DirectSoundCalls.h"

namespace {

constexpr DWORD kWarningCategory = 0x10000;
constexpr DWORD kErrorCategory = 0x100;
constexpr const char* kSubKey = "\\SoundOptions";
constexpr DWORD kGuidSize = 16;

using GuidBytes = std::array<BYTE, kGuidSize>;

// The GUID as it is stored: its four fields one after the other,
// little-endian.
GuidBytes StoredGuid(const GUID* guid) {
  GuidBytes bytes{};
  if (!guid) return bytes;
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(guid->Data1 >> (8 * i));
  for (int i = 0; i < 2; ++i) bytes[4 + i] = static_cast<BYTE>(guid->Data2 >> (8 * i));
  for (int i = 0; i < 2; ++i) bytes[6 + i] = static_cast<BYTE>(guid->Data3 >> (8 * i));
  for (int i = 0; i < 8; ++i) bytes[8 + i] = guid->Data4[i];
  return bytes;
}

GUID GuidOfStored(const GuidBytes& bytes) {
  GUID guid{};
  for (int i = 0; i < 4; ++i) guid.Data1 |= static_cast<DWORD>(bytes[i]) << (8 * i);
  guid.Data2 = static_cast<WORD>(bytes[4] | bytes[5] << 8);
  guid.Data3 = static_cast<WORD>(bytes[6] | bytes[7] << 8);
  for (int i = 0; i < 8; ++i) guid.Data4[i] = bytes[8 + i];
  return guid;
}

bool OpenSoundOptionsKey(bool writing, HKEY* key) {
  const CStr path = GetSettingsPath() + kSubKey;
  const LONG result = writing ? RegCreateKeyExA(GetSettingsRoot(), path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                KEY_SET_VALUE, nullptr, key, nullptr)
                              : RegOpenKeyExA(GetSettingsRoot(), path, 0, KEY_QUERY_VALUE, key);
  if (result == ERROR_SUCCESS) return true;
  *key = nullptr;
  return false;
}

void Warn(const char* key, const char* text) { LogFormat(kWarningCategory, "%s\n", LocalText(key, text).c_str()); }

// A DWORD value that is one of the accepted ones, or a warning and the
// default left as it is.
void ReadChoice(HKEY key, const char* name, std::initializer_list<DWORD> accepted, DWORD& value, const char* textKey,
                const char* text) {
  DWORD read = 0;
  if (GetRegistryDWord(key, name, &read)) {
    for (DWORD choice : accepted) {
      if (read != choice) continue;
      value = read;
      return;
    }
  }
  Warn(textKey, text);
}

void ReadSoundOptions(HKEY key, SoundOptions& options) {
  GuidBytes device{};
  if (!GetRegistryBinary(key, "PreferredDevice", device.data(), kGuidSize)) {
    Warn("CPlayerSystem.LoadSoundDevice",
         "Error reading preferred sound device from registry. It will be set to its default value.");
  } else if (device != GuidBytes{}) {
    const GUID guid = GuidOfStored(device);
    options.SetDevice(&guid);
  }
  ReadChoice(key, "PreferredFrequency", {11025, 22050, 44100}, options.frequency, "CPlayerSystem.LoadSoundFrequency",
             "Error reading preferred sound frequency from registry. It will be set to its default value.");
  ReadChoice(key, "PreferredBitsPerSample", {8, 16}, options.bitsPerSample, "CPlayerSystem.LoadSoundSampleSize",
             "Error reading preferred sound sample size from registry. It will be set to its default value.");
  ReadChoice(key, "PreferredChannels", {1, 2}, options.channels, "CPlayerSystem.LoadSoundChannels",
             "Error reading preferred sound channel count from registry. It will be set to its default value.");
  ReadChoice(key, "PreferredCooperativeLevel", {1, 2, 3}, options.cooperativeLevel,
             "CPlayerSystem.LoadSoundCooperativeLevel",
             "Error reading preferred DirectSound cooperative level from registry. It will be set to its default "
             "value.");
}

}  // namespace

void CPlayerSystem::LoadOptions() {
  LoadSoundOptions();
  // The player preferences join here once they have a stored form.
}

void CPlayerSystem::LoadSoundOptions() {
  SoundOptions options;
  HKEY key = nullptr;
  const bool stored = OpenSoundOptionsKey(false, &key);
  if (stored) {
    ReadSoundOptions(key, options);
    RegCloseKey(key);
  } else {
    FitDefaultSoundOptions(options);
  }
  {
    CriticalSectionLock lock(m_SoundOptionsLock);
    m_SoundOptions = options;
  }
  if (stored) CheckPreferredSoundDevice();
}

void CPlayerSystem::SaveSoundOptions() {
  HKEY key = nullptr;
  if (!OpenSoundOptionsKey(true, &key)) {
    LogFormat(kErrorCategory, "%s\n",
              LocalText("CPlayerSystem.StoreSoundOptions.ErrorCreateKey",
                        "Error creating sound options registry key. Unable to store sound options.")
                  .c_str());
    return;
  }
  SoundOptions options;
  GetSoundOptions(options);
  const GuidBytes device = StoredGuid(options.GetDevice());
  // Every value is written even after one failed.
  bool written = SetRegistryBinary(key, "PreferredDevice", device.data(), kGuidSize);
  written &= SetRegistryDWord(key, "PreferredFrequency", options.frequency);
  written &= SetRegistryDWord(key, "PreferredBitsPerSample", options.bitsPerSample);
  written &= SetRegistryDWord(key, "PreferredChannels", options.channels);
  written &= SetRegistryDWord(key, "PreferredCooperativeLevel", options.cooperativeLevel);
  RegCloseKey(key);
  if (written) return;
  LogFormat(kErrorCategory, "%s\n",
            LocalText("CPlayerSystem.StoreSoundOptions.ErrorStoreValues",
                      "Unable to write one or more sound options values to the registry. They will be initialized "
                      "with their old values when the player restarts.")
                .c_str());
}

void CPlayerSystem::GetSoundOptions(SoundOptions& options) {
  CriticalSectionLock lock(m_SoundOptionsLock);
  options.Assign(m_SoundOptions);
}

void CPlayerSystem::SetSoundOptions(const SoundOptions& options) {
  {
    CriticalSectionLock lock(m_SoundOptionsLock);
    m_SoundOptions.Assign(options);
  }
  SaveSoundOptions();
}

void CPlayerSystem::CheckPreferredSoundDevice() {
  TimedStep timed("validate preferred sound device");
  SoundOptions options;
  GetSoundOptions(options);
  if (!options.GetDevice()) return;
  IDirectSound* directSound = nullptr;
  if (CreateDirectSoundObject(options.GetDevice(), &directSound)) {
    directSound->Release();
    return;
  }
  const ThreadErrorState* error = GetThreadErrorState();
  if (error->type != THREAD_ERROR_DIRECTSOUND || error->code != static_cast<DWORD>(DSERR_NODRIVER)) return;
  Warn("CPlayerSystem.PreferredSoundDeviceNotFound",
       "WARNING: Unable to find preferred sound device. Switching to default device.");
  CriticalSectionLock lock(m_SoundOptionsLock);
  m_SoundOptions.SetDevice(nullptr);
}
