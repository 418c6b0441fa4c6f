// One secondary buffer as the mixer sees it: its ring of PCM, where it
// plays and how loud. Changed only under the sound engine's mix lock. The
// ring's bytes are written by the buffer's owner without that lock (between
// Lock and Unlock), as a program fills memory that a sound card reads.
#pragma once

#include <cstdint>
#include <memory>

#include "PcmFormat.h"

namespace twl::sound {

constexpr int32_t kUnityGain = 1 << 16;

struct Voice {
  PcmFormat format;
  uint32_t frameCount = 0;
  std::unique_ptr<uint8_t[]> ring;  // frameCount whole frames
  uint32_t position = 0;            // the next frame to play
  uint32_t phase = 0;               // progress past `position`, in 1/output-rate steps of a frame
  bool playing = false;
  bool looping = false;
  bool lost = false;  // stopped until the buffer is restored
  int32_t gainLeft = kUnityGain;  // 16.16 fixed point
  int32_t gainRight = kUnityGain;

  uint32_t Bytes() const { return frameCount * format.BlockAlign(); }
};

}  // namespace twl::sound
