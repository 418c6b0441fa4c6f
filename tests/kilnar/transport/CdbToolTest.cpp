// kilnartool cdb against the emulated recorder: INQUIRY text, failures
// with their sense and text, UNIT ATTENTION answered by sending again,
// command blocks refused before they go out, a track-at-once session
// written with raw commands, and hostile answers.
#include <gtest/gtest.h>

#include <sstream>

#include "kilnar/EmulatedRecorder.h"

namespace {

using kilnartest::EmulatedRecorderFolder;
using kilnartest::Quoted;
using kilnartest::RunKilnartool;

const char* const kInquiry = "12 00 00 00 2c 00 --in 44";

// The data line's bytes 8 to 35 as text.
std::string InquiryTextOf(const std::string& output) {
  const auto at = output.find("data ");
  if (at == std::string::npos) return "";
  std::istringstream bytes(output.substr(at + 5, output.find('\n', at) - at - 5));
  std::string text, byte;
  for (int i = 0; bytes >> byte; ++i)
    if (i >= 8 && i < 36) text += static_cast<char>(std::stoi(byte, nullptr, 16));
  return text;
}

TEST(CdbToolTest, InquiryAnswersTheConfiguredText) {
  const EmulatedRecorderFolder recorder;
  std::string output;
  ASSERT_EQ(RunKilnartool(std::string("cdb 0 0 ") + kInquiry, &output, recorder.Environment()), 0);
  EXPECT_EQ(InquiryTextOf(output), "MITSUMI CR-2801TE           ");
  ASSERT_EQ(RunKilnartool(std::string("cdb 0 0 ") + kInquiry, &output,
                          recorder.Environment("TWL_RECORDER_INQUIRY='YAMAHA  CRW4416S        1.0q'")),
            0);
  EXPECT_EQ(InquiryTextOf(output), "YAMAHA  CRW4416S        1.0q");
}

TEST(CdbToolTest, NoMediumGivesStatusSenseAndText) {
  const EmulatedRecorderFolder recorder;
  std::string output;
  ASSERT_EQ(RunKilnartool("cdb 0 0 00 00 00 00 00 00", &output, recorder.Environment("TWL_RECORDER_FAULTS=nomedium")),
            0);
  EXPECT_EQ(output, "command 1\nstatus -1\nsense 02 3a 00\nerror Not Ready! (support info: 00, 3a, 00 )\n");
}

TEST(CdbToolTest, UnitAttentionSendsTheCommandAgain) {
  const EmulatedRecorderFolder recorder;
  std::string output;
  // The first command the recorder meets is the INQUIRY of opening it.
  ASSERT_EQ(RunKilnartool(std::string("cdb 0 0 ") + kInquiry, &output,
                          recorder.Environment("TWL_RECORDER_FAULTS=unitattention")),
            0);
  const auto lines = recorder.LogLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "12 00 00 00 2c 00 | in 44 | check 06/28/00");
  EXPECT_EQ(lines[1], "12 00 00 00 2c 00 | in 44 | good");
  EXPECT_EQ(InquiryTextOf(output), "MITSUMI CR-2801TE           ") << "the real data, not the empty first answer";

  const EmulatedRecorderFolder always;
  twltest::WriteFile(always.folder + "/replies", "00 sense 70 00 06 00 00 00 00 0a 00 00 00 00 28 00 # always\n");
  ASSERT_EQ(RunKilnartool("cdb 0 0 00 00 00 00 00 00", &output,
                          always.Environment("TWL_RECORDER_REPLIES=" + Quoted(always.folder + "/replies"))),
            0);
  EXPECT_EQ(always.CountLogged("00 00 00 00 00 00 | none | check 06/28/00"), 4) << "sent, then three times again";
  EXPECT_NE(output.find("status 0\n"), std::string::npos) << output;
}

TEST(CdbToolTest, BlocksRefusedBeforeTheyGoOut) {
  const EmulatedRecorderFolder recorder;
  std::string output;
  ASSERT_EQ(RunKilnartool("cdb 0 0 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ';' 28 00 00 00 00 00 00 00 c4 00 "
                          "--in 400000",
                          &output, recorder.Environment()),
            0);
  EXPECT_NE(output.find("command 1\nstatus -1\nsense 00 00 00\nerror Wrong SCSI-Command\n"), std::string::npos)
      << output;
  EXPECT_NE(output.find("command 2\nstatus -1\n"), std::string::npos) << output;
  EXPECT_NE(output.find("exceeds the transfer buffer"), std::string::npos) << output;
  EXPECT_EQ(recorder.CountLogged("00 00"), 0);
  EXPECT_EQ(recorder.CountLogged("28 00"), 0);
}

// MODE SELECT(10) of page 05h (track-at-once, multi-session C4h, mode 1;
// `testWrite` sets the test-write bit), a WRITE(10) of 100 blocks,
// SYNCHRONIZE CACHE, CLOSE TRACK, CLOSE SESSION, READ TRACK INFORMATION of
// track FFh.
std::string SessionCommands(const std::string& folder, bool testWrite) {
  std::string page(8 + 0x38, '\0');
  page[8] = 0x05;
  page[9] = 0x36;
  page[10] = testWrite ? 0x11 : 0x01;
  page[11] = static_cast<char>(0xC4);
  page[12] = 0x08;
  twltest::WriteFile(folder + "/page", page);
  twltest::WriteFile(folder + "/data", kilnartest::PatternBytes(204800));
  return "cdb 0 0 55 10 00 00 00 00 00 00 40 00 --out " + Quoted(folder + "/page") +
         " ';' 2a 00 00 00 00 00 00 00 64 00 --out " + Quoted(folder + "/data") +
         " ';' 35 00 00 00 00 00 00 00 00 00 ';' 5b 00 01 00 00 00 00 00 00 00 ';' 5b 00 02 00 00 00 00 00 00 00"
         " ';' 52 01 00 00 00 ff 00 00 24 00 --in 36";
}

TEST(CdbToolTest, RawCommandsWriteATrackAtOnceSession) {
  const EmulatedRecorderFolder recorder;
  std::string output;
  ASSERT_EQ(RunKilnartool(SessionCommands(recorder.folder, false), &output, recorder.Environment()), 0);
  EXPECT_EQ(output.find("status -1"), std::string::npos) << output;
  EXPECT_EQ(twltest::RunCommand("cmp -n 204800 " + Quoted(recorder.disc) + " " + Quoted(recorder.folder + "/data")), 0);
  EXPECT_EQ(twltest::ReadFile(recorder.disc + ".layout"),
            "medium cdr 359849\nsession 1 appendable\ntrack 1 session 1 start 0 length 102 data\n");
  // Next writable address, bytes 12-15 of the track information: 11502.
  EXPECT_NE(output.find("data 00 22 02 02 00 04 41 01 00 00 2c ee 00 00 2c ee"), std::string::npos) << output;
}

TEST(CdbToolTest, TestWriteStoresNothing) {
  const EmulatedRecorderFolder recorder;
  std::string output;
  ASSERT_EQ(RunKilnartool(SessionCommands(recorder.folder, true), &output, recorder.Environment()), 0);
  EXPECT_EQ(twltest::ReadFile(recorder.disc + ".layout"), "medium cdr 359849\n");
  EXPECT_EQ(kilnartest::FileSize(recorder.disc), 0);
}

TEST(CdbToolTest, HostileAnswersGiveClearResults) {
  const EmulatedRecorderFolder recorder;
  std::string sense200 = "70 00 03";
  for (int i = 3; i < 200; ++i) sense200 += i == 12 ? " 11" : i == 13 ? " 05" : " ee";
  twltest::WriteFile(recorder.folder + "/replies",
                     "00 sense\n"
                     "01 sense 70 00 05 00 00 00 00\n"
                     "1e sense " + sense200 + "\n"
                     "25 data 01 02 03 04 05\n");
  std::string output;
  ASSERT_EQ(RunKilnartool("cdb 0 0 00 00 00 00 00 00 ';' 01 00 00 00 00 00 ';' 1e 00 00 00 00 00 ';' 25 00 00 00 "
                          "00 00 00 00 00 00 --in 8",
                          &output, recorder.Environment("TWL_RECORDER_REPLIES=" + Quoted(recorder.folder + "/replies"))),
            0);
  EXPECT_NE(output.find("command 1\nstatus -1\nsense 00 00 00\nerror No Sense! (support info: 00, 00, 00 )\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("command 2\nstatus -1\nsense 05 00 00\nerror Illegal Request! (support info: 01, 00, 00 )\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("command 3\nstatus -1\nsense 03 11 05\nerror Medium Error! (support info: 1e, 11, 05 )\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("command 4\nstatus 0\nsense 00 00 00\ndata 01 02 03 04 05 00 00 00\n"), std::string::npos)
      << output;
}

TEST(CdbToolTest, ShortInquiryAndUnreadableLayout) {
  const EmulatedRecorderFolder recorder;
  twltest::WriteFile(recorder.folder + "/replies", "12 data 05 80 00 32 1f\n");
  std::string output;
  ASSERT_EQ(RunKilnartool(std::string("cdb 0 0 ") + kInquiry, &output,
                          recorder.Environment("TWL_RECORDER_REPLIES=" + Quoted(recorder.folder + "/replies"))),
            0);
  EXPECT_NE(output.find("data 05 80 00 32 1f 00 00 00 00 00 00"), std::string::npos) << output;

  const EmulatedRecorderFolder garbage;
  twltest::WriteFile(garbage.disc, "");
  twltest::WriteFile(garbage.disc + ".layout", std::string("medium cdr 359849\ntrack 1 \xff\x00 9999999999\n", 40));
  std::string error;
  ASSERT_EQ(RunKilnartool("cdb 0 0 00 00 00 00 00 00", &output, garbage.Environment(), &error), 0);
  EXPECT_NE(output.find("sense 02 3a 00"), std::string::npos) << output;
  EXPECT_NE(error.find("cannot be read: no medium"), std::string::npos) << error;
}

}  // namespace
