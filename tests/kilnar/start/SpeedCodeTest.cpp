// The speed code the burn job asks for, by speed factor.
#include <gtest/gtest.h>

#include "kilnar/app/burn/SpeedCode.h"

namespace {

TEST(SpeedCodeTest, FactorsBecomeTheirCodes) {
  struct Row {
    uint32_t factor;
    int16_t code;
    const char* why;
  };
  const Row rows[] = {
      {1, 0, "1x has code 0"},   {2, 1, "2x has code 1"},   {4, 2, "4x has code 2"},
      {6, 6, "6x asks for 6"},   {8, 8, "8x is its own"},   {38, 38, "38x is its own"},
      {40, 40, "40x is its own"}, {48, 6, "above 40 asks for 6x"}, {3, 6, "odd factors ask for 6x"},
      {0, 6, "no factor asks for 6x"},
  };
  for (const auto& row : rows) EXPECT_EQ(SpeedCodeOfFactor(row.factor), row.code) << row.why;
}

}  // namespace
