#include <cstring>
#include <thread>

#include "RegistryTestKey.h"
#include "twlwin/testing.h"

namespace {

struct RoundTripCase {
  const char* behaviour;
  DWORD type;
  std::vector<BYTE> data;
};

std::vector<BYTE> Pattern(size_t size) {
  std::vector<BYTE> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 7 + (i >> 8));
  return bytes;
}

TEST(RegistryValues, KeepTypeAndExactBytes) {
  const RoundTripCase cases[] = {
      {"text keeps its terminating zero", REG_SZ, Bytes(std::string("Velbrook\0", 9))},
      {"text without terminator stays without", REG_SZ, Bytes("no end")},
      {"empty text of one zero byte", REG_SZ, {0}},
      {"expandable text", REG_EXPAND_SZ, Bytes(std::string("%HOME%\\x\0", 9))},
      {"list of texts with double terminator", REG_MULTI_SZ, Bytes(std::string("10.0.0.1\0" "10.0.0.2\0\0", 20))},
      {"number of four bytes", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
      {"number of the wrong size stays as written", REG_DWORD, {1, 2, 3}},
      {"empty binary value", REG_BINARY, {}},
      {"binary with zero bytes inside", REG_BINARY, {0, 0xFF, 0, 0x80, 0}},
      {"binary of one MiB", REG_BINARY, Pattern(1 << 20)},
      {"type the registry does not know", 0x12345678u, {9, 8, 7}},
      {"utf-8 text", REG_SZ, Bytes(std::string("Gr\xC3\xBC\xC3\x9F" "e\0", 8))},
  };
  ScopedKey key(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook\\RoundTrip"));
  for (const auto& c : cases) {
    ASSERT_EQ(RegSetValueExA(key.get(), c.behaviour, 0, c.type, c.data.data(), static_cast<DWORD>(c.data.size())),
              ERROR_SUCCESS)
        << c.behaviour;
  }
  ScopedKey again;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "Software\\Velbrook\\RoundTrip", again.out(), KEY_QUERY_VALUE), ERROR_SUCCESS);
  for (const auto& c : cases) {
    StoredValue value = ReadValue(again.get(), c.behaviour);
    EXPECT_EQ(value.result, ERROR_SUCCESS) << c.behaviour;
    EXPECT_EQ(value.type, c.type) << c.behaviour;
    EXPECT_EQ(value.data, c.data) << c.behaviour;
  }
}

TEST(RegistryValues, SmallBufferGivesMoreDataAndTheNeededSize) {
  ScopedKey key(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook"));
  const char text[] = "C:\\Program Files\\Velbrook";
  ASSERT_EQ(RegSetValueExA(key.get(), "AppDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
            ERROR_SUCCESS);

  BYTE small[8];
  std::memset(small, 0xAA, sizeof small);
  DWORD size = sizeof small;
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueExA(key.get(), "AppDir", nullptr, &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, sizeof text);
  EXPECT_EQ(type, REG_SZ);

  BYTE exact[sizeof text];
  size = sizeof exact;
  EXPECT_EQ(RegQueryValueExA(key.get(), "AppDir", nullptr, &type, exact, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, sizeof text);
  EXPECT_STREQ(reinterpret_cast<char*>(exact), text);

  // No buffer at all: only the size (and type) come back.
  size = 0;
  EXPECT_EQ(RegQueryValueExA(key.get(), "AppDir", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, sizeof text);
}

TEST(RegistryValues, NamesCompareWithoutCaseAndKeepTheirSpelling) {
  ScopedKey key(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook"));
  WriteDword(key.get(), "FirstStart", 1);
  WriteDword(key.get(), "FIRSTSTART", 0);  // the same value
  WriteDword(key.get(), "\xC3\x84rger", 5);  // "Ärger"

  StoredValue value = ReadValue(key.get(), "firststart");
  ASSERT_EQ(value.result, ERROR_SUCCESS);
  EXPECT_EQ(value.data, (std::vector<BYTE>{0, 0, 0, 0}));
  EXPECT_EQ(ReadValue(key.get(), "\xC3\xA4RGER").result, ERROR_SUCCESS);  // "äRGER"

  char name[64];
  DWORD length = sizeof name;
  ASSERT_EQ(RegEnumValueA(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "FirstStart");
  length = sizeof name;
  ASSERT_EQ(RegEnumValueA(key.get(), 2, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST(RegistryValues, UnnamedValueIsTheKeysDefault) {
  ScopedKey key(CreateKey(HKEY_CURRENT_USER, "Software\\Classes\\.mp3"));
  const char text[] = "VelbrookTunewell.Audio";
  ASSERT_EQ(RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
            ERROR_SUCCESS);
  StoredValue viaEmptyName = ReadValue(key.get(), "");
  ASSERT_EQ(viaEmptyName.result, ERROR_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(viaEmptyName.data.data()), text);
  EXPECT_EQ(RegDeleteValueA(key.get(), ""), ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(key.get(), nullptr).result, ERROR_FILE_NOT_FOUND);
}

TEST(RegistryValues, OverwriteKeepsEnumerationOrderAndDeleteRemoves) {
  ScopedKey key(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook\\Order"));
  for (const char* name : {"c", "a", "b"}) WriteDword(key.get(), name, 1);
  WriteDword(key.get(), "A", 2);
  EXPECT_EQ(RegDeleteValueA(key.get(), "C"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key.get(), "c"), ERROR_FILE_NOT_FOUND);

  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    char name[16];
    DWORD length = sizeof name;
    DWORD type = 0;
    BYTE data[4];
    DWORD size = sizeof data;
    LONG result = RegEnumValueA(key.get(), index, name, &length, nullptr, &type, data, &size);
    if (result == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(result, ERROR_SUCCESS);
    EXPECT_EQ(length, std::strlen(name));
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
}

TEST(RegistryValues, EnumerationReportsSmallBuffers) {
  ScopedKey key(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook\\Enum"));
  const BYTE data[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  ASSERT_EQ(RegSetValueExA(key.get(), "LongValueName", 0, REG_BINARY, data, sizeof data), ERROR_SUCCESS);

  char name[4];
  DWORD length = sizeof name;
  EXPECT_EQ(RegEnumValueA(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);

  char bigName[32];
  length = sizeof bigName;
  BYTE smallData[4];
  DWORD size = sizeof smallData;
  EXPECT_EQ(RegEnumValueA(key.get(), 0, bigName, &length, nullptr, nullptr, smallData, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, sizeof data);
}

// The testing switch fails exactly one query of the thread that set it,
// after the number it was told to let pass; other threads' queries are
// neither counted nor failed.
TEST(RegistryValues, TheTestingSwitchFailsOneQueryOfItsOwnThread) {
  ScopedKey key(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook\\Switch"));
  WriteDword(key.get(), "Number", 5);
  TwlTestFailRegistryQuery(1, ERROR_MORE_DATA);
  std::thread([&key] {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadValue(key.get(), "Number").result, ERROR_SUCCESS);
  }).join();
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key.get(), "Number", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(key.get(), "Number", nullptr, nullptr, nullptr, &size), ERROR_MORE_DATA);
  EXPECT_EQ(RegQueryValueExA(key.get(), "Number", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
}

}  // namespace
