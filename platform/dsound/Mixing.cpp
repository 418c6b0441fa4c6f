#include "Mixing.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace twl::sound {
namespace {

int32_t GainOfAttenuation(int32_t hundredthsOfDecibel) {
  if (hundredthsOfDecibel <= DSBVOLUME_MIN) return 0;
  if (hundredthsOfDecibel >= 0) return kUnityGain;
  return static_cast<int32_t>(std::lround(kUnityGain * std::pow(10.0, hundredthsOfDecibel / 2000.0)));
}

template <int Bits, int Channels>
inline void ReadFrame(const uint8_t* ring, uint32_t frame, int32_t& left, int32_t& right) {
  const uint8_t* at = ring + static_cast<size_t>(frame) * (Bits / 8 * Channels);
  if constexpr (Bits == 8) {
    left = (static_cast<int32_t>(at[0]) - 128) * 256;
    right = Channels == 2 ? (static_cast<int32_t>(at[1]) - 128) * 256 : left;
  } else {
    left = static_cast<int16_t>(at[0] | at[1] << 8);
    right = Channels == 2 ? static_cast<int16_t>(at[2] | at[3] << 8) : left;
  }
}

inline int32_t Scale(int32_t sample, int32_t gain) {
  if (gain == kUnityGain) return sample;
  return static_cast<int32_t>((static_cast<int64_t>(sample) * gain + 0x8000) >> 16);
}

inline int32_t Interpolate(int32_t from, int32_t to, uint32_t phase, uint32_t rate) {
  return from + static_cast<int32_t>(static_cast<int64_t>(to - from) * phase / rate);
}

// Ends a voice that does not loop, at frame 0.
inline void EndVoice(Voice& voice) {
  voice.playing = false;
  voice.position = 0;
  voice.phase = 0;
}

// Adds frames at unity gain. The ring and the mix never overlap; saying so
// lets the compiler use vector code.
template <int Bits, int Channels>
void AddFrames(const uint8_t* __restrict from, int32_t* __restrict to, uint32_t frames) {
  for (uint32_t i = 0; i < frames; ++i) {
    int32_t left, right;
    ReadFrame<Bits, Channels>(from, i, left, right);
    to[2 * i] += left;
    to[2 * i + 1] += right;
  }
}

// Voices at the output rate never interpolate: they add one frame per
// output frame, a stretch up to the end of the ring at a time.
template <int Bits, int Channels>
uint32_t MixSameRate(Voice& voice, int32_t* mix, uint32_t frames) {
  const uint8_t* ring = voice.ring.get();
  const bool unity = voice.gainLeft == kUnityGain && voice.gainRight == kUnityGain;
  uint32_t done = 0;
  while (done < frames) {
    const uint32_t span = std::min(frames - done, voice.frameCount - voice.position);
    const uint8_t* from = ring + static_cast<size_t>(voice.position) * (Bits / 8 * Channels);
    int32_t* to = mix + 2 * static_cast<size_t>(done);
    if (unity) {
      AddFrames<Bits, Channels>(from, to, span);
    } else {
      for (uint32_t i = 0; i < span; ++i) {
        int32_t left, right;
        ReadFrame<Bits, Channels>(from, i, left, right);
        to[2 * i] += Scale(left, voice.gainLeft);
        to[2 * i + 1] += Scale(right, voice.gainRight);
      }
    }
    done += span;
    voice.position += span;
    if (voice.position < voice.frameCount) continue;
    voice.position = 0;
    if (voice.looping) continue;
    EndVoice(voice);
    return done;
  }
  return frames;
}

// Other voices step through their ring by the ratio of the rates and
// interpolate between neighbouring frames.
template <int Bits, int Channels>
uint32_t MixResampled(Voice& voice, uint32_t outputRate, int32_t* mix, uint32_t frames) {
  const uint8_t* ring = voice.ring.get();
  const uint32_t count = voice.frameCount;
  const uint32_t sourceRate = voice.format.rate;
  for (uint32_t i = 0; i < frames; ++i) {
    int32_t left, right;
    ReadFrame<Bits, Channels>(ring, voice.position, left, right);
    if (voice.phase != 0) {
      uint32_t next = voice.position + 1;
      if (next == count) next = voice.looping ? 0 : voice.position;
      int32_t nextLeft, nextRight;
      ReadFrame<Bits, Channels>(ring, next, nextLeft, nextRight);
      left = Interpolate(left, nextLeft, voice.phase, outputRate);
      right = Interpolate(right, nextRight, voice.phase, outputRate);
    }
    mix[2 * i] += Scale(left, voice.gainLeft);
    mix[2 * i + 1] += Scale(right, voice.gainRight);
    voice.phase += sourceRate;
    if (voice.phase < outputRate) continue;
    voice.position += voice.phase / outputRate;
    voice.phase %= outputRate;
    if (voice.position < count) continue;
    if (voice.looping) {
      voice.position %= count;
      continue;
    }
    EndVoice(voice);
    return i + 1;
  }
  return frames;
}

template <int Bits, int Channels>
uint32_t MixFormat(Voice& voice, uint32_t outputRate, int32_t* mix, uint32_t frames) {
  if (voice.format.rate == outputRate) return MixSameRate<Bits, Channels>(voice, mix, frames);
  return MixResampled<Bits, Channels>(voice, outputRate, mix, frames);
}

inline int32_t ScaleByMaster(int32_t sample, uint32_t master) {
  // Rounded to nearest, halves away from zero, so the scale is symmetric.
  const int64_t product = static_cast<int64_t>(sample) * master;
  const int64_t half = kMasterVolumeMax / 2;
  return static_cast<int32_t>(product >= 0 ? (product + half) / kMasterVolumeMax
                                           : -((-product + half) / kMasterVolumeMax));
}

template <int Bits>
inline void StoreSample(int32_t sample, uint8_t*& out) {
  const int32_t clipped = std::clamp(sample, -32768, 32767);
  if constexpr (Bits == 8) {
    *out++ = static_cast<uint8_t>((clipped >> 8) + 128);
  } else if constexpr (std::endian::native == std::endian::little) {
    const int16_t value = static_cast<int16_t>(clipped);
    std::memcpy(out, &value, 2);
    out += 2;
  } else {
    *out++ = static_cast<uint8_t>(clipped & 0xFF);
    *out++ = static_cast<uint8_t>((clipped >> 8) & 0xFF);
  }
}

template <bool Scaled, int Bits, int Channels>
void StoreFrames(const int32_t* mix, uint32_t frames, uint32_t masterVolume, uint8_t* out) {
  if constexpr (Bits == 16 && Channels == 2 && std::endian::native == std::endian::little) {
    // Sample by sample, which the compiler turns into vector code.
    for (size_t i = 0; i < 2 * static_cast<size_t>(frames); ++i) {
      const int32_t sample = Scaled ? ScaleByMaster(mix[i], masterVolume) : mix[i];
      const int16_t value = static_cast<int16_t>(std::clamp(sample, -32768, 32767));
      std::memcpy(out + 2 * i, &value, 2);
    }
    return;
  }
  for (uint32_t i = 0; i < frames; ++i) {
    int32_t left = mix[2 * i];
    int32_t right = mix[2 * i + 1];
    if constexpr (Scaled) {
      left = ScaleByMaster(left, masterVolume);
      right = ScaleByMaster(right, masterVolume);
    }
    if constexpr (Channels == 1) {
      StoreSample<Bits>((left + right) >> 1, out);
    } else {
      StoreSample<Bits>(left, out);
      StoreSample<Bits>(right, out);
    }
  }
}

template <bool Scaled>
void StoreFormat(const int32_t* mix, uint32_t frames, uint32_t masterVolume, const PcmFormat& format, uint8_t* out) {
  const bool stereo = format.channels == 2;
  if (format.bits == 8) {
    stereo ? StoreFrames<Scaled, 8, 2>(mix, frames, masterVolume, out) : StoreFrames<Scaled, 8, 1>(mix, frames, masterVolume, out);
    return;
  }
  stereo ? StoreFrames<Scaled, 16, 2>(mix, frames, masterVolume, out) : StoreFrames<Scaled, 16, 1>(mix, frames, masterVolume, out);
}

}  // namespace

void GainsFromVolumeAndPan(int32_t volume, int32_t pan, int32_t& left, int32_t& right) {
  // A positive pan attenuates the left side, a negative one the right.
  left = GainOfAttenuation(volume - std::max(pan, 0));
  right = GainOfAttenuation(volume + std::min(pan, 0));
}

uint32_t MixVoice(Voice& voice, uint32_t outputRate, int32_t* mix, uint32_t frames) {
  if (!voice.playing || voice.frameCount == 0 || outputRate == 0) return 0;
  const bool stereo = voice.format.channels == 2;
  if (voice.format.bits == 8) {
    return stereo ? MixFormat<8, 2>(voice, outputRate, mix, frames) : MixFormat<8, 1>(voice, outputRate, mix, frames);
  }
  return stereo ? MixFormat<16, 2>(voice, outputRate, mix, frames) : MixFormat<16, 1>(voice, outputRate, mix, frames);
}

void StoreMix(const int32_t* mix, uint32_t frames, uint32_t masterVolume, const PcmFormat& format, uint8_t* out) {
  if (masterVolume == kMasterVolumeMax) {
    StoreFormat<false>(mix, frames, masterVolume, format, out);
    return;
  }
  StoreFormat<true>(mix, frames, masterVolume, format, out);
}

}  // namespace twl::sound
