// kilnartool adapters: the host adapter inquiry's identifier and target
// count, the rule for adapters that report no targets, the small-transfer
// adapters (whose prefix counts case), and a missing ASPI manager.
#include <gtest/gtest.h>

#include "kilnar/EmulatedRecorder.h"

namespace {

using kilnartest::RunKilnartool;

TEST(AdaptersToolTest, IdentifiersTargetsAndSmallTransfers) {
  const kilnartest::EmulatedRecorderFolder recorder;
  struct Row {
    const char* adapter;  // TWL_RECORDER_ADAPTER, empty: the default
    const char* expected;
  };
  const Row rows[] = {
      {"", "adapter 0 \"atapi\" targets 2\n"},
      {"ATAPI:0", "adapter 0 \"ATAPI\" targets 2\n"},
      {"ESDI-ish:0", "adapter 0 \"ESDI-ish\" targets 2\n"},
      {"scsi:8", "adapter 0 \"scsi\" targets 8\n"},
      {"scsi:0", "adapter 0 \"scsi\" targets 2\n"},
      {"EPST1:2", "adapter 0 \"EPST1\" targets 2\n"},
      {"epst1:2", "adapter 0 \"epst1\" targets 2\nsmall-transfers on\n"},
      {"say\"x\\:4", "adapter 0 \"say\\x22x\\x5c\" targets 4\n"},
  };
  for (const auto& row : rows) {
    std::string output;
    const std::string more = *row.adapter ? "TWL_RECORDER_ADAPTER=" + kilnartest::Quoted(row.adapter) : "";
    ASSERT_EQ(RunKilnartool("adapters", &output, recorder.Environment(more)), 0) << row.adapter;
    EXPECT_EQ(output, row.expected) << row.adapter;
  }
}

TEST(AdaptersToolTest, NoManagerOrNoAdapterFailsWithItsText) {
  std::string output, error;
  EXPECT_NE(RunKilnartool("adapters", &output, "TWL_HEADLESS=1 TWL_RECORDER=none ", &error), 0);
  EXPECT_NE(error.find("Message: WNASPI32.DLL not found"), std::string::npos) << error;
  EXPECT_NE(error.find("kilnartool: "), std::string::npos) << error;
  EXPECT_NE(RunKilnartool("adapters", &output, "TWL_HEADLESS=1 TWL_RECORDER=sg ", &error), 0);
  EXPECT_NE(error.find("kilnartool: No Host Adapter found"), std::string::npos) << error;
}

}  // namespace
