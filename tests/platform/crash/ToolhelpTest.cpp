#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<MODULEENTRY32> Modules() {
  std::vector<MODULEENTRY32> modules;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
  EXPECT_NE(snapshot, INVALID_HANDLE_VALUE);
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
    modules.push_back(entry);
  }
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(CloseHandle(snapshot));
  return modules;
}

const MODULEENTRY32* Holding(const std::vector<MODULEENTRY32>& modules, const void* address) {
  auto at = reinterpret_cast<uintptr_t>(address);
  for (const auto& module : modules) {
    auto base = reinterpret_cast<uintptr_t>(module.modBaseAddr);
    if (base <= at && at < base + module.modBaseSize) return &module;
  }
  return nullptr;
}

TEST(Toolhelp, SnapshotNamesTheModulesHoldingCode) {
  auto modules = Modules();
  const MODULEENTRY32* program = Holding(modules, reinterpret_cast<const void*>(&Modules));
  ASSERT_NE(program, nullptr);
  EXPECT_STREQ(program->szModule, "test_platform_crash");
  EXPECT_EQ(program->hModule, GetModuleHandleA(nullptr));
  EXPECT_EQ(std::string(program->szExePath).find('/'), 0u) << "a full path";

  const MODULEENTRY32* layer = Holding(modules, reinterpret_cast<const void*>(&CreateToolhelp32Snapshot));
  ASSERT_NE(layer, nullptr);
  EXPECT_STREQ(layer->szModule, "libtwlwin.so");
  EXPECT_EQ(layer->hModule, GetModuleHandleA("libtwlwin.so"));

  for (const auto& module : modules) {
    EXPECT_GT(module.modBaseSize, 0u) << module.szModule;
    EXPECT_EQ(std::string(module.szExePath).rfind(module.szModule), std::string(module.szExePath).size() -
                                                                       std::string(module.szModule).size());
  }
}

TEST(Toolhelp, RefusesWhatItCannotDo) {
  SetLastError(0);
  EXPECT_EQ(CreateToolhelp32Snapshot(0x2 /* processes */, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 1), INVALID_HANDLE_VALUE) << "another process";

  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
  MODULEENTRY32 entry{};
  entry.dwSize = 8;
  EXPECT_FALSE(Module32First(snapshot, &entry));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(Module32First(snapshot, nullptr));
  CloseHandle(snapshot);
  entry.dwSize = sizeof entry;
  EXPECT_FALSE(Module32First(snapshot, &entry)) << "a closed snapshot";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
