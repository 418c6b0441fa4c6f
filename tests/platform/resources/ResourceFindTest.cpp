#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/TestPaths.h"

namespace {

std::string Bytes(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return "<missing>";
  DWORD size = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = static_cast<const char*>(LockResource(loaded));
  return data ? std::string(data, size) : "<unlocked>";
}

TEST(ResourceFind, RawDataComesBackByteForByte) {
  EXPECT_EQ(Bytes(nullptr, MAKEINTRESOURCEA(131), "RAWDATA"),
            twltest::ReadFile(twltest::SourceDir() + "/tests/platform/resources/data/blob.bin"));
  EXPECT_EQ(Bytes(nullptr, MAKEINTRESOURCEA(134), "RAWDATA"), "1.75 build 64") << "the version text, no terminator";
  EXPECT_EQ(Bytes(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(134), "RAWDATA"), "1.75 build 64");
}

TEST(ResourceFind, NamesAndTypesMayBeNumbersOrWords) {
  const struct {
    const char* behaviour;
    LPCSTR name;
    LPCSTR type;
    const char* expected;
  } cases[] = {
      {"a number written as #text", "#134", "RAWDATA", "1.75 build 64"},
      {"type words compare without case", MAKEINTRESOURCEA(134), "RawData", "1.75 build 64"},
      {"a named resource of a numbered type", "Skin", RT_RCDATA, "program"},
      {"names compare without case", "SKIN", RT_RCDATA, "program"},
      {"a number names no word", MAKEINTRESOURCEA(10), RT_RCDATA, "<missing>"},
      {"a bad #number", "#13x", "RAWDATA", "<missing>"},
      {"the type must match", MAKEINTRESOURCEA(134), RT_RCDATA, "<missing>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Bytes(nullptr, c.name, c.type), c.expected) << c.behaviour;
}

TEST(ResourceFind, BitmapsAreKeptWithoutTheirFileHeader) {
  std::string file = twltest::ReadFile(twltest::SourceDir() + "/tests/platform/resources/data/arrow.bmp");
  EXPECT_EQ(Bytes(nullptr, MAKEINTRESOURCEA(143), RT_BITMAP), file.substr(14));
}

TEST(ResourceFind, FailuresSayWhatIsMissing) {
  const struct {
    const char* behaviour;
    LPCSTR name;
    LPCSTR type;
    DWORD error;
  } cases[] = {
      {"no such name", MAKEINTRESOURCEA(999), "RAWDATA", ERROR_RESOURCE_NAME_NOT_FOUND},
      {"no such type", MAKEINTRESOURCEA(131), "NOSUCHTYPE", ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"no name", nullptr, "RAWDATA", ERROR_INVALID_PARAMETER},
      {"no type", MAKEINTRESOURCEA(131), nullptr, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_EQ(FindResourceA(nullptr, c.name, c.type), nullptr) << c.behaviour;
    EXPECT_EQ(GetLastError(), c.error) << c.behaviour;
  }
  HRSRC forged = reinterpret_cast<HRSRC>(static_cast<uintptr_t>(0x7FFF0000u));
  SetLastError(0);
  EXPECT_EQ(SizeofResource(nullptr, forged), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(LoadResource(nullptr, forged), nullptr);
  EXPECT_EQ(LockResource(nullptr), nullptr);
  EXPECT_EQ(LockResource(reinterpret_cast<HGLOBAL>(static_cast<uintptr_t>(3))), nullptr);
}

TEST(ResourceFind, StringsAreCutWithoutSplittingCharacters) {
  char buffer[64];
  EXPECT_EQ(LoadStringA(nullptr, 1000, buffer, sizeof buffer), 17);
  EXPECT_STREQ(buffer, "Velbrook Tunewell");
  EXPECT_EQ(LoadStringA(nullptr, 1000, buffer, 9), 8);
  EXPECT_STREQ(buffer, "Velbrook");
  // "Grüße" is G, r, ü (2 bytes), ß (2 bytes), e: five bytes of room would
  // split the ß, three would split the ü.
  EXPECT_EQ(LoadStringA(nullptr, 1001, buffer, 6), 4);
  EXPECT_STREQ(buffer, "Gr\xC3\xBC");
  EXPECT_EQ(LoadStringA(nullptr, 1001, buffer, 4), 2);
  EXPECT_STREQ(buffer, "Gr");

  std::strcpy(buffer, "old");
  SetLastError(0);
  EXPECT_EQ(LoadStringA(nullptr, 4242, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(LoadStringA(nullptr, 1000, nullptr, 10), 0);
  EXPECT_EQ(LoadStringA(nullptr, 1000, buffer, 0), 0);
  EXPECT_EQ(LoadStringA(nullptr, 0x10000 + 1000, buffer, sizeof buffer), 0) << "ids are 16 bits";
}

}  // namespace
