#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/appcore/RegistryValues.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/player/FileExtensionEnum.h"

namespace {

void PutNumber(std::vector<BYTE>& bytes, DWORD value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(value >> shift));
}

void PutText(std::vector<BYTE>& bytes, const char* text) {
  PutNumber(bytes, static_cast<DWORD>(std::strlen(text)));
  bytes.insert(bytes.end(), text, text + std::strlen(text));
}

void PutEntry(std::vector<BYTE>& bytes, const char* extension, const char* description, DWORD type,
              DWORD registered) {
  PutText(bytes, extension);
  PutText(bytes, description);
  PutNumber(bytes, type);
  PutNumber(bytes, registered);
}

class ExtensionStoreKey : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\ExtensionStoreTest", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &m_Key, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override { RegCloseKey(m_Key); }

  void Store(const std::vector<BYTE>& bytes) {
    ASSERT_TRUE(SetRegistryBinary(m_Key, "FileExtensions", bytes.data(), static_cast<DWORD>(bytes.size())));
  }
  std::vector<BYTE> Stored() {
    std::vector<BYTE> bytes;
    bool found = false;
    EXPECT_TRUE(GetRegistryBinaryAlloc(m_Key, "FileExtensions", bytes, found));
    EXPECT_TRUE(found);
    return bytes;
  }

  HKEY m_Key = nullptr;
};

TEST_F(ExtensionStoreKey, LoadsWhatIsWholeAndNamesCorruptData) {
  std::vector<BYTE> two;
  PutNumber(two, 2);
  PutEntry(two, "mp3", "MP3 file", 1, 1);
  PutEntry(two, "avi", "Video", 3, 0);
  std::vector<BYTE> cut(two.begin(), two.end() - 6);
  std::vector<BYTE> hugeLength;
  PutNumber(hugeLength, 2);
  PutEntry(hugeLength, "mp3", "MP3 file", 1, 1);
  PutNumber(hugeLength, 0xFFFFFFF0);
  hugeLength.insert(hugeLength.end(), {'a', 'v', 'i'});
  std::vector<BYTE> empty;
  PutNumber(empty, 0);
  std::vector<BYTE> shortCount = {1, 0};

  const struct {
    const char* behaviour;
    std::vector<BYTE> bytes;
    bool loads;
    int entries;
  } cases[] = {
      {"count 0 is an empty list", empty, true, 0},
      {"two whole entries load", two, true, 2},
      {"a value cut inside an entry keeps those before it", cut, false, 1},
      {"a length beyond the value's end is corrupt, not an allocation", hugeLength, false, 1},
      {"a count cut short is corrupt", shortCount, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    Store(c.bytes);
    CFileExtensionEnum list;
    list.Add("old", nullptr, 0);
    SetThreadError(0, 0, nullptr);
    EXPECT_EQ(list.LoadFromRegistry(m_Key, "FileExtensions"), c.loads);
    EXPECT_EQ(list.GetCount(), c.entries);
    if (!c.loads) {
      EXPECT_STREQ(GetThreadErrorText().c_str(), "The file extension registration data ist corrupted.");
    }
    if (c.entries > 0) {
      EXPECT_STREQ(list.GetEntry(0).extension.c_str(), "mp3");
      EXPECT_STREQ(list.GetEntry(0).description.c_str(), "MP3 file");
      EXPECT_EQ(list.GetEntry(0).fileType, 1u);
      EXPECT_TRUE(list.GetEntry(0).registered);
    }
  }
}

TEST_F(ExtensionStoreKey, AMissingValueFailsAndLeavesTheListEmpty) {
  RegDeleteValueA(m_Key, "FileExtensions");
  CFileExtensionEnum list;
  list.Add("mp3", nullptr, 1);
  EXPECT_FALSE(list.LoadFromRegistry(m_Key, "FileExtensions"));
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(ExtensionStoreKey, AnyNonZeroRegisteredReadsAsRegisteredAndIsWrittenBackAsOne) {
  std::vector<BYTE> bytes;
  PutNumber(bytes, 2);
  PutEntry(bytes, "wav", "Wave", 1, 2);
  PutEntry(bytes, "mid", "", 0, 0);
  Store(bytes);
  CFileExtensionEnum list;
  ASSERT_TRUE(list.LoadFromRegistry(m_Key, "FileExtensions"));
  EXPECT_TRUE(list.GetEntry(0).registered);
  EXPECT_STREQ(list.GetEntry(1).description.c_str(), "");
  ASSERT_TRUE(list.SaveToRegistry(m_Key, "FileExtensions"));
  std::vector<BYTE> expected;
  PutNumber(expected, 2);
  PutEntry(expected, "wav", "Wave", 1, 1);
  PutEntry(expected, "mid", "", 0, 0);
  EXPECT_EQ(Stored(), expected);
}

TEST(FileExtensionList, SortIgnoresCaseAndKeepsEqualEntriesInOrder) {
  CFileExtensionEnum list;
  for (const char* extension : {"mp3", "MID", "avi", "Avi"}) {
    FileExtensionEntry entry;
    entry.extension = extension;
    list.Append(entry);
  }
  list.Sort();
  std::string order;
  for (int i = 0; i < list.GetCount(); ++i) order += std::string(list.GetEntry(i).extension.c_str()) + " ";
  EXPECT_EQ(order, "avi Avi MID mp3 ");
}

TEST(FileExtensionList, CollectMissingCopiesWhatTheOtherLacksAndTakesItsFlags) {
  CFileExtensionEnum current;
  current.Add("mp3", "MP3", 1);
  current.Add("ogg", "Ogg", 1);
  CFileExtensionEnum stored;
  stored.Add("mp3", "MP3", 1);
  stored.GetEntry(0).registered = true;
  CFileExtensionEnum missing;
  current.CollectMissing(stored, missing, true);
  ASSERT_EQ(missing.GetCount(), 1);
  EXPECT_STREQ(missing.GetEntry(0).extension.c_str(), "ogg");
  EXPECT_TRUE(current.GetEntry(0).registered);
  EXPECT_FALSE(current.GetEntry(1).registered);

  auto copy = current.Clone();
  copy->GetEntry(0).registered = false;
  EXPECT_TRUE(current.GetEntry(0).registered) << "copies are deep";
  EXPECT_EQ(copy->GetCount(), 2);
}

}  // namespace
