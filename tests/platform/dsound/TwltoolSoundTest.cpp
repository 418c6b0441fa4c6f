// `twltool dsound` and `twltool mixer` end to end: sox makes the sound,
// the tool plays it into a sink, python3, soxi and sox check what came out.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <string>

#include "support/TestPaths.h"

namespace {

std::string Quote(const std::string& text) { return "'" + text + "'"; }

std::string Twltool() { return Quote(twltest::ProgramPath("twltool")); }

bool Succeeded(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

// Runs a command line and fails the test unless it succeeds; its output.
std::string RunOk(const std::string& commandLine) {
  std::string output;
  const int status = twltest::RunCommand(commandLine, &output);
  EXPECT_TRUE(Succeeded(status)) << commandLine << "\n" << output;
  return output;
}

std::string Tone(const std::string& folder, const std::string& seconds) {
  const std::string path = folder + "/tone.wav";
  RunOk("sox -n -r 44100 -b 16 -c 2 " + Quote(path) + " synth " + seconds + " sine 440");
  return path;
}

std::string CheckCapture(const std::string& source, const std::string& capture, const std::string& options = "") {
  const std::string checker = twltest::SourceDir() + "/tests/platform/dsound/captured_pcm.py";
  return RunOk("python3 " + Quote(checker) + " " + Quote(source) + " " + Quote(capture) + " " + options);
}

// The RMS amplitude sox reports for the first `frames` frames of a file.
double RmsAmplitude(const std::string& path, int frames) {
  const std::string output =
      RunOk("sox " + Quote(path) + " -n trim 0s " + std::to_string(frames) + "s stat 2>&1 | grep '^RMS *amplitude'");
  return std::stod(output.substr(output.find(':') + 1));
}

TEST(TwltoolSound, PlaysAToneIntoTheWavSinkOnceAndWhole) {
  const std::string folder = twltest::MakeTempDir("tone");
  const std::string tone = Tone(folder, "2");
  const std::string capture = folder + "/capture.wav";
  EXPECT_EQ(RunOk("TWL_SOUND_SINK=wav:" + Quote(capture) + " " + Twltool() + " dsound play " + Quote(tone)),
            "44100 Hz, 16 bit, 2 channels, 352800 bytes\n");
  EXPECT_EQ(CheckCapture(tone, capture), "offset 0\n");
  EXPECT_EQ(RunOk("soxi -r " + Quote(capture)), "44100\n");
  EXPECT_EQ(RunOk("soxi -c " + Quote(capture)), "2\n");
  EXPECT_EQ(RunOk("soxi -b " + Quote(capture)), "16\n");
}

TEST(TwltoolSound, TheSdlSinkGivesTheSamePcmThroughSdlsDiskDriver) {
  const std::string folder = twltest::MakeTempDir("sdl");
  const std::string tone = Tone(folder, "2");
  const std::string raw = folder + "/device.raw";
  RunOk("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + Quote(raw) + " TWL_SOUND_SINK=sdl " + Twltool() + " dsound play " +
      Quote(tone) + " 2>/dev/null");
  const std::string found = CheckCapture(tone, raw, "--raw");
  EXPECT_EQ(found.rfind("offset ", 0), 0u) << found;
}

TEST(TwltoolSound, MinusThousandHundredthsLowerTheRmsByTenDecibels) {
  const std::string folder = twltest::MakeTempDir("volume");
  const std::string tone = Tone(folder, "1");
  const std::string capture = folder + "/quiet.wav";
  RunOk("TWL_SOUND_SINK=wav:" + Quote(capture) + " " + Twltool() + " dsound play --volume -1000 " + Quote(tone));
  const double drop = 20 * std::log10(RmsAmplitude(capture, 44100) / RmsAmplitude(tone, 44100));
  EXPECT_NEAR(drop, -10.0, 0.1);
}

TEST(TwltoolSound, ListsTheDevicesAndRefusesBadArguments) {
  EXPECT_EQ(RunOk(Twltool() + " dsound devices"),
            "-\tPrimary Sound Driver\n{6A0C9F52-3B1D-4E8A-9C47-2D5E8B1F0A63}\tSoftware sound output\n");
  const std::string folder = twltest::MakeTempDir("arguments");
  const std::string tone = Tone(folder, "0.01");
  for (const std::string& arguments : {std::string("dsound"), std::string("dsound play"),
                                       "dsound play --volume 1 " + Quote(tone), "dsound play --pan -10001 " + Quote(tone),
                                       "dsound play --volume loud " + Quote(tone), std::string("dsound play a.wav b.wav")}) {
    const int status = twltest::RunCommand("TWL_SOUND_SINK=null " + Twltool() + " " + arguments + " 2>/dev/null");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << arguments;
  }
}

// Files that are not PCM WAV files the tool can play, each refused with
// its reason before anything plays.
TEST(TwltoolSound, RefusesFilesItCannotPlay) {
  const std::string folder = twltest::MakeTempDir("files");
  const std::string fmt = std::string("fmt ") + std::string("\x10\0\0\0", 4);
  auto pcm = [](int tag, int channels, int rate, int align, int bits) {
    std::string body;
    auto put = [&body](uint32_t value, int bytes) {
      for (int i = 0; i < bytes; ++i) body.push_back(static_cast<char>(value >> (8 * i)));
    };
    put(tag, 2), put(channels, 2), put(rate, 4), put(rate * align, 4), put(align, 2), put(bits, 2);
    return body;
  };
  auto riff = [](const std::string& chunks) {
    const uint32_t size = static_cast<uint32_t>(chunks.size() + 4);
    std::string header = "RIFF";
    for (int i = 0; i < 4; ++i) header.push_back(static_cast<char>(size >> (8 * i)));
    return header + "WAVE" + chunks;
  };
  const std::string data4 = std::string("data\4\0\0\0", 8) + std::string(4, '\0');
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } rows[] = {
      {"text.wav", "hello", "not a RIFF WAVE file"},
      {"adpcm.wav", riff(fmt + pcm(2, 2, 44100, 4, 16) + data4), "not PCM (format tag 2)"},
      {"24bit.wav", riff(fmt + pcm(1, 2, 44100, 6, 24) + data4), "24-bit samples are not played"},
      {"rate0.wav", riff(fmt + pcm(1, 2, 0, 4, 16) + data4), "the sample rate is 0"},
      {"rate1.wav", riff(fmt + pcm(1, 2, 1, 4, 16) + data4), "a rate of 1 Hz is not played"},
      {"align.wav", riff(fmt + pcm(1, 2, 44100, 3, 16) + data4), "the block size does not fit the format"},
      {"datafirst.wav", riff(data4 + fmt + pcm(1, 2, 44100, 4, 16)), "the data chunk comes before the fmt chunk"},
      {"nodata.wav", riff(fmt + pcm(1, 2, 44100, 4, 16)), "no data chunk"},
      {"partial.wav", riff(fmt + pcm(1, 2, 44100, 4, 16) + std::string("data\3\0\0\0\0\0\0", 11)),
       "the data is not a whole number of frames"},
      {"truncated.wav", riff(fmt + pcm(1, 2, 44100, 4, 16) + std::string("data\0\1\0\0", 8) + std::string(8, '\0')),
       "the data chunk runs past the end of the file"},
  };
  for (const auto& row : rows) {
    const std::string path = folder + "/" + row.name;
    twltest::WriteFile(path, row.bytes);
    std::string output;
    const int status = twltest::RunCommand("TWL_SOUND_SINK=null " + Twltool() + " dsound play " + Quote(path) + " 2>&1",
                                           &output);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << row.name;
    EXPECT_NE(output.find(row.reason), std::string::npos) << row.name << ": " << output;
  }
}

TEST(TwltoolSound, MixerGetsAndSetsTheMasterVolume) {
  EXPECT_EQ(RunOk(Twltool() + " mixer get"), "65535\n");
  EXPECT_EQ(RunOk(Twltool() + " mixer set 32768"), "32768 (1 change notice)\n");
  const int status = twltest::RunCommand(Twltool() + " mixer set 65536 2>/dev/null");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
}

}  // namespace
