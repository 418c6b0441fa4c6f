#include <cstring>
#include <functional>

#include "RegistryTestKey.h"

namespace {

std::vector<std::string> SubKeys(HKEY key) {
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    FILETIME written{};
    LONG result = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, &written);
    if (result != ERROR_SUCCESS) {
      EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
      break;
    }
    EXPECT_NE(written.dwHighDateTime, 0u) << name;
    names.push_back(name);
  }
  return names;
}

TEST(RegistryKeys, CreateMakesTheWholePathAndReportsWhatItDid) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Velbrook\\Velbrook Tunewell\\SoundOptions", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\VELBROOK\\velbrook tunewell", 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(key);

  ScopedKey velbrook;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "SOFTWARE\\velbrook\\", velbrook.out()), ERROR_SUCCESS);
  EXPECT_EQ(SubKeys(velbrook.get()), std::vector<std::string>{"Velbrook Tunewell"});
  ScopedKey missing;
  EXPECT_EQ(OpenKey(HKEY_LOCAL_MACHINE, "Software\\Velbrook", missing.out()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing.get(), nullptr);
}

TEST(RegistryKeys, SubKeysAreEnumeratedInNameOrderWithoutCase) {
  ScopedKey parent(CreateKey(HKEY_LOCAL_MACHINE, "Software\\Velbrook\\DRIVER1"));
  for (const char* name : {"plextor", "Yamaha", "HP", "Acer"}) RegCloseKey(CreateKey(parent.get(), name));
  EXPECT_EQ(SubKeys(parent.get()), (std::vector<std::string>{"Acer", "HP", "plextor", "Yamaha"}));

  char name[4];
  DWORD length = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(parent.get(), 2, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
}

TEST(RegistryKeys, DeleteRefusesKeysWithSubKeysAndStalesOpenHandles) {
  ScopedKey parent(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook\\PluginData"));
  ScopedKey child(CreateKey(parent.get(), "Pictolan"));
  WriteDword(child.get(), "DisplayTime", 5000);

  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velbrook\\PluginData"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(parent.get(), "Netvarra"), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegDeleteKeyA(parent.get(), "PICTOLAN"), ERROR_SUCCESS);

  // The open handle now names a key that is gone, also after a key of the
  // same name is made again.
  ScopedKey again(CreateKey(parent.get(), "Pictolan"));
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(child.get(), "DisplayTime", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(RegSetValueExA(child.get(), "DisplayTime", 0, REG_BINARY, nullptr, 0), ERROR_KEY_DELETED);
  EXPECT_EQ(ReadValue(again.get(), "DisplayTime").result, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
}

TEST(RegistryKeys, RightsOfTheHandleAreEnforced) {
  RegCloseKey(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook\\Rights"));
  ScopedKey readOnly;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "Software\\Velbrook\\Rights", readOnly.out(), KEY_QUERY_VALUE), ERROR_SUCCESS);
  WriteDword(HKEY_CURRENT_USER, "Probe", 1);  // the root itself allows everything
  EXPECT_EQ(RegSetValueExA(readOnly.get(), "X", 0, REG_BINARY, nullptr, 0), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueA(readOnly.get(), "X"), ERROR_ACCESS_DENIED);
  char name[16];
  DWORD length = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(readOnly.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
  HKEY child = nullptr;
  EXPECT_EQ(RegCreateKeyExA(readOnly.get(), "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
            ERROR_ACCESS_DENIED);

  ScopedKey writeOnly;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "Software\\Velbrook\\Rights", writeOnly.out(), KEY_SET_VALUE), ERROR_SUCCESS);
  WriteDword(writeOnly.get(), "FirstStart", 0);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(writeOnly.get(), "FirstStart", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);

  ScopedKey generic;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "Software\\Velbrook\\Rights", generic.out(), GENERIC_READ), ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(generic.get(), "FirstStart").result, ERROR_SUCCESS);
}

TEST(RegistryKeys, ClassesRootMergesTheUsersClassesOverTheMachines) {
  ScopedKey machine(CreateKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\.mp3"));
  ScopedKey user(CreateKey(HKEY_CURRENT_USER, "Software\\Classes\\.mp3"));
  ScopedKey machineOnly(CreateKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\.ogg"));
  const char machineType[] = "Machine.Audio";
  const char userType[] = "VelbrookTunewell.Audio";
  ASSERT_EQ(RegSetValueExA(machine.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(machineType),
                           sizeof machineType),
            ERROR_SUCCESS);
  WriteDword(machine.get(), "MachineOnly", 7);
  ASSERT_EQ(RegSetValueExA(user.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(userType), sizeof userType),
            ERROR_SUCCESS);

  ScopedKey merged;
  ASSERT_EQ(OpenKey(HKEY_CLASSES_ROOT, ".MP3", merged.out(), KEY_READ | KEY_SET_VALUE), ERROR_SUCCESS);
  StoredValue shown = ReadValue(merged.get(), "");
  ASSERT_EQ(shown.result, ERROR_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(shown.data.data()), userType);
  EXPECT_EQ(ReadValue(merged.get(), "MachineOnly").result, ERROR_SUCCESS);

  // Values written through the merged view go to the user's key.
  WriteDword(merged.get(), "Written", 1);
  EXPECT_EQ(ReadValue(user.get(), "Written").result, ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(machine.get(), "Written").result, ERROR_FILE_NOT_FOUND);

  // New keys below the classes root belong to the machine.
  ScopedKey created(CreateKey(HKEY_CLASSES_ROOT, "VelbrookTunewell.Audio\\shell\\play"));
  ScopedKey inMachine;
  EXPECT_EQ(OpenKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\VelbrookTunewell.Audio\\shell\\play", inMachine.out()),
            ERROR_SUCCESS);

  ScopedKey root;
  ASSERT_EQ(OpenKey(HKEY_CLASSES_ROOT, "", root.out(), KEY_READ), ERROR_SUCCESS);
  EXPECT_EQ(SubKeys(root.get()), (std::vector<std::string>{".mp3", ".ogg", "VelbrookTunewell.Audio"}));
}

TEST(RegistryKeys, BadArgumentsAreRefusedCleanly) {
  ScopedKey key(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook\\Args"));
  HKEY out = nullptr;
  DWORD size = 4;
  DWORD number = 0;
  char name[16];
  DWORD length = sizeof name;
  HKEY closed = CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook\\Closed");
  ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  HKEY forged = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x7FFFFFF0u));
  HKEY unknownRoot = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000005u));
  const std::string longName(256, 'k');
  BYTE* const noData = nullptr;

  const struct {
    const char* behaviour;
    std::function<LONG()> call;
    LONG expected;
  } cases[] = {
      {"open without a place for the key", [&] { return RegOpenKeyExA(key.get(), "x", 0, KEY_READ, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"create without a place for the key",
       [&] { return RegCreateKeyExA(key.get(), "x", 0, nullptr, 0, KEY_READ, nullptr, nullptr, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"create without a sub-key name",
       [&] { return RegCreateKeyExA(key.get(), nullptr, 0, nullptr, 0, KEY_READ, nullptr, &out, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"volatile keys are not kept",
       [&] { return RegCreateKeyExA(key.get(), "v", 0, nullptr, REG_OPTION_VOLATILE, KEY_READ, nullptr, &out, nullptr); },
       ERROR_NOT_SUPPORTED},
      {"query with data but no size",
       [&] { return RegQueryValueExA(key.get(), "v", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), nullptr); },
       ERROR_INVALID_PARAMETER},
      {"query with a reserved word", [&] { return RegQueryValueExA(key.get(), "v", &size, nullptr, nullptr, &size); },
       ERROR_INVALID_PARAMETER},
      {"set without data but with a size", [&] { return RegSetValueExA(key.get(), "v", 0, REG_BINARY, noData, 4); },
       ERROR_INVALID_PARAMETER},
      {"enumerate keys without a name buffer",
       [&] { return RegEnumKeyExA(key.get(), 0, nullptr, &length, nullptr, nullptr, nullptr, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"enumerate values without a name length",
       [&] { return RegEnumValueA(key.get(), 0, name, nullptr, nullptr, nullptr, nullptr, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"delete key without a name", [&] { return RegDeleteKeyA(key.get(), nullptr); }, ERROR_INVALID_PARAMETER},
      {"closed handle", [&] { return RegSetValueExA(closed, "v", 0, REG_BINARY, noData, 0); }, ERROR_INVALID_HANDLE},
      {"close twice", [&] { return RegCloseKey(closed); }, ERROR_INVALID_HANDLE},
      {"null handle", [&] { return RegOpenKeyExA(nullptr, "x", 0, KEY_READ, &out); }, ERROR_INVALID_HANDLE},
      {"forged handle", [&] { return RegDeleteValueA(forged, "x"); }, ERROR_INVALID_HANDLE},
      {"root that is not kept", [&] { return RegOpenKeyExA(unknownRoot, "x", 0, KEY_READ, &out); },
       ERROR_INVALID_HANDLE},
      {"path starting with a backslash", [&] { return RegOpenKeyExA(key.get(), "\\x", 0, KEY_READ, &out); },
       ERROR_BAD_PATHNAME},
      {"path with an empty part", [&] { return RegOpenKeyExA(key.get(), "a\\\\b", 0, KEY_READ, &out); },
       ERROR_BAD_PATHNAME},
      {"key name over 255 characters",
       [&] { return RegCreateKeyExA(key.get(), longName.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &out, nullptr); },
       ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    out = nullptr;
    EXPECT_EQ(c.call(), c.expected) << c.behaviour;
    EXPECT_EQ(out, nullptr) << c.behaviour;
  }
  EXPECT_EQ(SubKeys(key.get()), std::vector<std::string>{}) << "no failed call left a key behind";
}

TEST(RegistryKeys, HandlesSurviveAThirtyTwoBitField) {
  ScopedKey key(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook"));
  auto stored = static_cast<LONG>(reinterpret_cast<intptr_t>(key.get()));
  auto back = reinterpret_cast<HKEY>(static_cast<intptr_t>(stored));
  WriteDword(back, "ThroughLong", 3);
  auto root = reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<LONG>(0x80000001u)));  // sign-extended
  ScopedKey viaRoot;
  EXPECT_EQ(OpenKey(root, "Software\\Velbrook", viaRoot.out()), ERROR_SUCCESS);
}

}  // namespace
