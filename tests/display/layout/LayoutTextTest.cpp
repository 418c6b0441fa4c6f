// Layout texts: which weight pairs a spacer accepts, and the children a
// layout text builds, failed entries included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "display/layout/LayoutBox.h"
#include "display/layout/LayoutWeights.h"

namespace {

TEST(LayoutWeights, TwoDecimalNumbersWithBlanksAroundAreAcceptedAndNothingElse) {
  struct Row {
    const char* text;
    bool accepted;
    double horizontal;
    double vertical;
  };
  const Row rows[] = {
      {"1,0", true, 1, 0},       {"1 , 1", true, 1, 1},    {"0.5,2", true, 0.5, 2}, {" \t3,\t 4 \t", true, 3, 4},
      {"5.,.25", true, 5, 0.25}, {"1,", false, 0, 0},      {",1", false, 0, 0},     {"1.2.3,0", false, 0, 0},
      {"1,0,0", false, 0, 0},    {"1 ,1 ,1", false, 0, 0}, {"", false, 0, 0},       {".,1", false, 0, 0},
      {"1 1", false, 0, 0},      {"-1,0", false, 0, 0},    {"1e3,0", false, 0, 0},  {"1,1 x", false, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    double horizontal = -7;
    double vertical = -7;
    EXPECT_EQ(ParseLayoutWeights(row.text, horizontal, vertical), row.accepted);
    EXPECT_EQ(horizontal, row.accepted ? row.horizontal : -7);
    EXPECT_EQ(vertical, row.accepted ? row.vertical : -7);
  }
}

TEST(LayoutWeights, ANumberBeyondTheRangeOfADoubleIsAsLargeAsOneGoes) {
  const std::string huge = "1" + std::string(400, '0');
  double horizontal = 0;
  double vertical = 0;
  ASSERT_TRUE(ParseLayoutWeights(huge + ",0." + std::string(400, '0') + "1", horizontal, vertical));
  EXPECT_TRUE(std::isinf(horizontal));
  EXPECT_EQ(vertical, 0);

  CLayoutBox box(CLayoutBox::kHorizontal, 0, 0);
  ASSERT_NE(box.AddSpacer((huge + ",0").c_str(), 0, 0, -1), nullptr);
  box.AddSpacer("1,0", 0, 0, -1);
  box.Arrange({0, 0, 100, 10});
  EXPECT_EQ(box.GetChild(0)->GetRect().left, 0);
  EXPECT_EQ(box.GetChild(0)->GetRect().right, box.GetChild(1)->GetRect().left);
  EXPECT_EQ(box.GetChild(1)->GetRect().right, 100) << "the two share the box, no wild sizes";
}

// The children of a box as "name" for a copy of a template (the templates
// have distinct sizes), "WxH(hw,vw)" for a spacer, "-" for a null child.
std::vector<std::string> Children(const CLayoutBox& box) {
  std::vector<std::string> out;
  for (INT i = 0; i < box.GetChildCount(); ++i) {
    const CLayoutItem* child = box.GetChild(i);
    if (!child) {
      out.push_back("-");
    } else if (child->GetMinWidth() == 100) {
      out.push_back("_");
    } else if (child->GetMinWidth() == 200) {
      out.push_back("t");
    } else if (child->GetMinWidth() == 300) {
      out.push_back("P");
    } else {
      char text[64];
      std::snprintf(text, sizeof text, "%dx%d(%g,%g)", child->GetMinWidth(), child->GetMinHeight(),
                    child->GetHorizontalWeight(), child->GetVerticalWeight());
      out.push_back(text);
    }
  }
  return out;
}

TEST(LayoutText, EntriesBuildCopiesAndSpacersAndFailedEntriesKeepTheirPlace) {
  struct Row {
    const char* why;
    INT start;
    const char* text;
    std::vector<INT> sizes;
    bool result;
    std::vector<std::string> children;
  };
  const Row rows[] = {
      {"each group takes the next size pair",
       0,
       "_,(0,0),_,(0,0),_",
       {1, 1, 5, 7},
       true,
       {"_", "1x1(0,0)", "_", "5x7(0,0)", "_"}},
      {"blanks around entries and a trailing ','",
       0,
       "t,_,(1 , 1),_,t,_,(1 , 0),_,",
       {2, 3, 4, 5},
       true,
       {"t", "_", "2x3(1,1)", "_", "t", "_", "4x5(1,0)", "_"}},
      {"names lose the blanks around them", 0, " _ \t,\tt", {}, true, {"_", "t"}},
      {"the empty text builds nothing", 0, "", {}, true, {}},
      {"a name without a template: a null child, the rest still built", 0, "_,x,t", {}, false, {"_", "-", "t"}},
      {"three numbers are refused", 0, "(1,0,0),_", {1, 1}, false, {"-", "_"}},
      {"two points in a number are refused", 0, "(1.2.3,0),(1,1)", {1, 1, 2, 2}, false, {"-", "2x2(1,1)"}},
      {"text after ')' is skipped to the next ','", 0, "(1,1) x,_", {3, 3}, false, {"3x3(1,1)", "_"}},
      {"a '(' without ')' ends the text", 0, "_,(1,1,t", {1, 1}, false, {"_"}},
      {"a group without its size pair", 0, "(1,1),(1,1)", {6, 6}, false, {"6x6(1,1)", "-"}},
      {"entries go in from the start index on", 1, "t,(0,1),_", {9, 9}, true, {"P", "t", "9x9(0,1)", "_", "P"}},
      {"a failed group in the middle keeps its place", 1, "(x),_", {9, 9}, false, {"P", "-", "_", "P"}},
      {"a negative start appends every entry", -1, "t,_", {}, true, {"P", "P", "t", "_"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    CLayoutBox box;
    box.SetItem("_", std::make_unique<CLayoutItem>(100, 1, 0, 0));
    box.SetItem("t", std::make_unique<CLayoutItem>(200, 1, 0, 0));
    if (row.start != 0) {
      box.InsertChild(std::make_unique<CLayoutItem>(300, 1, 0, 0));
      box.InsertChild(std::make_unique<CLayoutItem>(300, 1, 0, 0));
    }
    EXPECT_EQ(box.ParseWithSizes(row.start, row.text, row.sizes.data(), row.sizes.size()), row.result);
    EXPECT_EQ(Children(box), row.children);
  }
}

TEST(LayoutText, SizePairsFollowTheTextAsArguments) {
  CLayoutBox box;
  box.SetItem("_", std::make_unique<CLayoutItem>(100, 1, 0, 0));
  EXPECT_TRUE(box.Parse(0, "_,(0,0),_,(0,0),_", 1, 1, 5, 7));
  EXPECT_EQ(Children(box), (std::vector<std::string>{"_", "1x1(0,0)", "_", "5x7(0,0)", "_"}));
}

}  // namespace
