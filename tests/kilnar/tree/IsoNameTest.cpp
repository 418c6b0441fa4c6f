// ISO names by name mode, from the long name alone (in process and through
// kilnartool isoname), the Joliet name's cut, and the 8.3 test.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "kilnar/KilnarTestTool.h"
#include "kilnar/app/FileNode.h"
#include "kilnar/app/NameCharMap.h"
#include "kilnar/app/NodeName.h"

namespace {

using kilnartest::Quoted;
using kilnartest::RunKilnartool;

struct NameRow {
  const char* why;
  int mode;
  bool folder;
  std::string longName;
  std::string expected;
};

std::string MappedName(int mode, bool folder, const std::string& longName) {
  NodeName names;
  names.SetLongName(longName);
  names.MapIsoName(mode, folder, NameCharMap());
  return names.GetIsoName();
}

TEST(IsoNameTest, NamesOfEachModeInProcessAndThroughTheTool) {
  const std::string forty = std::string(40, 'a') + ".MP3";
  const NameRow rows[] = {
      {"mode 1 folds accents and '-', drops blanks", 1, false, "\xC3\x9C" "ber T\xC3\xA4nze-Mix.mp3", "UBERTANZ.MP3"},
      {"mode 5 maps the Joliet name alike", 5, false, "\xC3\x9C" "ber T\xC3\xA4nze-Mix.mp3", "UBERTANZ.MP3"},
      {"a byte that is not UTF-8 reads as Windows-1252", 1, false, "\xC4pfel.txt", "APFEL.TXT"},
      {"mode 1: a folder loses its extension", 1, true, "Best.Of", "BEST"},
      {"mode 2 drops vowels from a long name", 2, false, "Verylongname.txt", "VRYLNGNM.TXT"},
      {"mode 2 keeps a short name's vowels", 2, false, "Audio.wave", "AUDIO.WV"},
      {"mode 3 keeps 28 bytes beside .MP3", 3, false, forty, std::string(28, 'A') + ".MP3"},
      {"mode 3: a folder keeps 32 bytes", 3, true, std::string(40, 'b') + ".x", std::string(32, 'B')},
      {"mode 4 keeps the long name", 4, false, "Ab c.Mp3", "Ab c.Mp3"},
      {"mode 1: characters outside Windows-1252 drop out", 1, true, "\xE6\x97\xA5\xE6\x9C\xAC!", ""},
      {"mode 1: only the last dot starts the extension", 1, false, "a.b.c.txt", "ABC.TXT"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MappedName(row.mode, row.folder, row.longName), row.expected) << row.why;
    std::string output;
    const std::string arguments = "isoname " + std::to_string(row.mode) + (row.folder ? " --folder " : " ") +
                                  Quoted(row.longName);
    ASSERT_EQ(RunKilnartool(arguments, &output), 0) << row.why;
    EXPECT_EQ(output, row.expected + "\n") << row.why;
  }
}

TEST(IsoNameTest, ToolTakesManyNamesAndRefusesBadModes) {
  std::string output, error;
  ASSERT_EQ(RunKilnartool("isoname 1 Verylongname.txt Best.Of", &output), 0);
  EXPECT_EQ(output, "VERYLONG.TXT\nBEST.OF\n");
  for (const char* bad : {"isoname 0 a", "isoname 6 a", "isoname 1", "isoname x a"}) {
    EXPECT_NE(RunKilnartool(bad, &output, "", &error), 0) << bad;
    EXPECT_EQ(error.rfind("kilnartool: ", 0), 0u) << bad;
  }
}

TEST(IsoNameTest, LongNamesKeepTheirFirst64JolietUnitsAnd63IsoBytes) {
  NodeName plain;
  plain.SetLongName(std::string(70, 'x'));
  EXPECT_EQ(plain.GetJolietLength(), 64u);
  EXPECT_EQ(plain.GetIsoName().size(), 63u);

  NodeName pairAtTheCut;
  pairAtTheCut.SetLongName(std::string(63, 'x') + "\xF0\x9F\x8E\xB5" + std::string(6, 'y'));
  EXPECT_EQ(pairAtTheCut.GetJolietLength(), 63u) << "the 64th unit would split a surrogate pair";
  EXPECT_EQ(pairAtTheCut.GetIsoName(), std::string(63, 'x'));

  NodeName umlauts;
  umlauts.SetLongName(std::string(62, 'x') + "\xC3\xA4\xC3\xA4");
  EXPECT_EQ(umlauts.GetIsoName(), std::string(62, 'x')) << "mode 4 names are cut at a character boundary";
  EXPECT_EQ(umlauts.GetJolietText(), std::string(62, 'x') + "\xC3\xA4\xC3\xA4");

  NodeName mode5;
  mode5.SetLongName(std::string(70, 'q') + ".mp3");
  mode5.MapIsoName(5, false, NameCharMap());
  EXPECT_EQ(mode5.GetIsoName(), "QQQQQQQQ") << "mode 5 maps the 64 units the Joliet name kept, the extension cut away";
}

TEST(IsoNameTest, EightThreeNames) {
  struct Row {
    const char* name;
    bool valid;
  };
  const Row rows[] = {{"LONGNAME.MP3", true}, {"A", true},          {"A_1.X", true},        {"LONGNAME9.MP3", false},
                      {"NAME.MPEG", false},   {"name.mp3", false},  {"A.B.C", false},       {"A B.MP3", false},
                      {"ABC.", true},         {"", true}};
  for (const auto& row : rows) {
    NodeName names;
    names.SetLongName(row.name);
    EXPECT_EQ(names.IsValid83(), row.valid) << row.name;
  }
}

TEST(IsoNameTest, NameThatMapsToNothingBecomesAnUnderscore) {
  FileNode folder("/nowhere/\xE6\x97\xA5\xE6\x9C\xAC!", true, 0);
  folder.RenameFolder(1, NameCharMap());
  EXPECT_EQ(folder.GetIsoName(), "_");
  EXPECT_EQ(folder.GetNames().GetJolietText(), "\xE6\x97\xA5\xE6\x9C\xAC!") << "the Joliet name stays";
}

TEST(IsoNameTest, ModeFourNumbersWithinTheIsoNameField) {
  FileNode folder("/src/long", true, 0);
  for (char last : {'1', '2', '3'}) {
    std::unique_ptr<Node> node = std::make_unique<FileNode>("/src/long/" + std::string(60, 'x') + ".mp" + last, false, 0);
    folder.InsertKeepingEqual(std::move(node));
  }
  ASSERT_EQ(folder.GetCount(), 3u);
  folder.RenameFolder(4, NameCharMap());
  std::set<std::string> names;
  for (size_t i = 0; i < folder.GetCount(); ++i) {
    const std::string& name = static_cast<FileNode*>(folder.GetChild(i))->GetIsoName();
    EXPECT_LE(name.size(), NodeName::kIsoNameMost) << name;
    names.insert(name);
  }
  EXPECT_EQ(names, (std::set<std::string>{std::string(60, 'x') + ".mp", std::string(59, 'x') + "1.mp",
                                          std::string(59, 'x') + "2.mp"}))
      << "a number that would overflow the field shortens the name instead of being cut off";
}

TEST(IsoNameTest, SourcePathsAreKeptWhole) {
  const std::string path = "/" + std::string(300, 'p') + "/" + std::string(200, 'n') + ".mp3";
  FileNode node(path, false, 1);
  EXPECT_EQ(node.GetSourcePath(), path);
  EXPECT_EQ(node.GetNames().GetJolietLength(), 64u);
}

TEST(IsoNameTest, CharacterTableFoldsBothCodePages) {
  const NameCharMap table;
  struct Row {
    uint8_t byte;
    char letter;
  };
  const Row rows[] = {{'a', 'A'}, {'z', 'Z'}, {'-', '_'}, {0xE4, 'A'}, {0xD6, 'I'}, {0xE0, 'O'},
                      {0xE9, 'U'}, {0x82, 'E'}, {0x99, 'O'}, {'0', '0'}, {'!', '!'}, {0xFF, '\xFF'}};
  for (const auto& row : rows) EXPECT_EQ(table.Map(row.byte), static_cast<uint8_t>(row.letter)) << int(row.byte);
}

}  // namespace
