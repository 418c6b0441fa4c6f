// CMask: ownership of attached bytes and inversion.
#include <gtest/gtest.h>

#include "foundation/kernel/Error.h"
#include "skins/masks/Mask.h"

TEST(Mask, InvertTurnsZeroIntoOneAndEveryOtherValueIntoZero) {
  CMask mask;
  mask.Create(3, 1);
  mask.GetBytes()[0] = 0;
  mask.GetBytes()[1] = 1;
  mask.GetBytes()[2] = 255;
  mask.Invert();
  EXPECT_EQ(mask.GetBytes()[0], 1);
  EXPECT_EQ(mask.GetBytes()[1], 0);
  EXPECT_EQ(mask.GetBytes()[2], 0);
}

// ASan reports a leak or a double free if either side gets this wrong.
TEST(Mask, AttachedBytesAreFreedByTheMaskUnlessDetached) {
  {
    CMask mask;
    mask.Attach(new BYTE[6](), 3, 2);
    EXPECT_EQ(mask.GetWidth(), 3);
    EXPECT_EQ(mask.GetHeight(), 2);
  }
  BYTE* lent = new BYTE[4]();
  {
    CMask mask;
    mask.Attach(lent, 2, 2);
    mask.Detach();
    EXPECT_EQ(mask.GetBytes(), nullptr);
  }
  delete[] lent;
}

TEST(Mask, NegativeSizeIsRefusedAndLeavesTheMaskEmpty) {
  CMask mask;
  mask.Create(2, 2);
  try {
    mask.Create(-1, 5);
    FAIL() << "a negative width was accepted";
  } catch (CError* error) {
    DisposeError(error);
  }
  EXPECT_EQ(mask.GetBytes(), nullptr);
  EXPECT_EQ(mask.GetWidth(), 0);
}
