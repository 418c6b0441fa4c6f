#include <gtest/gtest.h>

#include "playback/player/CandidateOrder.h"

namespace {

// Fields in record order: reserved, verdict, supportLevel, costLevel,
// exclusiveAccess, legacyLevel, legacyGroup, priority.
CanPlayAnswer Answer(DWORD verdict, DWORD supportLevel, DWORD priority) {
  return {0, verdict, supportLevel, 0, 0, 0, 0, priority};
}

const CanPlayAnswer kPictolan = Answer(1, 1, 192);
const CanPlayAnswer kScreevo = Answer(1, 0, 192);

TEST(CandidateOrder, WhichAnswerIsTriedFirst) {
  const struct {
    const char* behaviour;
    CanPlayAnswer first;
    CanPlayAnswer second;
  } cases[] = {
      {"128 and 160 share a band: supportLevel decides before the priority", Answer(1, 1, 128), Answer(1, 0, 160)},
      {"160 and 192 lie in different bands: the priority decides", Answer(1, 0, 192), Answer(1, 1, 160)},
      {"within a band the higher priority wins", Answer(1, 1, 160), Answer(1, 1, 128)},
      {"Pictolan's answer before Screevo's", kPictolan, kScreevo},
      {"verdict 1 alone after the same with supportLevel 1", Answer(1, 1, 0), Answer(1, 0, 0)},
      {"verdict 1 before verdict 2", Answer(1, 0, 0), Answer(2, 0, 0)},
      {"supportLevel 2 between 1 and 0", Answer(1, 2, 100), Answer(1, 0, 100)},
      {"supportLevel 1 before 2", Answer(1, 1, 100), Answer(1, 2, 100)},
      {"32 and 33 lie in different bands", Answer(1, 0, 33), Answer(1, 1, 32)},
      {"224 and 225 lie in different bands", Answer(1, 0, 225), Answer(1, 1, 224)},
      {"no exclusive access before exclusive access 2", {0, 2, 0, 0, 0, 0, 0, 0}, {0, 1, 1, 0, 2, 0, 0, 255}},
      {"exclusive access 2 before 1", {0, 1, 0, 0, 2, 0, 0, 0}, {0, 1, 0, 0, 1, 0, 0, 0}},
      {"cost 0 before 2, whatever comes after", {0, 1, 0, 0, 0, 0, 0, 0}, {0, 1, 1, 2, 0, 0, 0, 255}},
      {"cost 2 before 1", {0, 1, 0, 2, 0, 0, 0, 0}, {0, 1, 0, 1, 0, 0, 0, 0}},
      {"legacy group 1 before 2, before the band", {0, 1, 0, 0, 0, 0, 1, 0}, {0, 1, 1, 0, 0, 0, 2, 255}},
      {"legacy groups 2, 3, 4, 0 in that order", {0, 1, 0, 0, 0, 0, 3, 0}, {0, 1, 0, 0, 0, 0, 4, 0}},
      {"legacy group 4 before 0", {0, 1, 0, 0, 0, 0, 4, 0}, {0, 1, 0, 0, 0, 0, 0, 0}},
      {"legacy level 1 before 2 before 0", {0, 1, 0, 0, 0, 1, 0, 0}, {0, 1, 0, 0, 0, 2, 0, 0}},
      {"legacy level decides only after the priority", {0, 1, 0, 0, 0, 0, 0, 100}, {0, 1, 0, 0, 0, 1, 0, 99}},
      {"the reserved word is not read", {0, 1, 0, 0, 0, 0, 0, 5}, {7, 1, 0, 0, 0, 0, 0, 4}},
  };
  for (const auto& c : cases) {
    EXPECT_LT(ScoreAnswer(c.first), ScoreAnswer(c.second)) << c.behaviour;
    EXPECT_EQ(CompareAnswers(c.first, c.second), -1) << c.behaviour;
    EXPECT_EQ(CompareAnswers(c.second, c.first), 1) << c.behaviour;
  }
  EXPECT_EQ(CompareAnswers(kPictolan, kPictolan), 0);
}

TEST(CandidateOrder, OrderValuesOfKnownAnswers) {
  // Worked by hand from the bit fields: legacy level 0 ranks 2 (bits 2-3),
  // legacy group 0 ranks 4 (bits 15-17), priority 192 is band 3 with fine
  // part 31 (bits 12-14 hold 1, bits 4-9 hold 32), supportLevel 0 ranks 2.
  EXPECT_EQ(ScoreAnswer(kPictolan), 0x21208u);
  EXPECT_EQ(ScoreAnswer(kScreevo), 0x21A08u);
  EXPECT_EQ(ScoreAnswer(CanPlayAnswer{}), 0x24A08u);
}

TEST(CandidateOrder, AnyWordRanksWithoutOverflow) {
  const CanPlayAnswer best255 = Answer(1, 1, 255);
  EXPECT_EQ(ScoreAnswer(Answer(1, 1, 300)), ScoreAnswer(best255)) << "a priority above 255 counts as 255";
  EXPECT_EQ(ScoreAnswer(Answer(1, 1, 0xFFFFFFFF)), ScoreAnswer(best255));
  EXPECT_EQ(ScoreAnswer(Answer(1, 1, 0x80000000)), ScoreAnswer(best255));

  const struct {
    const char* behaviour;
    CanPlayAnswer unknown;
    CanPlayAnswer rankZero;
  } cases[] = {
      {"an unknown verdict ranks as verdict 1", {0, 7, 0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 0}},
      {"an unknown supportLevel ranks as 1", {0, 1, 0xFFFFFFFF, 0, 0, 0, 0, 0}, {0, 1, 1, 0, 0, 0, 0, 0}},
      {"an unknown cost ranks as 0", {0, 1, 0, 9, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 0}},
      {"an unknown exclusive access ranks as 0", {0, 1, 0, 0, 0xFFFFFFFF, 0, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 0}},
      {"an unknown legacy level ranks as 1", {0, 1, 0, 0, 0, 77, 0, 0}, {0, 1, 0, 0, 0, 1, 0, 0}},
      {"an unknown legacy group ranks as 1", {0, 1, 0, 0, 0, 0, 5, 0}, {0, 1, 0, 0, 0, 0, 1, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(ScoreAnswer(c.unknown), ScoreAnswer(c.rankZero)) << c.behaviour;

  const CanPlayAnswer all = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
                             0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  EXPECT_LT(ScoreAnswer(all), 1u << 22);
  // The worst rank of every field, each in its own bits.
  const CanPlayAnswer worst = {0, 2, 0, 1, 1, 0, 0, 0};
  EXPECT_EQ(ScoreAnswer(worst), 0x2A4A09u);
}

TEST(CandidateOrder, OnlyVerdictsOneAndTwoAreCandidates) {
  for (DWORD verdict : {0u, 3u, 4u, 0xFFFFFFFFu}) EXPECT_FALSE(IsCandidateAnswer(Answer(verdict, 1, 255))) << verdict;
  for (DWORD verdict : {1u, 2u}) EXPECT_TRUE(IsCandidateAnswer(Answer(verdict, 0, 0))) << verdict;
}

}  // namespace
