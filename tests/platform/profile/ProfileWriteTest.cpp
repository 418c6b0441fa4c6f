#include <sys/wait.h>
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TestPaths.h"

namespace {

std::string NewProfilePath() { return twltest::MakeTempDir("profile") + "/Keys.ini"; }

bool Write(const std::string& path, const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, path.c_str()) != FALSE;
}

TEST(ProfileWrite, NewFileGetsSectionsAndKeysWithCrLf) {
  const std::string path = NewProfilePath();
  ASSERT_TRUE(Write(path, "Player", "Play", "P"));
  ASSERT_TRUE(Write(path, "Player", "Stop", "S"));
  ASSERT_TRUE(Write(path, "Playlist", "Next", "N"));
  ASSERT_TRUE(Write(path, "PLAYER", "play", "Ctrl+P"));
  EXPECT_EQ(twltest::ReadFile(path), "[Player]\r\nPlay=Ctrl+P\r\nStop=S\r\n[Playlist]\r\nNext=N\r\n");
}

TEST(ProfileWrite, HandWrittenLinesSurviveAnEdit) {
  const std::string path = NewProfilePath();
  twltest::WriteFile(path,
                     "; written by hand\n"
                     "[Player]\n"
                     "Play = P   ; trailing words\n"
                     "\n"
                     "; about the playlist\n"
                     "[Playlist]\n"
                     "Next=N");
  ASSERT_TRUE(Write(path, "player", "Stop", "S"));
  ASSERT_TRUE(Write(path, "Playlist", "Previous", "B"));
  EXPECT_EQ(twltest::ReadFile(path),
            "; written by hand\n"
            "[Player]\n"
            "Play = P   ; trailing words\n"
            "Stop=S\r\n"
            "\n"
            "; about the playlist\n"
            "[Playlist]\n"
            "Next=N\r\n"
            "Previous=B\r\n");
}

TEST(ProfileWrite, NullValueDeletesTheKeyAndNullKeyTheSection) {
  const std::string path = NewProfilePath();
  twltest::WriteFile(path, "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n; about A\r\n[a]\r\nw=4\r\n");
  ASSERT_TRUE(Write(path, "A", "X", nullptr));
  ASSERT_TRUE(Write(path, "A", "missing", nullptr));
  EXPECT_EQ(twltest::ReadFile(path), "[A]\r\ny=2\r\n[B]\r\nz=3\r\n; about A\r\n[a]\r\nw=4\r\n");
  ASSERT_TRUE(Write(path, "a", nullptr, nullptr));
  EXPECT_EQ(twltest::ReadFile(path), "[B]\r\nz=3\r\n; about A\r\n") << "every section of the name goes";

  const std::string absent = NewProfilePath();
  EXPECT_TRUE(Write(absent, "A", "x", nullptr));
  EXPECT_TRUE(Write(absent, "A", nullptr, nullptr));
  EXPECT_FALSE(std::filesystem::exists(absent)) << "deleting from no file makes none";
}

TEST(ProfileWrite, PythonConfigParserReadsWhatWeWrite) {
  const std::string path = NewProfilePath();
  ASSERT_TRUE(Write(path, "ERROR", "USER_BREAK", "The user cancelled the operation."));
  ASSERT_TRUE(Write(path, "ERROR", "FILE_INVALID", "File %s is invalid"));
  ASSERT_TRUE(Write(path, "READER", "Drive0", "4 12"));
  ASSERT_TRUE(Write(path, "MESSAGE", "Umlaut", "Gr\xC3\xBC\xC3\x9F" "e"));
  ASSERT_TRUE(Write(path, "ERROR", "USER_BREAK", "Cancelled."));

  const std::string script = twltest::SandboxDir() + "/read.py";
  twltest::WriteFile(script,
                     "import configparser, sys\n"
                     "parser = configparser.ConfigParser(interpolation=None)\n"
                     "parser.optionxform = str\n"
                     "with open(sys.argv[1], encoding='utf-8', newline='') as f:\n"
                     "    text = f.read()\n"
                     "assert '\\n' not in text.replace('\\r\\n', ''), 'every line ends in CR LF'\n"
                     "parser.read_string(text)\n"
                     "for section in parser.sections():\n"
                     "    for key, value in parser.items(section):\n"
                     "        sys.stdout.buffer.write(f'{section}/{key}={value}\\n'.encode('utf-8'))\n");
  std::string output;
  int status = twltest::RunCommand("python3 '" + script + "' '" + path + "' 2>&1", &output);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_EQ(output,
            "ERROR/USER_BREAK=Cancelled.\n"
            "ERROR/FILE_INVALID=File %s is invalid\n"
            "READER/Drive0=4 12\n"
            "MESSAGE/Umlaut=Gr\xC3\xBC\xC3\x9F" "e\n");
}

TEST(ProfileWrite, RefusesWhatWouldBreakTheFile) {
  const std::string path = NewProfilePath();
  ASSERT_TRUE(Write(path, "A", "k", "v"));
  const std::string before = twltest::ReadFile(path);
  const struct {
    const char* behaviour;
    const char* section;
    const char* key;
    const char* value;
    const char* file;
  } cases[] = {
      {"a value with a line break would add a key", "A", "k", "v\r\n[Injected]\r\nx=1", path.c_str()},
      {"a key with a line break", "A", "k\nj", "v", path.c_str()},
      {"a key with an equals sign", "A", "k=j", "v", path.c_str()},
      {"a section with a closing bracket", "A]", "k", "v", path.c_str()},
      {"no section but a key", nullptr, "k", "v", path.c_str()},
      {"no file", "A", "k", "v", nullptr},
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileStringA(c.section, c.key, c.value, c.file)) << c.behaviour;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.behaviour;
  }
  EXPECT_EQ(twltest::ReadFile(path), before);

  SetLastError(0);
  EXPECT_FALSE(Write(twltest::SandboxDir() + "/no/such/folder/Keys.ini", "A", "k", "v"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(Write(twltest::SandboxDir(), "A", "k", "v")) << "a folder is no profile file";
}

TEST(ProfileWrite, BareFileNameLivesBesideTheRegistry) {
  ASSERT_TRUE(WritePrivateProfileStringA("Vadiro", "extlist", "mp3:ogg", "Vadiro.ini"));
  std::string registry = std::getenv("TWL_REGISTRY");
  std::string folder = registry.substr(0, registry.rfind('/'));
  EXPECT_EQ(twltest::ReadFile(folder + "/Vadiro.ini"), "[Vadiro]\r\nextlist=mp3:ogg\r\n");
}

// args: the profile, a key prefix, how many keys.
TWLTEST_CHILD(profile_writer) {
  int count = std::atoi(args.at(2).c_str());
  for (int i = 0; i < count; ++i) {
    std::string key = args.at(1) + std::to_string(i);
    if (!WritePrivateProfileStringA("Shared", key.c_str(), std::to_string(i).c_str(), args.at(0).c_str())) return 1;
  }
  return 0;
}

TEST(ProfileWrite, WritersInTwoProcessesLoseNothing) {
  const std::string path = NewProfilePath();
  pid_t first = twltest::SpawnChild("profile_writer", {path, "first", "150"});
  pid_t second = twltest::SpawnChild("profile_writer", {path, "second", "150"});
  int firstStatus = twltest::WaitChild(first);
  int secondStatus = twltest::WaitChild(second);
  EXPECT_TRUE(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0);
  EXPECT_TRUE(WIFEXITED(secondStatus) && WEXITSTATUS(secondStatus) == 0);
  for (const char* prefix : {"first", "second"}) {
    for (int i = 0; i < 150; ++i) {
      std::string key = prefix + std::to_string(i);
      ASSERT_EQ(GetPrivateProfileIntA("Shared", key.c_str(), -1, path.c_str()), static_cast<UINT>(i)) << key;
    }
  }
  std::string leftovers;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path())) {
    if (entry.path().filename() != "Keys.ini") leftovers += entry.path().filename().string() + " ";
  }
  EXPECT_EQ(leftovers, "") << "no temporary file stays behind";
}

}  // namespace
