// Where the mix goes. A sink on the layer clock (null, WAV file) receives
// the mix in batches as the sound engine catches up with the clock; a
// device sink (SDL) pulls it from its own thread through
// SoundEngine::Pull. The engine owns the sink and calls it under its
// locks: Write and EndOfBatch under the mix lock, Sync under the control
// lock only (a device opens and closes there).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "PcmFormat.h"

namespace twl::sound {

constexpr uint32_t kDefaultLeadMilliseconds = 10;

class SoundSink {
 public:
  SoundSink() = default;
  SoundSink(const SoundSink&) = delete;
  SoundSink& operator=(const SoundSink&) = delete;
  virtual ~SoundSink() = default;

  virtual bool PullsOnItsOwn() const { return false; }
  // Whether the sink wants the samples; without, the engine only moves
  // the voices on.
  virtual bool WantsSamples() const { return true; }
  // The format the mix must have: the primary format, unless the sink
  // has one of its own (a device opened, a file that holds sound).
  virtual PcmFormat OutputFormat(const PcmFormat& primary) const { return primary; }
  // How far ahead of a playing buffer's play cursor its write cursor runs.
  virtual uint32_t LeadMilliseconds() const { return kDefaultLeadMilliseconds; }

  // Layer-clock sinks: whole frames of the mix, then the end of a batch.
  virtual void Write(const uint8_t* bytes, size_t size, const PcmFormat& format) {}
  virtual void EndOfBatch() {}

  // Device sinks: brings the device in line with the engine. Returns false
  // when no device could be opened; the engine then plays into nothing.
  virtual bool Sync(bool devicesOpen, bool running, const PcmFormat& primary) { return true; }
};

// The sink that plays into nothing.
std::unique_ptr<SoundSink> MakeNullSink();

}  // namespace twl::sound
