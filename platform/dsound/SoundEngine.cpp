#include "SoundEngine.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "Mixing.h"
#include "SinkChoice.h"
#include "platform/kernel/Clock.h"

namespace twl::sound {
namespace {

constexpr uint32_t kChunkFrames = 4096;

uint8_t SilenceByte(const PcmFormat& format) { return format.bits == 8 ? 0x80 : 0x00; }

}  // namespace

SoundEngine& SoundEngine::Get() {
  // Never destroyed: a device's thread may still pull while the process
  // exits.
  static SoundEngine* engine = new SoundEngine;
  return *engine;
}

SoundEngine::SoundEngine()
    : masterVolume_(kMasterVolumeMax), target_(primary_), mixScratch_(2 * kChunkFrames), outScratch_(4 * kChunkFrames) {}

HRESULT SoundEngine::OpenDevice() {
  if (!sink_) {
    std::unique_ptr<SoundSink> sink = MakeSink(choice_.empty() ? SinkChoiceFromEnvironment() : choice_, primary_);
    if (!sink) return DSERR_NODRIVER;
    ReplaceSink(std::move(sink));
  }
  ++devicesOpen_;
  return DS_OK;
}

void SoundEngine::CloseDevice() {
  if (devicesOpen_ > 0) --devicesOpen_;
}

bool SoundEngine::AddVoice(Voice& voice) {
  voice.phase = 0;
  try {
    voices_.push_back(&voice);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void SoundEngine::RemoveVoice(Voice& voice) { voices_.erase(std::remove(voices_.begin(), voices_.end(), &voice), voices_.end()); }

void SoundEngine::LoseAllVoices() {
  for (Voice* voice : voices_) {
    voice->lost = true;
    voice->playing = false;
  }
}

void SoundEngine::PlayPrimary(bool playing) { primaryPlays_ = std::max(0, primaryPlays_ + (playing ? 1 : -1)); }

uint32_t SoundEngine::WriteLeadFrames(const Voice& voice) const {
  const uint32_t milliseconds = sink_ ? sink_->LeadMilliseconds() : kDefaultLeadMilliseconds;
  const uint64_t frames = static_cast<uint64_t>(milliseconds) * voice.format.rate / 1000;
  return static_cast<uint32_t>(std::min<uint64_t>(frames, voice.frameCount - 1));
}

bool SoundEngine::ChooseSink(const std::string& choice) {
  std::unique_ptr<SoundSink> sink = MakeSink(choice.empty() ? SinkChoiceFromEnvironment() : choice, primary_);
  if (!sink) return false;
  choice_ = choice;
  ReplaceSink(std::move(sink));
  return true;
}

std::string SoundEngine::SinkChoice() const { return choice_.empty() ? SinkChoiceFromEnvironment() : choice_; }

void SoundEngine::ReplaceSink(std::unique_ptr<SoundSink> sink) {
  if (sink_) retiredSinks_.push_back(std::move(sink_));
  sink_ = std::move(sink);
  Rebase();
}

void SoundEngine::Rebase() {
  baseMilliseconds_ = ClockMilliseconds();
  framesSinceBase_ = 0;
}

PcmFormat SoundEngine::TargetFormat() const { return sink_ ? sink_->OutputFormat(primary_) : primary_; }

void SoundEngine::Retarget(const PcmFormat& target) {
  // Phases count in steps of the output rate; a new rate starts them over.
  for (Voice* voice : voices_) voice->phase = 0;
  target_ = target;
}

bool SoundEngine::AnyPlaying() const {
  return std::any_of(voices_.begin(), voices_.end(), [](const Voice* voice) { return voice->playing; });
}

void SoundEngine::NoteChanges() {
  const PcmFormat target = TargetFormat();
  if (!(target == target_)) {
    Retarget(target);
    Rebase();
  }
  const bool running = primaryPlays_ > 0 || AnyPlaying();
  if (running && !running_) Rebase();
  running_ = running;
}

uint32_t SoundEngine::Render(uint8_t* out, uint32_t frames, const PcmFormat& format) {
  int32_t* mix = mixScratch_.data();
  std::fill_n(mix, 2 * static_cast<size_t>(frames), 0);
  uint32_t lastEnd = 0;
  for (Voice* voice : voices_) {
    if (voice->playing) lastEnd = std::max(lastEnd, MixVoice(*voice, format.rate, mix, frames));
  }
  running_ = primaryPlays_ > 0 || AnyPlaying();
  const uint32_t produced = running_ ? frames : lastEnd;
  if (out) StoreMix(mix, produced, masterVolume_, format, out);
  return produced;
}

void SoundEngine::CatchUp() {
  if (!running_ || !sink_ || sink_->PullsOnItsOwn()) return;
  const uint64_t now = ClockMilliseconds();
  if (now < baseMilliseconds_) {
    Rebase();  // the clock went back (the manual clock was switched off)
    return;
  }
  const PcmFormat format = target_;
  const uint64_t due = (now - baseMilliseconds_) * format.rate / 1000;
  uint8_t* out = sink_->WantsSamples() ? outScratch_.data() : nullptr;
  bool wrote = false;
  while (running_ && framesSinceBase_ < due) {
    const uint32_t frames = static_cast<uint32_t>(std::min<uint64_t>(due - framesSinceBase_, kChunkFrames));
    const uint32_t produced = Render(out, frames, format);
    if (out && produced > 0) {
      sink_->Write(out, static_cast<size_t>(produced) * format.BlockAlign(), format);
      wrote = true;
    }
    framesSinceBase_ += frames;
  }
  if (wrote) sink_->EndOfBatch();
}

void SoundEngine::Pull(const SoundSink& sink, uint8_t* out, size_t bytes, const PcmFormat& format) {
  std::lock_guard mix(mixLock_);
  const uint32_t block = format.BlockAlign();
  const size_t frames = bytes / block;
  size_t done = 0;
  if (&sink == sink_.get() && running_) {
    if (!(format == target_)) Retarget(format);
    while (done < frames && running_) {
      const uint32_t chunk = static_cast<uint32_t>(std::min<size_t>(frames - done, kChunkFrames));
      done += Render(out + done * block, chunk, format);
    }
  }
  std::memset(out + done * block, SilenceByte(format), bytes - done * block);
}

void SoundEngine::SyncSink() {
  // The sink and the retired sinks change only under the control lock,
  // which is held here: a layer-clock sink with nothing retired has
  // nothing to sync, and the mix lock is not taken again.
  if (retiredSinks_.empty() && (!sink_ || !sink_->PullsOnItsOwn())) return;
  std::vector<std::unique_ptr<SoundSink>> retired;
  SoundSink* sink = nullptr;
  bool devicesOpen = false;
  bool running = false;
  PcmFormat primary;
  {
    std::lock_guard mix(mixLock_);
    retired.swap(retiredSinks_);
    sink = sink_.get();
    devicesOpen = devicesOpen_ > 0;
    running = running_;
    primary = primary_;
  }
  retired.clear();  // a device's thread ends here, outside the mix lock
  if (!sink || !sink->PullsOnItsOwn() || sink->Sync(devicesOpen, running, primary)) return;
  // No sound device opened: the output plays into nothing from now on.
  // (Without memory for that, the next call tries the device again.)
  try {
    std::unique_ptr<SoundSink> nowhere = MakeNullSink();
    retired.reserve(1);
    std::lock_guard mix(mixLock_);
    retired.push_back(std::move(sink_));
    sink_ = std::move(nowhere);
    Rebase();
    NoteChanges();
  } catch (const std::bad_alloc&) {
    return;
  }
  retired.clear();
}

}  // namespace twl::sound
