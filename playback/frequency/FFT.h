// CFFT: a fixed-point radix-2 FFT of up to 2^16 points for the spectrum
// analyzer. Init builds the twiddle and bit-reversal tables for the largest
// transform; Transform and ComputeMagnitudes then run on any power of two
// up to it without allocating.
//
// Fixed point: a twiddle is (cos, sin) x (2^28 - 1); samples enter the work
// array shifted left by 12, and every butterfly halves its results, so a
// transform of 2^b points leaves the DFT divided by 2^b, still scaled by
// 2^12. Magnitudes are weighted by their bin number (the spectrum tilts
// toward high frequencies, as visualizers expect it).
//
// Threading: none of its own; the analyzer that embeds it holds its lock.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/kernel/TypedObject.h"

class CFFT : public CTypedObject {
  TWL_DECLARE_CLASS(CFFT)
 public:
  // The bit-reversal table holds 16-bit entries, so no transform is larger.
  static constexpr int kMaxBits = 16;
  static constexpr int kMinBits = 3;

  struct Complex {
    int32_t re;
    int32_t im;
  };

  CFFT() = default;
  ~CFFT() override = default;
  CFFT(const CFFT&) = delete;
  CFFT& operator=(const CFFT&) = delete;

  // Frees earlier tables and builds them for max(bits, 3) bits. False for
  // bits above 16 (the tables are then absent).
  bool Init(int bits);
  void Free();

  int GetMaxBits() const { return m_MaxBits; }
  Complex* GetWork() { return m_Work.get(); }

  // In place, on the first 2^bits entries of `work` (bits <= the maximum):
  // natural order in, bit-reversed order out. Every component must lie
  // within +-2^30, as 16-bit samples shifted by 12 do (the butterflies
  // never let them grow): then no sum or difference needs more than 32 bits.
  void Transform(Complex* work, int bits) const;

  // Transforms 2^bits samples and writes 2^(bits-1) magnitudes, those of
  // bins 1 .. 2^(bits-1): truncate(sqrt(k x (re^2 + im^2))) with the
  // components shifted down by 12, computed in 64 bits and held at 32767
  // where they would not fit a signed 16-bit value.
  void ComputeMagnitudes(int16_t* out, const int16_t* samples, int bits);

 private:
  std::unique_ptr<Complex[]> m_Twiddles;       // half entries: (cos, sin) of k*pi/half
  std::unique_ptr<Complex[]> m_StageTwiddles;  // the twiddles each stage reads, one row per stage
  std::unique_ptr<uint16_t[]> m_BitReversal;
  std::unique_ptr<Complex[]> m_Work;
  int m_MaxBits = 0;
};
