#include <dsound.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "HiddenWindow.h"
#include "WavFile.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/sound/DirectSoundCalls.h"
#include "playback/sound/SoundBuffer.h"

namespace {

constexpr uint64_t kLargestBlock = 1u << 20;

int FailWithThreadError(const char* step) {
  return tool::Fail(std::string("soundbuffer: ") + step + " failed: " + GetThreadErrorText().c_str());
}

struct SoundBufferOptions {
  DWORD block = 4096;
  int volume = 0;
  bool volumeSet = false;
  int pan = 0;
  bool panSet = false;
  bool drain = false;
  std::string path;
};

bool ParseLevel(const std::string& text, int& level) {
  int64_t value = 0;
  if (!tool::ParseSigned(text, value) || value < -100000 || value > 100000) return false;
  level = static_cast<int>(value);
  return true;
}

bool Refuse(std::string& error, const std::string& reason) {
  error = reason;
  return false;
}

bool ParseOptions(const tool::Args& args, SoundBufferOptions& options, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--drain") {
      options.drain = true;
    } else if (arg == "--block" && hasValue) {
      uint64_t block = 0;
      if (!tool::ParseUnsigned(args[++i], block, kLargestBlock) || block == 0) {
        return Refuse(error, "a block is 1 to 1048576 bytes: '" + args[i] + "'");
      }
      options.block = static_cast<DWORD>(block);
    } else if (arg == "--volume" && hasValue) {
      if (!ParseLevel(args[++i], options.volume)) return Refuse(error, "not a level: '" + args[i] + "'");
      options.volumeSet = true;
    } else if (arg == "--pan" && hasValue) {
      if (!ParseLevel(args[++i], options.pan)) return Refuse(error, "not a level: '" + args[i] + "'");
      options.panSet = true;
    } else if (options.path.empty() && i + 1 == args.size() && arg.rfind("--", 0) != 0) {
      options.path = arg;
    } else {
      return Refuse(error, "soundbuffer takes options and one file");
    }
  }
  if (options.path.empty()) return Refuse(error, "soundbuffer takes options and one file");
  return true;
}

// Releases the DirectSound object when the scope ends.
struct HeldDevice {
  IDirectSound* object = nullptr;
  ~HeldDevice() {
    if (object) object->Release();
  }
};

// Writes the whole sound block by block as a player would: wait for room,
// write, and start playing once the ring is full; then stop.
int Stream(CSoundBuffer& buffer, std::string_view sound, DWORD block, bool drain, size_t& blocks) {
  for (size_t at = 0; at < sound.size(); at += block, ++blocks) {
    const DWORD size = static_cast<DWORD>(std::min<size_t>(block, sound.size() - at));
    DWORD free = 0;
    if (!buffer.GetFreeSpace(&free)) return FailWithThreadError("GetFreeSpace");
    if (!buffer.IsPlaying() && free < size && !buffer.Play()) return FailWithThreadError("Play");
    if (!buffer.WaitForSpace(size, nullptr)) return FailWithThreadError("WaitForSpace");
    if (!buffer.Write(sound.data() + at, size, true)) return FailWithThreadError("Write");
  }
  if (!buffer.IsPlaying() && !buffer.Play()) return FailWithThreadError("Play");
  if (!buffer.Stop(drain, nullptr)) return FailWithThreadError("Stop");
  return 0;
}

}  // namespace

TOOL_COMMAND(RunSoundBuffer, "soundbuffer",
             "[--block N] [--volume L] [--pan L] [--drain] FILE.wav\n"
             "      writes a PCM WAV file (8 or 16 bits, 1 or 2 channels) through one sound buffer of\n"
             "      a second (at least two blocks) in blocks of N bytes (default 4096, a whole number\n"
             "      of frames): WaitForSpace, Write, Play once the ring is full, Stop at the end, with\n"
             "      --drain after the queued sound has played. Volume 0..256 and pan -256..256 are\n"
             "      levels of the volume table. Prints 'RATE Hz, BITS bit, CHANNELS channels, BYTES\n"
             "      bytes in BLOCKS blocks'. TWL_SOUND_SINK picks the sink") {
  SoundBufferOptions options;
  std::string error;
  if (!ParseOptions(args, options, error)) return tool::Fail("soundbuffer: " + error);
  std::string bytes;
  twltool::WavSound sound;
  if (!twltool::LoadWav(options.path, bytes, sound, error)) return tool::Fail("soundbuffer: " + error);
  const DWORD frame = sound.bits / 8u * sound.channels;
  if (options.block % frame != 0) {
    return tool::Fail("soundbuffer: a block of " + std::to_string(options.block) + " bytes is no whole number of frames");
  }

  CSoundBuffer::InitVolumeTable();
  HeldDevice device;
  if (!CreateDirectSoundObject(nullptr, &device.object)) return FailWithThreadError("DirectSoundCreate");
  if (HRESULT result = device.object->SetCooperativeLevel(twltool::MakeHiddenWindow(), DSSCL_PRIORITY); FAILED(result)) {
    FailWithDirectSoundError(result);
    return FailWithThreadError("SetCooperativeLevel");
  }
  if (!CSoundBuffer::SetPrimaryFormat(device.object, sound.rate, sound.bits, sound.channels)) {
    return FailWithThreadError("SetPrimaryFormat");
  }
  const DWORD second = sound.rate * frame;
  const DWORD size = std::max(second, 2 * options.block) / frame * frame;
  CSoundBuffer buffer;
  if (!buffer.Create(device.object, size, sound.rate, sound.bits, sound.channels, SOUNDBUFFER_VOLUME | SOUNDBUFFER_PAN,
                     nullptr)) {
    return FailWithThreadError("Create");
  }
  if (options.volumeSet && !buffer.SetVolume(options.volume)) return FailWithThreadError("SetVolume");
  if (options.panSet && !buffer.SetPan(options.pan)) return FailWithThreadError("SetPan");
  size_t blocks = 0;
  if (int failed = Stream(buffer, sound.data, options.block, options.drain, blocks)) return failed;
  buffer.Release();
  std::printf("%u Hz, %u bit, %u channels, %zu bytes in %zu blocks\n", static_cast<unsigned>(sound.rate),
              static_cast<unsigned>(sound.bits), static_cast<unsigned>(sound.channels), sound.data.size(), blocks);
  return 0;
}
