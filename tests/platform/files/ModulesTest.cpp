// LoadLibraryA, GetProcAddress, GetModuleHandleA, GetModuleFileNameA.
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <twlwin/testing.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "support/TestPaths.h"

namespace {

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? resolved : "";
}

// The test module's path with its file name in upper case and '\' separators.
std::string OtherCaseName(const std::string& path) {
  std::string folder = path.substr(0, path.find_last_of('/') + 1);
  std::string name = path.substr(folder.size());
  std::transform(name.begin(), name.end(), name.begin(), ::toupper);
  std::string result = folder + name;
  std::replace(result.begin(), result.end(), '/', '\\');
  return result;
}

int InTheProgram() { return 1; }

}  // namespace

TEST(Modules, ProgramFileNameIsTheRealExecutable) {
  const std::string expected = RealPath("/proc/self/exe");
  char buffer[PATH_MAX];
  SetLastError(12345);
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  EXPECT_EQ(length, expected.size());
  EXPECT_EQ(std::string(buffer), expected);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(GetModuleHandleA(nullptr), TwlTestModuleFromAddress(reinterpret_cast<const void*>(&InTheProgram)));
}

TEST(Modules, TruncatedFileNameIsDetectable) {
  const std::string expected = RealPath("/proc/self/exe");
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 5), 5u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(buffer), expected.substr(0, 4));
  EXPECT_EQ(buffer[5], '#');

  // Exactly the length: still no room for the NUL.
  std::string exact(expected.size(), '#');
  EXPECT_EQ(GetModuleFileNameA(nullptr, exact.data(), static_cast<DWORD>(exact.size())), exact.size());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  // The usual caller: grow the buffer until the answer is below its size.
  std::string grown(4, '\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameA(nullptr, grown.data(), static_cast<DWORD>(grown.size()))) == grown.size()) {
    grown.resize(grown.size() * 2);
  }
  grown.resize(length);
  EXPECT_EQ(grown, expected);
}

TEST(Modules, LoadsAndFindsExports) {
  const std::string path = TWL_TEST_MODULE;
  HMODULE module = LoadLibraryA(path.c_str());
  ASSERT_NE(module, nullptr) << GetLastError();

  using Answer = int (*)();
  auto answer = reinterpret_cast<Answer>(reinterpret_cast<void*>(GetProcAddress(module, "TwlTestModuleAnswer")));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  // Exports of the modules it depends on are not its own.
  EXPECT_EQ(GetProcAddress(module, "malloc"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

  char buffer[PATH_MAX];
  ASSERT_GT(GetModuleFileNameA(module, buffer, sizeof buffer), 0u);
  EXPECT_EQ(std::string(buffer), RealPath(path));
  EXPECT_EQ(TwlTestModuleFromAddress(reinterpret_cast<const void*>(answer)), module);
  EXPECT_EQ(GetModuleHandleA("TwlTestModule.dll"), module);
  EXPECT_EQ(GetModuleHandleA("twltestmodule"), module);
  EXPECT_EQ(GetModuleHandleA("TWLTESTMODULE.SO"), module);
  EXPECT_TRUE(FreeLibrary(module));
}

TEST(Modules, LoadingTwiceCountsReferences) {
  const std::string path = TWL_TEST_MODULE;
  HMODULE first = LoadLibraryA(path.c_str());
  ASSERT_NE(first, nullptr);
  // '\' separators and another case find the same file.
  HMODULE second = LoadLibraryA(OtherCaseName(path).c_str());
  EXPECT_EQ(second, first);
  EXPECT_LE(reinterpret_cast<uintptr_t>(first), 0xFFFFFFFFu);  // a 32-bit id

  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleA("TwlTestModule"), first);  // one reference left
  EXPECT_NE(GetProcAddress(first, "TwlTestModuleAnswer"), nullptr);
  EXPECT_TRUE(FreeLibrary(second));
  EXPECT_EQ(GetModuleHandleA("TwlTestModule"), nullptr);  // unloaded
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(FreeLibrary(first));
}

TEST(Modules, MissingLibrariesAndModules) {
  EXPECT_EQ(LoadLibraryA("no_such_module.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibraryA((twltest::SandboxDir() + "\\plugins\\missing.so").c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(GetModuleHandleA("no_such_module.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(TwlTestModuleFromAddress(nullptr), nullptr);
}

TEST(Modules, ThePlatformLibraryIsAModuleToo) {
  HMODULE platform = GetModuleHandleA("libtwlwin.so");
  ASSERT_NE(platform, nullptr);
  EXPECT_EQ(TwlTestModuleFromAddress(reinterpret_cast<const void*>(&CreateFileA)), platform);
  char buffer[PATH_MAX];
  ASSERT_GT(GetModuleFileNameA(platform, buffer, sizeof buffer), 0u);
  EXPECT_EQ(std::filesystem::path(buffer).filename(), "libtwlwin.so");
  EXPECT_NE(GetProcAddress(platform, "CreateFileA"), nullptr);
  EXPECT_EQ(GetModuleHandleA(buffer), platform);  // by full path too
  EXPECT_TRUE(FreeLibrary(platform));             // not loaded by LoadLibraryA: nothing to drop
  EXPECT_EQ(GetModuleHandleA("libtwlwin.so"), platform);
}
