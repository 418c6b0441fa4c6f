// Edge cases of the page-05 recorders and drive family B in the test's
// own process: speed maps, the shadow, addresses, CanLoad, blanking, a
// layout without tracks, and the raw sectors written at once.
#include <string>
#include <vector>

#include "WritingFixture.h"
#include "kilnar/recorder/FamilyBRecorders.h"
#include "kilnar/recorder/PageFiveRecorders.h"
#include "../../../tools/kilnartool/RawSector.h"

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
