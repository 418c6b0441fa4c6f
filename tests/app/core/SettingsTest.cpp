// Where the settings live, the values the core keeps there, the registry
// functions' contract, and the version.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/core/System.h"
#include "foundation/appcore/PlayerVersion.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/data/DataSystem.h"
#include "twlwin/testing.h"

namespace {

constexpr const char* kSettings = "Software\\Velbrook\\Velbrook Tunewell";

HKEY Create(HKEY root, const char* path) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  return key;
}

// The value's type and bytes; type REG_NONE when it is missing.
struct Stored {
  DWORD type = REG_NONE;
  std::string bytes;
};

Stored Read(HKEY root, const char* name) {
  Stored stored;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, kSettings, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return stored;
  char data[1024];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, &stored.type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
    stored.bytes.assign(data, size);
  RegCloseKey(key);
  return stored;
}

std::string ThreadErrorText() {
  const ThreadErrorState* state = GetThreadErrorState();
  return state && state->text ? state->text : "";
}

// A started system as far as folders and settings go.
void StartSettings(CSystem& system) {
  system.InitDirectories();
  system.WriteAppDir();
  system.ReadFirstStart();
}

}  // namespace

TEST(SettingsRoot, ChosenByWhereTheKeyIs) {
  struct Case {
    const char* why;
    bool inUser;
    bool inMachine;
    DWORD platform;
    HKEY expected;
  } cases[] = {
      {"the user's key first", true, true, VER_PLATFORM_WIN32_NT, HKEY_CURRENT_USER},
      {"the machine's key when only it exists", false, true, VER_PLATFORM_WIN32_NT, HKEY_LOCAL_MACHINE},
      {"nowhere yet on NT: the user", false, false, VER_PLATFORM_WIN32_NT, HKEY_CURRENT_USER},
      {"nowhere yet on 9x: the machine", false, false, VER_PLATFORM_WIN32_WINDOWS, HKEY_LOCAL_MACHINE},
  };
  for (const Case& c : cases) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
      RegDeleteKeyA(root, kSettings);
      RegDeleteKeyA(root, "Software\\Velbrook");
    }
    if (c.inUser) RegCloseKey(Create(HKEY_CURRENT_USER, kSettings));
    if (c.inMachine) RegCloseKey(Create(HKEY_LOCAL_MACHINE, kSettings));
    TwlTestSetVersion(c.platform == VER_PLATFORM_WIN32_NT ? 5 : 4, c.platform == VER_PLATFORM_WIN32_NT ? 1 : 10,
                      2600, c.platform, "");
    CSystem system;
    StartSettings(system);
    EXPECT_EQ(system.GetSettingsRoot(), c.expected) << c.why;
    const HKEY other = c.expected == HKEY_CURRENT_USER ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    EXPECT_EQ(Read(c.expected, "AppDir").bytes, std::string(system.GetProgramFolder().c_str()) + '\0') << c.why;
    EXPECT_EQ(Read(other, "AppDir").type, static_cast<DWORD>(REG_NONE)) << c.why;
    // The library's systems keep their values where the start chose.
    GetDataSystem().SetDefaultConnectionTimeout(45000);
    EXPECT_EQ(Read(c.expected, "DefaultConnectionTimeout").type, static_cast<DWORD>(REG_DWORD)) << c.why;
    EXPECT_EQ(Read(other, "DefaultConnectionTimeout").type, static_cast<DWORD>(REG_NONE)) << c.why;
  }
  TwlTestResetVersion();
}

TEST(AppDir, ProgramFolderWithItsSeparatorKeptWhenSet) {
  CSystem system;
  StartSettings(system);
  const std::string folder = system.GetProgramFolder().c_str();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(std::string(system.GetPlugInsFolder().c_str()), folder + "PlugIns/");
  EXPECT_EQ(std::string(system.GetSkinsFolder().c_str()), folder + "Skins/");
  const Stored first = Read(HKEY_CURRENT_USER, "AppDir");
  EXPECT_EQ(first.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(first.bytes, folder + '\0');

  HKEY key = Create(HKEY_CURRENT_USER, kSettings);
  const char other[] = "/opt/elsewhere/";
  ASSERT_EQ(RegSetValueExA(key, "AppDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof other),
            ERROR_SUCCESS);
  system.WriteAppDir();
  EXPECT_EQ(Read(HKEY_CURRENT_USER, "AppDir").bytes, std::string(other, sizeof other)) << "another folder is kept";

  const BYTE empty[1] = {0};
  ASSERT_EQ(RegSetValueExA(key, "AppDir", 0, REG_SZ, empty, 1), ERROR_SUCCESS);
  system.WriteAppDir();
  EXPECT_EQ(Read(HKEY_CURRENT_USER, "AppDir").bytes, folder + '\0') << "an empty one is rewritten";
  RegCloseKey(key);
}

TEST(FirstStart, OnlyAFourByteZeroEndsIt) {
  struct Case {
    const char* why;
    DWORD type;
    std::vector<BYTE> data;
    bool first;
  } cases[] = {
      {"zero", REG_DWORD, {0, 0, 0, 0}, false},
      {"one", REG_DWORD, {1, 0, 0, 0}, true},
      {"a text", REG_SZ, {'0', 0}, true},
      {"two binary bytes", REG_BINARY, {0, 0}, true},
  };
  CSystem system;
  StartSettings(system);
  EXPECT_TRUE(system.IsFirstStart()) << "nothing stored";
  HKEY key = Create(HKEY_CURRENT_USER, kSettings);
  for (const Case& c : cases) {
    ASSERT_EQ(RegSetValueExA(key, "FirstStart", 0, c.type, c.data.data(), static_cast<DWORD>(c.data.size())),
              ERROR_SUCCESS);
    system.ReadFirstStart();
    EXPECT_EQ(system.IsFirstStart(), c.first) << c.why;
  }
  system.WriteFirstStart(false);
  const Stored written = Read(HKEY_CURRENT_USER, "FirstStart");
  EXPECT_EQ(written.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(written.bytes, std::string(4, '\0'));
  RegCloseKey(key);
}

TEST(RegistryFunctions, TypesAndSizesMustMatch) {
  HKEY key = Create(HKEY_CURRENT_USER, kSettings);
  const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(CSystem::SetRegistryBinary(key, "Eight", eight, 8));
  ASSERT_TRUE(CSystem::SetRegistryString(key, "Text", "hello"));
  ASSERT_TRUE(CSystem::SetRegistryDWord(key, "Number", 42));

  DWORD value = 7;
  EXPECT_FALSE(CSystem::GetRegistryDWord(key, "Eight", &value)) << "8 bytes are no DWORD";
  EXPECT_EQ(value, 0u);
  EXPECT_EQ(ThreadErrorText(), "Error retrieving value from registry.");
  EXPECT_FALSE(CSystem::GetRegistryDWord(key, "Text", &value)) << "a text is no DWORD";
  EXPECT_TRUE(CSystem::GetRegistryDWord(key, "Number", &value));
  EXPECT_EQ(value, 42u);

  CStr text = "stale";
  EXPECT_TRUE(CSystem::GetRegistryString(key, "Text", text));
  EXPECT_EQ(text, "hello");
  EXPECT_FALSE(CSystem::GetRegistryString(key, "Number", text)) << "a DWORD is no text";
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_FALSE(CSystem::GetRegistryString(key, "Missing", text));
  // A text stored without its terminator is still ended.
  ASSERT_EQ(RegSetValueExA(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
  EXPECT_TRUE(CSystem::GetRegistryString(key, "Bare", text));
  EXPECT_EQ(text, "abc");
  ASSERT_EQ(RegSetValueExA(key, "Empty", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
  EXPECT_FALSE(CSystem::GetRegistryString(key, "Empty", text)) << "no bytes at all";

  BYTE buffer[8] = {};
  EXPECT_FALSE(CSystem::GetRegistryBinary(key, "Eight", buffer, 4));
  EXPECT_TRUE(CSystem::GetRegistryBinary(key, "Eight", buffer, 8));
  EXPECT_EQ(buffer[7], 8);
  std::vector<BYTE> all;
  EXPECT_TRUE(CSystem::GetRegistryBinaryAlloc(key, "Eight", all));
  EXPECT_EQ(all.size(), 8u);
  EXPECT_FALSE(CSystem::GetRegistryBinaryAlloc(key, "Text", all)) << "a text is no binary value";
  EXPECT_TRUE(all.empty());

  EXPECT_TRUE(CSystem::DeleteRegistryValue(key, "Eight"));
  EXPECT_FALSE(CSystem::DeleteRegistryValue(key, "Eight"));
  RegCloseKey(key);
}

TEST(RegistryFunctions, KeysWithDefaultTextAndClassesRoot) {
  HKEY key = nullptr;
  ASSERT_TRUE(CSystem::CreateRegistryKey(HKEY_CURRENT_USER, "Software\\Test\\Typed", KEY_ALL_ACCESS, &key, "A type"));
  CStr text;
  EXPECT_TRUE(CSystem::GetRegistryString(key, nullptr, text));
  EXPECT_EQ(text, "A type");
  RegCloseKey(key);
  EXPECT_FALSE(CSystem::OpenRegistryKey(HKEY_CURRENT_USER, "Software\\Nothing", KEY_READ, &key));
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(ThreadErrorText(), "Error opening registry key.");

  CSystem system;
  system.InitDirectories();
  EXPECT_EQ(system.GetClassesRoot(), HKEY_CURRENT_USER) << "NT 5";
  EXPECT_EQ(system.GetClassesPath(), "Software\\Classes");
  RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Classes"));
  EXPECT_TRUE(system.OpenClassesKey(KEY_READ, &key));
  RegCloseKey(key);
  TwlTestSetVersion(4, 10, 2222, VER_PLATFORM_WIN32_WINDOWS, "");
  system.InitDirectories();
  EXPECT_EQ(system.GetClassesRoot(), HKEY_CLASSES_ROOT) << "9x";
  EXPECT_TRUE(system.GetClassesPath().IsEmpty());
  TwlTestResetVersion();
}

TEST(Version, TextsAndPacking) {
  struct Case {
    const char* text;
    INT major, minor, build;
    DWORD packed;
  } cases[] = {
      {"1.75 build 64", 1, 75, 64, 0x1004B},
      {"2.10", 2, 10, 1, 0x2000A},
      {"2.10 beta", 2, 10, 1, 0x2000A},
      {"3.5 xbuild 7", 3, 5, 7, 0x30005},
      {"4", 4, -1, -1, 0},
  };
  for (const Case& c : cases) {
    const PlayerVersion version = ParsePlayerVersion(c.text, std::strlen(c.text));
    EXPECT_EQ(version.major, c.major) << c.text;
    EXPECT_EQ(version.minor, c.minor) << c.text;
    EXPECT_EQ(version.build, c.build) << c.text;
    if (c.minor >= 0) {
      EXPECT_EQ(version.packed, c.packed) << c.text;
    }
  }
  CSystem system;
  system.ExtractVersion();
  EXPECT_EQ(system.GetVersionText(), "1.75 build 64");
  EXPECT_EQ(system.GetPackedVersion(), 0x1004Bu);
  EXPECT_EQ(system.GetBuildNumber(), 64);
}

TEST(Version, SupportedUnlessBothAreNewer) {
  CSystem system;
  system.ExtractVersion();
  struct Case {
    DWORD first, second;
    bool supported;
  } cases[] = {
      {0x10050, 0x20000, false}, {0x10000, 0x20000, true}, {0x20000, 0x10000, true},
      {0x1004B, 0x1004B, true},  {0x1004C, 0x1004C, false}, {0x80000000, 0x1004B, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(system.IsVersionSupported(c.first, c.second), c.supported) << std::hex << c.first << " " << c.second;
}

// Each reading function asks the registry twice (the size, then the
// bytes). When either query fails, the answer is false with the reason in
// the thread's error and nothing read: a text that cannot be read is never
// a success with an empty text.
TEST(RegistryFunctions, AFailingQueryIsAFailureWhicheverOfTheTwoItIs) {
  HKEY key = Create(HKEY_CURRENT_USER, kSettings);
  ASSERT_TRUE(CSystem::SetRegistryString(key, "Text", "stored"));
  ASSERT_TRUE(CSystem::SetRegistryDWord(key, "Number", 7));
  const BYTE bytes[4] = {1, 2, 3, 4};
  ASSERT_TRUE(CSystem::SetRegistryBinary(key, "Bytes", bytes, sizeof bytes));
  struct Case {
    const char* why;
    DWORD skip;  // queries that succeed before the failing one
    LONG result;
  } cases[] = {
      {"the size query fails", 0, ERROR_ACCESS_DENIED},
      {"the read after the size fails (the value grew meanwhile)", 1, ERROR_MORE_DATA},
      {"the read after the size fails (the value went meanwhile)", 1, ERROR_FILE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    auto expectFailure = [&c](const char* function) {
      EXPECT_EQ(ThreadErrorText(), "Error retrieving value from registry.") << function;
      EXPECT_EQ(GetThreadErrorState()->code, static_cast<DWORD>(c.result)) << function;
    };
    CStr text = "left over";
    TwlTestFailRegistryQuery(c.skip, c.result);
    EXPECT_FALSE(CSystem::GetRegistryString(key, "Text", text));
    EXPECT_TRUE(text.IsEmpty());
    expectFailure("GetRegistryString");

    DWORD number = 99;
    TwlTestFailRegistryQuery(c.skip, c.result);
    EXPECT_FALSE(CSystem::GetRegistryDWord(key, "Number", &number));
    EXPECT_EQ(number, 0u);
    expectFailure("GetRegistryDWord");

    BYTE read[4] = {};
    TwlTestFailRegistryQuery(c.skip, c.result);
    EXPECT_FALSE(CSystem::GetRegistryBinary(key, "Bytes", read, sizeof read));
    expectFailure("GetRegistryBinary");
  }
  CStr text;
  EXPECT_TRUE(CSystem::GetRegistryString(key, "Text", text)) << "the switch failed one query only";
  EXPECT_EQ(text, "stored");
  RegCloseKey(key);
}
