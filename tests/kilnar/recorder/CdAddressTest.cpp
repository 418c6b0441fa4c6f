// CD addresses, BCD and byte order over the edge cases the engine's
// callers meet: the first blocks of a blank disc, the last address three
// MSF bytes hold, BCD answers and ISO both-byte-order fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/CdAddress.h"
#include "kilnar/recorder/DiscLayout.h"

namespace {

std::string MsfText(const Msf& msf) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", msf.minute, msf.second, msf.frame);
  return text;
}

TEST(CdAddressTest, ConversionsAtTheEdges) {
  struct Row {
    const char* why;
    int32_t got;
    int32_t expected;
  };
  Msf fromZero;
  fromZero.FromLba(0);
  Msf fromLeadIn;
  fromLeadIn.FromLba(-150);
  Msf fromFrames;
  fromFrames.FromFrames(150);
  uint8_t m = 0, s = 0, f = 0;
  LbaToMsf(-150, m, s, f);
  const int32_t leadInLba = MsfToLba(m, s, f);
  const Row rows[] = {
      {"LBA 0 is 00:02:00", fromZero.ToFrames(), 150},
      {"LBA -150 is 00:00:00", fromLeadIn.ToFrames(), 0},
      {"79:59:74 is the largest address", Msf(79, 59, 74).ToLba(), 79 * 4500 + 59 * 75 + 74 - 150},
      {"150 frames are 00:02:00 and back", fromFrames.ToFrames(), 150},
      {"LbaToMsf of -150 round-trips", leadInLba, -150},
      {"BCD 0x79 is 79", BcdToBinary(0x79), 79},
      {"BCD 0x99 is 99", BcdToBinary(0x99), 99},
      {"99 in BCD is 0x99", BinaryToBcd(99), 0x99},
      {"BCD 01:02:03 is LBA 4500+150+3-150", BcdMsfToLba(0x01, 0x02, 0x03), 4503},
  };
  for (const auto& row : rows) EXPECT_EQ(row.got, row.expected) << row.why;
  EXPECT_EQ(MsfText(fromZero), "00:02:00");
  EXPECT_EQ(MsfText(fromLeadIn), "00:00:00");
}

TEST(CdAddressTest, ByteOrderFields) {
  uint8_t both[4] = {};
  SetBothEndian16(both, 0x0102);
  EXPECT_EQ(std::vector<uint8_t>(both, both + 4), (std::vector<uint8_t>{0x02, 0x01, 0x01, 0x02}));

  uint8_t field[4] = {};
  SetBigEndian24(field, 0xAB123456);
  EXPECT_EQ(std::vector<uint8_t>(field, field + 3), (std::vector<uint8_t>{0x12, 0x34, 0x56}));
  EXPECT_EQ(GetBigEndian24(field), 0x123456u);
  SetBigEndian32(field, 0xFFFFFF6A);  // -150 as a command block holds it
  EXPECT_EQ(GetBigEndian32(field), 0xFFFFFF6Au);
  EXPECT_EQ(field[0], 0xFF);
  SetLittleEndian32(field, 0x01020304);
  EXPECT_EQ(field[0], 0x04);
  EXPECT_EQ(GetLittleEndian16(field), 0x0304);
  SetBigEndian16(field, 0xFEDC);
  EXPECT_EQ(GetBigEndian16(field), 0xFEDC);
}

TEST(CdAddressTest, DiscTypeMakesDataTracksModeTwo) {
  struct Row {
    uint16_t type;
    std::vector<uint16_t> expected;
  };
  const Row rows[] = {
      {4, {2, 15, 2, 1}},  // the fourth track lies beyond the track count
      {3, {2, 15, 2, 1}},
      {1, {1, 15, 1, 1}},
  };
  for (const auto& row : rows) {
    DiscInfo disc;
    const uint16_t formats[] = {1, 15, 1, 1};
    for (int i = 0; i < 4; ++i) disc.tracks[i].SetFormat(formats[i]);
    disc.trackCount = 3;
    disc.SetDiscType(row.type);
    EXPECT_EQ(disc.discType, row.type);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(disc.tracks[i].GetFormat(), row.expected[i]) << "type " << row.type;
  }
}

TEST(CdAddressTest, TrackCountBeyondTheTableStaysInside) {
  DiscInfo disc;
  for (auto& track : disc.tracks) track.SetFormat(kTrackDataMode1);
  disc.trackCount = 0xFFFF;  // as a damaged answer could set it
  disc.SetDiscType(4);
  EXPECT_EQ(disc.tracks[DiscInfo::kMaxTracks - 1].GetFormat(), kTrackDataMode2);
}

TEST(CdAddressTest, TrackRecordsStartNamedAndCopyWhole) {
  const TrackInfo blank;
  EXPECT_EQ(MsfText(blank.start), "00:02:00");
  EXPECT_EQ(blank.sessionNumber, 1);
  EXPECT_STREQ(blank.name, "Track00");

  TrackInfo track(7, kTrackAudio, Msf(0, 2, 0), 4500, 150);
  EXPECT_EQ(MsfText(track.length), "01:00:00");
  EXPECT_EQ(MsfText(track.endAddress), "01:02:00");
  EXPECT_EQ(MsfText(track.pregap), "00:02:00");
  EXPECT_STREQ(track.name, "Track07");
  std::strcpy(track.text, "text");
  DiscInfo disc;
  disc.tracks[5] = track;
  disc.trackCount = 6;
  const DiscInfo copy = disc;
  EXPECT_STREQ(copy.tracks[5].text, "text");
  EXPECT_EQ(copy.tracks[5].trackNumber, 7);
  EXPECT_EQ(copy.sessionCount, 1);
}

}  // namespace
