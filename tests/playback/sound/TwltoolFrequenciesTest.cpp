// `twltool spectrum` end to end: sox makes the sound, the tool plays it to
// a spectrum analyser through the host API on a clock of its own and
// prints every frame it takes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "SoundBufferFixture.h"

using soundtest::Quote;

namespace {

using soundtest::Twltool;

struct Frame {
  long time = 0;
  std::vector<int> values;
  std::vector<int> right;  // type 2
};

// Each line: TIME m0 m1 ... [| r0 r1 ...].
std::vector<Frame> Spectrum(const std::string& options, const std::string& wav) {
  std::string output;
  const std::string command = Twltool() + " spectrum " + options + " " + Quote(wav);
  const int status = twltest::RunCommand(command, &output);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
  std::vector<Frame> frames;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    Frame frame;
    words >> frame.time;
    std::vector<int>* into = &frame.values;
    for (std::string word; words >> word;) {
      if (word == "|") {
        into = &frame.right;
        continue;
      }
      into->push_back(std::stoi(word));
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

std::string Sox(const std::string& folder, const std::string& name, const std::string& format,
                const std::string& synth) {
  const std::string path = folder + "/" + name;
  EXPECT_EQ(twltest::RunCommand("sox -n " + format + " " + Quote(path) + " synth " + synth + " 2>/dev/null"), 0);
  return path;
}

int Peak(const std::vector<int>& values) {
  return static_cast<int>(std::max_element(values.begin(), values.end()) - values.begin());
}

TEST(TwltoolSpectrum, ASineOfAQuarterScalePeaksInItsBandInEveryFrame) {
  const std::string folder = twltest::MakeTempDir("sine");
  const std::string wav = Sox(folder, "t.wav", "-r 44100 -b 16 -c 1", "1 sine 1000 vol 0.25");
  const std::vector<Frame> frames = Spectrum("--bits 9 --rate 22050 --ups 20", wav);
  // A window of 46.4 ms every 50 ms of the second; the first is stamped
  // at the middle of its window (its last sample less 1024 input samples).
  ASSERT_EQ(frames.size(), 20u);
  EXPECT_EQ(frames[0].time, 23);
  for (size_t i = 0; i < frames.size(); ++i) {
    SCOPED_TRACE(i);
    const Frame& frame = frames[i];
    ASSERT_EQ(frame.values.size(), 512u);
    EXPECT_TRUE(frame.right.empty());
    if (i > 0) {
      EXPECT_NEAR(frame.time - frames[i - 1].time, 50, 1);
    }
    // 1000 Hz lies between bands 45 (990 Hz) and 46 (1012 Hz), nearer 45.
    EXPECT_EQ(Peak(frame.values), 45);
    EXPECT_GT(frame.values[45], frame.values[46]);
    EXPECT_LT(frame.values[45], 32767) << "a quarter of full scale does not saturate";
  }

  // At sox's full level the strongest bands all hold at 32767.
  const std::vector<Frame> loud =
      Spectrum("--bits 9 --rate 22050 --ups 20", Sox(folder, "loud.wav", "-r 44100 -b 16 -c 1", "1 sine 1000"));
  ASSERT_FALSE(loud.empty());
  EXPECT_EQ(loud[0].values[45], 32767);
  EXPECT_EQ(loud[0].values[46], 32767);
}

TEST(TwltoolSpectrum, FullScaleSquareWavesAndNoiseGiveNoNegativeMagnitude) {
  const std::string folder = twltest::MakeTempDir("loud");
  const struct {
    const char* synth;
    bool holds;  // some band surely holds at 32767
  } rows[] = {{"1 square 1000", true}, {"1 whitenoise", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.synth);
    const std::vector<Frame> frames =
        Spectrum("--bits 9 --rate 22050 --ups 20", Sox(folder, "loud.wav", "-r 44100 -b 16 -c 1", row.synth));
    ASSERT_EQ(frames.size(), 20u);
    int held = 0;
    for (const Frame& frame : frames) {
      for (int value : frame.values) {
        ASSERT_GE(value, 0);
        held += value == 32767;
      }
    }
    // The square wave's strong harmonics hold at the largest magnitude,
    // where a 32-bit product would have wrapped (random noise may too).
    if (row.holds) {
      EXPECT_GT(held, 0);
    }
  }
}

TEST(TwltoolSpectrum, EightBitStereoIsMixedOrKeptApart) {
  const std::string folder = twltest::MakeTempDir("stereo");
  // Left 1000 Hz (band 45), right 3000 Hz (band 138).
  const std::string stereo = Sox(folder, "st.wav", "-r 44100 -b 8 -c 2", "1 sine 1000 sine 3000 vol 0.5");
  const std::vector<Frame> mixed = Spectrum("--bits 9 --rate 22050 --ups 20 --mix", stereo);
  const std::vector<Frame> left = Spectrum("--bits 9 --rate 22050 --ups 20", stereo);
  const std::vector<Frame> both = Spectrum("--bits 9 --rate 22050 --ups 20 --type 2", stereo);
  ASSERT_EQ(mixed.size(), 20u);
  ASSERT_EQ(left.size(), 20u);
  ASSERT_EQ(both.size(), 20u);
  for (size_t i = 0; i < mixed.size(); ++i) {
    SCOPED_TRACE(i);
    std::vector<int> strongest(512);
    for (int j = 0; j < 512; ++j) strongest[j] = j;
    const auto& values = mixed[i].values;
    std::partial_sort(strongest.begin(), strongest.begin() + 2, strongest.end(),
                      [&](int a, int b) { return values[a] > values[b]; });
    EXPECT_EQ(std::min(strongest[0], strongest[1]), 45) << "both channels in the one spectrum";
    EXPECT_EQ(std::max(strongest[0], strongest[1]), 138);
    EXPECT_EQ(Peak(left[i].values), 45);
    EXPECT_LT(left[i].values[138], left[i].values[45] / 20) << "the left channel alone";
    EXPECT_EQ(both[i].values, left[i].values);
    ASSERT_EQ(both[i].right.size(), 512u);
    EXPECT_EQ(Peak(both[i].right), 138);
  }

  // Mono for two spectra: both the same.
  const std::vector<Frame> mono =
      Spectrum("--bits 9 --rate 22050 --ups 20 --type 2", Sox(folder, "mono.wav", "-r 44100 -b 8 -c 1", "1 sine 1000"));
  ASSERT_FALSE(mono.empty());
  for (const Frame& frame : mono) EXPECT_EQ(frame.values, frame.right);
}

TEST(TwltoolSpectrum, BadParametersAreRefusedByTheHost) {
  const std::string folder = twltest::MakeTempDir("bad");
  const std::string wav = Sox(folder, "t.wav", "-r 44100 -b 16 -c 1", "0.1 sine 1000");
  const struct {
    std::string options;
    const char* reason;
  } rows[] = {
      {"--bits 16 --rate 22050 --ups 20", "spectrum: invalid parameter"},
      {"--bits 9 --rate 22050 --ups 1001", "spectrum: invalid parameter"},
      {"--bits 9 --rate 22050 --ups 20 --type 3", "spectrum: invalid parameter"},
      {"--bits 9 --ups 20", "spectrum takes --bits B --rate R --ups U"},
  };
  for (const auto& row : rows) {
    std::string output;
    const int status =
        twltest::RunCommand(Twltool() + " spectrum " + row.options + " " + Quote(wav) + " 2>&1", &output);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << row.options;
    EXPECT_NE(output.find(row.reason), std::string::npos) << row.options << ": " << output;
  }
  // bits 0: one band, from a window of two samples.
  const std::vector<Frame> one = Spectrum("--bits 0 --rate 22050 --ups 20", wav);
  ASSERT_FALSE(one.empty());
  EXPECT_EQ(one[0].values.size(), 1u);
}

}  // namespace
