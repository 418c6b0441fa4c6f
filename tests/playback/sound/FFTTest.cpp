// The fixed-point FFT against a double-precision DFT of the same samples,
// for transforms as large as the tables and smaller ones on larger tables;
// the limits of its tables; and magnitudes of loud input, held at the
// largest 16-bit value instead of wrapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "foundation/kernel/ClassManager.h"
#include "playback/frequency/FFT.h"

namespace {

std::vector<int16_t> RandomSamples(size_t count, int amplitude, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> value(-amplitude, amplitude);
  std::vector<int16_t> samples(count);
  for (auto& sample : samples) sample = static_cast<int16_t>(value(random));
  return samples;
}

// sqrt(k) x |X_k| / N: what the fixed-point magnitude of bin k stands for.
double ReferenceMagnitude(const std::vector<int16_t>& samples, size_t k) {
  const size_t points = samples.size();
  double re = 0;
  double im = 0;
  for (size_t n = 0; n < points; ++n) {
    const double angle = -2 * M_PI * double((k * n) % points) / double(points);
    re += samples[n] * std::cos(angle);
    im += samples[n] * std::sin(angle);
  }
  return std::sqrt(double(k)) * std::hypot(re, im) / double(points);
}

std::vector<double> ReferenceMagnitudes(const std::vector<int16_t>& samples) {
  std::vector<double> magnitudes;
  for (size_t k = 1; k <= samples.size() / 2; ++k) magnitudes.push_back(ReferenceMagnitude(samples, k));
  return magnitudes;
}

TEST(FFT, MagnitudesMatchTheDiscreteFourierTransform) {
  const struct {
    int tableBits;
    int bits;
    const char* why;
  } rows[] = {
      {10, 10, "a transform as large as the tables"},
      {12, 8, "a small transform on large tables takes every 16th twiddle"},
      {3, 1, "two points on the smallest tables"},
      {3, 3, "the smallest tables, whole"},
      {16, 16, "the largest tables"},
  };
  CFFT fft;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ASSERT_TRUE(fft.Init(row.tableBits));
    const std::vector<int16_t> samples = RandomSamples(size_t{1} << row.bits, 8000, 7 + row.bits);
    std::vector<int16_t> out(samples.size() / 2);
    fft.ComputeMagnitudes(out.data(), samples.data(), row.bits);
    // Every bin of the small transforms; a spread of the large one's.
    const size_t stride = out.size() > 512 ? 331 : 1;
    for (size_t j = 0; j < out.size(); j += stride) {
      // Each stage truncates; the error stays within a few units, weighted.
      ASSERT_NEAR(out[j], ReferenceMagnitude(samples, j + 1), 2 + 2 * std::sqrt(double(j + 1))) << "band " << j;
    }
    ASSERT_NEAR(out.back(), ReferenceMagnitude(samples, out.size()), 2 + 2 * std::sqrt(double(out.size())));
  }
}

// The fixed-point algorithm written plainly, a butterfly at a time with
// 64-bit products: the transform (whichever way it runs on this machine)
// must give the same magnitudes bit for bit.
std::vector<int16_t> PlainMagnitudes(const std::vector<int16_t>& samples, int tableBits) {
  const int bits = static_cast<int>(std::log2(samples.size()));
  const size_t half = size_t{1} << (tableBits - 1);
  std::vector<std::pair<int64_t, int64_t>> twiddles(half);
  const size_t eighth = half / 4;
  long double angle = 0;
  for (size_t k = 0; k <= eighth; ++k, angle += (3.14159265358979323846264338327950288L / 4) / eighth) {
    twiddles[k] = {static_cast<int32_t>(std::cos(angle) * 268435455.0L),
                   static_cast<int32_t>(std::sin(angle) * 268435455.0L)};
  }
  for (size_t k = eighth + 1; k <= half / 2; ++k)
    twiddles[k] = {twiddles[half / 2 - k].second, twiddles[half / 2 - k].first};
  for (size_t k = half / 2 + 1; k < half; ++k) twiddles[k] = {-twiddles[half - k].first, twiddles[half - k].second};
  std::vector<int64_t> re(samples.size());
  std::vector<int64_t> im(samples.size());
  for (size_t n = 0; n < samples.size(); ++n) re[n] = samples[n] * 4096;
  for (int stage = tableBits - bits; stage < tableBits; ++stage) {
    const size_t span = half >> stage;
    for (size_t i = 0; i < span; ++i) {
      const auto [c, d] = twiddles[i << stage];
      for (size_t p = i; p < samples.size(); p += 2 * span) {
        const size_t q = p + span;
        const int64_t dr = re[p] - re[q];
        const int64_t di = im[p] - im[q];
        re[p] = static_cast<int32_t>((re[p] + re[q]) >> 1);
        im[p] = static_cast<int32_t>((im[p] + im[q]) >> 1);
        re[q] = static_cast<int32_t>(((dr * c) >> 29) - ((di * d) >> 29));
        im[q] = static_cast<int32_t>(((dr * d) >> 29) + ((di * c) >> 29));
      }
    }
  }
  std::vector<int16_t> out;
  for (size_t k = 1; k <= samples.size() / 2; ++k) {
    size_t reversed = 0;  // k with its `bits` bits reversed
    for (int bit = 0; bit < bits; ++bit) reversed |= ((k >> bit) & 1) << (bits - 1 - bit);
    const int64_t r = re[reversed] >> 12;
    const int64_t m = im[reversed] >> 12;
    const double weighted = double(k) * double(r * r + m * m);
    out.push_back(static_cast<int16_t>(std::min(32767.0, std::floor(std::sqrt(weighted)))));
  }
  return out;
}

TEST(FFT, MagnitudesAreThoseOfThePlainFixedPointAlgorithm) {
  CFFT fft;
  for (const auto& [tableBits, bits] : {std::pair{10, 10}, {11, 9}, {6, 6}, {3, 2}, {14, 14}}) {
    SCOPED_TRACE(std::to_string(bits) + " bits on tables of " + std::to_string(tableBits));
    ASSERT_TRUE(fft.Init(tableBits));
    for (int amplitude : {300, 32767}) {
      const std::vector<int16_t> samples = RandomSamples(size_t{1} << bits, amplitude, amplitude + bits);
      std::vector<int16_t> out(samples.size() / 2);
      fft.ComputeMagnitudes(out.data(), samples.data(), bits);
      ASSERT_EQ(out, PlainMagnitudes(samples, tableBits));
    }
  }
}

TEST(FFT, TablesHaveEightToSixtyFiveThousandPoints) {
  CFFT fft;
  EXPECT_TRUE(fft.Init(0));
  EXPECT_EQ(fft.GetMaxBits(), 3) << "never smaller than 8 points";
  EXPECT_TRUE(fft.Init(16));
  EXPECT_EQ(fft.GetMaxBits(), 16);
  // 2^17 entries do not fit the 16-bit bit-reversal table.
  EXPECT_FALSE(fft.Init(17));
  EXPECT_EQ(fft.GetMaxBits(), 0);
  EXPECT_EQ(fft.GetWork(), nullptr);

  const CClassRecord* record = GetClassManager().FindClass("CFFT");
  ASSERT_EQ(record, &CFFT::ClassRecord);
  EXPECT_NE(record->create, nullptr);
}

// A full-scale square wave: k x (re^2 + im^2) passes 2^31 in its strong
// bins, where a 32-bit product would have turned the magnitude negative or
// meaningless; those bins hold at 32767, the others keep their values.
TEST(FFT, LoudInputHoldsAtTheLargestMagnitudeInsteadOfWrapping) {
  CFFT fft;
  ASSERT_TRUE(fft.Init(10));
  std::vector<int16_t> square(1024);
  for (size_t n = 0; n < square.size(); ++n) square[n] = (n / 16) % 2 ? -32767 : 32767;
  std::vector<int16_t> out(512);
  fft.ComputeMagnitudes(out.data(), square.data(), 10);
  const std::vector<double> expected = ReferenceMagnitudes(square);
  int held = 0;
  int productWrapped = 0;
  for (size_t j = 0; j < out.size(); ++j) {
    SCOPED_TRACE(j);
    EXPECT_GE(out[j], 0);
    if (expected[j] >= 32800) {
      EXPECT_EQ(out[j], 32767);
      ++held;
      if (expected[j] * expected[j] > 2147483647.0) ++productWrapped;
    } else if (expected[j] < 32700) {
      EXPECT_NEAR(out[j], expected[j], 2 + 2 * std::sqrt(double(j + 1)));
    }
  }
  EXPECT_EQ(out[31], 32767) << "the fundamental, bin 32";
  EXPECT_GE(held, 6);
  EXPECT_GE(productWrapped, 4) << "bins whose 32-bit product would have wrapped";
}

}  // namespace
