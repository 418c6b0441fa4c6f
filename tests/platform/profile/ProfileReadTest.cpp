#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "support/TestPaths.h"

namespace {

std::string ProfileWith(const std::string& bytes) {
  std::string path = twltest::MakeTempDir("profile") + "/Keys.ini";
  twltest::WriteFile(path, bytes);
  return path;
}

struct Answer {
  DWORD length;
  std::string text;  // up to the answer's length
};

Answer Get(const std::string& path, const char* section, const char* key, const char* fallback, DWORD size = 256) {
  std::string buffer(size + 1, '\x7F');
  DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, path.c_str());
  EXPECT_EQ(buffer[size], '\x7F') << "wrote past the buffer";
  return {length, buffer.substr(0, length)};
}

const char kKeys[] =
    "; key bindings\r\n"
    "[Player]\r\n"
    "Play = P\r\n"
    "Stop=\"  S  \"\r\n"
    "Quoted='Q'\r\n"
    "Half=\"open\r\n"
    "Empty=\r\n"
    "NoEquals\r\n"
    "play=ignored, the first key counts\r\n"
    "\r\n"
    "  [ Playlist ]  \r\n"
    "Next=N\r\n"
    "[player]\r\n"
    "Later=ignored, the first section counts\r\n";

TEST(ProfileRead, ValuesFollowWindowsRules) {
  const std::string path = ProfileWith(kKeys);
  const struct {
    const char* behaviour;
    const char* section;
    const char* key;
    const char* fallback;
    const char* expected;
  } cases[] = {
      {"blanks around the value go", "Player", "Play", "x", "P"},
      {"section and key compare without case", "PLAYER", "play", "x", "P"},
      {"one pair of quotes goes, blanks inside stay", "Player", "Stop", "x", "  S  "},
      {"single quotes too", "Player", "Quoted", "x", "Q"},
      {"an unmatched quote stays", "Player", "Half", "x", "\"open"},
      {"an empty value is not the default", "Player", "Empty", "x", ""},
      {"a line without equals sign is a key without value", "Player", "NoEquals", "x", ""},
      {"blanks around a section name go", "playlist", "Next", "x", "N"},
      {"missing key gives the default", "Player", "Pause", "Space", "Space"},
      {"missing section gives the default", "Visualizer", "Play", "V", "V"},
      {"trailing blanks of the default go", "Player", "Pause", "Space  \t", "Space"},
      {"null default is empty", "Player", "Pause", nullptr, ""},
      {"keys of a later section of the same name are not seen", "Player", "Later", "x", "x"},
      {"a comment is not a key", "Player", "; key bindings", "x", "x"},
  };
  for (const auto& c : cases) {
    Answer answer = Get(path, c.section, c.key, c.fallback);
    EXPECT_EQ(answer.text, c.expected) << c.behaviour;
    EXPECT_EQ(answer.length, std::string(c.expected).size()) << c.behaviour;
  }
}

TEST(ProfileRead, ValuesAreCutToTheBuffer) {
  const std::string path = ProfileWith("[A]\nlong=abcdefghij\nutf=a\xC3\xA4\xC3\xB6\n");
  Answer cut = Get(path, "A", "long", "", 5);
  EXPECT_EQ(cut.length, 4u);
  EXPECT_EQ(cut.text, "abcd");
  // "aäö" in 4 bytes: the second umlaut would be split, so it is left out.
  Answer utf = Get(path, "A", "utf", "", 5);
  EXPECT_EQ(utf.length, 4u);
  EXPECT_STREQ(utf.text.c_str(), "a\xC3\xA4");
  EXPECT_EQ(Get(path, "A", "missing", "default", 4).text, "def");
  char untouched = 'u';
  EXPECT_EQ(GetPrivateProfileStringA("A", "long", "", &untouched, 0, path.c_str()), 0u);
  EXPECT_EQ(untouched, 'u');
}

TEST(ProfileRead, ListsSectionsAndKeys) {
  const std::string path = ProfileWith(kKeys);
  Answer sections = Get(path, nullptr, nullptr, "ignored");
  EXPECT_EQ(sections.text, std::string("Player\0Playlist\0", 16));
  EXPECT_EQ(sections.length, 16u);

  char names[64];
  EXPECT_EQ(GetPrivateProfileSectionNamesA(names, sizeof names, path.c_str()), 16u);
  EXPECT_EQ(std::string(names, 17), std::string("Player\0Playlist\0\0", 17));

  Answer keys = Get(path, "player", nullptr, "ignored");
  EXPECT_EQ(keys.text, std::string("Play\0Stop\0Quoted\0Half\0Empty\0NoEquals\0", 37));

  // Cut: the last name is cut and two zeros end the list.
  std::string small(10, '\x7F');
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, nullptr, small.data(), 10, path.c_str()), 8u);
  EXPECT_EQ(small, std::string("Player\0Pl\0", 10).substr(0, 8) + std::string(2, '\0'));
  EXPECT_EQ(Get(path, "Nowhere", nullptr, "ignored").text, "");
}

TEST(ProfileRead, MissingFileGivesDefaultsAndNoNames) {
  const std::string path = twltest::SandboxDir() + "/missing.ini";
  SetLastError(0);
  EXPECT_EQ(Get(path, "A", "b", "fallback").text, "fallback");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Get(path, nullptr, nullptr, nullptr).length, 0u);
  EXPECT_EQ(GetPrivateProfileIntA("A", "b", 17, path.c_str()), 17u);
}

TEST(ProfileRead, NumbersAreReadFromTheStartOfTheValue) {
  const std::string path = ProfileWith(
      "[N]\nplain=42\nblanks=   7 \nsigned=-12\nplus=+5\ntrailing=31abc\nletters=abc\nempty=\n"
      "huge=99999999999999999999\nhugeNegative=-99999999999999999999\n");
  const struct {
    const char* key;
    UINT expected;
  } cases[] = {
      {"plain", 42},
      {"blanks", 7},
      {"signed", static_cast<UINT>(-12)},
      {"plus", 5},
      {"trailing", 31},
      {"letters", 0},
      {"empty", 0},
      {"huge", 0xFFFFFFFFu},
      {"hugeNegative", 0x80000000u},
      {"missing", 1000},
  };
  for (const auto& c : cases) EXPECT_EQ(GetPrivateProfileIntA("N", c.key, 1000, path.c_str()), c.expected) << c.key;
}

TEST(ProfileRead, UntrustedBytesNeverBreakTheReader) {
  const struct {
    const char* behaviour;
    std::string bytes;
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"no line end at all", "[A]\nk=v", "A", "k", "v"},
      {"only a bracket", "[", "", "k", "x"},
      {"section without closing bracket", "[Open\nk=v\n", "Open", "k", "v"},
      {"zero bytes inside a value", std::string("[A]\nk=a\0b\n", 10), "A", "k", "a"},
      {"bare carriage returns do not end lines", "[A]\rk=v\r", "A", "k", "x"},
      {"an equals sign alone", "[A]\n=\nk=v\n", "A", "k", "v"},
      {"a byte order mark first", "\xEF\xBB\xBF[A]\nk=v\n", "A", "k", "v"},
      {"windows-1252 text", "[Gr\xFC\xDF" "e]\nk=\xE9t\xE9\n", "Gr\xFC\xDF" "e", "k", "\xE9t\xE9"},
      {"a very long line", "[A]\nk=" + std::string(1 << 20, 'z') + "\nj=1\n", "A", "j", "1"},
  };
  for (const auto& c : cases) {
    const std::string path = ProfileWith(c.bytes);
    EXPECT_STREQ(Get(path, c.section, c.key, "x").text.c_str(), c.expected) << c.behaviour;
    Get(path, nullptr, nullptr, nullptr);
    Get(path, c.section, nullptr, nullptr);
  }
}

TEST(ProfileRead, PathsMayUseBackslashesAndAnyCase) {
  const std::string folder = twltest::MakeTempDir("Program");
  twltest::WriteFile(folder + "/Keys.ini", "[Player]\nPlay=P\n");
  std::string windowsStyle = folder + "\\KEYS.INI";
  char value[8];
  EXPECT_EQ(GetPrivateProfileStringA("Player", "Play", "", value, sizeof value, windowsStyle.c_str()), 1u);
  EXPECT_STREQ(value, "P");
}

TEST(ProfileRead, RefusesMissingBuffersAndNames) {
  char buffer[8];
  SetLastError(0);
  EXPECT_EQ(GetPrivateProfileStringA("A", "b", "c", nullptr, 8, "x.ini"), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(GetPrivateProfileStringA("A", "b", "c", buffer, sizeof buffer, nullptr), 0u);
  EXPECT_EQ(GetPrivateProfileIntA("A", nullptr, 5, "x.ini"), 5u);
}

}  // namespace
