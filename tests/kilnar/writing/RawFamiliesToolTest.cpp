// kilnartool write-image on the emulated recorder with the INQUIRY text of
// each class of drive family A, the two cue-sheet classes and the Ricoh
// vendor class: every one burns the image track-at-once and closes the
// session with its own commands; --dao writes it at once in raw mode
// (family A), through a cue sheet (Dev_Delta) or the vendor track table
// (Ricoh).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageBurnFolder.h"

namespace raw_families_tool {

using kilnartest::Quoted;

const std::string kZeros8 = "00 00 00 00 00 00 00 00 ";
const std::string kTrackPage10 = "55 10 00 00 00 00 00 00 3c 00 | out 60 | good | " + kZeros8 + "05 32 01 c4 08";
const std::string kWrite10 = "2a 00 00 00 00 00 00 00 1e 00 | out 61440 | good";
const std::string kWrite10In12 = "2a 00 00 00 00 00 00 00 1e 00 00 00 | out 61440 | good";
const std::string kDiscInformation = "51 00 00 00 00 00 00 00 22 00 | in 256 | good";
const std::string kReady = "00 00 00 00 00 00 | none | good";
const std::string kClose10 = "5b 00 02 00 00 01 00 00 00 00 | none | good";


const std::vector<kilnartest::TrackAtOnceBurn> kClasses = {
    {"PHILIPS PCRW1208", "Dev_Phi_PRW1208", {kTrackPage10, kWrite10, kReady, kClose10, kReady}},
    {"CyberDrvCW018D CD-R/RW", "Dev_Cyber_CW018",
     {kTrackPage10, kWrite10, "55 10 00 00 00 00 00 00 3c 00 00 00 | out 60 | good | " + kZeros8 + "05 32 01 c0",
      "5b 00 02 00 00 00 00 00 00 00 00 00 | none | good", kReady}},
    {"WAITEC  SHUTTLE", "Dev_Waitec_Shuttle", {kTrackPage10, kWrite10, kReady, kClose10}},
    {"IDE-CD  R/RW 4x4x32", "Dev_IDE_4x4x32", {kTrackPage10, kWrite10, kReady, kClose10, kReady}},
    {"PHILIPS PCRW404", "Dev_Phi_PRW404", {kTrackPage10, kWrite10, kReady, kClose10, kReady}},
    {"PHILIPS CDD3600 CD-R/RW", "Dev_Philips3600",
     {kTrackPage10, kWrite10, kReady, "5b 01 02 00 00 01 00 00 00 00 | none | good", kReady}},
    {"MITSUMI CR-4804TE USB", "Dev_Mitsumi4804USB", {kTrackPage10, kWrite10, kReady, kClose10, kReady}},
    {"MITSUMI CR-4801TE", "Dev_Mitsumi4801", {kTrackPage10, kWrite10, kReady, kClose10, kReady}},
    {"MITSUMI CR-4802TE", "Dev_Mitsumi4802", {kTrackPage10, kWrite10, kReady, kClose10, kReady}},
    {"HP      CD-Writer+ 7200", "Dev_HP3200",
     {kDiscInformation, kDiscInformation, kTrackPage10, kWrite10, kReady, kClose10, kReady}},
    {"DELTA   XYZ", "Dev_Delta", {kTrackPage10, kWrite10In12, kReady, kClose10, kReady}},
    {"HP      CD-Writer+ 7100", "Dev_MMP3Ver8RW", {kTrackPage10, kWrite10, kReady, kClose10, kReady}},
    {"RICOH   MP6201A", "Dev_RicohMP6200A",
     {kTrackPage10, kWrite10, "2a 00 00 00 00 00 00 00 1e 00 | out 61440 | good", kReady, kClose10, kReady}},
};

struct ToolFolder : kilnartest::ImageBurnFolder {
  ToolFolder() : ImageBurnFolder("RAWFAMILY", 11) {}
};

TEST(RawFamiliesToolTest, EveryClassBurnsTheImageTrackAtOnceAndClosesWithItsOwnCommands) {
  ToolFolder place;
  kilnartest::ExpectEachBurnsTrackAtOnce(place, kClasses);
}

TEST(RawFamiliesToolTest, FamilyAWritesTheImageAtOnceInRawMode) {
  ToolFolder place;
  std::string output, error;
  ASSERT_EQ(place.Burn("PHILIPS PCRW1208", "--dao", output, error), 0) << error;
  EXPECT_NE(output.find("\nclosed\n"), std::string::npos);
  // Write type RAW, data block type 1; the lead-in from -11634 in 15
  // blocks of 2368 bytes; then the image from LBA 0 in raw blocks.
  EXPECT_TRUE(place.LoggedInOrder({"55 10 00 00 00 00 00 00 3c 00 | out 60 | good | " + kZeros8 + "05 32 03 00 01",
                             "2a 00 ff ff d2 8e 00 00 0f 00 | out 35520 | good",
                             "2a 00 00 00 00 00 00 00 14 00 | out 47360 | good",
                             "35 00 00 00 00 00 00 00 00 00 | none | good"}));
  EXPECT_TRUE(place.DiscBeginsWithImage());
  EXPECT_NE(twltest::ReadFile(place.disc + ".layout").find("session 1 final"), std::string::npos);
}

TEST(RawFamiliesToolTest, DeltaWritesTheImageAtOnceThroughItsCueSheet) {
  ToolFolder place;
  place.image = place.folder + "/thousand.iso";
  twltest::WriteFile(place.image, kilnartest::PatternBytes(1000 * 2048, 12));
  std::string output, error;
  ASSERT_EQ(place.Burn("DELTA   XYZ", "--dao", output, error), 0) << error;
  EXPECT_NE(output.find("\nclosed\n"), std::string::npos);
  EXPECT_TRUE(place.LoggedInOrder({"5d 00 00 00 00 00 00 00 20 00 | out 32 | good | 41 00 00 01 00 00 00 00 41 01 00 14 00 00 "
                             "00 00 41 01 01 11 00 00 02 00 41 aa 01 01 00 00 11 19",
                             "aa 00 ff ff ff 6a 00 00 00 96 00 00 | none | good",
                             "2a 00 00 00 00 00 00 00 14 00 00 00 | out 47040 | good"}));
  EXPECT_TRUE(place.DiscBeginsWithImage());
}

TEST(RawFamiliesToolTest, RicohWritesTheImageAtOnceThroughItsTrackTable) {
  ToolFolder place;
  place.image = place.folder + "/thousand.iso";
  twltest::WriteFile(place.image, kilnartest::PatternBytes(1000 * 2048, 13));
  const std::string replies = place.folder + "/replies";
  twltest::WriteFile(replies, "# lead-in 11855 blocks, lead-out 6750\nee data 2e 4f 1a 5e\n");
  std::string output, error;
  ASSERT_EQ(place.Burn("RICOH   MP6201A", "--dao", output, error, "TWL_RECORDER_REPLIES=" + Quoted(replies)), 0)
      << error;
  EXPECT_NE(output.find("\nclosed\n"), std::string::npos);
  EXPECT_TRUE(place.LoggedInOrder({"ee 00 00 00 00 00 00 00 04 00 00 00 | in 4 | good",
                             "ed 00 00 00 00 00 11 00 14 00 00 00 | out 20 | good | 00 14 04 00 00 00 00 00 00 00 00 "
                             "00 00 00 00 96 00 00 04 7e",
                             "2a 00 00 00 00 00 00 00 05 00 | out 11760 | good",
                             "2a 00 00 00 00 00 00 00 14 00 | out 47040 | good"}));
  // Lead-in 1185 x 10 and lead-out 675 x 10 blocks; the pregap one by one.
  EXPECT_EQ(place.Count("2a 00 00 00 00 00 00 00 0a 00 | out 23520 | good"), 1185 + 675);
  EXPECT_EQ(place.Count("2a 00 00 00 00 00 00 00 05 00 | out 11760 | good"), 1);
  EXPECT_EQ(place.Count("2a 00 00 00 00 00 00 00 01 00 | out 2352 | good"), 150);
  EXPECT_TRUE(place.DiscBeginsWithImage());
}

}  // namespace raw_families_tool
