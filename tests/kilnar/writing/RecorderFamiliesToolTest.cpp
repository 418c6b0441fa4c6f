// kilnartool write-image on the emulated recorder with the INQUIRY text of
// each of the 27 page-05 and family B classes: every one burns the image
// track-at-once and closes the session with its own commands; faults of
// the drive end or stop the burn as each write form allows; --dao writes
// the image at once through the class's cue sheet.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ImageBurnFolder.h"

namespace recorder_families {


constexpr const char* kZeros8 = "00 00 00 00 00 00 00 00 ";
constexpr const char* kTrackPage = "05 32 01 c4 08";
constexpr const char* kClose10 = "5b 00 02 00 00 01 00 00 00 00 | none | good";
constexpr const char* kClose12 = "5b 00 02 00 00 00 00 00 00 00 00 00 | none | good";
constexpr const char* kShadowClose = "5b 00 02 00 00 00 00 00 00 00 | none | good";


std::string Select(const char* cdb, const char* length) {
  return std::string(cdb) + " | out " + length + " | good | " + kZeros8 + kTrackPage;
}

const std::string kDriveLine = Select("55 10 00 00 00 00 00 00 3c 00", "60");
const std::string kT1 = Select("55 10 00 00 00 00 00 00 3c 00 00 00", "60");
const std::string kT2 = Select("55 12 00 00 00 00 00 00 3c 00 00 00", "60");
const std::string kT3 = Select("55 10 00 00 00 00 00 00 40 00 00 00", "64");
const std::string kRezero = "01 00 00 00 00 00 | none | good";
const std::string kDiscInformation = "51 00 00 00 00 00 00 00 22 00 | in 256 | good";
const std::string kWrite10 = "2a 00 00 00 00 00 00 00 1e 00 | out 61440 | good";
const std::string kWrite12 = "aa 00 00 00 00 00 00 00 00 1e 00 00 | out 61440 | good";
const std::string kReady = "00 00 00 00 00 00 | none | good";

const std::vector<kilnartest::TrackAtOnceBurn> kClasses = {
    // the drive-configured page-05 line: REZERO, page, WRITE(10), polled close
    {"JVC     XR-W2082", "Dev_JVC2082", {kRezero, kDriveLine, kWrite10, kClose10, kReady}},
    {"GENERIC CRD-BP4", "Dev_Generic_CRD_BP4", {kRezero, kDriveLine, kWrite10, kClose10, kReady}},
    {"PLEXTOR CD-R   PX-W1210S", "Dev_Plextor_PX_W1210S", {kRezero, kDriveLine, kWrite10, kClose10, kReady}},
    {"SANYO   CD-R CRD-R800S", "Dev_SanyoR800", {kRezero, kDriveLine, kWrite10, kClose10, kReady}},
    // the shadow line: disc information, page, track speed, close at once
    {"TOSHIBA DVD-ROM SD-R1002", "Dev_Toshiba_SDR1002",
     {kDiscInformation, kDiscInformation, kDriveLine, "bb 00 ff ff", kWrite10, kShadowClose}},
    {"HP      CD-Writer+ 9200", "Dev_HP9200",
     {kDiscInformation, kDiscInformation, kDriveLine, "bb 00 ff ff", kWrite10, "5c 00", kShadowClose}},
    {"MATSHITACD-RW  CW-7585", "Dev_Panasonic7585",
     {kDiscInformation, kDiscInformation, kDriveLine, "bb 00 ff ff", kWrite10, kShadowClose}},
    {"MATSHITACD-R   CW-7582", "Dev_Panasonic7582",
     {kDiscInformation, kDiscInformation, kDriveLine, "bb 00 ff ff", kWrite10, "5c 00", kShadowClose}},
    // family B: T1-T3, WRITE(12), F1 (ready, close, ready), F2-F4 (close
    // with track 0), F5 (the ATAPI recorder's close)
    {"_NEC    NR-7500A", "Dev_NEC_NR7500A", {kT1, kWrite12, kReady, kClose10, kReady}},
    {"LG      CD-RW CED-8120B", "Dev_LG8120B", {kT1, kWrite12, kClose12, kReady}},
    {"TDK     CDRW161040X", "Dev_TDK_CDRW161040X", {kT1, kWrite12, kReady, kClose10, kReady}},
    {"SAMSUNG CD-R/RW SW-408B", "Dev_Samsung_SW408B", {kT1, kWrite12, kReady, kClose10, kReady}},
    {"LITE-ON LTR-12101B", "Dev_LiteOn_Ltr_12101B", {kT1, kWrite12, kReady, kClose10, kReady}},
    {"GENERIC CRD-BP1400P", "Dev_Generic_CRD_BP1400P", {kT1, kWrite12, kReady, kClose10, kReady}},
    {"WAITEC  CD-R   WT3284", "Dev_Waitec_WT3284", {kT1, kWrite12, kClose12, kReady}},
    {"YAMAHA  CRW2100E", "Dev_YAMAHA_CRW2100E", {kT1, kWrite12, kReady, kClose10, kReady}},
    {"TEAC    CD-W512SB", "Dev_Teac_CD_512EB", {kT1, kWrite12, kReady, kClose10, kReady}},
    {"LG      CD-RW CED-8042B", "Dev_LG8042B", {kT1, kWrite12, kClose12, kReady}},
    {"PHILIPS PCA460RW", "Dev_Phi_Pca460", {kT2, kWrite12, kReady, kClose10, kReady}},
    {"HP      CD-Writer+ 8100", "Dev_HP8100", {kT1, kWrite12, kClose12, kReady}},
    {"YAMAHA  CDR401", "Dev_Yamaha401", {kT3, kWrite12, "55 10 00 00 00 00 00 00 40 00 00 00 | out 64", kClose12, kReady}},
    {"YAMAHA  CRW4416E", "Dev_Yamaha4001", {kT3, kWrite12, "55 10 00 00 00 00 00 00 40 00 00 00 | out 64", kClose12, kReady}},
    {"RICOH   CD-R/RW MP7040A", "Dev_MP7040A", {kT1, kWrite12, kReady, kClose10, kReady}},
    {"SONY    CD-RW  CRX160E", "Dev_SonyCRX160E", {kT1, kWrite12, kClose12}},
    {"SONY    CD-RW  CRX145E", "Dev_SonyCRX145E", {kT1, kWrite12, kClose12}},
    {"SONY    CD-RW  CRX140E", "Dev_SonyCRX140E", {kT1, kWrite12, kClose12}},
    {"SONY    CD-RW  CRX100E", "Dev_SonyCRX100", {kT1, kWrite12, kClose12}},
};

struct FamilyFolder : kilnartest::ImageBurnFolder {
  FamilyFolder() : ImageBurnFolder("FAMILY", 5) {}
};

TEST(RecorderFamiliesToolTest, EveryClassBurnsTheImageAndClosesWithItsOwnCommands) {
  FamilyFolder place;
  kilnartest::ExpectEachBurnsTrackAtOnce(place, kClasses);
}

TEST(RecorderFamiliesToolTest, LiteOnWritesTwelveByteWritesAndJvcTenByteWrites) {
  FamilyFolder place;
  std::string output, error;
  ASSERT_EQ(place.Burn("LITE-ON LTR-12101B", "", output, error), 0) << error;
  // Eight header zeros, 05 32 01 C4 08, zeros, 00 96 at page bytes 14-15.
  std::string list = kZeros8 + std::string(kTrackPage);
  for (int i = 5; i < 14; ++i) list += " 00";
  list += " 00 96";
  for (int i = 16; i < 52; ++i) list += " 00";
  EXPECT_TRUE(place.LoggedInOrder(
      {"55 10 00 00 00 00 00 00 3c 00 00 00 | out 60 | good | " + list, kWrite12, kReady, kClose10}));
  EXPECT_EQ(place.Count("2a "), 0);
  ASSERT_EQ(place.Burn("JVC     XR-W2082", "", output, error), 0) << error;
  EXPECT_TRUE(place.LoggedInOrder({kRezero, kWrite10}));
  EXPECT_EQ(place.Count("aa "), 0);
}

TEST(RecorderFamiliesToolTest, LongWritesAreRepeatedByW2AndFailW1AndAFailedWriteFailsW3) {
  FamilyFolder place;
  std::string output, error;
  const std::string firstWrite = "aa 00 00 00 00 00 00 00 00 1e";
  ASSERT_EQ(place.Burn("SONY    CD-RW  CRX160E", "", output, error, "TWL_RECORDER_FAULTS=longwrite=3"), 0) << error;
  EXPECT_EQ(place.Count(firstWrite), 4);
  EXPECT_TRUE(place.LoggedInOrder({firstWrite + " 00 00 | out 61440 | check 02/04/08",
                                   firstWrite + " 00 00 | out 61440 | good"}));
  EXPECT_TRUE(place.DiscBeginsWithImage());

  EXPECT_EQ(WEXITSTATUS(place.Burn("_NEC    NR-7500A", "", output, error, "TWL_RECORDER_FAULTS=longwrite=3")), 1);
  EXPECT_EQ(place.Count(firstWrite), 1);
  EXPECT_EQ(output.find("closed"), std::string::npos);

  // The CRW2100E's write form once answered success whatever the drive
  // said; a write error must end the burn.
  EXPECT_EQ(WEXITSTATUS(place.Burn("YAMAHA  CRW2100E", "", output, error, "TWL_RECORDER_FAULTS=writeerror=40")), 1);
  EXPECT_EQ(output.find("closed"), std::string::npos);
  EXPECT_FALSE(error.empty());
}

// The cue sheet of the 1000-block image as the log shows it.
std::string CueSheetLine(uint8_t secondEntryForm) {
  char form[4];
  std::snprintf(form, sizeof form, "%02x", secondEntryForm);
  return std::string("5d 00 00 00 00 00 00 00 20 00 | out 32 | good | 41 00 00 01 00 00 00 00 41 01 00 ") + form +
         " 00 00 00 00 41 01 01 11 00 00 04 00 41 aa 01 01 00 00 11 19";
}

TEST(RecorderFamiliesToolTest, ImagesWrittenAtOnceThroughTheCueSheet) {
  FamilyFolder place;
  const std::string image = place.folder + "/thousand.iso";
  twltest::WriteFile(image, kilnartest::PatternBytes(1000 * 2048, 3));
  place.image = image;
  struct AtOnce {
    const char* inquiry;
    uint8_t secondEntryForm;
    int pregapWrites;       // WRITEs before LBA 0
    const char* lastWrite;  // the last of them, when checked
  };
  const AtOnce rows[] = {
      {"_NEC    NR-7500A", 0x00, 15, "aa 00 ff ff ff f6 00 00 00 0a 00 00 | out 23520 | good"},
      {"LG      CD-RW CED-8042B", 0x01, 6, "aa 00 ff ff ff e7 00 00 00 19 00 00 | out 58800 | good"},
      {"PHILIPS PCA460RW", 0x01, 15, nullptr},
      {"SONY    CD-RW  CRX160E", 0x01, 0, nullptr},
      {"YAMAHA  CDR401", 0x01, 1, "aa 00 ff ff ff 6a 00 00 00 96 00 00 | none | good"},
  };
  for (const AtOnce& row : rows) {
    SCOPED_TRACE(row.inquiry);
    std::string output, error;
    ASSERT_EQ(place.Burn(row.inquiry, "--dao", output, error), 0) << error;
    EXPECT_NE(output.find("\nclosed\n"), std::string::npos);
    EXPECT_TRUE(place.DiscBeginsWithImage());
    EXPECT_TRUE(place.LoggedInOrder({CueSheetLine(row.secondEntryForm), "aa 00 00 00 00 00 00 00 00 14 00 00 | out 47040"}));
    EXPECT_EQ(place.Count("aa 00 ff"), row.pregapWrites);
    if (row.lastWrite) {
      EXPECT_TRUE(place.LoggedInOrder({row.lastWrite, "aa 00 00 00 00 00"}));
    }
  }
}

}  // namespace recorder_families
