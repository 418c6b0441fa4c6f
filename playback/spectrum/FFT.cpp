#include "playback/spectrum/FFT.h"

#include <algorithm>
#include <cmath>

TWL_IMPLEMENT_CREATABLE_CLASS(CFFT, CTypedObject)

namespace {

constexpr long double kOne = 268435455.0L;  // 2^28 - 1
constexpr int kTwiddleShift = 29;           // the product's 2^28 scale and the butterfly's halving
constexpr int kSampleShift = 12;
constexpr int32_t kLargestMagnitude = 32767;

int32_t Scaled(long double value) { return static_cast<int32_t>(value * kOne); }  // truncates toward zero

int32_t Rotate(int64_t a, int64_t b) { return static_cast<int32_t>((a >> kTwiddleShift) - (b >> kTwiddleShift)); }
int32_t Sum(int64_t a, int64_t b) { return static_cast<int32_t>((a >> kTwiddleShift) + (b >> kTwiddleShift)); }

// sqrt(k x power), held at the largest signed 16-bit value. The test on the
// power first keeps the product inside 64 bits.
int16_t WeightedMagnitude(int64_t k, int64_t re, int64_t im) {
  const uint64_t power = static_cast<uint64_t>(re * re) + static_cast<uint64_t>(im * im);
  constexpr uint64_t kSaturated = uint64_t{kLargestMagnitude + 1} * (kLargestMagnitude + 1);
  if (power >= kSaturated) return kLargestMagnitude;
  const uint64_t weighted = static_cast<uint64_t>(k) * power;
  if (weighted >= kSaturated) return kLargestMagnitude;
  return static_cast<int16_t>(std::sqrt(static_cast<double>(weighted)));
}

}  // namespace

bool CFFT::Init(int bits) {
  Free();
  if (bits > kMaxBits) return false;
  const int maxBits = std::max(bits, kMinBits);
  const size_t points = size_t{1} << maxBits;
  const size_t half = points / 2;
  const size_t eighth = half / 4;  // the twiddle of pi/4
  auto twiddles = std::make_unique<Complex[]>(half);
  auto reversal = std::make_unique<uint16_t[]>(points);
  auto work = std::make_unique<Complex[]>(points);

  // The first eighth of the circle from the angle itself, added up step by
  // step; the rest by symmetry, so that the table is exactly symmetric.
  const long double step = (3.14159265358979323846264338327950288L / 4) / static_cast<long double>(eighth);
  long double angle = 0;
  for (size_t k = 0; k <= eighth; ++k, angle += step) twiddles[k] = {Scaled(std::cos(angle)), Scaled(std::sin(angle))};
  for (size_t k = eighth + 1; k <= half / 2; ++k) {
    twiddles[k] = {twiddles[half / 2 - k].im, twiddles[half / 2 - k].re};
  }
  for (size_t k = half / 2 + 1; k < half; ++k) twiddles[k] = {-twiddles[half - k].re, twiddles[half - k].im};

  // A counter that counts with its bits reversed.
  size_t reversed = 0;
  for (size_t j = 0; j < points; ++j) {
    reversal[j] = static_cast<uint16_t>(reversed);
    size_t digit = half;
    while (digit != 0 && digit <= reversed) {
      reversed -= digit;
      digit >>= 1;
    }
    reversed += digit;
  }

  m_Twiddles = std::move(twiddles);
  m_BitReversal = std::move(reversal);
  m_Work = std::move(work);
  m_MaxBits = maxBits;
  return true;
}

void CFFT::Free() {
  m_Twiddles.reset();
  m_BitReversal.reset();
  m_Work.reset();
  m_MaxBits = 0;
}

// Decimation in frequency: each stage halves the span, and the difference
// of each pair turns by the twiddle of its place in the span.
void CFFT::Transform(Complex* work, int bits) const {
  const size_t half = size_t{1} << (m_MaxBits - 1);
  const size_t end = size_t{1} << bits;
  for (int stage = m_MaxBits - bits; stage < m_MaxBits; ++stage) {
    const size_t span = half >> stage;
    for (size_t i = 0; i < span; ++i) {
      const int64_t c = m_Twiddles[i << stage].re;
      const int64_t d = m_Twiddles[i << stage].im;
      for (size_t p = i; p < end; p += 2 * span) {
        Complex& first = work[p];
        Complex& second = work[p + span];
        const int64_t dr = int64_t{first.re} - second.re;
        const int64_t di = int64_t{first.im} - second.im;
        first.re = static_cast<int32_t>((int64_t{first.re} + second.re) >> 1);
        first.im = static_cast<int32_t>((int64_t{first.im} + second.im) >> 1);
        second.re = Rotate(dr * c, di * d);
        second.im = Sum(dr * d, di * c);
      }
    }
  }
}

void CFFT::ComputeMagnitudes(int16_t* out, const int16_t* samples, int bits) {
  const size_t points = size_t{1} << bits;
  Complex* work = m_Work.get();
  for (size_t i = 0; i < points; ++i) work[i] = {int32_t{samples[i]} * (1 << kSampleShift), 0};
  Transform(work, bits);
  const int unused = m_MaxBits - bits;
  for (size_t k = 1; k <= points / 2; ++k) {
    const Complex& bin = work[m_BitReversal[k] >> unused];
    out[k - 1] = WeightedMagnitude(static_cast<int64_t>(k), bin.re >> kSampleShift, bin.im >> kSampleShift);
  }
}
