// The containers' archive forms: round trips, and counts from a file that
// the data cannot hold.
#include <gtest/gtest.h>

#include <string>

#include "ArchiveHelpers.h"
#include "LargestAllocation.h"
#include "foundation/containers/DWORDArray.h"
#include "foundation/containers/DWORDMap.h"
#include "foundation/containers/StrArray.h"

using archivetest::CodeThrown;
using archivetest::Load;
using archivetest::Stored;
using archivetest::U16;
using archivetest::U32;

TEST(ContainerArchive, ArraysRoundTripReplacingOldElements) {
  CDWORDArray numbers;
  CStrArray texts;
  for (DWORD i = 0; i < 3000; ++i) {
    numbers.SetAtGrow(static_cast<INT>(i), i * 7919);
    texts.SetAtGrow(static_cast<INT>(i), CStr::Format("text %u", i));
  }
  const std::string bytes = Stored([&](CStorage& s) {
    numbers.Serialize(s);
    texts.Serialize(s);
  });

  CDWORDArray loadedNumbers;
  CStrArray loadedTexts;
  for (INT i = 0; i < 5000; ++i) {
    loadedNumbers.SetAtGrow(i, 1);
    loadedTexts.SetAtGrow(i, "old");
  }
  Load(bytes, [&](CStorage& s) {
    loadedNumbers.Serialize(s);
    loadedTexts.Serialize(s);
  });
  ASSERT_EQ(loadedNumbers.GetCount(), 3000);
  ASSERT_EQ(loadedTexts.GetCount(), 3000);
  for (INT i = 0; i < 3000; ++i) {
    ASSERT_EQ(loadedNumbers[i], numbers[i]);
    ASSERT_EQ(loadedTexts[i], texts[i]);
  }
}

TEST(ContainerArchive, MapLoadKeepsOtherEntriesAndOverwritesEqualKeys) {
  CDWORDMap stored;
  stored[1] = 10;
  stored[2] = 20;
  const std::string bytes = Stored([&](CStorage& s) { stored.Serialize(s); });
  CDWORDMap map;
  map[2] = 99;
  map[3] = 30;
  Load(bytes, [&](CStorage& s) { map.Serialize(s); });
  EXPECT_EQ(map.GetCount(), 3);
  DWORD value = 0;
  EXPECT_TRUE(map.Lookup(1, value) && value == 10);
  EXPECT_TRUE(map.Lookup(2, value) && value == 20);
  EXPECT_TRUE(map.Lookup(3, value) && value == 30);
}

// A count far beyond the data fails with the storage error when the data
// runs out, having allocated only for what was there, and leaves the
// container as it was.
TEST(ContainerArchive, CountsTheDataCannotHoldFailBeforeAllocating) {
  struct Row {
    const char* what;
    std::string bytes;
  };
  const Row rows[] = {
      {"huge count, two elements", U32(0x7FFFFFF0) + U32(1) + U32(2)},
      {"negative count", U32(0x80000000) + U32(1)},
      {"all ones", U32(0xFFFFFFFF)},
      {"one element short", U32(3) + U32(1) + U32(2)},
  };
  for (const Row& row : rows) {
    CDWORDArray numbers;
    numbers.SetAtGrow(0, 5);
    CStrArray texts;
    texts.SetAtGrow(0, "kept");
    CDWORDMap map;
    map[9] = 90;
    LargestAllocation largest;
    EXPECT_EQ(CodeThrown<CStorageError>([&] { Load(row.bytes, [&](CStorage& s) { numbers.Serialize(s); }); }),
              CStorageError::kEndOfStream)
        << row.what;
    EXPECT_EQ(CodeThrown<CStorageError>([&] { Load(row.bytes, [&](CStorage& s) { texts.Serialize(s); }); }),
              CStorageError::kEndOfStream)
        << row.what;
    EXPECT_EQ(CodeThrown<CStorageError>([&] { Load(row.bytes, [&](CStorage& s) { map.Serialize(s); }); }),
              CStorageError::kEndOfStream)
        << row.what;
    EXPECT_LT(largest.Bytes(), 1u << 20) << row.what;
    ASSERT_EQ(numbers.GetCount(), 1) << row.what;
    EXPECT_EQ(numbers[0], 5u);
    ASSERT_EQ(texts.GetCount(), 1) << row.what;
    EXPECT_EQ(texts[0], "kept");
    EXPECT_EQ(map.GetCount(), 1) << row.what;
  }
}

TEST(ContainerArchive, TruncatedTextInAnArrayFails) {
  const std::string bytes = U32(2) + U16(1) + "a" + U16(10) + "abcd";
  CStrArray texts;
  EXPECT_EQ(CodeThrown<CStorageError>([&] { Load(bytes, [&](CStorage& s) { texts.Serialize(s); }); }),
            CStorageError::kEndOfStream);
  EXPECT_EQ(texts.GetCount(), 0);
}
