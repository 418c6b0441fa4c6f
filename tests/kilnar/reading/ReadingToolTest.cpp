// kilnartool toc and read-track on the emulated recorder as a plain
// recorder (an unknown model on a wide adapter): discs made from
// genisoimage images, an audio track, the [READER] setting and lying
// answers.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "kilnar/EmulatedRecorder.h"

namespace {

using kilnartest::Quoted;
using kilnartest::RunKilnartool;

struct ReadingDisc : kilnartest::EmulatedRecorderFolder {
  explicit ReadingDisc(const std::string& model = "NOBODY  PLAIN READER") : model_(model) {}
  std::string Env(const std::string& more = "") const {
    return Environment("TWL_CLOCK=fast TWL_RECORDER_ADAPTER=scsi:8 TWL_RECORDER_INQUIRY=" + Quoted(model_) + " " + more);
  }
  // An ISO image of one small file, with the volume id given.
  std::string MakeImage(const std::string& volumeId, size_t fileBytes) const {
    const std::string source = folder + "/src-" + volumeId;
    const std::string image = folder + "/" + volumeId + ".iso";
    twltest::RunCommand("mkdir -p " + Quoted(source));
    twltest::WriteFile(source + "/file.bin", kilnartest::PatternBytes(fileBytes, static_cast<unsigned>(fileBytes)));
    EXPECT_EQ(twltest::RunCommand("genisoimage -quiet -V " + volumeId + " -o " + Quoted(image) + " " + Quoted(source)),
              0);
    return image;
  }
  // The disc file and its layout: each image a data track of its own
  // session at the given block.
  void WriteDisc(const std::vector<std::pair<std::string, uint32_t>>& tracks, const std::string& kind = "data") const {
    std::string bytes, layout = "medium cdr 359849\n", trackLines;
    int number = 0;
    for (const auto& [image, start] : tracks) {
      const std::string data = twltest::ReadFile(image);
      bytes.resize(static_cast<size_t>(start) * 2048, '\0');
      bytes += data;
      ++number;
      layout += "session " + std::to_string(number) + " appendable\n";
      trackLines += "track " + std::to_string(number) + " session " + std::to_string(number) + " start " +
                    std::to_string(start) + " length " + std::to_string(data.size() / 2048 + 2) + " " + kind + "\n";
    }
    twltest::WriteFile(disc, bytes);
    twltest::WriteFile(disc + ".layout", layout + trackLines);
  }
  std::string model_;
};

std::string Line(const std::string& output, const std::string& start) {
  const size_t at = output.find("\n" + start);
  if (at == std::string::npos) return output.rfind(start, 0) == 0 ? output.substr(0, output.find('\n')) : "";
  return output.substr(at + 1, output.find('\n', at + 1) - at - 1);
}

TEST(ReadingToolTest, TocOfATwoSessionDisc) {
  const ReadingDisc place;
  const std::string one = place.MakeImage("ONE", 300000);
  const std::string two = place.MakeImage("TWO", 5000);
  const uint32_t oneBlocks = static_cast<uint32_t>(kilnartest::FileSize(one) / 2048);
  const uint32_t twoStart = oneBlocks + 2 + 11400;  // 11400 blocks after the first track's end
  const uint32_t twoBlocks = static_cast<uint32_t>(kilnartest::FileSize(two) / 2048);
  place.WriteDisc({{one, 0}, {two, twoStart}});
  std::string output, error;
  ASSERT_EQ(RunKilnartool("toc", &output, place.Env(), &error), 0) << error;
  const int frames = static_cast<int>(twoStart) + 150;
  char msf[16];
  std::snprintf(msf, sizeof msf, "%02d:%02d:%02d", frames / 4500, frames / 75 % 60, frames % 75);
  EXPECT_EQ(output.substr(0, output.find("track 1 ")), "sessions 2\ntracks 2\ndisc-type 1\n");
  EXPECT_EQ(Line(output, "track 2 ").substr(0, 41), std::string("track 2 session 1 format 1 start ") + msf);
  EXPECT_EQ(Line(output, "last-session-start"), "last-session-start " + std::to_string(twoStart) + " track 2");
  std::string isoinfo;
  twltest::RunCommand("isoinfo -d -i " + Quoted(two) + " | sed -n 's/^Volume id: //p'", &isoinfo);
  ASSERT_FALSE(isoinfo.empty());
  EXPECT_EQ(Line(output, "label"), "label \"" + isoinfo.substr(0, isoinfo.find('\n')) + "\"");
  EXPECT_EQ(Line(output, "next-writable"), "next-writable " + std::to_string(twoStart + twoBlocks + 2 + 11250));
  EXPECT_EQ(Line(output, "free-blocks"), "free-blocks " + std::to_string(333000 - (twoStart + twoBlocks + 2 + 11250)));
}

TEST(ReadingToolTest, BlankDisc) {
  const ReadingDisc place;
  std::string output, error;
  ASSERT_EQ(RunKilnartool("toc", &output, place.Env(), &error), 0) << error;
  EXPECT_EQ(output,
            "sessions 0\ntracks 0\ndisc-type 0\nlast-session-start 0 track 0\nlabel none\nnext-writable -150\n"
            "free-blocks 0\n");
}

TEST(ReadingToolTest, ReadTrackCopiesDataTracks) {
  const ReadingDisc place;
  const std::string one = place.MakeImage("ONE", 300000);
  place.WriteDisc({{one, 0}});
  const std::string copy = place.folder + "/copy.iso";
  std::string output, error;
  ASSERT_EQ(RunKilnartool("read-track 1 " + Quoted(copy), &output, place.Env(), &error), 0) << error;
  EXPECT_EQ(twltest::RunCommand("cmp " + Quoted(copy) + " " + Quoted(one)), 0);

  // 2324-byte Mode 2 blocks are read as 2336-byte blocks and unpacked.
  const std::string mode2 = place.folder + "/mode2.bin";
  ASSERT_EQ(RunKilnartool("read-track 1 " + Quoted(mode2) + " --block-size 2324", &output, place.Env(), &error), 0)
      << error;
  EXPECT_EQ(kilnartest::FileSize(mode2), kilnartest::FileSize(one) / 2048 * 2324);
  int asked2336 = 0;
  for (const auto& line : place.LogLines())
    if (line.rfind("15 10 00 00 0c 00 | out 12 | good | ", 0) == 0 && line.size() > 6 &&
        line.substr(line.size() - 6) == " 09 20")
      ++asked2336;
  EXPECT_EQ(asked2336, 1) << twltest::ReadFile(place.log);
  EXPECT_EQ(twltest::ReadFile(mode2).substr(0, 2048), twltest::ReadFile(one).substr(0, 2048));
}

TEST(ReadingToolTest, AudioTracksByReaderSetting) {
  struct Case {
    const char* model;
    const char* key;
    const char* value;
    const char* logged;  // the read command's first bytes; null: the read fails
  } cases[] = {
      {"NOBODY  AUDIO READ10", "NOBODYAUDIOREAD10", "40;0", "28 00 00 00 00 00 00 00 1b 00"},
      {"NOBODY  AUDIO D8", "NOBODYAUDIOD8", "216;0", "d8 00 00 00 00 00 00 00 00 1b 00 00"},
      {"NOBODY  AUDIO NONE", "NOBODYAUDIONONE", "0;0", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    const ReadingDisc place(c.model);
    twltest::WriteFile(place.folder + "/audio.img", kilnartest::PatternBytes(1000 * 2048));
    place.WriteDisc({{place.folder + "/audio.img", 0}}, "audio");
    std::string output, error;
    ASSERT_EQ(RunKilnartool(std::string("msg 'MSG\\SCSI.MSG' READER ") + c.key + " '" + c.value + "'", &output), 0);
    const std::string wave = place.folder + "/track.wav";
    const int status = RunKilnartool("read-track 1 " + Quoted(wave), &output, place.Env(), &error);
    if (!c.logged) {
      EXPECT_EQ(WEXITSTATUS(status), 1);
      EXPECT_EQ(error, "kilnartool: Read CDDA not supported\n");
      continue;
    }
    ASSERT_EQ(status, 0) << error;
    EXPECT_EQ(place.CountLogged(c.logged), 1) << twltest::ReadFile(place.log);
    std::string soxi;
    twltest::RunCommand("soxi -r " + Quoted(wave) + " && soxi -c " + Quoted(wave) + " && soxi -b " + Quoted(wave), &soxi);
    EXPECT_EQ(soxi, "44100\n2\n16\n");
    EXPECT_EQ(kilnartest::FileSize(wave), 44 + 1000LL * 2352);
  }
}

TEST(ReadingToolTest, ReaderValueBeginningWithALetterBecomesZeros) {
  const ReadingDisc place("NOBODY  LETTER VALUE");
  std::string output;
  ASSERT_EQ(RunKilnartool("msg 'MSG\\SCSI.MSG' READER NOBODYLETTERVALUE 'D8;1'", &output), 0);
  ASSERT_EQ(RunKilnartool("toc", &output, place.Env()), 0);
  ASSERT_EQ(RunKilnartool("msg 'MSG\\SCSI.MSG' READER NOBODYLETTERVALUE", &output), 0);
  EXPECT_EQ(output, "value 0;0\n");
}

TEST(ReadingToolTest, LyingTocAnswersEndWithATextAndNoCrash) {
  struct Case {
    const char* name;
    const char* reply;
  } cases[] = {
      {"255 tracks", "43 data 00 12 01 ff 00 14 01 00 00 00 00 00 00 14 aa 00 00 00 03 e8"},
      {"99 tracks in two descriptors", "43 data 00 12 01 63 00 14 01 00 00 00 00 00 00 14 aa 00 00 00 03 e8"},
      {"descriptors at 7FFFFFFFh", "43 data 00 12 01 01 00 14 01 00 7f ff ff ff 00 14 aa 00 7f ff ff ff"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadingDisc place;
    twltest::WriteFile(place.folder + "/replies", std::string(c.reply) + "\n");
    std::string output, error;
    const int status =
        RunKilnartool("toc", &output, place.Env("TWL_RECORDER_REPLIES=" + Quoted(place.folder + "/replies")), &error);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(error.rfind("kilnartool: The drive's table of contents is not valid", 0), 0u) << error;
  }
}

}  // namespace
