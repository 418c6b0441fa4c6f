#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "playback/playersystem/PlayOrder.h"

namespace {

// The rule file by file, as plain vector operations: the reference the
// batched insertion must match exactly.
struct NaiveOrder {
  std::vector<DWORD> files;
  INT position = -1;

  void Insert(INT first, INT count, bool shuffle, CRandom15& random) {
    for (INT j = 0; j < count; ++j) {
      const DWORD b = static_cast<DWORD>(first + j);
      for (DWORD& file : files)
        if (file >= b) ++file;
      const size_t n = files.size();
      const size_t at = shuffle ? static_cast<size_t>(random.Next()) % (n + 1) : b;
      files.insert(files.begin() + static_cast<long>(at), b);
      if (position >= static_cast<INT>(at)) ++position;
    }
  }
};

bool IsPermutation(const std::vector<DWORD>& files) {
  std::vector<DWORD> sorted = files;
  std::sort(sorted.begin(), sorted.end());
  for (size_t i = 0; i < sorted.size(); ++i)
    if (sorted[i] != i) return false;
  return true;
}

TEST(PlayOrder, BatchedInsertionMatchesInsertingFileByFile) {
  CRandom15 plan(7);
  for (int round = 0; round < 300; ++round) {
    const bool shuffle = round % 3 != 0;
    const INT before = plan.Next() % 40;
    CRandom15 setup(static_cast<uint32_t>(round));
    CPlayOrder order;
    NaiveOrder naive;
    if (shuffle)
      order.Shuffle(before, -1, setup);
    else
      order.Reset(before);
    naive.files = order.GetFiles();
    const INT first = before == 0 ? 0 : plan.Next() % (before + 1);
    const INT count = plan.Next() % 50;
    INT position = before == 0 ? -1 : plan.Next() % before - (round % 5 == 0 ? before : 0);
    if (position < -1) position = -1;
    naive.position = position;

    CRandom15 batched(static_cast<uint32_t>(1000 + round));
    CRandom15 oneByOne(static_cast<uint32_t>(1000 + round));
    order.InsertFiles(first, count, shuffle, batched, position);
    naive.Insert(first, count, shuffle, oneByOne);

    SCOPED_TRACE(testing::Message() << "round " << round << " before " << before << " first " << first << " count "
                                    << count << (shuffle ? " shuffled" : ""));
    ASSERT_EQ(order.GetFiles(), naive.files);
    ASSERT_EQ(position, naive.position) << "the position follows its file";
    ASSERT_TRUE(IsPermutation(order.GetFiles()));
    ASSERT_EQ(batched.Next(), oneByOne.Next()) << "one random value per file, no more";
  }
}

TEST(PlayOrder, ShuffleInsertsEachFileAtARemainderAndPutsTheFirstInFront) {
  CRandom15 random(42);
  CRandom15 reference(42);
  CPlayOrder order;
  order.Shuffle(30, 17, random);
  NaiveOrder naive;
  naive.Insert(0, 30, true, reference);
  const auto at = std::find(naive.files.begin(), naive.files.end(), 17u) - naive.files.begin();
  std::swap(naive.files[0], naive.files[static_cast<size_t>(at)]);
  EXPECT_EQ(order.GetFiles(), naive.files);
  EXPECT_EQ(order.GetFile(0), 17);
}

TEST(PlayOrder, RemovingAFileClosesTheGap) {
  CPlayOrder order;
  CRandom15 random(3);
  order.Shuffle(6, -1, random);
  const std::vector<DWORD> before = order.GetFiles();
  const INT at = order.RemoveFile(2);
  ASSERT_GE(at, 0);
  std::vector<DWORD> expected;
  for (DWORD file : before)
    if (file != 2) expected.push_back(file > 2 ? file - 1 : file);
  EXPECT_EQ(order.GetFiles(), expected);
  EXPECT_EQ(order.RemoveFile(9), -1) << "a file not in the order";
  EXPECT_EQ(order.GetFile(-1), -1);
  EXPECT_EQ(order.GetFile(order.GetCount()), -1);
}

TEST(PlayOrder, TheGeneratorStaysInFifteenBits) {
  CRandom15 random(0xFFFFFFFF);
  int highest = 0;
  for (int i = 0; i < 100000; ++i) highest = std::max(highest, random.Next());
  EXPECT_LE(highest, 32767);
  EXPECT_GT(highest, 32000);
  CRandom15 a(5);
  CRandom15 b(5);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(a.Next(), b.Next()) << "a seed repeats its sequence";
}

}  // namespace
