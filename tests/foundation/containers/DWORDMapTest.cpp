#include "foundation/containers/DWORDMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "CountingNew.h"

namespace {

std::vector<std::pair<DWORD, DWORD>> Entries(const CDWORDMap& map) {
  std::vector<std::pair<DWORD, DWORD>> entries;
  CDWORDMap::Position position = map.GetStartPosition();
  while (position) {
    DWORD key = 0, value = 0;
    map.GetNextAssoc(position, key, value);
    entries.emplace_back(key, value);
  }
  return entries;
}

TEST(DWORDMap, IteratesInBucketOrderNewestFirst) {
  CDWORDMap map;
  EXPECT_EQ(map.GetHashTableSize(), 17u);
  map[0x20] = 2;   // bucket 2
  map[0x10] = 1;   // bucket 1
  map[0x120] = 3;  // (0x120 >> 4) % 17 = 1, newer than 0x10
  map[0x05] = 4;   // bucket 0
  EXPECT_EQ(Entries(map), (std::vector<std::pair<DWORD, DWORD>>{{0x05, 4}, {0x120, 3}, {0x10, 1}, {0x20, 2}}));
}

TEST(DWORDMap, AgreesWithAMapOverRandomOperations) {
  std::mt19937 random(7);
  CDWORDMap map;
  std::map<DWORD, DWORD> model;
  for (int step = 0; step < 20000; ++step) {
    const DWORD key = random() % 300 * 16 + random() % 3;
    switch (random() % 4) {
      case 0:
      case 1:
        map[key] = static_cast<DWORD>(step);
        model[key] = static_cast<DWORD>(step);
        break;
      case 2:
        ASSERT_EQ(map.RemoveKey(key), model.erase(key) == 1);
        break;
      default: {
        DWORD value = 0;
        const bool found = map.Lookup(key, value);
        ASSERT_EQ(found, model.count(key) == 1);
        if (found) {
          ASSERT_EQ(value, model[key]);
        }
      }
    }
    ASSERT_EQ(map.GetCount(), static_cast<INT>(model.size()));
  }
  auto entries = Entries(map);
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::pair<DWORD, DWORD>>(model.begin(), model.end())));
}

TEST(DWORDMap, IndexingAddsAZero) {
  CDWORDMap map;
  EXPECT_EQ(map[42], 0u);
  EXPECT_EQ(map.GetCount(), 1);
  DWORD value = 9;
  EXPECT_TRUE(map.Lookup(42, value));
  EXPECT_EQ(value, 0u);
}

TEST(DWORDMap, RemovingTheLastKeyFreesEverything) {
  CDWORDMap map;
  NewCounter counter;
  for (DWORD key = 0; key < 25; ++key) map[key] = key;  // three blocks of 10 nodes
  const long allocated = counter.Allocations();
  EXPECT_EQ(allocated, 4);  // the bucket table and three blocks
  for (DWORD key = 0; key < 25; ++key) ASSERT_TRUE(map.RemoveKey(key));
  EXPECT_EQ(counter.Frees(), allocated);
  DWORD value = 0;
  EXPECT_FALSE(map.Lookup(3, value));
  EXPECT_FALSE(map.RemoveKey(3));
  EXPECT_EQ(counter.Allocations(), allocated);  // looking up an empty map allocates nothing
  EXPECT_EQ(map.GetStartPosition(), nullptr);
}

TEST(DWORDMap, FreedNodesAreReused) {
  CDWORDMap map;
  map[1] = 1;
  NewCounter counter;
  for (int round = 0; round < 100; ++round) {
    map[2] = 2;
    map.RemoveKey(2);
  }
  EXPECT_EQ(counter.Allocations(), 0);
}

TEST(DWORDMap, InitHashTable) {
  CDWORDMap map;
  map.InitHashTable(1003);
  EXPECT_EQ(map.GetHashTableSize(), 1003u);
  map[0x3EB0] = 5;  // (0x3EB0 >> 4) = 1003: bucket 0 of 1003
  map[0x10] = 6;
  EXPECT_EQ(Entries(map), (std::vector<std::pair<DWORD, DWORD>>{{0x3EB0, 5}, {0x10, 6}}));
  map.InitHashTable(5);  // refused while the map holds entries
  EXPECT_EQ(map.GetHashTableSize(), 1003u);
  map.RemoveAll();
  map.InitHashTable(0);  // refused: no bucket to put a key in
  EXPECT_EQ(map.GetHashTableSize(), 1003u);
  map[7] = 1;
  EXPECT_EQ(map.GetCount(), 1);
}

}  // namespace
