// FindFirstFileA / FindNextFileA: patterns, errors and the data reported.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <set>

#include "FileTestHelpers.h"
#include "support/TestPaths.h"

namespace {

// Every name a search reports, or the last error when it finds nothing.
struct Found {
  std::set<std::string> names;
  DWORD error = 0;
};

Found Search(const std::string& pattern) {
  Found found;
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    found.error = GetLastError();
    return found;
  }
  do {
    found.names.insert(data.cFileName);
  } while (FindNextFileA(find, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(find));
  return found;
}

std::string MakeFolder() {
  const std::string dir = twltest::MakeTempDir("find");
  for (const char* name : {"a.txt", "B.TXT", "abc.doc", "aXc.txt", "readme"}) twltest::WriteFile(dir + "/" + name, "abc");
  std::filesystem::create_directory(dir + "/sub");
  return dir;
}

}  // namespace

TEST(FindFiles, PatternsMatchAsOnWindows) {
  const std::string dir = MakeFolder();
  using Names = std::set<std::string>;
  struct Row {
    const char* pattern;  // below dir
    Names names;
    DWORD error;
  };
  const Names everything{".", "..", "a.txt", "B.TXT", "abc.doc", "aXc.txt", "readme", "sub"};
  const Row rows[] = {
      {"/*", everything, 0},
      {"\\*.*", everything, 0},
      {"/*.txt", {"a.txt", "B.TXT", "aXc.txt"}, 0},
      {"/*.TXT", {"a.txt", "B.TXT", "aXc.txt"}, 0},
      {"/a?c.*", {"abc.doc", "aXc.txt"}, 0},
      {"/A?C.TXT", {"aXc.txt"}, 0},
      {"/?.txt", {"a.txt", "B.TXT"}, 0},
      {"/readme.*", {"readme"}, 0},
      {"/*.", {".", "..", "readme", "sub"}, 0},
      {"/SUB", {"sub"}, 0},
      {"/*.zip", {}, ERROR_FILE_NOT_FOUND},
      {"/missing/*", {}, ERROR_PATH_NOT_FOUND},
      {"\\missing\\*.txt", {}, ERROR_PATH_NOT_FOUND},
  };
  for (const Row& row : rows) {
    Found found = Search(dir + row.pattern);
    EXPECT_EQ(found.error, row.error) << row.pattern;
    EXPECT_EQ(found.names, row.names) << row.pattern;
  }
}

TEST(FindFiles, FillsSizesAttributesAndTimes) {
  const std::string dir = twltest::MakeTempDir("find");
  twltest::WriteFile(dir + "/song.mp3", std::string(5000, 'x'));
  std::filesystem::create_directory(dir + "/Folder");
  const uint64_t now = filetest::NowTicks();

  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA((dir + "\\SONG.MP3").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, "song.mp3");
  EXPECT_EQ(data.nFileSizeLow, 5000u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  // Written just now: within a minute of the clock, in 100 ns units since 1601.
  const uint64_t written = filetest::Ticks(data.ftLastWriteTime);
  EXPECT_LT(written > now ? written - now : now - written, 600000000ull);
  EXPECT_NE(filetest::Ticks(data.ftCreationTime), 0u);
  EXPECT_FALSE(FindNextFileA(find, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(find));

  find = FindFirstFileA((dir + "/folder").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, "Folder");
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(data.nFileSizeLow, 0u);
  EXPECT_TRUE(FindClose(find));
}

TEST(FindFiles, FindHandlesAreNotFileHandles) {
  const std::string dir = MakeFolder();
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA((dir + "/*").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  DWORD got = 0;
  char buffer[4];
  EXPECT_FALSE(ReadFile(find, buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  HANDLE file = filetest::Open(dir + "/a.txt", GENERIC_READ);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FindClose(file));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(CloseHandle(file));

  EXPECT_TRUE(FindClose(find));
  EXPECT_FALSE(FindNextFileA(find, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}
