// Version information: the blocks of loaded modules and of the libraries
// the layer provides, read the way the programs read them, versions a test
// gives a file, and blocks that are not what they claim.
#include <gtest/gtest.h>
#include <twlwin/testing.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Read {
  DWORD size = 0;
  DWORD error = 0;
  std::vector<BYTE> block;
  const VS_FIXEDFILEINFO* fixed = nullptr;
};

// GetFileVersionInfoSizeA, GetFileVersionInfoA and VerQueryValueA("\").
Read ReadVersion(const std::string& file) {
  Read read;
  DWORD handle = 99;
  SetLastError(0);
  read.size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  read.error = GetLastError();
  EXPECT_EQ(handle, 0u);
  if (!read.size) return read;
  read.block.resize(read.size);
  EXPECT_TRUE(GetFileVersionInfoA(file.c_str(), 0, read.size, read.block.data()));
  LPVOID fixed = nullptr;
  UINT length = 0;
  EXPECT_TRUE(VerQueryValueA(read.block.data(), "\\", &fixed, &length));
  EXPECT_GE(length, 52u);
  read.fixed = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  return read;
}

std::string ProgramPath() {
  char path[4096];
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

}  // namespace

TEST(FileVersion, TheProgramReadsItsOwnVersionResource) {
  Read read = ReadVersion(ProgramPath());
  ASSERT_NE(read.fixed, nullptr);
  EXPECT_EQ(read.fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(read.fixed->dwFileVersionMS, 0x0001004Bu);
  EXPECT_EQ(read.fixed->dwFileVersionLS, 0x00000040u);
  EXPECT_EQ(read.fixed->dwProductVersionMS, 0x0001004Bu);
  // Found by its signature with 0x34 bytes from there to the end, as the
  // DirectX version probe looks for it.
  const BYTE signature[] = {0xBD, 0x04, 0xEF, 0xFE};
  auto at = std::search(read.block.begin(), read.block.end(), std::begin(signature), std::end(signature));
  ASSERT_NE(at, read.block.end());
  EXPECT_GE(read.block.end() - at, 0x34);
}

TEST(FileVersion, APlugInHasOneWhileItIsLoaded) {
  Read before = ReadVersion(TWL_RESOURCE_PLUGIN);
  EXPECT_EQ(before.size, 0u) << "a file that is not loaded has none to read";
  EXPECT_EQ(before.error, static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  HMODULE plugin = LoadLibraryA(TWL_RESOURCE_PLUGIN);
  ASSERT_NE(plugin, nullptr);
  Read loaded = ReadVersion(TWL_RESOURCE_PLUGIN);
  ASSERT_NE(loaded.fixed, nullptr);
  EXPECT_EQ(loaded.fixed->dwFileVersionMS, 0x00020003u);
  EXPECT_EQ(loaded.fixed->dwFileVersionLS, 0x00040005u);
  EXPECT_EQ(ReadVersion(TWL_BARE_PLUGIN).size, 0u);
  FreeLibrary(plugin);
  EXPECT_EQ(ReadVersion(TWL_RESOURCE_PLUGIN).size, 0u);
}

TEST(FileVersion, TheCommonControlsLibraryAndWhatTestsMakeItReport) {
  Read own = ReadVersion("comctl32.dll");
  ASSERT_NE(own.fixed, nullptr);
  EXPECT_EQ(own.fixed->dwFileVersionMS, 0x00050052u) << "5.82";

  TwlTestSetFileVersion("COMCTL32.DLL", 0x00040046, 0);  // 4.70
  Read old = ReadVersion("comctl32.dll");
  ASSERT_NE(old.fixed, nullptr);
  EXPECT_EQ(old.fixed->dwFileVersionMS, 0x00040046u);
  EXPECT_EQ(old.fixed->dwProductVersionMS, 0x00040046u);

  TwlTestSetNoFileVersion("comctl32");
  Read none = ReadVersion("comctl32.dll");
  EXPECT_EQ(none.size, 0u);
  EXPECT_EQ(none.error, static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));

  TwlTestResetFileVersion("comctl32.dll");
  EXPECT_EQ(ReadVersion("comctl32.dll").fixed->dwFileVersionMS, 0x00050052u);

  TwlTestHideSystemLibrary("comctl32.dll", TRUE);
  Read hidden = ReadVersion("comctl32.dll");
  EXPECT_EQ(hidden.size, 0u);
  EXPECT_EQ(hidden.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  TwlTestHideSystemLibrary("comctl32.dll", FALSE);
}

TEST(FileVersion, DirectDrawInTheSystemFolderIsOfTheSeventhGeneration) {
  char folder[4096];
  const UINT length = GetSystemDirectoryA(folder, sizeof folder);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, sizeof folder);
  for (const std::string& name : {std::string(folder) + "/ddraw.dll", std::string(folder) + "\\DDRAW.DLL"}) {
    SCOPED_TRACE(name);
    Read read = ReadVersion(name);
    ASSERT_NE(read.fixed, nullptr);
    EXPECT_GE(read.size, 6u);
    EXPECT_EQ(read.fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(read.fixed->dwProductVersionMS, 0x00040007u) << "4.07";
  }
}

TEST(FileVersion, ATestCanGiveAnyFileAVersion) {
  std::string program = ProgramPath();
  TwlTestSetFileVersion(program.c_str(), 0x00010000, 0x00000001);  // 1.0.0.1
  Read read = ReadVersion(program);
  ASSERT_NE(read.fixed, nullptr);
  EXPECT_EQ(read.fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(read.fixed->dwFileVersionLS, 0x00000001u);
  TwlTestResetFileVersion(program.c_str());
  EXPECT_EQ(ReadVersion(program).fixed->dwFileVersionMS, 0x0001004Bu);
}

TEST(FileVersion, RefusesWhatItCannotAnswer) {
  Read missing = ReadVersion("/no/such/file.dll");
  EXPECT_EQ(missing.size, 0u);
  EXPECT_EQ(missing.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  std::string program = ProgramPath();
  DWORD size = GetFileVersionInfoSizeA(program.c_str(), nullptr);
  std::vector<BYTE> block(size);
  EXPECT_FALSE(GetFileVersionInfoA(program.c_str(), 0, size - 1, block.data())) << "a cut block is never handed out";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, size, block.data()));
  LPVOID value = nullptr;
  UINT length = 0;
  EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\ProductVersion", &value, &length));
  EXPECT_FALSE(VerQueryValueA(nullptr, "\\", &value, &length));
}

TEST(FileVersion, BlocksThatAreNotWhatTheyClaimAreRefused) {
  DWORD size = GetFileVersionInfoSizeA("comctl32.dll", nullptr);
  std::vector<BYTE> good(size);
  ASSERT_TRUE(GetFileVersionInfoA("comctl32.dll", 0, size, good.data()));
  const struct {
    const char* behaviour;
    size_t at;
    BYTE value;
  } cases[] = {
      {"a length shorter than the fixed information", 0, 40},
      {"a value length other than 52", 2, 51},
      {"a text value", 4, 1},
      {"another key", 6, 'W'},
      {"a broken signature", 40, 0xBE},
  };
  for (const auto& c : cases) {
    std::vector<BYTE> block = good;
    block[c.at] = c.value;
    LPVOID value = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\", &value, &length)) << c.behaviour;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA)) << c.behaviour;
  }
}
