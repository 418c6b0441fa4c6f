// Edge cases of the page-05 recorders and drive family B in the test's
// own process: speed maps, the shadow, addresses, CanLoad, blanking, a
// layout without tracks, and the raw sectors written at once.
#include <memory>
#include <string>
#include <vector>

#include "../../../tools/kilnartool/RawSector.h"
#include "WritingFixture.h"
#include "kilnar/recorder/DiscLayout.h"
#include "kilnar/recorder/FamilyBRecorders.h"
#include "kilnar/recorder/PageFiveRecorders.h"

namespace family_edge_cases {

using FamilyEdgeCasesTest = kilnartest::WritingFixture;

TEST_F(FamilyEdgeCasesTest, SpeedCodesMapToFactors) {
  struct Row {
    const char* why;
    int16_t code;
    uint16_t nec, liteOn, sony140;
  } const rows[] = {
      {"4 is not a code the configuration makes", 4, 6, 6, 6},
      {"6 goes through the default", 6, 6, 6, 6},
      {"41 lies above the even codes", 41, 6, 6, 6},
      {"16 is 6 on the LiteOn only", 16, 16, 6, 16},
      {"0 is 1 on the CRX140E only", 0, 2, 2, 1},
      {"2 is 4", 2, 4, 4, 4},
  };
  auto nec = Open<Dev_NEC_NR7500A>("_NEC    NR-7500A");
  auto liteOn = Open<Dev_LiteOn_Ltr_12101B>("LITE-ON LTR-12101B");
  auto sony = Open<Dev_SonyCRX140E>("SONY    CD-RW  CRX140E");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(nec->SpeedFactorOf(row.code), row.nec);
    EXPECT_EQ(liteOn->SpeedFactorOf(row.code), row.liteOn);
    EXPECT_EQ(sony->SpeedFactorOf(row.code), row.sony140);
  }
}

TEST_F(FamilyEdgeCasesTest, JvcSetConfigAsksItsWriteSpeeds) {
  struct Row {
    int16_t code;
    const char* speedCdb;
  } const rows[] = {
      {2, "bb 00 ff ff 02 c0 00 00 00 00 00 00"},   // 4 x 176 = 704
      {12, "bb 00 ff ff af 50 00 00 00 00 00 00"},  // 255 x 176 = 44880
  };
  for (const Row& row : rows) {
    auto jvc = Open<Dev_JVC2082>("JVC     XR-W2082");
    WriteConfig config;
    config.speedCode = row.code;
    EXPECT_EQ(jvc->SetConfig(config, 0), 0);
    EXPECT_EQ(CountLogged(row.speedCdb), 1) << row.code;
  }
}

// A drive whose page 2Ah reports a current write speed of 255 x 176 kB/s
// (answer bytes 28-29 of the 30 read).
std::string CapabilitiesAt255x() {
  std::vector<uint8_t> page(30, 0);
  page[8] = 0x2A;
  page[28] = 0xAF, page[29] = 0x50;  // 44880
  return kilnartest::HexReply("data", page);
}

TEST_F(FamilyEdgeCasesTest, GetConfigReadsAWriteSpeedOf255TimesEachClassItsWay) {
  struct Row {
    const char* inquiry;
    int16_t code;
  } const rows[] = {
      {"GENERIC CRD-BP4", 2},
      {"PLEXTOR CD-R   PX-W1210S", 12},
      {"JVC     XR-W2082", 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.inquiry);
    auto recorder = OpenByModel(row.inquiry);
    ASSERT_NE(recorder, nullptr);
    // Page 05h is the first MODE SENSE, page 2Ah the second.
    Reply(0x5A, 2, CapabilitiesAt255x());
    WriteConfig config;
    ASSERT_EQ(recorder->GetConfig(0, config), 0);
    EXPECT_EQ(config.speedCode, row.code);
  }
}

TEST_F(FamilyEdgeCasesTest, DriveConfiguredSetConfigAsksTheFactorOfItsOwnMap) {
  struct Row {
    const char* inquiry;
    int16_t code;
    const char* speedCdb;
  } const rows[] = {
      {"GENERIC CRD-BP4", 0, "bb 00 01 62 01 62"},           // factor 2: 354
      {"PLEXTOR CD-R   PX-W1210S", 4, "bb 00 04 26 04 26"},  // factor 6: 1062
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.inquiry);
    auto recorder = OpenByModel(row.inquiry);
    ASSERT_NE(recorder, nullptr);
    WriteConfig config;
    config.speedCode = row.code;
    EXPECT_EQ(recorder->SetConfig(config, 0), 0);
    EXPECT_EQ(CountLogged(row.speedCdb), 1);
    EXPECT_EQ(CountLogged("bb "), 1);
  }
}

TEST_F(FamilyEdgeCasesTest, JvcWritesAnAudioTrackWithoutDataBlockTypeOrTrackMode) {
  auto jvc = Open<Dev_JVC2082>("JVC     XR-W2082");
  jvc->WriteTrack(4, 1, 1, 0, 0, 0, 0, 0);
  // Page 05h at list byte 8: write type 01, byte 11 (track mode) and 12
  // (data block type) 0, the pause of 150 at bytes 22-23.
  std::string list = "00 00 00 00 00 00 00 00 05 32 01 00 00";
  for (int i = 13; i < 22; ++i) list += " 00";
  list += " 00 96";
  for (int i = 24; i < 60; ++i) list += " 00";
  EXPECT_EQ(CountLogged("55 10 00 00 00 00 00 00 3c 00 | out 60 | good | " + list), 1);
}

TEST_F(FamilyEdgeCasesTest, AFreshShadowObjectWritesInTestModeAndClosesNothing) {
  PageFiveRecorder::ResetClassShadows();
  auto toshiba = Open<Dev_Toshiba_SDR1002>("TOSHIBA DVD-ROM SD-R1002");
  WriteConfig config;
  config.testWrite = 0;
  EXPECT_EQ(toshiba->SetConfig(config, 0), 0);
  EXPECT_EQ(toshiba->Shadow().testWrite, 0);
  // A second object resets the class's shadow for both.
  Dev_Toshiba_SDR1002 second(manager_.get());
  EXPECT_EQ(toshiba->Shadow().testWrite, 1);
  const int before = static_cast<int>(Log().size());
  EXPECT_EQ(toshiba->Fixation(0, 1, 8, 1), 0);
  EXPECT_EQ(static_cast<int>(Log().size()), before);
}

TEST_F(FamilyEdgeCasesTest, SanyoReportsTheNextWritableAddress75BlocksEarlier) {
  auto sanyo = Open<Dev_SanyoR800>("SANYO   CD-R CRD-R800S");
  std::vector<uint8_t> info(28, 0);
  info[14] = 0x03, info[15] = 0xE8;  // 1000
  Reply(0x52, 1, kilnartest::HexReply("data", info));
  EXPECT_EQ(sanyo->FirstWriteAdress(), 925);
  EXPECT_EQ(sanyo->FirstWriteAdress(), 0) << "a blank disc's 0 stays 0";
}

TEST_F(FamilyEdgeCasesTest, CanLoadByTheLetterAtInquiryByte22) {
  EXPECT_TRUE(Open<Dev_HP8100>("HP      CD-Writer+ 8100")->CanLoad());
  EXPECT_FALSE(Open<Dev_HP8100>("HP      CD-WRITER+ 8100")->CanLoad());
  EXPECT_TRUE(Open<Dev_NEC_NR7500A>("_NEC    NR-7500A")->CanLoad());
}

TEST_F(FamilyEdgeCasesTest, YamahaBlankingAnswersWithoutTheDrive) {
  auto yamaha4001 = Open<Dev_Yamaha4001>("YAMAHA  CRW4416E");
  const int before = static_cast<int>(Log().size());
  EXPECT_FALSE(yamaha4001->BlankSession());
  EXPECT_STREQ(yamaha4001->GetErrorText(), "");
  EXPECT_EQ(static_cast<int>(Log().size()), before);
  auto yamaha401 = Open<Dev_Yamaha401>("YAMAHA  CDR401");
  EXPECT_FALSE(yamaha401->BlankSession());
  EXPECT_FALSE(yamaha401->CanBlank());
}

TEST_F(FamilyEdgeCasesTest, ALayoutWithoutTracksSendsNothing) {
  DiscInfo disc;
  auto nec = Open<Dev_NEC_NR7500A>("_NEC    NR-7500A");
  auto jvc = Open<Dev_JVC2082>("JVC     XR-W2082");
  const size_t before = Log().size();
  EXPECT_FALSE(nec->PrepareDAO(disc, 0));
  EXPECT_FALSE(jvc->PrepareDAO(disc, 0));
  EXPECT_EQ(Log().size(), before);
}

// One Mode 1 track of 1000 blocks after the 150-block pregap.
std::unique_ptr<DiscInfo> ThousandBlockLayout() {
  auto disc = std::make_unique<DiscInfo>();
  disc->tracks[0] = TrackInfo(1, kTrackDataMode1, Msf(0, 2, 0), 1000, 150);
  disc->trackCount = 1;
  disc->SetDiscType(1);
  return disc;
}

TEST_F(FamilyEdgeCasesTest, AFailingFourthPregapWriteEndsPrepareDaoAfterThreeGroups) {
  auto nec = Open<Dev_NEC_NR7500A>("_NEC    NR-7500A");
  Reply(0xAA, 4, kilnartest::SenseReply(3, 0x0C, 0x00));
  EXPECT_FALSE(nec->PrepareDAO(*ThousandBlockLayout(), 0));
  EXPECT_EQ(CountLogged("aa 00 ff"), 4);
  EXPECT_EQ(CountLogged("aa 00 ff ff ff 88 00 00 00 0a 00 00 | out 23520 | check 03/0c/00"), 1);  // -120
  EXPECT_EQ(CountLogged("aa 00 ff ff ff 6a 00 00 00 0a 00 00 | out 23520 | good"), 1);            // -150
}

TEST_F(FamilyEdgeCasesTest, LgEndDaoSettlesByTheConfiguredSpeed) {
  struct Row {
    int16_t speedCode;  // the configuration's; the drive reports it back
    int readyPolls;     // one a second, while the time waited is not above the settling time
  } const rows[] = {
      {1, 71},  // 2x: 70 s
      {2, 41},  // 4x: 40 s
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.speedCode);
    auto lg = Open<Dev_LG8042B>("LG      CD-RW CED-8042B");
    WriteConfig config;
    config.speedCode = row.speedCode;
    ASSERT_EQ(lg->SetConfig(config, 0), 0);
    const int pollsBefore = CountLogged("00 00 00 00 00 00 | none");
    const DWORD start = GetTickCount();
    EXPECT_TRUE(lg->EndDAO(DiscInfo()));
    EXPECT_EQ(GetTickCount() - start, static_cast<DWORD>(row.readyPolls) * 1000u);
    EXPECT_EQ(CountLogged("00 00 00 00 00 00 | none") - pollsBefore, row.readyPolls);
    EXPECT_EQ(CountLogged("35 "), 0) << "the LG end flushes nothing";
  }
}

TEST_F(FamilyEdgeCasesTest, NecFixationWaitsFiveSecondsBeforeClosingEvenOnAReadyDrive) {
  auto nec = Open<Dev_NEC_NR7500A>("_NEC    NR-7500A");
  DWORD start = GetTickCount();
  EXPECT_EQ(nec->Fixation(0, 1, 8, 1), 0);
  // 5 s, ready, close, 20 s, ready.
  EXPECT_EQ(GetTickCount() - start, 25000u);
  EXPECT_EQ(LastLogged("00 00 00 00 00 00") - LastLogged("5b 00 02 00 00 01"), 1);

  Reply(0x5B, 2, kilnartest::SenseReply(5, 0x24, 0x00));
  start = GetTickCount();
  EXPECT_NE(nec->Fixation(0, 1, 8, 1), 0);
  EXPECT_EQ(GetTickCount() - start, 5000u) << "a failed close returns at once";
  EXPECT_EQ(LastLogged("5b 00 02 00 00 01 00 00 00 00 | none | check 05/24/00"), static_cast<int>(Log().size()) - 1);
}

// x * alpha^n in GF(2^8) with x^8 + x^4 + x^3 + x^2 + 1.
uint8_t TimesAlpha(uint8_t x, int n) {
  for (int i = 0; i < n; ++i) x = static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1D : 0));
  return x;
}

TEST(RawSectorTest, ParityAndEdcSatisfyTheirEquations) {
  std::vector<uint8_t> user(2048);
  for (size_t i = 0; i < user.size(); ++i) user[i] = static_cast<uint8_t>(i * 7 + 3);
  std::vector<uint8_t> sector(kilnartool::kRawSectorSize);
  kilnartool::MakeMode1Sector(1000, user.data(), sector.data());
  EXPECT_EQ(sector[12], 0x00);  // 1150 frames: 00:15:25
  EXPECT_EQ(sector[13], 0x15);
  EXPECT_EQ(sector[14], 0x25);
  EXPECT_EQ(sector[15], 1);
  // The CRC over the block and its stored EDC leaves nothing.
  EXPECT_EQ(kilnartool::SectorEdc(sector.data(), 2068), 0u);
  // Every P code word (26 bytes, 86 apart) has the syndromes 0.
  const uint8_t* area = sector.data() + 12;
  for (int column = 0; column < 86; ++column) {
    uint8_t s0 = 0, s1 = 0;
    for (int k = 0; k < 26; ++k) {
      const uint8_t c = area[column + 86 * k];
      s0 ^= c;
      s1 ^= TimesAlpha(c, 25 - k);
    }
    EXPECT_EQ(s0, 0) << column;
    EXPECT_EQ(s1, 0) << column;
  }
  // Every Q code word: 43 bytes along a diagonal, then its two parity bytes.
  for (int v = 0; v < 52; ++v) {
    uint8_t s0 = 0, s1 = 0;
    uint32_t at = static_cast<uint32_t>((v / 2) * 86 + v % 2);
    for (int k = 0; k < 45; ++k) {
      const uint8_t c = k < 43 ? area[at] : sector[2248 + v + (k - 43) * 52];
      if (k < 43) at = (at + 88) % 2236;
      s0 ^= c;
      s1 ^= TimesAlpha(c, 44 - k);
    }
    EXPECT_EQ(s0, 0) << v;
    EXPECT_EQ(s1, 0) << v;
  }
}

}  // namespace family_edge_cases
