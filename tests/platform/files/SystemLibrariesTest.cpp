// Libraries the layer provides under Windows names: loaded by name in any
// case, exports found by exact name, hidden on request, counted like files.
#include <gtest/gtest.h>
#include <twlwin/testing.h>
#include <twlwin/toolhelp.h>
#include <windows.h>

#include <string>

namespace {

std::string SystemFolder() {
  char buffer[4096];
  UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
  return std::string(buffer, length);
}

}  // namespace

TEST(SystemLibraries, LoadByAnyCaseAndFindExportsByExactName) {
  HMODULE kernel = LoadLibraryA("KERNEL32.DLL");
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(LoadLibraryA("kernel32"), kernel);
  EXPECT_EQ(LoadLibraryA((SystemFolder() + "\\Kernel32.dll").c_str()), kernel);
  EXPECT_EQ(GetModuleHandleA("kernel32.dll"), kernel);

  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(kernel, "Module32First")), reinterpret_cast<void*>(&Module32First));
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(kernel, "module32first"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

  char path[4096];
  DWORD length = GetModuleFileNameA(kernel, path, sizeof path);
  EXPECT_EQ(std::string(path, length), SystemFolder() + "/kernel32.dll");
}

TEST(SystemLibraries, EachLoadIsCountedAndTheLastFreeUnloads) {
  HMODULE first = LoadLibraryA("kernel32.dll");
  HMODULE second = LoadLibraryA("kernel32.dll");
  ASSERT_EQ(first, second);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleA("kernel32.dll"), first);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
  EXPECT_EQ(GetProcAddress(first, "Module32First"), nullptr);
}

TEST(SystemLibraries, HiddenLibrariesAndExportsAreMissing) {
  TwlTestHideSystemExport("KERNEL32.dll", "Module32Next", TRUE);
  HMODULE kernel = LoadLibraryA("kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(GetProcAddress(kernel, "Module32Next"), nullptr);
  EXPECT_NE(GetProcAddress(kernel, "Module32First"), nullptr);
  TwlTestHideSystemExport("kernel32.dll", "Module32Next", FALSE);
  EXPECT_NE(GetProcAddress(kernel, "Module32Next"), nullptr);

  TwlTestHideSystemLibrary("kernel32.dll", TRUE);
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("kernel32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  TwlTestHideSystemLibrary("kernel32.dll", FALSE);
  EXPECT_EQ(LoadLibraryA("kernel32.dll"), kernel);
}

TEST(SystemLibraries, NamesOutsideTheSystemFolderAreFiles) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("/nowhere/kernel32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibraryA("nosuchsystemlibrary.dll"), nullptr);
}
