// Text controls: how the multi-line label breaks its lines, how the paged
// title lays out its pages, and paged texts on the skin's font, among
// them a cell width of 0.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlFixture.h"
#include "display/controls/DDSurfaceText.h"
#include "display/controls/DDTextControls.h"
#include "display/controls/PageLayout.h"
#include "display/controls/WordWrap.h"

using namespace controltest;

namespace {

// Every character 6 pixels wide.
int SixEach(std::string_view text) { return static_cast<int>(text.size()) * 6; }

std::vector<std::string> Lines(const std::string& text, int width) {
  std::vector<std::string> lines;
  for (const WrappedLine& line : WrapText(text, width, SixEach)) lines.push_back(text.substr(line.start, line.length));
  return lines;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(WordWrap, LinesBreakAtSpacesAndLineFeeds) {
  const struct {
    const char* why;
    std::string text;
    Strings expected;
  } cases[] = {
      {"a word wider than the control sits alone on its line", "ab verylongword cd", {"ab", "verylongword", "cd"}},
      {"two line breaks give an empty line", "ab\n\ncd", {"ab", "", "cd"}},
      {"a line that fits up to a space keeps its length", "abcde fgh", {"abcde", "fgh"}},
      {"the break goes back to the last space", "ab cd ef", {"ab cd", "ef"}},
      {"a tab is no place to break", "ab\tcdefgh ij", {"ab\tcdefgh", "ij"}},
      {"CR LF ends a line like LF", "ab\r\ncd", {"ab", "cd"}},
      {"a single character wider than the control", "x", {"x"}},
      {"nothing", "", {}},
  };
  for (const auto& row : cases) {
    const int width = row.text == "x" ? 3 : 30;
    EXPECT_EQ(Lines(row.text, width), row.expected) << row.why;
  }
}

namespace {

PageMetrics Metrics(const std::string& text, int blankCells = 3, int cellWidth = 10, int charWidth = 10) {
  PageMetrics metrics;
  metrics.length = static_cast<int>(text.size());
  metrics.blankCells = blankCells;
  metrics.cellWidth = cellWidth;
  metrics.width = 100;
  metrics.charWidth = [charWidth](int) { return charWidth; };
  metrics.isBlank = [text](int position) {
    return position >= 0 && position < static_cast<int>(text.size()) &&
           (text[position] == ' ' || text[position] == '\t');
  };
  return metrics;
}

}  // namespace

TEST(PageLayout, PagesEndAtWordsUnlessTheBlankIsTooFarBackAndNeverRunPastTheEnd) {
  const struct {
    const char* why;
    std::string text;
    int start;
    int count;
    int nextStart;
    int emptyBefore;
    int emptyAfter;
  } cases[] = {
      {"the last blank at start + floor(count / 4): the page ends inside the word", "ab cdefghijklmnopqrstu", 0, 10, 10,
       0, 0},
      {"a blank one further: the page ends before it", "abc defghijklmnop", 0, 3, 4, 4, 3},
      {"a tab counts as a blank", "abc\tdefghijklmnop", 0, 3, 4, 4, 3},
      {"a blank right after the page: the next starts after it", "abcdefghij klm", 0, 10, 11, 0, 0},
      {"the last page ends with the last character, the next starts at 0", "abcdefghij klm", 11, 3, 0, 4, 3},
      {"a start beyond the text starts at 0", "abcdefghij klm", 40, 10, 11, 0, 0},
      {"without blank cells the text's start is not taken either", "abcdefghijkl", 8, 4, 0, 3, 3},
  };
  for (const auto& row : cases) {
    const TextPage page = LayOutPage(Metrics(row.text, row.text == "abcdefghijkl" ? 0 : 3), row.start);
    EXPECT_EQ(page.count, row.count) << row.why;
    EXPECT_EQ(page.nextStart, row.nextStart) << row.why;
    EXPECT_EQ(page.emptyBefore, row.emptyBefore) << row.why;
    EXPECT_EQ(page.emptyAfter, row.emptyAfter) << row.why;
  }
}

TEST(PageLayout, ACellWidthOfZeroCountsAsOneAndEveryPageTakesACell) {
  const TextPage zeroCells = LayOutPage(Metrics("abcdefghijklmnop", 3, 0), 0);
  EXPECT_EQ(zeroCells.count, 10);
  const TextPage tooWide = LayOutPage(Metrics("abc", 3, 10, 500), 1);
  EXPECT_EQ(tooWide.count, 1) << "a character wider than the control still makes a page";
  EXPECT_EQ(tooWide.nextStart, 2);
  EXPECT_EQ(tooWide.emptyBefore + tooWide.emptyAfter, 0);
  EXPECT_EQ(PageCellsWidth(Metrics("abc", 3, 0), LayOutPage(Metrics("abc", 3, 0), 0), 200), 100);
}

class SurfaceTextTest : public ControlTest {};

TEST_F(SurfaceTextTest, AFittingTextStandsStillAndALongOneChangesPagesWithAWholeDraw) {
  IDirectDrawSurface2* background = nullptr;
  ASSERT_EQ(ui().GetDisplayState().CreateOffscreenSurface(300, 100, &background), DD_OK);
  ASSERT_EQ(Fill(background, RECT{0, 0, 300, 100}, kBackground), DD_OK);
  IDirectDrawSurface2* target = nullptr;
  ASSERT_EQ(ui().GetDisplayState().CreateOffscreenSurface(300, 100, &target), DD_OK);

  CDDSurfaceText text;
  ASSERT_EQ(text.Create(1, nullptr, nullptr, RECT{10, 10, 90, 30}, Font(0), background, 0, 3, 4, 5, "Hi"), 1);
  EXPECT_FALSE(text.IsPaged());
  EXPECT_FALSE(text.Step());
  EXPECT_EQ(text.Draw(target, 0, 0, nullptr), 1);

  text.SetText("A title far too long for the line it is shown in, page after page");
  ASSERT_TRUE(text.IsPaged());
  const int firstNext = text.GetNextPage().start;
  int steps = 0;
  while (text.GetCurrentPage().start != firstNext && steps < 1000) {
    ASSERT_TRUE(text.Step());
    ++steps;
    EXPECT_EQ(text.DrawStep(target, 0, 0, false), 1);
  }
  EXPECT_EQ(text.GetCurrentPage().start, firstNext);
  EXPECT_EQ(text.GetPreviousPosition(), -1) << "right after a page change the step draw draws everything";
  EXPECT_EQ(text.GetPosition(), 0);
  // Round the whole text: the page after the last starts at 0 again.
  for (int more = 0; more < 2000 && text.GetCurrentPage().start != 0; ++more) text.Step();
  EXPECT_EQ(text.GetCurrentPage().start, 0);
  target->Release();
  background->Release();
}

namespace {

IDirectDrawSurface2* g_DrawnOnInvalidate = nullptr;

// As a window does: an invalidated control is drawn at once.
int DrawWhenInvalidated(int type, CDDControl* control, void*) {
  if (type == DDN_INVALIDATE && g_DrawnOnInvalidate) return control->Draw(g_DrawnOnInvalidate, 0, 0, nullptr);
  return 1;
}

}  // namespace

// A long title scrolled to its later pages, then a shorter one that still
// pages: an owner that draws as soon as it is told must find the pages of
// the new text.
TEST_F(SurfaceTextTest, AShorterTextAfterALongScrolledOneIsDrawnFromItsOwnPages) {
  ASSERT_EQ(ui().GetDisplayState().CreateOffscreenSurface(300, 100, &g_DrawnOnInvalidate), DD_OK);
  CDDSurfaceText text;
  const std::string longTitle(400, 'W');
  ASSERT_EQ(text.Create(1, &DrawWhenInvalidated, nullptr, RECT{10, 10, 90, 30}, Font(0), nullptr, 0, 3, 4, 5,
                        longTitle.c_str()),
            1);
  ASSERT_TRUE(text.IsPaged());
  for (int step = 0; step < 5000 && text.GetCurrentPage().start < 100; ++step) ASSERT_TRUE(text.Step());
  ASSERT_GE(text.GetCurrentPage().start, 100);

  text.SetText("MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM");
  ASSERT_TRUE(text.IsPaged());
  EXPECT_LT(text.GetCurrentPage().start, 40);
  EXPECT_EQ(text.DrawStep(g_DrawnOnInvalidate, 0, 0, false), 1);
  g_DrawnOnInvalidate->Release();
  g_DrawnOnInvalidate = nullptr;
}

TEST_F(SurfaceTextTest, ACellWidthOfZeroAndANarrowControlPageCleanly) {
  IDirectDrawSurface2* target = nullptr;
  ASSERT_EQ(ui().GetDisplayState().CreateOffscreenSurface(100, 40, &target), DD_OK);
  CDDSurfaceText text;
  ASSERT_EQ(text.Create(1, nullptr, nullptr, RECT{5, 5, 8, 25}, Font(0), nullptr, 0, 2, 0, 4, "WWW MMM"), 1);
  ASSERT_TRUE(text.IsPaged());
  for (int step = 0; step < 200; ++step) {
    ASSERT_TRUE(text.Step());
    EXPECT_GE(text.GetCurrentPage().count, 1);
    EXPECT_EQ(text.DrawStep(target, 0, 0, false), 1);
  }
  EXPECT_EQ(text.Draw(target, 0, 0, nullptr), 1);
  target->Release();
}

TEST_F(SurfaceTextTest, WrappedHeightCountsLinesAndSpacing) {
  const int height = ddcontrols::FontHeight(Font(0));
  ASSERT_GT(height, 0);
  EXPECT_EQ(CalcWrappedTextHeight(Font(0), "", 100, 5), 0);
  EXPECT_EQ(CalcWrappedTextHeight(Font(0), "one", 100, 5), height);
  EXPECT_EQ(CalcWrappedTextHeight(Font(0), "one\n\nthree", 100, 5), 3 * height + 2 * 5);
}
