#include "SdlSink.h"

#include <SDL.h>

#include <cstring>

#include "SoundEngine.h"

namespace twl::sound {
namespace {

// About 20 ms per period, a power of two as SDL prefers.
Uint16 PeriodFrames(uint32_t rate) {
  Uint16 frames = 256;
  while (frames < 4096 && frames < rate / 50) frames = static_cast<Uint16>(frames * 2);
  return frames;
}

class SdlSink final : public SoundSink {
 public:
  ~SdlSink() override {
    Close();
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  bool PullsOnItsOwn() const override { return true; }
  PcmFormat OutputFormat(const PcmFormat& primary) const override { return device_ ? format_ : primary; }
  uint32_t LeadMilliseconds() const override {
    return device_ ? (periodFrames_ * 1000u + format_.rate - 1) / format_.rate : kDefaultLeadMilliseconds;
  }

  bool Sync(bool devicesOpen, bool running, const PcmFormat& primary) override {
    if (!devicesOpen) {
      Close();
      return true;
    }
    if (!running || (device_ && format_ == primary)) return true;
    Close();
    return Open(primary);
  }

 private:
  bool Open(const PcmFormat& format) {
    if (!initialised_) {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
      initialised_ = true;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.rate);
    wanted.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(format.channels);
    wanted.samples = PeriodFrames(format.rate);
    wanted.callback = &SdlSink::Fill;
    wanted.userdata = this;
    format_ = format;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to what the device takes.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device_ == 0) return false;
    periodFrames_ = obtained.samples;
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  void Close() {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_);  // waits for the audio thread
    device_ = 0;
  }

  static void Fill(void* self, Uint8* stream, int length) {
    auto* sink = static_cast<SdlSink*>(self);
    SoundEngine::Get().Pull(*sink, stream, static_cast<size_t>(length), sink->format_);
  }

  bool initialised_ = false;
  SDL_AudioDeviceID device_ = 0;
  PcmFormat format_;  // set before the audio thread starts, fixed while it runs
  uint32_t periodFrames_ = 0;
};

}  // namespace

std::unique_ptr<SoundSink> MakeSdlSink() { return std::make_unique<SdlSink>(); }

}  // namespace twl::sound
