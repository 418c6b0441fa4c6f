// kilnartool identify, drives and override on the emulated recorder: the
// model names of the table's edge cases with their types and classes, the
// registry override, the device list file, and hostile INQUIRY answers.
#include <gtest/gtest.h>

#include "kilnar/EmulatedRecorder.h"
#include "kilnar/recorder/RecorderClassTable.h"

namespace {

using kilnartest::Quoted;
using kilnartest::RunKilnartool;

using IdentifyFolder = kilnartest::EmulatedRecorderFolder;

TEST(IdentifyToolTest, ModelNamesGiveTheirTypeAndClass) {
  struct Row {
    const char* inquiry;
    const char* adapter;
    const char* expected;
  };
  const Row rows[] = {
      {"YAMAHA  CRW4416S", "", "name \"YAMAHA  CRW4416S\"\ntype 40\nclass Dev_Yamaha4416\n"},
      {"YAMAHA  CRW4001", "", "name \"YAMAHA  CRW4001\"\ntype 29\nclass Dev_Yamaha4260\n"},
      {"SONY    CD-RW  CRX145E", "", "name \"SONY    CD-RW  CRX145E\"\ntype 69\nclass Dev_SonyCRX145E\n"},
      {"TEAC    CD-W512EB", "", "name \"TEAC    CD-W512EB\"\ntype 50\nclass Dev_Plextor8220\n"},
      {"       OME-W141", "", "name \"       OME-W141\"\ntype 46\nclass Dev_MP7040A\n"},
      {"       OME-W141X", "", "name \"       OME-W141X\"\ntype 999\nclass Dev_ATAPIRecorder\n"},
      {"NOBODY  KNOWS ME", "", "name \"NOBODY  KNOWS ME\"\ntype 999\nclass Dev_ATAPIRecorder\n"},
      {"NOBODY  KNOWS ME", "scsi:8", "name \"NOBODY  KNOWS ME\"\ntype 999\nclass ScsiDevice\n"},
      {"MITSUMI CR-2801TE", "", "name \"MITSUMI CR-2801TE\"\ntype 21\nclass Dev_ATAPIRecorder\n"},
      {"SONY    CD-R   CDU928E", "", "name \"SONY    CD-R   CDU928E\"\ntype 31\nclass Dev_Sony928\n"},
  };
  for (const auto& row : rows) {
    const IdentifyFolder place;
    std::string more = "TWL_RECORDER_INQUIRY=" + Quoted(row.inquiry);
    if (*row.adapter) more += std::string(" TWL_RECORDER_ADAPTER=") + row.adapter;
    std::string output, error;
    ASSERT_EQ(RunKilnartool("identify", &output, place.Environment(more), &error), 0) << row.inquiry;
    // Only the classes with a registered maker can be made so far.
    const std::string expected = row.expected;
    const size_t named = expected.find("class ") + 6;
    const std::string className = expected.substr(named, expected.size() - named - 1);
    RegisterEngineRecorders();
    const bool made = FindRecorderMaker(className.c_str()) != nullptr;
    EXPECT_EQ(output, expected + (made ? "created " + className + "\n" : "created none\n")) << row.inquiry;
    if (!made) {
      EXPECT_NE(error.find("cannot be made yet"), std::string::npos) << error;
    }
  }
}

TEST(IdentifyToolTest, OverrideDecidesWithoutFallingBack) {
  struct Row {
    const char* model;
    const char* driver;
    const char* type;
  };
  const Row rows[] = {
      {"MITSUMI CR-2801TE", "TEAC", "type 56\n"},
      {"MITSUMI CR-2801TE", "rICOH_mp7040a", "type 46\n"},
      {"MITSUMI CR-2801TE", "", "type 73\n"},
      {"YAMAHA  CRW4416S", "NOSUCHDRIVER", "type 999\n"},
      {"HL-DT-ST DVDRAM GH24NSD1", "ATAPIRECORDER", "type 21\n"},
      {"HL-DT-ST DVDRAM GH24NSD1", "ATAPIROM", "type 20\nclass MmcDevice\ncreated MmcDevice\n"},
  };
  for (const auto& row : rows) {
    const IdentifyFolder place;
    const std::string env = place.Environment("TWL_RECORDER_INQUIRY=" + Quoted(row.model));
    std::string output;
    ASSERT_EQ(RunKilnartool("override " + Quoted(row.model) + " " + Quoted(row.driver) + " 8", &output, env), 0);
    EXPECT_EQ(output, "override \"" + std::string(row.model) + "\" " + row.driver + "\n");
    ASSERT_EQ(RunKilnartool("identify", &output, env), 0);
    EXPECT_NE(output.find(row.type), std::string::npos) << row.model << " / " << row.driver << ": " << output;
    EXPECT_EQ(twltest::ReadFile(place.folder + "/devicelist_cdr.txt"), std::string(row.model).substr(0, 24) + "\n");
  }
}

TEST(IdentifyToolTest, DrivesListsCdDevicesOnly) {
  const IdentifyFolder place;
  std::string output;
  ASSERT_EQ(RunKilnartool("drives", &output, place.Environment()), 0);
  EXPECT_EQ(output, "drive 0 0 type 21 class Dev_ATAPIRecorder name \"MITSUMI CR-2801TE\"\n");

  const IdentifyFolder disk;
  twltest::WriteFile(disk.folder + "/replies", "12 data 00 00 00 32 1f 00 00 00 41 42 43 44 45 46 47 48 49\n");
  ASSERT_EQ(RunKilnartool("drives", &output,
                          disk.Environment("TWL_RECORDER_REPLIES=" + Quoted(disk.folder + "/replies"))),
            0);
  EXPECT_EQ(output, "");
}

TEST(IdentifyToolTest, HostileInquiryAnswers) {
  std::string binary = "12 data 05 80 00 32 1f 00 00 00";
  const char* name = "0a 22 ff 5c 41 0d 20 42 00 43 44";  // LF " 0xFF \ A CR blank B, a zero, C D
  binary += std::string(" ") + name;
  for (int i = 19; i < 44; ++i) binary += " 7e";
  std::string sense300 = "12 sense 70 00 04";
  for (int i = 3; i < 300; ++i) sense300 += i == 12 ? " 44" : " 01";
  struct Row {
    const char* why;
    std::string reply;
    int exitCode;
    const char* expected;  // in stdout, or in stderr when the exit code is 1
  };
  const Row rows[] = {
      {"5 bytes", "12 data 05 80 00 32 1f", 0, "name \"\"\ntype 999\n"},
      {"binary with line feeds, quotes and 0xFF", binary, 0, "name \"\\x0a\\x22\\xff\\x5cA\\x0d B\"\ntype 999\n"},
      {"check condition without sense", "12 sense", 1, "kilnartool: No Sense! (support info: 12, 00, 00 )"},
      {"check condition with 300 sense bytes", sense300, 1,
       "kilnartool: Hardware Error! (support info: 12, 44, 01 )"},
  };
  for (const auto& row : rows) {
    const IdentifyFolder place;
    twltest::WriteFile(place.folder + "/replies", row.reply + "\n");
    std::string output, error;
    const int status = RunKilnartool("identify --drive 0:0", &output,
                                     place.Environment("TWL_RECORDER_REPLIES=" + Quoted(place.folder + "/replies")),
                                     &error);
    EXPECT_EQ(WEXITSTATUS(status), row.exitCode) << row.why << ": " << error;
    const std::string& where = row.exitCode ? error : output;
    EXPECT_NE(where.find(row.expected), std::string::npos) << row.why << ": " << where;
  }
}

}  // namespace
