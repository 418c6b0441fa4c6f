// What the two faces show of the entries: the full log line by line with
// each line's severity, and the last-error list with the latest burst of
// error lines.
#include <twlwin/testing_gdi.h>

#include "LogWindowFixture.h"

namespace logwindowtest {
namespace {

struct Write {
  DWORD advanceMilliseconds;  // on the manual clock, before the entry
  const char* text;
  DWORD severity;
  std::vector<std::string> lastErrorsAfter;
};

struct BurstCase {
  const char* behaviour;
  std::vector<Write> writes;
};

// Error lines collect while they come less than a second apart; any other
// line, or a pause of a second, makes the next error line start anew. The
// list ends in the empty line that the next error line would fill.
const BurstCase kBurstCases[] = {
    {"two error lines fill two items; a third two seconds later replaces them",
     {{0, "first error\nits detail\n", LOG_SEVERITY_ERROR, {"first error", "its detail", ""}},
      {2000, "a later error\n", LOG_SEVERITY_ERROR, {"a later error", ""}}}},
    {"an information line between two errors leaves only the last error",
     {{0, "error one\n", LOG_SEVERITY_ERROR, {"error one", ""}},
      {0, "just information\n", LOG_SEVERITY_INFORMATION, {"error one", ""}},
      {100, "error two\n", LOG_SEVERITY_ERROR, {"error two", ""}}}},
    {"a warning between two errors starts a new burst too",
     {{0, "error one\n", LOG_SEVERITY_ERROR, {"error one", ""}},
      {0, "a warning\n", LOG_SEVERITY_WARNING, {"error one", ""}},
      {0, "error two\n", LOG_SEVERITY_ERROR, {"error two", ""}}}},
    {"999 ms apart still one burst, a full second apart not",
     {{0, "a\n", LOG_SEVERITY_ERROR, {"a", ""}},
      {999, "b\n", LOG_SEVERITY_ERROR, {"a", "b", ""}},
      {1000, "c\n", LOG_SEVERITY_ERROR, {"c", ""}}}},
    {"an error line written in pieces is one item",
     {{0, "disk ", LOG_SEVERITY_ERROR, {"disk "}},
      {10, "full\n", LOG_SEVERITY_ERROR, {"disk full", ""}}}},
    {"a line that turns into an error shows whole",
     {{0, "copying ", LOG_SEVERITY_INFORMATION, {}},
      {0, "failed\n", LOG_SEVERITY_ERROR, {"copying failed", ""}}}},
    {"information alone leaves the list empty",
     {{0, "all is well\n", LOG_SEVERITY_INFORMATION, {}}}},
};

TEST_F(LogWindowTest, LastErrorListHoldsTheLatestBurstOfErrors) {
  for (const BurstCase& c : kBurstCases) {
    SCOPED_TRACE(c.behaviour);
    Open();  // a new window each time: the lists start empty
    ASSERT_EQ(TextOf(window), "Velbrook Tunewell Problem Report");
    for (const Write& w : c.writes) {
      TwlTestAdvanceClock(w.advanceMilliseconds);
      log.Write(w.text, w.severity);
      Settle();
      EXPECT_EQ(TextsOf(LastErrors()), w.lastErrorsAfter) << "after " << w.text;
    }
    Close();
  }
}

TEST_F(LogWindowTest, FullLogShowsEveryLineWithItsSeverity) {
  Open();
  log.Write("information\n", LOG_SEVERITY_INFORMATION);
  log.Write("a warning\n", LOG_SEVERITY_WARNING);
  log.Write("an error\n", LOG_SEVERITY_ERROR);
  log.Write("partly ", LOG_SEVERITY_INFORMATION);
  log.Write("wrong\n", LOG_SEVERITY_ERROR);
  log.Print(LOG_SEVERITY_INFORMATION, "%s=%d\n", "count", 3);
  log.Write(nullptr, LOG_SEVERITY_ERROR);
  Settle();
  // Each line carries the highest severity of its pieces; the open line
  // at the end has no text yet. A null text adds nothing.
  const std::vector<ListItem> expected = {
      {"information", 0}, {"a warning", 1}, {"an error", 2}, {"partly wrong", 2}, {"count=3", 0}, {"", 1},
  };
  EXPECT_EQ(ItemsOf(FullLog()), expected);
}

TEST_F(LogWindowTest, LineBreaksOfEveryKindEndLines) {
  Open();
  log.Write("a\rb\r\nc\nd", LOG_SEVERITY_INFORMATION);
  log.Write("\n\n", LOG_SEVERITY_INFORMATION);
  log.Write("ends with a break\r\n", LOG_SEVERITY_INFORMATION);
  Settle();
  const std::vector<std::string> expected = {"a", "b", "c", "d", "", "ends with a break", ""};
  EXPECT_EQ(TextsOf(FullLog()), expected);
}

TEST_F(LogWindowTest, ColumnGrowsToTheLongestLine) {
  Open();
  const HWND list = FullLog();
  const std::string longLine(200, 'w');
  log.Write((longLine + "\nshort\n").c_str(), LOG_SEVERITY_INFORMATION);
  Settle();
  const int needed = static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(longLine.c_str())));
  EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), needed + 20);
}

// Looked at on screen: in the advanced face, error lines are drawn in red,
// warnings in orange and information in the default black.
TEST_F(LogWindowTest, FullLogColoursLinesBySeverity) {
  Open();
  Click(kModeButton);
  log.Write("information information\n", LOG_SEVERITY_INFORMATION);
  log.Write("warning warning warning\n", LOG_SEVERITY_WARNING);
  log.Write("error error error error\n", LOG_SEVERITY_ERROR);
  log.Show(true);
  Settle();
  const HWND list = FullLog();
  ASSERT_TRUE(IsWindowVisible(list));
  RECT listRect{};
  GetWindowRect(list, &listRect);
  const int width = listRect.right - listRect.left;
  const int height = listRect.bottom - listRect.top;
  std::vector<COLORREF> pixels(static_cast<size_t>(width * height));
  ASSERT_TRUE(TwlTestGetWindowPixels(list, pixels.data(), width, height));

  POINT clientOrigin{0, 0};
  ClientToScreen(list, &clientOrigin);
  const int dy = clientOrigin.y - listRect.top;

  const COLORREF kRed = 0x0000FF;
  const COLORREF kOrange = 0x0785E2;
  const COLORREF kBlack = 0x000000;
  const COLORREF expected[] = {kBlack, kOrange, kRed};
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE("line " + std::to_string(row));
    RECT item{};
    item.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    int counts[3] = {0, 0, 0};
    for (int y = std::max<int>(item.top + dy, 0); y < std::min<int>(item.bottom + dy, height); ++y)
      for (int x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c)
          if (pixels[static_cast<size_t>(y * width + x)] == expected[c]) ++counts[c];
    for (int c = 0; c < 3; ++c) {
      if (c == row) EXPECT_GT(counts[c], 20) << "no text in its colour";
      else EXPECT_EQ(counts[c], 0) << "text in the colour of another severity";
    }
  }
}

}  // namespace
}  // namespace logwindowtest
