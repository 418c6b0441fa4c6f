// The Ricoh vendor class writing a disc at once in the test's own
// process: the lead lengths of EEh, the track table of EDh, the lead-in
// and pregap blocks the host prepares, the lead-out, the layouts it
// refuses, and its address-less writes.
#include <string>
#include <vector>

#include "WritingFixture.h"
#include "kilnar/recorder/DiscLayout.h"
#include "kilnar/recorder/RicohMP6200A.h"

namespace vendor_at_once {

const std::string kLeadLengths = "data 2e 4f 1a 5e";  // lead-in 11855, lead-out 6750 blocks
const std::string kTenBlocks = "2a 00 00 00 00 00 00 00 0a 00 | out 23520 | good";

DiscInfo FirstTrack(uint16_t format, int tracks = 1) {
  DiscInfo disc;
  for (int i = 0; i < tracks; ++i)
    disc.tracks[i] = TrackInfo(static_cast<uint16_t>(i + 1), format, Msf(0, static_cast<uint8_t>(2 + 14 * i), 0),
                               1000, 150);
  disc.trackCount = static_cast<uint16_t>(tracks);
  disc.SetDiscType(1);
  return disc;
}

using kilnartest::HexText;

using VendorDiscAtOnceTest = kilnartest::WritingFixture;

TEST_F(VendorDiscAtOnceTest, LeadLengthsTrackTableAndHostWrittenBlocks) {
  auto ricoh = Open<Dev_RicohMP6200A>("RICOH   MP6201A");
  Reply(0xEE, 0, kLeadLengths);
  const DiscInfo disc = FirstTrack(kTrackDataMode1);
  ASSERT_TRUE(ricoh->PrepareDAO(disc, 0)) << ricoh->GetErrorText();
  EXPECT_EQ(ricoh->GetLeadOutLength(), 6750u);
  const std::vector<std::string> log = LoggedCommands();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[1], "ee 00 00 00 00 00 00 00 04 00 00 00 | in 4 | good");
  EXPECT_EQ(log[2], "ed 00 00 00 00 00 11 00 14 00 00 00 | out 20 | good | 00 14 04 00 00 00 00 00 00 00 00 00 00 00 "
                    "00 96 00 00 04 7e");
  std::vector<std::string> expected(log.begin(), log.begin() + 3);
  expected.insert(expected.end(), 1185, kTenBlocks);
  expected.push_back("2a 00 00 00 00 00 00 00 05 00 | out 11760 | good");
  expected.insert(expected.end(), 150, "2a 00 00 00 00 00 00 00 01 00 | out 2352 | good");
  EXPECT_EQ(log, expected);
  // The last pregap block (-1): sync pattern, 00:01:74, mode 1, the form-2
  // sub-header and the fixed EDC.
  const uint8_t* block = ricoh->GetTransferBuffer();
  EXPECT_EQ(HexText(block, 24), "00 ff ff ff ff ff ff ff ff ff ff 00 00 01 74 01 00 00 20 00 00 00 20 00");
  EXPECT_EQ(HexText(block + 2348, 4), "3f 13 b0 be");

  // No block address, in the count's low byte only.
  ASSERT_EQ(ricoh->Write_1(1000, 16, false, 2048), 0);
  EXPECT_EQ(LoggedCommands().back(), "2a 00 00 00 00 00 00 00 10 00 | out 32768 | good");

  const size_t before = LoggedCommands().size();
  ASSERT_TRUE(ricoh->EndDAO(disc));
  const std::vector<std::string> after = LoggedCommands();
  std::vector<std::string> end(675, kTenBlocks);
  end.push_back("35 00 00 00 00 00 00 00 00 00 | none | good");
  EXPECT_EQ(std::vector<std::string>(after.begin() + static_cast<std::ptrdiff_t>(before), after.end()), end);
}

TEST_F(VendorDiscAtOnceTest, AudioFirstTracksGetZeroBlocksAndAFailedWriteKeepsItsText) {
  auto ricoh = Open<Dev_RicohMP6200A>("RICOH   MP6201A");
  Reply(0xEE, 0, kLeadLengths);
  ASSERT_TRUE(ricoh->PrepareDAO(FirstTrack(kTrackAudio), 0));
  const std::vector<uint8_t> zeros(23520, 0);
  EXPECT_EQ(std::vector<uint8_t>(ricoh->GetTransferBuffer(), ricoh->GetTransferBuffer() + zeros.size()), zeros);

  // The first lead-in write fails; the flush after it fails otherwise, and
  // the write's text is the one that stays.
  ricoh = Open<Dev_RicohMP6200A>("RICOH   MP6201A");
  Reply(0xEE, 0, kLeadLengths);
  Reply(0x2A, 1, kilnartest::SenseReply(0x03, 0x0C, 0x00));
  Reply(0x35, 0, kilnartest::SenseReply(0x05, 0x24, 0x00));
  ASSERT_FALSE(ricoh->PrepareDAO(FirstTrack(kTrackDataMode1), 0));
  const std::string writeText = ricoh->GetErrorText();
  EXPECT_NE(writeText, "");
  EXPECT_EQ(CountLogged("2a "), 1);
  EXPECT_EQ(LoggedCommands().back().rfind("35 ", 0), 0u);
  ricoh->FlushCache(0, 0, 0, 0, 0, 0);
  EXPECT_NE(std::string(ricoh->GetErrorText()), writeText);
  // The first lead-in block (-12005): its header address counted back from
  // 100:00:00, 97:21:70, and mode 1.
  EXPECT_EQ(HexText(ricoh->GetTransferBuffer() + 12, 4), "97 21 70 01");
}

TEST_F(VendorDiscAtOnceTest, TablesOfMoreThanTwelveTracksAreRefusedUnsent) {
  auto ricoh = Open<Dev_RicohMP6200A>("RICOH   MP6201A");
  const size_t opened = Log().size();
  EXPECT_FALSE(ricoh->PrepareDAO(FirstTrack(kTrackAudio, 13), 0));
  EXPECT_NE(std::string(ricoh->GetErrorText()), "");
  EXPECT_EQ(Log().size(), opened);

  ASSERT_TRUE(ricoh->PrepareDAO(FirstTrack(kTrackAudio, 12), 0)) << ricoh->GetErrorText();
  EXPECT_EQ(CountLogged("ed 00 00 00 00 00 11 00 f0 00 00 00 | out 240 | good"), 1);
}

TEST_F(VendorDiscAtOnceTest, WritesRefusedAsLongWritesAreSentAgain) {
  setenv("TWL_RECORDER_FAULTS", "longwrite=3", 1);
  auto ricoh = Open<Dev_RicohMP6200A>("RICOH   MP6201A");
  unsetenv("TWL_RECORDER_FAULTS");
  ASSERT_EQ(ricoh->Write_1(0, 1, false, 2048), 0);
  EXPECT_EQ(CountLogged("2a 00 00 00 00 00 00 00 01 00 | out 2048 | check 02/04/08"), 3);
  EXPECT_EQ(CountLogged("2a 00 00 00 00 00 00 00 01 00 | out 2048 | good"), 1);
}

}  // namespace vendor_at_once
