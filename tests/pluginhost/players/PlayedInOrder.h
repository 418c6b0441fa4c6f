// Checks a WAV sink's capture against the files played into it: 44100 Hz
// 16-bit stereo, each file's PCM once, whole, in order, with only silence
// around and between.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SoundFixture.h"

namespace soundtest {

inline void ExpectPlayedInOrder(const std::string& capturePath, const std::vector<std::string>& pcms) {
  const Capture capture = ReadCapture(capturePath);
  EXPECT_EQ(capture.format.nSamplesPerSec, 44100u);
  EXPECT_EQ(capture.format.nChannels, 2u);
  EXPECT_EQ(capture.format.wBitsPerSample, 16u);
  const auto silent = [&](size_t from, size_t to) { return capture.data.find_first_not_of('\0', from) >= to; };
  size_t end = 0;  // of the file before
  for (size_t i = 0; i < pcms.size(); ++i) {
    SCOPED_TRACE("file " + std::to_string(i + 1));
    const size_t at = capture.data.find(pcms[i], end);
    ASSERT_NE(at, std::string::npos) << "not in the capture whole, after the file before";
    EXPECT_EQ(capture.data.find(pcms[i], at + 1), std::string::npos) << "played twice";
    EXPECT_TRUE(silent(end, at)) << "only silence before it";
    end = at + pcms[i].size();
  }
  EXPECT_TRUE(silent(end, capture.data.size())) << "only silence after the last";
}

}  // namespace soundtest
