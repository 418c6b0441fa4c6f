// Message files: where IniFile finds them, values kept on one line that an
// independent reader (python3 configparser) reads back, and what a missing
// file, section or key reads as.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kilnar/KilnarTestTool.h"
#include "kilnar/recorder/IniEntry.h"
#include "kilnar/recorder/IniFile.h"

namespace {

using kilnartest::Quoted;
using kilnartest::RunKilnartool;

std::string OwnProgramPath() {
  char path[4096] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

std::string OwnFolder() {
  const std::string path = OwnProgramPath();
  return path.substr(0, path.find_last_of('/') + 1);
}

TEST(MessageFileTest, PathCasesOnLinux) {
  struct Row {
    const char* why;
    const char* name;
    const char* extension;
    std::string expected;
  };
  const Row rows[] = {
      {"an absolute name stands as it is", "/srv/burn/MSG/SCSI.MSG", nullptr, "/srv/burn/MSG/SCSI.MSG"},
      {"an absolute name without extension gets .INI", "/srv/burn/settings", nullptr, "/srv/burn/settings.INI"},
      {"a drive letter stands as it is", "E:\\Apps\\Burn\\x.MSG", nullptr, "E:\\Apps\\Burn\\x.MSG"},
      {"a relative name lies beside the program", "MSG\\SCSI.MSG", nullptr, OwnFolder() + "MSG/SCSI.MSG"},
      {"a relative name without extension gets the given one", "MSG/TREE", ".MSG", OwnFolder() + "MSG/TREE.MSG"},
      {"no name and no extension: the program's .INI", nullptr, nullptr, OwnProgramPath() + ".INI"},
      {"no name with an extension", "", ".MSG", OwnProgramPath() + ".MSG"},
  };
  for (const auto& row : rows) EXPECT_EQ(IniFile(row.name, row.extension).GetPath(), row.expected) << row.why;
}

TEST(MessageFileTest, TwoLineValueIsOneLineThatConfigparserReads) {
  const std::string file = twltest::MakeTempDir("msg") + "/TEST.MSG";
  std::string output;
  ASSERT_EQ(RunKilnartool("msg " + Quoted(file) + " ERROR USER_BREAK \"$(printf 'first line\\nsecond line')\"", &output),
            0);
  ASSERT_EQ(RunKilnartool("msg " + Quoted(file) + " ERROR USER_BREAK", &output), 0);
  EXPECT_EQ(output, "value first line#second line\n");
  const std::string script =
      "import configparser,sys\n"
      "c=configparser.ConfigParser(interpolation=None)\n"
      "c.optionxform=str\n"
      "c.read(sys.argv[1])\n"
      "print(c['ERROR']['USER_BREAK'])\n";
  twltest::WriteFile(twltest::SandboxDir() + "/readmsg.py", script);
  ASSERT_EQ(twltest::RunCommand("python3 '" + twltest::SandboxDir() + "/readmsg.py' " + Quoted(file), &output), 0);
  EXPECT_EQ(output, "first line#second line\n");
}

TEST(MessageFileTest, MissingFileSectionOrKeyReadsEmpty) {
  const std::string folder = twltest::MakeTempDir("msg");
  twltest::WriteFile(folder + "/SCSI.MSG", "[ERROR]\nUSER_BREAK=Cancelled.\n");
  struct Row {
    std::string file;
    const char* section;
    const char* key;
    std::string expected;
  };
  const Row rows[] = {
      {folder + "/SCSI.MSG", "error", "user_break", "value Cancelled.\n"},
      {folder + "/NONE.MSG", "ERROR", "USER_BREAK", "value \n"},
      {folder + "/SCSI.MSG", "MESSAGE", "USER_BREAK", "value \n"},
      {folder + "/SCSI.MSG", "ERROR", "FILE_INVALID", "value \n"},
  };
  for (const auto& row : rows) {
    std::string output;
    ASSERT_EQ(RunKilnartool("msg " + Quoted(row.file) + " " + row.section + " " + row.key, &output), 0);
    EXPECT_EQ(output, row.expected) << row.file << " " << row.section << " " << row.key;
  }
  IniFile file((folder + "/SCSI.MSG").c_str(), nullptr);
  EXPECT_STREQ(file.GetString(nullptr, "USER_BREAK"), "");
  EXPECT_STREQ(file.GetString("ERROR", nullptr), "");
  file.WriteString("ERROR", nullptr, "x");
  file.WriteString("ERROR", "USER_BREAK", nullptr);
  EXPECT_STREQ(file.GetString("ERROR", "USER_BREAK"), "Cancelled.");
}

TEST(MessageFileTest, EntriesReadAndWriteTheirKey) {
  const std::string path = twltest::MakeTempDir("msg") + "/READER.MSG";
  IniFile file(path.c_str(), nullptr);
  IniEntry entry = file.GetEntry("READER", "MITSUMICR-2801TE");
  entry.Write("1;0");
  char value[3] = {};
  entry.Read(value, sizeof value);
  EXPECT_STREQ(value, "1;") << "cut to the caller's buffer";
  const std::string longName(80, 'k');
  IniEntry cut(file, longName.c_str(), nullptr);
  EXPECT_EQ(std::string(cut.GetSection()).size(), IniEntry::kNameSize - 1);
  EXPECT_STREQ(cut.GetKey(), "");
}

TEST(MessageFileTest, ShippedMessageFileHoldsEverySection) {
  std::string output;
  const char* keys[][2] = {{"ERROR", "ERR_CW_NOT_SUPPORTED"}, {"ERROR", "FILE_INVALID"},
                           {"ERROR", "NOT_ENOUGH_MEMORY"},    {"ERROR", "ERR_CW_VERIFY"},
                           {"ERROR", "ERR_CW_READERROR"},     {"ERROR", "USER_BREAK"},
                           {"ERROR", "ERR_CW_FILE_ACCESS"},   {"ERROR", "INTERNAL_ERROR"},
                           {"MESSAGE", "ERR_CW_NOT_SUPPORTED"}, {"MESSAGE", "ERR_READING_FILE"},
                           {"MESSAGE", "ERR_CW_NOT_ENOUGH_SPACE"}, {"MESSAGE", "ERR_CW_BLOCKS_WRITTEN"},
                           {"00", "DEFAULT"}, {"05", "DEFAULT"}, {"0a", "DEFAULT"}, {"0f", "DEFAULT"}};
  for (const auto& key : keys) {
    ASSERT_EQ(RunKilnartool(std::string("msg MSG/SCSI.MSG ") + key[0] + " " + key[1], &output), 0);
    EXPECT_GT(output.size(), std::string("value \n").size()) << key[0] << " " << key[1];
  }
}

}  // namespace
