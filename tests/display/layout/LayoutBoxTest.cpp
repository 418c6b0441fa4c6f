// Box layout: how free space is shared by weight, where the pixels left by
// truncation go, centring across the direction, nested and growing boxes,
// templates and clones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/layout/LayoutBox.h"

namespace {

struct Child {
  INT minWidth;
  INT minHeight;
  double horizontalWeight;
  double verticalWeight;
};

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom);
}

// Every child's rectangle, "L T R B" each, "-" for a null child.
std::vector<std::string> ChildRects(const CLayoutBox& box) {
  std::vector<std::string> rects;
  for (INT i = 0; i < box.GetChildCount(); ++i)
    rects.push_back(box.GetChild(i) ? Describe(box.GetChild(i)->GetRect()) : "-");
  return rects;
}

TEST(LayoutBox, FreeSpaceIsSharedByWeightAndChildrenCentredAcross) {
  struct Row {
    const char* why;
    INT direction;
    RECT rect;
    std::vector<Child> children;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"70 over weights 1, 2, 0 gives 23 and 46; the pixel left goes to the larger weight",
       CLayoutBox::kVertical,
       {0, 0, 50, 100},
       {{20, 10, 0, 1}, {20, 10, 0, 2}, {20, 10, 0, 0}},
       {"15 0 35 33", "15 33 35 90", "15 90 35 100"}},
      {"equal weights: the remainder pixel goes to the first",
       CLayoutBox::kHorizontal,
       {0, 0, 11, 4},
       {{0, 2, 1, 0}, {0, 2, 1, 0}},
       {"0 1 6 3", "6 1 11 3"}},
      {"a weight across fills the box, unless the child is wider already (then centred by an arithmetic shift)",
       CLayoutBox::kVertical,
       {100, 200, 110, 230},
       {{4, 10, 1, 0}, {15, 10, 1, 0}, {4, 10, 0, 0}},
       {"100 200 110 210", "97 210 112 220", "103 220 107 230"}},
      {"too narrow: weighted children shrink below their minimum, each share truncated towards zero",
       CLayoutBox::kHorizontal,
       {0, 0, 15, 6},
       {{10, 6, 1, 0}, {10, 6, 1, 0}},
       {"0 0 8 6", "8 0 16 6"}},
      {"no weight along the direction: the free space stays empty at the end",
       CLayoutBox::kHorizontal,
       {0, 0, 100, 10},
       {{10, 10, 0, 0}, {20, 4, 0, 1}},
       {"0 0 10 10", "10 0 30 10"}},
      {"weights summing to zero share nothing; the remainder goes round to the positive one",
       CLayoutBox::kVertical,
       {0, 0, 10, 100},
       {{10, 10, 0, 1}, {10, 10, 0, -1}},
       {"0 0 10 90", "0 90 10 100"}},
      {"an overwhelming weight takes all, without overflowing",
       CLayoutBox::kHorizontal,
       {0, 0, 100, 10},
       {{0, 10, 1e300, 0}, {0, 10, 1, 0}},
       {"0 0 100 10", "100 0 100 10"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    CLayoutBox box(row.direction, 0, 0);
    for (const Child& c : row.children)
      box.InsertChild(std::make_unique<CLayoutItem>(c.minWidth, c.minHeight, c.horizontalWeight, c.verticalWeight));
    box.Arrange(row.rect);
    EXPECT_EQ(ChildRects(box), row.expected);
  }
}

TEST(LayoutBox, NullChildrenTakeNoSpaceAndNestedBoxesReportTheirContent) {
  CLayoutBox outer(CLayoutBox::kVertical, 0, 0);
  outer.InsertChild(std::make_unique<CLayoutItem>(30, 10, 0, 0));
  outer.InsertChild(nullptr);
  auto* row = static_cast<CLayoutBox*>(outer.InsertChild(std::make_unique<CLayoutBox>(CLayoutBox::kHorizontal, 0, 1)));
  row->InsertChild(std::make_unique<CLayoutItem>(20, 5, 0, 0));
  row->InsertChild(std::make_unique<CLayoutItem>(25, 8, 1, 0));

  outer.ComputeSize();
  EXPECT_EQ(outer.GetMinWidth(), 45);
  EXPECT_EQ(outer.GetMinHeight(), 18);

  outer.Arrange({0, 0, 45, 30});
  EXPECT_EQ(ChildRects(outer), (std::vector<std::string>{"7 0 37 10", "-", "0 10 45 30"}));
  EXPECT_EQ(ChildRects(*row), (std::vector<std::string>{"0 17 20 22", "20 16 45 24"}));
}

TEST(LayoutBox, AGrowingBoxAsksNothingOfItsParentAndKeepsItsContentSize) {
  CLayoutBox box(CLayoutBox::kVertical, 0, 0);
  box.SetGrowToContent(true);
  box.InsertChild(std::make_unique<CLayoutItem>(40, 30, 1, 1));
  box.InsertChild(std::make_unique<CLayoutItem>(20, 30, 0, 1));
  box.ComputeSize();
  EXPECT_EQ(box.GetMinWidth(), 0);
  EXPECT_EQ(box.GetMinHeight(), 0);
  EXPECT_EQ(box.GetContentWidth(), 40);
  EXPECT_EQ(box.GetContentHeight(), 60);

  box.Arrange({10, 10, 20, 20});
  EXPECT_EQ(ChildRects(box), (std::vector<std::string>{"10 10 50 40", "20 40 40 70"}))
      << "laid out at 40 x 60 from the rectangle's top-left";
}

TEST(LayoutBox, TemplatesAreCopiedAndAMissingNameLeavesANullChild) {
  CLayoutBox box;
  box.SetItem("button", std::make_unique<CLayoutItem>(80, 20, 0, 0));
  box.SetItem("button", std::make_unique<CLayoutItem>(75, 23, 0, 0));  // replaces the first
  CLayoutItem* first = box.AddItem("button", -1);
  CLayoutItem* second = box.AddItem("button", 0);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(box.GetChild(0), second) << "inserted before the first";
  EXPECT_EQ(first->GetMinWidth(), 75);
  EXPECT_EQ(box.AddItem("Button", 1), nullptr) << "names compare with case";
  EXPECT_EQ(box.GetChildCount(), 3);
  EXPECT_EQ(box.GetChild(1), nullptr);
  EXPECT_EQ(box.GetChild(2), first);
  EXPECT_EQ(box.AddSpacer("1,", 1, 1, -1), nullptr);
  EXPECT_EQ(box.GetChildCount(), 3) << "a bad spacer inserts nothing";

  box.RemoveNamedItems();
  EXPECT_EQ(box.AddItem("button", -1), nullptr);
  box.RemoveAll(true);
  EXPECT_EQ(box.GetChildCount(), 0);
}

TEST(LayoutBox, AClonedBoxCopiesChildrenAndTemplatesButNotGrowing) {
  CLayoutBox box(CLayoutBox::kHorizontal, 2, 3);
  box.SetGrowToContent(true);
  box.SetItem("t", std::make_unique<CLayoutItem>(7, 8, 0, 0));
  box.AddItem("t", -1);
  box.InsertChild(nullptr);
  box.AddSpacer("1,0", 5, 5, -1);
  box.ComputeSize();

  auto copy = box.Clone();
  auto* clone = dynamic_cast<CLayoutBox*>(copy.get());
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->GetDirection(), CLayoutBox::kHorizontal);
  EXPECT_EQ(clone->GetHorizontalWeight(), 2);
  EXPECT_EQ(clone->GetVerticalWeight(), 3);
  EXPECT_FALSE(clone->GetGrowToContent());
  EXPECT_EQ(clone->GetContentWidth(), 12);
  ASSERT_EQ(clone->GetChildCount(), 3);
  EXPECT_NE(clone->GetChild(0), box.GetChild(0));
  EXPECT_EQ(clone->GetChild(1), nullptr);
  EXPECT_EQ(clone->GetChild(2)->GetHorizontalWeight(), 1);
  ASSERT_NE(clone->AddItem("t", -1), nullptr);
  EXPECT_EQ(clone->GetChild(3)->GetMinHeight(), 8);
}

}  // namespace
