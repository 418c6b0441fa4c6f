// Drive family A writing a disc at once in raw mode, in the test's own
// process: the lead-in's table of contents and running time in the Q
// sub-channel the emulated recorder kept, the first pregap, raw writes in
// and after a pregap, the post-gap and lead-out, and the lengths, layouts
// and block sizes the family refuses before it sends anything.
#include <memory>
#include <string>
#include <vector>

#include "../../../tools/kilnartool/RawSector.h"
#include "WritingFixture.h"
#include "kilnar/recorder/DiscLayout.h"
#include "kilnar/recorder/FamilyARecorders.h"

namespace raw_disc_at_once {

using kilnartest::HexText;

// The sixteen sub-channel bytes the recorder kept for a block, as text.
std::string SubChannel(int32_t lba) {
  uint8_t q[16] = {};
  if (!TwlTestRecorderSubChannel(lba, q)) return "none";
  return HexText(q, sizeof q);
}

// Tracks of 300 blocks, each after a pregap of 150: a data track at
// 00:02:00 and audio tracks at 00:08:00 and 00:14:00.
DiscInfo ThreeTracks() {
  DiscInfo disc;
  disc.tracks[0] = TrackInfo(1, kTrackDataMode1, Msf(0, 2, 0), 300, 150);
  disc.tracks[1] = TrackInfo(2, kTrackAudio, Msf(0, 8, 0), 300, 150);
  disc.tracks[2] = TrackInfo(3, kTrackAudio, Msf(0, 14, 0), 300, 150);
  disc.trackCount = 3;
  return disc;
}

DiscInfo Tracks(int count) {
  DiscInfo disc;
  for (int i = 0; i < count; ++i)
    disc.tracks[i] = TrackInfo(static_cast<uint16_t>(i + 1), kTrackAudio, Msf(0, static_cast<uint8_t>(2 + i), 0), 75, 0);
  disc.trackCount = static_cast<uint16_t>(count);
  return disc;
}

class RawDiscAtOnceTest : public kilnartest::WritingFixture {
 protected:
  std::unique_ptr<Dev_Phi_PRW1208> Configured(int16_t speedCode = 2, uint8_t testWrite = 0) {
    FamilyAWriter::ResetStagingAreas();
    auto recorder = Open<Dev_Phi_PRW1208>("PHILIPS PCRW1208");
    WriteConfig config;
    config.speedCode = speedCode;
    config.testWrite = testWrite;
    config.blockSize = 2048;
    EXPECT_EQ(recorder->SetConfig(config, 0), 0);
    return recorder;
  }
  // `count` Mode 1 sectors from LBA `first` in the transfer buffer, their
  // user data `pattern`'s.
  static void PutSectors(ScsiDevice& recorder, int32_t first, int count, const std::string& pattern) {
    for (int i = 0; i < count; ++i)
      kilnartool::MakeMode1Sector(first + i, reinterpret_cast<const uint8_t*>(pattern.data()) + i * 2048,
                                  recorder.GetTransferBuffer() + i * 2352);
  }
};

TEST_F(RawDiscAtOnceTest, LeadInCarriesEachTocEntryOnThreeBlocksAndThePregapCountsDown) {
  auto recorder = Configured();
  const DiscInfo disc = ThreeTracks();
  ASSERT_TRUE(recorder->PrepareDAO(disc, 0)) << recorder->GetErrorText();

  // The raw page, then the lead-in from 97:26:66 (11484 blocks from -11634)
  // in writes of 15 blocks, the last one 9.
  EXPECT_EQ(CountLogged("55 10 00 00 00 00 00 00 3c 00 | out 60 | good | " +
                        kilnartest::WriteParametersList("05 32 03 00 01")),
            1);
  EXPECT_EQ(CountLogged("2a 00 ff ff d2 8e 00 00 0f 00 | out 35520 | good"), 1);
  EXPECT_EQ(CountLogged("2a 00 ff ff ff 61 00 00 09 00 | out 21312 | good"), 1);
  EXPECT_EQ(CountLogged("2a 00 ff ff"), 766 + 30);
  EXPECT_EQ(CountLogged("2a 00 ff ff ff 6a 00 00 05 00 | out 11840 | good"), 1);

  // Tracks 1-3, A0h (first track 1), A1h (last track 3), A2h (lead-out at
  // 00:20:00), three blocks each, then track 1 again; the running time
  // starts at 97:26:66.
  struct Row {
    int block;
    const char* q;
  } const rows[] = {
      {0, "41 00 01 97 26 66 00 00 04 00 00 00 00 00 00 00"},
      {2, "41 00 01 97 26 68 00 00 04 00 00 00 00 00 00 00"},
      {3, "01 00 02 97 26 69 00 00 10 00 00 00 00 00 00 00"},
      {6, "01 00 03 97 26 72 00 00 16 00 00 00 00 00 00 00"},
      {9, "01 00 a0 97 27 00 00 01 00 00 00 00 00 00 00 00"},
      {12, "01 00 a1 97 27 03 00 03 00 00 00 00 00 00 00 00"},
      {15, "01 00 a2 97 27 06 00 00 20 00 00 00 00 00 00 00"},
      {17, "01 00 a2 97 27 08 00 00 20 00 00 00 00 00 00 00"},
      {18, "41 00 01 97 27 09 00 00 04 00 00 00 00 00 00 00"},
      {11483, "01 00 a2 99 59 74 00 00 20 00 00 00 00 00 00 00"},
  };
  for (const Row& row : rows) EXPECT_EQ(SubChannel(-11634 + row.block), row.q) << row.block;

  // The first pregap: relative time down from 00:02:00, absolute up from
  // 00:00:00, the P bit set.
  EXPECT_EQ(SubChannel(-150), "01 01 00 00 02 00 00 00 00 00 00 00 00 00 00 80");
  EXPECT_EQ(SubChannel(-1), "01 01 00 00 00 01 00 00 01 74 00 00 00 00 00 80");
  EXPECT_TRUE(recorder->Writer().RawMode());
}

TEST_F(RawDiscAtOnceTest, RawWritesCarryTheTracksIndexesAndLongWritesGoInPiecesOfTwenty) {
  auto recorder = Configured();
  const DiscInfo disc = ThreeTracks();
  ASSERT_TRUE(recorder->PrepareDAO(disc, 0));
  const size_t before = Log().size();

  // 45 blocks: more than the twenty the staging area holds.
  const std::string data = kilnartest::PatternBytes(45 * 2048, 8);
  PutSectors(*recorder, 0, 45, data);
  ASSERT_EQ(recorder->Write_1(0, 45, false, 2352), 0) << recorder->GetErrorText();
  const std::vector<std::string> log = Log();
  const std::vector<std::string> sent(log.begin() + static_cast<std::ptrdiff_t>(before), log.end());
  EXPECT_EQ(sent, (std::vector<std::string>{"2a 00 00 00 00 00 00 00 14 00 | out 47360 | good",
                                            "2a 00 00 00 00 14 00 00 14 00 | out 47360 | good",
                                            "2a 00 00 00 00 28 00 00 05 00 | out 11840 | good"}));
  EXPECT_EQ(twltest::ReadFile(folder_->disc).substr(0, data.size()), data);
  // Track 1's blocks 0-149 lie in its pregap, 150 on in its data.
  EXPECT_EQ(SubChannel(44), "01 01 00 00 01 31 00 00 02 44 00 00 00 00 00 80");

  // A write that runs from the end of track 1 through track 2's pregap
  // into its data: each block placed on its own.
  PutSectors(*recorder, 440, 20, kilnartest::PatternBytes(20 * 2048, 9));
  ASSERT_EQ(recorder->Write_1(440, 20, false, 2352), 0);
  PutSectors(*recorder, 590, 20, kilnartest::PatternBytes(20 * 2048, 9));
  ASSERT_EQ(recorder->Write_1(590, 20, false, 2352), 0);
  struct Row {
    int32_t lba;
    const char* q;
  } const rows[] = {
      {449, "01 01 01 00 03 74 00 00 07 74 00 00 00 00 00 00"},
      {450, "01 02 00 00 02 00 00 00 08 00 00 00 00 00 00 80"},
      {599, "01 02 00 00 00 01 00 00 09 74 00 00 00 00 00 80"},
      {600, "01 02 01 00 00 00 00 00 10 00 00 00 00 00 00 00"},
      {609, "01 02 01 00 00 09 00 00 10 09 00 00 00 00 00 00"},
  };
  for (const Row& row : rows) EXPECT_EQ(SubChannel(row.lba), row.q) << row.lba;

  // Raw blocks are 2352 bytes; anything else is refused unsent.
  const size_t count = Log().size();
  EXPECT_NE(recorder->Write_1(700, 4, false, 2048), 0);
  EXPECT_NE(std::string(recorder->GetErrorText()), "");
  EXPECT_EQ(Log().size(), count);
}

TEST_F(RawDiscAtOnceTest, OneTrackWithATwoSecondPregapEndsWithPostGapAndLeadOut) {
  auto recorder = Configured();
  DiscInfo disc;
  disc.tracks[0] = TrackInfo(1, kTrackDataMode1, Msf(0, 2, 0), 4500, 150);
  disc.trackCount = 1;
  ASSERT_TRUE(recorder->PrepareDAO(disc, 0));
  const uint8_t* toc = recorder->Writer().TocArea();
  EXPECT_EQ(HexText(toc, 16), "41 00 01 00 00 00 00 00 04 00 00 00 00 00 00 00");
  EXPECT_EQ(HexText(toc + 48, 16), "41 00 a2 00 00 00 00 01 04 00 00 00 00 00 00 00");

  PutSectors(*recorder, 140, 20, kilnartest::PatternBytes(20 * 2048, 10));
  ASSERT_EQ(recorder->Write_1(140, 20, false, 2352), 0);
  EXPECT_EQ(SubChannel(149), "01 01 00 00 00 01 00 00 03 74 00 00 00 00 00 80");
  EXPECT_EQ(SubChannel(150), "01 01 01 00 00 00 00 00 04 00 00 00 00 00 00 00");

  ASSERT_TRUE(recorder->EndDAO(disc));
  EXPECT_FALSE(recorder->Writer().RawMode());
  // The post-gap from 4650 in 15 writes of 10, the lead-out from 4800 in
  // 675, then the flush.
  EXPECT_EQ(CountLogged("2a 00 00 00 12 2a 00 00 0a 00 | out 23680 | good"), 1);
  EXPECT_EQ(CountLogged("2a 00 00 00 12 c0 00 00 0a 00 | out 23680 | good"), 1);
  EXPECT_EQ(CountLogged("2a 00 00 00 2d 14 00 00 0a 00 | out 23680 | good"), 1);  // the last, 11540-11549
  EXPECT_EQ(CountLogged("2a 00 00 00 2d 1e"), 0);
  EXPECT_EQ(SubChannel(4650), "01 01 01 01 00 00 00 01 04 00 00 00 00 00 00 80");
  EXPECT_EQ(SubChannel(4799), "01 01 01 01 01 74 00 01 05 74 00 00 00 00 00 80");
  EXPECT_EQ(SubChannel(4800), "01 aa 01 00 00 00 00 01 06 00 00 00 00 00 00 00");
  EXPECT_EQ(Log().back(), "35 00 00 00 00 00 00 00 00 00 | none | good");
}

TEST_F(RawDiscAtOnceTest, LeadInStartsOutsideTheLeadInAreaAreRefusedBeforeWriting) {
  struct Row {
    const char* why;
    uint8_t minute, second, frame;
    const char* firstLeadInWrite;  // null: refused
  } const rows[] = {
      {"before 90:00:00", 89, 59, 74, nullptr},
      {"no such minute", 100, 0, 0, nullptr},
      {"no such second", 97, 60, 0, nullptr},
      {"no such frame", 97, 26, 75, nullptr},
      {"a lead-in of 14 blocks", 99, 59, 61, nullptr},
      {"a lead-in of 15 blocks, one write", 99, 59, 60, "2a 00 ff ff ff 5b 00 00 0f 00 | out 35520 | good"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    auto recorder = Configured();
    std::vector<uint8_t> information(34, 0);
    information[1] = 32;
    information[17] = row.minute;
    information[18] = row.second;
    information[19] = row.frame;
    Reply(0x51, 0, kilnartest::HexReply("data", information));
    const bool prepared = recorder->PrepareDAO(ThreeTracks(), 0);
    EXPECT_EQ(prepared, row.firstLeadInWrite != nullptr);
    if (!row.firstLeadInWrite) {
      EXPECT_NE(std::string(recorder->GetErrorText()), "");
      EXPECT_EQ(CountLogged("55 10"), 1);  // the configuration's page only
      EXPECT_EQ(CountLogged("2a "), 0);
      continue;
    }
    EXPECT_EQ(CountLogged("2a 00 ff ff"), 1 + 30);
    EXPECT_EQ(CountLogged(row.firstLeadInWrite), 1);
  }
}

TEST_F(RawDiscAtOnceTest, LayoutsBeyondTheTocAreaAndEmptyLayoutsAreRefused) {
  auto recorder = Configured();
  const size_t configured = Log().size();
  EXPECT_FALSE(recorder->PrepareDAO(Tracks(60), 0));
  EXPECT_NE(std::string(recorder->GetErrorText()), "");
  EXPECT_EQ(Log().size(), configured);
  EXPECT_FALSE(recorder->Writer().RawMode());

  // An empty layout is refused too, but leaves the raw flag set.
  EXPECT_FALSE(recorder->PrepareDAO(DiscInfo(), 0));
  EXPECT_EQ(Log().size(), configured);
  EXPECT_TRUE(recorder->Writer().RawMode());

  // 59 tracks, A0h, A1h and A2h fill 62 of the area's entries.
  ASSERT_TRUE(recorder->PrepareDAO(Tracks(59), 0)) << recorder->GetErrorText();
  EXPECT_EQ(HexText(recorder->Writer().TocArea() + 61 * 16, 3), "01 00 a2");
}

TEST_F(RawDiscAtOnceTest, ConfigurationIsStoredAndSpeedCodesMapToAtLeastTwice) {
  FamilyAWriter::ResetStagingAreas();
  auto recorder = Open<Dev_Phi_PRW1208>("PHILIPS PCRW1208");
  WriteConfig before;
  before.speedCode = 7;
  before.blockSize = 99;
  ASSERT_EQ(recorder->GetConfig(0, before), 0);
  EXPECT_EQ(before.speedCode, 0);
  EXPECT_EQ(before.blockSize, 0);
  struct Row {
    int16_t code;
    const char* speedCdb;
  } const rows[] = {
      {0, "bb 00 01 62 01 62"},  // 2x
      {1, "bb 00 01 62 01 62"},  // 2x
      {2, "bb 00 02 c4 02 c4"},  // 4x
      {5, "bb 00 04 26 04 26"},  // 6x
      {8, "bb 00 05 88 05 88"},  // 8x
      {41, "bb 00 04 26 04 26"}, // 6x
  };
  for (const Row& row : rows) {
    WriteConfig config;
    config.speedCode = row.code;
    config.blockSize = 2048;
    const int before_ = CountLogged(row.speedCdb);
    ASSERT_EQ(recorder->SetConfig(config, 0), 0);
    EXPECT_EQ(CountLogged(row.speedCdb), before_ + 1) << row.code;
    WriteConfig stored;
    ASSERT_EQ(recorder->GetConfig(0, stored), 0);
    EXPECT_EQ(stored.speedCode, row.code);
  }
}

TEST_F(RawDiscAtOnceTest, TestWritesCloseNothingAndReadinessWaitsEnd) {
  struct Row {
    const char* inquiry;
    bool closesInTest;  // the NEC close knows no test write
    bool readyFirst;    // waits for the drive before closing, not only after
  } const rows[] = {
      {"WAITEC  SHUTTLE", false, true},          // F1
      {"IDE-CD  R/RW 4x4x32", false, true},      // F2
      {"PHILIPS CDD3600 CD-R/RW", false, true},  // F3
      {"CyberDrvCW018D CD-R/RW", false, false},  // Dev_HP8100's
      {"PHILIPS PCRW1208", true, true},          // Dev_NEC_NR7500A's
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.inquiry);
    auto recorder = OpenByModel(row.inquiry);
    ASSERT_NE(recorder, nullptr);
    WriteConfig config;
    config.testWrite = 1;
    config.blockSize = 2048;
    ASSERT_EQ(recorder->SetConfig(config, 0), 0);
    EXPECT_EQ(recorder->Fixation(0, 1, 8, 1), 0);
    EXPECT_EQ(CountLogged("5b ") == 1, row.closesInTest);

    // A drive that never becomes ready ends the wait with a text.
    config.testWrite = 0;
    ASSERT_EQ(recorder->SetConfig(config, 0), 0);
    Reply(0x00, 0, kilnartest::SenseReply(0x02, 0x04, 0x01));
    const int closes = CountLogged("5b ");
    EXPECT_NE(recorder->Fixation(0, 1, 8, 1), 0);
    EXPECT_NE(std::string(recorder->GetErrorText()), "");
    EXPECT_EQ(CountLogged("5b "), closes + (row.readyFirst ? 0 : 1));
  }
}

TEST_F(RawDiscAtOnceTest, MembersAnswerTheirTable) {
  struct Row {
    const char* inquiry;
    bool canBlank;
    uint16_t dataBlock, mode2Block;
    uint32_t fastest;
  } const rows[] = {
      {"PHILIPS PCRW1208", true, 2352, 2352, 12},
      {"CyberDrvCW018D CD-R/RW", true, 2352, 2352, 8},
      {"PHILIPS CDD3600 CD-R/RW", true, 2048, 2336, 4},
      {"MITSUMI CR-4801TE", false, 2352, 2352, 4},
      {"MITSUMI CR-4802TE", true, 2352, 2352, 4},
      {"HP      CD-Writer+ 7200", true, 2352, 2352, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.inquiry);
    auto recorder = OpenByModel(row.inquiry);
    ASSERT_NE(recorder, nullptr);
    EXPECT_EQ(recorder->CanBlank(), row.canBlank);
    EXPECT_FALSE(recorder->ReservedFlagD());
    EXPECT_TRUE(recorder->ReservedFlagF());
    EXPECT_EQ(recorder->GetDataBlockSize(), row.dataBlock);
    EXPECT_EQ(recorder->GetMode2BlockSize(), row.mode2Block);
    const uint32_t* speeds = recorder->GetSpeeds();
    uint32_t fastest = 0;
    for (int i = 0; speeds[i] != 0; ++i) fastest = speeds[i];
    EXPECT_EQ(fastest, row.fastest);
  }
  auto mitsumi = OpenByModel("MITSUMI CR-4801TE");
  EXPECT_FALSE(mitsumi->BlankDisc());
  EXPECT_EQ(CountLogged("a1 "), 0);
}

TEST_F(RawDiscAtOnceTest, HpProbesTheDriveAndSkipsThePageWhenTheDiscDoesNotAnswer) {
  auto hp = OpenByModel("HP      CD-Writer+ 7200");
  ASSERT_NE(hp, nullptr);
  Reply(0x51, 0, kilnartest::SenseReply(0x02, 0x3A, 0x00));
  EXPECT_EQ(hp->WriteTrack(0, 1, 1, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(CountLogged("51 "), 1);
  EXPECT_EQ(CountLogged("55 "), 0);

  hp = OpenByModel("HP      CD-Writer+ 7200");
  WriteConfig config;
  ASSERT_EQ(hp->GetConfig(0, config), 0);
  config.speedCode = 2;
  config.blockSize = 2048;
  ASSERT_EQ(hp->SetConfig(config, 0), 0);
  const size_t configured = Log().size();
  ASSERT_TRUE(hp->PrepareDAO(ThreeTracks(), 0)) << hp->GetErrorText();
  const std::vector<std::string> log = Log();
  std::vector<std::string> before;  // the commands before the lead-in, their CDBs
  for (size_t i = configured; i < log.size() && log[i].rfind("2a ", 0) != 0; ++i)
    if (log[i].rfind("#", 0) != 0) before.push_back(log[i].substr(0, log[i].find(" |")));
  const std::vector<std::string> probeRound = {"51 00 00 00 00 00 00 00 18 00", "5a 00 05 00 00 00 00 00 48 00",
                                               "55 10 00 00 00 00 00 00 3c 00", "52 01 00 00 00 ff 00 00 18 00"};
  std::vector<std::string> probe = {"51 00 00 00 00 00 00 00 22 00", "51 00 00 00 00 00 00 00 22 00",
                                    "5a 00 01 00 00 00 00 00 ff 00", "43 00 00 00 00 00 aa 00 0c 00"};
  probe.insert(probe.end(), probeRound.begin(), probeRound.end());
  probe.insert(probe.end(), probeRound.begin(), probeRound.end());
  std::vector<std::string> expected = probe;
  expected.insert(expected.end(), probe.begin(), probe.end());
  const std::vector<std::string> rest = {"52 01 00 00 00 ff 00 00 1c 00", "00 00 00 00 00 00", "1b 00 00 00 01 00",
                                         "00 00 00 00 00 00", "51 00 00 00 00 00 00 00 22 00",
                                         "5a 00 05 00 00 00 00 00 48 00", "55 10 00 00 00 00 00 00 3c 00"};
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(before, expected);
}

}  // namespace raw_disc_at_once
