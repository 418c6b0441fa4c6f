// Names that differ from the disk only in case, or use '\' separators,
// still find the file (skins and playlists made on Windows rely on it).
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <windows.h>

#include <filesystem>
#include <set>

#include "FileTestHelpers.h"
#include "support/TestPaths.h"

namespace {

std::set<std::string> Listing(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* handle = opendir(dir.c_str())) {
    while (dirent* entry = readdir(handle)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    closedir(handle);
  }
  return names;
}

}  // namespace

TEST(CaseRetry, FindsFilesAndFoldersWhateverTheCase) {
  const std::string root = twltest::MakeTempDir("case");
  const std::string folder = root + "/Skins/Classic";
  std::filesystem::create_directories(folder);
  twltest::WriteFile(folder + "/Main.BMP", "main");

  struct Row {
    const char* what;
    const char* name;  // below root
    DWORD creation;
    DWORD error;           // 0: the open succeeds
    DWORD lastError;       // on success
    const char* onDisk;    // on success: the file that must exist, exactly so
  };
  const Row rows[] = {
      {"exact name", "/Skins/Classic/Main.BMP", OPEN_EXISTING, 0, 0, "Skins/Classic/Main.BMP"},
      {"file in another case", "/Skins/Classic/main.bmp", OPEN_EXISTING, 0, 0, "Skins/Classic/Main.BMP"},
      {"folder in another case", "/SKINS/classic/Main.BMP", OPEN_EXISTING, 0, 0, "Skins/Classic/Main.BMP"},
      {"both in another case", "/skins/CLASSIC/mAIN.bmp", OPEN_EXISTING, 0, 0, "Skins/Classic/Main.BMP"},
      {"backslashes", "\\skins\\classic\\MAIN.BMP", OPEN_EXISTING, 0, 0, "Skins/Classic/Main.BMP"},
      {"creation in a folder of another case", "\\SKINS\\CLASSIC\\New.txt", CREATE_NEW, 0, 0,
       "Skins/Classic/New.txt"},
      {"overwriting a file of another case", "/skins/classic/MAIN.BMP", CREATE_ALWAYS, 0, ERROR_ALREADY_EXISTS,
       "Skins/Classic/Main.BMP"},
      {"missing name", "/skins/classic/missing.bmp", OPEN_EXISTING, ERROR_FILE_NOT_FOUND, 0, nullptr},
      {"missing folder", "/skins/modern/main.bmp", OPEN_EXISTING, ERROR_PATH_NOT_FOUND, 0, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const DWORD access = row.creation == OPEN_EXISTING ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    HANDLE file = filetest::Open(root + row.name, access, FILE_SHARE_READ, row.creation);
    if (row.error) {
      EXPECT_EQ(file, INVALID_HANDLE_VALUE);
      EXPECT_EQ(GetLastError(), row.error);
      continue;
    }
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_EQ(GetLastError(), row.lastError);
    if (row.creation == OPEN_EXISTING) {
      EXPECT_EQ(filetest::ReadAll(file), "main");
    }
    CloseHandle(file);
    struct stat info {};
    EXPECT_EQ(stat((root + "/" + row.onDisk).c_str(), &info), 0);
  }
  // Nothing was created beside the originals in another case.
  EXPECT_EQ(Listing(folder), (std::set<std::string>{"Main.BMP", "New.txt"}));
  EXPECT_EQ(Listing(root), (std::set<std::string>{"Skins"}));
}

TEST(CaseRetry, EveryNameCallUsesIt) {
  const std::string root = twltest::MakeTempDir("case");
  std::filesystem::create_directories(root + "/Data");
  twltest::WriteFile(root + "/Data/Song.MP3", "x");

  EXPECT_EQ(GetFileAttributesA((root + "\\data\\song.mp3").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(CreateDirectoryA((root + "\\DATA\\Sub").c_str(), nullptr));
  EXPECT_TRUE(std::filesystem::is_directory(root + "/Data/Sub"));
  ASSERT_TRUE(CopyFileA((root + "\\data\\SONG.mp3").c_str(), (root + "\\DATA\\sub\\copy.mp3").c_str(), TRUE));
  EXPECT_EQ(twltest::ReadFile(root + "/Data/Sub/copy.mp3"), "x");
  ASSERT_TRUE(SetCurrentDirectoryA((root + "\\data").c_str()));
  ASSERT_TRUE(DeleteFileA("SUB\\COPY.MP3"));
  EXPECT_FALSE(std::filesystem::exists(root + "/Data/Sub/copy.mp3"));
  ASSERT_TRUE(RemoveDirectoryA("sub"));
  EXPECT_FALSE(std::filesystem::exists(root + "/Data/Sub"));
}
