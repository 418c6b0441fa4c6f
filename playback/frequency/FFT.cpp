#include "playback/frequency/FFT.h"

#include <immintrin.h>

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

  // Stage s reads every (2^s)th twiddle; each stage's row is kept in a row
  // of its own, stage s after the rows of the larger spans.
  auto stageTwiddles = std::make_unique<Complex[]>(2 * half);
  for (size_t span = half, stage = 0, at = 0; span >= 1; span /= 2, ++stage) {
    for (size_t i = 0; i < span; ++i) stageTwiddles[at++] = twiddles[i << stage];
  }

  m_Twiddles = std::move(twiddles);
  m_StageTwiddles = std::move(stageTwiddles);
  m_BitReversal = std::move(reversal);
  m_Work = std::move(work);
  m_MaxBits = maxBits;
  return true;
}

void CFFT::Free() {
  m_Twiddles.reset();
  m_StageTwiddles.reset();
  m_BitReversal.reset();
  m_Work.reset();
  m_MaxBits = 0;
}

namespace {

using Complex = CFFT::Complex;

// One stage's butterflies: in each block of 2 x span entries, entry i and
// entry i + span become their halved sum and their halved difference
// turned by the stage's twiddle i.
void ScalarStage(Complex* work, size_t end, size_t span, const Complex* twiddles) {
  for (size_t block = 0; block < end; block += 2 * span) {
    Complex* a = work + block;
    Complex* b = a + span;
    for (size_t i = 0; i < span; ++i) {
      const int64_t c = twiddles[i].re;
      const int64_t d = twiddles[i].im;
      const int64_t dr = int64_t{a[i].re} - b[i].re;
      const int64_t di = int64_t{a[i].im} - b[i].im;
      a[i].re = static_cast<int32_t>((int64_t{a[i].re} + b[i].re) >> 1);
      a[i].im = static_cast<int32_t>((int64_t{a[i].im} + b[i].im) >> 1);
      b[i].re = Rotate(dr * c, di * d);
      b[i].im = Sum(dr * d, di * c);
    }
  }
}

// The same for spans of four and more, four butterflies at a time. The
// sums and differences stay inside 32 bits (the entries are within
// +-2^30), and only the low 32 bits of each shifted product are kept, so
// logical shifts give what arithmetic ones give.
__attribute__((target("avx2"))) void WideStage(Complex* work, size_t end, size_t span, const Complex* twiddles) {
  for (size_t block = 0; block < end; block += 2 * span) {
    Complex* a = work + block;
    Complex* b = a + span;
    for (size_t i = 0; i < span; i += 4) {
      const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
      const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
      const __m256i turn = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(twiddles + i));  // c d c d ...
      const __m256i diff = _mm256_sub_epi32(first, second);                                     // dr di dr di ...
      const __m256i sum = _mm256_srai_epi32(_mm256_add_epi32(first, second), 1);
      const __m256i diffIm = _mm256_srli_epi64(diff, 32);
      const __m256i turnIm = _mm256_srli_epi64(turn, 32);
      const __m256i drc = _mm256_srli_epi64(_mm256_mul_epi32(diff, turn), kTwiddleShift);
      const __m256i did = _mm256_srli_epi64(_mm256_mul_epi32(diffIm, turnIm), kTwiddleShift);
      const __m256i drd = _mm256_srli_epi64(_mm256_mul_epi32(diff, turnIm), kTwiddleShift);
      const __m256i dic = _mm256_srli_epi64(_mm256_mul_epi32(diffIm, turn), kTwiddleShift);
      const __m256i re = _mm256_sub_epi64(drc, did);
      const __m256i im = _mm256_slli_epi64(_mm256_add_epi64(drd, dic), 32);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(a + i), sum);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(b + i), _mm256_blend_epi32(re, im, 0xAA));
    }
  }
}

bool HasWideStages() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

}  // namespace

// Decimation in frequency: each stage halves the span, and the difference
// of each pair turns by the twiddle of its place in the span (table entry
// i << stage, kept per stage in a row).
void CFFT::Transform(Complex* work, int bits) const {
  const size_t half = size_t{1} << (m_MaxBits - 1);
  const size_t end = size_t{1} << bits;
  const bool wide = HasWideStages();
  for (int stage = m_MaxBits - bits; stage < m_MaxBits; ++stage) {
    const size_t span = half >> stage;
    const Complex* twiddles = m_StageTwiddles.get() + 2 * (half - span);
    if (wide && span >= 4) {
      WideStage(work, end, span, twiddles);
    } else {
      ScalarStage(work, end, span, twiddles);
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
