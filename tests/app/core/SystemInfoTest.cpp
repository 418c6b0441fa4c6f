// What the start writes about the machine: edition names and lines, byte
// sizes, DirectX lines, and the two requirements that end the start.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "app/core/System.h"
#include "app/core/SystemInfo.h"
#include "display/directx/DirectXInfo.h"
#include "foundation/kernel/Error.h"
#include "twlwin/testing.h"

namespace {

OSVERSIONINFOEXA Version(DWORD platform, DWORD major, DWORD minor, DWORD build, BYTE product = 0, WORD suite = 0,
                         const char* servicePack = "") {
  OSVERSIONINFOEXA version{};
  version.dwOSVersionInfoSize = sizeof version;
  version.dwPlatformId = platform;
  version.dwMajorVersion = major;
  version.dwMinorVersion = minor;
  version.dwBuildNumber = build;
  version.wProductType = product;
  version.wSuiteMask = suite;
  std::strncpy(version.szCSDVersion, servicePack, sizeof version.szCSDVersion - 1);
  return version;
}

constexpr DWORD k9x = VER_PLATFORM_WIN32_WINDOWS;
constexpr DWORD kNT = VER_PLATFORM_WIN32_NT;

// The text of the error a call throws, or "" when it throws none.
template <class Call>
std::string ThrownText(Call call, std::string* caption = nullptr) {
  try {
    call();
  } catch (CError* error) {
    std::string text = error->GetText().c_str();
    if (caption) *caption = error->GetCaption().c_str();
    DisposeError(error);
    return text;
  }
  return "";
}

}  // namespace

TEST(EditionNames, EachVersionHasItsName) {
  struct Case {
    const char* why;
    OSVERSIONINFOEXA version;
    bool extended;
    const char* name;
  } cases[] = {
      {"95 is 4.0", Version(k9x, 4, 0, 950), true, "Windows 95"},
      {"98 SE (4.10) is still 98", Version(k9x, 4, 10, 2222), true, "Windows 98"},
      {"4.90 is ME", Version(k9x, 4, 90, 3000), true, "Windows ME"},
      {"beyond 4.90", Version(k9x, 4, 91, 0), true, "Windows ME or higher"},
      {"another 9x major", Version(k9x, 5, 0, 0), true, "Windows"},
      {"Win32s", Version(VER_PLATFORM_WIN32s, 3, 11, 0), true, "Win32s"},
      {"unknown platform", Version(7, 5, 1, 0), true, "Unknown Windows type"},
      {"2000 without product type", Version(kNT, 5, 0, 2195), false, "Windows 2000"},
      {"2000 server", Version(kNT, 5, 0, 2195, 3), true, "Windows 2000 Server"},
      {"2000 workstation", Version(kNT, 5, 0, 2195, 1), true, "Windows 2000 Professional"},
      {"XP home by its suite bit", Version(kNT, 5, 1, 2600, 1, 0x200), true, "Windows XP Home Edition"},
      {"XP professional", Version(kNT, 5, 1, 2600, 1), true, "Windows XP Professional"},
      {"XP server", Version(kNT, 5, 1, 2600, 3), true, "Windows XP Server"},
      {"NT 5.2 workstation is plain NT", Version(kNT, 5, 2, 3790, 1), true, "Windows NT Workstation"},
      {"NT 5.2 server", Version(kNT, 5, 2, 3790, 3), true, "Windows NT Server"},
      {"NT 5.2, other product type", Version(kNT, 5, 2, 3790, 2), true, "Windows NT"},
      {"product type ignored without the extended answer", Version(kNT, 5, 2, 3790, 3), false, "Windows NT"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetWindowsEditionName(c.version, c.extended), c.name) << c.why;
}

TEST(EditionLine, PrefixServicePackAndBuild) {
  struct Case {
    const char* why;
    OSVERSIONINFOEXA version;
    const char* line;
  } cases[] = {
      {"XP carries the NT version in brackets", Version(kNT, 5, 1, 2600, 1),
       "Windows XP Professional (NT 5.1) build a28h detected"},
      {"NT 5.2 has no NT prefix", Version(kNT, 5, 2, 3790, 1), "Windows NT Workstation 5.2 build eceh detected"},
      {"a service pack with a leading blank stays as it is", Version(kNT, 5, 0, 2195, 1, 0, " Service Pack 4"),
       "Windows 2000 Professional (NT 5.0) Service Pack 4 build 893h detected"},
      {"a service pack starting with a letter gets a blank", Version(kNT, 5, 1, 2600, 1, 0, "Service Pack 2"),
       "Windows XP Professional (NT 5.1) Service Pack 2 build a28h detected"},
      {"a single blank is no service pack", Version(kNT, 5, 1, 2600, 1, 0, " "),
       "Windows XP Professional (NT 5.1) build a28h detected"},
      {"9x keeps only the low 16 bits of the build", Version(k9x, 4, 10, 0x040A08AE, 0, 0, " A "),
       "Windows 98 4.10 A  build 8aeh detected"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatEditionLine(c.version, true), c.line) << c.why;
}

TEST(FormatByteSize, UnitsAndBoundaries) {
  struct Case {
    LONGLONG value;
    const char* text;
  } cases[] = {
      {0, "0 bytes"},
      {1023, "1023 bytes"},
      {1024, "1.00 KB"},
      {1536, "1.50 KB"},
      {0xFFFFF, "1024.00 KB"},
      {0x100000, "1.00 MB"},
      {3LL << 30, "3.00 GB"},
      {(1LL << 40) - 1, "1024.00 GB"},  // shifted before dividing: the bytes below 1 MiB drop
      {1LL << 40, "1.00 TB"},
      {5LL << 39, "2.50 TB"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatByteSize(c.value), c.text) << c.value;
}

TEST(DirectXLine, ExactOrLowerBound) {
  EXPECT_EQ(FormatDirectXLine(7, false), "DirectX 7 or higher detected");
  EXPECT_EQ(FormatDirectXLine(5, true), "DirectX 5 detected");
  EXPECT_EQ(FormatDirectXLine(0, true), "No DirectX detected");
  EXPECT_EQ(FormatDirectXLine(0, false), "No DirectX or higher detected");
  EXPECT_EQ(FormatDirectXLine(-1, false), "");
}

TEST(Requirements, OldCommonControlsEndTheStart) {
  CSystem system;
  TwlTestSetFileVersion("comctl32.dll", MAKELONG(70, 4), 0);
  std::string caption;
  const std::string text = ThrownText([&] { system.CheckCommonControls(); }, &caption);
  EXPECT_EQ(caption, "Common Controls error");
  EXPECT_NE(text.find("version 4.71 or higher. Version 4.70 was detected"), std::string::npos) << text;
  EXPECT_NE(text.find("/products/0014\n\nand download \"System update for Windows 95\" from the \"Downloads\" section."),
            std::string::npos)
      << text;

  TwlTestSetFileVersion("comctl32.dll", MAKELONG(71, 4), 0);
  EXPECT_EQ(ThrownText([&] { system.CheckCommonControls(); }), "") << "4.71 passes";
  TwlTestSetNoFileVersion("comctl32.dll");
  EXPECT_EQ(ThrownText([&] { system.CheckCommonControls(); }), "") << "an unknown version passes";
}

TEST(Requirements, DirectXBelowThreeEndsTheStart) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  BYTE value[8] = {0, 0, 0, 2, 0, 0, 0, 0};
  ASSERT_EQ(RegSetValueExA(key, "InstalledVersion", 0, REG_BINARY, value, 8), ERROR_SUCCESS);
  CSystem system;
  std::string caption;
  EXPECT_EQ(ThrownText([&] { system.RetrieveSystemInfo(); }, &caption),
            "The player needs DirectX 3 or higher (DirectX 2 was detected). Please install DirectX 3 or higher.");
  EXPECT_EQ(caption, "DirectX error");
  EXPECT_EQ(system.GetDirectXVersion(), 2);

  value[3] = 0;
  ASSERT_EQ(RegSetValueExA(key, "InstalledVersion", 0, REG_BINARY, value, 8), ERROR_SUCCESS);
  EXPECT_NE(ThrownText([&] { system.RetrieveSystemInfo(); }).find("any version of DirectX"), std::string::npos);

  ASSERT_EQ(RegDeleteValueA(key, "InstalledVersion"), ERROR_SUCCESS);
  RegCloseKey(key);
  // Without a record, on a 9x system, DirectDraw itself tells; without
  // ddraw.dll there is no DirectX at all.
  TwlTestSetVersion(4, 10, 2222, VER_PLATFORM_WIN32_WINDOWS, "");
  EXPECT_EQ(ThrownText([&] { system.RetrieveSystemInfo(); }), "");
  EXPECT_EQ(system.GetDirectXVersion(), 7);
  TwlTestHideSystemLibrary("ddraw.dll", TRUE);
  EXPECT_NE(ThrownText([&] { system.RetrieveSystemInfo(); }).find("any version of DirectX"), std::string::npos);
  EXPECT_EQ(system.GetDirectXVersion(), 0);
  TwlTestHideSystemLibrary("ddraw.dll", FALSE);
  TwlTestResetVersion();
}
