#include <gtest/gtest.h>

#include <string>

#include "app/update/UpdateFile.h"
#include "foundation/appcore/RegistryValues.h"
#include "support/TestPaths.h"

namespace {

TEST(UpdateFile, OnlyAStrictVersionAndTwoCrLfLinesAnnounceAnUpdate) {
  const struct {
    const char* behaviour;
    std::string text;
    bool valid;
    DWORD version;
  } cases[] = {
      {"version, page and description", "1.80\r\nhttp://x/p\r\nNews", true, 0x00010050},
      {"blanks and tabs around the version, page trimmed", " \t2.05 \r\n  http://x/p \t\r\nA\r\nB\r\n", true,
       0x00020005},
      {"a letter in the version", "1.8x\r\nhttp://x/p\r\nNews", false, 0},
      {"no minor number", "1.\r\nhttp://x/p\r\nNews", false, 0},
      {"a number above 65535", "65536.1\r\nhttp://x/p\r\nNews", false, 0},
      {"65535 is the largest", "65535.65535\r\nhttp://x/p\r\nNews", true, 0xFFFFFFFF},
      {"line feeds alone", "1.80\nhttp://x/p\nNews", false, 0},
      {"a carriage return without a line feed", "1.80\rhttp://x/p\r\nNews", false, 0},
      {"no description", "1.80\r\nhttp://x/p\r\n", false, 0},
      {"a blank page address", "1.80\r\n \t \r\nNews", false, 0},
      {"the text ends at a NUL", std::string("1.80\r\nhttp://x/p\r\n\0News", 22), false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    UpdateAnnouncement announcement;
    EXPECT_EQ(ParseUpdateFile(c.text, announcement), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(announcement.version, c.version);
    EXPECT_EQ(announcement.page, "http://x/p");
  }
}

class UpdateSite : public ::testing::Test {
 protected:
  void SetUp() override { m_Site = twltest::MakeTempDir("site"); }

  void Announce(const std::string& name, const std::string& text) {
    const std::string folder = m_Site + "/internet/update/0014";
    twltest::RunCommand("mkdir -p '" + folder + "'");
    twltest::WriteFile(folder + "/" + name, text);
  }

  std::string Check(const std::string& options = "") {
    std::string output;
    twltest::RunCommand("'" + twltest::ProgramPath("twltool") + "' updatecheck " + options + " 'file://" + m_Site +
                            "' 2>/dev/null",
                        &output);
    return output;
  }

  static void SetSkipped(DWORD version) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Velbrook\\Velbrook Tunewell", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_TRUE(SetRegistryDWord(key, "LastSkippedVersion", version));
    RegCloseKey(key);
  }

  std::string m_Site;
};

TEST_F(UpdateSite, AnAnnouncedVersionIsShownUnlessSkipped) {
  Announce("v175_e.upd", "1.80\r\nhttp://x/p\r\nNews");
  EXPECT_EQ(Check(), "found 1\nversion 0x00010050\npage http://x/p\nshow 1\ndescription\nNews");
  SetSkipped(0x10050);
  EXPECT_EQ(Check(), "found 1\nversion 0x00010050\npage http://x/p\nshow 0\ndescription\nNews");
  Announce("v175_e.upd", "1.81\r\nhttp://x/p\r\nNews");
  EXPECT_NE(Check().find("show 1\n"), std::string::npos);
  // Another running version asks for its own file.
  Announce("v180_e.upd", "1.90\r\nhttp://y\r\nMore");
  EXPECT_NE(Check("--version 1.80").find("version 0x0001005A\n"), std::string::npos);
}

TEST_F(UpdateSite, BadLongOrMissingFilesAnnounceNothing) {
  Announce("v175_e.upd", "1.8x\r\nhttp://x/p\r\nNews");
  EXPECT_EQ(Check(), "found 0\n");
  Announce("v175_e.upd", "1.80\nhttp://x/p\nNews");
  EXPECT_EQ(Check(), "found 0\n");
  const std::string head = "1.80\r\nhttp://x/p\r\n";
  Announce("v175_e.upd", head + std::string(10001 - head.size(), 'n'));
  EXPECT_EQ(Check(), "found 0\n") << "a file above 10000 bytes is never read";
  Announce("v175_e.upd", head + std::string(10000 - head.size(), 'n'));
  EXPECT_NE(Check().find("found 1\n"), std::string::npos) << "10000 bytes are read whole";
  EXPECT_EQ(twltest::RunCommand("rm '" + m_Site + "/internet/update/0014/v175_e.upd'"), 0);
  EXPECT_EQ(Check(), "found 0\n");
}

}  // namespace
