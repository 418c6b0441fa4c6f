// The installed DirectX version from the four probes, each probe's answer
// set through the testing header: the registry's record, the system
// version, what ddraw.dll exports and its surfaces answer, and the
// library's product version; and that the probes leave nothing behind.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "display/directx/DirectXInfo.h"
#include "foundation/appcore/LogFront.h"
#include "twlwin/ddraw.h"
#include "twlwin/testing.h"
#include "twlwin/testing_display.h"

namespace {

constexpr char kWarning[] = "WARNING: inconsistent DirectX version info detected.\n";

// Keeps what is logged, with its category.
class RecordingFront : public CLogFront {
 public:
  RecordingFront() { SetLogFront(this); }
  ~RecordingFront() override { SetLogFront(nullptr); }
  void LogFormatV(DWORD category, const char* format, va_list args) override {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    entries.push_back(std::to_string(category) + ":" + text);
  }
  std::vector<std::string> entries;
};

struct RegistryValue {
  DWORD type;
  std::vector<BYTE> bytes;
};

const RegistryValue kSeven{REG_BINARY, {0, 0, 0, 7, 0, 0, 0, 0}};

void SetInstalledVersion(const std::optional<RegistryValue>& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (value)
    EXPECT_EQ(RegSetValueExA(key, "InstalledVersion", 0, value->type, value->bytes.data(),
                             static_cast<DWORD>(value->bytes.size())),
              ERROR_SUCCESS);
  else
    RegDeleteValueA(key, "InstalledVersion");
  RegCloseKey(key);
}

struct System {
  DWORD major;
  DWORD minor;
  DWORD platformId;
};
constexpr System kWindowsXp{5, 1, VER_PLATFORM_WIN32_NT};
constexpr System kWindows2000{5, 0, VER_PLATFORM_WIN32_NT};
constexpr System kNt4{4, 0, VER_PLATFORM_WIN32_NT};
constexpr System kWindows98{4, 10, VER_PLATFORM_WIN32_WINDOWS};

// What the system answers each probe; the defaults are the layer's own.
struct Setting {
  std::optional<RegistryValue> installed;
  System system = kWindowsXp;
  std::vector<const char*> hiddenExports;  // of ddraw.dll, or "dinput.dll:Name"
  std::vector<const char*> hiddenLibraries;
  int newestSurface = 4;
  std::optional<DWORD> productVersion = 0x00040007;  // none: the library has no version block
  bool lockDisplay = false;

  Setting& Installed(RegistryValue value) { installed = std::move(value); return *this; }
  Setting& On(System value) { system = value; return *this; }
  Setting& WithoutExport(const char* name) { hiddenExports.push_back(name); return *this; }
  Setting& WithoutLibrary(const char* name) { hiddenLibraries.push_back(name); return *this; }
  Setting& SurfacesUpTo(int newest) { newestSurface = newest; return *this; }
  Setting& ProductVersion(DWORD mostSignificant) { productVersion = mostSignificant; return *this; }
  Setting& NoProductVersion() { productVersion.reset(); return *this; }
  Setting& NoPrimarySurface() { lockDisplay = true; return *this; }
};

void HideExport(const char* name, BOOL hidden) {
  const std::string text = name;
  const size_t colon = text.find(':');
  if (colon == std::string::npos)
    TwlTestHideSystemExport("ddraw.dll", name, hidden);
  else
    TwlTestHideSystemExport(text.substr(0, colon).c_str(), text.substr(colon + 1).c_str(), hidden);
}

// Puts the system into the setting for the test's lifetime.
class SystemSetting {
 public:
  explicit SystemSetting(const Setting& setting) : m_Setting(setting) {
    SetInstalledVersion(setting.installed);
    TwlTestSetVersion(setting.system.major, setting.system.minor, 1381, setting.system.platformId, "");
    for (const char* name : setting.hiddenExports) HideExport(name, TRUE);
    for (const char* name : setting.hiddenLibraries) TwlTestHideSystemLibrary(name, TRUE);
    TwlTestSetSurfaceInterfaces(setting.newestSurface);
    if (setting.productVersion)
      TwlTestSetFileVersion("ddraw.dll", *setting.productVersion, 0);
    else
      TwlTestSetNoFileVersion("ddraw.dll");
    TwlTestLockDisplay(setting.lockDisplay);
  }
  ~SystemSetting() {
    SetInstalledVersion(std::nullopt);
    TwlTestResetVersion();
    for (const char* name : m_Setting.hiddenExports) HideExport(name, FALSE);
    for (const char* name : m_Setting.hiddenLibraries) TwlTestHideSystemLibrary(name, FALSE);
    TwlTestSetSurfaceInterfaces(4);
    TwlTestResetFileVersion("ddraw.dll");
    TwlTestLockDisplay(FALSE);
  }

 private:
  Setting m_Setting;
};

struct Version {
  INT detected;
  INT exact;
  bool operator==(const Version&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Version& version) {
  return out << version.detected << "/" << version.exact;
}

Version AskVersion(bool fast) {
  CDirectXInfo info;
  Version version{-2, -2};
  info.GetVersion(version.detected, version.exact, fast);
  return version;
}

// Each row is asked the fast way and the thorough one, which makes the
// seventh DirectDraw interface rather than trusting the export.
TEST(DirectXVersion, EachProbeCountsInOrderAndTheFirstExactAnswerEndsTheSearch) {
  struct Row {
    const char* why;
    Setting setting;
    Version expected;
    bool warned = false;
  };
  const Row rows[] = {
      {"the layer as it is: XP gives 7 at least, ddraw.dll's 4.07 says exactly 7", Setting(), {7, 7}},
      {"an 8-byte binary record is exact at once: NT 4 and a 4.05 library never get asked",
       Setting().Installed(kSeven).On(kNt4).ProductVersion(0x00040005), {7, 7}},
      {"a record of 3 on Windows 2000 has no bound before it and stands",
       Setting().Installed({REG_BINARY, {0, 0, 0, 3, 0, 0, 0, 0}}).On(kWindows2000), {3, 3}},
      {"the record's first four bytes are big-endian",
       Setting().Installed({REG_BINARY, {0, 0, 1, 2, 9, 9, 9, 9}}), {258, 258}},
      {"a record of 4 bytes is ignored",
       Setting().Installed({REG_BINARY, {0, 0, 0, 9}}).NoProductVersion(), {7, -1}},
      {"a record of 9 bytes is ignored",
       Setting().Installed({REG_BINARY, {0, 0, 0, 9, 0, 0, 0, 0, 0}}).NoProductVersion(), {7, -1}},
      {"an 8-byte record of another type is ignored",
       Setting().Installed({REG_QWORD, {0, 0, 0, 9, 0, 0, 0, 0}}).NoProductVersion(), {7, -1}},
      {"a record that reads as negative is ignored",
       Setting().Installed({REG_BINARY, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}}), {7, 7}},
      {"NT 4 without DirectDrawCreateEx, surfaces up to the third: exactly 5",
       Setting().On(kNt4).WithoutExport("DirectDrawCreateEx").SurfacesUpTo(3), {5, 5}},
      {"NT 4 without DirectDrawCreateEx, surfaces up to the fourth: exactly 6",
       Setting().On(kNt4).WithoutExport("DirectDrawCreateEx"), {6, 6}},
      {"surfaces of the second generation only: exactly 3",
       Setting().On(kNt4).WithoutExport("DirectDrawCreateEx").SurfacesUpTo(2), {3, 3}},
      {"no dinput.dll: exactly 2",
       Setting().On(kNt4).WithoutExport("DirectDrawCreateEx").WithoutLibrary("dinput.dll"), {2, 2}},
      {"a dinput.dll without DirectInputCreateA: exactly 2",
       Setting().On(kNt4).WithoutExport("DirectDrawCreateEx").WithoutExport("dinput.dll:DirectInputCreateA"),
       {2, 2}},
      {"no primary surface: 3 at least, then the product version decides",
       Setting().On(kNt4).WithoutExport("DirectDrawCreateEx").NoPrimarySurface(), {7, 7}},
      {"no primary surface and no product version: 3 at least",
       Setting().On(kNt4).WithoutExport("DirectDrawCreateEx").NoPrimarySurface().NoProductVersion(), {3, -1}},
      {"Windows 98 without ddraw.dll: exactly no DirectX",
       Setting().On(kWindows98).WithoutLibrary("ddraw.dll"), {0, 0}},
      {"Windows 98 with a ddraw.dll lacking both creation calls: exactly none",
       Setting().On(kWindows98).WithoutExport("DirectDrawCreateEx").WithoutExport("DirectDrawCreate"), {0, 0}},
      {"XP without ddraw.dll contradicts the system: warned, 7 and no exact version",
       Setting().WithoutLibrary("ddraw.dll"), {7, -1}, true},
      {"product version 4.08 after a bound of 7: exactly 8", Setting().ProductVersion(0x00040008), {8, 8}},
      {"product version 4.05 after a bound of 7: warned, 7 and no exact version",
       Setting().ProductVersion(0x00040005), {7, -1}, true},
      {"the DirectDraw probe's exact 6 ends the search before a product version 4.02 is read",
       Setting().On(kWindows98).WithoutExport("DirectDrawCreateEx").ProductVersion(0x00040002), {6, 6}},
      {"a product version of major 5 says nothing", Setting().ProductVersion(0x00050007), {7, -1}},
      {"no version block says nothing", Setting().NoProductVersion(), {7, -1}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    RecordingFront log;
    {
      SystemSetting setting(row.setting);
      EXPECT_EQ(AskVersion(true), row.expected) << "fast";
      EXPECT_EQ(AskVersion(false), row.expected) << "thorough";
    }
    const std::string warning = std::string("0:") + kWarning;
    const std::vector<std::string> expectedLog =
        row.warned ? std::vector<std::string>{warning, warning} : std::vector<std::string>{};
    EXPECT_EQ(log.entries, expectedLog);
  }
}

TEST(DirectXVersion, TheProbeLetsGoOfItsLibrariesAndItsPrimarySurface) {
  {
    SystemSetting setting(Setting().On(kNt4).WithoutExport("DirectDrawCreateEx"));
    ASSERT_EQ(AskVersion(false), (Version{6, 6}));
  }
  EXPECT_EQ(GetModuleHandleA("ddraw.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleA("dinput.dll"), nullptr);

  // Only one primary surface may live at a time: the probe's is gone.
  const HMODULE library = LoadLibraryA("ddraw.dll");
  ASSERT_NE(library, nullptr);
  auto create = reinterpret_cast<LPDIRECTDRAWCREATE>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "DirectDrawCreate")));
  LPDIRECTDRAW directDraw = nullptr;
  ASSERT_EQ(create(nullptr, &directDraw, nullptr), DD_OK);
  ASSERT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  LPDIRECTDRAWSURFACE primary = nullptr;
  EXPECT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
  if (primary) primary->Release();
  directDraw->Release();
  FreeLibrary(library);
}

}  // namespace
