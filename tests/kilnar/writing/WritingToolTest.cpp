// kilnartool write-image, verify and toc on the emulated ATAPI recorder
// (the default model on an ATAPI adapter) with the layer's fast clock:
// genisoimage images burned session after session and read back by
// isoinfo and xorriso, test writes, write errors and a changed disc.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "kilnar/EmulatedRecorder.h"

namespace {

using kilnartest::Quoted;
using kilnartest::RunKilnartool;

struct BurnFolder : kilnartest::EmulatedRecorderFolder {
  std::string Env(const std::string& more = "") const { return Environment("TWL_CLOCK=fast " + more); }
  // A folder of files and its ISO image; `options` go to genisoimage.
  std::string MakeImage(const std::string& name, const std::string& options, size_t fileBytes) const {
    const std::string source = SourceOf(name);
    const std::string image = folder + "/" + name + ".iso";
    twltest::RunCommand("mkdir -p " + Quoted(source));
    twltest::WriteFile(source + "/data.bin", kilnartest::PatternBytes(fileBytes, static_cast<unsigned>(fileBytes)));
    twltest::WriteFile(source + "/note.txt", "session " + name + "\n");
    EXPECT_EQ(twltest::RunCommand("genisoimage -quiet " + options + " -o " + Quoted(image) + " " + Quoted(source) +
                                  " 2>/dev/null"),
              0);
    return image;
  }
  std::string SourceOf(const std::string& name) const { return folder + "/src-" + name; }
};

std::string LineOf(const std::string& output, const std::string& start) {
  size_t at = output.rfind(start, 0) == 0 ? 0 : output.find("\n" + start);
  if (at == std::string::npos) return "";
  if (at != 0 || output.rfind(start, 0) != 0) ++at;
  return output.substr(at, output.find('\n', at) - at);
}

// The output without its progress lines.
std::string WithoutProgress(const std::string& output) {
  std::string kept;
  size_t start = 0;
  for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = output.substr(start, end - start + 1);
    if (line.rfind("progress ", 0) != 0) kept += line;
  }
  return kept;
}

TEST(WritingToolTest, ImagesBurnedSessionAfterSession) {
  const BurnFolder place;
  const std::string one = place.MakeImage("ONE", "-V ONE", 700000);
  const uint32_t oneBlocks = static_cast<uint32_t>(kilnartest::FileSize(one) / 2048);
  std::string output, error;
  ASSERT_EQ(RunKilnartool("write-image " + Quoted(one), &output, place.Env(), &error), 0) << error;
  EXPECT_EQ(WithoutProgress(output), "recorder Dev_ATAPIRecorder\nfree-blocks 359849\nstart 0\nclosed\n");
  EXPECT_EQ(LineOf(output, "progress "), "progress 5") << "30 of 347 blocks after the first piece";
  EXPECT_NE(output.find("progress 100\nclosed\n"), std::string::npos);
  EXPECT_EQ(twltest::RunCommand("cmp -n " + std::to_string(kilnartest::FileSize(one)) + " " + Quoted(one) + " " +
                                Quoted(place.disc)),
            0);
  std::string shown;
  twltest::RunCommand("isoinfo -d -i " + Quoted(place.disc) + " | grep '^Volume id:'", &shown);
  EXPECT_EQ(shown, "Volume id: ONE\n");
  EXPECT_EQ(twltest::RunCommand("isoinfo -i " + Quoted(place.disc) + " -x '/DATA.BIN;1' | cmp - " +
                                Quoted(place.SourceOf("ONE") + "/data.bin")),
            0);
  twltest::RunCommand("xorriso -indev " + Quoted(place.disc) + " -ls 2>/dev/null", &shown);
  EXPECT_EQ(shown, "'DATA.BIN'\n'NOTE.TXT'\n");

  // The next session starts 11400 blocks after the track's end (its two
  // run-out blocks included).
  ASSERT_EQ(RunKilnartool("toc", &output, place.Env(), &error), 0) << error;
  const uint32_t next = oneBlocks + 2 + 11400;
  EXPECT_EQ(LineOf(output, "next-writable"), "next-writable " + std::to_string(next));
  const std::string two = place.MakeImage("TWO", "-V TWO -C 0," + std::to_string(next), 5000);
  ASSERT_EQ(RunKilnartool("write-image " + Quoted(two), &output, place.Env(), &error), 0) << error;
  EXPECT_EQ(LineOf(output, "start"), "start " + std::to_string(next));
  EXPECT_EQ(LineOf(output, "free-blocks"), "free-blocks " + std::to_string(359849 - next));
  twltest::RunCommand("isoinfo -d -T " + std::to_string(next) + " -i " + Quoted(place.disc) +
                          " | grep '^Volume id:'; isoinfo -f -T " + std::to_string(next) + " -i " + Quoted(place.disc),
                      &shown);
  EXPECT_EQ(shown, "Volume id: TWO\n/DATA.BIN;1\n/NOTE.TXT;1\n");
  ASSERT_EQ(RunKilnartool("toc", &output, place.Env(), &error), 0) << error;
  EXPECT_EQ(LineOf(output, "sessions"), "sessions 2");
  EXPECT_EQ(LineOf(output, "track 1 ").substr(0, 17), "track 1 session 1");
  EXPECT_EQ(LineOf(output, "track 2 ").substr(0, 17), "track 2 session 2");
  EXPECT_EQ(LineOf(output, "label"), "label \"TWO\"");

  ASSERT_EQ(RunKilnartool("verify " + Quoted(one) + " 1", &output, place.Env(), &error), 0) << error;
  EXPECT_EQ(output, "verified\n");
  ASSERT_EQ(RunKilnartool("verify " + Quoted(two), &output, place.Env(), &error), 0) << error;
  EXPECT_EQ(output, "verified\n") << "the last track by default";
}

TEST(WritingToolTest, RefusalsAndFailures) {
  const std::string readError = "Medium Error! (support info: aa, 0c, 00 )";
  struct Case {
    const char* name;
    const char* arguments;  // IMAGE stands for the image
    const char* switches;
    const char* error;
  } cases[] = {
      {"a write error fails the burn", "write-image IMAGE", "TWL_RECORDER_FAULTS=writeerror=100", readError.c_str()},
      {"a drive with no disc", "write-image IMAGE", "TWL_RECORDER_FAULTS=nomedium", nullptr},
      {"an image of part blocks", "write-image IMAGE.part", "", "IMAGE.part is not whole 2048-byte blocks"},
      {"no recorder of a known model", "write-image IMAGE", "TWL_RECORDER_INQUIRY='NOBODY  KNOWS ME'",
       "no recorder of a known model found"},
      {"an unknown switch", "write-image IMAGE --fast", "", "write-image takes IMAGE [--test] [--dao] [--speed F] [--drive H:T]"},
      {"verify of a blank disc", "verify IMAGE", "", "the disc holds no track"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const BurnFolder place;
    const std::string image = place.MakeImage("ONE", "-V ONE", 300000);
    twltest::WriteFile(image + ".part", twltest::ReadFile(image) + "x");
    std::string arguments = c.arguments;
    arguments.replace(arguments.find("IMAGE"), 5, image);
    std::string output, error;
    const int status = RunKilnartool(arguments, &output, place.Env(c.switches), &error);
    EXPECT_EQ(WEXITSTATUS(status), 1) << output;
    if (c.error) {
      std::string expected = c.error;
      if (expected.rfind("IMAGE.part", 0) == 0) expected.replace(0, 5, image);
      EXPECT_EQ(error, "kilnartool: " + expected + "\n");
    } else {
      EXPECT_EQ(error.rfind("kilnartool: Not Ready!", 0), 0u) << error;
    }
  }
}

TEST(WritingToolTest, TestWriteLeavesTheDiscBlank) {
  const BurnFolder place;
  const std::string image = place.MakeImage("ONE", "-V ONE", 300000);
  std::string output, error;
  ASSERT_EQ(RunKilnartool("write-image " + Quoted(image) + " --test --speed 4", &output, place.Env(), &error), 0)
      << error;
  EXPECT_EQ(WithoutProgress(output), "recorder Dev_ATAPIRecorder\nfree-blocks 359849\nstart 0\n");
  EXPECT_EQ(twltest::ReadFile(place.disc + ".layout"), "medium cdr 359849\n");
  EXPECT_EQ(kilnartest::FileSize(place.disc), 0);
  // The page sent for the track has the test-write bit; 4x is 708 kB/s.
  EXPECT_GE(place.CountLogged("55 10 00 00 00 00 00 00 3c 00 | out 60 | good | 00 00 00 00 00 00 00 00 05 30 11"), 1);
  EXPECT_EQ(place.CountLogged("bb 00 02 c4 02 c4"), 2) << twltest::ReadFile(place.log);
  EXPECT_EQ(place.CountLogged("5b"), 0) << "the session is not closed";
}

TEST(WritingToolTest, VerifyFindsAChangedByte) {
  const BurnFolder place;
  const std::string image = place.MakeImage("ONE", "-V ONE", 300000);
  std::string output, error;
  ASSERT_EQ(RunKilnartool("write-image " + Quoted(image), &output, place.Env(), &error), 0) << error;
  std::string disc = twltest::ReadFile(place.disc);
  disc[40 * 2048 + 17] ^= 0x01;
  twltest::WriteFile(place.disc, disc);
  const int status = RunKilnartool("verify " + Quoted(image), &output, place.Env(), &error);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(error, "kilnartool: The data on the disc differs from the data written.\n");
}

}  // namespace
