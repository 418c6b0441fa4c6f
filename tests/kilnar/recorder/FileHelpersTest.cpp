// The burner's small helpers: file information of roots, UCS-2 names,
// number fields, trimming and overlapping moves, and free space compared
// with python3's view of the same file system.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kilnar/recorder/BufferEdits.h"
#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/DiskSpace.h"
#include "kilnar/recorder/FileInfo.h"
#include "kilnar/recorder/IsoDates.h"
#include "kilnar/recorder/MessageFigures.h"
#include "kilnar/recorder/Ucs2Text.h"
#include "support/TestPaths.h"

namespace {

std::vector<uint8_t> Units(const char* text) {
  std::vector<uint8_t> units(2 * kUcs2MostUnits, 0xAA);
  const size_t count = AnsiToUcs2(text, units.data());
  units.resize(2 * count);
  return units;
}

uint64_t PythonFreeBytes(const std::string& folder) {
  std::string output;
  EXPECT_EQ(twltest::RunCommand("python3 -c 'import os;s=os.statvfs(\"" + folder + "\");print(s.f_bavail*s.f_frsize)'",
                                &output),
            0);
  return std::stoull(output);
}

TEST(FileHelpersTest, RootsAreFoldersOfSizeZeroWithoutALookup) {
  for (const char* root : {"C:", "C:\\", "c:/", "/"}) {
    bool isFolder = false, hidden = true, archive = true;
    uint32_t size = 77;
    TimeStamp time(12345);
    EXPECT_TRUE(GetFileInfo(root, &isFolder, &size, &time, &hidden, &archive)) << root;
    EXPECT_TRUE(isFolder) << root;
    EXPECT_EQ(size, 0u) << root;
    EXPECT_FALSE(hidden) << root;
    EXPECT_FALSE(archive) << root;
    EXPECT_EQ(time.GetValue(), 12345u) << root << ": a root leaves the time alone";
  }
}

TEST(FileHelpersTest, FileInfoOfFilesFoldersAndMissingNames) {
  const std::string folder = twltest::MakeTempDir("info");
  twltest::WriteFile(folder + "/.hidden.txt", "12345");
  bool isFolder = true, hidden = false, archive = false;
  uint32_t size = 0;
  EXPECT_TRUE(GetFileInfo((folder + "/.hidden.txt").c_str(), &isFolder, &size, nullptr, &hidden, &archive));
  EXPECT_FALSE(isFolder);
  EXPECT_EQ(size, 5u);
  EXPECT_TRUE(hidden) << "a dot-file is hidden";
  EXPECT_TRUE(archive);
  EXPECT_TRUE(GetFileInfo(folder.c_str(), &isFolder, nullptr, nullptr, nullptr, nullptr));
  EXPECT_TRUE(isFolder);
  EXPECT_FALSE(GetFileInfo((folder + "/missing").c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(GetFileSizeOf((folder + "/missing").c_str()), 0u);
  EXPECT_EQ(GetFileSizeOf((folder + "\\.hidden.txt").c_str()), 5u) << "backslashes separate too";
  EXPECT_FALSE(GetFileInfo(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
}

TEST(FileHelpersTest, Ucs2NamesAndSpaces) {
  struct Row {
    const char* why;
    std::string text;
    std::vector<uint8_t> expected;
  };
  const Row rows[] = {
      {"a byte that is not UTF-8 reads as Windows-1252", "\xE4", {0x00, 0xE4}},
      {"UTF-8 is read as UTF-8", "\xC3\x9C", {0x00, 0xDC}},
      {"an empty text gives one zero unit", "", {0x00, 0x00}},
      {"outside the BMP: a surrogate pair", "\xF0\x9F\x8E\xB5", {0xD8, 0x3C, 0xDF, 0xB5}},
  };
  for (const auto& row : rows) EXPECT_EQ(Units(row.text.c_str()), row.expected) << row.why;
  EXPECT_EQ(Units(std::string(300, 'a').c_str()).size(), 2 * 255u) << "300 bytes are cut to 255 units";
  const std::string pairAtTheCut = std::string(254, 'a') + "\xF0\x9F\x8E\xB5";
  EXPECT_EQ(Units(pairAtTheCut.c_str()).size(), 2 * 254u) << "a pair is never split at the cut";

  const uint8_t back[] = {0x00, 0x55, 0x00, 0xDC, 0xD8, 0x3C, 0xDF, 0xB5};
  EXPECT_EQ(Ucs2ToAnsi(back, 4), "U\xC3\x9C\xF0\x9F\x8E\xB5") << "the UTF-8 of the units";

  uint8_t field[40];
  std::memset(field, 0xAA, sizeof field);
  FillUcs2Spaces(field, 37);
  for (int i = 0; i < 36; i += 2) {
    EXPECT_EQ(field[i], 0x00) << i;
    EXPECT_EQ(field[i + 1], 0x20) << i;
  }
  EXPECT_EQ(field[36], 0xAA) << "37 bytes hold 18 units: the last byte is not written";
}

TEST(FileHelpersTest, NumberFieldsTrimsAndMoves) {
  uint8_t bytes[8] = {};
  SetLittleEndian16(bytes, 0x1234);
  EXPECT_EQ(bytes[0], 0x34);
  EXPECT_EQ(bytes[1], 0x12);
  SetBoth32(bytes, 0x01020304);
  const uint8_t both[8] = {4, 3, 2, 1, 1, 2, 3, 4};
  EXPECT_EQ(std::memcmp(bytes, both, 8), 0);
  EXPECT_EQ(GetLittleEndian32(bytes), 0x01020304u);

  char blanks[] = "   \r\n ";
  TrimRight(blanks);
  EXPECT_STREQ(blanks, "") << "a text of blanks is emptied";
  char line[] = "LABEL  \r\n";
  TrimRight(line);
  EXPECT_STREQ(line, "LABEL");

  char forward[] = "0123456789";
  MoveBytes(forward, forward + 2, 6);  // the target before the source
  EXPECT_STREQ(forward, "2345676789");
  char backward[] = "0123456789";
  MoveBytes(backward + 2, backward, 6);  // the target after the source
  EXPECT_STREQ(backward, "0101234589");

  const uint8_t year200[7] = {200, 6, 15, 12, 30, 0, 0};
  EXPECT_EQ(ParseRecordDate(year200).GetYear(), 2100) << "the year byte is unsigned";
}

TEST(FileHelpersTest, FreeBytesAreWhatPythonSeesIn64Bits) {
  const std::string folder = twltest::MakeTempDir("space");
  const uint64_t before = PythonFreeBytes(folder);
  const uint64_t forPath = GetFreeBytesForPath((folder + "/not/made/yet.iso").c_str());
  const uint64_t after = PythonFreeBytes(folder);
  // Other programs write to the same disk meanwhile: allow for that.
  constexpr uint64_t kSlack = 64ull << 20;
  EXPECT_GE(forPath + kSlack, before < after ? before : after);
  EXPECT_LE(forPath, (before > after ? before : after) + kSlack);
  if (before > (4ull << 30) + kSlack) {
    EXPECT_GT(forPath, 4ull << 30) << "more than 4 GiB is not wrapped";
  }
  EXPECT_GT(GetBytesPerSector(0), 0u);
  const int kind = GetDriveKind(0);
  EXPECT_GE(kind, 1);
  EXPECT_LE(kind, 4);
  EXPECT_FALSE(GetCurrentDir().empty());
}

TEST(FileHelpersTest, MessageTextsAreFilledNeverFormatted) {
  struct Row {
    const char* why;
    const char* format;
    std::string expected;
  };
  const Row rows[] = {
      {"figures in order", "Drive %c: %u KB needed, %i free", "Drive E: 12 KB needed, 7 free"},
      {"%% is one percent sign", "100%% of %s", "100% of E"},
      {"other conversions stay as they stand", "%n%x%p %s", "%n%x%p E"},
      {"conversions beyond the figures stay", "%s %s %s %s %s", "E 12 7 %s %s"},
      {"a lone percent sign at the end", "50%", "50%"},
  };
  for (const auto& row : rows) EXPECT_EQ(FillFigures(row.format, {"E", "12", "7"}), row.expected) << row.why;
}

}  // namespace
