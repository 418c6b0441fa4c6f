#include <gtest/gtest.h>

#include <vector>

#include "foundation/containers/DWORDArray.h"
#include "foundation/containers/PointerArray.h"
#include "foundation/containers/StrArray.h"

namespace {

std::vector<DWORD> Values(const CDWORDArray& array) {
  return std::vector<DWORD>(array.GetData(), array.GetData() + array.GetCount());
}

TEST(Array, AppendingGrowsByAnEighthOfTheCountBetween4And1024) {
  CDWORDArray array;
  std::vector<INT> capacities;
  for (DWORD i = 0; i < 100; ++i) {
    array.SetAtGrow(array.GetCount(), i);
    if (capacities.empty() || capacities.back() != array.GetCapacity()) capacities.push_back(array.GetCapacity());
  }
  EXPECT_EQ(capacities, (std::vector<INT>{1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 46, 51, 57, 64, 72, 81, 91, 102}));
  for (DWORD i = 0; i < 100; ++i) ASSERT_EQ(array[i], i);

  CDWORDArray large;
  large.SetSize(16384);
  large.SetAtGrow(large.GetCount(), 1);
  EXPECT_EQ(large.GetCapacity(), 16384 + 1024);
}

TEST(Array, FixedGrowByReplacesTheEighth) {
  CPointerArray array;
  array.SetSize(1, 100);
  array.SetAtGrow(1, &array);
  EXPECT_EQ(array.GetCapacity(), 101);
  EXPECT_EQ(array[1], &array);
  EXPECT_EQ(array[0], nullptr);
  array.SetSize(200, -1);  // -1 keeps the step
  EXPECT_EQ(array.GetCapacity(), 201);
}

TEST(Array, SetSizeZeroesNewElementsAndShrinksInPlace) {
  CDWORDArray array;
  array.SetSize(4);
  for (INT i = 0; i < 4; ++i) array[i] = 9;
  array.SetSize(2);
  EXPECT_EQ(array.GetCapacity(), 4);
  array.SetSize(4);
  EXPECT_EQ(Values(array), (std::vector<DWORD>{9, 9, 0, 0}));
  array.SetSize(0);
  EXPECT_EQ(array.GetCount(), 0);
  EXPECT_EQ(array.GetCapacity(), 0);
  EXPECT_EQ(array.GetData(), nullptr);
  array.SetSize(-1);  // refused
  EXPECT_EQ(array.GetCount(), 0);
}

struct InsertCase {
  const char* behaviour;
  std::vector<DWORD> before;
  INT index;
  INT n;
  std::vector<DWORD> after;
};

TEST(Array, InsertAt) {
  const InsertCase cases[] = {
      {"beyond the end: grows to index + n, gap zeroed", {1, 2, 3}, 5, 2, {1, 2, 3, 0, 0, 7, 7}},
      {"at the end appends", {1, 2, 3}, 3, 1, {1, 2, 3, 7}},
      {"inside moves the rest up", {1, 2, 3}, 1, 2, {1, 7, 7, 2, 3}},
      {"at the front", {1, 2}, 0, 1, {7, 1, 2}},
      {"into an empty array", {}, 0, 3, {7, 7, 7}},
      {"a count below 1 changes nothing", {1, 2}, 1, 0, {1, 2}},
      {"a negative index changes nothing", {1, 2}, -1, 1, {1, 2}},
  };
  for (const InsertCase& c : cases) {
    CDWORDArray array;
    for (DWORD v : c.before) array.SetAtGrow(array.GetCount(), v);
    array.InsertAt(c.index, 7, c.n);
    EXPECT_EQ(Values(array), c.after) << c.behaviour;
  }
}

TEST(Array, InsertingAnElementOfTheArrayItself) {
  CDWORDArray array;
  array.SetSize(4, 0);
  array[0] = 5;
  array.InsertAt(1, array[0], 40);  // the block moves while inserting
  EXPECT_EQ(array.GetCount(), 44);
  EXPECT_EQ(array[40], 5u);
}

TEST(Array, RemoveAt) {
  CDWORDArray array;
  for (DWORD v : {1, 2, 3, 4, 5}) array.SetAtGrow(array.GetCount(), v);
  EXPECT_EQ(array.RemoveAt(1, 2), 3);
  EXPECT_EQ(Values(array), (std::vector<DWORD>{1, 4, 5}));
  EXPECT_EQ(array.RemoveAt(2, 10), 2);  // only what is there
  EXPECT_EQ(array.RemoveAt(5), 2);      // beyond the end: nothing
  EXPECT_EQ(Values(array), (std::vector<DWORD>{1, 4}));
}

TEST(StrArray, OwnsItsTexts) {
  CStrArray array;
  CStr shared = "shared";
  array.SetAtGrow(0, shared);
  array.SetAtGrow(2, "third");
  EXPECT_EQ(array.GetCount(), 3);
  EXPECT_EQ(array[0], "shared");
  EXPECT_TRUE(array[1].IsEmpty());
  EXPECT_EQ(array[2], "third");
  array[0] += " changed";
  EXPECT_EQ(shared, "shared");  // the array's copy changed, not the caller's

  array.RemoveAt(0);
  EXPECT_EQ(array[1], "third");
  array.SetSize(0);
  EXPECT_EQ(array.GetCapacity(), 0);
  array.SetSize(3);
  for (INT i = 0; i < 3; ++i) EXPECT_TRUE(array[i].IsEmpty());
}

TEST(StrArray, GrowingMovesTheTexts) {
  CStrArray array;
  for (int i = 0; i < 300; ++i) array.SetAtGrow(i, CStr::Format("text %d", i));
  for (int i = 0; i < 300; ++i) ASSERT_EQ(array[i], CStr::Format("text %d", i));
}

TEST(Array, RegisteredClasses) {
  for (const CClassRecord* record : {&CPointerArray::ClassRecord, &CDWORDArray::ClassRecord, &CStrArray::ClassRecord}) {
    EXPECT_EQ(record->depth, 2u) << record->className;
    EXPECT_NE(record->create, nullptr) << record->className;
  }
}

}  // namespace
