#include <dsound.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "GuidText.h"
#include "HiddenWindow.h"
#include "WavFile.h"
#include "driver/Command.h"

namespace {

constexpr uint32_t kBufferMilliseconds = 500;
constexpr DWORD kPollMilliseconds = 10;

std::string Hex(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
  return text;
}

int FailCall(const char* call, HRESULT result) { return tool::Fail(std::string("dsound: ") + call + " failed: " + Hex(result)); }

// DirectSound as a program finds it: through "dsound.dll".
struct DirectSoundEntries {
  LPDIRECTSOUNDCREATE create = nullptr;
  LPDIRECTSOUNDENUMERATEA enumerate = nullptr;
};

bool LoadDirectSound(DirectSoundEntries& entries) {
  HMODULE module = LoadLibraryA("dsound.dll");
  if (!module) return false;
  entries.create = reinterpret_cast<LPDIRECTSOUNDCREATE>(reinterpret_cast<void*>(GetProcAddress(module, "DirectSoundCreate")));
  entries.enumerate =
      reinterpret_cast<LPDIRECTSOUNDENUMERATEA>(reinterpret_cast<void*>(GetProcAddress(module, "DirectSoundEnumerateA")));
  return entries.create && entries.enumerate;
}

BOOL PrintDevice(LPGUID guid, LPCSTR description, LPCSTR, LPVOID) {
  std::printf("%s\t%s\n", guid ? twltool::GuidText(*guid).c_str() : "-", description);
  return TRUE;
}

int ListDevices(const DirectSoundEntries& entries) {
  if (HRESULT result = entries.enumerate(&PrintDevice, nullptr); FAILED(result)) return FailCall("DirectSoundEnumerateA", result);
  return 0;
}

bool ParseHundredths(const std::string& text, LONG& value) {
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != '\0' || parsed < -100000 || parsed > 100000) return false;
  value = static_cast<LONG>(parsed);
  return true;
}

// Releases an interface when the scope ends.
template <class Interface>
struct Held {
  Interface* object = nullptr;
  ~Held() {
    if (object) object->Release();
  }
};

// Copies `size` bytes of the sound from `source` (zeros past its end) into
// the buffer at `offset`.
HRESULT Fill(IDirectSoundBuffer& buffer, DWORD offset, DWORD size, std::string_view sound, size_t& source) {
  LPVOID parts[2] = {};
  DWORD sizes[2] = {};
  if (HRESULT result = buffer.Lock(offset, size, &parts[0], &sizes[0], &parts[1], &sizes[1], 0); FAILED(result)) {
    return result;
  }
  for (int i = 0; i < 2; ++i) {
    if (sizes[i] == 0) continue;
    auto* target = static_cast<char*>(parts[i]);
    const size_t copied = std::min<size_t>(sizes[i], sound.size() - std::min(source, sound.size()));
    if (copied) std::memcpy(target, sound.data() + source, copied);
    std::memset(target + copied, 0, sizes[i] - copied);
    source += sizes[i];
  }
  return buffer.Unlock(parts[0], sizes[0], parts[1], sizes[1]);
}

struct PlayOptions {
  LONG volume = DSBVOLUME_MAX;
  LONG pan = DSBPAN_CENTER;
  std::string path;
};

// One streaming buffer of half a second, refilled as the play cursor frees
// it, until the play cursor has passed the end of the sound.
int PlayFile(const DirectSoundEntries& entries, const PlayOptions& options) {
  std::string bytes;
  twltool::WavSound sound;
  std::string error;
  if (!twltool::LoadWav(options.path, bytes, sound, error)) return tool::Fail("dsound: " + error);
  if (sound.rate < DSBFREQUENCY_MIN || sound.rate > DSBFREQUENCY_MAX) {
    return tool::Fail("dsound: " + options.path + ": a rate of " + std::to_string(sound.rate) + " Hz is not played");
  }

  HWND owner = twltool::MakeHiddenWindow();
  Held<IDirectSound> device;
  if (HRESULT result = entries.create(nullptr, &device.object, nullptr); FAILED(result)) {
    return FailCall("DirectSoundCreate", result);
  }
  if (HRESULT result = device.object->SetCooperativeLevel(owner, DSSCL_PRIORITY); FAILED(result)) {
    return FailCall("SetCooperativeLevel", result);
  }
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = sound.channels;
  format.nSamplesPerSec = sound.rate;
  format.wBitsPerSample = sound.bits;
  format.nBlockAlign = static_cast<WORD>(sound.bits / 8 * sound.channels);
  format.nAvgBytesPerSec = sound.rate * format.nBlockAlign;
  {
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    Held<IDirectSoundBuffer> primary;
    if (HRESULT result = device.object->CreateSoundBuffer(&description, &primary.object, nullptr); FAILED(result)) {
      return FailCall("CreateSoundBuffer (primary)", result);
    }
    if (HRESULT result = primary.object->SetFormat(&format); FAILED(result)) return FailCall("SetFormat", result);
  }
  const DWORD size = std::max<DWORD>(format.nAvgBytesPerSec / 1000 * kBufferMilliseconds / format.nBlockAlign, 1) *
                     format.nBlockAlign;
  DSBUFFERDESC description{sizeof(DSBUFFERDESC),
                           DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS, size,
                           0, &format};
  Held<IDirectSoundBuffer> buffer;
  if (HRESULT result = device.object->CreateSoundBuffer(&description, &buffer.object, nullptr); FAILED(result)) {
    return FailCall("CreateSoundBuffer", result);
  }
  if (HRESULT result = buffer.object->SetVolume(options.volume); FAILED(result)) return FailCall("SetVolume", result);
  if (HRESULT result = buffer.object->SetPan(options.pan); FAILED(result)) return FailCall("SetPan", result);

  size_t written = 0;  // bytes given to the ring, sound then silence
  if (HRESULT result = Fill(*buffer.object, 0, size, sound.data, written); FAILED(result)) return FailCall("Lock", result);
  if (HRESULT result = buffer.object->Play(0, 0, DSBPLAY_LOOPING); FAILED(result)) return FailCall("Play", result);
  size_t played = 0;
  DWORD lastCursor = 0;
  while (played < sound.data.size()) {
    Sleep(kPollMilliseconds);
    DWORD cursor = 0;
    if (HRESULT result = buffer.object->GetCurrentPosition(&cursor, nullptr); FAILED(result)) {
      return FailCall("GetCurrentPosition", result);
    }
    played += (cursor + size - lastCursor) % size;
    lastCursor = cursor;
    const size_t free = size - std::min<size_t>(size, written - std::min(played, written));
    if (free == 0) continue;
    if (HRESULT result = Fill(*buffer.object, static_cast<DWORD>(written % size), static_cast<DWORD>(free), sound.data, written);
        FAILED(result)) {
      return FailCall("Lock", result);
    }
  }
  if (HRESULT result = buffer.object->Stop(); FAILED(result)) return FailCall("Stop", result);
  std::printf("%u Hz, %u bit, %u channels, %zu bytes\n", static_cast<unsigned>(sound.rate),
              static_cast<unsigned>(sound.bits), static_cast<unsigned>(sound.channels), sound.data.size());
  return 0;
}

}  // namespace

TOOL_COMMAND(RunDSound, "dsound",
             "devices | play [--volume CB] [--pan CB] FILE.wav\n"
             "      devices: one line per DirectSound device, its GUID ('-' for the primary sound\n"
             "      driver) and a tab before its description;\n"
             "      play: play a PCM WAV file (8 or 16 bits, 1 or 2 channels) through one half-second\n"
             "      streaming buffer, the primary buffer in the file's format, volume and pan in\n"
             "      hundredths of a decibel (-10000..0, -10000..10000); prints\n"
             "      'RATE Hz, BITS bit, CHANNELS channels, BYTES bytes'. TWL_SOUND_SINK picks the sink") {
  DirectSoundEntries entries;
  if (args.empty()) return tool::Fail("dsound: devices or play?");
  if (!LoadDirectSound(entries)) return tool::Fail("dsound: dsound.dll or its entry points are missing");
  if (args[0] == "devices" && args.size() == 1) return ListDevices(entries);
  if (args[0] != "play") return tool::Fail("dsound: devices or play?");
  PlayOptions options;
  for (size_t i = 1; i < args.size(); ++i) {
    const bool volume = args[i] == "--volume";
    if ((volume || args[i] == "--pan") && i + 1 < args.size()) {
      if (!ParseHundredths(args[++i], volume ? options.volume : options.pan)) {
        return tool::Fail("dsound: not a number of hundredths of a decibel: '" + args[i] + "'");
      }
      continue;
    }
    if (!options.path.empty() || i + 1 != args.size()) return tool::Fail("dsound: play takes one file");
    options.path = args[i];
  }
  if (options.path.empty()) return tool::Fail("dsound: play takes one file");
  return PlayFile(entries, options);
}
